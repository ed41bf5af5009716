// Two machines keep one data folder in step through a real Syncthing; each
// machine's program merges the conflict copies that arrive.

#include <cstdio>

#include <QDate>
#include <QDir>
#include <QTemporaryDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QThread>

#include <gtest/gtest.h>

#include "core/ConflictCopies.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "core/SettingsMerge.h"
#include "platform/DataDirectory.h"
#include "platform/MachineId.h"
#include "sync/SyncthingPair.h"

namespace {

// One machine: its own folder, whose pointer file names its copy of the
// shared data folder (as after the user moved the data there), and the id
// its saves carry. This process plays either machine's program in turn.
struct Machine {
    QString Own, Folder;
    MachineId Id;

    void Use() const
    {
        SetDataDirectory(Own);
        SetThisMachineId(Id);
    }
    QByteArray DataBytes() const
    {
        QFile file(Folder + QStringLiteral("Holiday.d00"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }
    LeaveStore::Entry Find(const QDate& date) const
    {
        Use();
        return LeaveStore::FindEntry(date.year(), date.month(), date.day());
    }
};

class SyncTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString error = pair.Start();
        ASSERT_TRUE(error.isEmpty()) << error.toStdString();
        a = { own.filePath(QStringLiteral("a")), pair.Folder(0), { 0xa0, 1, 2, 3, 4, 5 } };
        b = { own.filePath(QStringLiteral("b")), pair.Folder(1), { 0xb0, 1, 2, 3, 4, 5 } };
        for (const Machine* machine : { &a, &b }) {
            ASSERT_TRUE(QDir().mkpath(machine->Own));
            machine->Use();
            ASSERT_EQ(StoreDataDirectory(machine->Folder), 0);
            ASSERT_EQ(DataDirectory(), machine->Folder);
        }
    }
    void TearDown() override
    {
        SetDataDirectory(QString());
        SetThisMachineId({});
    }

    void Save(const Machine& machine, std::initializer_list<LeaveStore::DayEntry> entries)
    {
        machine.Use();
        LeaveStore::SaveEntries({ entries.begin(), entries.size() });
        // Each save a later write than the one before.
        QThread::msleep(5);
    }

    // Each machine's program merges the conflict copies in its folder, as
    // its watcher would, again and again until no copy is left on either
    // and both folders hold the same files.
    ::testing::AssertionResult MergeUntilSettled(int timeoutMs)
    {
        QElapsedTimer timer;
        timer.start();
        QString merges;
        while (timer.elapsed() < timeoutMs) {
            bool copiesLeft = false;
            for (const Machine* machine : { &a, &b }) {
                machine->Use();
                for (const ConflictCopies::DataMerge& merge : ConflictCopies::MergeDataCopies())
                    merges += QStringLiteral("%1 %2: %3 days %4\n")
                                  .arg(timer.elapsed())
                                  .arg(QChar(machine == &a ? u'A' : u'B'))
                                  .arg(merge.Days.size())
                                  .arg(merge.Copy.section(u'/', -1) + u' ' + merge.Error);
                // The settings copies as the program takes them: merged, then
                // moved into backup/ like the data file's.
                for (const QString& copy : ConflictCopies::SettingsCopies()) {
                    MergeSettingsCopy(copy);
                    ConflictCopies::MoveToBackup(copy);
                }
                copiesLeft = copiesLeft || !ConflictCopies::DataCopies().isEmpty()
                    || !ConflictCopies::SettingsCopies().isEmpty();
            }
            if (!copiesLeft && pair.InSync()) {
                QThread::msleep(1500);
                if (pair.InSync())
                    return Settled(merges);
            }
            WaitUntil(300, [] { return false; });
        }
        return ::testing::AssertionFailure()
            << "no settled state within " << timeoutMs << " ms\nmerges:\n"
            << merges.toStdString() << "files A: " << pair.Files(0).join(u' ').toStdString()
            << "\nfiles B: " << pair.Files(1).join(u' ').toStdString() << '\n'
            << pair.LogTails().toStdString();
    }

