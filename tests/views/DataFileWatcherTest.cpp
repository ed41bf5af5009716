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

// A file that another process puts in place of the data file (as a sync
// client does: a new file renamed over it) shows in the open calendar. The
// undo history stays, and an undo or redo asks before it writes over a day
// that process changed: キャンセル writes nothing, いいえ keeps that day.
TEST_F(DataFileWatcherTest, AFileReplacedByAnotherProcessShowsAndUndoAsksBeforeWritingOverIt)
{
    LeaveStore::SaveEntry(2026, 8, 10, 1, {});
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    const int row = YearCalendarRow(8);
    SaveHistory& history = program.Main().History;

    const LeaveStore::DayEntry entry { 2026, 8, 11, 2, {} };
    DaySaves::Save(QStringLiteral("step"), std::span(&entry, 1));
    QTest::qWait(TDataFileWatcher::SettleMs * 3);
    ASSERT_TRUE(history.CanUndo());

    const QByteArray theirs = Records({ LeaveRecord::Make(2026, 8, 10, 1, {}), LeaveRecord::Make(2026, 8, 11, 3, {}),
        LeaveRecord::Make(2026, 8, 12, 3, {}) });
    data.Write(QStringLiteral("incoming"), theirs);
    ASSERT_EQ(
        QProcess::execute(QStringLiteral("mv"), { data.File(QStringLiteral("incoming")), LeaveStore::FilePath() }), 0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return grid.Cells(12, row) == QStringLiteral("PM"); }, 5000));
    EXPECT_EQ(grid.Cells(11, row), QStringLiteral("PM"));
    EXPECT_TRUE(history.CanUndo());
    EXPECT_TRUE(program.Main().Undo1->isEnabled());

    dialogs.answers.push_back(MsgAnswer::Cancel);
    DaySaves::Undo();
    DaySaves::Undo(); // unanswered: Enter, いいえ
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::ReplaceOrKeep);
    EXPECT_EQ(dialogs.messages[0].text,
        QStringLiteral("2026/08/11 はほかで変更されています。\n今の内容: PM休暇\n元に戻すと: 通常\n"
                       "今の内容を置き換えますか？（いいえ: この日は今のままにします）"));
    EXPECT_EQ(data.Bytes(QStringLiteral("Holiday.d00")), theirs);
    EXPECT_FALSE(history.CanUndo());

    dialogs.answers.push_back(MsgAnswer::Yes);
    DaySaves::Redo();
    ASSERT_EQ(dialogs.messages.size(), 3u);
    EXPECT_TRUE(dialogs.messages[2].text.contains(QStringLiteral("やり直すと: AM休暇")));
    EXPECT_EQ(grid.Cells(11, row), QStringLiteral("AM"));
}

// Another program writes the file just before a save of this program: its
// change is noticed as another program's, not taken for part of ours.
TEST_F(DataFileWatcherTest, AWriteOfAnotherProgramJustBeforeOurSaveIsNoticed)
{
    LeaveStore::SaveEntry(2026, 8, 10, 1, {});
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    const int row = YearCalendarRow(8);
    QTest::qWait(TDataFileWatcher::SettleMs * 3);

    const QByteArray theirs = Records({ LeaveRecord::Make(2026, 8, 10, 1, {}), LeaveRecord::Make(2026, 8, 12, 3, {}) });
    data.Write(QStringLiteral("Holiday.d00"), theirs);
    const LeaveStore::DayEntry entry { 2026, 8, 11, 2, {} };
    DaySaves::Save(QStringLiteral("step"), std::span(&entry, 1));
    EXPECT_EQ(WithoutStamps(data.Bytes(QStringLiteral("Holiday.d00"))),
        theirs + Records({ LeaveRecord::Make(2026, 8, 11, 2, {}) }));
    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.Cells(12, row) == QStringLiteral("PM"); }, 5000));
    EXPECT_EQ(grid.Cells(11, row), QStringLiteral("AM"));
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
