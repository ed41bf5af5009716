#include "app/Program.h"

#include <QApplication>
#include <QIcon>
#include <QLocale>

#include "app/About.h"
#include "app/DataFolder.h"
#include "app/DataFolderForm.h"
#include "app/Eopf.h"
#include "app/MainForm.h"
#include "app/QtTranslations.h"
#include "app/ToolImages.h"
#include "app/WindowFont.h"
#include "core/Backups.h"
#include "platform/Application.h"
#include "reports/CalMF.h"
#include "reports/Calf.h"
#include "reports/PaidLeaveNotice.h"
#include "reports/PaidLeaveWindow.h"
#include "reports/SelCalF.h"
#include "app/CalendarWindows.h"
#include "reports/priansf.h"
#include "views/Chymf.h"
#include "views/Inputf.h"
#include "views/Rangef.h"
#include "views/DataFileWatcher.h"
#include "views/RestoreForm.h"

TMainform* CreateProgramWindows()
{
    Application::SetTitle(QStringLiteral("Valdemor"));
    // Japanese whatever LANG says: month and weekday names, Sunday first.
    // Before any window is made, as widgets take the locale when created.
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    InstallQtTranslations();
    InstallWindowFont();
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
    // The main window goes to the screen before the windows below are made:
    // none of them is in its first picture, and most are seldom opened.
    mainform->show();
    // The long-lived windows, in this order. Each is reached through its
    // global pointer and only hides when closed.
    new TInputForm(mainform);
    new TRangeForm(mainform);
    new TAboutBox(mainform);
    new TCalForm(mainform);
    new TOpForm(mainform);
    new TChYMForm(mainform);
    new Tpriansform(mainform);
    new TSelCalform(mainform);
    new TCalMForm(mainform);
    new TPaidLeaveForm(mainform);
    new TRestoreForm(mainform);
    new TDataFolderForm(mainform);
    // Once every window is there to show what it tells of.
    Application::Guard(PaidLeaveNotice::AtStart);
    new TDataFileWatcher(mainform);
    return mainform;
}
