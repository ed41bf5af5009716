#include "core/LeaveStore.h"

#include <set>

#include <sys/stat.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Errors.h"
#include "platform/FileLock.h"
#include "platform/Files.h"
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

// A summer holiday over days that hold a record, a cleared record and two
// records, then second thoughts: a date again, a day cleared that had no
// record, a memo too long.
const QByteArray AugustFile = RecordBytes(2024, 8, 13, 1, "old", false) + RecordBytes(2024, 7, 1, 2, "", false)
    + RecordBytes(2024, 8, 14, 0, "gone", true) + RecordBytes(2024, 8, 15, 3, "first", false)
    + RecordBytes(2024, 8, 15, 4, "second", false) + "X";

std::vector<LeaveStore::DayEntry> AugustEntries()
{
    std::vector<LeaveStore::DayEntry> entries;
    for (int day = 12; day <= 16; ++day)
        entries.push_back({ 2024, 8, day, 5, QStringLiteral("帰省のため帰省のため帰省のため帰省のため") });
    entries.push_back({ 2024, 8, 13, 0, QStringLiteral("やめた") });
    entries.push_back({ 2024, 8, 20, 0, QString() });
    entries.push_back({ 2024, 8, 12, 9, QStringLiteral("last") });
    return entries;
}

} // namespace

class LeaveStoreTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    QByteArray File() const { return data.Bytes(QStringLiteral("Holiday.d00")); }
    bool TempFileExists() const { return QFile::exists(data.File(QStringLiteral("Holiday.tmp$$"))); }

    void TearDown() override
    {
        Files::Faults::FailNth(0);
        ShiftJis::SetCodePage({});
    }

    // The file as it was (none when `bytes` is null).
    void Restore(const QByteArray& bytes) const
    {
        QFile::remove(LeaveStore::FilePath());
        if (!bytes.isNull())
            data.Write(QStringLiteral("Holiday.d00"), bytes);
    }

    // Runs `action` with each of its checked file steps failing in turn, as on
    // a full disk, and then with none; gives the kinds of step that failed.
    // Each failure must say the disk is full and leave `check` true.
    std::set<Files::Faults::Step> FailEachStep(
        const std::function<void()>& action, const std::function<void(int)>& check = {})
    {
        std::set<Files::Faults::Step> failed;
        for (int n = 1; n < 20; ++n) {
            Files::Faults::FailNth(n);
            try {
                action();
            } catch (const EInOutError& e) {
                EXPECT_EQ(e.Reason(), QStringLiteral("ディスクがいっぱいです")) << "step " << n;
            }
            // `check` may ask Failed() which step it was: the fault is turned
            // off only after it.
            const std::optional<Files::Faults::Step> step = Files::Faults::Failed();
            if (step && check)
                check(n);
            Files::Faults::FailNth(0);
            if (!step)
                return failed;
            failed.insert(*step);
        }
        ADD_FAILURE() << "more steps than expected";
        return failed;
    }
};

using Step = Files::Faults::Step;

TEST_F(LeaveStoreTest, FirstSaveCreatesOneRecordLaidOutByteForByte)
{
    SetThisMachineId({ 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6 });
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    LeaveStore::SaveEntry(2024, 11, 3, 1, QStringLiteral("旅行"));
    const qint64 after = QDateTime::currentMSecsSinceEpoch();
    SetThisMachineId({});
    const QByteArray memo = ShiftJis::FromUnicode(QStringLiteral("旅行"));
    EXPECT_EQ(WithoutStamps(File()), RecordBytes(2024, 11, 3, 1, memo, false));
    EXPECT_EQ(File().left(2), QByteArray("\x65\x00", 2));
    // The save's time in milliseconds, little-endian, then the writer.
    qint64 time = 0;
    for (int i = 9; i >= 2; --i)
        time = time << 8 | uint8_t(File()[i]);
    EXPECT_GE(time, before);
    EXPECT_LE(time, after);
    EXPECT_EQ(File().mid(10, 6), QByteArray("\xA1\xB2\xC3\xD4\xE5\xF6"));
}

