#include "core/SaveHistory.h"

#include <gtest/gtest.h>

#include "TestSupport.h"

// Each step undone gives back the file's bytes as they were before it, also
// for a record that another tool wrote with bytes the program never writes.
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
        before.push_back(data.Bytes(QStringLiteral("Holiday.d00")));
        // The last step replaces the foreign record.
        const int day = step == 200 ? 25 : 5 + step % 20;
        const LeaveStore::DayEntry entry { 2026, 1, day, 1 + step % 10, QString::number(step) };
        history.Save(QStringLiteral("step %1").arg(step), std::span(&entry, 1));
    }
    for (int step = 200; step >= 1; --step) {
        ASSERT_TRUE(history.CanUndo());
        EXPECT_EQ(history.UndoName(), QStringLiteral("step %1").arg(step));
        history.Undo({});
        EXPECT_EQ(data.Bytes(QStringLiteral("Holiday.d00")), before[size_t(step)]) << step;
    }
    EXPECT_FALSE(history.CanUndo()); // the first step is gone
    history.Redo({});
    EXPECT_EQ(history.RedoName(), QStringLiteral("step 2"));
}
