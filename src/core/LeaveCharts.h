#pragma once

// The figures the window of charts draws, taken from the same computations
// as the totals windows and the paid-leave window: the fiscal-year totals of
// a day table for each year and each month, and the paid-leave balance with
// its grants. Only the balance over time is new, and it is walked from the
// balance's own grant rows and the same leave taken, in the order the
// balance takes them.

#include <array>
#include <optional>
#include <vector>

#include <QDate>

#include "core/LeaveTotals.h"
#include "core/PaidLeave.h"

namespace LeaveCharts {

// The leave kinds beside paid leave, in the order of their codes:
// 定, 夏, 冬, GW, 特, 代, 出.
inline constexpr std::array<CountedCode, 7> OtherKinds { CountedCode::RegularDayOff, CountedCode::Summer,
    CountedCode::Winter, CountedCode::GoldenWeek, CountedCode::Special, CountedCode::Compensatory,
    CountedCode::HolidayWork };

// The most fiscal years the chart of years shows: the newest ones.
inline constexpr int MaxYears = 20;

// One bar: paid days (全 one, AM and PM half each) and the days of each
// other kind.
struct LeaveBar {
    int Period = 0; // the fiscal year, or the month position 1 (April) to 12
    float Paid = 0;
    std::array<int, 7> Other {};
    bool Empty() const;
};

LeaveBar BarOf(const YearTotals& totals, int period);

// The fiscal years that hold a leave record, oldest first; one reading of
// the data file.
std::vector<int> FiscalYearsWithLeave();

// One bar for each of the newest MaxYears of those years that show leave
// on their calendar, oldest first, each from a fresh day table of the year
// as the totals window counts it.
std::vector<LeaveBar> YearBars();

// The twelve months of a fiscal year's day codes, April to March.
std::vector<LeaveBar> MonthBars(const FiscalYearCodes& codes, int fiscalYear);

// The paid-leave balance at the end of a day.
struct BalanceStep {
    QDate Date;
    int HalfDays = 0;
    friend bool operator==(const BalanceStep&, const BalanceStep&) = default;
};

struct PaidLeaveChart {
    PaidLeave::Balance Balance;
    // One step for each day on which a grant arrived, what was left of one
    // expired or leave was taken, in date order, up to `today`.
    std::vector<BalanceStep> Steps;
};

// Nothing until a hiring date is set.
std::optional<PaidLeaveChart> PaidLeaveOf(
    const PaidLeave::Rules& rules, const std::vector<PaidLeave::Use>& uses, const QDate& today);
std::optional<PaidLeaveChart> PaidLeaveFromDataFile(const PaidLeave::Rules& rules, const QDate& today);

} // namespace LeaveCharts
