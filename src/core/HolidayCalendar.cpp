#include "core/HolidayCalendar.h"

#include <algorithm>
#include <array>
#include <bitset>

#include <QStringView>

#include "core/Julius.h"
#include "platform/Errors.h"

namespace HolidayCalendar {

namespace {

// Day-of-year arithmetic for one year, without building dates.
class CalendarYear {
public:
    explicit CalendarYear(int year)
        : year_(year)
    {
        const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
        static constexpr int Lengths[12] = { 31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31 };
        int start = 0;
        for (int m = 0; m < 12; ++m) {
            starts_[size_t(m)] = start;
            start += Lengths[m] + (m == 1 && leap ? 1 : 0);
        }
        starts_[12] = start;
        // 1 January of year 1 was a Monday.
        const int y = year - 1;
        januaryFirst_ = (365 * y + y / 4 - y / 100 + y / 400 + 1) % 7; // 0 = Sunday
    }

    int Year() const { return year_; }
    int Ordinal(int month, int day) const { return starts_[size_t(month - 1)] + day - 1; }
    int LastOrdinal(int month) const { return starts_[size_t(month)] - 1; }
    int Weekday(int ordinal) const { return (januaryFirst_ + ordinal) % 7; } // 0 = Sunday
    bool IsSunday(int month, int day) const { return Weekday(Ordinal(month, day)) == 0; }
    int MonthOf(int ordinal) const
    {
        int month = 1;
        while (month < 12 && ordinal >= starts_[size_t(month)])
            ++month;
        return month;
    }
    int DayOf(int ordinal) const { return ordinal - starts_[size_t(MonthOf(ordinal) - 1)] + 1; }

