#include "app/Program.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

#include "app/DataFolder.h"
#include "app/MainForm.h"
#include "app/QtTranslations.h"
#include "app/ToolImages.h"
#include "app/WindowFont.h"
#include "core/Backups.h"
#include "platform/Application.h"
#include "platform/FixedDialog.h"
#include "reports/PaidLeaveNotice.h"
#include "app/CalendarWindows.h"
#include "views/DataFileWatcher.h"

TMainform* CreateProgramWindows()
{
    Application::SetTitle(QStringLiteral("Valdemor"));
    // Japanese whatever LANG says: month and weekday names, Sunday first.
    // Before any window is made, as widgets take the locale when created.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    InstallQtTranslations();
    InstallWindowFont();
    // Whatever size a window asks for, it opens within its screen.
    FitWindowsToScreen();
    // The fiscal-year calendar's tool image stands for the program in every
    // title bar.
    QApplication::setWindowIcon(QIcon(ToolImages::Image(0)));
    // Before any window reads a setting or shows the data folder; after the
    // title and font, which its message box takes.
    PrepareDataFolder();
    auto* mainform = new TMainform;
    InstallCalendarWindows(*mainform);
    // A data file that changed since the newest backup (another program, or
    // a day without saves) is backed up before anything can change it: the
    // main window's first showing finishes an interrupted compaction.
    Application::Guard([mainform] {
        if (const int error = Backups::AtStart())
            mainform->SetStatusText(Backups::FailureText(error));
    });
    mainform->show();
    // The dialogs and report windows are made when first opened (views/
    // LongLivedWindow): none of them is in the first picture.
    Application::Guard(PaidLeaveNotice::AtStart);
    new TDataFileWatcher(mainform);
    return mainform;
}
