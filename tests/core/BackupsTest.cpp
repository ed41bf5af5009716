#include "core/Backups.h"

#include <sys/stat.h>

#include <gtest/gtest.h>

#include <QDir>

#include "TestSupport.h"
#include "core/LeaveStore.h"
#include "platform/Errors.h"
#include "platform/MachineId.h"

namespace {

const QString DataFile = QStringLiteral("Holiday.d00");
const QString SettingsFile = QStringLiteral("orbelund.ini");

QString Copy(const QString& name) { return QStringLiteral("backup/") + name; }

// This machine's copy of that name: the machine's id before the extension.
const MachineId Machine { 0xA1, 0xB2, 0xC3, 0xD4, 0xE5, 0xF6 };
QString Own(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return Copy(name.left(dot) + QStringLiteral("-a1b2c3d4e5f6") + name.mid(dot));
}

QStringList BackupFiles(const TempDataDirectory& data)
{
    return QDir(data.File(QStringLiteral("backup"))).entryList(QDir::Files, QDir::Name);
}

// A data directory with a record and a settings file, on a fixed day.
struct BackupsTest : ::testing::Test {
    BackupsTest()
    {
        Dates::SetToday(QDate(2026, 8, 12));
        SetThisMachineId(Machine);
        LeaveStore::SaveEntry(2026, 8, 10, 1, QStringLiteral("通院"));
        data.Write(SettingsFile, "[View]\r\nFlat=1\r\n");
    }
    ~BackupsTest() override
    {
        Dates::SetToday(std::nullopt);
        SetThisMachineId({});
    }
    TempDataDirectory data;
};

} // namespace

// The first save of a day copies both files as they were; later saves of the
// day leave that copy alone, the next day gets its own.
TEST_F(BackupsTest, CopiesBothFilesOnceADay)
{
    const QByteArray before = data.Bytes(DataFile);
    EXPECT_EQ(Backups::BeforeSave(), 0);
    LeaveStore::SaveEntry(2026, 8, 11, 2, {});
    EXPECT_EQ(Backups::BeforeSave(), 0);
    EXPECT_EQ(data.Bytes(Own(QStringLiteral("Holiday-20260812.d00"))), before);
    EXPECT_EQ(data.Bytes(Own(QStringLiteral("orbelund-20260812.ini"))), data.Bytes(SettingsFile));

    Dates::SetToday(QDate(2026, 8, 13));
    EXPECT_EQ(Backups::BeforeSave(), 0);
    EXPECT_EQ(data.Bytes(Own(QStringLiteral("Holiday-20260813.d00"))), data.Bytes(DataFile));
    EXPECT_EQ(BackupFiles(data).size(), 4);
}

// A start copies only when the data file differs from the newest copy.
TEST_F(BackupsTest, StartCopiesADataFileThatDiffersFromTheNewestCopy)
{
    Dates::SetToday(QDate(2026, 8, 11));
    Backups::BeforeSave();
    Dates::SetToday(QDate(2026, 8, 12));
    EXPECT_EQ(Backups::AtStart(), 0);
    EXPECT_EQ(BackupFiles(data).size(), 2);

    LeaveStore::SaveEntry(2026, 8, 11, 2, {});
    EXPECT_EQ(Backups::AtStart(), 0);
    EXPECT_EQ(data.Bytes(Own(QStringLiteral("Holiday-20260812.d00"))), data.Bytes(DataFile));
}

// The copies of the 14 newest days stay, with every copy of a day; files of
// other names are not touched.
TEST_F(BackupsTest, KeepsTheFourteenNewestDays)
{
    QDir().mkpath(data.File(QStringLiteral("backup")));
    for (int day = 1; day <= 20; ++day) {
        const QString stamp = QDate(2026, 7, day).toString(QStringLiteral("yyyyMMdd"));
        data.Write(Copy(QStringLiteral("Holiday-%1.d00").arg(stamp)), {});
        data.Write(Copy(QStringLiteral("orbelund-%1.ini").arg(stamp)), {});
    }
    data.Write(Copy(QStringLiteral("Holiday-20260720-101500.d00")), {});
    data.Write(Copy(QStringLiteral("Holiday-20260701-101500.d00")), {});
    data.Write(Copy(QStringLiteral("notes.txt")), {});

    EXPECT_EQ(Backups::BeforeSave(), 0);
    const std::vector<Backups::Backup> kept = Backups::List();
    ASSERT_EQ(kept.size(), 15u);
    EXPECT_EQ(kept.front().Stamp, QStringLiteral("20260812"));
    EXPECT_EQ(kept[1].Stamp, QStringLiteral("20260720-101500"));
    EXPECT_EQ(kept.back().Day, QDate(2026, 7, 8));
    EXPECT_EQ(BackupFiles(data).size(), 15 * 2 - 1 + 1); // one copy has no settings; notes.txt
    EXPECT_TRUE(BackupFiles(data).contains(QStringLiteral("notes.txt")));
}

