#pragma once

// Calendar arithmetic the date services do not give: Julian Day Numbers across
// the 1582 change from the Julian to the Gregorian calendar, the days of the
// March and September equinoxes in Japan Standard Time, the fiscal year
// (1 April to 31 March, named by the year of its April) and the captions by
// which the calendar windows remember what they show.

#include <QString>

namespace Julius {

// Year in astronomical numbering (0 is 1 BC), month 1..12, day 1..31.
struct DateTriple {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    friend bool operator==(const DateTriple&, const DateTriple&) = default;
};

// The Julian Day Number (the day of noon) of a date of the Julian calendar.
// Day 0 is 1 January -4712; 4 October 1582 is 2299160.
int JulianDayNumber(int year, int month, int day);

// The Julian-calendar date of a day number below 2299161 and the Gregorian
// date from 2299161 (15 October 1582) on. Day numbers must not be negative.
DateTriple DateOfDayNumber(int dayNumber);

// Day numbers on which the equinoxes fall in Japan Standard Time.
int VernalEquinoxDayNumber(int year);
int AutumnalEquinoxDayNumber(int year);
// Their days of March and of September.
int VernalEquinoxDay(int year);
int AutumnalEquinoxDay(int year);

// January to March belong to the fiscal year of the April before.
int FiscalYearOf(int year, int month);
// Raises EDateError "Invalid argument to date encode" unless the fiscal year
// lies within the calendar's years 1 to 9999, that is, for years outside 1 to
// 9998.
void CheckFiscalYear(int fiscalYear);

// "1999年度"
QString FiscalYearCaption(int fiscalYear);
// Everything but the last two characters as a decimal number; raises
// EConvertError "'<text>' is not a valid integer value" otherwise.
int ParseFiscalYearCaption(const QString& caption);

struct YearMonth {
    int Year = 0;
    int Month = 0;
    friend bool operator==(const YearMonth&, const YearMonth&) = default;
};

// "1999年12月"
QString MonthCaption(int year, int month);
// The year is the first four characters, the month what lies between "年"
// and the final "月"; raises EConvertError when either is not a number, so a
// caption whose year has other than four digits is refused.
YearMonth ParseMonthCaption(const QString& caption);

} // namespace Julius
