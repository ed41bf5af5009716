// The leave data file operations on files of 100, 10 000 and 1 000 000
// records, beside one plain sequential read of the same file: every
// operation walks the whole file, so the plain read is the floor.

#include <benchmark/benchmark.h>

#include "DataFiles.h"
#include "core/LeaveStore.h"
#include "platform/DataDirectory.h"

namespace {

// Points the program at the data file of the given size.
const QString& DataFileOf(qint64 records)
{
    const QString& directory = BenchData::DataDirectoryOf(records, 1900);
    SetDataDirectory(directory);
    return directory;
}

void PlainRead(benchmark::State& state)
{
    const QString path = DataFileOf(state.range(0)) + QStringLiteral("Holiday.d00");
    for (auto _ : state)
        benchmark::DoNotOptimize(BenchData::PlainRead(path));
}

void ReadAll(benchmark::State& state)
{
    DataFileOf(state.range(0));
    for (auto _ : state)
        benchmark::DoNotOptimize(LeaveStore::ReadAll());
}

// The target as one figure, ReadAll over a plain read: at most 3 at
// 1 000 000 records.
void ReadAllOverPlainRead(benchmark::State& state)
{
    const QString path = DataFileOf(state.range(0)) + QStringLiteral("Holiday.d00");
    BenchData::RatioOverPlainRead(state, path, [] { benchmark::DoNotOptimize(LeaveStore::ReadAll()); });
}

void FindEntry(benchmark::State& state)
{
    DataFileOf(state.range(0));
    for (auto _ : state) // a date no record carries: the whole file is read
        benchmark::DoNotOptimize(LeaveStore::FindEntry(9999, 12, 31));
}

// A save flushes its record to the disk (fdatasync) before it returns, so a
// power cut cannot take back an entry the user was told is saved. That flush
// is most of the cost on a small file. Median wall time per save, ext4 on a
// virtual disk:
//   records     without the flush   with it
//   100            40 us             6.4 ms
//   10 000        123 us             6.5 ms
//   1 000 000    15.2 ms            21.7 ms
void SaveEntry(benchmark::State& state)
{
    DataFileOf(state.range(0));
    const LeaveRecord last = LeaveStore::ReadRecords({ state.range(0) - 1 }).front();
    for (auto _ : state) // the last record is replaced in place: a full scan and one write
        LeaveStore::SaveEntry(last.Year(), last.Month(), last.Day(), 1, QStringLiteral("メモ"));
}

// A range of 31 days (a month of holiday entered at once) saved in one pass,
// against the SaveEntry above. The days are the file's last 31, so the scan
// runs to the end and every record is rewritten in place. The one flush and
// the one scan keep it near a single save (median wall time, two alternating
// runs on a busy two-core machine):
//   records     SaveEntry        SaveDays (31 days)
//   10 000      333 / 303 us     365 / 285 us
//   1 000 000   7.96 / 7.93 ms   8.28 / 8.07 ms
void SaveDays(benchmark::State& state)
{
    DataFileOf(state.range(0));
    std::vector<qint64> positions;
    for (qint64 i = state.range(0) - 31; i < state.range(0); ++i)
        positions.push_back(i);
    std::vector<LeaveStore::DayEntry> days;
    for (const LeaveRecord& r : LeaveStore::ReadRecords(positions))
        days.push_back({ r.Year(), r.Month(), r.Day(), 5, QStringLiteral("夏休み") });
    for (auto _ : state)
        LeaveStore::SaveEntries(days);
}

} // namespace

BENCHMARK(PlainRead)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadAll)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(ReadAllOverPlainRead)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(FindEntry)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveEntry)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveDays)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);
