// The fiscal-year totals as the totals window computes them with no
// calendar open (a fresh day table, then the counts), beside the plain read
// of the same data file, which is their floor.

#include <benchmark/benchmark.h>

#include "DataFiles.h"
#include "core/LeaveTotals.h"
#include "core/Settings.h"
#include "platform/DataDirectory.h"
#include "reports/TotalsRequest.h"

namespace {

// The records start in 2000, so fiscal year 2000 holds leave on every day the
// file has for it.
constexpr int TotalsYear = 2000;

void FiscalYearTotals(benchmark::State& state)
{
    SetDataDirectory(BenchData::DataDirectoryOf(state.range(0), 2000));
    const std::array<bool, 7> daysOff = Settings::ReadDaysOff().Weekly;
    for (auto _ : state) {
        const YearTotals totals = TotalFiscalYear(CollectFiscalYearCodes(TotalsYear), TotalsYear, daysOff);
        benchmark::DoNotOptimize(totals);
    }
    state.SetItemsProcessed(state.iterations() * state.range(0));
    SetDataDirectory(QString());
}
BENCHMARK(FiscalYearTotals)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

void PlainRead(benchmark::State& state)
{
    const QString path = BenchData::DataDirectoryOf(state.range(0), 2000) + QStringLiteral("Holiday.d00");
    for (auto _ : state)
        benchmark::DoNotOptimize(BenchData::PlainRead(path));
    state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(PlainRead)->Arg(100)->Arg(10'000)->Arg(1'000'000)->Unit(benchmark::kMicrosecond);

} // namespace
