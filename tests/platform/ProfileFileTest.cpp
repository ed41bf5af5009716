#include "platform/ProfileFile.h"

#include <set>

#include <sys/stat.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/ShiftJis.h"

class ProfileFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/orbelund.ini");
    ProfileFile file { path };

    void TearDown() override
    {
        Files::Faults::FailNth(0);
        ShiftJis::SetCodePage({});
    }

    QByteArray Bytes() const
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void SetBytes(const QByteArray& bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
};

TEST_F(ProfileFileTest, MissingFileSectionOrKeyGivesTheDefault)
{
    EXPECT_EQ(file.ReadString(QStringLiteral("A"), QStringLiteral("k"), QStringLiteral("d")), QStringLiteral("d"));
    EXPECT_EQ(file.ReadInteger(QStringLiteral("A"), QStringLiteral("k"), 7), 7);
    SetBytes("[A]\r\nk=5\r\n");
    EXPECT_EQ(file.ReadInteger(QStringLiteral("B"), QStringLiteral("k"), 7), 7);
    EXPECT_EQ(file.ReadInteger(QStringLiteral("A"), QStringLiteral("x"), 7), 7);
    EXPECT_EQ(file.ReadInteger(QStringLiteral("A"), QStringLiteral("k"), 7), 5);
}

TEST_F(ProfileFileTest, ReadsNamesWithoutCaseAndIgnoresBlanksAndComments)
{
    SetBytes("; comment\r\n [Size] \r\n  Width = 800 \r\n;Heighth=1\r\nflag=2\r\n[other]\r\nWidth=1\r\n");
    EXPECT_EQ(file.ReadInteger(QStringLiteral("size"), QStringLiteral("WIDTH"), 0), 800);
    EXPECT_EQ(file.ReadInteger(QStringLiteral("Size"), QStringLiteral("Heighth"), 480), 480);
    EXPECT_TRUE(file.ReadBool(QStringLiteral("Size"), QStringLiteral("flag"), false));
}

TEST_F(ProfileFileTest, NonNumbersGiveTheDefaultAndAnyNonZeroIsTrue)
{
    SetBytes("[V]\nA=abc\nB=-1\nC=0\nD=\nE=$10\n"); // LF-only lines from another editor
    EXPECT_EQ(file.ReadInteger(QStringLiteral("V"), QStringLiteral("A"), 3), 3);
    EXPECT_TRUE(file.ReadBool(QStringLiteral("V"), QStringLiteral("A"), true));
    EXPECT_FALSE(file.ReadBool(QStringLiteral("V"), QStringLiteral("A"), false));
    EXPECT_TRUE(file.ReadBool(QStringLiteral("V"), QStringLiteral("B"), false));
    EXPECT_FALSE(file.ReadBool(QStringLiteral("V"), QStringLiteral("C"), true));
    EXPECT_EQ(file.ReadInteger(QStringLiteral("V"), QStringLiteral("D"), 9), 9);
    EXPECT_EQ(file.ReadInteger(QStringLiteral("V"), QStringLiteral("E"), 9), 16);
}

TEST_F(ProfileFileTest, WritesNewSectionsAtTheEndNewKeysAtTheEndOfTheirSectionAndReplacesInPlace)
{
    file.WriteString(QStringLiteral("Version"), QStringLiteral("Ver"), QStringLiteral("1.12"));
    file.WriteInteger(QStringLiteral("Size"), QStringLiteral("Width"), 640);
    file.WriteInteger(QStringLiteral("Version"), QStringLiteral("Extra"), 1);
    file.WriteBool(QStringLiteral("View"), QStringLiteral("Flat"), false);
    file.WriteInteger(QStringLiteral("size"), QStringLiteral("WIDTH"), 700);
    EXPECT_EQ(Bytes(), QByteArray("[Version]\r\nVer=1.12\r\nExtra=1\r\n[Size]\r\nWIDTH=700\r\n[View]\r\nFlat=0\r\n"));
}

