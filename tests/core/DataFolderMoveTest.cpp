#include "core/DataFolderMove.h"

#include <utility>

#include <sys/stat.h>

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Backups.h"
#include "core/LeaveStore.h"
#include "platform/DataDirectory.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/MachineId.h"

namespace {

const QString DataName = QStringLiteral("Holiday.d00");
const QString SettingsName = QStringLiteral("orbelund.ini");

QByteArray Read(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class DataFolderMoveTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    QTemporaryDir target;
    const QString original = data.Path();
    void SetUp() override
    {
        data.Write(DataName, QByteArray(128, 'd'));
        data.Write(SettingsName, "[Size]\r\n");
    }
};

} // namespace

// The files are copied, the program uses the new folder, and the pointer in
// the default folder names it for the next start. A file already in the new
// folder is kept unless replacing was agreed; the old folder keeps its files.
TEST_F(DataFolderMoveTest, CopiesTheFilesAndSwitchesForThisRunAndTheNext)
{
    const QString to = target.path() + u'/';
    QFile settings(to + SettingsName);
    ASSERT_TRUE(settings.open(QIODevice::WriteOnly) && settings.write("theirs") == 6);
    settings.close();
    EXPECT_EQ(DataFolderMove::Existing(to), QStringList { SettingsName });

    DataFolderMove::Move(target.path(), false);
    EXPECT_EQ(DataDirectory(), to);
    EXPECT_EQ(LeaveStore::FilePath(), to + DataName);
    EXPECT_EQ(PointedDataDirectory(), to);
    EXPECT_EQ(Read(to + DataName), QByteArray(128, 'd'));
    EXPECT_EQ(Read(to + SettingsName), "theirs");
    EXPECT_EQ(Read(original + DataName), QByteArray(128, 'd'));

    // Back to the default folder: the pointer goes, and with it the choice.
    DataFolderMove::Move(original, true);
    EXPECT_EQ(DataDirectory(), original);
    EXPECT_FALSE(QFile::exists(DataPointerPath()));
    EXPECT_EQ(Read(original + SettingsName), "theirs");
}

// A folder its user may not write: nothing is copied, nothing switched.
TEST_F(DataFolderMoveTest, AFolderThatCannotBeWrittenLeavesEverythingWhereItWas)
{
    for (const QString& folder : { original, target.path() })
        ::chmod(QFile::encodeName(folder).constData(), folder == original ? 0777 : 0555);
    for (const QString& name : { DataName, SettingsName })
        ::chmod(QFile::encodeName(original + name).constData(), 0644);
    const std::optional<int> result = RunUnprivileged([this] {
        try {
            DataFolderMove::Move(target.path(), false);
            return 1;
        } catch (const EInOutError&) {
            return DataDirectory() == original ? 0 : 2;
        }
    });
    ::chmod(QFile::encodeName(target.path()).constData(), 0700);
    if (!result)
        GTEST_SKIP() << "no unprivileged user";
    EXPECT_EQ(*result, 0);
    EXPECT_TRUE(QDir(target.path()).isEmpty());
    EXPECT_FALSE(QFile::exists(DataPointerPath()));
    EXPECT_EQ(DataDirectory(), original);
    EXPECT_EQ(Read(original + DataName), QByteArray(128, 'd'));
}

// Whichever step of a move that replaces the folder's files fails, those
// files are left as they were and the program stays where it was; the move
// that gets through has copied them to the folder's backup/ first, under
// a name a restore lists.
TEST_F(DataFolderMoveTest, AFailedReplacingMoveLeavesTheFolderAsItWas)
{
    FixedToday today { QDate(2026, 12, 8) };
    const QString to = target.path() + u'/';
    const QByteArray theirs(192, 't');
    for (const auto& [name, bytes] : { std::pair { DataName, theirs }, std::pair { SettingsName, QByteArray("x") } }) {
        QFile file(to + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size());
    }
    int failures = 0;
    for (int step = 1;; ++step) {
        Files::Faults::FailNth(step);
        try {
            DataFolderMove::Move(target.path(), true);
            break;
        } catch (const EInOutError&) {
            ++failures;
            ASSERT_EQ(Read(to + DataName), theirs) << step;
            ASSERT_EQ(Read(to + SettingsName), "x") << step;
            ASSERT_EQ(DataDirectory(), original) << step;
            QDir(to + QStringLiteral("backup")).removeRecursively(); // every step fails once
        }
    }
    Files::Faults::FailNth(0);
    EXPECT_GE(failures, 12);
    EXPECT_EQ(Read(to + DataName), QByteArray(128, 'd'));
    const QString machine = MachineIdText(ThisMachineId());
    EXPECT_EQ(Read(to + QStringLiteral("backup/Holiday-20261208-%1.d00").arg(machine)), theirs);
    EXPECT_EQ(Read(to + QStringLiteral("backup/orbelund-20261208-%1.ini").arg(machine)), "x");
    EXPECT_FALSE(QFile::exists(original + QStringLiteral("DataFolderMove.txt")));
}

// Keeping the folder's data copies this folder's to its backup/, where a
// restore finds it; the new files a move ended half-way left there go.
TEST_F(DataFolderMoveTest, KeepingTheFoldersDataKeepsACopyOfThisOne)
{
    FixedToday today { QDate(2026, 12, 8) };
    const QString to = target.path() + u'/';
    QFile theirs(to + DataName);
    ASSERT_TRUE(theirs.open(QIODevice::WriteOnly) && theirs.write(QByteArray(64, 't')) == 64);
    theirs.close();
    QFile leftover(to + DataName + QStringLiteral(".3f9k.new"));
    ASSERT_TRUE(leftover.open(QIODevice::WriteOnly));
    leftover.close();

    DataFolderMove::Move(target.path(), false);
    EXPECT_EQ(Read(to + DataName), QByteArray(64, 't'));
    EXPECT_FALSE(leftover.exists());
    const std::vector<Backups::Backup> backups = Backups::List();
    ASSERT_EQ(backups.size(), 1u);
    EXPECT_EQ(Read(backups.front().DataPath), QByteArray(128, 'd'));
}

// The new folder's .stignore names the files of one machine, keeping every
// line it had; one that cannot be written leaves the move done and says so.
TEST_F(DataFolderMoveTest, TheNewFolderTellsASyncClientWhatToLeaveAlone)
{
    ASSERT_TRUE(QDir(target.path()).mkdir(QStringLiteral(".stignore")));
    const QString warning = DataFolderMove::Move(target.path(), false);
    EXPECT_TRUE(warning.contains(QStringLiteral(".stignore"))) << warning.toStdString();
    EXPECT_EQ(DataDirectory(), target.path() + u'/');

    QTemporaryDir next;
    const QByteArray theirs = "// mine\n/Holiday.lck\n*.bak";
    QFile file(next.filePath(QStringLiteral(".stignore")));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(theirs) == theirs.size());
    file.close();
    EXPECT_EQ(DataFolderMove::Move(next.path(), false), QString());
    const QByteArray written = Read(next.filePath(QStringLiteral(".stignore")));
    EXPECT_TRUE(written.startsWith(theirs + '\n')) << written.constData();
    for (const char* line : { "/Holiday.lck", "/Holiday.tmp$$", "/Holiday.d00.*.new", "/orbelund.ini.*.new",
             "/.stignore.*.new", "/backup/*.new" })
        EXPECT_EQ(written.count(QByteArray(line) + '\n'), 1) << line;
}
