#include "core/HolidayCalendar.h"

#include <cstdio>
#include <limits>
#include <map>
#include <set>
#include <tuple>

#include <QCryptographicHash>
#include <QDate>

#include <gtest/gtest.h>

#include "platform/Errors.h"

using namespace HolidayCalendar;

constexpr HolidayTable BuiltIn = HolidayTable::BuiltIn;

namespace {

// The name the month view gives the day, or an empty text.
QString NameOn(int year, int month, int day)
{
    for (const MonthHoliday& holiday : NationalHolidaysOfMonth(year, month, BuiltIn)) {
        if (holiday.Day == day)
            return holiday.Name;
    }
    return QString();
}

std::vector<std::pair<int, QString>> DaysAndNames(int year, int month)
{
    std::vector<std::pair<int, QString>> list;
    for (const MonthHoliday& holiday : NationalHolidaysOfMonth(year, month, BuiltIn))
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
    EXPECT_TRUE(NationalHolidaysOfMonth(2024, 6, BuiltIn).empty());
    EXPECT_TRUE(NationalHolidaysOfMonth(1947, 11, BuiltIn).empty());
}

TEST(HolidayCalendarTest, SubstituteDaysAreFlagged)
{
    for (const MonthHoliday& holiday : NationalHolidaysOfMonth(2024, 11, BuiltIn))
        EXPECT_EQ(holiday.IsSubstitute, holiday.Day == 4) << holiday.Day;
}

TEST(HolidayCalendarTest, RuleHolidaysAreTheNamedDaysButNotTheirSubstitutes)
{
    EXPECT_TRUE(IsRuleHoliday(2024, 11, 3, BuiltIn));
    EXPECT_FALSE(IsRuleHoliday(2024, 11, 4, BuiltIn));
    EXPECT_TRUE(IsRuleHoliday(2024, 7, 15, BuiltIn)); // third Monday
    EXPECT_FALSE(IsRuleHoliday(2024, 7, 20, BuiltIn));
    EXPECT_FALSE(IsRuleHoliday(2009, 9, 22, BuiltIn)); // citizens' holiday
    EXPECT_FALSE(IsRuleHoliday(2008, 5, 6, BuiltIn)); // Golden Week substitute
    EXPECT_TRUE(IsRuleHoliday(1948, 1, 1, BuiltIn)); // in force by calendar year
    EXPECT_FALSE(IsRuleHoliday(1987, 5, 4, BuiltIn));
}

TEST(HolidayCalendarTest, FiscalYearGivesCodesFromAprilToMarch)
{
    std::map<std::pair<int, int>, DayCode> codes;
    for (const FiscalYearHoliday& h : NationalHolidaysOfFiscalYear(2024, BuiltIn))
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
        for (const FiscalYearHoliday& h : NationalHolidaysOfFiscalYear(f, BuiltIn))
            byFiscalYear[QDate(h.Month >= 4 ? f : f + 1, h.Month, h.Day)] = h.Code;
    }
    std::map<QDate, DayCode> byMonth;
    for (int y = 1948; y <= 2200; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (const MonthHoliday& h : NationalHolidaysOfMonth(y, m, BuiltIn))
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
        for (const FiscalYearHoliday& h : NationalHolidaysOfFiscalYear(f, BuiltIn))
            ASSERT_TRUE(QDate::isValid(h.Month >= 4 ? f : f + 1, h.Month, h.Day))
                << f << ' ' << h.Month << '/' << h.Day;
    }
}

TEST(HolidayCalendarTest, YearsBeyondTheCalendarRaiseTheDateError)
{
    for (const int f : { 0, 9999, std::numeric_limits<int>::max() }) {
        try {
            NationalHolidaysOfFiscalYear(f, BuiltIn);
            ADD_FAILURE() << f << " accepted";
        } catch (const EDateError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Invalid argument to date encode"));
        }
    }
    EXPECT_THROW(NationalHolidaysOfMonth(10000, 1, BuiltIn), EDateError);
    EXPECT_TRUE(NationalHolidaysOfMonth(2024, 13, BuiltIn).empty());
}

