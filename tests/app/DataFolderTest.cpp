#include "app/DataFolder.h"

#include <sys/stat.h>

#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/DataDirectory.h"
#include "platform/Files.h"

namespace {

const QByteArray ProgramData = QByteArray(64, '\x01') + QByteArray(64, '\x02') + "tail";
const QByteArray ProgramSettings = "[Start]\r\nShow=2\r\n[Holiday]\r\n0=1\r\n";

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

void Write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    ASSERT_EQ(file.write(bytes), bytes.size());
}

} // namespace

// A copy of the program in bin/ with its data beside it, and a user whose
// data folder lies under home/.
class DataFolderTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString root = dir.path() + u'/';
    QString program = root + QStringLiteral("bin/");
    QString user = root + QStringLiteral("home/.local/share/Valdemor/");

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(program));
        ASSERT_TRUE(QDir().mkpath(user));
        Write(program + QStringLiteral("Holiday.d00"), ProgramData);
        Write(program + QStringLiteral("orbelund.ini"), ProgramSettings);
        SetProgramDirectory(program);
        SetDataDirectory(user);
    }
    void TearDown() override
    {
        ::chmod(QFile::encodeName(program).constData(), 0755); // so that the folder can be removed
        Files::Faults::FailNth(0);
        SetProgramDirectory(QString());
        SetDataDirectory(QString());
    }

    QString CopiedText(const QString& what) const
    {
        return program + QStringLiteral(" の") + what + QStringLiteral("を ") + user
            + QStringLiteral(" にコピーしました。以後のデータはこのフォルダーに保存されます。");
    }
};

// An ordinary user starts a copy that lies in a folder the user may not
// write: the program keeps its files in the user's folder, and the records
// come along instead of an empty calendar.
TEST_F(DataFolderTest, AReadOnlyCopyBringsItsDataIntoTheUsersFolderAndSaysSoOnce)
{
    ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
    ::chmod(QFile::encodeName(root + QStringLiteral("home")).constData(), 0777);
    QDir(root + QStringLiteral("home/.local")).removeRecursively(); // made by the first start
    ::chmod(QFile::encodeName(program).constData(), 0555);
    const QString expected = CopiedText(QStringLiteral("データファイルと設定ファイル"));
    const std::optional<int> result = RunUnprivileged([&] {
        ScriptedDialogs dialogs;
        for (int start = 0; start < 2; ++start) {
            SetDataDirectory(ChooseDataDirectory(program, user));
            if (DataDirectory() != user)
                return 1;
            PrepareDataFolder();
        }
        if (dialogs.messages.size() != 1)
            return 2;
        const ScriptedDialogs::Message& said = dialogs.messages.front();
        return said.text == expected && said.icon == MsgIcon::Information ? 0 : 3;
    });
    if (!result)
        GTEST_SKIP() << "cannot run as an ordinary user here";
    EXPECT_EQ(*result, 0) << "1: the program folder was chosen, 2: not one message in two starts, 3: another message";
    EXPECT_EQ(Bytes(user + QStringLiteral("Holiday.d00")), ProgramData);
    EXPECT_EQ(Bytes(user + QStringLiteral("orbelund.ini")), ProgramSettings);
}

TEST_F(DataFolderTest, AFileInTheUsersFolderIsNeverOverwritten)
{
    ScriptedDialogs dialogs;
    const QByteArray own = "[View]\r\nFlat=1\r\n";
    Write(user + QStringLiteral("orbelund.ini"), own);
    PrepareDataFolder();
    EXPECT_EQ(Bytes(user + QStringLiteral("Holiday.d00")), ProgramData);
    EXPECT_EQ(Bytes(user + QStringLiteral("orbelund.ini")), own);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages.front().text, CopiedText(QStringLiteral("データファイル")));

    // Data of the user's own: nothing of the program's folder is taken.
    QFile::remove(user + QStringLiteral("orbelund.ini"));
    Write(user + QStringLiteral("Holiday.d00"), "mine");
    PrepareDataFolder();
    EXPECT_EQ(Bytes(user + QStringLiteral("Holiday.d00")), "mine");
    EXPECT_FALSE(QFile::exists(user + QStringLiteral("orbelund.ini")));
    EXPECT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(DataDirectory(), user);
}

