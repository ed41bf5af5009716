// The leave data file survives a process killed at any instant: a child
// (tests/crash/StoreWorker.cpp) saves, changes, clears and compacts while
// this test kills it with SIGKILL at random moments, runs the start-up
// recovery and compares the file with what the finished operations left.
// The comparison is byte for byte, write times and writers left out, against
// a model of the file: every
// finished operation is there exactly once, the one that was cut short is
// either wholly there or not at all, and nothing else changed.
//
// A longer run: tests_core --gtest_filter='LeaveStoreCrash*' --gtest_repeat=20

#include "core/LeaveStore.h"

#include <algorithm>
#include <chrono>
#include <csignal>
#include <random>
#include <spawn.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

#include <QDateTime>
#include <QFile>
#include <QStringList>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/LeaveRecord.h"

extern char** environ;

namespace {

QByteArray ReadFile(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// What Holiday.d00 must hold: its records in file order.
struct FileModel {
    std::vector<LeaveRecord> records;

    void Save(int year, int month, int day, int kind, const QString& memo)
    {
        // Saved now: a compaction keeps it when it is a clear.
        LeaveRecord record = LeaveRecord::Make(year, month, day, kind, memo);
        record.Stamp(QDateTime::currentMSecsSinceEpoch(), ThisMachineId());
        for (LeaveRecord& r : records) {
            if (r.IsDate(year, month, day)) {
                r = record;
                return;
            }
        }
        records.push_back(record);
    }
    void Compact()
    {
        std::erase_if(records, [](const LeaveRecord& r) { return r.Cleared() && r.WriteTime() == 0; });
    }
    static QByteArray BytesOf(const LeaveRecord& r)
    {
        return WithoutStamps(QByteArray(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size));
    }
    QByteArray Bytes() const
    {
        QByteArray bytes;
        for (const LeaveRecord& r : records)
            bytes.append(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size);
        return WithoutStamps(bytes);
    }
};

struct Operation {
    bool compact = false;
    int year = 0, month = 0, day = 0, kind = 0;
    QString memo {};

    void ApplyTo(FileModel& model) const
    {
        if (compact)
            model.Compact();
        else
            model.Save(year, month, day, kind, memo);
    }
};

// The worker's log: finished operations, and the one it was inside when killed.
struct WorkerLog {
    bool ready = false;
    QString error;
    std::vector<Operation> finished;
    std::optional<Operation> inFlight;
};

WorkerLog ParseLog(const QByteArray& bytes)
{
    WorkerLog log;
    for (const QByteArray& line : bytes.split('\n')) {
        if (line == "R") {
            log.ready = true;
        } else if (line == "D") {
            if (log.inFlight)
                log.finished.push_back(*log.inFlight);
            log.inFlight.reset();
        } else if (line == "C") {
            log.inFlight = Operation { .compact = true };
        } else if (line.startsWith("S ")) {
            const QStringList f = QString::fromUtf8(line).split(u' ');
            log.inFlight = Operation { .compact = false,
                .year = f.value(1).toInt(),
                .month = f.value(2).toInt(),
                .day = f.value(3).toInt(),
                .kind = f.value(4).toInt(),
                .memo = f.value(5) };
        } else if (line.startsWith("E ")) {
            log.error = QString::fromUtf8(line.mid(2));
        }
    }
    return log;
}

// Twenty thousand entries of other years that no operation touches, and a
// thousand cleared ones of unknown time, so that saves and compactions take long enough to
// be killed half-way.
FileModel Filler()
{
    FileModel model;
    for (int i = 0; i < 21000; ++i) {
        const int kind = i < 1000 ? 0 : 1 + i % 10;
        model.records.push_back(
            LeaveRecord::Make(1000 + i / 336, 1 + (i / 28) % 12, 1 + i % 28, kind, QStringLiteral("f%1").arg(i)));
    }
    return model;
}

pid_t StartWorker(const QString& dir, const QString& log, unsigned seed, int year = 0)
{
    const QByteArray exe = STORE_WORKER;
    const QByteArray d = dir.toLocal8Bit(), l = log.toLocal8Bit(), s = QByteArray::number(seed),
                     y = QByteArray::number(year);
    char* argv[] = { const_cast<char*>(exe.constData()), const_cast<char*>("ops"), const_cast<char*>(d.constData()),
        const_cast<char*>(l.constData()), const_cast<char*>(s.constData()),
        year ? const_cast<char*>(y.constData()) : nullptr, nullptr };
    pid_t pid = 0;
    if (posix_spawn(&pid, exe.constData(), nullptr, nullptr, argv, environ) != 0)
        return -1;
    return pid;
}

} // namespace

TEST(LeaveStoreCrashTest, EveryFinishedOperationSurvivesAKillAtAnyInstant)
{
    constexpr int Kills = 120;
    TempDataDirectory data;
    const QString dataFile = LeaveStore::FilePath();
    const QString logFile = data.Path() + QStringLiteral("worker.log");

    FileModel model = Filler();
    data.Write(QStringLiteral("Holiday.d00"), model.Bytes());

    std::mt19937 random(20240401);
    int insideSave = 0, insideCompact = 0, betweenOperations = 0, finished = 0;
    for (int kill = 0; kill < Kills; ++kill) {
        QFile::remove(logFile);
        const pid_t pid = StartWorker(data.Path(), logFile, unsigned(kill + 1));
        ASSERT_GT(pid, 0) << "cannot start " << STORE_WORKER;

        // Kill at a random moment once the worker has begun its operations.
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
        while (!ParseLog(ReadFile(logFile)).ready && std::chrono::steady_clock::now() < deadline) {
            int status = 0;
            if (::waitpid(pid, &status, WNOHANG) == pid)
                FAIL() << "the worker ended by itself: " << ReadFile(logFile).constData();
            std::this_thread::sleep_for(std::chrono::microseconds(200));
        }
        std::this_thread::sleep_for(std::chrono::microseconds(random() % 20000));
        ::kill(pid, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(pid, &status, 0), pid);
        const WorkerLog log = ParseLog(ReadFile(logFile));
        ASSERT_TRUE(WIFSIGNALED(status)) << "the worker ended by itself: " << log.error.toStdString();
        ASSERT_TRUE(log.error.isEmpty()) << log.error.toStdString();

        for (const Operation& op : log.finished)
            op.ApplyTo(model);
        finished += int(log.finished.size());
        if (!log.inFlight)
            ++betweenOperations;
        else if (log.inFlight->compact)
            ++insideCompact;
        else
            ++insideSave;

        ASSERT_NO_THROW(LeaveStore::CheckOnStartup()) << "after kill " << kill;
        const QByteArray bytes = WithoutStamps(ReadFile(dataFile));
        if (bytes != model.Bytes()) {
            // The operation that was cut short may have completed.
            FileModel after = model;
            if (log.inFlight)
                log.inFlight->ApplyTo(after);
            ASSERT_TRUE(log.inFlight && bytes == after.Bytes())
                << "after kill " << kill << ": the file holds " << bytes.size() / LeaveRecord::Size
                << " records, the finished operations left " << model.records.size()
                << (log.inFlight ? (log.inFlight->compact ? " (killed in Compact)" : " (killed in SaveEntry)") : "");
            model = after;
        }
        ASSERT_EQ(LeaveStore::ReadAll().size(), model.records.size());
    }
    std::printf("[ kills    ] %d: %d inside SaveEntry, %d inside Compact, %d between; %d operations finished\n", Kills,
        insideSave, insideCompact, betweenOperations, finished);
    // The kills must reach into both writers, or the test proves little.
    EXPECT_GT(insideSave, 0);
    EXPECT_GT(insideCompact, 0);
}

// Two copies of the program share one data file: two workers, each on the
// dates of its own year, save and compact at random instants. Every save
// either of them finished must be in the file, once, and the records of the
// other years untouched. VALDEMOR_SHARED_STORE_SECONDS sets the length of the
// run (20 seconds unless told, some thousands of operations; a run as long
// as a test runner's per-test limit would be cut off by it).
TEST(LeaveStoreCrashTest, TwoProcessesSavingAndCompactingLoseNoRecord)
{
    const int seconds = qEnvironmentVariableIntValue("VALDEMOR_SHARED_STORE_SECONDS") > 0
        ? qEnvironmentVariableIntValue("VALDEMOR_SHARED_STORE_SECONDS")
        : 20;
    TempDataDirectory data;
    FileModel filler = Filler();
    filler.Compact();
    filler.records.resize(5000);
    data.Write(QStringLiteral("Holiday.d00"), filler.Bytes());

    const int years[] = { 2023, 2024 };
    pid_t pids[2] = {};
    QString logs[2];
    for (int w = 0; w < 2; ++w) {
        logs[w] = data.Path() + QStringLiteral("worker%1.log").arg(w);
        pids[w] = StartWorker(data.Path(), logs[w], unsigned(w + 7), years[w]);
        ASSERT_GT(pids[w], 0) << "cannot start " << STORE_WORKER;
    }
    std::this_thread::sleep_for(std::chrono::seconds(seconds));
    for (int w = 0; w < 2; ++w) {
        ::kill(pids[w], SIGTERM);
        int status = 0;
        ASSERT_EQ(::waitpid(pids[w], &status, 0), pids[w]);
        const WorkerLog log = ParseLog(ReadFile(logs[w]));
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log.error.toStdString();
        ASSERT_FALSE(log.inFlight);
        ASSERT_GT(log.finished.size(), 100u);
        // The last save of each date decides; a compaction only drops
        // cleared records, and none as young as these.
        FileModel expected;
        for (const Operation& op : log.finished)
            if (!op.compact)
                expected.Save(op.year, op.month, op.day, op.kind, op.memo);
        std::vector<LeaveRecord> stored;
        for (const LeaveRecord& r : LeaveStore::ReadAll())
            if (r.Year() == years[w])
                stored.push_back(r);
        for (const LeaveRecord& want : expected.records) {
            const auto same = [&](const LeaveRecord& r) { return r.DateKey() == want.DateKey(); };
            const auto count = std::count_if(stored.begin(), stored.end(), same);
            const auto at = std::find_if(stored.begin(), stored.end(), same);
            EXPECT_TRUE(count == 1 && FileModel::BytesOf(*at) == FileModel::BytesOf(want))
                << want.Year() << "/" << want.Month() << "/" << want.Day();
        }
        EXPECT_EQ(stored.size(), expected.records.size());
    }
    FileModel others;
    for (const LeaveRecord& r : LeaveStore::ReadAll())
        if (r.Year() != years[0] && r.Year() != years[1])
            others.records.push_back(r);
    EXPECT_EQ(others.Bytes(), filler.Bytes());
}
