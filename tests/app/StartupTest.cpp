// Starts the real program, as a user would, from a copy in a temporary
// directory (its files live next to the executable).

#include <functional>

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

class StartupTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString program = dir.path() + QStringLiteral("/valdemor");
    QString ini = dir.path() + QStringLiteral("/orbelund.ini");

    void SetUp() override
    {
        ASSERT_TRUE(QFile::copy(QStringLiteral(VALDEMOR_EXE), program));
        // Each run gets its own runtime directory, so the lock of a program
        // the user has open, or of a parallel test, is never seen here.
        ASSERT_TRUE(QDir(dir.path()).mkdir(QStringLiteral("run")));
        QFile::setPermissions(dir.path() + QStringLiteral("/run"),
            QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }

    void Start(QProcess& process) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), dir.path() + QStringLiteral("/run"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        process.setProcessEnvironment(env);
        process.setWorkingDirectory(QDir::tempPath()); // not the data directory: files go next to the program
        process.start(program, {});
    }

    bool FirstRunSetWritten() const
    {
        QFile file(ini);
        return file.open(QIODevice::ReadOnly) && file.readAll().contains("Flat=0\r\n");
    }

    static bool WaitFor(const std::function<bool()>& condition, int milliseconds)
    {
        QElapsedTimer timer;
        timer.start();
        while (!condition()) {
            if (timer.elapsed() > milliseconds)
                return false;
            QTest::qWait(20);
        }
        return true;
    }
};

TEST_F(StartupTest, ASecondCopyEndsAtOnceAndTouchesNothing)
{
    QProcess first;
    Start(first);
    ASSERT_TRUE(first.waitForStarted(10000));
    // The first copy has shown its window once it wrote the last of the
    // first-run settings.
    ASSERT_TRUE(WaitFor([&] { return FirstRunSetWritten(); }, 20000));
    QFile file(ini);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();

    QProcess second;
    Start(second);
    ASSERT_TRUE(second.waitForFinished(10000)) << "the second copy kept running";
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_EQ(first.state(), QProcess::Running);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_TRUE(before.contains(QByteArray("[Dir]\r\nDir=") + dir.path().toLocal8Bit() + "/\r\n"));

    first.kill();
    first.waitForFinished(10000);
}

TEST_F(StartupTest, TheLockGoesWithTheProcess)
{
    QProcess first;
    Start(first);
    ASSERT_TRUE(WaitFor([&] { return FirstRunSetWritten(); }, 20000));
    first.kill(); // even a crash frees the lock
    first.waitForFinished(10000);
    QFile::remove(ini);

    QProcess next;
    Start(next);
    EXPECT_TRUE(WaitFor([&] { return FirstRunSetWritten(); }, 20000)) << "the next start was refused";
    EXPECT_EQ(next.state(), QProcess::Running);
    next.kill();
    next.waitForFinished(10000);
}

// A settings write or a copy that was ended before its rename leaves its new
// file behind; the next start removes exactly those.
TEST_F(StartupTest, TheStartRemovesTheNewFilesOfInterruptedWritesOnly)
{
    const QStringList leftovers { QStringLiteral("orbelund.ini.0.new"), QStringLiteral("orbelund.ini.1z141z3.new"),
        QStringLiteral("Holiday.d00.k3j9a.new") };
    const QStringList others { QStringLiteral("orbelund.ini.new"), QStringLiteral("orbelund.ini.K3J.new"),
        QStringLiteral("orbelund.ini.12345678.new"), QStringLiteral("orbelund.ini.abc.new.txt"),
        QStringLiteral("my.orbelund.ini.abc.new") };
    for (const QString& name : leftovers + others) {
        QFile file(dir.path() + u'/' + name);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    }
    QProcess process;
    Start(process);
    ASSERT_TRUE(WaitFor([&] { return FirstRunSetWritten(); }, 20000));
    process.kill();
    process.waitForFinished(10000);
    for (const QString& name : leftovers)
        EXPECT_FALSE(QFile::exists(dir.path() + u'/' + name)) << name.toStdString();
    for (const QString& name : others)
        EXPECT_TRUE(QFile::exists(dir.path() + u'/' + name)) << name.toStdString();
}
