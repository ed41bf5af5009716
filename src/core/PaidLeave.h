#pragma once

// Paid leave under the Labour Standards Act, article 39, as a rule of thumb
// the user can adjust: when days are granted, how many, how the days taken
// use them up, when what is left expires, and whether five days were taken
// in the year after each grant of ten days or more. Plain functions over the
// leave entries and the settings; the window only shows what they give.
//
// Amounts are counted in half days (a 全 takes two, an AM or a PM one), so
// that every sum is exact.
//
// The rules, in the order they apply:
// - Grants. Grant k (0, 1, 2 ...) is due by length of service: 6 months after
//   the hiring date, then every 12 months, each counted from the hiring date
//   itself (a hire on 31 August is due on 29 February in a leap year and on
//   28 February otherwise). Days: 10, 11, 12, 14, 16, 18, then 20 every year.
//   A worker with four scheduled days a week or fewer (and fewer than 30
//   hours) gets fewer days at the same lengths of service, in proportion:
//     4 days a week   7,  8,  9, 10, 12, 13, then 15
//     3 days a week   5,  6,  6,  8,  9, 10, then 11
//     2 days a week   3,  4,  4,  5,  6,  6, then 7
//     1 day a week    1,  2,  2,  2,  3,  3, then 3
//   The days a week count as they are now for the whole career.
//   With a fixed grant day (one day of the year for everybody), the first
//   grant still comes on its due date, and every later one on the last fixed
//   day on or before its due date: never later than the length of service
//   asks, and a hire on 1 April with 1 April as the fixed day gets 10 days on
//   1 October, then 11 on the next 1 April. A fixed day of 29 February falls
//   on 28 February in a year that has no 29 February. The user may set the
//   days of any grant by its date.
// - Expiry. A grant can be used for two years: up to the day before its
//   second anniversary, or, for a grant of 29 February, up to 28 February
//   (a period whose last month has no such day ends on that month's last
//   day, Civil Code article 143); what is left of it expires the day after.
// - Use. 全 takes a day, AM and PM half a day each, on the date they stand,
//   from the oldest grant still valid first. On one date, grants expire
//   first, then the day's grant arrives, then the day's leave is taken.
//   Leave that no valid grant covers is counted as taken beyond the grants;
//   it takes nothing from a later grant.
// - The five-day rule. For each grant of 10 days or more, the days taken in
//   the year from its grant date (up to the day before its first
//   anniversary, or 28 February for a grant of 29 February) must reach 5,
//   whichever grant they come from. A part-time worker's smaller grants
//   come under it only once they reach 10 days.
// - A starting balance. A user who starts recording in mid-career enters the
//   date from which the records count and, for each grant still valid then,
//   its grant date and what was left of it. Leave before that date is not
//   counted, and no grant due on or before it is added: the balance entered
//   stands for them. The five-day rule is not judged for the entered grants,
//   whose first days lie before the records.
//
// Everything is counted as of one day (today): leave recorded for later days
// is not yet taken, and grants after that day are not yet made.

#include <cstdint>
#include <optional>
#include <vector>

#include <QDate>
#include <QString>

class LeaveRecord;

namespace PaidLeave {

enum class GrantRule : int {
    HiringDate = 0, // each grant on its due date by length of service
    FixedDate = 1, // one day of the year for everybody
};

struct DatedDays {
    QDate Date;
    int HalfDays = 0;
    friend bool operator==(const DatedDays&, const DatedDays&) = default;
};

// The most the settings hold in each list of dated days, and in one item of
// it. The law grants at most 20 days a year, and what is left of a grant is
// less than it: 40 days leave room for any employer's own scheme. A working
// life of fifty years has fifty grants: 100 items leave room for
// corrections. Within these bounds no sum of half days comes near the limit
// of an int, whatever a hand-edited file held.
constexpr int MaxItemHalfDays = 80;
constexpr size_t MaxListItems = 100;

constexpr int FullTimeWeeklyDays = 5;

struct Rules {
    std::optional<QDate> Hired; // nothing until the user enters it
    GrantRule Rule = GrantRule::HiringDate;
    int FixedMonth = 4;
    int FixedDay = 1;
    // Scheduled working days a week: 5 stands for five or more, 1 to 4 for
    // a part-time worker's proportional grants.
    int WeeklyDays = FullTimeWeeklyDays;
    // Whether the program tells the user at start of days about to expire
    // and of an unmet five-day rule.
    bool Notice = true;
    // The two lists hold at most MaxListItems items of at most
    // MaxItemHalfDays each.
    std::vector<DatedDays> Overrides; // grant date → days granted on it
    std::optional<QDate> StartDate; // the records count from this day on
    std::vector<DatedDays> Carried; // grant date → what was left of it on StartDate
    friend bool operator==(const Rules&, const Rules&) = default;
};

// The days of grant k (0 = the first, at 6 months) by the schedule of a
// worker with `weeklyDays` scheduled days a week (5 or more: full time), in
// half days.
int ScheduledHalfDays(int grantIndex, int weeklyDays = FullTimeWeeklyDays);

// The last day of the year of `fixedMonth`/`fixedDay` on or before `date`; a
// fixed 29 February falls on 28 February in a common year. Invalid for a
// month/day that no year has, and for a date outside the years 1 to 9999.
QDate FixedDayOnOrBefore(const QDate& date, int fixedMonth, int fixedDay);

// The date grant k falls on under the rules.
QDate GrantDate(const Rules& rules, int grantIndex);

// Paid leave of one date: 2 for 全, 1 for AM or PM.
struct Use {
    int32_t Day = 0; // Julian day number: at most 5 373 484 (31 December 9999)
    int HalfDays = 0;
};

// Collects the paid leave of a data file's records as the calendars see
// them: cleared records and records with an impossible date are skipped, and
// of two records of one date the later in the file counts (also when it is
// not paid leave).
//
// Files are often in date order, and then the records of one date stand
// together: each paid record becomes its use at once, and a record replaces
// the one before it when both have the date. From the first record out of
// order on, every record of a possible date, paid or not, is written over
// its day in a table of the days the file spans, and Finish reads the paid
// days from it.
class UseCollector {
public:
    void Add(const LeaveRecord& record);
    void Add(const LeaveRecord* records, size_t count);
    // The paid leave in date order, one element per date.
    std::vector<Use> Finish();

private:
    // The Julian day of a year/month/day key, or -1 for a date that does not
    // exist. The year last asked for is kept: records in date order mostly
    // share it.
    struct DayOfKey {
        int32_t operator()(uint32_t key)
        {
            if (key >> 16 != Year)
                SetYear(key >> 16);
            // Month and day bytes counted from 0: negative ones wrap high.
            const unsigned month = uint8_t((key >> 8) - 1);
            const unsigned day = uint8_t(key - 1);
            return month < 12 && day < MonthDays[month] ? MonthStart[month] + day : -1;
        }
        void SetYear(uint32_t year);
        uint32_t Year = ~0u; // the cached year's part of the key
        int32_t MonthStart[12] = {}; // Julian day of each month's first day
        uint8_t MonthDays[12] = {}; // each month's length; 0 for a year outside 1 to 9999
    };

