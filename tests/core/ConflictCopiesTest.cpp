#include "core/ConflictCopies.h"

#include <map>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "core/SaveHistory.h"

namespace {

constexpr MachineId MachineA { 0, 0, 0, 0, 0, 0xA };
constexpr MachineId MachineB { 0, 0, 0, 0, 0, 0xB };

LeaveRecord At(int day, int kind, qint64 time, const MachineId& writer, const QString& memo = {})
{
    LeaveRecord r = LeaveRecord::Make(2026, 12, day, kind, memo);
    r.Stamp(time, writer);
    return r;
}

QByteArray Bytes(std::initializer_list<LeaveRecord> records)
{
    QByteArray bytes;
    for (const LeaveRecord& r : records)
        bytes.append(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size);
    return bytes;
}

class ConflictCopiesTest : public ::testing::Test {
protected:
    TempDataDirectory data;
};

} // namespace

TEST(ConflictCopyNames, TheCopiesOfEachSyncClientAreKnownAndNothingElse)
{
    for (const char* name : { "Holiday.sync-conflict-20261208-065234-ZJXGB42.d00",
             "holiday (conflicted copy 2026-12-08 065234).D00", "Holiday_conflict-20261208-065234.d00",
             "Holiday (Taro's conflicted copy 2026-12-08).d00", "Holiday (Taro の競合コピー 2026-12-08).d00" })
        EXPECT_TRUE(ConflictCopies::IsDataCopy(QString::fromUtf8(name))) << name;
    for (const char* name : { "Holiday.d00", "Holiday.tmp$$", "Holiday.sync-conflict-.d00", "Holiday (1).d00",
             "Holiday.sync-conflict-20261208-065234-ZJXGB42.d00.tmp",
             "orbelund.sync-conflict-20261208-065534-ZJXGB42.ini" })
        EXPECT_FALSE(ConflictCopies::IsDataCopy(QString::fromUtf8(name))) << name;
    EXPECT_TRUE(ConflictCopies::IsSettingsCopy(QStringLiteral("orbelund.sync-conflict-20261208-065534-ZJXGB42.ini")));
}

// Per date the newer write wins whichever file holds it, a tie goes to the
// larger writer, a clear is a write like any other, and a date only the
// copy holds comes in. Both machines merging each other's copy end with the
// same days; the merged copy waits in backup/ under its own name.
TEST_F(ConflictCopiesTest, TheNewerWriteOfEachDateWinsAndTheCopyGoesToBackup)
{
    const QByteArray mine = Bytes({ At(1, 1, 100, MachineA), At(2, 2, 300, MachineA), At(3, 5, 200, MachineA),
        At(4, 0, 500, MachineA, QStringLiteral("消した")) });
    const QByteArray theirs
        = Bytes({ At(1, 3, 200, MachineB), At(2, 3, 100, MachineB), At(3, 6, 200, MachineB), At(4, 1, 400, MachineB),
            At(9, 8, 50, MachineB, QStringLiteral("健診")), LeaveRecord::Make(2026, 2, 30, 1, {}) });
    const QString copy = data.File(QStringLiteral("Holiday.sync-conflict-20261208-065234-ZJXGB42.d00"));
    data.Write(QStringLiteral("Holiday.d00"), mine);
    data.Write(QFileInfo(copy).fileName(), theirs);
    QDir().mkpath(data.File(QStringLiteral("backup")));
    data.Write(QStringLiteral("backup/") + QFileInfo(copy).fileName(), "taken");

    const std::vector<ConflictCopies::DataMerge> merges = ConflictCopies::MergeDataCopies();
    ASSERT_EQ(merges.size(), 1u);
    EXPECT_TRUE(merges[0].Error.isEmpty()) << merges[0].Error.toStdString();
    EXPECT_EQ(
        merges[0].Backup, data.File(QStringLiteral("backup/Holiday.sync-conflict-20261208-065234-ZJXGB42-2.d00")));
    EXPECT_EQ(data.Bytes(QStringLiteral("backup/Holiday.sync-conflict-20261208-065234-ZJXGB42-2.d00")), theirs);
    EXPECT_FALSE(QFileInfo::exists(copy));
    ASSERT_EQ(merges[0].Days.size(), 3u); // the 1st, the 3rd (tie: B is larger), the 9th
    EXPECT_EQ(merges[0].Days[0].Before.Kind(), 1);
    EXPECT_EQ(merges[0].Days[0].After.Kind(), 3);
    EXPECT_TRUE(merges[0].Days[2].Before.Cleared());

    const QByteArray merged = Bytes({ At(1, 3, 200, MachineB), At(2, 2, 300, MachineA), At(3, 6, 200, MachineB),
        At(4, 0, 500, MachineA, QStringLiteral("消した")), At(9, 8, 50, MachineB, QStringLiteral("健診")) });
    EXPECT_EQ(data.Bytes(QStringLiteral("Holiday.d00")), merged);

    // The other machine merges the same two files the other way round.
    data.Write(QStringLiteral("Holiday.d00"), theirs);
    data.Write(QFileInfo(copy).fileName(), mine);
    ConflictCopies::MergeDataCopies();
    const LeaveStore::Records ours = LeaveStore::ReadAll();
    for (const LeaveRecord& r : ours) {
        if (r.Month() == 12) {
            EXPECT_TRUE(merged.contains(QByteArray(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size)))
                << r.Day();
        }
    }
    EXPECT_EQ(ours.size(), 6u); // the impossible date stays where it was, and is not merged either way

    // Nothing left to merge: nothing is written.
    const QByteArray before = data.Bytes(QStringLiteral("Holiday.d00"));
    EXPECT_TRUE(ConflictCopies::MergeDataCopies().empty());
    EXPECT_EQ(data.Bytes(QStringLiteral("Holiday.d00")), before);
}

