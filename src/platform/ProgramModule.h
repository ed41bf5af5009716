#pragma once

// The program's own modules: code it carries apart, because of the Qt
// libraries it pulls in, and loads the first time it is needed. A module's
// code registers itself with the program as it is loaded (a program that
// links that code in has it registered from the start).

#include <QString>

struct ProgramModule {
    // The module's file, e.g. "valdemor-charts.so".
    QString fileName;
    // What cannot be done without it, the start of every error:
    // "「休暇のグラフ」を開けません。".
    QString failure;
    // What the user is told the module is: "グラフのモジュール".
    QString kind;
    // Whether the module's code has registered itself.
    bool (*registered)();
};

// Loads the module, next to the program (the build folder) or else in the
// installation's library folder, found from the program's folder so that a
// moved installation works. It stays loaded for the rest of the run. A module
// that is missing, cannot be loaded or registers nothing raises an Exception
// that names the file and why.
void LoadProgramModule(const ProgramModule& module);