// Every answer of both views and both tables over the calendar's whole range,
// in order, as one fingerprint. The digests were taken from the first, plain
// implementation (a date object per day asked); a faster one must give the
// same days, names, codes and order. A change of the rules changes them.
TEST(HolidayCalendarTest, EveryYearGivesTheDaysOfThePlainImplementation)
{
    for (const auto& [table, monthDigest, fiscalDigest] :
        { std::make_tuple(BuiltIn, "670a6be8b72f8aedd2c4ba618b84303a", "71820443478e66f62f28763bf42dfae2"),
            std::make_tuple(
                HolidayTable::CurrentLaw, "5f886a61178f73b48143faeebd698b59", "d92a20c21934b05351db6b6152fc1f69") }) {
        QCryptographicHash months(QCryptographicHash::Md5), fiscalYears(QCryptographicHash::Md5);
        for (int y = 1; y <= 9999; ++y) {
            for (int m = 1; m <= 12; ++m) {
                for (const MonthHoliday& h : NationalHolidaysOfMonth(y, m, table))
                    months.addData(QStringLiteral("%1-%2-%3 %4 %5\n")
                                       .arg(y)
                                       .arg(m)
                                       .arg(h.Day)
                                       .arg(h.Name)
                                       .arg(h.IsSubstitute)
                                       .toUtf8());
                for (int d = 1; d <= 31; ++d) {
                    if (IsRuleHoliday(y, m, d, table))
                        months.addData(QStringLiteral("%1-%2-%3 rule\n").arg(y).arg(m).arg(d).toUtf8());
                }
            }
            if (y <= 9998) {
                for (const FiscalYearHoliday& h : NationalHolidaysOfFiscalYear(y, table))
                    fiscalYears.addData(
                        QStringLiteral("%1 %2/%3 %4\n").arg(y).arg(h.Month).arg(h.Day).arg(int(h.Code)).toUtf8());
            }
        }
        const char* which = table == BuiltIn ? "built-in" : "by law";
        EXPECT_EQ(months.result().toHex().toStdString(), monthDigest) << which;
        EXPECT_EQ(fiscalYears.result().toHex().toStdString(), fiscalDigest) << which;
    }
}

// The holidays by the current law against the list of @holiday-jp/holiday_jp,
// 1970 to 2050. The list names a few days otherwise than the law does.
namespace {

struct DatasetHoliday {
    int year, month, day;
    const char16_t* name;
};

const DatasetHoliday Dataset[] = {
#include "data/HolidayJpDataset.inc"
};

// The law's name for the list's name of a day.
QString LawName(const DatasetHoliday& h)
{
    const QString name = QString::fromUtf16(h.name);
    if (name.endsWith(u" 振替休日"))
        return QStringLiteral("振替休日");
    if (name == u"休日")
        return QStringLiteral("国民の休日");
    if (name == u"休日（祝日扱い）")
        return h.month == 5 ? QStringLiteral("天皇の即位の日") : QStringLiteral("即位礼正殿の儀");
    if (name == u"体育の日（スポーツの日）") // 2019, the year before the new name
        return QStringLiteral("体育の日");
    if (name == u"大喪の礼")
        return QStringLiteral("昭和天皇の大喪の礼");
    if (name == u"結婚の儀")
        return QStringLiteral("皇太子徳仁親王の結婚の儀");
    return name;
}

bool IsSubstituteName(const QString& name) { return name == u"振替休日" || name == u"国民の休日"; }

using DayKey = std::tuple<int, int, int>;

std::map<DayKey, QString> DatasetDays()
{
    std::map<DayKey, QString> days;
    for (const DatasetHoliday& h : Dataset)
        days[{ h.year, h.month, h.day }] = LawName(h);
    return days;
}

std::string Text(const DayKey& k, const QString& what)
{
    const auto [y, m, d] = k;
    return QStringLiteral("%1-%2-%3 %4").arg(y).arg(m).arg(d).arg(what).toStdString();
}

// What one side has and the other has not, or names otherwise, day by day.
std::vector<std::string> Differences(const std::map<DayKey, QString>& want, const std::map<DayKey, QString>& got)
{
    std::vector<std::string> out;
    for (const auto& [k, name] : want) {
        const auto g = got.find(k);
        if (g == got.end())
            out.push_back(Text(k, QStringLiteral("missing ") + name));
        else if (g->second != name)
            out.push_back(Text(k, name + QStringLiteral(" but ") + g->second));
    }
    for (const auto& [k, name] : got) {
        if (!want.count(k))
            out.push_back(Text(k, QStringLiteral("extra ") + name));
    }
    return out;
}

} // namespace

