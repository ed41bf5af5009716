// Every dialog of fixed size, as the program builds them: a title and a close
// button only, above the main window, and wide enough for its caption.

#include <memory>

#include <QApplication>

#include <gtest/gtest.h>

#include "app/About.h"
#include "app/DataFolderForm.h"
#include "app/Eopf.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "platform/FixedDialog.h"
#include "reports/CalMF.h"
#include "reports/Calf.h"
#include "reports/PaidLeaveWindow.h"
#include "reports/SelCalF.h"
#include "reports/priansf.h"
#include "views/Chymf.h"
#include "views/Inputf.h"
#include "views/Rangef.h"
#include "views/RestoreForm.h"
#include "views/ViewsTestSupport.h"

TEST(FixedDialogs, TitleAndCloseButtonOnlyAndRoomForTheCaption)
{
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainform> main(CreateProgramWindows());
    // Each is made when first opened.
    for (const QWidget* window :
        { static_cast<QWidget*>(InputForm), static_cast<QWidget*>(OpForm), static_cast<QWidget*>(AboutBox),
            static_cast<QWidget*>(SelCalform), static_cast<QWidget*>(priansform), static_cast<QWidget*>(RangeForm),
            static_cast<QWidget*>(ChYMForm), static_cast<QWidget*>(RestoreForm), static_cast<QWidget*>(DataFolderForm),
            static_cast<QWidget*>(CalForm), static_cast<QWidget*>(CalMForm), static_cast<QWidget*>(PaidLeaveForm) })
        ASSERT_NE(window, nullptr);
    int checked = 0;
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window == main.get() || window->minimumSize() != window->maximumSize() || window->windowTitle().isEmpty())
            continue;
        const std::string name = window->objectName().toStdString();
        const Qt::WindowFlags flags = window->windowFlags();
        EXPECT_TRUE(flags.testFlag(Qt::CustomizeWindowHint)) << name;
        EXPECT_TRUE(flags.testFlag(Qt::WindowTitleHint)) << name;
        EXPECT_TRUE(flags.testFlag(Qt::WindowCloseButtonHint)) << name;
        EXPECT_FALSE(flags & Qt::WindowMinMaxButtonsHint) << name;
        EXPECT_TRUE(flags.testFlag(Qt::WindowStaysOnTopHint)) << name;
        EXPECT_GE(window->width(), TitleBarWidthFor(window->windowTitle())) << name;
        ++checked;
    }
    // The entry dialog, the options, the about box, the totals choice, the
    // print dialog and the paid-leave settings.
    EXPECT_GE(checked, 6);
}