    // At the first record out of order: the uses so far go into the table.
    void MoveUsesToTable();
    // Writes each record of a possible date over its day in the table.
    void AddToTable(const LeaveRecord* record, const LeaveRecord* end);
    // Writes the half days of a record over its day (0 for leave that is
    // not paid), first making room in the table for a day outside it.
    void Keep(int32_t day, int halfDays);

    std::vector<Use> uses_; // in date order: the paid leave so far
    // Out of order: the half days of the last record of each day, from
    // firstDay_ on.
    std::vector<int8_t> halvesByDay_;
    int32_t firstDay_ = 0;
    int32_t lowDay_ = INT32_MAX; // the first and the last day written
    int32_t highDay_ = INT32_MIN;
    DayOfKey dayOfKey_;
    uint32_t lastKey_ = 0; // the last record's year, month and day as one number
    bool sorted_ = true;
};

std::vector<Use> UsesOf(const std::vector<LeaveRecord>& records);

struct FiveDayRule {
    QDate GrantDate;
    QDate Deadline; // the last day of the year after the grant
    int Taken = 0; // half days taken in that year, up to the day counted
    bool Met() const { return Taken >= 10; }
    // The year is over on the day counted.
    bool Over = false;
    // Fewer than five days taken and less than three months left.
    bool Warning = false;
};

struct GrantRow {
    QDate Date;
    bool FromStartingBalance = false;
    bool Overridden = false;
    int Granted = 0; // half days; 0 for a row of the starting balance
    int CarriedIn = 0; // half days entered with the starting balance
    int Used = 0;
    int Expired = 0;
    int Left = 0;
    QDate ValidUntil; // the last day it can be used
    // The five-day rule of its year, for a grant of 10 days or more that the
    // records cover from its first day.
    std::optional<FiveDayRule> FiveDay;
};

struct Balance {
    std::vector<GrantRow> Grants; // in date order
    int Left = 0; // half days valid on the day counted
    int BeyondGrants = 0; // half days taken that no grant covered
    // What expires within three months of the day counted: the last day it
    // can be used, and how much.
    std::vector<DatedDays> ExpiringSoon;
    // The five-day rule of the grant year the day counted lies in, when that
    // year's grant is of 10 days or more.
    std::optional<FiveDayRule> FiveDay;
    std::optional<DatedDays> NextGrant;
};

// The balance as of `today`. Requires rules.Hired; without it, nothing.
std::optional<Balance> Compute(const Rules& rules, const std::vector<Use>& uses, const QDate& today);

// Reads the data file once and computes the balance as of `today`.
std::optional<Balance> ComputeFromDataFile(const Rules& rules, const QDate& today);

// "12.5" style days: one decimal.
QString DaysText(int halfDays);

// "2021/04/01".
QString DateText(const QDate& date);
// The inverse: "yyyy/m/d" with one or two digits of month and day; nothing for
// any other text or a date that does not exist.
std::optional<QDate> ParseDate(const QString& text);
// A number of days with at most a half ("12", "11.5", "0.5") in half days;
// nothing for anything else or more than 9999 days.
std::optional<int> ParseHalfDays(const QString& text);

} // namespace PaidLeave
