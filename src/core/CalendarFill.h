#pragma once

// What stands in the three calendars' grids. Each fill reads the data file
// afresh and writes the window's caption button, whose text is the only
// record of what the window shows:
//
//   fiscal-year grid  32 × 13: column d is day d; rows 1..9 are April to
//                     December of the fiscal year, rows 10..12 January to
//                     March of the next calendar year. Caption "2024年度".
//   month grid        4 × 32: row d is day d; columns day, weekday, leave
//                     code or holiday name, memo. Caption "2024年11月".
//   holiday list      5 columns, one row per leave day of the fiscal year in
//                     date order: number, date, weekday, code, memo.
//
// Row 0 and column 0 are headers, written by the windows.

#include "core/Julius.h"

class QAbstractButton;
class TStrColGrid;

// Raises EDateError for a fiscal year outside 1 to 9998 before it writes anything.
void FillYearCalendar(TStrColGrid& grid, QAbstractButton& caption, int fiscalYear);

// Raises EDateError for a year outside 1 to 9999 or a month outside 1 to 12
// once it has written the caption and cleared the body.
void FillMonthCalendar(TStrColGrid& grid, QAbstractButton& caption, int year, int month);

void FillHolidayCalendar(TStrColGrid& grid, QAbstractButton& caption, int fiscalYear);

// The grid row of a month in the fiscal-year grid: April is row 1, March row 12.
int YearCalendarRow(int month);
// The year and month of a row of that grid for a fiscal year: rows 1 to 9
// are April to December of the fiscal year, rows 10 to 12 January to March
// of the next. Any other row gives month 0.
Julius::YearMonth YearCalendarMonth(int fiscalYear, int row);
// Whether a date lies in the fiscal year (April of it to March of the next year).
bool InFiscalYear(int fiscalYear, int year, int month);
