// The leave data file operations on files of 100, 10 000 and 1 000 000
// records, beside one plain sequential read of the same file: every
// operation walks the whole file, so the plain read is the floor.

#include <fcntl.h>
#include <unistd.h>

#include <map>
#include <memory>
#include <vector>

#include <QFile>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

#include "core/LeaveStore.h"
#include "platform/DataDirectory.h"

namespace {

// One data directory per file size, made once and kept for the run.
const QString& DataFileOf(qint64 records)
{
    static std::map<qint64, std::pair<std::unique_ptr<QTemporaryDir>, QString>> made;
    auto& entry = made[records];
    if (!entry.first) {
        entry.first = std::make_unique<QTemporaryDir>();
        entry.second = entry.first->path() + u'/';
        QFile file(entry.second + QStringLiteral("Holiday.d00"));
        if (!file.open(QIODevice::WriteOnly))
            std::abort();
        std::vector<LeaveRecord> batch;
        for (qint64 i = 0; i < records; ++i) {
            // distinct dates from 1900 on, kinds 1 to 10
            const int year = 1900 + int(i / 336);
            const int month = int(i / 28 % 12) + 1;
            const int day = int(i % 28) + 1;
            batch.push_back(LeaveRecord::Make(year, month, day, int(i % 10) + 1, QStringLiteral("メモ")));
            if (batch.size() == 4096 || i + 1 == records) {
                file.write(reinterpret_cast<const char*>(batch.data()), qint64(batch.size()) * LeaveRecord::Size);
                batch.clear();
            }
        }
    }
    SetDataDirectory(entry.second);
    return entry.second;
}

void PlainRead(benchmark::State& state)
{
    const QByteArray path = (DataFileOf(state.range(0)) + QStringLiteral("Holiday.d00")).toLocal8Bit();
    std::vector<char> buffer(256 * 1024);
    for (auto _ : state) {
        const int fd = ::open(path.constData(), O_RDONLY);
        qint64 total = 0;
        for (ssize_t got; (got = ::read(fd, buffer.data(), buffer.size())) > 0;)
            total += got;
        ::close(fd);
        benchmark::DoNotOptimize(total);
    }
}

void ReadAll(benchmark::State& state)
{
    DataFileOf(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(LeaveStore::ReadAll());
}

void FindEntry(benchmark::State& state)
{
    DataFileOf(state.range(0));
    for (auto _ : state) // a date no record carries: the whole file is read
        benchmark::DoNotOptimize(LeaveStore::FindEntry(9999, 12, 31));
}

void SaveEntry(benchmark::State& state)
{
    DataFileOf(state.range(0));
    const LeaveRecord last = LeaveStore::ReadRecords({ state.range(0) - 1 }).front();
    for (auto _ : state) // the last record is replaced in place: a full scan and one write
        LeaveStore::SaveEntry(last.Year(), last.Month(), last.Day(), 1, QStringLiteral("メモ"));
}

} // namespace

BENCHMARK(PlainRead)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadAll)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindEntry)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveEntry)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
