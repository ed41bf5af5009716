#include "core/SettingsMerge.h"

#include <QDateTime>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/ProfileFile.h"

namespace {
// What two machines left in a folder Syncthing shares: the copy adds Tuesday
// as a day off, and holds the other machine's window.
const QString Fixtures = QStringLiteral(QT_TESTCASE_SOURCEDIR "/core/data/sync-tool/");
const QString CopyName = QStringLiteral("orbelund.sync-conflict-20261208-065534-ZJXGB42.ini");
} // namespace

class SettingsMergeTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    QTemporaryDir shared;
    QString copy;

    // The two files in the data folder, the copy written `copyLater` seconds
    // after the shared file.
    void Place(int copyLater)
    {
        copy = DataDirectory() + CopyName;
        for (const auto& [from, to] : { std::pair { Fixtures + QStringLiteral("orbelund.ini"), Settings::FilePath() },
                 std::pair { Fixtures + CopyName, copy } }) {
            ASSERT_TRUE(QFile::copy(from, to)) << from.toStdString();
            QFile::setPermissions(to, QFile::ReadOwner | QFile::WriteOwner);
        }
        ProfileFile(Settings::FilePath())
            .WriteString(QStringLiteral("End"), QStringLiteral("Saiteki"), QStringLiteral("1"));
        const QDateTime time(QDate(2026, 12, 8), QTime(6, 55));
        SetTime(Settings::FilePath(), time);
        SetTime(copy, time.addSecs(copyLater));
    }
    static void SetTime(const QString& path, const QDateTime& time)
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        ASSERT_TRUE(f.setFileTime(time, QFileDevice::FileModificationTime));
    }
    static QString Value(const QString& section, const QString& key)
    {
        return Settings::SharedFile().ReadString(section, key, QStringLiteral("-"));
    }
};

TEST_F(SettingsMergeTest, ANewerCopyWinsKeyByKeyAndKeysOfOneFileSurvive)
{
    Place(60);
    EXPECT_EQ(MergeSettingsCopy(copy),
        (QStringList { QStringLiteral("ウィンドウの位置と大きさ"), QStringLiteral("休日設定（火）"),
            QStringLiteral("終了時にデータファイルの最適化") }));
    EXPECT_EQ(Value(QStringLiteral("Holiday"), QStringLiteral("2")), QStringLiteral("1"));
    EXPECT_EQ(Value(QStringLiteral("Holiday"), QStringLiteral("1")), QStringLiteral("1"));
    EXPECT_EQ(Value(QStringLiteral("End"), QStringLiteral("Saiteki")), QStringLiteral("0"));
    // The folder is no shared one: the copy's window counts as any key.
    EXPECT_EQ(Value(QStringLiteral("Size"), QStringLiteral("Width")), QStringLiteral("640"));
    EXPECT_TRUE(QFile::exists(copy));
}

TEST_F(SettingsMergeTest, AtTheSameTimeTheSharedFileWinsAndAnotherMachinesWindowIsLeftOut)
{
    ASSERT_EQ(StoreDataDirectory(shared.path()), 0);
    Place(0);
    EXPECT_EQ(MergeSettingsCopy(copy), QStringList { QStringLiteral("休日設定（火）") });
    EXPECT_EQ(Value(QStringLiteral("Holiday"), QStringLiteral("2")), QStringLiteral("1"));
    EXPECT_EQ(Value(QStringLiteral("End"), QStringLiteral("Saiteki")), QStringLiteral("1"));
    EXPECT_EQ(Value(QStringLiteral("Size"), QStringLiteral("Width")), QStringLiteral("1272"));
    EXPECT_EQ(Value(QStringLiteral("Location"), QStringLiteral("Left")), QStringLiteral("8"));

    // Merged once, nothing is left to change: the file is not written again.
    const std::optional<Files::Stamp> before = Files::StampOf(Settings::FilePath());
    EXPECT_TRUE(MergeSettingsCopy(copy).isEmpty());
    EXPECT_EQ(Files::StampOf(Settings::FilePath()), before);
}

TEST_F(SettingsMergeTest, EachKeyTakesTheValueChangedLastWhicheverFileWasWrittenLast)
{
    // Sunday turned off here after the copy's machine last touched it, and
    // Saturday turned off there later still; the copy's file is the newer.
    Settings::WriteWeeklyDayOff(0, false);
    const QString sunday = Value(QStringLiteral("Written"), QStringLiteral("Holiday.0"));
    ASSERT_GT(sunday.toLongLong(), 0);
    const QString saturday = QString::number(sunday.toLongLong() + 1000);
    copy = DataDirectory() + CopyName;
    ProfileFile(copy).WriteStrings({ { QStringLiteral("Holiday"), QStringLiteral("0"), QStringLiteral("1") },
        { QStringLiteral("Holiday"), QStringLiteral("6"), QStringLiteral("0") },
        { QStringLiteral("Written"), QStringLiteral("Holiday.0"), QStringLiteral("1000") },
        { QStringLiteral("Written"), QStringLiteral("Holiday.6"), saturday } });
    const QDateTime time(QDate(2026, 12, 8), QTime(6, 55));
    SetTime(Settings::FilePath(), time);
    SetTime(copy, time.addSecs(60));

    EXPECT_EQ(MergeSettingsCopy(copy), QStringList { QStringLiteral("休日設定（土）") });
    EXPECT_EQ(Value(QStringLiteral("Holiday"), QStringLiteral("0")), QStringLiteral("0"));
    EXPECT_EQ(Value(QStringLiteral("Holiday"), QStringLiteral("6")), QStringLiteral("0"));
    EXPECT_EQ(Value(QStringLiteral("Written"), QStringLiteral("Holiday.0")), sunday);
    EXPECT_EQ(Value(QStringLiteral("Written"), QStringLiteral("Holiday.6")), saturday);
}

TEST_F(SettingsMergeTest, ACopyThatCannotBeReadRaisesNamingIt)
{
    Place(60);
    const QByteArray settings = [] {
        QFile f(Settings::FilePath());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }();
    const QString gone = DataDirectory() + QStringLiteral("orbelund (conflicted copy 2026-12-08 065534).ini");
    try {
        MergeSettingsCopy(gone);
        ADD_FAILURE() << "a missing copy merged";
    } catch (const EInOutError& e) {
        EXPECT_TRUE(e.Message().contains(gone)) << e.Message().toStdString();
    }
    QFile f(Settings::FilePath());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), settings);
}