// A sync client passes on every replace of the file; one that changes
// nothing must not happen.
TEST_F(ProfileFileTest, AWriteOfWhatTheKeysHoldLeavesTheFileUntouched)
{
    SetBytes("[A]\r\nx = 1\r\ny=2\r\n");
    const std::optional<Files::Stamp> before = Files::StampOf(path);
    file.WriteInteger(QStringLiteral("a"), QStringLiteral("X"), 1);
    file.WriteStrings({ { QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1") },
        { QStringLiteral("A"), QStringLiteral("y"), QStringLiteral(" 2") } });
    EXPECT_EQ(Files::StampOf(path), before);
    EXPECT_EQ(Bytes(), QByteArray("[A]\r\nx = 1\r\ny=2\r\n"));

    file.WriteStrings({ { QStringLiteral("A"), QStringLiteral("x"), QStringLiteral("1") },
        { QStringLiteral("A"), QStringLiteral("y"), QStringLiteral("3") },
        { QStringLiteral("B"), QStringLiteral("z"), QStringLiteral("4") } });
    EXPECT_EQ(Bytes(), QByteArray("[A]\r\nx = 1\r\ny=3\r\n[B]\r\nz=4\r\n"));
}

TEST_F(ProfileFileTest, KeepsEveryOtherLineAsItWas)
{
    SetBytes("; mine\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    file.WriteInteger(QStringLiteral("A"), QStringLiteral("z"), 3);
    EXPECT_EQ(Bytes(), QByteArray("; mine\r\n[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n"));
}

TEST_F(ProfileFileTest, LinesThatAreNotShiftJisKeepTheirBytes)
{
    // A lone lead byte, a byte no Shift-JIS text holds, and UTF-8 typed by
    // another program: none of them may turn into '?' when a key is written.
    const QByteArray foreign = "[Memo]\r\na=\x81\r\nb=\xFF\xFE\r\nc=\xE5\xB1\xB1\r\n";
    SetBytes(foreign + "[View]\r\nFlat=0\r\n");
    file.WriteBool(QStringLiteral("View"), QStringLiteral("Flat"), true);
    EXPECT_EQ(Bytes(), foreign + "[View]\r\nFlat=1\r\n");
    file.WriteString(QStringLiteral("Memo"), QStringLiteral("d"), QStringLiteral("山"));
    EXPECT_EQ(Bytes(),
        QByteArray("[Memo]\r\na=\x81\r\nb=\xFF\xFE\r\nc=\xE5\xB1\xB1\r\nd=\x8E\x52\r\n"
                   "[View]\r\nFlat=1\r\n"));
}

TEST_F(ProfileFileTest, StoresTextInShiftJis)
{
    file.WriteString(QStringLiteral("Dir"), QStringLiteral("Dir"), QStringLiteral("/home/山田/"));
    EXPECT_EQ(Bytes(), QByteArray("[Dir]\r\nDir=/home/\x8E\x52\x93\x63/\r\n"));
    EXPECT_EQ(file.ReadString(QStringLiteral("Dir"), QStringLiteral("Dir"), QString()), QStringLiteral("/home/山田/"));
}

TEST_F(ProfileFileTest, ARefusedWriteRaisesWithThePath)
{
    // A directory that does not exist refuses even a superuser.
    const QString unwritable = dir.path() + QStringLiteral("/gone/orbelund.ini");
    ProfileFile refused(unwritable);
    try {
        refused.WriteInteger(QStringLiteral("A"), QStringLiteral("x"), 2);
        ADD_FAILURE() << "write succeeded";
    } catch (const EIniFileError& e) {
        EXPECT_EQ(e.Message(), unwritable + QStringLiteral(" に書き込めません"));
    }
}

TEST_F(ProfileFileTest, AFileThatCannotBeReadGivesDefaultsAndIsNeverOverwritten)
{
    // Anyone may write the file and the directory, but not read the file:
    // only the failed read stands between a write and a file that holds the
    // one key written.
    const QByteArray settings = "[A]\r\nx=1\r\ny=2\r\n[B]\r\nz=3\r\n";
    SetBytes(settings);
    ASSERT_EQ(::chmod(path.toLocal8Bit().constData(), 0222), 0);
    ASSERT_EQ(::chmod(dir.path().toLocal8Bit().constData(), 0777), 0);
    const std::optional<int> result = RunUnprivileged([this] {
        if (file.ReadInteger(QStringLiteral("A"), QStringLiteral("x"), 7) != 7)
            return 1;
        try {
            file.WriteInteger(QStringLiteral("A"), QStringLiteral("x"), 2);
            return 2;
        } catch (const EIniFileError& e) {
            return e.Message() == path + QStringLiteral(" に書き込めません") ? 0 : 3;
        }
    });
    if (!result)
        GTEST_SKIP() << "cannot run as an ordinary user here";
    EXPECT_EQ(*result, 0) << "1: read gave no default, 2: write succeeded, 3: other message";
    EXPECT_EQ(Bytes(), settings);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("orbelund.ini") });
}

TEST_F(ProfileFileTest, AFullDiskAtAnyStepOfAWriteRaisesAndKeepsEverySetting)
{
    const QByteArray settings = "[A]\r\nx=1\r\ny=2\r\n";
    SetBytes(settings);
    std::set<Files::Faults::Step> failed;
    for (int n = 1;; ++n) {
        ASSERT_LT(n, 20) << "a write of many steps";
        Files::Faults::FailNth(n);
        try {
            file.WriteInteger(QStringLiteral("A"), QStringLiteral("x"), 5);
        } catch (const EIniFileError& e) {
            EXPECT_EQ(e.Message(), path + QStringLiteral(" に書き込めません"));
        }
        const std::optional<Files::Faults::Step> step = Files::Faults::Failed();
        if (!step)
            break; // every step ran
        failed.insert(*step);
        EXPECT_EQ(Bytes(), settings) << "step " << n;
        EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("orbelund.ini") });
    }
    using Step = Files::Faults::Step;
    EXPECT_EQ(failed, (std::set<Step> { Step::Write, Step::Flush, Step::Close }));
    EXPECT_EQ(Bytes(), QByteArray("[A]\r\nx=5\r\ny=2\r\n"));
}

TEST_F(ProfileFileTest, AFullDiskOnTheFirstWriteLeavesNoFile)
{
    Files::Faults::FailNth(1);
    EXPECT_THROW(file.WriteInteger(QStringLiteral("A"), QStringLiteral("x"), 1), EIniFileError);
    EXPECT_FALSE(file.Exists());
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(ProfileFileTest, WithoutAShiftJisConverterNothingIsReadOrWritten)
{
    const QByteArray settings = "[A]\r\nx=1\r\n";
    SetBytes(settings);
    ShiftJis::SetCodePage("NO-SUCH-CODE-PAGE");
    EXPECT_THROW(file.ReadInteger(QStringLiteral("A"), QStringLiteral("x"), 7), EConvertError);
    EXPECT_THROW(file.WriteInteger(QStringLiteral("A"), QStringLiteral("y"), 2), EConvertError);
    EXPECT_EQ(Bytes(), settings);
}

TEST_F(ProfileFileTest, AWriteLeavesNoTemporaryFileBehind)
{
    file.WriteInteger(QStringLiteral("A"), QStringLiteral("x"), 1);
    file.WriteInteger(QStringLiteral("A"), QStringLiteral("x"), 2);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList { QStringLiteral("orbelund.ini") });
}
