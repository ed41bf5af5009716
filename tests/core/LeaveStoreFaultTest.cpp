// Files that cannot be written: each failure raises its error and leaves the
// file that was there whole. The faults come from the system itself: a full
// device (/dev/full), a directory the user may not write (the child drops
// root's rights first, see tests/crash/StoreWorker.cpp), a limit on file
// size and a directory where the file should be.

#include "core/LeaveStore.h"

#include <QDir>
#include <QFile>
#include <QProcess>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/LeaveRecord.h"
#include "core/Settings.h"
#include "platform/Errors.h"

namespace {

// Two live entries and a cleared one, so that Compact has work to do.
QByteArray ThreeRecords()
{
    QByteArray bytes;
    for (const LeaveRecord& r : { LeaveRecord::Make(2024, 4, 1, 1, QStringLiteral("旅行")),
             LeaveRecord::Make(2024, 4, 2, 0, QStringLiteral("cleared")),
             LeaveRecord::Make(2024, 4, 3, 2, QStringLiteral("通院")) })
        bytes.append(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size);
    return bytes;
}

const QByteArray SettingsBytes = "[Start]\r\nShow=1\r\n[Holiday]\r\n0=1\r\n6=1\r\n";

class LeaveStoreFaultTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        data.Write(QStringLiteral("Holiday.d00"), ThreeRecords());
        data.Write(QStringLiteral("orbelund.ini"), SettingsBytes);
    }
    QByteArray DataFile() const { return data.Bytes(QStringLiteral("Holiday.d00")); }
    QByteArray SettingsFile() const { return data.Bytes(QStringLiteral("orbelund.ini")); }
    bool TempFileLeft() const { return QFile::exists(LeaveStore::TempFilePath()); }

    // Runs the steps in a child with the fault in place; one answer per step.
    std::map<QString, QString> InChild(const QString& fault, const QStringList& steps) const
    {
        QProcess child;
        child.start(
            QString::fromLocal8Bit(STORE_WORKER), QStringList { QStringLiteral("faults"), data.Path(), fault } + steps);
        EXPECT_TRUE(child.waitForFinished(60000));
        EXPECT_EQ(child.exitCode(), 0) << child.readAllStandardError().constData();
        std::map<QString, QString> answers;
        for (const QByteArray& line : child.readAllStandardOutput().split('\n')) {
            const qsizetype blank = line.indexOf(' ');
            if (blank > 0)
                answers[QString::fromUtf8(line.left(blank))] = QString::fromUtf8(line.mid(blank + 1));
        }
        return answers;
    }

    TempDataDirectory data;
};

} // namespace

TEST_F(LeaveStoreFaultTest, AFullDiskDuringCompactionKeepsTheOldFile)
{
    ASSERT_TRUE(QFile::link(QStringLiteral("/dev/full"), LeaveStore::TempFilePath()));
    try {
        LeaveStore::Compact();
        FAIL() << "Compact succeeded on a full disk";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Reason(), QStringLiteral("ディスクがいっぱいです"));
    }
    EXPECT_EQ(DataFile(), ThreeRecords());
    EXPECT_FALSE(TempFileLeft());
    LeaveStore::Compact();
    EXPECT_EQ(LeaveStore::ReadAll().size(), 2u);
}

TEST_F(LeaveStoreFaultTest, AFileThatMayNotGrowRefusesEveryWriteAndKeepsWhatItHeld)
{
    // Room for half a record more than the file holds: an append stops
    // part-way, and readers must still see exactly the three records.
    const QString limit = QStringLiteral("file-size:%1").arg(3 * LeaveRecord::Size + 32);
    const auto answers = InChild(limit, { QStringLiteral("save-new"), QStringLiteral("save-existing") });
    EXPECT_EQ(answers.at(QStringLiteral("save-new")), QStringLiteral("ファイルが大きすぎます"));
    EXPECT_EQ(answers.at(QStringLiteral("save-existing")), QStringLiteral("OK"));
    const LeaveStore::Records records = LeaveStore::ReadAll();
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(LeaveStore::FindEntry(2024, 4, 1).Kind, 9);
    EXPECT_EQ(LeaveStore::FindEntry(2030, 1, 2).Kind, 0);
    // The next save that is allowed overwrites the half record.
    LeaveStore::SaveEntry(2030, 1, 2, 1, QStringLiteral("new"));
    EXPECT_EQ(DataFile().size(), 4 * LeaveRecord::Size);
    EXPECT_EQ(LeaveStore::FindEntry(2030, 1, 2).Memo, QStringLiteral("new"));
}

