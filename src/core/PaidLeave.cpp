#include "core/PaidLeave.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>
#include <span>

#include <QRegularExpression>
#include <QtEndian>

#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "platform/Dates.h"
#include "platform/Text.h"

namespace PaidLeave {

namespace {

// A grant index beyond any working life; it bounds every loop over grants.
constexpr int MaxGrants = 10000;

bool InCalendar(const QDate& date)
{
    static const QDate first(1, 1, 1), last(9999, 12, 31);
    return date.isValid() && date >= first && date <= last;
}

int OverrideFor(const Rules& rules, const QDate& date, int scheduled, bool& overridden)
{
    // The last entry of a date counts, as the user's latest word.
    for (auto it = rules.Overrides.rbegin(); it != rules.Overrides.rend(); ++it) {
        if (it->Date == date) {
            overridden = true;
            return std::max(it->HalfDays, 0);
        }
    }
    overridden = false;
    return scheduled;
}

// The Julian day number of a valid Gregorian date (days from civil).
qint64 JulianDay(int year, int month, int day)
{
    year -= month <= 2 ? 1 : 0;
    const int era = (year >= 0 ? year : year - 399) / 400;
    const int yearOfEra = year - era * 400;
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return qint64(era) * 146097 + dayOfEra - 719468 + 2440588;
}

// A day of the years 1 and on as its year, month and day: the grant dates
// are counted in whole months, and these are cheaper to step than QDate.
struct CivilDate {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    friend auto operator<=>(const CivilDate&, const CivilDate&) = default;
};

CivilDate CivilOf(const QDate& date)
{
    CivilDate civil;
    date.getDate(&civil.Year, &civil.Month, &civil.Day);
    return civil;
}

QDate DateOf(const CivilDate& date) { return QDate::fromJulianDay(JulianDay(date.Year, date.Month, date.Day)); }

// `months` (0 or more) later; a day past the end of the month it lands in
// falls on that month's last day.
CivilDate AddMonths(const CivilDate& date, int months)
{
    const int index = date.Month - 1 + months;
    const int year = date.Year + index / 12, month = index % 12 + 1;
    return { year, month, std::min(date.Day, Dates::DaysInMonth(year, month)) };
}

bool InCalendar(const CivilDate& date) { return date.Year >= 1 && date.Year <= 9999; }

CivilDate DueDate(const CivilDate& hired, int grantIndex) { return AddMonths(hired, 6 + 12 * grantIndex); }

// The last day of a period of `months` from `first` on, counted as the
// Civil Code counts it (article 143): the day before the same day `months`
// later, or the last day of that month when it has no such day. A period
// from 29 February ends on 28 February, not on the 27th.
QDate LastDayOfPeriod(const CivilDate& first, int months)
{
    const CivilDate same = AddMonths(first, months);
    const qint64 day = JulianDay(same.Year, same.Month, same.Day);
    return QDate::fromJulianDay(same.Day < first.Day ? day : day - 1);
}

// The last day a grant of `grantDate` can be used: two years from its date.
QDate LastValidDay(const CivilDate& grantDate) { return LastDayOfPeriod(grantDate, 24); }

std::optional<CivilDate> FixedDayOnOrBefore(const CivilDate& date, int fixedMonth, int fixedDay)
{
    // 2000 is a leap year: 29 February is a fixed day some years have.
    if (fixedMonth < 1 || fixedMonth > 12 || fixedDay < 1 || fixedDay > Dates::DaysInMonth(2000, fixedMonth))
        return std::nullopt;
    const auto inYear = [&](int year) {
        return CivilDate { year, fixedMonth, std::min(fixedDay, Dates::DaysInMonth(year, fixedMonth)) };
    };
    const CivilDate sameYear = inYear(date.Year);
    if (sameYear <= date)
        return sameYear;
    if (date.Year > 1)
        return inYear(date.Year - 1);
    return std::nullopt;
}

// The date of grant k, given the date of grant k − 1 (not read for k = 0).
CivilDate NextGrantDate(const Rules& rules, const CivilDate& hired, int grantIndex, const CivilDate& previous)
{
    const CivilDate due = DueDate(hired, grantIndex);
    if (rules.Rule != GrantRule::FixedDate || grantIndex == 0)
        return due;
    const std::optional<CivilDate> fixed = FixedDayOnOrBefore(due, rules.FixedMonth, rules.FixedDay);
    // Whole years lie between due dates, so the fixed day always comes after
    // the grant before; the check keeps it so whatever month ends do.
    if (!fixed || *fixed <= previous)
        return due;
    return *fixed;
}

} // namespace

int ScheduledHalfDays(int grantIndex, int weeklyDays)
{
    // By scheduled days a week (row 0: one day, row 4: five or more) and
    // length of service (6 months, then every year up to 6½ years and on).
    static constexpr int Days[5][7] = {
        { 1, 2, 2, 2, 3, 3, 3 },
        { 3, 4, 4, 5, 6, 6, 7 },
        { 5, 6, 6, 8, 9, 10, 11 },
        { 7, 8, 9, 10, 12, 13, 15 },
        { 10, 11, 12, 14, 16, 18, 20 },
    };
    const int row = std::clamp(weeklyDays, 1, FullTimeWeeklyDays) - 1;
    const int last = int(std::size(Days[row])) - 1;
    return 2 * Days[row][std::clamp(grantIndex, 0, last)];
}

QDate FixedDayOnOrBefore(const QDate& date, int fixedMonth, int fixedDay)
{
    if (!InCalendar(date))
        return {};
    const std::optional<CivilDate> fixed = FixedDayOnOrBefore(CivilOf(date), fixedMonth, fixedDay);
    return fixed ? DateOf(*fixed) : QDate();
}

QDate GrantDate(const Rules& rules, int grantIndex)
{
    if (!rules.Hired || !InCalendar(*rules.Hired) || grantIndex < 0 || grantIndex >= MaxGrants)
        return {};
    const CivilDate hired = CivilOf(*rules.Hired);
    CivilDate date;
    for (int k = 0; k <= grantIndex; ++k)
        date = NextGrantDate(rules, hired, k, date);
    return DateOf(date);
}

namespace {

// Paid leave of each kind byte in half days: 全 2, AM and PM 1.
constexpr std::array<int8_t, 256> HalfDaysOfKind = [] {
    std::array<int8_t, 256> table {};
    table[size_t(LeaveKind::FullDay)] = 2;
    table[size_t(LeaveKind::Morning)] = 1;
    table[size_t(LeaveKind::Afternoon)] = 1;
    return table;
}();

} // namespace

void UseCollector::Add(const LeaveRecord& record) { Add(&record, 1); }

void UseCollector::DayOfKey::SetYear(uint32_t year)
{
    Year = year;
    const int y = int16_t(uint16_t(year));
    const bool inCalendar = y >= 1 && y <= 9999;
    static constexpr uint8_t CommonYear[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
    const bool leap = inCalendar && Dates::IsLeapYear(y);
    int32_t start = inCalendar ? int32_t(JulianDay(y, 1, 1)) : 0;
    for (int m = 0; m < 12; ++m) {
        MonthStart[m] = start;
        MonthDays[m] = inCalendar ? uint8_t(CommonYear[m] + (m == 1 && leap ? 1 : 0)) : 0;
        start += MonthDays[m];
    }
}

namespace {
// The year's two bytes as an unsigned number, then the month and day bytes:
// every date has its own number, and the possible dates (years 1 to 9999)
// are in date order. A negative year, which no possible date has, comes
// after them.
uint32_t DateKey(const uint8_t* bytes)
{
    uint16_t year, monthDay; // bytes 18 and 19, then 20 (month) and 21 (day)
    std::memcpy(&year, bytes + 18, sizeof year);
    std::memcpy(&monthDay, bytes + 20, sizeof monthDay);
    monthDay = qFromLittleEndian(monthDay);
    return uint32_t(qFromLittleEndian(year)) << 16 | uint16_t(monthDay << 8 | monthDay >> 8);
}
} // namespace

void UseCollector::Add(const LeaveRecord* records, size_t count)
{
    // The state lives in locals while the loop runs, where the stores of the
    // uses cannot touch it.
    std::vector<Use>& uses = uses_;
    if (uses.capacity() == 0)
        uses.reserve(count); // a record makes at most one use
    DayOfKey dayOfKey = dayOfKey_;
    uint32_t lastKey = lastKey_;
    const LeaveRecord* record = records;
    const LeaveRecord* const end = records + count;
    if (sorted_) {
        // A cleared record stands at its date's place as well, so it takes
        // part in the order; it only never counts or replaces.
        for (; record != end; ++record) {
            const uint8_t* bytes = record->Data();
            const uint32_t key = DateKey(bytes);
            const bool cleared = bytes[16] != 0;
            if (key <= lastKey) [[unlikely]] {
                if (key < lastKey) {
                    sorted_ = false;
                    break;
                }
                // A later record of the date replaces the one before.
                if (!cleared && !uses.empty() && uses.back().Day == dayOfKey(key))
                    uses.pop_back();
            }
            lastKey = key;
            if (const int halfDays = HalfDaysOfKind[bytes[22]]; halfDays > 0 && !cleared) {
                if (const int32_t day = dayOfKey(key); day >= 0)
                    uses.push_back({ day, halfDays });
            }
        }
    }
    dayOfKey_ = dayOfKey;
    lastKey_ = lastKey;
    if (record == end)
        return;
    // Out of order: the last record of each day is what counts, so each
    // record of a possible date is written over its day.
    if (halvesByDay_.empty())
        MoveUsesToTable();
    AddToTable(record, end);
}

void UseCollector::MoveUsesToTable()
{
    for (const Use& use : uses_) {
        Keep(use.Day, use.HalfDays);
        lowDay_ = std::min(lowDay_, use.Day);
        highDay_ = std::max(highDay_, use.Day);
    }
    uses_.clear();
}

void UseCollector::AddToTable(const LeaveRecord* record, const LeaveRecord* end)
{
    // The table's place and size live in locals, where the stores of the
    // half days cannot touch them.
    int8_t* halves = halvesByDay_.data();
    size_t size = halvesByDay_.size();
    int32_t firstDay = firstDay_, lowDay = lowDay_, highDay = highDay_;
    DayOfKey dayOfKey = dayOfKey_;
    for (; record != end; ++record) {
        const uint8_t* bytes = record->Data();
        if (bytes[16] != 0)
            continue;
        if (const int32_t day = dayOfKey(DateKey(bytes)); day >= 0) {
            const int halfDays = HalfDaysOfKind[bytes[22]];
            lowDay = std::min(lowDay, day);
            highDay = std::max(highDay, day);
            if (const size_t index = size_t(uint32_t(day - firstDay)); index < size) {
                halves[index] = int8_t(halfDays);
            } else {
                Keep(day, halfDays);
                halves = halvesByDay_.data();
                size = halvesByDay_.size();
                firstDay = firstDay_;
            }
        }
    }
    lowDay_ = lowDay;
    highDay_ = highDay;
    dayOfKey_ = dayOfKey;
}

void UseCollector::Keep(int32_t day, int halfDays)
{
    // The days of the calendar: 1 January 1 to 31 December 9999.
    constexpr int32_t First = 1721426, Last = 5373484;
    std::vector<int8_t>& halves = halvesByDay_;
    if (halves.empty()) {
        firstDay_ = day;
        halves.resize(1);
    } else if (day < firstDay_) {
        // Room before it as well, so that days further back cost no more
        // than days further on.
        const int32_t from = std::max(First, std::min(day, firstDay_ - int32_t(halves.size())));
        halves.insert(halves.begin(), size_t(firstDay_ - from), 0);
        firstDay_ = from;
    } else if (size_t(day - firstDay_) >= halves.size()) {
        const size_t needed = size_t(day - firstDay_) + 1;
        halves.resize(std::max(needed, std::min(2 * halves.size(), size_t(Last - firstDay_) + 1)));
    }
    halves[size_t(day - firstDay_)] = int8_t(halfDays);
}

std::vector<Use> UseCollector::Finish()
{
    std::vector<Use> uses = std::move(uses_);
    if (!sorted_ && lowDay_ <= highDay_) {
        // The days from the first to the last written.
        const auto from = halvesByDay_.begin() + (lowDay_ - firstDay_);
        const auto to = halvesByDay_.begin() + (highDay_ - firstDay_) + 1;
        const size_t paid = size_t(std::count_if(from, to, [](int8_t h) { return h > 0; }));
        // Each day is written and only a paid one kept, without a branch on
        // it: one place more for the last day written.
        uses.resize(paid + 1);
        size_t n = 0;
        for (auto it = from; it != to; ++it) {
            uses[n] = { lowDay_ + int32_t(it - from), *it };
            n += *it > 0 ? 1 : 0;
        }
        uses.resize(paid);
    }
    *this = UseCollector();
    return uses;
}

std::vector<Use> UsesOf(const std::vector<LeaveRecord>& records)
{
    UseCollector collector;
    for (const LeaveRecord& record : records)
        collector.Add(record);
    return collector.Finish();
}

namespace {

// The day the records count from: the start date of a starting balance, or
// invalid when they count from the beginning.
QDate CountedFrom(const Rules& rules, const QDate& today)
{
    return rules.StartDate && InCalendar(*rules.StartDate) && *rules.StartDate <= today ? *rules.StartDate : QDate();
}

// The rows of the starting balance, in date order.
void AddCarriedGrants(const Rules& rules, const QDate& start, std::vector<GrantRow>& grants)
{
    for (const DatedDays& carried : rules.Carried) {
        if (!InCalendar(carried.Date) || carried.Date > start || carried.HalfDays <= 0)
            continue;
        GrantRow row;
        row.Date = carried.Date;
        row.FromStartingBalance = true;
        row.CarriedIn = carried.HalfDays;
        row.ValidUntil = LastValidDay(CivilOf(carried.Date));
        grants.push_back(row);
    }
    std::stable_sort(
        grants.begin(), grants.end(), [](const GrantRow& a, const GrantRow& b) { return a.Date < b.Date; });
}

// The grants of the schedule after `start` (when valid) up to `today`, in
// date order; gives the first one after today.
std::optional<DatedDays> AddScheduledGrants(
    const Rules& rules, const QDate& start, const QDate& today, std::vector<GrantRow>& grants)
{
    const CivilDate hired = CivilOf(*rules.Hired);
    CivilDate previous;
    for (int k = 0; k < MaxGrants; ++k) {
        const CivilDate civil = NextGrantDate(rules, hired, k, previous);
        previous = civil;
        if (!InCalendar(civil))
            break;
        const QDate date = DateOf(civil);
        bool overridden = false;
        const int days = OverrideFor(rules, date, ScheduledHalfDays(k, rules.WeeklyDays), overridden);
        if (date > today)
            return DatedDays { date, days };
        if (start.isValid() && date <= start)
            continue;
        GrantRow row;
        row.Date = date;
        row.Granted = days;
        row.Overridden = overridden;
        row.ValidUntil = LastValidDay(civil);
        grants.push_back(row);
    }
    return std::nullopt;
}

constexpr qint64 Never = std::numeric_limits<qint64>::max();

// The grants while leave is taken from them in date order. Grants
// [oldest, arrived) are valid and `available` is what is left of them;
// every grant before `oldest` is used up or expired. Expiry follows grant
// order, so both ends only move forward, and nothing changes before the next
// grant arrives or the oldest valid one expires (`nextChange`). Until then
// the leave taken is only summed in `pending`; Settle takes it from the
// grants, oldest first.
struct Ledger {
    explicit Ledger(std::vector<GrantRow>& rows)
        : grants(rows)
        , granted(rows.size())
        , expiry(rows.size())
    {
        for (size_t i = 0; i < grants.size(); ++i) {
            GrantRow& row = grants[i];
            row.Left = row.Granted + row.CarriedIn;
            granted[i] = row.Date.toJulianDay();
            expiry[i] = row.ValidUntil.toJulianDay() + 1;
        }
    }

    void Settle()
    {
        for (size_t i = oldest; pending > 0; ++i) {
            const int taken = std::min(grants[i].Left, pending);
            grants[i].Left -= taken;
            grants[i].Used += taken;
            pending -= taken;
        }
    }

    // Settles, then lets the grants of `day` and before arrive and those
    // whose last valid day is before `day` expire.
    void AdvanceTo(qint64 day)
    {
        Settle();
        for (; arrived < grants.size() && granted[arrived] <= day; ++arrived)
            available += grants[arrived].Left;
        for (; oldest < arrived && (expiry[oldest] <= day || grants[oldest].Left == 0); ++oldest) {
            if (expiry[oldest] <= day) {
                grants[oldest].Expired += grants[oldest].Left;
                available -= grants[oldest].Left;
                grants[oldest].Left = 0;
            }
        }
        nextChange
            = std::min(arrived < grants.size() ? granted[arrived] : Never, oldest < arrived ? expiry[oldest] : Never);
    }

    std::vector<GrantRow>& grants;
    std::vector<qint64> granted, expiry; // each grant's first valid day and the day after its last
    size_t oldest = 0, arrived = 0;
    int available = 0, pending = 0;
    qint64 nextChange = Never;
};

// The uses of the days `first` to `last`.
std::span<const Use> UsesBetween(std::span<const Use> uses, qint64 first, qint64 last)
{
    const auto begin
        = std::lower_bound(uses.begin(), uses.end(), first, [](const Use& use, qint64 day) { return use.Day < day; });
    const auto end
        = std::upper_bound(begin, uses.end(), last, [](qint64 day, const Use& use) { return day < use.Day; });
    return { begin, end };
}

// Takes the leave of `counted`, which starts on `first` or later, from the
// grants and brings them to the day `last`; gives the half days that no
// grant covered.
int TakeLeave(std::vector<GrantRow>& grants, std::span<const Use> counted, qint64 first, qint64 last)
{
    Ledger ledger(grants);
    ledger.AdvanceTo(first);
    int beyondGrants = 0;
    const auto end = counted.end();
    for (auto use = counted.begin(); use != end;) {
        if (use->Day >= ledger.nextChange)
            ledger.AdvanceTo(use->Day);
        if (ledger.available == 0) {
            // Nothing is left until the next change: all leave before it is
            // beyond the grants.
            const auto stop
                = std::lower_bound(use, end, ledger.nextChange, [](const Use& u, qint64 day) { return u.Day < day; });
            for (; use != stop; ++use)
                beyondGrants += use->HalfDays;
            continue;
        }
        const int taken = std::min(ledger.available, use->HalfDays);
        ledger.available -= taken;
        ledger.pending += taken;
        beyondGrants += use->HalfDays - taken;
        ++use;
    }
    ledger.AdvanceTo(last);
    return beyondGrants;
}

// The five-day rule of each grant of 10 days or more that the records cover
// from its first day: the leave taken in its year up to `today`.
void JudgeFiveDayRules(std::vector<GrantRow>& grants, std::span<const Use> counted, const QDate& today)
{
    const QDate soon = today.addMonths(3);
    for (GrantRow& row : grants) {
        if (row.FromStartingBalance || row.Granted < 20)
            continue;
        FiveDayRule rule;
        rule.GrantDate = row.Date;
        rule.Deadline = LastDayOfPeriod(CivilOf(row.Date), 12);
        for (const Use& use : UsesBetween(counted, row.Date.toJulianDay(), rule.Deadline.toJulianDay()))
            rule.Taken += use.HalfDays;
        rule.Over = today > rule.Deadline;
        rule.Warning = !rule.Met() && !rule.Over && rule.Deadline < soon;
        row.FiveDay = rule;
    }
}

} // namespace

std::optional<Balance> Compute(const Rules& rules, const std::vector<Use>& allUses, const QDate& today)
{
    if (!rules.Hired || !InCalendar(*rules.Hired) || !today.isValid())
        return std::nullopt;
    Balance balance;
    const QDate start = CountedFrom(rules, today);

    // The grants: what the starting balance brings, then the schedule.
    std::vector<GrantRow>& grants = balance.Grants;
    grants.reserve(rules.Carried.size() + size_t(std::clamp(today.year() - rules.Hired->year() + 1, 1, MaxGrants)));
    if (start.isValid())
        AddCarriedGrants(rules, start, grants);
    balance.NextGrant = AddScheduledGrants(rules, start, today, grants);

    // The leave counted: from the start date to today.
    const qint64 first = start.isValid() ? start.toJulianDay() : std::numeric_limits<qint64>::min();
    const std::span<const Use> counted = UsesBetween(allUses, first, today.toJulianDay());
    balance.BeyondGrants = TakeLeave(grants, counted, first, today.toJulianDay());
    for (const GrantRow& row : grants)
        balance.Left += row.Left;

    const QDate soon = today.addMonths(3);
    for (const GrantRow& row : grants) {
        if (row.Left > 0 && row.ValidUntil <= soon)
            balance.ExpiringSoon.push_back({ row.ValidUntil, row.Left });
    }
    JudgeFiveDayRules(grants, counted, today);
    // The present grant year's: the latest grant's, while today lies in it.
    if (!grants.empty() && grants.back().FiveDay && !grants.back().FiveDay->Over)
        balance.FiveDay = grants.back().FiveDay;
    return balance;
}

std::optional<Balance> ComputeFromDataFile(const Rules& rules, const QDate& today)
{
    if (!rules.Hired)
        return std::nullopt;
    UseCollector collector;
    LeaveStore::Reader reader;
    for (;;) {
        const std::span<const LeaveRecord> batch = reader.NextBatch();
        if (batch.empty())
            break;
        collector.Add(batch.data(), batch.size());
    }
    return Compute(rules, collector.Finish(), today);
}

QString DaysText(int halfDays) { return Text::FormatFloat(QStringLiteral("0.0"), halfDays / 2.0); }

QString DateText(const QDate& date)
{
    if (!date.isValid())
        return QString();
    return QStringLiteral("%1/%2/%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

std::optional<QDate> ParseDate(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,4})/(\\d{1,2})/(\\d{1,2})\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    const int year = match.captured(1).toInt(), month = match.captured(2).toInt(), day = match.captured(3).toInt();
    if (!Dates::IsValidDate(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

std::optional<int> ParseHalfDays(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^\\s*(\\d{1,4})(?:\\.([05]))?\\s*$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch())
        return std::nullopt;
    return match.captured(1).toInt() * 2 + (match.captured(2) == QStringLiteral("5") ? 1 : 0);
}

} // namespace PaidLeave
