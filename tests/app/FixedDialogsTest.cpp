// Every dialog of fixed size, as the program builds them: a title and a close
// button only, above the main window, and wide enough for its caption.

#include <memory>

#include <QApplication>

#include <gtest/gtest.h>

#include "app/MainForm.h"
#include "app/Program.h"
#include "platform/FixedDialog.h"
#include "views/ViewsTestSupport.h"

TEST(FixedDialogs, TitleAndCloseButtonOnlyAndRoomForTheCaption)
{
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    std::unique_ptr<TMainform> main(CreateProgramWindows());
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
