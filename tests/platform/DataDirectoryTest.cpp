#include "platform/DataDirectory.h"

#include <optional>

#include <sys/stat.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TestSupport.h"

namespace {

// Sets an environment variable for the life of the object.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value)
        : name_(name)
        , had_(qEnvironmentVariableIsSet(name))
        , old_(qgetenv(name))
    {
        qputenv(name, value);
    }
    ~ScopedEnv()
    {
        if (had_)
            qputenv(name_, old_);
        else
            qunsetenv(name_);
    }

private:
    const char* name_;
    bool had_;
    QByteArray old_;
};

int Mode(const QString& path)
{
    struct stat info { };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 ? int(info.st_mode & 07777) : -1;
}

} // namespace

// A folder tree that an ordinary user ("nobody" when the tests run as root)
// can walk: a program folder with the rights given, and an open folder in
// which the user's data folder may be made.
class DataDirectoryTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString root = dir.path() + u'/';
    QString program = root + QStringLiteral("bin/");
    QString userData = root + QStringLiteral("home/.local/share/Valdemor/");

    void SetUp() override
    {
        ASSERT_TRUE(QDir().mkpath(program));
        ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("home")));
        ::chmod(QFile::encodeName(dir.path()).constData(), 0755);
        ::chmod(QFile::encodeName(root + QStringLiteral("home")).constData(), 0777);
    }
    void TearDown() override
    {
        ::chmod(QFile::encodeName(program).constData(), 0755); // so that the folder can be removed
        SetProgramDirectory(QString());
    }

    // The choice as an ordinary user makes it, with a folder of `mode` in
    // which the program lies: 0 = the program folder, 1 = the user's data
    // folder, made private; anything else is wrong.
    std::optional<int> ChoiceAsUser(int mode)
    {
        ::chmod(QFile::encodeName(program).constData(), mode);
        return RunUnprivileged([this] {
            const QString chosen = ChooseDataDirectory(program, userData);
            if (chosen == program)
                return QFileInfo::exists(userData) ? 2 : 0;
            if (chosen == userData)
                return QFileInfo(userData).isDir() && Mode(userData) == 0700 ? 1 : 3;
            return 4;
        });
    }
};

TEST_F(DataDirectoryTest, ACopyInAFolderItsUserMayWriteKeepsItsFilesNextToItself)
{
    const std::optional<int> choice = ChoiceAsUser(0777);
    if (!choice)
        GTEST_SKIP() << "cannot run as an ordinary user";
    EXPECT_EQ(*choice, 0) << "1 = the user's folder was chosen, 2 = it was made all the same";
    // the same as the owner of the folder, without the slash at the end
    ::chmod(QFile::encodeName(program).constData(), 0755);
    EXPECT_EQ(ChooseDataDirectory(program.chopped(1), userData), program);
}

TEST_F(DataDirectoryTest, AProgramInAFolderItsUserMayNotWriteUsesTheUsersDataFolderMadePrivate)
{
    const std::optional<int> choice = ChoiceAsUser(0555);
    if (!choice)
        GTEST_SKIP() << "cannot run as an ordinary user";
    EXPECT_EQ(*choice, 1) << "0 = the program folder was chosen, 3 = the user's folder is missing or open to others";
    // its missing parents were made too, and the program folder got nothing
    EXPECT_TRUE(QFileInfo(userData).isDir());
    EXPECT_TRUE(QDir(program).isEmpty());
}

TEST_F(DataDirectoryTest, AnInstalledProgramUsesTheUsersDataFolderEvenWhereItCouldWriteItsOwn)
{
    ASSERT_TRUE(QDir().mkpath(root + QStringLiteral("share/valdemor/help")));
    EXPECT_EQ(ChooseDataDirectory(program, userData), userData);
    EXPECT_EQ(Mode(userData), 0700);
    // an existing folder is taken as it is
    ::chmod(QFile::encodeName(userData).constData(), 0750);
    EXPECT_EQ(ChooseDataDirectory(program, userData.chopped(1)), userData);
    EXPECT_EQ(Mode(userData), 0750);
}

