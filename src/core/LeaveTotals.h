#pragma once

// The totals of one fiscal year of leave, counted from the day codes the
// fiscal-year calendar shows: paid leave (全 one day, AM and PM half a day
// each), other leave (the other leave kinds, the weekly days off and the
// holidays, but not work on a day off), the days worked and the attendance
// rate. Sums are single precision, as the windows have always shown them;
// they are whole or half numbers.

#include <array>

#include <QString>

class FiscalYearDayTable;

// The code text of each day cell of a fiscal year by position: month
// position 1 (April) to 12 (March), day 1 to 31. Cells of impossible dates
// hold "／"; empty cells count for nothing.
class FiscalYearCodes {
public:
    static constexpr int Months = 12;
    static constexpr int Days = 31;

    QString& At(int position, int day) { return codes_[size_t(position - 1)][size_t(day - 1)]; }
    const QString& At(int position, int day) const { return codes_[size_t(position - 1)][size_t(day - 1)]; }

    // A day table is indexed by calendar month: April goes to position 1,
    // January to position 10.
    static FiscalYearCodes FromDayTable(const FiscalYearDayTable& table);

private:
    std::array<std::array<QString, Days>, Months> codes_ {};
};

// The twenty counted codes, in the order of their counters.
enum class CountedCode : int {
    FullDay,
    Morning,
    Afternoon,
    RegularDayOff,
    Summer,
    Winter,
    GoldenWeek,
    Special,
    Compensatory,
    HolidayWork,
    Sunday,
    Monday,
    Tuesday,
    Wednesday,
    Thursday,
    Friday,
    Saturday,
    NationalHoliday,
    SubstituteHoliday,
    NoSuchDate,
};
inline constexpr int CountedCodeCount = 20;

// The code text a counter counts: "全" ... "出", "日" ... "土", "祝", "振", "／".
QString CountedCodeText(CountedCode code);

struct YearTotals {
    std::array<int, CountedCodeCount> Counts {};
    float Paid = 0; // P
    float Other = 0; // O
    float Total = 0; // T = P + O
    int DaysInYear = 365; // D
    float Worked = 0; // D − T
    float Rate = 0; // (D − T) / D × 100

    int Count(CountedCode code) const { return Counts[size_t(code)]; }
};

// daysOff: Sunday to Saturday. A weekday letter of a weekday that is not a
// day off is counted but adds nothing to O.
YearTotals TotalFiscalYear(const FiscalYearCodes& codes, int fiscalYear, const std::array<bool, 7>& daysOff);

// Paid leave month by month: counts of 全, AM and PM for each month position
// 1 (April) to 12 (March), and their totals over the year in slot 13.
struct MonthlyPaidLeave {
    static constexpr int YearSlot = 13;
    std::array<std::array<int, 14>, 3> Counts {}; // [kind 0..2][position 1..13]

    int Count(int kind, int slot) const { return Counts[size_t(kind)][size_t(slot)]; }
    // 全 + 0.5 × AM + 0.5 × PM of a month position, or of the year (slot 13).
    float Days(int slot) const;
};

MonthlyPaidLeave TotalPaidLeaveByMonth(const FiscalYearCodes& codes);
