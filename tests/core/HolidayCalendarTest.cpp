#include "core/HolidayCalendar.h"

#include <cstdio>
#include <map>
#include <limits>

#include <QDate>

#include <gtest/gtest.h>

#include "platform/Errors.h"

using namespace HolidayCalendar;

namespace {

// The name the month view gives the day, or an empty text.
QString NameOn(int year, int month, int day)
{
    for (const MonthHoliday& holiday : NationalHolidaysOfMonth(year, month)) {
        if (holiday.Day == day)
            return holiday.Name;
    }
    return QString();
}

std::vector<std::pair<int, QString>> DaysAndNames(int year, int month)
{
    std::vector<std::pair<int, QString>> list;
    for (const MonthHoliday& holiday : NationalHolidaysOfMonth(year, month))
        list.emplace_back(holiday.Day, holiday.Name);
    return list;
}

} // namespace

struct NamedDay {
    int year, month, day;
    const char16_t* name; // empty: no holiday
};

void PrintTo(const NamedDay& d, std::ostream* os) { *os << d.year << '-' << d.month << '-' << d.day; }

// "1988_04_29"
std::string DateName(const testing::TestParamInfo<NamedDay>& info)
{
    char name[32];
    std::snprintf(name, sizeof name, "%04d_%02d_%02d", info.param.year, info.param.month, info.param.day);
    return name;
}

class HolidayCalendarNameTest : public testing::TestWithParam<NamedDay> { };

TEST_P(HolidayCalendarNameTest, MonthViewNamesTheDay)
{
    const NamedDay& d = GetParam();
    EXPECT_EQ(NameOn(d.year, d.month, d.day), QString::fromUtf16(d.name));
}

INSTANTIATE_TEST_SUITE_P(NamesByPeriod, HolidayCalendarNameTest,
    testing::Values(NamedDay { 1988, 4, 29, u"天皇誕生日" }, NamedDay { 1989, 4, 29, u"緑の日" },
        NamedDay { 2006, 4, 29, u"緑の日" }, NamedDay { 2007, 4, 29, u"昭和の日" }, NamedDay { 1987, 5, 4, u"" },
        NamedDay { 1988, 5, 4, u"国民の休日" }, NamedDay { 2007, 5, 4, u"みどりの日" }, NamedDay { 1979, 12, 23, u"" },
        NamedDay { 1989, 12, 23, u"天皇誕生日" }, NamedDay { 1948, 1, 1, u"元旦" }, NamedDay { 1966, 2, 11, u"" },
        NamedDay { 1967, 2, 11, u"建国記念の日" }, NamedDay { 1995, 7, 20, u"" }, NamedDay { 1996, 7, 20, u"海の日" },
        NamedDay { 2024, 5, 5, u"子供の日" }, NamedDay { 2024, 11, 23, u"勤労感謝の休日" }),
    DateName);

INSTANTIATE_TEST_SUITE_P(MondayRules, HolidayCalendarNameTest,
    testing::Values(NamedDay { 2003, 7, 20, u"海の日" }, NamedDay { 2004, 7, 19, u"海の日" },
        NamedDay { 2004, 7, 20, u"" }, NamedDay { 2003, 9, 15, u"敬老の日" }, NamedDay { 2004, 9, 20, u"敬老の日" },
        NamedDay { 1999, 1, 15, u"成人の日" }, NamedDay { 2000, 1, 10, u"成人の日" }, NamedDay { 2000, 1, 15, u"" },
        NamedDay { 1999, 10, 10, u"体育の日" }, NamedDay { 2000, 10, 9, u"体育の日" }, NamedDay { 2000, 10, 10, u"" },
        NamedDay { 2024, 3, 20, u"春分の日" }, NamedDay { 2020, 9, 22, u"秋分の日" }),
    DateName);

