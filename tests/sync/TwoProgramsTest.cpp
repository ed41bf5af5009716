// Two real copies of the program, each on its own "machine" (its own home,
// its own folder of the program with a pointer to its copy of the shared data
// folder), kept in step by two Syncthing instances. Days saved on both sides
// while they are apart meet in a conflict copy, which both programs merge by
// themselves: both open calendars show both days, no modal window comes up,
// and the status line tells of the merge.

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "SyncthingPair.h"
#include "core/LeaveStore.h"
#include "platform/DataDirectory.h"
#include "platform/MachineId.h"

namespace {

// One copy of the program under the offscreen platform, watched by the
// preloaded driver: what it said, line by line.
class RunningProgram {
public:
    RunningProgram(const QString& machine, const QString& dataFolder)
    {
        const QString folder = machine + QStringLiteral("/program/");
        QDir().mkpath(folder);
        QDir().mkpath(machine + QStringLiteral("/home"));
        // A runtime folder others may read is not taken for the user's own:
        // the lock that keeps one copy per user would be shared.
        QDir().mkpath(machine + QStringLiteral("/run"));
        QFile::setPermissions(machine + QStringLiteral("/run"), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QFile::copy(QStringLiteral(VALDEMOR_EXE), folder + QStringLiteral("valdemor"));
        QFile pointer(folder + QStringLiteral("DataFolder.txt"));
        if (pointer.open(QIODevice::WriteOnly))
            pointer.write(dataFolder.toUtf8() + '\n');
        pointer.close();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("HOME"), machine + QStringLiteral("/home"));
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), machine + QStringLiteral("/run"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.insert(QStringLiteral("LD_PRELOAD"), QStringLiteral(WATCH_DRIVER));
        env.insert(QStringLiteral("DRIVE_WATCH_DAYS"), QStringLiteral("2026年12月14日,2026年12月15日"));
        process_.setProcessEnvironment(env);
        process_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        QObject::connect(&process_, &QProcess::readyReadStandardOutput, [this] {
            while (process_.canReadLine())
                lines_.append(QString::fromUtf8(process_.readLine()).trimmed());
        });
        process_.start(folder + QStringLiteral("valdemor"), {});
    }
    ~RunningProgram()
    {
        process_.kill();
        process_.waitForFinished(5000);
    }

    // What the driver said last under `key` ("cell 2026年12月14日", "status").
    QString Last(const QString& key) const
    {
        for (auto it = lines_.crbegin(); it != lines_.crend(); ++it) {
            if (it->startsWith(key + u' ') || *it == key)
                return it->mid(key.size()).trimmed();
        }
        return QStringLiteral("(nothing)");
    }
    QStringList Lines() const { return lines_; }

private:
    QProcess process_;
    QStringList lines_;
};

// Saves a day into a copy of the data folder as that machine's program would.
void SaveOn(const QString& folder, const MachineId& machine, int day, int kind)
{
    SetDataDirectory(folder);
    SetThisMachineId(machine);
    LeaveStore::SaveEntry(2026, 12, day, kind, {});
    SetThisMachineId({});
    SetDataDirectory(QString());
}

} // namespace

TEST(TwoPrograms, DaysSavedApartAreMergedByBothOpenCalendarsWithoutAQuestion)
{
    SyncthingPair pair;
    const QString failure = pair.Start();
    ASSERT_TRUE(failure.isEmpty()) << failure.toStdString();
    SaveOn(pair.Folder(0), MachineId { 1, 1, 1, 1, 1, 1 }, 1, 1);
    ASSERT_TRUE(pair.WaitInSync(30000)) << pair.LogTails().toStdString();

    QTemporaryDir machines;
    RunningProgram a(machines.path() + QStringLiteral("/a"), pair.Folder(0));
    RunningProgram b(machines.path() + QStringLiteral("/b"), pair.Folder(1));
    const QString day14 = QStringLiteral("cell 2026年12月14日"), day15 = QStringLiteral("cell 2026年12月15日");
    ASSERT_TRUE(WaitUntil(20000, [&] { return a.Last(day14).isEmpty() && b.Last(day14).isEmpty(); }))
        << a.Lines().join(u'\n').toStdString() << b.Lines().join(u'\n').toStdString();

    ASSERT_TRUE(pair.Disconnect());
    SaveOn(pair.Folder(0), MachineId { 1, 1, 1, 1, 1, 1 }, 14, 1);
    SaveOn(pair.Folder(1), MachineId { 2, 2, 2, 2, 2, 2 }, 15, 5);
    ASSERT_TRUE(WaitUntil(
        5000, [&] { return a.Last(day14) == QStringLiteral("全") && b.Last(day15) == QStringLiteral("夏"); }));
    ASSERT_TRUE(pair.Reconnect());

    const auto bothShowBoth = [&] {
        return a.Last(day14) == QStringLiteral("全") && a.Last(day15) == QStringLiteral("夏")
            && b.Last(day14) == QStringLiteral("全") && b.Last(day15) == QStringLiteral("夏");
    };
    EXPECT_TRUE(WaitUntil(60000, bothShowBoth)) << a.Lines().join(u'\n').toStdString() << "\n--\n"
                                                << b.Lines().join(u'\n').toStdString();
    EXPECT_TRUE(pair.WaitInSync(30000));
    for (const RunningProgram* program : { &a, &b })
        EXPECT_EQ(program->Last(QStringLiteral("modal")), QStringLiteral("(nothing)"));
    const auto toldOfTheMerge = [](const RunningProgram& program) {
        return !program.Lines().filter(QStringLiteral("status 別のPCの変更を取り込みました")).isEmpty();
    };
    EXPECT_TRUE(toldOfTheMerge(a) || toldOfTheMerge(b));
    QFile fileA(pair.Folder(0) + QStringLiteral("Holiday.d00")), fileB(pair.Folder(1) + QStringLiteral("Holiday.d00"));
    ASSERT_TRUE(fileA.open(QIODevice::ReadOnly) && fileB.open(QIODevice::ReadOnly));
    EXPECT_EQ(fileA.readAll(), fileB.readAll());
}