// A full disk at any step of the copy: no file is left half written, the
// user is told, and this run shows the records where they are.
TEST_F(DataFolderTest, ACopyThatFailsLeavesNothingHalfWrittenAndShowsTheDataWhereItIs)
{
    for (int n = 1;; ++n) {
        ASSERT_LT(n, 20) << "a copy of many steps";
        ScriptedDialogs dialogs;
        SetDataDirectory(user);
        QDir(user).removeRecursively();
        QDir().mkpath(user);
        Files::Faults::FailNth(n);
        PrepareDataFolder();
        if (!Files::Faults::Failed())
            break; // every step ran
        EXPECT_EQ(DataDirectory(), program) << "step " << n;
        const QStringList left = QDir(user).entryList(QDir::Files | QDir::Hidden);
        EXPECT_TRUE(left.isEmpty()
            || (left == QStringList { QStringLiteral("orbelund.ini") }
                && Bytes(user + QStringLiteral("orbelund.ini")) == ProgramSettings))
            << "step " << n << ": " << left.join(u' ').toStdString();
        ASSERT_EQ(dialogs.messages.size(), 1u) << "step " << n;
        EXPECT_EQ(dialogs.messages.front().caption, QStringLiteral("警告"));
        EXPECT_EQ(dialogs.messages.front().text,
            program + QStringLiteral(" のデータファイルを ") + user
                + QStringLiteral(" にコピーできませんでした（ディスクがいっぱいです）。\n") + program
                + QStringLiteral(" のデータを表示しますが、このフォルダーに書き込めない間は変更を保存できません。"));
    }
    EXPECT_EQ(DataDirectory(), user);
    EXPECT_EQ(Bytes(user + QStringLiteral("Holiday.d00")), ProgramData);
}

// A folder the user chose is followed and takes over nothing from the
// program's folder; one that is not there (a drive not mounted) is not
// followed, and the user is told which folder is shown instead.
TEST_F(DataFolderTest, AChosenFolderIsFollowedOnlyWhileItIsThere)
{
    ScriptedDialogs dialogs;
    SetDataDirectory(program);
    const QString chosen = root + QStringLiteral("shared/");
    ASSERT_TRUE(QDir().mkpath(chosen));
    ASSERT_EQ(StoreDataDirectory(chosen), 0);
    SetDataDirectory(program); // the next start
    EXPECT_EQ(DataDirectory(), chosen);
    PrepareDataFolder();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(QFile::exists(chosen + QStringLiteral("Holiday.d00")));

    ASSERT_TRUE(QDir(chosen).removeRecursively());
    SetDataDirectory(program);
    EXPECT_EQ(DataDirectory(), program);
    PrepareDataFolder();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages.front().text,
        program + QStringLiteral("DataFolder.txt に書かれたデータの保存先を使えません（") + chosen
            + QStringLiteral(" が見つかりません）。\n") + program + QStringLiteral(" のデータを表示します。"));
    EXPECT_EQ(dialogs.messages.front().icon, MsgIcon::Warning);
}

// A move ended half-way leaves new files in the folder it was going to and
// a note naming it: the start removes them there and in the folder in use,
// and nothing of another name.
TEST_F(DataFolderTest, TheStartRemovesWhatAMoveEndedHalfWayLeft)
{
    ScriptedDialogs dialogs;
    SetDataDirectory(program);
    const QString target = root + QStringLiteral("shared/");
    ASSERT_TRUE(QDir().mkpath(target + QStringLiteral("backup")));
    Write(program + QStringLiteral("DataFolderMove.txt"), target.toUtf8() + '\n');
    const QStringList leftovers = { target + QStringLiteral("Holiday.d00.1k3z9q.new"),
        target + QStringLiteral("orbelund.ini.7.new"), target + QStringLiteral("backup/Holiday-20261208.d00.a0.new"),
        target + QStringLiteral("backup/orbelund-20261208-101500.ini.zz.new"),
        target + QStringLiteral("backup/Holiday-20261208-0123456789ab.d00.q1.new"),
        program + QStringLiteral("Holiday.d00.x1.new"), program + QStringLiteral("DataFolder.txt.b2.new") };
    const QStringList theUsers
        = { target + QStringLiteral("Holiday.d00.new"), target + QStringLiteral("Holiday.d00.OLD.new"),
              target + QStringLiteral("backup/notes.1.new"), target + QStringLiteral("backup/Holiday-2026.d00.1.new") };
    for (const QString& path : leftovers + theUsers)
        Write(path, "x");

    PrepareDataFolder();
    for (const QString& path : leftovers)
        EXPECT_FALSE(QFile::exists(path)) << path.toStdString();
    for (const QString& path : theUsers)
        EXPECT_TRUE(QFile::exists(path)) << path.toStdString();
    EXPECT_FALSE(QFile::exists(program + QStringLiteral("DataFolderMove.txt")));
    EXPECT_TRUE(dialogs.messages.empty());
}
