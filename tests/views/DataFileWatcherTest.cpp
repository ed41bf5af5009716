#include "views/DataFileWatcher.h"

#include <QApplication>
#include <QDateTime>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QToolButton>

#include <gtest/gtest.h>

#include "ViewsTestSupport.h"
#include "core/CalendarFill.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
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

// A sync client's conflict copy is merged by itself: the open calendar
// shows its day, no question comes and the focus stays where the user types,
// the status line tells once with 詳細 beside it, undo takes the merge back,
// and the copy waits in backup/ and is never merged again.
TEST_F(DataFileWatcherTest, AConflictCopyIsMergedWithoutAQuestion)
{
    LeaveStore::SaveEntry(2026, 8, 10, 1, {});
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    const int row = YearCalendarRow(8);
    QWidget* typing = QApplication::focusWidget();
    LeaveRecord theirs = LeaveRecord::Make(2026, 8, 12, 3, QStringLiteral("通院"));
    theirs.Stamp(QDateTime::currentMSecsSinceEpoch() + 1000, MachineId { 9, 9, 9, 9, 9, 9 });
    const QString name = QStringLiteral("Holiday.sync-conflict-20260812-101010-ABCDEFG.d00");
    data.Write(name, Records({ LeaveRecord::Make(2026, 8, 10, 2, {}), theirs }));

    ASSERT_TRUE(QTest::qWaitFor([&] { return grid.Cells(12, row) == QStringLiteral("PM"); }, 5000));
    EXPECT_EQ(grid.Cells(10, row), QStringLiteral("全")); // the file's own write is newer than one of no time
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(QApplication::focusWidget(), typing);
    EXPECT_EQ(program.Main().StatusText(), QStringLiteral("別のPCの変更を取り込みました（1日）。"));
    auto* details = program.Main().findChild<QToolButton*>(QStringLiteral("NoticeDetailsButton"));
    ASSERT_TRUE(details);
    EXPECT_TRUE(details->isVisibleTo(&program.Main()));
    for (int opening = 0; opening < 2; ++opening) {
        details->click();
        auto* text = program.Main().findChild<QPlainTextEdit*>(QStringLiteral("DetailsText"));
        ASSERT_TRUE(text);
        EXPECT_TRUE(text->toPlainText().contains(QStringLiteral("2026/08/12 追加: PM休暇（通院）")))
            << text->toPlainText().toStdString();
        text->window()->close();
    }
    EXPECT_FALSE(QFileInfo::exists(data.File(name)));
    EXPECT_TRUE(QFileInfo::exists(data.File(QStringLiteral("backup/") + name)));
    EXPECT_EQ(program.Main().Undo1->text(), QStringLiteral("元に戻す: 別のPCの変更を取り込み 1日(&U)"));

    program.Main().SetStatusText(QString());
    DaySaves::Undo();
    EXPECT_EQ(LeaveStore::FindEntry(2026, 8, 12).Kind, 0);
    QTest::qWait(TDataFileWatcher::SettleMs * 3);
    EXPECT_TRUE(program.Main().StatusText().isEmpty());
    EXPECT_FALSE(details->isVisibleTo(&program.Main()));
}

// A conflict copy of the settings file from another machine is merged key
// by key: its newer option redraws the open calendar (national holidays
// become days off), the status line names the option, and the copy waits in
// backup/.
TEST_F(DataFileWatcherTest, ASettingsConflictCopyIsMergedAndItsOptionsRedrawTheCalendar)
{
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    const int september = YearCalendarRow(9);
    ASSERT_EQ(grid.Cells(21, september), QString()); // 敬老の日, 2026
    const QString name = QStringLiteral("orbelund.sync-conflict-20261208-065534-ZJXGB42.ini");
    const QString incoming = data.File(QStringLiteral("incoming.ini"));
    ASSERT_TRUE(QFile::copy(Settings::FilePath(), incoming));
    ProfileFile(incoming).WriteBool(QStringLiteral("Holiday"), QStringLiteral("7"), true);
    QFile(incoming).setFileTime(QDateTime::currentDateTime().addSecs(60), QFileDevice::FileModificationTime);
    ASSERT_EQ(QProcess::execute(QStringLiteral("mv"), { incoming, data.File(name) }), 0);

    EXPECT_TRUE(QTest::qWaitFor([&] { return grid.Cells(21, september) == QStringLiteral("祝"); }, 5000));
    EXPECT_EQ(program.Main().StatusText(), QStringLiteral("別のPCの設定を取り込みました: 祝日も休日とする"));
    EXPECT_TRUE(Settings::HolidaysAreDaysOff());
    EXPECT_TRUE(QFileInfo::exists(data.File(QStringLiteral("backup/") + name)));
    EXPECT_TRUE(dialogs.messages.empty());
}
