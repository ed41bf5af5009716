#include "platform/RecordFile.h"

#include <functional>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Errors.h"
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

TEST_F(RecordFileTest, ReportsFailuresWithTheirMessages)
{
    EXPECT_EQ(
        MessageOf([&] { RecordFile(path, RecordFile::Mode::OpenExisting, 4); }), QStringLiteral("File not found"));
    SetBytes("00001");
    EXPECT_EQ(MessageOf([&] {
        RecordFile file(path, RecordFile::Mode::OpenExisting, 4);
        char record[4];
        file.Seek(1);
        file.Read(record);
    }),
        QStringLiteral("Read beyond end of file"));
    EXPECT_EQ(MessageOf([&] { RecordFile(dir.path(), RecordFile::Mode::OpenExisting, 4); }),
        QStringLiteral("File access denied"));
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
        EXPECT_EQ(MessageOf([&] { full.Write("abcd"); }), QStringLiteral("Disk full"));
    }
    // Some file systems report a failed write back only when the file closes.
    RecordFile file(path, RecordFile::Mode::Create, 4);
    file.Write("abcd");
    Files::Faults::FailNth(1);
    EXPECT_EQ(MessageOf([&] { file.Close(); }), QStringLiteral("Disk full"));
    Files::Faults::FailNth(0);
}
