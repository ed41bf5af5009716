#include "core/LeaveTotals.h"

#include <gtest/gtest.h>

#include "core/FiscalYearDayTable.h"
#include "platform/Text.h"

namespace {

constexpr std::array<bool, 7> SaturdayAndSunday { true, false, false, false, false, false, true };
constexpr std::array<bool, 7> NoDaysOff {};

// Writes `count` cells with `code`, walking the fiscal year from `from`.
int Put(FiscalYearCodes& codes, const QString& code, int count, int from = 0)
{
    for (int i = from; i < from + count; ++i)
        codes.At(i / 31 + 1, i % 31 + 1) = code;
    return from + count;
}

QString Days(float value) { return Text::FormatFloat(QStringLiteral("0.0"), double(value)); }

} // namespace

TEST(LeaveTotals, TheWorkedExampleOfAYearWithWeekendsOff)
{
    FiscalYearCodes codes;
    int at = Put(codes, QStringLiteral("全"), 10);
    at = Put(codes, QStringLiteral("AM"), 3, at);
    at = Put(codes, QStringLiteral("PM"), 1, at);
    at = Put(codes, QStringLiteral("夏"), 2, at);
    at = Put(codes, QStringLiteral("出"), 1, at);
    at = Put(codes, QStringLiteral("日"), 52, at);
    at = Put(codes, QStringLiteral("土"), 52, at);
    at = Put(codes, QStringLiteral("祝"), 15, at);
    Put(codes, QStringLiteral("振"), 1, at);

    const YearTotals totals = TotalFiscalYear(codes, 2009, SaturdayAndSunday);
    EXPECT_EQ(totals.Count(CountedCode::FullDay), 10);
    EXPECT_EQ(totals.Count(CountedCode::Morning), 3);
    EXPECT_EQ(totals.Count(CountedCode::Afternoon), 1);
    EXPECT_EQ(totals.Count(CountedCode::HolidayWork), 1);
    EXPECT_EQ(Days(totals.Paid), QStringLiteral("12.0"));
    EXPECT_EQ(Days(totals.Other), QStringLiteral("122.0")); // holiday work adds nothing
    EXPECT_EQ(Days(totals.Total), QStringLiteral("134.0"));
    EXPECT_EQ(totals.DaysInYear, 365);
    EXPECT_EQ(Days(totals.Worked), QStringLiteral("231.0"));
    EXPECT_EQ(Text::FormatFloat(QStringLiteral("0.0%"), double(totals.Rate)), QStringLiteral("63.3%"));
}

TEST(LeaveTotals, AFiscalYearWhoseFebruaryIsInALeapYearHas366Days)
{
    const FiscalYearCodes none;
    EXPECT_EQ(TotalFiscalYear(none, 2009, NoDaysOff).DaysInYear, 365);
    EXPECT_EQ(TotalFiscalYear(none, 2011, NoDaysOff).DaysInYear, 366); // February 2012
    EXPECT_EQ(TotalFiscalYear(none, 2012, NoDaysOff).DaysInYear, 365);
    EXPECT_EQ(TotalFiscalYear(none, 1899, NoDaysOff).DaysInYear, 365); // 1900 is no leap year
    EXPECT_EQ(TotalFiscalYear(none, 1999, NoDaysOff).DaysInYear, 366); // 2000 is
    const YearTotals empty = TotalFiscalYear(none, 2011, NoDaysOff);
    EXPECT_EQ(Days(empty.Worked), QStringLiteral("366.0"));
    EXPECT_EQ(Text::FormatFloat(QStringLiteral("0.0%"), double(empty.Rate)), QStringLiteral("100.0%"));
}

