#pragma once

// Japan's national holidays, substitute holidays and citizens' holidays, from
// a rule table built into the program (nothing is read from a file).
//
// Two views of the same rules. The month calendar asks for one calendar
// month with names, and a rule is in force from its first calendar year. The
// fiscal-year day table asks for April to March with codes, and there every
// rule's first year is compared with the fiscal year itself, so the January
// to March holidays start one calendar year later than in the month view
// (1 January from 1949, 11 February from 1968, the vernal equinox from 1949,
// Coming of Age Day from 1950). Both views agree on every other day.
//
// Beside that table, the holidays as the Act on National Holidays and the
// laws for single days have made them up to today, chosen by the settings
// (CurrentLaw in [Holiday]): every holiday by its dates and names in each
// period from the act's first day, 20 July 1948; the substitute holiday of
// each period (from 12 April 1973 the day after a Sunday holiday, from 2007
// the next day that is no holiday); the citizens' holiday between two
// holidays (from 27 December 1985); the days of 1959, 1989, 1990, 1993 and
// 2019; and the equinoxes as the program computes them. Both views of that
// table give the same days, by the date alone.
//
// Which table, if any, the program shows is the settings' choice; the
// windows and exports ask ShownHolidays, never this table directly.

#include <vector>

#include <QString>

#include "core/DayCode.h"

namespace HolidayCalendar {

enum class HolidayTable {
    BuiltIn, // the program's own table, the settings' default
    CurrentLaw, // the law as it stands today
};

struct MonthHoliday {
    int Day = 0;
    // e.g. "文化の日"; "振休" for substitute and citizens' holidays in the
    // built-in table, "振替休日" and "国民の休日" by the current law
    QString Name;
    bool IsSubstitute = false;
};

struct FiscalYearHoliday {
    int Month = 0;
    int Day = 0;
    DayCode Code = DayCode::NationalHoliday; // or SubstituteHoliday
};

// The holidays of one month: first the rule holidays in the month's order,
// then the substitute days (by the current law: in date order). A day appears
// once; when two rules give the same day, the later one names it. Raises
// EDateError for a year beyond 9999.
std::vector<MonthHoliday> NationalHolidaysOfMonth(int year, int month, HolidayTable table);

// The holidays from April of the fiscal year to March of the next calendar
// year, rule by rule, each holiday followed by its substitute day (by the
// current law: in date order). A day
// appears once; the later rule decides its code. Raises EDateError for a
// fiscal year outside 1 to 9998.
std::vector<FiscalYearHoliday> NationalHolidaysOfFiscalYear(int fiscalYear, HolidayTable table);

// Whether the day is the day of a rule holiday in force in that calendar year,
// as the month view counts it; substitute and citizens' holidays are not.
// By the current law: a holiday of the act or a law for a single day.
bool IsRuleHoliday(int year, int month, int day, HolidayTable table);

} // namespace HolidayCalendar
