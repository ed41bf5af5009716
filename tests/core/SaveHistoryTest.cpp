#include "core/SaveHistory.h"

#include <QDateTime>

#include <gtest/gtest.h>

#include "TestSupport.h"

// Each step undone gives back the file's bytes as they were before it, also
// for a record that another tool wrote with bytes the program never writes;
// only the write times and writers are the undo's own.
TEST(SaveHistoryTest, UndoesTheLast200StepsToTheBytesBeforeEach)
{
    TempDataDirectory data;
    LeaveRecord foreign = LeaveRecord::Make(2026, 1, 25, 1, QStringLiteral("他のツール"));
    foreign.Data()[60] = 0x7F; // a reserved byte
    data.Write(QStringLiteral("Holiday.d00"), QByteArray(reinterpret_cast<const char*>(foreign.Data()), 64));

    for (int day = 5; day < 25; ++day) // every day of the steps has a record
        LeaveStore::SaveEntry(2026, 1, day, 0, {});

    SaveHistory history;
    std::vector<QByteArray> before;
    for (int step = 0; step < 201; ++step) {
        before.push_back(WithoutStamps(data.Bytes(QStringLiteral("Holiday.d00"))));
        // The last step replaces the foreign record.
        const int day = step == 200 ? 25 : 5 + step % 20;
        const LeaveStore::DayEntry entry { 2026, 1, day, 1 + step % 10, QString::number(step) };
        history.Save(QStringLiteral("step %1").arg(step), std::span(&entry, 1));
    }
    for (int step = 200; step >= 1; --step) {
        ASSERT_TRUE(history.CanUndo());
        EXPECT_EQ(history.UndoName(), QStringLiteral("step %1").arg(step));
        history.Undo({});
        EXPECT_EQ(WithoutStamps(data.Bytes(QStringLiteral("Holiday.d00"))), before[size_t(step)]) << step;
    }
    EXPECT_FALSE(history.CanUndo()); // the first step is gone
    history.Redo({});
    EXPECT_EQ(history.RedoName(), QStringLiteral("step 2"));
}

// An undo is a new write: its record wins over the one the step wrote, so
// that a machine still holding the step's record takes the undo when the
// copies are merged, however soon after the step it came.
TEST(SaveHistoryTest, AnUndoWritesItsRecordsWithANewTime)
{
    TempDataDirectory data;
    LeaveStore::SaveEntry(2026, 2, 3, 1, QStringLiteral("old"));
    SaveHistory history;
    const LeaveStore::DayEntry entry { 2026, 2, 3, 5, {} };
    history.Save(QStringLiteral("step"), std::span(&entry, 1));
    const LeaveRecord step = LeaveStore::ReadAll().at(0);
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    history.Undo({});
    const LeaveRecord undone = LeaveStore::ReadAll().at(0);
    EXPECT_EQ(undone.Memo(), QStringLiteral("old"));
    EXPECT_EQ(undone.Writer(), ThisMachineId());
    EXPECT_GE(undone.WriteTime(), before);
    EXPECT_TRUE(undone.WinsOver(step));
}