// Only the names copies are written under count as copies: a day of eight
// digits, a time of six after a dash, the extension in lower case.
TEST_F(BackupsTest, ListsOnlyTheNamesCopiesAreWrittenUnder)
{
    QDir().mkpath(data.File(QStringLiteral("backup")));
    for (const char* name :
        { "Holiday-20260720.d00", "Holiday-20260721-101500.d00", "Holiday-2026072.d00", "Holiday-202607201.d00",
            "Holiday-20260722-1015.d00", "Holiday-20260722_101500.d00", "Holiday-2026072x.d00", "holiday-20260723.d00",
            "Holiday-20260724.D00", "Holiday-20261345.d00", "Holiday-20260725.d00.bak",
            "Holiday-20260726-0123456789ab.d00", "Holiday-20260727-101500-0123456789ab.d00",
            "Holiday-20260728-0123456789AB.d00", "Holiday-20260728-0123456789a.d00", "Holiday-20260728-101500-.d00" })
        data.Write(Copy(QString::fromLatin1(name)), {});
    QStringList stamps;
    for (const Backups::Backup& backup : Backups::List())
        stamps << backup.Stamp;
    EXPECT_EQ(stamps,
        QStringList({ QStringLiteral("20260727-101500"), QStringLiteral("20260726"), QStringLiteral("20260721-101500"),
            QStringLiteral("20260720") }));
}

// A copy that cannot be written is reported by the first try of the day only;
// the data file is not touched.
TEST_F(BackupsTest, AFailedCopyIsReportedOnce)
{
    data.Write(QStringLiteral("backup"), "a file where the folder belongs");
    const QByteArray before = data.Bytes(DataFile);
    EXPECT_NE(Backups::BeforeSave(), 0);
    EXPECT_EQ(Backups::BeforeSave(), 0);
    EXPECT_EQ(data.Bytes(DataFile), before);
}

// The first record of a date decides, as on the calendars; a copy that
// does not end on a whole record or holds an impossible date is damaged.
TEST_F(BackupsTest, SummarizesACopyOrFindsItDamaged)
{
    LeaveStore::SaveEntry(2026, 9, 1, 1, {});
    LeaveStore::SaveEntry(2026, 9, 2, 1, {});
    LeaveStore::SaveEntry(2026, 9, 2, 0, {}); // cleared again
    const LeaveRecord later = LeaveRecord::Make(2026, 9, 2, 5, {});
    const QByteArray good = data.Bytes(DataFile) + QByteArray(reinterpret_cast<const char*>(later.Data()), 64);
    data.Write(QStringLiteral("good.d00"), good);
    const Backups::Summary summary = Backups::Summarize(data.File(QStringLiteral("good.d00")));
    EXPECT_FALSE(summary.Damaged);
    EXPECT_EQ(summary.Days, 2);
    EXPECT_EQ(summary.Latest, QDate(2026, 9, 1));

    data.Write(QStringLiteral("short.d00"), good.left(100));
    EXPECT_TRUE(Backups::Summarize(data.File(QStringLiteral("short.d00"))).Damaged);
    QByteArray badMonth = good;
    badMonth[20] = 13;
    data.Write(QStringLiteral("month.d00"), badMonth);
    EXPECT_TRUE(Backups::Summarize(data.File(QStringLiteral("month.d00"))).Damaged);
    EXPECT_TRUE(Backups::Summarize(data.File(QStringLiteral("missing.d00"))).Damaged);
}

