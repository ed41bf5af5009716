// The paid-leave balance as the window computes it (one read of the data
// file, then the grants, uses, expiry and the five-day rule), over forty
// years of records, beside the plain read of the same file, which is its
// floor. The target: within twice the plain read.

#include <benchmark/benchmark.h>

#include "DataFiles.h"
#include "core/PaidLeave.h"
#include "core/LeaveStore.h"
#include "platform/DataDirectory.h"

namespace {

// 336 records a year: forty years from 1985.
constexpr int FirstYear = 1985;
constexpr qint64 FortyYears = 40 * 336;

void PaidLeaveBalance(benchmark::State& state)
{
    SetDataDirectory(BenchData::DataDirectoryOf(state.range(0), FirstYear));
    PaidLeave::Rules rules;
    rules.Hired = QDate(FirstYear - 1, 10, 1);
    const QDate today(FirstYear + 40, 3, 1);
    for (auto _ : state) {
        const std::optional<PaidLeave::Balance> balance = PaidLeave::ComputeFromDataFile(rules, today);
        benchmark::DoNotOptimize(balance);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    SetDataDirectory(QString());
}
BENCHMARK(PaidLeaveBalance)->Arg(FortyYears)->Unit(benchmark::kMicrosecond);

// The same forty years as a user who enters each summer holiday ahead
// leaves them: in each year, the records of August stand before those of
// April, and the file is out of date order forty times.
const QString& EnteredAheadDirectory()
{
    static QTemporaryDir directory;
    static const QString path = [] {
        SetDataDirectory(BenchData::DataDirectoryOf(FortyYears, FirstYear));
        const LeaveStore::Records sorted = LeaveStore::ReadAll();
        std::vector<LeaveRecord> records;
        for (size_t year = 0; year < sorted.size(); year += 336) {
            const auto first = sorted.begin() + ptrdiff_t(year);
            const auto april = first + 3 * 28, august = first + 7 * 28;
            records.insert(records.end(), first, april);
            records.insert(records.end(), august, august + 28);
            records.insert(records.end(), april, august);
            records.insert(records.end(), august + 28, first + 336);
        }
        QFile file(directory.path() + QStringLiteral("/Holiday.d00"));
        const qint64 bytes = qint64(records.size()) * LeaveRecord::Size;
        if (!file.open(QIODevice::WriteOnly)
            || file.write(reinterpret_cast<const char*>(records.data()), bytes) != bytes)
            std::abort();
        return directory.path() + u'/';
    }();
    return path;
}

void PaidLeaveBalanceEnteredAhead(benchmark::State& state)
{
    SetDataDirectory(EnteredAheadDirectory());
    PaidLeave::Rules rules;
    rules.Hired = QDate(FirstYear - 1, 10, 1);
    const QDate today(FirstYear + 40, 3, 1);
    for (auto _ : state)
        benchmark::DoNotOptimize(PaidLeave::ComputeFromDataFile(rules, today));
    state.SetItemsProcessed(state.iterations() * FortyYears);
    SetDataDirectory(QString());
}
BENCHMARK(PaidLeaveBalanceEnteredAhead)->Unit(benchmark::kMicrosecond);

void PlainRead(benchmark::State& state)
{
    const QString path = BenchData::DataDirectoryOf(state.range(0), FirstYear) + QStringLiteral("Holiday.d00");
    for (auto _ : state)
        benchmark::DoNotOptimize(BenchData::PlainRead(path));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(PlainRead)->Arg(FortyYears)->Unit(benchmark::kMicrosecond);

} // namespace
// The data file's own reader with nothing done per record: what any count
// over LeaveStore pays before its own work.
namespace {
void ReaderOnly(benchmark::State& state)
{
    SetDataDirectory(BenchData::DataDirectoryOf(state.range(0), FirstYear));
    for (auto _ : state) {
        qint64 n = 0;
        LeaveStore::ForEach([&n](const LeaveRecord& r, qint64) { n += r.Kind(); });
        benchmark::DoNotOptimize(n);
    }
    SetDataDirectory(QString());
}
BENCHMARK(ReaderOnly)->Arg(FortyYears)->Unit(benchmark::kMicrosecond);
} // namespace

// The target as one figure: the balance over a plain read of its file.
namespace {
void BalanceOverPlainRead(benchmark::State& state)
{
    SetDataDirectory(BenchData::DataDirectoryOf(state.range(0), FirstYear));
    const QString path = BenchData::DataDirectoryOf(state.range(0), FirstYear) + QStringLiteral("Holiday.d00");
    PaidLeave::Rules rules;
    rules.Hired = QDate(FirstYear - 1, 10, 1);
    const QDate today(FirstYear + 40, 3, 1);
    BenchData::RatioOverPlainRead(
        state, path, [&] { benchmark::DoNotOptimize(PaidLeave::ComputeFromDataFile(rules, today)); });
    SetDataDirectory(QString());
}
BENCHMARK(BalanceOverPlainRead)->Arg(FortyYears)->Unit(benchmark::kMicrosecond);
} // namespace