TEST_F(DataDirectoryTest, TheUsersDataFolderFollowsTheXdgDataHome)
{
    const ScopedEnv home("HOME", QFile::encodeName(root + QStringLiteral("home")));
    {
        const ScopedEnv unset("XDG_DATA_HOME", QByteArray());
        EXPECT_EQ(UserDataDirectory(), root + QStringLiteral("home/.local/share/Valdemor/"));
    }
    {
        const ScopedEnv xdg("XDG_DATA_HOME", QFile::encodeName(root + QStringLiteral("xdg")));
        EXPECT_EQ(UserDataDirectory(), root + QStringLiteral("xdg/Valdemor/"));
    }
    {
        // a relative one does not count: the files would follow the working folder
        const ScopedEnv relative("XDG_DATA_HOME", "relative/data");
        EXPECT_EQ(UserDataDirectory(), root + QStringLiteral("home/.local/share/Valdemor/"));
    }
}

TEST_F(DataDirectoryTest, TheUserGuideIsFoundInTheInstallationPrefixOnly)
{
    SetProgramDirectory(program);
    EXPECT_EQ(ProgramDirectory(), program);
    EXPECT_EQ(InstalledUserGuide(), QString());

    const QString help = root + QStringLiteral("share/valdemor/help/");
    ASSERT_TRUE(QDir().mkpath(help));
    EXPECT_EQ(InstalledUserGuide(), QString()) << "a folder without the guide";
    QFile guide(help + QStringLiteral("index.html"));
    ASSERT_TRUE(guide.open(QIODevice::WriteOnly));
    guide.close();
    EXPECT_EQ(InstalledUserGuide(), help + QStringLiteral("index.html"));

    SetProgramDirectory(QString());
    EXPECT_EQ(ProgramDirectory(), QFileInfo(QCoreApplication::applicationDirPath()).canonicalFilePath() + u'/');
}

TEST_F(DataDirectoryTest, TheTestsFolderStandsInForTheChoiceUntilItIsCleared)
{
    const QString before = DataDirectory();
    SetDataDirectory(root + QStringLiteral("data"));
    EXPECT_EQ(DataDirectory(), root + QStringLiteral("data/"));
    SetDataDirectory(QString());
    EXPECT_EQ(DataDirectory(), before);
    // the test program lies in the build folder, which its user may write
    EXPECT_EQ(before, ProgramDirectory());
}

// Only a pointer that holds one whole absolute path of a folder that is
// there is followed; any other says why. A path cut where an older reader
// stopped (4 095 bytes) would name a folder that is there.
TEST_F(DataDirectoryTest, APointerIsFollowedOnlyWhenItNamesAWholeAbsoluteFolder)
{
    const QString base = root + QStringLiteral("base/");
    const QString shared = root + QStringLiteral("shared");
    ASSERT_TRUE(QDir().mkpath(base) && QDir().mkpath(shared));
    QByteArray cut = shared.toUtf8();
    while (cut.size() < 4095)
        cut += "/.";
    const QByteArray plain = shared.toUtf8();
    struct Case {
        QByteArray text;
        bool followed;
    };
    const Case cases[] = { { plain + "\r\n", true }, { cut.left(4095) + "/missing\n", false }, { "shared\n", false },
        { plain + "\n" + plain + "\n", false }, { "\n", false }, { plain + "/gone\n", false },
        { (root + QStringLiteral("bin")).toUtf8() + "/../base/DataFolder.txt\n", false }, { "\xff\xfe/x\n", false } };
    for (const Case& c : cases) {
        QFile pointer(base + QStringLiteral("DataFolder.txt"));
        ASSERT_TRUE(pointer.open(QIODevice::WriteOnly | QIODevice::Truncate));
        pointer.write(c.text);
        pointer.close();
        SetDataDirectory(base);
        EXPECT_EQ(DataDirectory(), c.followed ? shared + u'/' : base) << c.text.left(40).toStdString();
        EXPECT_EQ(DataPointerProblem().isEmpty(), c.followed) << c.text.left(40).toStdString();
    }
    SetDataDirectory(QString());
}
