#include "core/LeaveStore.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Errors.h"
#include "platform/ShiftJis.h"

namespace {

QByteArray RecordBytes(int year, int month, int day, int kind, const QByteArray& memo, bool cleared)
{
    QByteArray r(64, '\0');
    r[0] = 101;
    r[16] = cleared ? 1 : 0;
    r[18] = char(year & 0xFF);
    r[19] = char(year >> 8);
    r[20] = char(month);
    r[21] = char(day);
    r[22] = char(kind);
    r[23] = char(memo.size());
    r.replace(24, int(memo.size()), memo);
    return r;
}

} // namespace

class LeaveStoreTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    QByteArray File() const { return data.Bytes(QStringLiteral("Holiday.d00")); }
};

TEST_F(LeaveStoreTest, FirstSaveCreatesOneRecordLaidOutByteForByte)
{
    LeaveStore::SaveEntry(2024, 11, 3, 1, QStringLiteral("旅行"));
    const QByteArray memo = ShiftJis::FromUnicode(QStringLiteral("旅行"));
    EXPECT_EQ(File(), RecordBytes(2024, 11, 3, 1, memo, false));
    EXPECT_EQ(File().left(2), QByteArray("\x65\x00", 2));
}

TEST_F(LeaveStoreTest, SavingADateAgainReplacesItsRecordInPlace)
{
    LeaveStore::SaveEntry(2024, 4, 1, 1, QStringLiteral("a"));
    LeaveStore::SaveEntry(2024, 4, 2, 2, QStringLiteral("b"));
    LeaveStore::SaveEntry(2024, 4, 1, 5, QStringLiteral("c"));
    EXPECT_EQ(File(), RecordBytes(2024, 4, 1, 5, "c", false) + RecordBytes(2024, 4, 2, 2, "b", false));
    const LeaveStore::Entry e = LeaveStore::FindEntry(2024, 4, 1);
    EXPECT_EQ(e.Kind, 5);
    EXPECT_EQ(e.Memo, QStringLiteral("c"));
}

TEST_F(LeaveStoreTest, ClearingKeepsTheMemoUntilCompaction)
{
    LeaveStore::SaveEntry(2024, 5, 1, 0, QStringLiteral("memo"));
    EXPECT_EQ(File(), RecordBytes(2024, 5, 1, 0, "memo", true)); // appended although the date was new
    EXPECT_EQ(LeaveStore::FindEntry(2024, 5, 1).Memo, QStringLiteral("memo"));
    LeaveStore::Compact();
    EXPECT_EQ(File().size(), 0);
    const LeaveStore::Entry e = LeaveStore::FindEntry(2024, 5, 1);
    EXPECT_EQ(e.Kind, 0);
    EXPECT_TRUE(e.Memo.isEmpty());
}

TEST_F(LeaveStoreTest, MissingFileReadsAsEmpty)
{
    EXPECT_TRUE(LeaveStore::ReadAll().empty());
    EXPECT_EQ(LeaveStore::FindEntry(2024, 1, 1).Kind, 0);
    EXPECT_FALSE(LeaveStore::LastModified().has_value());
    LeaveStore::Compact();
    LeaveStore::CheckOnStartup();
    EXPECT_FALSE(LeaveStore::Exists());
}

TEST_F(LeaveStoreTest, MemosAreCutToThirtyBytesWithoutSplittingACharacter)
{
    LeaveStore::SaveEntry(2024, 6, 1, 1, QString(40, u'x'));
    EXPECT_EQ(LeaveStore::FindEntry(2024, 6, 1).Memo, QString(30, u'x'));
    // 'a' then 16 kanji: the 30th byte would be the first half of the 15th kanji
    const QString kanji = QStringLiteral("休暇休暇休暇休暇休暇休暇休暇休暇");
    LeaveStore::SaveEntry(2024, 6, 2, 1, u'a' + kanji);
    const QByteArray second = File().mid(64);
    EXPECT_EQ(int(second[23]), 29);
    EXPECT_EQ(LeaveStore::FindEntry(2024, 6, 2).Memo, u'a' + kanji.left(14));
    EXPECT_EQ(second.mid(53, 11), QByteArray(11, '\0'));
}

TEST_F(LeaveStoreTest, ATrailingPartialRecordIsNotARecordAndIsOverwrittenByTheNext)
{
    data.Write(QStringLiteral("Holiday.d00"), RecordBytes(2024, 7, 1, 1, "", false) + "X");
    EXPECT_EQ(LeaveStore::ReadAll().size(), 1u);
    LeaveStore::SaveEntry(2024, 7, 2, 3, QString());
    EXPECT_EQ(File(), RecordBytes(2024, 7, 1, 1, "", false) + RecordBytes(2024, 7, 2, 3, "", false));
}