TEST(LeaveTotals, OnlyWeekdaysThatAreDaysOffCountAsOtherLeave)
{
    FiscalYearCodes codes;
    int at = Put(codes, QStringLiteral("日"), 4);
    at = Put(codes, QStringLiteral("水"), 3, at); // a Wednesday letter with Wednesday not a day off
    at = Put(codes, QStringLiteral("定"), 1, at);
    at = Put(codes, QStringLiteral("代"), 2, at);
    at = Put(codes, QStringLiteral("祝"), 1, at);
    Put(codes, QStringLiteral("／"), 7, at);

    const YearTotals weekends = TotalFiscalYear(codes, 2020, SaturdayAndSunday);
    EXPECT_EQ(weekends.Count(CountedCode::Wednesday), 3); // counted, not added
    EXPECT_EQ(weekends.Count(CountedCode::NoSuchDate), 7);
    EXPECT_EQ(Days(weekends.Other), QStringLiteral("8.0"));

    const YearTotals none = TotalFiscalYear(codes, 2020, NoDaysOff);
    EXPECT_EQ(Days(none.Other), QStringLiteral("4.0")); // 定, 代 ×2, 祝
}

TEST(LeaveTotals, CodesCountOnlyOnExactEquality)
{
    FiscalYearCodes codes;
    codes.At(1, 1) = QStringLiteral("全 ");
    codes.At(1, 2) = QStringLiteral("am");
    codes.At(1, 3) = QStringLiteral("ＡＭ");
    codes.At(1, 4) = QStringLiteral("全");
    const YearTotals totals = TotalFiscalYear(codes, 2020, NoDaysOff);
    EXPECT_EQ(totals.Count(CountedCode::FullDay), 1);
    EXPECT_EQ(totals.Count(CountedCode::Morning), 0);
}

TEST(LeaveTotals, ADayTableIsReorderedFromCalendarMonthsToFiscalPositions)
{
    FiscalYearDayTable table;
    table.Set(4, 1, DayCode::FullDay); // 1 April: position 1
    table.Set(12, 31, DayCode::Morning); // 31 December: position 9
    table.Set(1, 10, DayCode::Afternoon); // 10 January: position 10
    table.Set(3, 31, DayCode::NationalHoliday); // 31 March: position 12
    const FiscalYearCodes codes = FiscalYearCodes::FromDayTable(table);
    EXPECT_EQ(codes.At(1, 1), QStringLiteral("全"));
    EXPECT_EQ(codes.At(9, 31), QStringLiteral("AM"));
    EXPECT_EQ(codes.At(10, 10), QStringLiteral("PM"));
    EXPECT_EQ(codes.At(12, 31), QStringLiteral("祝"));
}

TEST(LeaveTotals, MonthlyPaidLeaveCountsEachMonthAndTheYear)
{
    FiscalYearCodes codes;
    // One month (January, position 10) with 2 全, 3 AM and 1 PM.
    codes.At(10, 1) = codes.At(10, 2) = QStringLiteral("全");
    codes.At(10, 3) = codes.At(10, 4) = codes.At(10, 5) = QStringLiteral("AM");
    codes.At(10, 6) = QStringLiteral("PM");
    codes.At(10, 7) = QStringLiteral("夏"); // not paid leave
    codes.At(1, 30) = QStringLiteral("全"); // April
    const MonthlyPaidLeave leave = TotalPaidLeaveByMonth(codes);
    EXPECT_EQ(leave.Count(0, 10), 2);
    EXPECT_EQ(leave.Count(1, 10), 3);
    EXPECT_EQ(leave.Count(2, 10), 1);
    EXPECT_EQ(Days(leave.Days(10)), QStringLiteral("4.0"));
    EXPECT_EQ(Days(leave.Days(1)), QStringLiteral("1.0"));
    EXPECT_EQ(Days(leave.Days(5)), QStringLiteral("0.0"));
    EXPECT_EQ(leave.Count(0, MonthlyPaidLeave::YearSlot), 3);
    EXPECT_EQ(Days(leave.Days(MonthlyPaidLeave::YearSlot)), QStringLiteral("5.0"));
    // The year's paid days are the yearly totals' paid leave.
    EXPECT_EQ(Days(leave.Days(MonthlyPaidLeave::YearSlot)), Days(TotalFiscalYear(codes, 2009, NoDaysOff).Paid));
}
