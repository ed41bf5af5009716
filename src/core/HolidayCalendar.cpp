#include "core/HolidayCalendar.h"

#include <array>

#include <QStringView>

#include "core/Julius.h"
#include "platform/Dates.h"

namespace HolidayCalendar {

namespace {

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

int WeekdayOf(int year, int month, int day) { return Dates::DayOfWeek(Dates::EncodeDate(year, month, day)); }

bool IsSunday(int year, int month, int day) { return WeekdayOf(year, month, day) == 1; }

// The nth Monday of the month, from w, the weekday of the 1st.
int NthMonday(int year, int month, int n)
{
    const int w = WeekdayOf(year, month, 1);
    return w < 3 ? 7 * (n - 1) + 3 - w : 7 * n + 3 - w;
}

// The day of the rule's holiday in the calendar year of the date.
int DayIn(const Rule& rule, int year)
{
    switch (rule.Kind) {
    case DayRule::VernalEquinox:
        return Julius::VernalEquinoxDay(year);
    case DayRule::AutumnalEquinox:
        return Julius::AutumnalEquinoxDay(year);
    case DayRule::Fixed:
        break;
    }
    if (rule.MondayFrom != 0 && year >= rule.MondayFrom)
        return NthMonday(year, rule.Month, rule.NthMonday);
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

bool GoldenWeekSubstitute(int year) { return year > GoldenWeekRuleAfter && WeekdayOf(year, 5, 5) < 4; }

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

} // namespace

std::vector<MonthHoliday> NationalHolidaysOfMonth(int year, int month)
{
    std::vector<MonthHoliday> list;
    std::vector<int> sundays; // holidays of rules with a substitute that fall on a Sunday
    for (const Rule& rule : Rules) {
        if (rule.Month != month || year < rule.FirstYear)
            continue;
        const int day = DayIn(rule, year);
        Put(list, { day, NameIn(rule, year), false });
        if (rule.Substitute && IsSunday(year, month, day))
            sundays.push_back(day);
    }
    for (const int day : sundays)
        Put(list, { day + 1, SubstituteName, true });
    if (month == 5 && GoldenWeekSubstitute(year))
        Put(list, { 6, SubstituteName, true });
    if (month == 9) {
        if (const int day = CitizensHolidayDay(year))
            Put(list, { day, SubstituteName, true });
    }
    return list;
}

std::vector<FiscalYearHoliday> NationalHolidaysOfFiscalYear(int fiscalYear)
{
    Julius::CheckFiscalYear(fiscalYear);
    std::vector<FiscalYearHoliday> list;
    list.reserve(20);
    for (const Rule& rule : Rules) {
        if (fiscalYear < rule.FirstYear)
            continue;
        const int year = rule.Month >= 4 ? fiscalYear : fiscalYear + 1;
        const int day = DayIn(rule, year);
        Put(list, { rule.Month, day, DayCode::NationalHoliday });
        if (rule.Substitute && IsSunday(year, rule.Month, day))
            Put(list, { rule.Month, day + 1, DayCode::SubstituteHoliday });
    }
    if (GoldenWeekSubstitute(fiscalYear))
        Put(list, { 5, 6, DayCode::SubstituteHoliday });
    if (const int day = CitizensHolidayDay(fiscalYear))
        Put(list, { 9, day, DayCode::SubstituteHoliday });
    return list;
}

bool IsRuleHoliday(int year, int month, int day)
{
    for (const Rule& rule : Rules) {
        if (rule.Month == month && year >= rule.FirstYear && DayIn(rule, year) == day)
            return true;
    }
    return false;
}

} // namespace HolidayCalendar