// The copies Syncthing left in the trial hold no write times: their days
// the data file lacks come in, and on a shared date the file keeps its own.
TEST_F(ConflictCopiesTest, CopiesWithoutWriteTimesAddWhatTheFileLacks)
{
    const QString fixtures = QStringLiteral(QT_TESTCASE_SOURCEDIR "/core/data/sync-tool/");
    ASSERT_TRUE(QFile::copy(fixtures + QStringLiteral("Holiday.d00"), data.File(QStringLiteral("Holiday.d00"))));
    QFile::setPermissions(data.File(QStringLiteral("Holiday.d00")), QFile::ReadOwner | QFile::WriteOwner);
    const LeaveStore::Records file = LeaveStore::ReadAll();
    for (const char* name :
        { "Holiday.sync-conflict-20261208-065234-ZJXGB42.d00", "Holiday.sync-conflict-20261208-065250-RCEZH6U.d00" })
        ASSERT_TRUE(QFile::copy(fixtures + QString::fromLatin1(name), data.File(QString::fromLatin1(name))));
    const LeaveStore::Records a
        = LeaveStore::ReadAllOf(data.File(QStringLiteral("Holiday.sync-conflict-20261208-065234-ZJXGB42.d00")));
    const LeaveStore::Records b
        = LeaveStore::ReadAllOf(data.File(QStringLiteral("Holiday.sync-conflict-20261208-065250-RCEZH6U.d00")));

    const std::vector<ConflictCopies::DataMerge> merges = ConflictCopies::MergeDataCopies();
    ASSERT_EQ(merges.size(), 2u);
    std::map<uint32_t, QByteArray> expected;
    for (const auto* records : { &file, &a, &b })
        for (const LeaveRecord& r : *records)
            expected.try_emplace(r.DateKey(), QByteArray(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size));
    const LeaveStore::Records result = LeaveStore::ReadAll();
    ASSERT_EQ(result.size(), expected.size());
    for (const LeaveRecord& r : result)
        EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size), expected.at(r.DateKey()));
    EXPECT_TRUE(ConflictCopies::DataCopies().isEmpty());
}

// A merge is one step of the history: undo puts back what each date held.
TEST_F(ConflictCopiesTest, AMergeIsOneStepThatUndoTakesBack)
{
    data.Write(QStringLiteral("Holiday.d00"), Bytes({ At(1, 1, 100, MachineA) }));
    SaveHistory history;
    const auto name = [](int days) { return QStringLiteral("別のPCの変更を取り込み %1日").arg(days); };
    const LeaveRecord copy[] = { At(1, 2, 200, MachineB), At(2, 5, 200, MachineB), At(3, 0, 200, MachineB) };
    history.Merge(name, copy);
    EXPECT_EQ(history.UndoName(), QStringLiteral("別のPCの変更を取り込み 2日"));
    EXPECT_EQ(LeaveStore::FindEntry(2026, 12, 2).Kind, 5);
    ASSERT_TRUE(history.Undo({}));
    EXPECT_EQ(LeaveStore::FindEntry(2026, 12, 1).Kind, 1);
    EXPECT_EQ(LeaveStore::FindEntry(2026, 12, 2).Kind, 0);
    EXPECT_FALSE(history.CanUndo());
    // The undo is a new write: merging the same copy again changes nothing.
    history.Merge(name, copy);
    EXPECT_EQ(LeaveStore::FindEntry(2026, 12, 1).Kind, 1);
    EXPECT_FALSE(history.CanUndo());
}