// The limit stops the second of two new records half-way; the day that
// would have been rewritten in place must keep its old record too.
TEST_F(LeaveStoreFaultTest, ASaveOfSeveralDaysThatRunsOutOfRoomLeavesTheFileAsItWas)
{
    const QString limit = QStringLiteral("file-size:%1").arg(4 * LeaveRecord::Size + 32);
    const auto answers = InChild(limit, { QStringLiteral("save-days") });
    EXPECT_EQ(answers.at(QStringLiteral("save-days")), QStringLiteral("ファイルが大きすぎます"));
    EXPECT_EQ(DataFile(), ThreeRecords());
}

TEST_F(LeaveStoreFaultTest, ACompactionThatRunsOutOfRoomKeepsTheOldFile)
{
    const auto answers = InChild(QStringLiteral("file-size:20"), { QStringLiteral("compact") });
    EXPECT_EQ(answers.at(QStringLiteral("compact")), QStringLiteral("ファイルが大きすぎます"));
    EXPECT_EQ(DataFile(), ThreeRecords());
    EXPECT_FALSE(TempFileLeft());
}

// A write cut short by the file-size limit must not replace the settings
// file with what was written so far.
TEST_F(LeaveStoreFaultTest, ASettingsWriteThatRunsOutOfRoomKeepsTheOldFile)
{
    const auto answers = InChild(QStringLiteral("file-size:20"), { QStringLiteral("settings-write") });
    EXPECT_EQ(answers.at(QStringLiteral("settings-write")), Settings::FilePath() + QStringLiteral(" に書き込めません"));
    EXPECT_EQ(SettingsFile(), SettingsBytes);
}