    // With VALDEMOR_SYNC_TRACE set, what the merges did and the files left.
    ::testing::AssertionResult Settled(const QString& merges)
    {
        if (qEnvironmentVariableIsSet("VALDEMOR_SYNC_TRACE"))
            std::fprintf(stderr, "merges:\n%sfiles: %s\n", merges.toUtf8().constData(),
                pair.Files(0).join(u' ').toUtf8().constData());
        return ::testing::AssertionSuccess();
    }

    SyncthingPair pair;
    QTemporaryDir own;
    Machine a, b;
};

TEST_F(SyncTest, OfflineEditsOfBothMachinesMeetDateByDate)
{
    // Before going offline both have two days, one of which B clears.
    Save(a, { { 2026, 4, 1, 1, QStringLiteral("both") }, { 2026, 4, 2, 2, QStringLiteral("cleared by B") } });
    ASSERT_TRUE(pair.WaitInSync(30000)) << pair.LogTails().toStdString();
    ASSERT_TRUE(pair.Disconnect());

    // Three dates both change, in turns, so that each has the newer write on some.
    Save(a, { { 2026, 5, 11, 1, QStringLiteral("A") }, { 2026, 6, 1, 3, QStringLiteral("A only") } });
    Save(b,
        { { 2026, 5, 11, 2, QStringLiteral("B newer") }, { 2026, 5, 12, 2, QStringLiteral("B") },
            { 2026, 7, 1, 4, QStringLiteral("B only") } });
    Save(a,
        { { 2026, 5, 12, 3, QStringLiteral("A newer") }, { 2026, 5, 13, 3, QStringLiteral("A") },
            { 2026, 6, 2, 5, QStringLiteral("A only 2") } });
    Save(b,
        { { 2026, 5, 13, 4, QStringLiteral("B newer") }, { 2026, 4, 2, 0, QString() },
            { 2026, 7, 2, 6, QStringLiteral("B only 2") } });
    ASSERT_TRUE(pair.Reconnect());

    ASSERT_TRUE(MergeUntilSettled(60000));
    EXPECT_EQ(a.DataBytes(), b.DataBytes());
    const std::pair<QDate, int> expected[] = { { { 2026, 4, 1 }, 1 }, { { 2026, 4, 2 }, 0 }, { { 2026, 5, 11 }, 2 },
        { { 2026, 5, 12 }, 3 }, { { 2026, 5, 13 }, 4 }, { { 2026, 6, 1 }, 3 }, { { 2026, 6, 2 }, 5 },
        { { 2026, 7, 1 }, 4 }, { { 2026, 7, 2 }, 6 } };
    for (const Machine* machine : { &a, &b })
        for (const auto& [date, kind] : expected)
            EXPECT_EQ(machine->Find(date).Kind, kind) << (machine == &a ? "A " : "B ") << date.toString().toStdString();
}

// Both machines save a day a second for a minute while connected, and merge
// the copies as they come: every day either saved ends up in both files.
TEST_F(SyncTest, SavesOfBothMachinesAtOnceLoseNoDay)
{
    const int seconds = qEnvironmentVariableIntValue("VALDEMOR_SYNC_SECONDS") > 0
        ? qEnvironmentVariableIntValue("VALDEMOR_SYNC_SECONDS")
        : 60;
    // Shorter intervals press harder on the sync client than a person does.
    const int interval = qEnvironmentVariableIntValue("VALDEMOR_SYNC_INTERVAL") > 0
        ? qEnvironmentVariableIntValue("VALDEMOR_SYNC_INTERVAL")
        : 1000;
    QProcess workers[2];
    for (int side = 0; side < 2; ++side) {
        const Machine& machine = side == 0 ? a : b;
        workers[side].start(QStringLiteral(SYNC_WORKER),
            { machine.Folder,
                QString::fromLatin1(QByteArray(reinterpret_cast<const char*>(machine.Id.data()), 6).toHex()),
                QString::number(seconds), QString::number(2030 + 50 * side), QString::number(interval) });
        ASSERT_TRUE(workers[side].waitForStarted()) << SYNC_WORKER;
    }
    for (QProcess& worker : workers)
        ASSERT_TRUE(worker.waitForFinished((seconds + 30) * 1000)) << "a worker did not end";

    std::vector<std::pair<QDate, int>> saved;
    QString failures, log;
    for (int side = 0; side < 2; ++side) {
        const QString output = QString::fromUtf8(workers[side].readAllStandardOutput());
        log += QStringLiteral("--- %1\n%2").arg(QChar(side == 0 ? u'A' : u'B')).arg(output);
        for (const QString& line : output.split(u'\n', Qt::SkipEmptyParts)) {
            if (line.startsWith(u"S "))
                saved.emplace_back(
                    QDate::fromString(line.section(u' ', 1, 1), Qt::ISODate), line.section(u' ', 2, 2).toInt());
            else if (line.startsWith(u"E "))
                failures += line + u'\n';
        }
    }
    EXPECT_GE(saved.size(), size_t(2 * seconds * 1000 / interval - 4)) << log.toStdString();
    EXPECT_TRUE(failures.isEmpty()) << failures.toStdString();

    ASSERT_TRUE(MergeUntilSettled(60000)) << log.toStdString();
    EXPECT_EQ(a.DataBytes(), b.DataBytes());
    QString lost;
    for (const Machine* machine : { &a, &b })
        for (const auto& [date, kind] : saved)
            if (machine->Find(date).Kind != kind)
                lost
                    += QStringLiteral("%1 %2 ").arg(QChar(machine == &a ? u'A' : u'B')).arg(date.toString(Qt::ISODate));
    EXPECT_TRUE(lost.isEmpty()) << "lost: " << lost.toStdString() << '\n' << log.toStdString();
}

// A weekly day off set on one machine while the other quits, which writes
// its window's place unchanged: the day off stays on both.
TEST_F(SyncTest, AnOptionSurvivesTheOtherMachineQuitting)
{
    a.Use();
    Settings::WriteFirstRunSet();
    ASSERT_TRUE(pair.WaitInSync(30000)) << pair.LogTails().toStdString();
    ASSERT_TRUE(pair.Disconnect());

    a.Use();
    Settings::WriteWeeklyDayOff(3, true);
    QThread::msleep(50);
    b.Use();
    Settings::WriteProgramEnd(Settings::ReadMainWindow());
    ASSERT_TRUE(pair.Reconnect());

    ASSERT_TRUE(MergeUntilSettled(60000));
    for (const Machine* machine : { &a, &b }) {
        machine->Use();
        EXPECT_TRUE(Settings::WeeklyDayOff(3)) << (machine == &a ? "A" : "B");
    }
}

// Each machine changes another option while they are apart (Sunday and
// Saturday, both days off before): both changes stay on both once the copy
// of the settings file is merged.
// Each machine changed a different option while apart: the file written
// later must not undo the change the other machine made first.
TEST_F(SyncTest, OptionsSetOnBothMachinesApartBothStay)
{
    a.Use();
    Settings::WriteFirstRunSet();
    ASSERT_TRUE(pair.WaitInSync(30000)) << pair.LogTails().toStdString();
    ASSERT_TRUE(pair.Disconnect());

    a.Use();
    Settings::WriteWeeklyDayOff(0, false);
    QThread::msleep(50);
    b.Use();
    Settings::WriteWeeklyDayOff(6, false);
    ASSERT_TRUE(pair.Reconnect());

    ASSERT_TRUE(MergeUntilSettled(60000));
    for (const Machine* machine : { &a, &b }) {
        machine->Use();
        EXPECT_FALSE(Settings::WeeklyDayOff(0)) << (machine == &a ? "A" : "B");
        EXPECT_FALSE(Settings::WeeklyDayOff(6)) << (machine == &a ? "A" : "B");
    }
}

} // namespace
