#include "core/PaidLeave.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <limits>

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

// The date of grant k, given the date of grant k − 1 (invalid for k = 0).
QDate NextGrantDate(const Rules& rules, int grantIndex, const QDate& previous)
{
    const QDate due = DueDate(*rules.Hired, grantIndex);
    if (rules.Rule != GrantRule::FixedDate || grantIndex == 0)
        return due;
    const QDate fixed = FixedDayOnOrBefore(due, rules.FixedMonth, rules.FixedDay);
    // Whole years lie between due dates, so the fixed day always comes after
    // the grant before; the check keeps it so whatever month ends do.
    if (!fixed.isValid() || fixed <= previous)
        return due;
    return fixed;
}

} // namespace

int ScheduledHalfDays(int grantIndex)
{
    static constexpr int Days[] = { 10, 11, 12, 14, 16, 18, 20 };
    const int last = int(std::size(Days)) - 1;
    return 2 * Days[std::clamp(grantIndex, 0, last)];
}

QDate DueDate(const QDate& hired, int grantIndex) { return hired.addMonths(6 + 12 * grantIndex); }

QDate FixedDayOnOrBefore(const QDate& date, int fixedMonth, int fixedDay)
{
    // 2000 is a leap year: 29 February is a fixed day some years have.
    if (!date.isValid() || fixedMonth < 1 || fixedMonth > 12 || fixedDay < 1
        || fixedDay > Dates::DaysInMonth(2000, fixedMonth))
        return {};
    const auto inYear
        = [&](int year) { return QDate(year, fixedMonth, std::min(fixedDay, Dates::DaysInMonth(year, fixedMonth))); };
    const QDate sameYear = inYear(date.year());
    if (sameYear <= date)
        return sameYear;
    return date.year() > 1 ? inYear(date.year() - 1) : QDate();
}

QDate GrantDate(const Rules& rules, int grantIndex)
{
    if (!rules.Hired || !rules.Hired->isValid() || grantIndex < 0 || grantIndex >= MaxGrants)
        return {};
    QDate date;
    for (int k = 0; k <= grantIndex; ++k)
        date = NextGrantDate(rules, k, date);
    return date;
}

QDate ExpiryDate(const QDate& grantDate) { return grantDate.addYears(2); }

namespace {

// Paid leave of each kind byte in half days: 全 2, AM and PM 1.
constexpr std::array<int8_t, 256> HalfDaysOfKind = [] {
    std::array<int8_t, 256> table {};
    table[size_t(LeaveKind::FullDay)] = 2;
    table[size_t(LeaveKind::Morning)] = 1;
    table[size_t(LeaveKind::Afternoon)] = 1;
    return table;
}();

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

} // namespace

void UseCollector::Add(const LeaveRecord& record) { Add(&record, 1); }

void UseCollector::DayOfKey::SetYear(uint32_t year)
{
    Year = year;
    const int y = int16_t(uint16_t(year));
    const bool inCalendar = y >= 1 && y <= 9999;
    qint64 start = inCalendar ? JulianDay(y, 1, 1) : 0;
    for (int m = 1; m <= 12; ++m) {
        MonthStart[m - 1] = start;
        MonthDays[m - 1] = inCalendar ? uint8_t(Dates::DaysInMonth(y, m)) : 0;
        start += MonthDays[m - 1];
    }
}

namespace {
// The year's two bytes as an unsigned number, then the month and day bytes:
// every date has its own number, and the possible dates (years 1 to 9999)
// are in date order. A negative year, which no possible date has, comes
// after them.
uint32_t DateKey(const uint8_t* bytes)
{
    uint32_t word; // bytes 18 to 21: year (low byte first), month, day
    std::memcpy(&word, bytes + 18, sizeof word);
    word = qFromLittleEndian(word);
    return word << 16 | (word >> 8 & 0xFF00) | word >> 24;
}
} // namespace

void UseCollector::Add(const LeaveRecord* records, size_t count)
{
    // The state lives in locals while the loops run, where the stores of the
    // uses cannot touch it.
    std::vector<Use>& uses = uses_;
    DayOfKey dayOfKey = dayOfKey_;
    uint32_t lastKey = lastKey_;
    const LeaveRecord* record = records;
    const LeaveRecord* const end = records + count;
    if (sorted_) {
        for (; record != end; ++record) {
            const uint8_t* bytes = record->Data();
            if (bytes[16] != 0) // cleared
                continue;
            const uint32_t key = DateKey(bytes);
            if (key < lastKey) {
                sorted_ = false;
                break;
            }
            // A later record of the date replaces the one before.
            if (key == lastKey && !uses.empty() && uses.back().Day == dayOfKey(key))
                uses.pop_back();
            lastKey = key;
            if (const int halfDays = HalfDaysOfKind[bytes[22]]; halfDays > 0) {
                if (const qint64 day = dayOfKey(key); day >= 0)
                    uses.push_back({ day, halfDays });
            }
        }
    }
    // Out of order: every kind is kept, so that a later record of the date
    // that is not paid leave replaces an earlier one that is.
    for (; record != end; ++record) {
        const uint8_t* bytes = record->Data();
        if (bytes[16] != 0)
            continue;
        if (const qint64 day = dayOfKey(DateKey(bytes)); day >= 0)
            uses.push_back({ day, HalfDaysOfKind[bytes[22]] });
    }
    dayOfKey_ = dayOfKey;
    lastKey_ = lastKey;
}