TEST_F(LeaveStoreTest, SavingADateAgainReplacesItsRecordInPlace)
{
    LeaveStore::SaveEntry(2024, 4, 1, 1, QStringLiteral("a"));
    LeaveStore::SaveEntry(2024, 4, 2, 2, QStringLiteral("b"));
    LeaveStore::SaveEntry(2024, 4, 1, 5, QStringLiteral("c"));
    EXPECT_EQ(WithoutStamps(File()), RecordBytes(2024, 4, 1, 5, "c", false) + RecordBytes(2024, 4, 2, 2, "b", false));
    const LeaveStore::Entry e = LeaveStore::FindEntry(2024, 4, 1);
    EXPECT_EQ(e.Kind, 5);
    EXPECT_EQ(e.Memo, QStringLiteral("c"));
}

TEST_F(LeaveStoreTest, ClearingKeepsTheMemoUntilCompaction)
{
    LeaveStore::SaveEntry(2024, 5, 1, 0, QStringLiteral("memo"));
    // appended although the date was new
    EXPECT_EQ(WithoutStamps(File()), RecordBytes(2024, 5, 1, 0, "memo", true));
    EXPECT_EQ(LeaveStore::FindEntry(2024, 5, 1).Memo, QStringLiteral("memo"));
    data.Write(QStringLiteral("Holiday.d00"), WithoutStamps(File())); // a clear of unknown time
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

TEST_F(LeaveStoreTest, AFolderInPlaceOfTheFileReadsAsEmpty)
{
    ASSERT_TRUE(QDir().mkdir(data.File(QStringLiteral("Holiday.d00"))));
    int visited = 0;
    LeaveStore::ForEach([&](const LeaveRecord&, qint64) { ++visited; });
    EXPECT_EQ(visited, 0);
    EXPECT_TRUE(LeaveStore::ReadAll().empty());
    EXPECT_EQ(LeaveStore::FindEntry(2024, 1, 1).Kind, 0);
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
    EXPECT_EQ(WithoutStamps(File()), RecordBytes(2024, 7, 1, 1, "", false) + RecordBytes(2024, 7, 2, 3, "", false));
}

// Ten megabytes: large enough that the records land in large pages. Every
// byte comes back, in order, and the partial record at the end does not.
TEST_F(LeaveStoreTest, ALargeFileIsReadWhole)
{
    QByteArray bytes;
    for (int i = 0; i < 160'000; ++i)
        bytes += RecordBytes(1900 + i / 336, i / 28 % 12 + 1, i % 28 + 1, i % 11, QByteArray::number(i), i % 7 == 0);
    data.Write(QStringLiteral("Holiday.d00"), bytes + "tail");
    const LeaveStore::Records records = LeaveStore::ReadAll();
    ASSERT_EQ(records.size(), 160'000u);
    EXPECT_EQ(QByteArray(reinterpret_cast<const char*>(records.data()), qsizetype(records.size()) * LeaveRecord::Size),
        bytes);
}

TEST_F(LeaveStoreTest, TheFirstOfTwoRecordsOfADateIsFoundAndSaved)
{
    data.Write(QStringLiteral("Holiday.d00"),
        RecordBytes(2024, 8, 1, 1, "first", false) + RecordBytes(2024, 8, 1, 2, "second", false));
    EXPECT_EQ(LeaveStore::FindEntry(2024, 8, 1).Memo, QStringLiteral("first"));
    LeaveStore::SaveEntry(2024, 8, 1, 5, QStringLiteral("new"));
    EXPECT_EQ(
        WithoutStamps(File()), RecordBytes(2024, 8, 1, 5, "new", false) + RecordBytes(2024, 8, 1, 2, "second", false));
}

TEST_F(LeaveStoreTest, DamagedRecordsAreReadSafely)
{
    QByteArray overlong = RecordBytes(2024, 9, 1, 1, QByteArray(30, 'm'), false);
    overlong[23] = char(200); // length byte beyond the memo field
    QByteArray foreign = RecordBytes(2024, 13, 40, 99, "", false);
    foreign[16] = char(7); // any non-zero flag means cleared
    data.Write(QStringLiteral("Holiday.d00"), overlong + foreign);
    const LeaveStore::Records records = LeaveStore::ReadAll();
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
    first[17] = char(0x5A); // bytes a foreign writer left in reserved space stay as they are
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
    EXPECT_FALSE(TempFileExists());
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
        EXPECT_EQ(e.Reason(), QStringLiteral("同じ名前のフォルダーがあります"));
        EXPECT_TRUE(e.Message().contains(LeaveStore::FilePath()));
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

TEST_F(LeaveStoreTest, ASaveIsOnTheDiskBeforeItReturnsAndEveryStepIsChecked)
{
    // A new file: written, flushed and closed, each step checked.
    const std::set<Step> created = FailEachStep([&] {
        QFile::remove(LeaveStore::FilePath());
        LeaveStore::SaveEntry(2024, 4, 1, 1, QStringLiteral("a"));
    });
    EXPECT_EQ(created, (std::set<Step> { Step::Write, Step::Flush, Step::Close }));
    EXPECT_EQ(WithoutStamps(File()), RecordBytes(2024, 4, 1, 1, "a", false));

    // A record replaced in place: a failed write leaves the old one.
    const QByteArray before = File();
    const std::set<Step> replaced = FailEachStep([&] { LeaveStore::SaveEntry(2024, 4, 1, 5, QStringLiteral("b")); },
        [&](int n) {
            if (Files::Faults::Failed() == Step::Write) {
                EXPECT_EQ(File(), before) << "step " << n;
            }
        });
    EXPECT_EQ(replaced, (std::set<Step> { Step::Write, Step::Flush, Step::Close }));
    EXPECT_EQ(WithoutStamps(File()), RecordBytes(2024, 4, 1, 5, "b", false));
}

TEST_F(LeaveStoreTest, SavingSeveralDaysLeavesWhatSavingThemOneByOneLeaves)
{
    for (const QByteArray& start : { AugustFile, QByteArray() }) {
        Restore(start);
        for (const LeaveStore::DayEntry& e : AugustEntries())
            LeaveStore::SaveEntry(e.Year, e.Month, e.Day, e.Kind, e.Memo);
        const QByteArray oneByOne = WithoutStamps(File());
        Restore(start);
        LeaveStore::SaveEntries(AugustEntries());
        EXPECT_EQ(WithoutStamps(File()), oneByOne) << (start.isNull() ? "no file" : "a file");
    }
}

TEST_F(LeaveStoreTest, ASaveOfSeveralDaysThatFailsAtAnyStepLeavesTheFileAsItWas)
{
    // Until the flush has succeeded nothing of the days may stay; a close
    // that fails after it reports an error about data already on the disk.
    for (const QByteArray& start : { AugustFile, QByteArray() }) {
        const std::set<Step> failed = FailEachStep(
            [&] {
                Restore(start);
                LeaveStore::SaveEntries(AugustEntries());
            },
            [&](int n) {
                if (Files::Faults::Failed() != Step::Close) {
                    EXPECT_EQ(QFile::exists(LeaveStore::FilePath()), !start.isNull()) << "step " << n;
                    EXPECT_EQ(File(), start) << "step " << n;
                }
            });
        EXPECT_EQ(failed, (std::set<Step> { Step::Write, Step::Flush, Step::Close }));
    }
}

TEST_F(LeaveStoreTest, ACompactionThatFailsAtAnyStepKeepsTheDataFileWhole)
{
    const QByteArray kept = RecordBytes(2024, 4, 1, 1, "one", false);
    const QByteArray whole = kept + RecordBytes(2024, 4, 2, 0, "two", true);
    data.Write(QStringLiteral("Holiday.d00"), whole);
    const std::set<Step> failed = FailEachStep([] { LeaveStore::Compact(); },
        [&](int n) {
            EXPECT_EQ(File(), whole) << "step " << n;
            EXPECT_FALSE(TempFileExists()) << "step " << n;
        });
    EXPECT_EQ(failed, (std::set<Step> { Step::Write, Step::Flush, Step::Close }));
    EXPECT_EQ(File(), kept);
}

TEST_F(LeaveStoreTest, ReadingAndCompactionCoverEveryRecordAcrossReadBatches)
{
    const qint64 batch = LeaveStore::BatchRecords;
    for (const qint64 count : { batch, batch + 1, 2 * batch + 5 }) {
        QByteArray file, kept;
        for (qint64 i = 0; i < count; ++i) {
            const bool cleared = i % 3 == 1;
            const QByteArray record = RecordBytes(
                2000 + int(i / 336), int(i / 28 % 12) + 1, int(i % 28) + 1, cleared ? 0 : 1, "m", cleared);
            file += record;
            if (!cleared)
                kept += record;
        }
        data.Write(QStringLiteral("Holiday.d00"), file);
        // The last record is found beyond the first batch as well.
        const qint64 last = count - 1;
        EXPECT_EQ(LeaveStore::FindEntry(2000 + int(last / 336), int(last / 28 % 12) + 1, int(last % 28) + 1).Memo,
            QStringLiteral("m"))
            << count << " records";
        EXPECT_EQ(LeaveStore::ReadAll().size(), size_t(count));
        qint64 visited = 0;
        LeaveStore::ForEach([&](const LeaveRecord& record, qint64 index) {
            if (index == visited
                && QByteArray(reinterpret_cast<const char*>(record.Data()), 64) == file.mid(index * 64, 64))
                ++visited;
        });
        EXPECT_EQ(visited, count) << "records visited in file order";
        LeaveStore::Compact();
        EXPECT_TRUE(File() == kept) << count << " records: " << File().size() / 64 << " kept of " << kept.size() / 64;
    }
}

TEST_F(LeaveStoreTest, AReadOnlyFileShowsItsDataAndOnlyASaveIsRefused)
{
    LeaveStore::SaveEntry(2024, 4, 1, 1, QStringLiteral("旅行"));
    LeaveStore::SaveEntry(2024, 4, 2, 2, QString());
    const QByteArray before = File();
    ASSERT_EQ(::chmod(LeaveStore::FilePath().toLocal8Bit().constData(), 0444), 0);
    ASSERT_EQ(::chmod(data.Path().toLocal8Bit().constData(), 0755), 0);
    const std::optional<int> result = RunUnprivileged([] {
        try {
            LeaveStore::CheckOnStartup();
            if (LeaveStore::ReadAll().size() != 2)
                return 1;
            if (LeaveStore::FindEntry(2024, 4, 1).Memo != QStringLiteral("旅行"))
                return 2;
            qint64 seen = 0;
            LeaveStore::ForEach([&seen](const LeaveRecord&, qint64) { ++seen; });
            if (seen != 2 || LeaveStore::ReadRecords({ 1 }).front().Kind() != 2)
                return 3;
        } catch (const EInOutError&) {
            return 4;
        }
        try {
            LeaveStore::SaveEntry(2024, 4, 3, 1, QString());
            return 5;
        } catch (const EInOutError& e) {
            return e.Reason() == QStringLiteral("書き込めません（読み取り専用です）") ? 0 : 6;
        }
    });
    if (!result)
        GTEST_SKIP() << "cannot run as an ordinary user here";
    EXPECT_EQ(*result, 0) << "1-3: data not shown, 4: a read raised, 5: saved, 6: another message";
    EXPECT_EQ(File(), before);
}

TEST_F(LeaveStoreTest, WithoutAShiftJisConverterASaveRaisesAndWritesNothing)
{
    LeaveStore::SaveEntry(2024, 4, 1, 1, QStringLiteral("旅行"));
    const QByteArray before = File();
    ShiftJis::SetCodePage("NO-SUCH-CODE-PAGE");
    EXPECT_THROW(LeaveStore::SaveEntry(2024, 4, 1, 2, QStringLiteral("メモ")), EConvertError);
    EXPECT_THROW(LeaveStore::SaveEntry(2024, 4, 2, 2, QString()), EConvertError);
    EXPECT_THROW(LeaveStore::FindEntry(2024, 4, 1), EConvertError);
    EXPECT_EQ(File(), before);
}

// Another copy of the program holds the writers' lock for longer than the
// wait: a save and a compaction say so and change nothing.
TEST_F(LeaveStoreTest, AWriterThatCannotGetTheLockWritesNothing)
{
    data.Write(QStringLiteral("Holiday.d00"), AugustFile);
    FileLock::SetWait(std::chrono::milliseconds(100));
    {
        const FileLock other(LeaveStore::LockFilePath());
        for (const auto& write : { std::function<void()>([] { LeaveStore::SaveEntry(2024, 9, 1, 1, {}); }),
                 std::function<void()>(LeaveStore::Compact) }) {
            try {
                write();
                ADD_FAILURE() << "wrote without the lock";
            } catch (const EInOutError& e) {
                EXPECT_TRUE(e.Message().contains(QStringLiteral("ほかのプログラムが"))) << e.Message().toStdString();
            }
            EXPECT_EQ(File(), AugustFile);
        }
    }
    FileLock::SetWait({});
    LeaveStore::SaveEntry(2024, 9, 1, 1, {});
    EXPECT_EQ(File().size(), AugustFile.size() + 63);
}

// Every record a save writes carries one time taken during the save and
// this machine's id, and wins over the record it replaces even when that
// one's writer had a clock ahead of ours; other records keep their stamps.
TEST_F(LeaveStoreTest, ASaveStampsItsRecordsWithItsTimeAndThisMachine)
{
    LeaveRecord ahead = LeaveRecord::Make(2024, 8, 13, 1, {});
    ahead.Stamp(QDateTime::currentMSecsSinceEpoch() + 3'600'000, { 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF });
    data.Write(QStringLiteral("Holiday.d00"),
        QByteArray(reinterpret_cast<const char*>(ahead.Data()), 64) + AugustFile.mid(64));
    const qint64 before = QDateTime::currentMSecsSinceEpoch();
    LeaveStore::SaveEntries(AugustEntries());
    const qint64 after = QDateTime::currentMSecsSinceEpoch();

    std::set<qint64> times;
    for (const LeaveRecord& r : LeaveStore::ReadAll()) {
        if (r.IsDate(2024, 7, 1) || (r.IsDate(2024, 8, 15) && r.Memo() == QStringLiteral("second"))) {
            EXPECT_EQ(r.WriteTime(), 0) << r.Day(); // not written by the save
            continue;
        }
        EXPECT_EQ(r.Writer(), ThisMachineId()) << r.Day();
        if (r.IsDate(2024, 8, 13)) {
            EXPECT_TRUE(r.WinsOver(ahead));
            continue;
        }
        times.insert(r.WriteTime());
    }
    ASSERT_EQ(times.size(), 1u);
    EXPECT_GE(*times.begin(), before);
    EXPECT_LE(*times.begin(), after);
}

TEST_F(LeaveStoreTest, CompactionKeepsClearsYoungerThanTheKeptDaysAndEveryLiveRecord)
{
    const qint64 now = QDateTime::currentMSecsSinceEpoch(), day = 24 * 3'600'000;
    const auto stamped = [](int dayOfMonth, int kind, qint64 time) {
        LeaveRecord r = LeaveRecord::Make(2024, 4, dayOfMonth, kind, {});
        r.Stamp(time, { 1, 2, 3, 4, 5, 6 });
        return QByteArray(reinterpret_cast<const char*>(r.Data()), 64);
    };
    const QByteArray young = stamped(1, 0, now - (LeaveStore::KeptClearDays - 1) * day);
    const QByteArray old = stamped(2, 0, now - (LeaveStore::KeptClearDays + 1) * day);
    const QByteArray unknown = stamped(3, 0, 0);
    const QByteArray liveOld = stamped(4, 1, now - 5000 * day), liveUnknown = stamped(5, 2, 0);
    data.Write(QStringLiteral("Holiday.d00"), liveOld + young + old + unknown + liveUnknown);
    LeaveStore::Compact();
    EXPECT_EQ(File(), liveOld + young + liveUnknown);
}