INSTANTIATE_TEST_SUITE_P(Substitutes, HolidayCalendarNameTest,
    testing::Values(NamedDay { 2007, 4, 30, u"振休" }, NamedDay { 2008, 5, 6, u"振休" },
        NamedDay { 2009, 5, 6, u"振休" }, NamedDay { 1997, 7, 21, u"振休" }, NamedDay { 2003, 7, 21, u"振休" },
        NamedDay { 1999, 10, 11, u"振休" }, NamedDay { 1979, 12, 24, u"" }, NamedDay { 1990, 12, 24, u"振休" },
        NamedDay { 2017, 1, 2, u"振休" }, NamedDay { 1948, 3, 22, u"振休" },
        // a Sunday 3 or 4 May makes no substitute before the Golden Week rule
        NamedDay { 1998, 5, 4, u"国民の休日" }, NamedDay { 1998, 5, 6, u"" }, NamedDay { 2003, 5, 6, u"" }),
    DateName);

INSTANTIATE_TEST_SUITE_P(CitizensHolidays, HolidayCalendarNameTest,
    testing::Values(NamedDay { 2009, 9, 22, u"振休" }, NamedDay { 2015, 9, 22, u"振休" },
        NamedDay { 2032, 9, 21, u"振休" }, NamedDay { 2099, 9, 22, u"振休" }, NamedDay { 2020, 9, 21, u"敬老の日" },
        NamedDay { 2021, 9, 21, u"" }),
    DateName);

TEST(HolidayCalendarTest, MonthListsRuleHolidaysBeforeSubstitutes)
{
    using List = std::vector<std::pair<int, QString>>;
    EXPECT_EQ(DaysAndNames(2017, 1),
        (List { { 1, QStringLiteral("元旦") }, { 9, QStringLiteral("成人の日") }, { 2, QStringLiteral("振休") } }));
    EXPECT_EQ(DaysAndNames(2009, 9),
        (List {
            { 21, QStringLiteral("敬老の日") }, { 23, QStringLiteral("秋分の日") }, { 22, QStringLiteral("振休") } }));
    // 5 May 2013 was a Sunday: the Sunday rule and the Golden Week rule name the same day once.
    EXPECT_EQ(DaysAndNames(2013, 5),
        (List { { 3, QStringLiteral("憲法記念日") }, { 4, QStringLiteral("みどりの日") },
            { 5, QStringLiteral("子供の日") }, { 6, QStringLiteral("振休") } }));
    EXPECT_TRUE(NationalHolidaysOfMonth(2024, 6).empty());
    EXPECT_TRUE(NationalHolidaysOfMonth(1947, 11).empty());
}

TEST(HolidayCalendarTest, SubstituteDaysAreFlagged)
{
    for (const MonthHoliday& holiday : NationalHolidaysOfMonth(2024, 11))
        EXPECT_EQ(holiday.IsSubstitute, holiday.Day == 4) << holiday.Day;
}

TEST(HolidayCalendarTest, RuleHolidaysAreTheNamedDaysButNotTheirSubstitutes)
{
    EXPECT_TRUE(IsRuleHoliday(2024, 11, 3));
    EXPECT_FALSE(IsRuleHoliday(2024, 11, 4));
    EXPECT_TRUE(IsRuleHoliday(2024, 7, 15)); // third Monday
    EXPECT_FALSE(IsRuleHoliday(2024, 7, 20));
    EXPECT_FALSE(IsRuleHoliday(2009, 9, 22)); // citizens' holiday
    EXPECT_FALSE(IsRuleHoliday(2008, 5, 6)); // Golden Week substitute
    EXPECT_TRUE(IsRuleHoliday(1948, 1, 1)); // in force by calendar year
    EXPECT_FALSE(IsRuleHoliday(1987, 5, 4));
}