std::vector<Use> UseCollector::Finish()
{
    std::vector<Use> uses = std::move(uses_);
    if (!sorted_) {
        // Stable, so that of one date the record later in the file stays
        // last; that one counts, and only when it is paid leave.
        std::stable_sort(uses.begin(), uses.end(), [](const Use& a, const Use& b) { return a.Day < b.Day; });
        size_t n = 0;
        for (size_t i = 0; i < uses.size(); ++i) {
            if (uses[i].HalfDays > 0 && (i + 1 == uses.size() || uses[i + 1].Day != uses[i].Day))
                uses[n++] = uses[i];
        }
        uses.resize(n);
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

std::optional<Balance> Compute(const Rules& rules, const std::vector<Use>& allUses, const QDate& today)
{
    if (!rules.Hired || !InCalendar(*rules.Hired) || !today.isValid())
        return std::nullopt;
    Balance balance;
    // Invalid when the records count from the beginning.
    const QDate start
        = rules.StartDate && InCalendar(*rules.StartDate) && *rules.StartDate <= today ? *rules.StartDate : QDate();

    // The grants: what the starting balance brings, then the schedule.
    std::vector<GrantRow>& grants = balance.Grants;
    if (start.isValid()) {
        for (const DatedDays& carried : rules.Carried) {
            if (!InCalendar(carried.Date) || carried.Date > start || carried.HalfDays <= 0)
                continue;
            GrantRow row;
            row.Date = carried.Date;
            row.FromStartingBalance = true;
            row.CarriedIn = carried.HalfDays;
            grants.push_back(row);
        }
        std::stable_sort(
            grants.begin(), grants.end(), [](const GrantRow& a, const GrantRow& b) { return a.Date < b.Date; });
    }
    QDate previous;
    for (int k = 0; k < MaxGrants; ++k) {
        const QDate date = NextGrantDate(rules, k, previous);
        previous = date;
        if (!InCalendar(date))
            break;
        bool overridden = false;
        const int days = OverrideFor(rules, date, ScheduledHalfDays(k), overridden);
        if (date > today) {
            balance.NextGrant = DatedDays { date, days };
            break;
        }
        if (start.isValid() && date <= start)
            continue;
        GrantRow row;
        row.Date = date;
        row.Granted = days;
        row.Overridden = overridden;
        grants.push_back(row);
    }

    std::vector<qint64> granted(grants.size()), expiry(grants.size());
    for (size_t i = 0; i < grants.size(); ++i) {
        granted[i] = grants[i].Date.toJulianDay();
        GrantRow& row = grants[i];
        row.Left = row.Granted + row.CarriedIn;
        const QDate expires = ExpiryDate(row.Date);
        row.ValidUntil = expires.addDays(-1);
        expiry[i] = expires.toJulianDay();
    }

    // The leave counted: from the start date to today.
    const qint64 first = start.isValid() ? start.toJulianDay() : std::numeric_limits<qint64>::min();
    const qint64 last = today.toJulianDay();
    const auto begin = std::lower_bound(
        allUses.begin(), allUses.end(), first, [](const Use& use, qint64 day) { return use.Day < day; });
    const auto end
        = std::upper_bound(begin, allUses.end(), last, [](qint64 day, const Use& use) { return day < use.Day; });

    // Grants [oldest, arrived) are valid and `available` is what is left of
    // them; every grant before `oldest` is used up or expired. Expiry follows
    // grant order, so both ends only move forward, and nothing changes
    // before the next grant arrives or the oldest valid one expires.
    constexpr qint64 Never = std::numeric_limits<qint64>::max();
    size_t oldest = 0, arrived = 0;
    int available = 0;
    qint64 nextChange = Never;
    const auto advanceTo = [&](qint64 day) {
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
    };
    advanceTo(first);
    for (auto use = begin; use != end; ++use) {
        if (use->Day >= nextChange)
            advanceTo(use->Day);
        int need = use->HalfDays;
        for (size_t i = oldest; available > 0 && need > 0; ++i) {
            const int taken = std::min(grants[i].Left, need);
            grants[i].Left -= taken;
            grants[i].Used += taken;
            available -= taken;
            need -= taken;
        }
        balance.BeyondGrants += need;
    }
    advanceTo(last);
    for (const GrantRow& row : grants)
        balance.Left += row.Left;

    const QDate soon = today.addMonths(3);
    for (const GrantRow& row : grants) {
        if (row.Left > 0 && row.ValidUntil <= soon)
            balance.ExpiringSoon.push_back({ row.ValidUntil, row.Left });
    }

    // The five-day rule of the latest grant year that today lies in.
    for (auto row = grants.rbegin(); row != grants.rend(); ++row) {
        if (row->FromStartingBalance)
            break;
        const QDate yearEnd = row->Date.addYears(1);
        if (today >= yearEnd)
            break;
        if (row->Granted < 20)
            break;
        FiveDayRule rule;
        rule.GrantDate = row->Date;
        rule.Deadline = yearEnd.addDays(-1);
        const qint64 from = std::max(first, row->Date.toJulianDay());
        for (auto use = std::lower_bound(begin, end, from, [](const Use&u, qint64 day) { return u.Day < day; });
             use != end; ++use)
            rule.Taken += use->HalfDays;
        rule.Warning = !rule.Met() && rule.Deadline < soon;
        balance.FiveDay = rule;
        break;
    }
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
