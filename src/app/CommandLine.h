#pragma once

// The options of the command line, as GNU programs have them: --help (-h)
// and --version, and --balance and --export for scripts. They need no
// display and take no single-instance lock; --help, --version and a wrong
// option touch no file. An option the program does not know, or a known one
// with a missing or wrong value, is an error that says which and why. Qt's
// own options (-platform, -style ...) and no option at all start the
// program's windows, or without a display say that there is none.

#include <optional>

namespace CommandLine {

// The exit code when the arguments ask for something other than the
// windows (0 done, 1 failed, 2 a wrong option), or nothing to start them.
std::optional<int> Handle(int argc, char** argv);

} // namespace CommandLine
