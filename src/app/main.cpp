// The entry point: one running copy at a time, the long-lived windows in
// their fixed order, then the event loop.

#include <QApplication>

#include "app/MainForm.h"
#include "app/WindowFont.h"
#include "platform/Application.h"
#include "platform/SingleInstance.h"

int main(int argc, char** argv)
{
    // A second copy ends here, before it has a window or says anything.
    SingleInstance guard(QStringLiteral("EX_Orbelund"));
    if (!guard.IsFirst())
        return 0;

    QApplication app(argc, argv);
    Application::SetTitle(QStringLiteral("Valdemor"));
    InstallWindowFont();

    // The long-lived windows, in this order; each later one is reached
    // through its global pointer and only hides when closed.
    new TMainform;

    Mainform->show();
    const int result = app.exec();
    delete Mainform; // writes the settings, compacts the data file if asked
    guard.Release();
    return result;
}
