// The entry point: the command line's options, then one running copy at a
// time, the program's windows and the event loop.

#include <QApplication>

#include "app/CommandLine.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "platform/DesktopNotice.h"
#include "platform/SingleInstance.h"

int main(int argc, char** argv)
{
    // --help, --version and the like answer without a window or the lock.
    if (const std::optional<int> code = CommandLine::Handle(argc, argv))
        return *code;
    // A second copy ends here, before it has a window or says anything.
    SingleInstance guard(QStringLiteral("EX_Orbelund"));
    if (!guard.IsFirst())
        return 0;

    DesktopNotice::KeepFromLaunchingASessionBus();
    QApplication app(argc, argv);
    TMainform* mainform = CreateProgramWindows();
    const int result = app.exec();
    delete mainform; // writes the settings, compacts the data file if asked
    guard.Release();
    return result;
}
