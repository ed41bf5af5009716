#include "core/LeaveCharts.h"

#include <algorithm>
#include <limits>
#include <set>
#include <span>

#include "core/FiscalYearDayTable.h"
#include "core/Julius.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"

namespace LeaveCharts {

bool LeaveBar::Empty() const
{
    return Paid == 0 && std::all_of(Other.begin(), Other.end(), [](int days) { return days == 0; });
}

LeaveBar BarOf(const YearTotals& totals, int period)
{
    LeaveBar bar;
    bar.Period = period;
    bar.Paid = totals.Paid;
    for (size_t i = 0; i < OtherKinds.size(); ++i)
        bar.Other[i] = totals.Count(OtherKinds[i]);
    return bar;
}

std::vector<int> FiscalYearsWithLeave()
{
    std::set<int> years;
    LeaveStore::ForEach([&](const LeaveRecord& record, qint64) {
        const int kind = record.Kind();
        const int month = record.Month();
        // Only leave the day table can show: a year it can build, a real
        // month, a kind with a code.
        if (record.Cleared() || kind < int(DayCode::FullDay) || kind > int(DayCode::HolidayWork) || month < 1
            || month > 12)
            return;
        const int fiscalYear = Julius::FiscalYearOf(record.Year(), month);
        if (fiscalYear >= 1 && fiscalYear <= 9998)
            years.insert(fiscalYear);
    });
    return { years.begin(), years.end() };
}

std::vector<LeaveBar> YearBars()
{
    const std::array<bool, 7> daysOff = Settings::ReadDaysOff().Weekly;
    const std::vector<int> years = FiscalYearsWithLeave();
    std::vector<LeaveBar> bars;
    FiscalYearDayTable table;
    for (auto year = years.rbegin(); year != years.rend() && bars.size() < size_t(MaxYears); ++year) {
        BuildFiscalYearDayTable(*year, table);
        // A year whose records a later record of their dates overrules
        // shows no leave, and gets no bar.
        const LeaveBar bar = BarOf(TotalFiscalYear(FiscalYearCodes::FromDayTable(table), *year, daysOff), *year);
        if (!bar.Empty())
            bars.push_back(bar);
    }
    std::reverse(bars.begin(), bars.end());
    return bars;
}

std::vector<LeaveBar> MonthBars(const FiscalYearCodes& codes, int fiscalYear)
{
    // Each month counted as a year that holds only that month: the leave
    // kinds' counts do not depend on the days off.
    const std::array<bool, 7> noDaysOff {};
    std::vector<LeaveBar> bars;
    for (int position = 1; position <= FiscalYearCodes::Months; ++position) {
        FiscalYearCodes month;
        for (int day = 1; day <= FiscalYearCodes::Days; ++day)
            month.At(position, day) = codes.At(position, day);
        bars.push_back(BarOf(TotalFiscalYear(month, fiscalYear, noDaysOff), position));
    }
    return bars;
}

namespace {

// The balance walked day by day as the balance itself takes it: on one
// day, what was left of a grant expires first, then the day's grants
// arrive, then the day's leave takes what it can.
std::vector<BalanceStep> StepsOf(const PaidLeave::Balance& balance, const PaidLeave::Rules& rules,
    const std::vector<PaidLeave::Use>& uses, const QDate& today)
{
    const QDate start = rules.StartDate && *rules.StartDate <= today ? *rules.StartDate : QDate();
    struct Change {
        qint64 Day;
        int Order; // 0 expiry, 1 grant, 2 leave
        int HalfDays;
    };
    std::vector<Change> changes;
    for (const PaidLeave::GrantRow& row : balance.Grants) {
        const QDate arrives = row.FromStartingBalance ? start : row.Date;
        changes.push_back({ arrives.toJulianDay(), 1, row.Granted + row.CarriedIn });
        if (row.Expired > 0)
            changes.push_back({ row.ValidUntil.toJulianDay() + 1, 0, row.Expired });
    }
    const qint64 first = start.isValid() ? start.toJulianDay() : std::numeric_limits<qint64>::min();
    for (const PaidLeave::Use& use : uses) {
        if (use.Day >= first && use.Day <= today.toJulianDay())
            changes.push_back({ use.Day, 2, use.HalfDays });
    }
    std::stable_sort(changes.begin(), changes.end(),
        [](const Change& a, const Change& b) { return a.Day != b.Day ? a.Day < b.Day : a.Order < b.Order; });

    std::vector<BalanceStep> steps;
    int left = 0;
    for (const Change& change : changes) {
        if (change.Order == 0)
            left -= change.HalfDays;
        else if (change.Order == 1)
            left += change.HalfDays;
        else
            left -= std::min(left, change.HalfDays); // leave beyond the grants takes nothing
        const QDate date = QDate::fromJulianDay(change.Day);
        if (!steps.empty() && steps.back().Date == date)
            steps.back().HalfDays = left;
        else
            steps.push_back({ date, left });
    }
    return steps;
}

} // namespace

std::optional<PaidLeaveChart> PaidLeaveOf(
    const PaidLeave::Rules& rules, const std::vector<PaidLeave::Use>& uses, const QDate& today)
{
    std::optional<PaidLeave::Balance> balance = PaidLeave::Compute(rules, uses, today);
    if (!balance)
        return std::nullopt;
    PaidLeaveChart chart;
    chart.Steps = StepsOf(*balance, rules, uses, today);
    chart.Balance = std::move(*balance);
    return chart;
}

std::optional<PaidLeaveChart> PaidLeaveFromDataFile(const PaidLeave::Rules& rules, const QDate& today)
{
    if (!rules.Hired)
        return std::nullopt;
    PaidLeave::UseCollector collector;
    LeaveStore::Reader reader;
    for (std::span<const LeaveRecord> batch; !(batch = reader.NextBatch()).empty();)
        collector.Add(batch.data(), batch.size());
    return PaidLeaveOf(rules, collector.Finish(), today);
}

} // namespace LeaveCharts
