#pragma once

// The code and colour of every day of one fiscal year, as the fiscal-year
// calendar shows them and the totals count them. Four sources decide a day,
// each overriding the one before: impossible dates ("／"), the weekly days
// off of the settings, national holidays (when the settings count them as
// days off) and the leave entries of the data file.

#include <array>

#include <QString>

#include "core/DayCode.h"

struct DayCell {
    QString Text; // empty when nothing applies
    DayColour Colour = DayBlack;
};

// Indexed by calendar month and day, not by position in the fiscal year:
// months 4 to 12 are April to December of the fiscal year, months 1 to 3
// January to March of the year after. Day 29 to 31 of a short month are cells
// too; the builder marks them "／".
class FiscalYearDayTable {
public:
    static constexpr int Months = 12;
    static constexpr int Days = 31;

    // month 1..12, day 1..31
    DayCell& Cell(int month, int day) { return cells_[size_t(month - 1)][size_t(day - 1)]; }
    const DayCell& Cell(int month, int day) const { return cells_[size_t(month - 1)][size_t(day - 1)]; }
    static bool IsCell(int month, int day) { return month >= 1 && month <= Months && day >= 1 && day <= Days; }

    void Set(int month, int day, DayCode code);
    void Clear();

private:
    std::array<std::array<DayCell, Days>, Months> cells_ {};
};

// Fills every cell for the fiscal year. Reads the [Holiday] section of the
// settings once and the data file once from start to end. A fiscal year
// outside 1 to 9998 raises EDateError, leaving the table cleared; an
// unreadable data file raises EInOutError, leaving the weekly days off and
// holidays marked.
void BuildFiscalYearDayTable(int fiscalYear, FiscalYearDayTable& table);