TEST(HolidayCalendarTest, FiscalYearGivesCodesFromAprilToMarch)
{
    std::map<std::pair<int, int>, DayCode> codes;
    for (const FiscalYearHoliday& h : NationalHolidaysOfFiscalYear(2024))
        EXPECT_TRUE(codes.emplace(std::make_pair(h.Month, h.Day), h.Code).second)
            << "twice: " << h.Month << '/' << h.Day;
    using Key = std::pair<int, int>;
    EXPECT_EQ(codes[Key(11, 3)], DayCode::NationalHoliday);
    EXPECT_EQ(codes[Key(11, 4)], DayCode::SubstituteHoliday);
    EXPECT_EQ(codes[Key(1, 13)], DayCode::NationalHoliday); // Coming of Age Day 2025
    EXPECT_EQ(codes[Key(3, 20)], DayCode::NationalHoliday); // vernal equinox 2025
    EXPECT_EQ(codes[Key(5, 6)], DayCode::SubstituteHoliday);
    EXPECT_EQ(codes.size(), 18u);
}

// The fiscal-year view compares every rule's first year with the fiscal year,
// so it differs from the month view only on these days of 1948 to 1967.
TEST(HolidayCalendarTest, FiscalYearViewDiffersOnlyWhereRulesStartBetweenJanuaryAndMarch)
{
    std::map<QDate, DayCode> byFiscalYear;
    for (int f = 1947; f <= 2200; ++f) {
        for (const FiscalYearHoliday& h : NationalHolidaysOfFiscalYear(f))
            byFiscalYear[QDate(h.Month >= 4 ? f : f + 1, h.Month, h.Day)] = h.Code;
    }
    std::map<QDate, DayCode> byMonth;
    for (int y = 1948; y <= 2200; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (const MonthHoliday& h : NationalHolidaysOfMonth(y, m))
                byMonth[QDate(y, m, h.Day)] = h.IsSubstitute ? DayCode::SubstituteHoliday : DayCode::NationalHoliday;
        }
    }

    const std::map<QDate, DayCode> onlyInMonthView {
        { QDate(1948, 1, 1), DayCode::NationalHoliday },
        { QDate(1948, 3, 21), DayCode::NationalHoliday },
        { QDate(1948, 3, 22), DayCode::SubstituteHoliday },
        { QDate(1949, 1, 15), DayCode::NationalHoliday },
        { QDate(1967, 2, 11), DayCode::NationalHoliday },
    };
    std::map<QDate, DayCode> differences;
    for (QDate d(1948, 1, 1); d <= QDate(2200, 12, 31); d = d.addDays(1)) {
        const auto f = byFiscalYear.find(d);
        const auto m = byMonth.find(d);
        const bool inF = f != byFiscalYear.end(), inM = m != byMonth.end();
        if (inF && inM && f->second == m->second)
            continue;
        if (inF)
            ADD_FAILURE() << d.toString(Qt::ISODate).toStdString() << " differs in the fiscal-year view";
        else if (inM)
            differences.insert(*m);
    }
    EXPECT_EQ(differences, onlyInMonthView);
    EXPECT_EQ(byFiscalYear[QDate(1949, 1, 1)], DayCode::NationalHoliday);
}

TEST(HolidayCalendarTest, EveryFiscalYearOfTheCalendarGivesRealDates)
{
    for (int f = 1; f <= 9998; ++f) {
        for (const FiscalYearHoliday& h : NationalHolidaysOfFiscalYear(f))
            ASSERT_TRUE(QDate::isValid(h.Month >= 4 ? f : f + 1, h.Month, h.Day))
                << f << ' ' << h.Month << '/' << h.Day;
    }
}

TEST(HolidayCalendarTest, YearsBeyondTheCalendarRaiseTheDateError)
{
    for (const int f : { 0, 9999, std::numeric_limits<int>::max() }) {
        try {
            NationalHolidaysOfFiscalYear(f);
            ADD_FAILURE() << f << " accepted";
        } catch (const EDateError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Invalid argument to date encode"));
        }
    }
    EXPECT_THROW(NationalHolidaysOfMonth(10000, 1), EDateError);
    EXPECT_TRUE(NationalHolidaysOfMonth(2024, 13).empty());
}
