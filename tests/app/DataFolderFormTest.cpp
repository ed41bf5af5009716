#include "app/DataFolderForm.h"

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "views/ViewsTestSupport.h"
#include "app/About.h"
#include "core/CalendarFill.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "platform/DataDirectory.h"
#include "views/Ycalf.h"

// A folder typed in the window: after the question, the data file goes
// there; the settings file already there is kept when the user says いいえ
// to replacing it, and so is a data file there, whose records the open
// calendar then shows. The about box names the new folder.
TEST(DataFolderFormTest, MovesToTheFolderTypedAndShowsItsData)
{
    FixedToday today { QDate(2026, 8, 12) };
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    QTemporaryDir target;
    const QString to = target.path() + u'/';
    LeaveStore::SaveEntry(2026, 8, 10, 1, {});
    ProgramWindows program(data);
    {
        QFile file(to + QStringLiteral("Holiday.d00"));
        const LeaveRecord r = LeaveRecord::Make(2026, 8, 12, 3, {});
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_EQ(file.write(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size), LeaveRecord::Size);
    }
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    const int row = YearCalendarRow(8);
    const QString before = grid.Cells(12, row);

    program.Main().DataFolder1->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(DataFolderForm));
    ASSERT_TRUE(BecomesActive(DataFolderForm));
    EXPECT_EQ(DataFolderForm->Current->text(), data.Path());
    QTest::keyClicks(QApplication::focusWidget(), target.path());
    dialogs.answers = { MsgAnswer::Yes, MsgAnswer::No };
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);

    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_TRUE(dialogs.messages.back().text.contains(QStringLiteral("Holiday.d00")));
    EXPECT_FALSE(DataFolderForm->isVisible());
    EXPECT_EQ(DataDirectory(), to);
    EXPECT_NE(grid.Cells(12, row), before);
    AboutBox->Open();
    EXPECT_EQ(AboutBox->Copyright->toolTip(), to);
    AboutBox->close();
}

// 参照 asks through the program's dialogs, like every other question, and
// puts the folder chosen into the field; a cancelled choice leaves it.
TEST(DataFolderFormTest, BrowseTakesTheFolderChosen)
{
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    ProgramWindows program(data);
    program.Main().DataFolder1->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(DataFolderForm));
    dialogs.folderAnswers = { QStringLiteral("/srv/leave"), std::nullopt };

    QTest::mouseClick(DataFolderForm->Button3, Qt::LeftButton);
    EXPECT_EQ(DataFolderForm->Edit1->text(), QStringLiteral("/srv/leave"));
    QTest::mouseClick(DataFolderForm->Button3, Qt::LeftButton);
    EXPECT_EQ(DataFolderForm->Edit1->text(), QStringLiteral("/srv/leave"));
    DataFolderForm->close();
}