TEST(HolidayCalendarLawTest, DatasetCoversEveryYearFrom1970To2050)
{
    std::set<int> years;
    for (const DatasetHoliday& h : Dataset)
        years.insert(h.year);
    EXPECT_EQ(years.size(), 81u);
    EXPECT_EQ(*years.begin(), 1970);
    EXPECT_EQ(*years.rbegin(), 2050);
}

TEST(HolidayCalendarLawTest, EveryMonthFrom1970To2050NamesTheDatasetsDays)
{
    std::map<DayKey, QString> got;
    for (int y = 1970; y <= 2050; ++y) {
        for (int m = 1; m <= 12; ++m) {
            for (const MonthHoliday& h : NationalHolidaysOfMonth(y, m, HolidayTable::CurrentLaw)) {
                EXPECT_EQ(h.IsSubstitute, IsSubstituteName(h.Name)) << y << '-' << m << '-' << h.Day;
                EXPECT_TRUE(got.emplace(DayKey(y, m, h.Day), h.Name).second)
                    << "twice: " << y << '-' << m << '-' << h.Day;
            }
        }
    }
    EXPECT_EQ(Differences(DatasetDays(), got), std::vector<std::string>());
}

TEST(HolidayCalendarLawTest, EveryFiscalYearFrom1970To2050CodesTheDatasetsDays)
{
    const auto code = [](bool substitute) { return substitute ? QStringLiteral("振") : QStringLiteral("祝"); };
    std::map<DayKey, QString> want;
    for (const auto& [k, name] : DatasetDays())
        want[k] = code(IsSubstituteName(name));
    std::map<DayKey, QString> got;
    for (int f = 1969; f <= 2050; ++f) {
        for (const FiscalYearHoliday& h : NationalHolidaysOfFiscalYear(f, HolidayTable::CurrentLaw)) {
            const DayKey k(h.Month >= 4 ? f : f + 1, h.Month, h.Day);
            ASSERT_TRUE(h.Code == DayCode::NationalHoliday || h.Code == DayCode::SubstituteHoliday);
            if (std::get<0>(k) >= 1970 && std::get<0>(k) <= 2050) {
                EXPECT_TRUE(got.emplace(k, code(h.Code == DayCode::SubstituteHoliday)).second) << "twice";
            }
        }
    }
    EXPECT_EQ(Differences(want, got), std::vector<std::string>());
}

// The code the fiscal-year view gives the day by the current law, or an empty text.
QString LawCodeOn(int year, int month, int day)
{
    const int fiscalYear = month >= 4 ? year : year - 1;
    for (const FiscalYearHoliday& h : NationalHolidaysOfFiscalYear(fiscalYear, HolidayTable::CurrentLaw)) {
        if (h.Month == month && h.Day == day)
            return DayCodeText(h.Code);
    }
    return QString();
}

class HolidayCalendarLawNameTest : public testing::TestWithParam<NamedDay> { };