TEST_F(LeaveStoreFaultTest, AReadOnlyDirectoryRefusesEveryWriteAndKeepsTheFiles)
{
    ASSERT_TRUE(QFile::setPermissions(data.Path(),
        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    const auto answers = InChild(QStringLiteral("read-only"),
        { QStringLiteral("save-new"), QStringLiteral("save-existing"), QStringLiteral("save-days"),
            QStringLiteral("compact"), QStringLiteral("settings-read"), QStringLiteral("settings-write") });
    QFile::setPermissions(data.Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(answers.at(QStringLiteral("save-new")), QStringLiteral("アクセスが拒否されました"));
    EXPECT_EQ(answers.at(QStringLiteral("save-existing")), QStringLiteral("アクセスが拒否されました"));
    EXPECT_EQ(answers.at(QStringLiteral("save-days")), QStringLiteral("アクセスが拒否されました"));
    EXPECT_EQ(answers.at(QStringLiteral("compact")), QStringLiteral("アクセスが拒否されました"));
    EXPECT_EQ(answers.at(QStringLiteral("settings-read")), QStringLiteral("1"));
    EXPECT_EQ(answers.at(QStringLiteral("settings-write")), Settings::FilePath() + QStringLiteral(" に書き込めません"));
    EXPECT_EQ(DataFile(), ThreeRecords());
    EXPECT_FALSE(TempFileLeft());
    EXPECT_EQ(SettingsFile(), SettingsBytes);
}

// Files the user may not write, in a folder the user may: compaction and a
// settings write replace their file by a new one, which the folder would
// allow, but a read-only file must stay as it is.
TEST_F(LeaveStoreFaultTest, AReadOnlyFileIsNeverReplaced)
{
    ASSERT_TRUE(QFile::setPermissions(data.Path(),
        QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::WriteGroup | QFile::ExeGroup
            | QFile::ReadOther | QFile::WriteOther | QFile::ExeOther));
    for (const QString& name : { QStringLiteral("Holiday.d00"), QStringLiteral("orbelund.ini") })
        ASSERT_TRUE(QFile::setPermissions(data.File(name), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const auto answers
        = InChild(QStringLiteral("read-only"), { QStringLiteral("compact"), QStringLiteral("settings-write") });
    QFile::setPermissions(data.Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(answers.at(QStringLiteral("compact")), QStringLiteral("書き込めません（読み取り専用です）"));
    EXPECT_EQ(answers.at(QStringLiteral("settings-write")), Settings::FilePath() + QStringLiteral(" に書き込めません"));
    EXPECT_EQ(DataFile(), ThreeRecords());
    EXPECT_EQ(SettingsFile(), SettingsBytes);
    // Nothing new beside them but the writers' lock file, which stays.
    QStringList files = QDir(data.Path()).entryList(QDir::Files | QDir::Hidden);
    files.removeAll(QStringLiteral("Holiday.lck"));
    EXPECT_EQ(files.size(), 2);
}

// Reading never needs the right to write: a user who may only read the file
// sees the data.
TEST_F(LeaveStoreFaultTest, AReadOnlyDataFileCanStillBeRead)
{
    ASSERT_TRUE(QFile::setPermissions(data.Path(),
        QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup | QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
    const auto answers = InChild(
        QStringLiteral("read-only"), { QStringLiteral("read"), QStringLiteral("find"), QStringLiteral("check") });
    QFile::setPermissions(data.Path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_EQ(answers.at(QStringLiteral("read")), QStringLiteral("3 records"));
    EXPECT_EQ(answers.at(QStringLiteral("find")), QStringLiteral("1"));
    EXPECT_EQ(answers.at(QStringLiteral("check")), QStringLiteral("OK"));
}

TEST_F(LeaveStoreFaultTest, ADirectoryInPlaceOfTheFilesIsReportedAndLeftAlone)
{
    QFile::remove(data.File(QStringLiteral("Holiday.d00")));
    QFile::remove(data.File(QStringLiteral("orbelund.ini")));
    ASSERT_TRUE(QDir(data.Path()).mkpath(QStringLiteral("Holiday.d00/inside")));
    ASSERT_TRUE(QDir(data.Path()).mkdir(QStringLiteral("orbelund.ini")));

    // Readers and Compact may take a directory for a missing file or raise
    // the I/O error; writers must refuse.
    const auto nothingOrError = [](auto read) {
        try {
            return read();
        } catch (const EInOutError&) {
            return true;
        }
    };
    EXPECT_TRUE(nothingOrError([] { return LeaveStore::ReadAll().empty(); }));
    EXPECT_TRUE(nothingOrError([] { return LeaveStore::FindEntry(2024, 4, 1).Kind == 0; }));
    EXPECT_TRUE(nothingOrError([] { return LeaveStore::Compact(), true; }));
    EXPECT_TRUE(nothingOrError([] { return LeaveStore::CheckOnStartup(), true; }));
    try {
        LeaveStore::SaveEntry(2024, 4, 1, 1, QString());
        FAIL() << "saved into a directory";
    } catch (const EInOutError& e) {
        EXPECT_EQ(e.Reason(), QStringLiteral("同じ名前のフォルダーがあります"));
    }
    EXPECT_EQ(Settings::StartCalendar(), 0);
    EXPECT_THROW(Settings::WriteStartCalendar(2), EIniFileError);

    EXPECT_TRUE(QDir(data.File(QStringLiteral("Holiday.d00/inside"))).exists());
    EXPECT_TRUE(QDir(data.File(QStringLiteral("orbelund.ini"))).exists());
    EXPECT_FALSE(TempFileLeft());
}
