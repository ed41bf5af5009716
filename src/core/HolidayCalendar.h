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

#include <vector>

#include <QString>

#include "core/DayCode.h"

namespace HolidayCalendar {

struct MonthHoliday {
    int Day = 0;
    QString Name; // e.g. "文化の日"; "振休" for substitute and citizens' holidays
    bool IsSubstitute = false;
};

struct FiscalYearHoliday {
    int Month = 0;
    int Day = 0;
    DayCode Code = DayCode::NationalHoliday; // or SubstituteHoliday
};

// The holidays of one month: first the rule holidays in the month's order,
// then the substitute days. A day appears once; when two rules give the same
// day, the later one names it. Raises EDateError for a year beyond 9999.
std::vector<MonthHoliday> NationalHolidaysOfMonth(int year, int month);

// The holidays from April of the fiscal year to March of the next calendar
// year, rule by rule, each holiday followed by its substitute day. A day
// appears once; the later rule decides its code. Raises EDateError for a
// fiscal year outside 1 to 9998.
std::vector<FiscalYearHoliday> NationalHolidaysOfFiscalYear(int fiscalYear);

// Whether the day is the day of a rule holiday in force in that calendar year,
// as the month view counts it; substitute and citizens' holidays are not.
bool IsRuleHoliday(int year, int month, int day);

} // namespace HolidayCalendar
