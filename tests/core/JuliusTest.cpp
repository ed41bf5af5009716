#include "core/Julius.h"

#include <limits>

#include <QCalendar>
#include <QDate>

#include <gtest/gtest.h>

#include "platform/Errors.h"

using Julius::DateOfDayNumber;
using Julius::DateTriple;
using Julius::JulianDayNumber;

namespace {

constexpr int FirstGregorianDay = 2299161;
const int LastDay = int(QDate(9999, 12, 31).toJulianDay());

// Qt's Julian calendar has no year 0: 1 BC is -1 there, 0 in astronomical numbering.
DateTriple JulianCalendarDate(int dayNumber)
{
    const QCalendar::YearMonthDay parts
        = QCalendar(QCalendar::System::Julian).partsFromDate(QDate::fromJulianDay(dayNumber));
    return { parts.year < 0 ? parts.year + 1 : parts.year, parts.month, parts.day };
}

} // namespace

TEST(JuliusTest, DayNumbersOfTheCalendarChange)
{
    EXPECT_EQ(JulianDayNumber(-4712, 1, 1), 0);
    EXPECT_EQ(JulianDayNumber(1582, 10, 4), 2299160);
    EXPECT_EQ(DateOfDayNumber(0), (DateTriple { -4712, 1, 1 }));
    EXPECT_EQ(DateOfDayNumber(2299160), (DateTriple { 1582, 10, 4 }));
    EXPECT_EQ(DateOfDayNumber(2299161), (DateTriple { 1582, 10, 15 }));
    EXPECT_EQ(DateOfDayNumber(2451545), (DateTriple { 2000, 1, 1 }));
}

TEST(JuliusTest, EveryDayFromTheChangeOnIsTheGregorianDate)
{
    for (int j = FirstGregorianDay; j <= LastDay; ++j) {
        const QDate expected = QDate::fromJulianDay(j);
        const DateTriple date = DateOfDayNumber(j);
        ASSERT_EQ(date, (DateTriple { expected.year(), expected.month(), expected.day() })) << "day number " << j;
    }
}

// Below the change the date is the Julian-calendar date, and JulianDayNumber
// gives back the day number; from the change on, JulianDayNumber of the
// Julian-calendar date of the day does.
TEST(JuliusTest, DayNumbersRoundTripThroughTheJulianCalendar)
{
    for (int j = 0; j <= LastDay; ++j) {
        const DateTriple julian = JulianCalendarDate(j);
        if (j < FirstGregorianDay) {
            ASSERT_EQ(DateOfDayNumber(j), julian) << "day number " << j;
        }
        ASSERT_EQ(JulianDayNumber(julian.Year, julian.Month, julian.Day), j) << "day number " << j;
    }
}

// Far beyond the calendars' years every day number still converts exactly,
// up to the largest, whose date (in the year 5874898) needs more than 32 bits
// on the way.
TEST(JuliusTest, DayNumbersConvertExactlyUpToTheLargest)
{
    const int largest = std::numeric_limits<int>::max();
    const auto check = [](int j) {
        const QDate expected = QDate::fromJulianDay(j);
        ASSERT_EQ(DateOfDayNumber(j), (DateTriple { expected.year(), expected.month(), expected.day() }))
            << "day number " << j;
    };
    for (int j = 2147438000; j <= 2147439000; ++j)
        check(j);
    for (int j = largest - 2000;; ++j) {
        check(j);
        if (j == largest)
            break;
    }
    const DateTriple last = DateOfDayNumber(largest);
    EXPECT_EQ(QDate(last.Year, last.Month, last.Day).toJulianDay(), largest);
    // and at the low end, through the Julian calendar and back
    for (int j = 0; j <= 2000; ++j) {
        const DateTriple date = DateOfDayNumber(j);
        ASSERT_EQ(JulianDayNumber(date.Year, date.Month, date.Day), j) << "day number " << j;
    }
}

struct EquinoxCase {
    int year;
    int day;
};

std::string YearName(const testing::TestParamInfo<EquinoxCase>& info)
{
    return "Year" + std::to_string(info.param.year);
}

class VernalEquinoxTest : public testing::TestWithParam<EquinoxCase> { };

TEST_P(VernalEquinoxTest, FallsOnTheDayOfMarch)
{
    EXPECT_EQ(Julius::VernalEquinoxDay(GetParam().year), GetParam().day);
    EXPECT_EQ(DateOfDayNumber(Julius::VernalEquinoxDayNumber(GetParam().year)).Month, 3);
}

