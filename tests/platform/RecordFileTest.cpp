#include "platform/RecordFile.h"

#include <cerrno>
#include <functional>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/FileLock.h"
#include "platform/Files.h"

class RecordFileTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.path() + QStringLiteral("/records.dat");

    void SetBytes(const QByteArray& bytes) const
    {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    static QString MessageOf(const std::function<void()>& action)
    {
        try {
            action();
        } catch (const EInOutError& e) {
            return e.Message();
        }
        return QStringLiteral("(no error)");
    }
};

TEST_F(RecordFileTest, CountsWholeRecordsOnlyAndAppendsOverATrailingPart)
{
    SetBytes(QByteArray(4, 'a') + QByteArray(3, 'b'));
    RecordFile file(path, RecordFile::Mode::OpenExisting, 4);
    EXPECT_EQ(file.Size(), 1);
    file.Seek(file.Size());
    file.Write("cccc");
    file.Close();
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("aaaacccc"));
}

TEST_F(RecordFileTest, ReadsAtAPositionAndMovesPastIt)
{
    SetBytes("0000111122223");
    RecordFile file(path, RecordFile::Mode::OpenExisting, 4);
    char record[4];
    file.Seek(1);
    file.Read(record);
    EXPECT_EQ(QByteArray(record, 4), QByteArray("1111"));
    EXPECT_EQ(file.Position(), 2);
    char many[16];
    file.Seek(0);
    EXPECT_EQ(file.ReadMany(many, 4), 3); // the trailing "3" is not a record
}

// Every failure names the task, the file and the system's reason in Japanese.
TEST_F(RecordFileTest, ReportsFailuresWithTheFileAndTheReason)
{
    EXPECT_EQ(MessageOf([&] { RecordFile(path, RecordFile::Mode::OpenExisting, 4); }),
        QStringLiteral("ファイルに書き込めませんでした。\nファイル: %1\n理由: ファイルがありません").arg(path));
    const QString inMissingFolder = dir.path() + QStringLiteral("/gone/records.dat");
    EXPECT_EQ(MessageOf([&] { RecordFile(inMissingFolder, RecordFile::Mode::Create, 4); }),
        QStringLiteral("ファイルに書き込めませんでした。\nファイル: %1\n理由: フォルダーがありません")
            .arg(inMissingFolder));
    SetBytes("00001");
    EXPECT_EQ(MessageOf([&] {
        RecordFile file(path, RecordFile::Mode::OpenExisting, 4);
        char record[4];
        file.Seek(1);
        file.Read(record);
    }),
        QStringLiteral("ファイルを読み込めませんでした。\nファイル: %1\n理由: ファイルが途中で終わっています")
            .arg(path));
    EXPECT_EQ(MessageOf([&] { RecordFile(dir.path(), RecordFile::Mode::OpenExisting, 4); }),
        QStringLiteral("ファイルに書き込めませんでした。\nファイル: %1\n理由: 同じ名前のフォルダーがあります")
            .arg(dir.path()));
}

// The reasons of the other error numbers; a read-only file is told apart from
// a plain refusal only when it was to be written.
TEST(FileErrorReasonTest, NamesTheSystemsReasonInJapanese)
{
    QTemporaryDir dir;
    const QString locked = dir.filePath(QStringLiteral("locked.csv"));
    QFile file(locked);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    ASSERT_TRUE(QFile::setPermissions(locked, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    EXPECT_EQ(FileErrorReason(EACCES, locked, FileTask::Save), QStringLiteral("書き込めません（読み取り専用です）"));
    EXPECT_EQ(FileErrorReason(EACCES, locked, FileTask::Read), QStringLiteral("アクセスが拒否されました"));
    EXPECT_EQ(FileErrorReason(EPERM), QStringLiteral("アクセスが拒否されました"));
    EXPECT_EQ(FileErrorReason(EROFS), QStringLiteral("書き込めません（読み取り専用です）"));
    EXPECT_EQ(FileErrorReason(EDQUOT), QStringLiteral("ディスクがいっぱいです"));
    EXPECT_EQ(FileErrorReason(9999), QStringLiteral("システムエラーが発生しました（エラー番号 9999）"));
}

TEST_F(RecordFileTest, CreateEmptiesAnExistingFile)
{
    SetBytes("00001111");
    RecordFile file(path, RecordFile::Mode::Create, 4);
    EXPECT_EQ(file.Size(), 0);
}

TEST_F(RecordFileTest, AFullDiskIsReportedByTheWriteAndByTheClose)
{
    if (QFile::exists(QStringLiteral("/dev/full"))) {
        RecordFile full(QStringLiteral("/dev/full"), RecordFile::Mode::OpenExisting, 4);
        EXPECT_EQ(MessageOf([&] { full.Write("abcd"); }),
            QStringLiteral("ファイルに書き込めませんでした。\nファイル: /dev/full\n理由: ディスクがいっぱいです"));
    }
    // Some file systems report a failed write back only when the file closes.
    RecordFile file(path, RecordFile::Mode::Create, 4);
    file.Write("abcd");
    Files::Faults::FailNth(1);
    EXPECT_TRUE(MessageOf([&] { file.Close(); }).endsWith(QStringLiteral("理由: ディスクがいっぱいです")));
    Files::Faults::FailNth(0);
}

TEST_F(RecordFileTest, ALockFileThatIsAFolderSaysSo)
{
    const QString lock = dir.filePath(QStringLiteral("Holiday.lck"));
    ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("Holiday.lck")));
    EXPECT_EQ(MessageOf([&] { FileLock held(lock); }),
        QStringLiteral("ロックファイルを開けませんでした。\nファイル: %1\n理由: 同じ名前のフォルダーがあります")
            .arg(lock));
}
