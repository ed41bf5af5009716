#pragma once

// What the data file says each day of a period holds. Of the records of one
// date, the last one that is not cleared decides the day; cleared records
// count for nothing. The calendars, the totals and the exports all take the
// deciding record from here, so they agree on every file, also on one that
// another tool or a damage left with several records of a date.
//
// A deciding record of kind 1 to 10 makes the day a leave day. One of kind 0
// that is not cleared, or of a kind outside 0 to 10, decides the day too but
// holds no leave: the calendars show such a day empty and the exports leave
// it out.

#include <array>
#include <vector>

#include <QtGlobal>

class LeaveDays {
public:
    // Reads the data file once from start to end; nothing when it does not
    // exist. A fiscal year is April of it to March of the next year.
    static LeaveDays OfFiscalYear(int fiscalYear);
    static LeaveDays OfMonth(int year, int month);

    // Whether a record decides the day (month 1..12, day 1..31 of the
    // period; a day the month does not have is a day too when a record
    // names it).
    bool Decided(int month, int day) const { return positions_[Cell(month, day)] >= 0; }
    // The kind of the deciding record, as stored; only when Decided.
    int Kind(int month, int day) const { return kinds_[Cell(month, day)]; }

    // The positions of the deciding records, or of those that hold leave,
    // in the period's date order.
    std::vector<qint64> Positions() const;
    std::vector<qint64> LeavePositions() const;

private:
    static constexpr int Months = 12;
    static constexpr int Days = 31;
    static constexpr size_t Cells = Months * Days;

    LeaveDays(int year, int firstMonth, int months);
    static size_t Cell(int month, int day) { return size_t((month - 1) * Days + day - 1); }
    std::vector<qint64> PositionsWhere(bool leaveOnly) const;

    int firstMonth_;
    int months_;
    // One more slot than cells: records outside the period all land there.
    std::array<int, Cells + 1> kinds_;
    // The 0-based position of each day's deciding record in the file; -1
    // when none.
    std::array<qint64, Cells + 1> positions_;
};
