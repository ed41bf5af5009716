#pragma once

// Opens the window "休暇のグラフ". Its code is the program's only user of Qt
// Charts, which with the OpenGL libraries it pulls in costs start-up time and
// memory; so the program carries it as a module of its own, loaded the first
// time the window opens. The window's code registers its entry as it is
// loaded (a program that links it in has it registered from the start).

class QWidget;

using ChartWindowEntry = void (*)(QWidget* owner);

void RegisterChartWindow(ChartWindowEntry show);

// Loads the module unless the window's code is there already, then shows the
// window. A module that is missing or cannot be loaded raises an Exception
// that names the file and why.
void OpenChartWindow(QWidget* owner);