TEST_P(HolidayCalendarLawNameTest, BothViewsGiveTheDayByTheLaw)
{
    const NamedDay& d = GetParam();
    const QString name = QString::fromUtf16(d.name);
    QString got;
    for (const MonthHoliday& h : NationalHolidaysOfMonth(d.year, d.month, HolidayTable::CurrentLaw)) {
        if (h.Day == d.day)
            got = h.Name;
    }
    EXPECT_EQ(got, name);
    const QString code = name.isEmpty() ? QString()
        : IsSubstituteName(name)        ? QStringLiteral("振")
                                        : QStringLiteral("祝");
    EXPECT_EQ(LawCodeOn(d.year, d.month, d.day), code);
    EXPECT_EQ(IsRuleHoliday(d.year, d.month, d.day, HolidayTable::CurrentLaw), code == u"祝");
}

INSTANTIATE_TEST_SUITE_P(CurrentLaw, HolidayCalendarLawNameTest,
    testing::Values(
        // the act came into force on 20 July 1948
        NamedDay { 1948, 5, 3, u"" }, NamedDay { 1948, 9, 23, u"秋分の日" }, NamedDay { 1948, 11, 23, u"勤労感謝の日" },
        NamedDay { 1949, 1, 1, u"元日" }, NamedDay { 1949, 5, 5, u"こどもの日" },
        NamedDay { 1959, 4, 10, u"皇太子明仁親王の結婚の儀" }, NamedDay { 1966, 9, 15, u"敬老の日" },
        NamedDay { 1966, 10, 10, u"体育の日" }, NamedDay { 1966, 2, 11, u"" },
        NamedDay { 1967, 2, 11, u"建国記念の日" },
        // substitutes from 12 April 1973: 11 February 1973 was a Sunday, so was 29 April
        NamedDay { 1973, 2, 12, u"" }, NamedDay { 1973, 4, 30, u"振替休日" }, NamedDay { 1970, 5, 4, u"" },
        // between two holidays, not on a Sunday before 2007
        NamedDay { 1986, 5, 4, u"" }, NamedDay { 1988, 5, 4, u"国民の休日" }, NamedDay { 1992, 5, 4, u"振替休日" },
        NamedDay { 2009, 9, 22, u"国民の休日" }, NamedDay { 2008, 5, 6, u"振替休日" },
        NamedDay { 1988, 4, 29, u"天皇誕生日" }, NamedDay { 1989, 4, 29, u"みどりの日" },
        NamedDay { 2007, 4, 29, u"昭和の日" }, NamedDay { 2007, 5, 4, u"みどりの日" },
        NamedDay { 1989, 2, 24, u"昭和天皇の大喪の礼" }, NamedDay { 1989, 12, 23, u"天皇誕生日" },
        NamedDay { 2018, 12, 23, u"天皇誕生日" }, NamedDay { 2018, 12, 24, u"振替休日" },
        NamedDay { 2019, 12, 23, u"" }, NamedDay { 2019, 2, 23, u"" }, NamedDay { 2020, 2, 23, u"天皇誕生日" },
        NamedDay { 2020, 2, 24, u"振替休日" }, NamedDay { 1990, 11, 12, u"即位礼正殿の儀" },
        NamedDay { 1993, 6, 9, u"皇太子徳仁親王の結婚の儀" }, NamedDay { 2002, 7, 20, u"海の日" },
        NamedDay { 2003, 7, 21, u"海の日" }, NamedDay { 2003, 9, 15, u"敬老の日" },
        NamedDay { 2002, 9, 16, u"振替休日" }, NamedDay { 2015, 8, 11, u"" }, NamedDay { 2016, 8, 11, u"山の日" }),
    DateName);