    // The day of the nth Monday of the month.
    int NthMonday(int month, int n) const
    {
        const int w = Weekday(Ordinal(month, 1)) + 1; // 1 = Sunday
        return w < 3 ? 7 * (n - 1) + 3 - w : 7 * n + 3 - w;
    }

private:
    int year_;
    std::array<int, 13> starts_ {};
    int januaryFirst_ = 0;
};

// The month view reaches the calendar's last year and no further.
void CheckYear(int year)
{
    if (year > 9999)
        throw EDateError(QStringLiteral("Invalid argument to date encode"));
}

enum class DayRule { Fixed, VernalEquinox, AutumnalEquinox };

struct NamePeriod {
    int FromYear; // calendar year of the date from which the name holds
    QStringView Name;
};

struct Rule {
    int Month;
    int Day; // the fixed day, before a switch to the Monday rule
    DayRule Kind;
    int FirstYear;
    int MondayFrom; // calendar year from which the day is the nth Monday; 0 never
    int NthMonday;
    bool Substitute; // a Sunday holiday makes the next day a holiday
    std::array<NamePeriod, 3> Names; // by FromYear; unused periods have no name
};

// The rules in the order in which the fiscal-year view visits them. Within
// one month they are also the order of the month view.
const Rule Rules[] = {
    { 1, 1, DayRule::Fixed, 1948, 0, 0, true, { { { 0, u"元旦" } } } },
    { 2, 11, DayRule::Fixed, 1967, 0, 0, true, { { { 0, u"建国記念の日" } } } },
    { 4, 29, DayRule::Fixed, 1948, 0, 0, true,
        { { { 0, u"天皇誕生日" }, { 1989, u"緑の日" }, { 2007, u"昭和の日" } } } },
    { 5, 3, DayRule::Fixed, 1948, 0, 0, false, { { { 0, u"憲法記念日" } } } },
    { 5, 4, DayRule::Fixed, 1988, 0, 0, false, { { { 0, u"国民の休日" }, { 2007, u"みどりの日" } } } },
    { 5, 5, DayRule::Fixed, 1948, 0, 0, true, { { { 0, u"子供の日" } } } },
    { 7, 20, DayRule::Fixed, 1996, 2004, 3, true, { { { 0, u"海の日" } } } },
    { 9, 15, DayRule::Fixed, 1966, 2004, 3, true, { { { 0, u"敬老の日" } } } },
    { 11, 3, DayRule::Fixed, 1948, 0, 0, true, { { { 0, u"文化の日" } } } },
    { 11, 23, DayRule::Fixed, 1948, 0, 0, true, { { { 0, u"勤労感謝の休日" } } } },
    { 12, 23, DayRule::Fixed, 1989, 0, 0, true, { { { 0, u"天皇誕生日" } } } },
    { 3, 0, DayRule::VernalEquinox, 1948, 0, 0, true, { { { 0, u"春分の日" } } } },
    { 9, 0, DayRule::AutumnalEquinox, 1948, 0, 0, true, { { { 0, u"秋分の日" } } } },
    { 1, 15, DayRule::Fixed, 1949, 2000, 2, true, { { { 0, u"成人の日" } } } },
    { 10, 10, DayRule::Fixed, 1966, 2000, 2, true, { { { 0, u"体育の日" } } } },
};

// Golden Week: from 2008, when 5 May is a Sunday, Monday or Tuesday, 6 May
// is a holiday as well.
constexpr int GoldenWeekRuleAfter = 2007;

// A weekday squeezed between Respect for the Aged Day and the autumnal
// equinox is a citizens' holiday. Only these years have one.
struct CitizensHoliday {
    int Year;
    int Day; // of September
};
constexpr CitizensHoliday CitizensHolidays[] = {
    { 2009, 22 },
    { 2015, 22 },
    { 2026, 22 },
    { 2032, 21 },
    { 2037, 22 },
    { 2043, 22 },
    { 2049, 21 },
    { 2054, 22 },
    { 2060, 21 },
    { 2071, 22 },
    { 2077, 21 },
    { 2088, 21 },
    { 2094, 21 },
    { 2099, 22 },
};

const QString SubstituteName = QStringLiteral("振休");

// The day of the rule's holiday in the calendar year of the date.
int DayIn(const Rule& rule, const CalendarYear& year)
{
    switch (rule.Kind) {
    case DayRule::VernalEquinox:
        return Julius::VernalEquinoxDay(year.Year());
    case DayRule::AutumnalEquinox:
        return Julius::AutumnalEquinoxDay(year.Year());
    case DayRule::Fixed:
        break;
    }
    if (rule.MondayFrom != 0 && year.Year() >= rule.MondayFrom)
        return year.NthMonday(rule.Month, rule.NthMonday);
    return rule.Day;
}

QString NameIn(const Rule& rule, int year)
{
    QStringView name;
    for (const NamePeriod& period : rule.Names) {
        if (!period.Name.isNull() && year >= period.FromYear)
            name = period.Name;
    }
    return name.toString();
}

int CitizensHolidayDay(int year)
{
    for (const CitizensHoliday& holiday : CitizensHolidays) {
        if (holiday.Year == year)
            return holiday.Day;
    }
    return 0;
}

// 5 May a Sunday, Monday or Tuesday
bool GoldenWeekSubstitute(const CalendarYear& year)
{
    return year.Year() > GoldenWeekRuleAfter && year.Weekday(year.Ordinal(5, 5)) < 3;
}

void Put(std::vector<MonthHoliday>& list, MonthHoliday holiday)
{
    for (MonthHoliday& entry : list) {
        if (entry.Day == holiday.Day) {
            entry = std::move(holiday);
            return;
        }
    }
    list.push_back(std::move(holiday));
}

void Put(std::vector<FiscalYearHoliday>& list, const FiscalYearHoliday& holiday)
{
    for (FiscalYearHoliday& entry : list) {
        if (entry.Month == holiday.Month && entry.Day == holiday.Day) {
            entry = holiday;
            return;
        }
    }
    list.push_back(holiday);
}

std::vector<MonthHoliday> BuiltInHolidaysOfMonth(int year, int month)
{
    CheckYear(year);
    const CalendarYear calendarYear(year);
    std::vector<MonthHoliday> list;
    std::vector<int> sundays; // holidays of rules with a substitute that fall on a Sunday
    for (const Rule& rule : Rules) {
        if (rule.Month != month || year < rule.FirstYear)
            continue;
        const int day = DayIn(rule, calendarYear);
        Put(list, { day, NameIn(rule, year), false });
        if (rule.Substitute && calendarYear.IsSunday(month, day))
            sundays.push_back(day);
    }
    for (const int day : sundays)
        Put(list, { day + 1, SubstituteName, true });
    if (month == 5 && GoldenWeekSubstitute(calendarYear))
        Put(list, { 6, SubstituteName, true });
    if (month == 9) {
        if (const int day = CitizensHolidayDay(year))
            Put(list, { day, SubstituteName, true });
    }
    return list;
}

std::vector<FiscalYearHoliday> BuiltInHolidaysOfFiscalYear(int fiscalYear)
{
    Julius::CheckFiscalYear(fiscalYear);
    const CalendarYear april(fiscalYear), january(fiscalYear + 1);
    std::vector<FiscalYearHoliday> list;
    list.reserve(20);
    for (const Rule& rule : Rules) {
        if (fiscalYear < rule.FirstYear)
            continue;
        const CalendarYear& year = rule.Month >= 4 ? april : january;
        const int day = DayIn(rule, year);
        Put(list, { rule.Month, day, DayCode::NationalHoliday });
        if (rule.Substitute && year.IsSunday(rule.Month, day))
            Put(list, { rule.Month, day + 1, DayCode::SubstituteHoliday });
    }
    if (GoldenWeekSubstitute(april))
        Put(list, { 5, 6, DayCode::SubstituteHoliday });
    if (const int day = CitizensHolidayDay(fiscalYear))
        Put(list, { 9, day, DayCode::SubstituteHoliday });
    return list;
}

bool IsBuiltInRuleHoliday(int year, int month, int day)
{
    CheckYear(year);
    const CalendarYear calendarYear(year);
    for (const Rule& rule : Rules) {
        if (rule.Month == month && year >= rule.FirstYear && DayIn(rule, calendarYear) == day)
            return true;
    }
    return false;
}

// The holidays as the law stands today. Each line holds in the calendar years
// FirstYear to LastYear. The act came into force on 20 July 1948, so 1948 has
// only its holidays from September on. The days of the laws for a single day
// are lines of one year; the law of 2019 counts its two days as holidays of
// the act for the substitute and citizens' rules, and the earlier ones have
// no holiday beside them, so all of them are taken so.

enum class LawDay { Fixed, NthMonday, VernalEquinox, AutumnalEquinox };

struct LawHoliday {
    int Month;
    LawDay Kind;
    int Day; // the day of a fixed date, n of the nth Monday
    int FirstYear;
    int LastYear;
    QStringView Name;
};

constexpr int Always = 9999;

const LawHoliday LawHolidays[] = {
    { 1, LawDay::Fixed, 1, 1949, Always, u"元日" },
    { 1, LawDay::Fixed, 15, 1949, 1999, u"成人の日" },
    { 1, LawDay::NthMonday, 2, 2000, Always, u"成人の日" },
    { 2, LawDay::Fixed, 11, 1967, Always, u"建国記念の日" },
    { 2, LawDay::Fixed, 23, 2020, Always, u"天皇誕生日" },
    { 2, LawDay::Fixed, 24, 1989, 1989, u"昭和天皇の大喪の礼" },
    { 3, LawDay::VernalEquinox, 0, 1949, Always, u"春分の日" },
    { 4, LawDay::Fixed, 10, 1959, 1959, u"皇太子明仁親王の結婚の儀" },
    { 4, LawDay::Fixed, 29, 1949, 1988, u"天皇誕生日" },
    { 4, LawDay::Fixed, 29, 1989, 2006, u"みどりの日" },
    { 4, LawDay::Fixed, 29, 2007, Always, u"昭和の日" },
    { 5, LawDay::Fixed, 1, 2019, 2019, u"天皇の即位の日" },
    { 5, LawDay::Fixed, 3, 1949, Always, u"憲法記念日" },
    { 5, LawDay::Fixed, 4, 2007, Always, u"みどりの日" },
    { 5, LawDay::Fixed, 5, 1949, Always, u"こどもの日" },
    { 6, LawDay::Fixed, 9, 1993, 1993, u"皇太子徳仁親王の結婚の儀" },
    { 7, LawDay::Fixed, 20, 1996, 2002, u"海の日" },
    { 7, LawDay::NthMonday, 3, 2003, 2019, u"海の日" },
    // 2020 and 2021 moved three holidays to the days of the Olympic Games.
    { 7, LawDay::Fixed, 23, 2020, 2020, u"海の日" },
    { 7, LawDay::Fixed, 24, 2020, 2020, u"スポーツの日" },
    { 7, LawDay::Fixed, 22, 2021, 2021, u"海の日" },
    { 7, LawDay::Fixed, 23, 2021, 2021, u"スポーツの日" },
    { 7, LawDay::NthMonday, 3, 2022, Always, u"海の日" },
    { 8, LawDay::Fixed, 11, 2016, 2019, u"山の日" },
    { 8, LawDay::Fixed, 10, 2020, 2020, u"山の日" },
    { 8, LawDay::Fixed, 8, 2021, 2021, u"山の日" },
    { 8, LawDay::Fixed, 11, 2022, Always, u"山の日" },
    { 9, LawDay::Fixed, 15, 1966, 2002, u"敬老の日" },
    { 9, LawDay::NthMonday, 3, 2003, Always, u"敬老の日" },
    { 9, LawDay::AutumnalEquinox, 0, 1948, Always, u"秋分の日" },
    { 10, LawDay::Fixed, 10, 1966, 1999, u"体育の日" },
    { 10, LawDay::NthMonday, 2, 2000, 2019, u"体育の日" },
    { 10, LawDay::NthMonday, 2, 2022, Always, u"スポーツの日" },
    { 10, LawDay::Fixed, 22, 2019, 2019, u"即位礼正殿の儀" },
    { 11, LawDay::Fixed, 3, 1948, Always, u"文化の日" },
    { 11, LawDay::Fixed, 12, 1990, 1990, u"即位礼正殿の儀" },
    { 11, LawDay::Fixed, 23, 1948, Always, u"勤労感謝の日" },
    { 12, LawDay::Fixed, 23, 1989, 2018, u"天皇誕生日" },
};

constexpr int LawFirstYear = 1948;
// A Sunday holiday makes the next day a holiday from 12 April 1973.
constexpr int SubstituteFromYear = 1973;
constexpr int SubstituteFromMonth = 4;
constexpr int SubstituteFromDay = 12;
// From 2007 that is the next day that is no holiday; before, the next day.
constexpr int NextFreeDayFrom = 2007;
// A day between two holidays is a holiday from 27 December 1985 (the first
// such day was in 1986); until 2006 not when it is a Sunday.
constexpr int CitizensHolidayFrom = 1986;

const QStringView SubstituteHolidayName = u"振替休日";
const QStringView CitizensHolidayName = u"国民の休日";

struct LawDayOff {
    int Ordinal; // 0 for 1 January
    QStringView Name;
    DayCode Code;
};

// The day of the law's holiday in its month of the year.
int DayIn(const LawHoliday& holiday, const CalendarYear& year)
{
    switch (holiday.Kind) {
    case LawDay::VernalEquinox:
        return Julius::VernalEquinoxDay(year.Year());
    case LawDay::AutumnalEquinox:
        return Julius::AutumnalEquinoxDay(year.Year());
    case LawDay::NthMonday:
        return year.NthMonday(holiday.Month, holiday.Day);
    case LawDay::Fixed:
        break;
    }
    return holiday.Day;
}

// At most about twenty holidays of the act and a few more days a year.
constexpr size_t MaxLawDaysOff = 48;
// Ordinals of a year and a week more, so that looking past the last holiday
// stays inside.
constexpr size_t DaysOfYear = 366 + 7;
using LawDaysOff = std::array<LawDayOff, MaxLawDaysOff>;

void InsertInDateOrder(LawDaysOff& days, size_t& count, const LawDayOff& day)
{
    size_t at = count;
    while (at > 0 && days[at - 1].Ordinal > day.Ordinal) {
        days[at] = days[at - 1];
        --at;
    }
    days[at] = day;
    ++count;
}

// The days off by the law in months first to last of the year, in date
// order; returns their number. The substitute and citizens' rules look only
// a few days ahead and behind, and no holiday lies near the end of March, so
// January to March and April to December can be asked for apart.
size_t LawDaysOffOf(const CalendarYear& year, int first, int last, LawDaysOff& days)
{
    size_t count = 0;
    if (year.Year() < LawFirstYear)
        return count;
    std::bitset<DaysOfYear> holiday;
    for (const LawHoliday& rule : LawHolidays) {
        if (rule.Month < first || rule.Month > last || year.Year() < rule.FirstYear || year.Year() > rule.LastYear)
            continue;
        const int ordinal = year.Ordinal(rule.Month, DayIn(rule, year));
        if (holiday[size_t(ordinal)] || count == days.size())
            continue;
        holiday[size_t(ordinal)] = true;
        InsertInDateOrder(days, count, { ordinal, rule.Name, DayCode::NationalHoliday });
    }
    const size_t named = count;
    const int lastOrdinal = year.LastOrdinal(last);
    const int substituteFrom = year.Year() == SubstituteFromYear ? year.Ordinal(SubstituteFromMonth, SubstituteFromDay)
                                                                 : (year.Year() > SubstituteFromYear ? 0 : 366);
    std::bitset<DaysOfYear> extra;
    for (size_t i = 0; i < named; ++i) {
        const int ordinal = days[i].Ordinal;
        if (ordinal < substituteFrom || year.Weekday(ordinal) != 0)
            continue;
        int next = ordinal + 1;
        if (year.Year() >= NextFreeDayFrom) {
            while (holiday[size_t(next)])
                ++next;
        } else if (holiday[size_t(next)]) {
            continue;
        }
        if (next <= lastOrdinal && !extra[size_t(next)] && count < days.size()) {
            extra[size_t(next)] = true;
            days[count++] = { next, SubstituteHolidayName, DayCode::SubstituteHoliday };
        }
    }
    if (year.Year() >= CitizensHolidayFrom) {
        for (size_t i = 0; i + 1 < named; ++i) {
            const int between = days[i].Ordinal + 1;
            if (days[i + 1].Ordinal != between + 1 || extra[size_t(between)])
                continue;
            if ((year.Year() < NextFreeDayFrom && year.Weekday(between) == 0) || count == days.size())
                continue;
            extra[size_t(between)] = true;
            days[count++] = { between, CitizensHolidayName, DayCode::SubstituteHoliday };
        }
    }
    // the few extra days into date order
    std::sort(days.begin(), days.begin() + std::ptrdiff_t(count),
        [](const LawDayOff& a, const LawDayOff& b) { return a.Ordinal < b.Ordinal; });
    return count;
}

std::vector<MonthHoliday> LawHolidaysOfMonth(int year, int month)
{
    std::vector<MonthHoliday> list;
    if (year < LawFirstYear || month < 1 || month > 12)
        return list;
    CheckYear(year);
    const CalendarYear law(year);
    LawDaysOff days;
    const size_t count = LawDaysOffOf(law, 1, 12, days);
    for (size_t i = 0; i < count; ++i) {
        if (law.MonthOf(days[i].Ordinal) == month)
            list.push_back(
                { law.DayOf(days[i].Ordinal), days[i].Name.toString(), days[i].Code == DayCode::SubstituteHoliday });
    }
    return list;
}

void AppendLawHolidays(int year, int first, int last, std::vector<FiscalYearHoliday>& list)
{
    const CalendarYear law(year);
    LawDaysOff days;
    const size_t count = LawDaysOffOf(law, first, last, days);
    for (size_t i = 0; i < count; ++i) {
        const int month = law.MonthOf(days[i].Ordinal);
        list.push_back({ month, days[i].Ordinal - law.Ordinal(month, 1) + 1, days[i].Code });
    }
}

std::vector<FiscalYearHoliday> LawHolidaysOfFiscalYear(int fiscalYear)
{
    Julius::CheckFiscalYear(fiscalYear);
    std::vector<FiscalYearHoliday> list;
    if (fiscalYear + 1 < LawFirstYear)
        return list;
    list.reserve(24);
    AppendLawHolidays(fiscalYear, 4, 12, list);
    AppendLawHolidays(fiscalYear + 1, 1, 3, list);
    return list;
}

bool IsLawHoliday(int year, int month, int day)
{
    if (year < LawFirstYear || year > 9999 || month < 1 || month > 12)
        return false;
    const CalendarYear law(year);
    for (const LawHoliday& rule : LawHolidays) {
        if (rule.Month == month && year >= rule.FirstYear && year <= rule.LastYear && DayIn(rule, law) == day)
            return true;
    }
    return false;
}

} // namespace

std::vector<MonthHoliday> NationalHolidaysOfMonth(int year, int month, HolidayTable table)
{
    return table == HolidayTable::CurrentLaw ? LawHolidaysOfMonth(year, month) : BuiltInHolidaysOfMonth(year, month);
}

std::vector<FiscalYearHoliday> NationalHolidaysOfFiscalYear(int fiscalYear, HolidayTable table)
{
    return table == HolidayTable::CurrentLaw ? LawHolidaysOfFiscalYear(fiscalYear)
                                             : BuiltInHolidaysOfFiscalYear(fiscalYear);
}

bool IsRuleHoliday(int year, int month, int day, HolidayTable table)
{
    return table == HolidayTable::CurrentLaw ? IsLawHoliday(year, month, day) : IsBuiltInRuleHoliday(year, month, day);
}

} // namespace HolidayCalendar
