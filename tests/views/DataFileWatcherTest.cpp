#include "views/DataFileWatcher.h"

#include <QProcess>
#include <QSignalSpy>

#include <gtest/gtest.h>

#include "ViewsTestSupport.h"
#include "core/CalendarFill.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "views/DaySaves.h"
#include "views/ProgramEvents.h"
#include "views/Ycalf.h"

namespace {

class DataFileWatcherTest : public ::testing::Test {
protected:
    FixedToday today { QDate(2026, 8, 12) };
    TempDataDirectory data;
    ScriptedDialogs dialogs;
};

} // namespace

// The program's own save leaves the undo history alone; a file that another
// process puts in place of the data file (as a sync client does: a new file
// renamed over it) shows in the open calendar, and undo has nothing left.
TEST_F(DataFileWatcherTest, AFileReplacedByAnotherProcessRefreshesTheOpenCalendar)
{
    LeaveStore::SaveEntry(2026, 8, 10, 1, {});
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    const int row = YearCalendarRow(8);

    const LeaveStore::DayEntry entry { 2026, 8, 11, 2, {} };
    DaySaves::Save(QStringLiteral("step"), std::span(&entry, 1));
    QTest::qWait(TDataFileWatcher::SettleMs * 3);
    EXPECT_TRUE(program.Main().History.CanUndo());

    const QString unsaved = grid.Cells(12, row);
    data.Write(QStringLiteral("incoming"),
        data.Bytes(QStringLiteral("Holiday.d00")) + Records({ LeaveRecord::Make(2026, 8, 12, 3, {}) }));
    ASSERT_EQ(
        QProcess::execute(QStringLiteral("mv"), { data.File(QStringLiteral("incoming")), LeaveStore::FilePath() }), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid.Cells(12, row) != unsaved; }, 5000));
    EXPECT_FALSE(program.Main().History.CanUndo());
    EXPECT_FALSE(program.Main().Undo1->isEnabled());
}

// A sync client's conflict copy is asked about once; はい hands its path on.
TEST_F(DataFileWatcherTest, AConflictCopyIsAskedAboutOnce)
{
    ProgramWindows program(data);
    QSignalSpy found(&ProgramEvents(), &TProgramEvents::conflictCopyFound);
    const QString name = QStringLiteral("Holiday.sync-conflict-20260812-101010-ABCDEFG.d00");
    dialogs.answers.push_back(MsgAnswer::Yes);
    data.Write(name, Records({ LeaveRecord::Make(2026, 8, 12, 3, {}) }));
    ASSERT_TRUE(QTest::qWaitFor([&] { return found.count() == 1; }, 5000));
    EXPECT_EQ(found.front().front().toString(), data.File(name));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_TRUE(dialogs.messages.front().text.contains(name));
    EXPECT_EQ(dialogs.messages.front().buttons, MsgButtons::YesNo);

    data.Write(QStringLiteral("Holiday (conflicted copy 2026-08-12).d00"), {});
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialogs.messages.size() == 2; }, 5000));
    data.Write(QStringLiteral("unrelated"), "x");
    QTest::qWait(TDataFileWatcher::SettleMs * 3);
    EXPECT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(found.count(), 1);
}
