#include "views/RestoreForm.h"

#include <QDir>
#include <QTreeWidget>

#include <gtest/gtest.h>

#include "ViewsTestSupport.h"
#include "core/Backups.h"
#include "core/CalendarFill.h"
#include "core/LeaveStore.h"
#include "platform/Files.h"
#include "platform/MachineId.h"
#include "views/DaySaves.h"
#include "views/Ycalf.h"

namespace {

const QString DataFile = QStringLiteral("Holiday.d00");

// This machine's copy of a day in backup/.
QString OwnCopy(const QString& day)
{
    return QStringLiteral("backup/Holiday-%1-%2.d00").arg(day, MachineIdText(ThisMachineId()));
}

void SaveDay(int day, int kind)
{
    const LeaveStore::DayEntry entry { 2026, 8, day, kind, {} };
    DaySaves::Save(QStringLiteral("step"), std::span(&entry, 1));
}

class RestoreFormTest : public ::testing::Test {
protected:
    FixedToday today { QDate(2026, 8, 12) };
    TempDataDirectory data;
    ScriptedDialogs dialogs;
};

} // namespace

// The start backs up the data file; after a day was saved, the restore
// chosen in the list puts that backup back byte for byte, the open calendar
// shows it, and undo has nothing left to take back. A damaged backup cannot
// be chosen.
TEST_F(RestoreFormTest, RestoresTheChosenBackupAndRefreshesTheWindows)
{
    LeaveStore::SaveEntry(2026, 8, 10, 1, {});
    ProgramWindows program(data);
    const QByteArray started = data.Bytes(DataFile);
    ASSERT_EQ(data.Bytes(OwnCopy(QStringLiteral("20260812"))), started);
    data.Write(QStringLiteral("backup/Holiday-20260801.d00"), "not a data file");

    TStrColGrid& grid = *YcalForm->StrColGrid1;
    const int row = YearCalendarRow(8);
    const QString unsaved = grid.Cells(11, row);
    SaveDay(11, 2);
    ASSERT_NE(grid.Cells(11, row), unsaved);
    ASSERT_TRUE(program.Main().History.CanUndo());

    program.Main().Restore1->trigger();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(RestoreForm));
    QTreeWidget& list = *RestoreForm->ListView1;
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(0)->text(0), QStringLiteral("2026/08/12"));
    EXPECT_EQ(list.topLevelItem(0)->text(1), QStringLiteral("1日"));
    EXPECT_EQ(list.topLevelItem(0)->text(2), QStringLiteral("2026/08/10"));
    EXPECT_EQ(list.topLevelItem(1)->text(1), QStringLiteral("（壊れています）"));
    QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, list.visualItemRect(list.topLevelItem(1)).center());
    QTest::keyClick(list.viewport(), Qt::Key_Down);
    EXPECT_EQ(list.selectedItems(), QList { list.topLevelItem(0) });

    dialogs.answers.push_back(MsgAnswer::Yes);
    ASSERT_TRUE(BecomesActive(RestoreForm));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages.front().buttons, MsgButtons::ReplaceOrKeep);
    EXPECT_EQ(data.Bytes(DataFile), started);
    EXPECT_FALSE(RestoreForm->isVisible());
    EXPECT_EQ(grid.Cells(11, row), unsaved);
    EXPECT_FALSE(program.Main().History.CanUndo());
    EXPECT_FALSE(program.Main().Undo1->isEnabled());
    EXPECT_TRUE(program.Main().StatusText().contains(QStringLiteral("復元しました")));
}

// A backup that cannot be written is told in the status bar; the save is
// made all the same.
TEST_F(RestoreFormTest, AFailedBackupIsToldAndTheSaveIsMade)
{
    LeaveStore::SaveEntry(2026, 8, 10, 1, {});
    QDir().mkpath(data.File(QStringLiteral("backup")));
    data.Write(OwnCopy(QStringLiteral("20260811")), data.Bytes(DataFile));
    ProgramWindows program(data);
    ASSERT_EQ(program.Main().StatusText(), QString()); // nothing new to back up at start

    Files::Faults::FailNth(1);
    SaveDay(11, 2);
    Files::Faults::FailNth(0);
    EXPECT_EQ(LeaveStore::FindEntry(2026, 8, 11).Kind, 2);
    EXPECT_EQ(program.Main().StatusText(), Backups::FailureText(ENOSPC));
    EXPECT_FALSE(Files::Exists(data.File(OwnCopy(QStringLiteral("20260812")))));
}