TEST_F(LeaveStoreTest, TheFirstOfTwoRecordsOfADateIsFoundAndSaved)
{
    data.Write(QStringLiteral("Holiday.d00"),
        RecordBytes(2024, 8, 1, 1, "first", false) + RecordBytes(2024, 8, 1, 2, "second", false));
    EXPECT_EQ(LeaveStore::FindEntry(2024, 8, 1).Memo, QStringLiteral("first"));
    LeaveStore::SaveEntry(2024, 8, 1, 5, QStringLiteral("new"));
    EXPECT_EQ(File(), RecordBytes(2024, 8, 1, 5, "new", false) + RecordBytes(2024, 8, 1, 2, "second", false));
}

TEST_F(LeaveStoreTest, DamagedRecordsAreReadSafely)
{
    QByteArray overlong = RecordBytes(2024, 9, 1, 1, QByteArray(30, 'm'), false);
    overlong[23] = char(200); // length byte beyond the memo field
    QByteArray foreign = RecordBytes(2024, 13, 40, 99, "", false);
    foreign[16] = char(7); // any non-zero flag means cleared
    data.Write(QStringLiteral("Holiday.d00"), overlong + foreign);
    const std::vector<LeaveRecord> records = LeaveStore::ReadAll();
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[0].Memo(), QString(30, u'm'));
    EXPECT_EQ(records[1].Month(), 13);
    EXPECT_EQ(records[1].Kind(), 99);
    EXPECT_TRUE(records[1].Cleared());
    EXPECT_EQ(LeaveStore::FindEntry(2024, 9, 1).Memo, QString(30, u'm'));
}

TEST_F(LeaveStoreTest, CompactionKeepsUnclearedRecordsInOrderByteForByte)
{
    QByteArray first = RecordBytes(2024, 4, 1, 1, "one", false);
    first[5] = char(0x5A); // bytes a foreign writer left in reserved space stay as they are
    const QByteArray middle = RecordBytes(2024, 4, 2, 0, "two", true);
    const QByteArray last = RecordBytes(2024, 4, 3, 3, "three", false);
    data.Write(QStringLiteral("Holiday.d00"), first + middle + last + "tail");
    LeaveStore::Compact();
    EXPECT_EQ(File(), first + last);
    EXPECT_FALSE(QFile::exists(data.File(QStringLiteral("Holiday.tmp$$"))));
}

TEST_F(LeaveStoreTest, StartupTakesBackTheCopyOfAnInterruptedCompaction)
{
    const QByteArray kept = RecordBytes(2024, 4, 1, 1, "", false);
    data.Write(QStringLiteral("Holiday.tmp$$"), kept);
    LeaveStore::CheckOnStartup();
    EXPECT_EQ(File(), kept);
    EXPECT_FALSE(QFile::exists(data.File(QStringLiteral("Holiday.tmp$$"))));
}

TEST_F(LeaveStoreTest, AStaleCopyNeverReplacesTheDataFile)
{
    const QByteArray current = RecordBytes(2024, 4, 1, 1, "", false);
    data.Write(QStringLiteral("Holiday.d00"), current);
    data.Write(QStringLiteral("Holiday.tmp$$"), QByteArray(10, 'x')); // half written when power failed
    LeaveStore::CheckOnStartup();
    EXPECT_EQ(File(), current);
    LeaveStore::Compact();
    EXPECT_EQ(File(), current);
}

TEST_F(LeaveStoreTest, FailuresRaiseTheIoErrorAndKeepTheFile)
{
    // A directory in place of the data file holds no records and cannot be written.
    ASSERT_TRUE(QDir(data.Path()).mkdir(QStringLiteral("Holiday.d00")));
    EXPECT_TRUE(LeaveStore::ReadAll().empty());
    try {
        LeaveStore::SaveEntry(2024, 1, 1, 1, QString());
        ADD_FAILURE() << "saved into a directory";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("File access denied"));
    }
    EXPECT_TRUE(QFileInfo(LeaveStore::FilePath()).isDir());
}

TEST_F(LeaveStoreTest, ReportsTheLastModificationInLocalTime)
{
    LeaveStore::SaveEntry(2009, 3, 5, 1, QString());
    QFile f(LeaveStore::FilePath());
    ASSERT_TRUE(f.open(QIODevice::ReadWrite));
    const QDateTime when(QDate(2009, 3, 5), QTime(14, 7, 30));
    ASSERT_TRUE(f.setFileTime(when, QFileDevice::FileModificationTime));
    f.close();
    EXPECT_EQ(LeaveStore::LastModified(), when);
}

TEST_F(LeaveStoreTest, ReadsRecordsAtGivenPositions)
{
    LeaveStore::SaveEntry(2024, 4, 1, 1, QStringLiteral("a"));
    LeaveStore::SaveEntry(2024, 4, 2, 2, QStringLiteral("b"));
    LeaveStore::SaveEntry(2024, 4, 3, 3, QStringLiteral("c"));
    const std::vector<LeaveRecord> r = LeaveStore::ReadRecords({ 2, 0 });
    ASSERT_EQ(r.size(), 2u);
    EXPECT_EQ(r[0].Memo(), QStringLiteral("c"));
    EXPECT_EQ(r[1].Memo(), QStringLiteral("a"));
}