INSTANTIATE_TEST_SUITE_P(CurrentLaw2019To2021, HolidayCalendarLawNameTest,
    testing::Values(NamedDay { 2019, 4, 29, u"昭和の日" }, NamedDay { 2019, 4, 30, u"国民の休日" },
        NamedDay { 2019, 5, 1, u"天皇の即位の日" }, NamedDay { 2019, 5, 2, u"国民の休日" },
        NamedDay { 2019, 5, 6, u"振替休日" }, NamedDay { 2019, 10, 14, u"体育の日" },
        NamedDay { 2019, 10, 22, u"即位礼正殿の儀" }, NamedDay { 2020, 7, 20, u"" },
        NamedDay { 2020, 7, 23, u"海の日" }, NamedDay { 2020, 7, 24, u"スポーツの日" },
        NamedDay { 2020, 8, 10, u"山の日" }, NamedDay { 2020, 8, 11, u"" }, NamedDay { 2020, 10, 12, u"" },
        NamedDay { 2021, 7, 19, u"" }, NamedDay { 2021, 7, 22, u"海の日" }, NamedDay { 2021, 7, 23, u"スポーツの日" },
        NamedDay { 2021, 8, 8, u"山の日" }, NamedDay { 2021, 8, 9, u"振替休日" }, NamedDay { 2021, 8, 11, u"" },
        NamedDay { 2021, 10, 11, u"" }, NamedDay { 2022, 7, 18, u"海の日" }, NamedDay { 2022, 10, 10, u"スポーツの日" },
        NamedDay { 2022, 8, 11, u"山の日" }),
    DateName);

// 6 May after a Golden Week with a Sunday in it. The program's own table: the
// day after a Sunday 5 May, and from 2008 whenever 5 May is a Sunday, Monday
// or Tuesday, never on a Wednesday to Saturday. By the law: the day after a
// Sunday 5 May from 1973, and from 2007 when any of 3 to 5 May is a Sunday.
class GoldenWeekSubstituteTest : public testing::TestWithParam<int> { };

TEST_P(GoldenWeekSubstituteTest, SixthOfMayIsOffExactlyWhenTheRuleSaysSo)
{
    const int weekday = GetParam(); // of 5 May, 1 = Sunday
    int years = 0;
    for (int year = 1948; year <= 2400; ++year) {
        if (QDate(year, 5, 5).dayOfWeek() % 7 + 1 != weekday)
            continue;
        ++years;
        const bool builtIn = year > 2007 ? weekday <= 3 : weekday == 1;
        const bool law = year >= 2007 ? weekday <= 3 : weekday == 1 && year >= 1973;
        for (const auto& [table, off, name] : { std::make_tuple(HolidayTable::BuiltIn, builtIn, u"振休"),
                 std::make_tuple(HolidayTable::CurrentLaw, law, u"振替休日") }) {
            const char* which = table == HolidayTable::BuiltIn ? " built-in" : " by law";
            QString named;
            for (const MonthHoliday& h : NationalHolidaysOfMonth(year, 5, table)) {
                if (h.Day == 6) {
                    named = h.Name;
                    EXPECT_TRUE(h.IsSubstitute) << year << which;
                }
            }
            EXPECT_EQ(named, off ? QString::fromUtf16(name) : QString()) << year << which;
            int coded = 0;
            for (const FiscalYearHoliday& h : NationalHolidaysOfFiscalYear(year, table)) {
                if (h.Month == 5 && h.Day == 6) {
                    ++coded;
                    EXPECT_EQ(h.Code, DayCode::SubstituteHoliday) << year << which;
                }
            }
            EXPECT_EQ(coded, off ? 1 : 0) << year << which;
        }
    }
    EXPECT_GT(years, 60);
}

std::string WeekdayName(const testing::TestParamInfo<int>& info)
{
    static const char* const Names[] = { "Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday" };
    return Names[info.param - 1];
}

INSTANTIATE_TEST_SUITE_P(EveryWeekdayOfTheFifth, GoldenWeekSubstituteTest, testing::Range(1, 8), WeekdayName);
