// Opening the window of charts over forty years of records (the newest
// twenty fiscal years totalled, the months of one, the paid-leave balance of
// the whole career), beside the totals of one fiscal year it repeats for
// each year.

#include <benchmark/benchmark.h>

#include "DataFiles.h"
#include "core/LeaveTotals.h"
#include "core/PaidLeaveSettings.h"
#include "core/Settings.h"
#include "platform/DataDirectory.h"
#include "platform/Dates.h"
#include "reports/ChartWindow.h"
#include "reports/TotalsRequest.h"

namespace {

constexpr int FirstYear = 1985;
constexpr qint64 FortyYears = 40 * 336;

void UseFortyYears()
{
    SetDataDirectory(BenchData::DataDirectoryOf(FortyYears, FirstYear));
    Dates::SetToday(QDate(2025, 3, 31));
    PaidLeave::Rules rules;
    rules.Hired = QDate(FirstYear, 4, 1);
    PaidLeaveSettings::Write(rules);
}

void OpenChartWindow(benchmark::State& state)
{
    UseFortyYears();
    for (auto _ : state) {
        TChartForm window;
        window.ShowCharts();
        window.hide();
    }
    SetDataDirectory(QString());
    Dates::SetToday(std::nullopt);
}
BENCHMARK(OpenChartWindow)->Unit(benchmark::kMillisecond);

void OneYearOfTotals(benchmark::State& state)
{
    UseFortyYears();
    const std::array<bool, 7> daysOff = Settings::ReadDaysOff().Weekly;
    for (auto _ : state)
        benchmark::DoNotOptimize(TotalFiscalYear(CollectFiscalYearCodes(2020), 2020, daysOff));
    SetDataDirectory(QString());
    Dates::SetToday(std::nullopt);
}
BENCHMARK(OneYearOfTotals)->Unit(benchmark::kMillisecond);

} // namespace