// A restore puts the copy's bytes in place and keeps what the data file held
// as a copy of its own, also when the day's copy holds something else.
TEST_F(BackupsTest, RestoresByteForByteAndKeepsTheCurrentFile)
{
    Dates::SetToday(QDate(2026, 8, 11));
    Backups::BeforeSave();
    const QByteArray old = data.Bytes(DataFile);
    Dates::SetToday(QDate(2026, 8, 12));
    LeaveStore::SaveEntry(2026, 8, 11, 2, {});
    Backups::BeforeSave();
    LeaveStore::SaveEntry(2026, 8, 12, 3, {});
    const QByteArray current = data.Bytes(DataFile);

    Backups::Restore(Backups::List().back());
    EXPECT_EQ(data.Bytes(DataFile), old);
    const std::vector<Backups::Backup> after = Backups::List();
    ASSERT_EQ(after.size(), 3u);
    EXPECT_TRUE(after.front().Stamp.startsWith(QStringLiteral("20260812-")));
    EXPECT_EQ(data.Bytes(Copy(QFileInfo(after.front().DataPath).fileName())), current);

    data.Write(after.back().DataPath.mid(data.Path().size()), "damaged");
    EXPECT_THROW(Backups::Restore(after.back()), EInOutError);
    EXPECT_EQ(data.Bytes(DataFile), old);
}

// A sync tool may bring links, pipes and devices under a copy's name: they
// are listed as no copy, never opened (a pipe would hang the start, a
// device feed it without end), never pruned, and cannot be restored.
TEST_F(BackupsTest, ANameOnSomethingElseIsListedButNeverOpened)
{
    const QString folder = data.File(QStringLiteral("backup/"));
    QDir().mkpath(folder);
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("pipe")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(folder + QStringLiteral("pipe"), folder + QStringLiteral("Holiday-20260815.d00")));
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), folder + QStringLiteral("Holiday-20260814.d00")));
    ASSERT_EQ(::mkfifo(QFile::encodeName(folder + QStringLiteral("Holiday-20260813.d00")).constData(), 0600), 0);
    ASSERT_TRUE(QFile::link(data.File(DataFile), folder + QStringLiteral("Holiday-20260701.d00")));

    EXPECT_EQ(Backups::AtStart(), 0);
    const std::vector<Backups::Backup> listed = Backups::List();
    ASSERT_EQ(listed.size(), 5u);
    for (const Backups::Backup& backup : listed) {
        EXPECT_EQ(backup.NotACopy, backup.Stamp != QStringLiteral("20260812")) << backup.Stamp.toStdString();
        if (backup.NotACopy) {
            EXPECT_TRUE(Backups::Summarize(backup.DataPath).Damaged);
            EXPECT_THROW(Backups::Restore(backup), EInOutError);
        }
    }
    EXPECT_EQ(data.Bytes(Own(QStringLiteral("Holiday-20260812.d00"))), data.Bytes(DataFile));
}

// Two machines syncing backup/: each makes its own copy of the day and
// prunes only its own (and those of old names), never the other's.
TEST_F(BackupsTest, AnotherMachinesCopiesAreListedButNeitherCountNorPruned)
{
    QDir().mkpath(data.File(QStringLiteral("backup")));
    const QString theirs = QStringLiteral("-0123456789ab");
    for (const QString& stamp : { QStringLiteral("20260812"), QStringLiteral("20260601") })
        data.Write(Copy(QStringLiteral("Holiday-") + stamp + theirs + QStringLiteral(".d00")), "theirs");
    for (int day = 1; day <= 15; ++day)
        data.Write(
            Own(QStringLiteral("Holiday-%1.d00").arg(QDate(2026, 7, day).toString(QStringLiteral("yyyyMMdd")))), {});

    EXPECT_EQ(Backups::BeforeSave(), 0);
    EXPECT_EQ(data.Bytes(Own(QStringLiteral("Holiday-20260812.d00"))), data.Bytes(DataFile));
    const std::vector<Backups::Backup> listed = Backups::List();
    ASSERT_EQ(listed.size(), 16u); // ours of 14 days, theirs of 2
    EXPECT_EQ(listed[0].Machine, QStringLiteral("a1b2c3d4e5f6"));
    EXPECT_EQ(listed[1].Machine, QStringLiteral("0123456789ab"));
    EXPECT_EQ(listed[1].Stamp, QStringLiteral("20260812"));
    EXPECT_EQ(listed.back().Stamp, QStringLiteral("20260601"));
    EXPECT_EQ(data.Bytes(listed.back().DataPath.mid(data.Path().size())), "theirs");
    EXPECT_FALSE(QFile::exists(data.File(Own(QStringLiteral("Holiday-20260702.d00")))));
    EXPECT_TRUE(QFile::exists(data.File(Own(QStringLiteral("Holiday-20260703.d00")))));
}