INSTANTIATE_TEST_SUITE_P(Years, VernalEquinoxTest,
    testing::Values(EquinoxCase { 1948, 21 }, EquinoxCase { 2000, 20 }, EquinoxCase { 2023, 21 },
        EquinoxCase { 2024, 20 }, EquinoxCase { 2092, 19 }, EquinoxCase { 2100, 20 }, EquinoxCase { 2200, 21 }),
    YearName);

class AutumnalEquinoxTest : public testing::TestWithParam<EquinoxCase> { };

TEST_P(AutumnalEquinoxTest, FallsOnTheDayOfSeptember)
{
    EXPECT_EQ(Julius::AutumnalEquinoxDay(GetParam().year), GetParam().day);
    EXPECT_EQ(DateOfDayNumber(Julius::AutumnalEquinoxDayNumber(GetParam().year)).Month, 9);
}

// 2012 lies 0.002 days before midnight: the terms must be summed in order.
INSTANTIATE_TEST_SUITE_P(Years, AutumnalEquinoxTest,
    testing::Values(EquinoxCase { 1979, 24 }, EquinoxCase { 2000, 23 }, EquinoxCase { 2012, 22 },
        EquinoxCase { 2024, 22 }, EquinoxCase { 2025, 23 }, EquinoxCase { 2100, 23 }),
    YearName);

TEST(JuliusTest, FiscalYearBeginsInApril)
{
    EXPECT_EQ(Julius::FiscalYearOf(2025, 1), 2024);
    EXPECT_EQ(Julius::FiscalYearOf(2025, 3), 2024);
    EXPECT_EQ(Julius::FiscalYearOf(2025, 4), 2025);
    EXPECT_EQ(Julius::FiscalYearOf(2025, 12), 2025);
}

TEST(JuliusTest, FiscalYearCaptionsReadBack)
{
    EXPECT_EQ(Julius::FiscalYearCaption(1999), QStringLiteral("1999年度"));
    EXPECT_EQ(Julius::ParseFiscalYearCaption(QStringLiteral("1999年度")), 1999);
    EXPECT_EQ(Julius::ParseFiscalYearCaption(Julius::FiscalYearCaption(12345)), 12345);
    EXPECT_EQ(Julius::ParseFiscalYearCaption(Julius::FiscalYearCaption(1)), 1);
}

TEST(JuliusTest, MonthCaptionsReadBack)
{
    EXPECT_EQ(Julius::MonthCaption(1999, 12), QStringLiteral("1999年12月"));
    EXPECT_EQ(Julius::ParseMonthCaption(Julius::MonthCaption(2024, 1)), (Julius::YearMonth { 2024, 1 }));
    EXPECT_EQ(Julius::ParseMonthCaption(Julius::MonthCaption(2024, 12)), (Julius::YearMonth { 2024, 12 }));
}

TEST(JuliusTest, CaptionsNotOfTheirFormAreRefusedWithTheIntegerError)
{
    try {
        Julius::ParseFiscalYearCaption(QStringLiteral("平成11年度"));
        FAIL() << "no error";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'平成11' is not a valid integer value"));
    }
    EXPECT_THROW(Julius::ParseFiscalYearCaption(QStringLiteral("度")), EConvertError);
    EXPECT_THROW(Julius::ParseFiscalYearCaption(QString()), EConvertError);

    // A three-digit year is refused: the year is always read from four characters.
    EXPECT_THROW(Julius::ParseMonthCaption(Julius::MonthCaption(999, 12)), EConvertError);
    EXPECT_THROW(Julius::ParseMonthCaption(QStringLiteral("2024年度")), EConvertError);
    EXPECT_THROW(Julius::ParseMonthCaption(QStringLiteral("2024")), EConvertError);
    EXPECT_THROW(Julius::ParseMonthCaption(QString()), EConvertError);
}

TEST(JuliusTest, OnlyFiscalYearsWithinTheCalendarAreAccepted)
{
    EXPECT_NO_THROW(Julius::CheckFiscalYear(1));
    EXPECT_NO_THROW(Julius::CheckFiscalYear(9998));
    for (const int year : { 0, 9999, -1, std::numeric_limits<int>::max(), std::numeric_limits<int>::min() }) {
        try {
            Julius::CheckFiscalYear(year);
            ADD_FAILURE() << year << " accepted";
        } catch (const EDateError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Invalid argument to date encode"));
        }
    }
}
