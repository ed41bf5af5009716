#include "core/PaidLeave.h"

#include <gtest/gtest.h>

#include <map>
#include <random>

#include "TestSupport.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "core/PaidLeaveSettings.h"

using namespace PaidLeave;

namespace {

QDate D(int y, int m, int d) { return QDate(y, m, d); }

Rules HiredOn(const QDate& date, GrantRule rule = GrantRule::HiringDate, int fixedMonth = 4, int fixedDay = 1)
{
    Rules rules;
    rules.Hired = date;
    rules.Rule = rule;
    rules.FixedMonth = fixedMonth;
    rules.FixedDay = fixedDay;
    return rules;
}

struct Day {
    QDate date;
    LeaveKind kind;
};

std::vector<Use> Uses(const std::vector<Day>& days)
{
    std::vector<LeaveRecord> records;
    for (const Day& day : days)
        records.push_back(LeaveRecord::Make(day.date.year(), day.date.month(), day.date.day(), int(day.kind), {}));
    return UsesOf(records);
}

// Full days from `first` on, one each calendar day.
std::vector<Day> FullDays(const QDate& first, int count)
{
    std::vector<Day> days;
    for (int i = 0; i < count; ++i)
        days.push_back({ first.addDays(i), LeaveKind::FullDay });
    return days;
}

Balance BalanceOn(const Rules& rules, const std::vector<Day>& days, const QDate& today)
{
    const std::optional<Balance> balance = Compute(rules, Uses(days), today);
    EXPECT_TRUE(balance.has_value());
    return balance.value_or(Balance {});
}

// "2021/04/01 10.0+0.0 -0.0 x0.0 =10.0 ~2023/03/31": a row as the table shows it.
QString RowText(const GrantRow& row)
{
    return DateText(row.Date) + u' ' + DaysText(row.Granted) + u'+' + DaysText(row.CarriedIn) + QStringLiteral(" -")
        + DaysText(row.Used) + QStringLiteral(" x") + DaysText(row.Expired) + QStringLiteral(" =") + DaysText(row.Left)
        + QStringLiteral(" ~") + DateText(row.ValidUntil);
}

QStringList Rows(const Balance& balance)
{
    QStringList rows;
    for (const GrantRow& row : balance.Grants)
        rows << RowText(row);
    return rows;
}

} // namespace

TEST(PaidLeaveGrants, AHireOnFirstOctoberGetsTenDaysSixMonthsLaterThenMoreEachYear)
{
    const Rules rules = HiredOn(D(2020, 10, 1));
    const Balance balance = BalanceOn(rules, {}, D(2028, 5, 1));
    EXPECT_EQ(Rows(balance),
        (QStringList { u"2021/04/01 10.0+0.0 -0.0 x10.0 =0.0 ~2023/03/31"_qs,
            u"2022/04/01 11.0+0.0 -0.0 x11.0 =0.0 ~2024/03/31"_qs,
            u"2023/04/01 12.0+0.0 -0.0 x12.0 =0.0 ~2025/03/31"_qs,
            u"2024/04/01 14.0+0.0 -0.0 x14.0 =0.0 ~2026/03/31"_qs,
            u"2025/04/01 16.0+0.0 -0.0 x16.0 =0.0 ~2027/03/31"_qs,
            u"2026/04/01 18.0+0.0 -0.0 x18.0 =0.0 ~2028/03/31"_qs,
            u"2027/04/01 20.0+0.0 -0.0 x0.0 =20.0 ~2029/03/31"_qs,
            u"2028/04/01 20.0+0.0 -0.0 x0.0 =20.0 ~2030/03/31"_qs }));
    EXPECT_EQ(DaysText(balance.Left), u"40.0"_qs);
    ASSERT_TRUE(balance.NextGrant);
    EXPECT_EQ(balance.NextGrant->Date, D(2029, 4, 1));
    EXPECT_EQ(balance.NextGrant->HalfDays, 40);

    // Nothing before the first grant; the grant is usable on its own day.
    EXPECT_TRUE(BalanceOn(rules, {}, D(2021, 3, 31)).Grants.empty());
    EXPECT_EQ(BalanceOn(rules, {}, D(2021, 3, 31)).NextGrant, (DatedDays { D(2021, 4, 1), 20 }));
    EXPECT_EQ(BalanceOn(rules, { { D(2021, 4, 1), LeaveKind::FullDay } }, D(2021, 4, 1)).Left, 18);
}

TEST(PaidLeaveGrants, AFixedGrantDayBringsEveryGrantButTheFirstForward)
{
    // Hired 15 January: the first grant on its due date, 15 July; the next,
    // due a year later, on the 1 April before that.
    const Rules january = HiredOn(D(2021, 1, 15), GrantRule::FixedDate);
    EXPECT_EQ(GrantDate(january, 0), D(2021, 7, 15));
    EXPECT_EQ(GrantDate(january, 1), D(2022, 4, 1));
    EXPECT_EQ(GrantDate(january, 2), D(2023, 4, 1));
    EXPECT_EQ(GrantDate(HiredOn(D(2021, 1, 15)), 1), D(2022, 7, 15));

    // Hired on the fixed day itself: nothing on the day of the hire.
    const Rules april = HiredOn(D(2021, 4, 1), GrantRule::FixedDate);
    const Balance balance = BalanceOn(april, {}, D(2023, 4, 1));
    EXPECT_EQ(Rows(balance),
        (QStringList { u"2021/10/01 10.0+0.0 -0.0 x0.0 =10.0 ~2023/09/30"_qs,
            u"2022/04/01 11.0+0.0 -0.0 x0.0 =11.0 ~2024/03/31"_qs,
            u"2023/04/01 12.0+0.0 -0.0 x0.0 =12.0 ~2025/03/31"_qs }));

    // A hire whose due dates fall on the fixed day gets the same grants
    // under both rules.
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(GrantDate(HiredOn(D(2020, 10, 1), GrantRule::FixedDate), k), GrantDate(HiredOn(D(2020, 10, 1)), k));
}

TEST(PaidLeaveGrants, TwentyNinthOfFebruary)
{
    // A fixed 29 February falls on 28 February in a common year.
    EXPECT_EQ(FixedDayOnOrBefore(D(2023, 6, 1), 2, 29), D(2023, 2, 28));
    EXPECT_EQ(FixedDayOnOrBefore(D(2024, 6, 1), 2, 29), D(2024, 2, 29));
    EXPECT_EQ(FixedDayOnOrBefore(D(2024, 2, 28), 2, 29), D(2023, 2, 28));
    EXPECT_EQ(FixedDayOnOrBefore(D(2024, 2, 29), 2, 29), D(2024, 2, 29)); // the day itself
    EXPECT_FALSE(FixedDayOnOrBefore(D(2024, 6, 1), 2, 30).isValid());
    EXPECT_FALSE(FixedDayOnOrBefore(D(2024, 6, 1), 13, 1).isValid());
    // A fixed day no year has leaves the grants on their due dates.
    EXPECT_EQ(GrantDate(HiredOn(D(2020, 10, 1), GrantRule::FixedDate, 2, 30), 1), D(2022, 4, 1));

    // Due dates count from the hiring date each time, so a hire on
    // 31 August is due on 29 February in leap years again.
    const Rules august = HiredOn(D(2019, 8, 31));
    EXPECT_EQ(GrantDate(august, 0), D(2020, 2, 29));
    EXPECT_EQ(GrantDate(august, 1), D(2021, 2, 28));
    EXPECT_EQ(GrantDate(august, 4), D(2024, 2, 29));

    // A grant of 29 February is valid to the end of February two years on
    // and expires on 1 March; its five-day year ends on 28 February.
    EXPECT_EQ(RowText(BalanceOn(august, {}, D(2022, 2, 28)).Grants[0]),
        u"2020/02/29 10.0+0.0 -0.0 x0.0 =10.0 ~2022/02/28"_qs);
    const Balance balance = BalanceOn(august, {}, D(2022, 3, 1));
    ASSERT_GE(balance.Grants.size(), 3u);
    EXPECT_EQ(RowText(balance.Grants[0]), u"2020/02/29 10.0+0.0 -0.0 x10.0 =0.0 ~2022/02/28"_qs);
    const std::optional<FiveDayRule> fiveDay = BalanceOn(august, {}, D(2021, 2, 27)).FiveDay;
    ASSERT_TRUE(fiveDay);
    EXPECT_EQ(fiveDay->Deadline, D(2021, 2, 28));

    const Rules fixed = HiredOn(D(2019, 1, 10), GrantRule::FixedDate, 2, 29);
    EXPECT_EQ(GrantDate(fixed, 0), D(2019, 7, 10));
    EXPECT_EQ(GrantDate(fixed, 1), D(2020, 2, 29));
    EXPECT_EQ(GrantDate(fixed, 2), D(2021, 2, 28));
}

TEST(PaidLeaveGrants, TheUserSetsTheDaysOfAGrantByItsDate)
{
    Rules rules = HiredOn(D(2020, 10, 1));
    rules.Overrides = { { D(2022, 4, 1), 31 }, { D(2022, 4, 2), 2 } }; // the second matches no grant
    const Balance balance = BalanceOn(rules, {}, D(2022, 5, 1));
    ASSERT_EQ(balance.Grants.size(), 2u);
    EXPECT_FALSE(balance.Grants[0].Overridden);
    EXPECT_TRUE(balance.Grants[1].Overridden);
    EXPECT_EQ(DaysText(balance.Grants[1].Granted), u"15.5"_qs);
    EXPECT_EQ(DaysText(balance.Left), u"25.5"_qs);
}

TEST(PaidLeaveGrants, APartTimeWorkerGetsFewerDaysAndTheFiveDayRuleFromTheTenDayGrantOn)
{
    Rules rules = HiredOn(D(2020, 4, 1));
    rules.WeeklyDays = 4;
    const Balance balance = BalanceOn(rules, {}, D(2028, 1, 1));
    QStringList days, underTheRule;
    for (const GrantRow& row : balance.Grants) {
        days << DaysText(row.Granted);
        if (row.FiveDay)
            underTheRule << DateText(row.Date);
    }
    EXPECT_EQ(days,
        (QStringList { u"7.0"_qs, u"8.0"_qs, u"9.0"_qs, u"10.0"_qs, u"12.0"_qs, u"13.0"_qs, u"15.0"_qs, u"15.0"_qs }));
    EXPECT_EQ(underTheRule,
        (QStringList { u"2023/10/01"_qs, u"2024/10/01"_qs, u"2025/10/01"_qs, u"2026/10/01"_qs, u"2027/10/01"_qs }));
    EXPECT_FALSE(BalanceOn(rules, {}, D(2023, 9, 30)).FiveDay);
    EXPECT_TRUE(BalanceOn(rules, {}, D(2023, 10, 1)).FiveDay);

    // Fewer days a week, fewer days at six and a half years and after.
    const int longest[] = { 3, 7, 11, 15, 20 };
    for (int weekly = 1; weekly <= 5; ++weekly)
        EXPECT_EQ(ScheduledHalfDays(12, weekly), 2 * longest[weekly - 1]) << weekly;

    // One day a week never reaches ten days, unless the user sets a grant.
    rules.WeeklyDays = 1;
    rules.Overrides = { { D(2022, 10, 1), 20 } };
    const Balance oneDay = BalanceOn(rules, {}, D(2040, 1, 1));
    for (const GrantRow& row : oneDay.Grants)
        EXPECT_EQ(row.FiveDay.has_value(), row.Date == D(2022, 10, 1)) << DateText(row.Date).toStdString();
    EXPECT_EQ(DaysText(oneDay.Grants[2].Granted), u"10.0"_qs);
    EXPECT_EQ(DaysText(oneDay.Grants[3].Granted), u"2.0"_qs);
}

TEST(PaidLeaveUse, HalfDaysAndTheOldestGrantFirst)
{
    const Rules rules = HiredOn(D(2020, 10, 1));
    std::vector<Day> days = {
        { D(2021, 5, 6), LeaveKind::FullDay },
        { D(2021, 6, 1), LeaveKind::Morning },
        { D(2021, 6, 2), LeaveKind::Afternoon },
        { D(2021, 6, 3), LeaveKind::SummerLeave }, // not paid leave
        { D(2022, 4, 7), LeaveKind::Morning },
    };
    for (const Day& day : FullDays(D(2022, 4, 4), 3))
        days.push_back(day);
    Balance balance = BalanceOn(rules, days, D(2022, 4, 30));
    EXPECT_EQ(Rows(balance),
        (QStringList { u"2021/04/01 10.0+0.0 -5.5 x0.0 =4.5 ~2023/03/31"_qs,
            u"2022/04/01 11.0+0.0 -0.0 x0.0 =11.0 ~2024/03/31"_qs }));
    EXPECT_EQ(DaysText(balance.Left), u"15.5"_qs);

    // Five more days use up the older grant and then start on the newer one.
    for (const Day& day : FullDays(D(2022, 5, 9), 5))
        days.push_back(day);
    balance = BalanceOn(rules, days, D(2022, 5, 31));
    EXPECT_EQ(Rows(balance),
        (QStringList { u"2021/04/01 10.0+0.0 -10.0 x0.0 =0.0 ~2023/03/31"_qs,
            u"2022/04/01 11.0+0.0 -0.5 x0.0 =10.5 ~2024/03/31"_qs }));
    EXPECT_EQ(balance.BeyondGrants, 0);
    // Leave recorded for later days is not taken yet.
    EXPECT_EQ(DaysText(BalanceOn(rules, days, D(2022, 5, 10)).Left), u"13.5"_qs);
}

TEST(PaidLeaveUse, EveryDateIsItsOwnDayAcrossLeapYearsAndCenturies)
{
    // One full day on every date of the years around the ends of the
    // calendar and the century rules, in order, with a record of each
    // impossible day after a month's last between them.
    std::vector<LeaveRecord> records;
    std::vector<QDate> expected;
    for (const int from : { 1, 1896, 1996, 2096, 9995 }) {
        for (QDate date(from, 1, 1); date.year() < from + 5; date = date.addDays(1)) {
            records.push_back(LeaveRecord::Make(date.year(), date.month(), date.day(), 1, {}));
            expected.push_back(date);
            if (date.day() == date.daysInMonth())
                records.push_back(LeaveRecord::Make(date.year(), date.month(), date.day() + 1, 1, {}));
        }
    }
    const std::vector<Use> uses = UsesOf(records);
    ASSERT_EQ(uses.size(), expected.size());
    for (size_t i = 0; i < uses.size(); ++i)
        ASSERT_EQ(QDate::fromJulianDay(uses[i].Day), expected[i]);
}

TEST(PaidLeaveUse, LeaveNoGrantCoversIsCountedApart)
{
    const Rules rules = HiredOn(D(2020, 10, 1));
    std::vector<Day> days = FullDays(D(2021, 3, 1), 2); // before the first grant
    for (const Day& day : FullDays(D(2021, 4, 5), 11)) // one more than granted
        days.push_back(day);
    const Balance balance = BalanceOn(rules, days, D(2022, 4, 1));
    EXPECT_EQ(DaysText(balance.BeyondGrants), u"3.0"_qs);
    // The next grant is untouched by it.
    EXPECT_EQ(DaysText(balance.Left), u"11.0"_qs);
}

TEST(PaidLeaveExpiry, AGrantExpiresWithWhatIsLeftOfIt)
{
    const Rules rules = HiredOn(D(2020, 10, 1));
    const std::vector<Day> days = FullDays(D(2021, 7, 1), 7);

    // The day before the second anniversary it is still there, and it is
    // announced three months ahead.
    Balance balance = BalanceOn(rules, days, D(2023, 3, 31));
    EXPECT_EQ(RowText(balance.Grants[0]), u"2021/04/01 10.0+0.0 -7.0 x0.0 =3.0 ~2023/03/31"_qs);
    EXPECT_EQ(balance.ExpiringSoon, (std::vector<DatedDays> { { D(2023, 3, 31), 6 } }));
    EXPECT_EQ(BalanceOn(rules, days, D(2022, 12, 31)).ExpiringSoon.size(), 1u);
    EXPECT_TRUE(BalanceOn(rules, days, D(2022, 12, 30)).ExpiringSoon.empty());

    // On the anniversary the three days are gone; the new grant of that day
    // is there.
    balance = BalanceOn(rules, days, D(2023, 4, 1));
    EXPECT_EQ(RowText(balance.Grants[0]), u"2021/04/01 10.0+0.0 -7.0 x3.0 =0.0 ~2023/03/31"_qs);
    EXPECT_EQ(DaysText(balance.Left), u"23.0"_qs);
    EXPECT_TRUE(balance.ExpiringSoon.empty());

    // A day taken on the anniversary comes from the newer grants.
    balance = BalanceOn(rules, { { D(2023, 4, 1), LeaveKind::FullDay } }, D(2023, 4, 1));
    EXPECT_EQ(RowText(balance.Grants[0]), u"2021/04/01 10.0+0.0 -0.0 x10.0 =0.0 ~2023/03/31"_qs);
    EXPECT_EQ(RowText(balance.Grants[1]), u"2022/04/01 11.0+0.0 -1.0 x0.0 =10.0 ~2024/03/31"_qs);
}

TEST(PaidLeaveFiveDays, TheWarningComesWithLessThanThreeMonthsLeft)
{
    const Rules rules = HiredOn(D(2020, 10, 1));
    std::vector<Day> days = FullDays(D(2023, 3, 27), 4); // before the grant year: not counted
    for (const Day& day : FullDays(D(2023, 5, 1), 4))
        days.push_back(day);
    days.push_back({ D(2023, 6, 1), LeaveKind::Morning });

    Balance balance = BalanceOn(rules, days, D(2024, 1, 1));
    ASSERT_TRUE(balance.FiveDay);
    EXPECT_EQ(balance.FiveDay->GrantDate, D(2023, 4, 1));
    EXPECT_EQ(balance.FiveDay->Deadline, D(2024, 3, 31));
    EXPECT_EQ(DaysText(balance.FiveDay->Taken), u"4.5"_qs);
    EXPECT_FALSE(balance.FiveDay->Met());
    EXPECT_TRUE(balance.FiveDay->Warning);

    // Exactly three months left: no warning yet.
    balance = BalanceOn(rules, days, D(2023, 12, 31));
    ASSERT_TRUE(balance.FiveDay);
    EXPECT_FALSE(balance.FiveDay->Warning);

    // Half a day more and the rule is met.
    days.push_back({ D(2023, 12, 1), LeaveKind::Afternoon });
    balance = BalanceOn(rules, days, D(2024, 3, 31));
    ASSERT_TRUE(balance.FiveDay);
    EXPECT_TRUE(balance.FiveDay->Met());
    EXPECT_FALSE(balance.FiveDay->Warning);

    // A grant of ten days is under the rule, one of nine and a half is not.
    Rules small = rules;
    small.Overrides = { { D(2023, 4, 1), 20 } };
    EXPECT_TRUE(BalanceOn(small, days, D(2024, 1, 1)).FiveDay);
    small.Overrides = { { D(2023, 4, 1), 19 } };
    EXPECT_FALSE(BalanceOn(small, days, D(2024, 1, 1)).FiveDay);
}

TEST(PaidLeaveFiveDays, EveryGrantYearKeepsItsOutcome)
{
    const Rules rules = HiredOn(D(2020, 10, 1));
    std::vector<Day> days = FullDays(D(2022, 3, 29), 3); // 3/31 is the first year's last day
    days.push_back({ D(2022, 4, 1), LeaveKind::Morning }); // the second year's first
    for (const Day& day : FullDays(D(2022, 6, 1), 5))
        days.push_back(day);
    days.push_back({ D(2023, 5, 1), LeaveKind::FullDay });
    const Balance balance = BalanceOn(rules, days, D(2023, 6, 1));
    ASSERT_EQ(balance.Grants.size(), 3u);
    QStringList outcomes;
    for (const GrantRow& row : balance.Grants) {
        ASSERT_TRUE(row.FiveDay);
        outcomes << DateText(row.FiveDay->Deadline) + u' ' + DaysText(row.FiveDay->Taken)
                + (row.FiveDay->Over ? u" over"_qs : u" running"_qs) + (row.FiveDay->Met() ? u" met"_qs : u""_qs);
    }
    EXPECT_EQ(outcomes,
        (QStringList { u"2022/03/31 3.0 over"_qs, u"2023/03/31 5.5 over met"_qs, u"2024/03/31 1.0 running"_qs }));
    // The present year is the one the window speaks of.
    ASSERT_TRUE(balance.FiveDay);
    EXPECT_EQ(balance.FiveDay->GrantDate, D(2023, 4, 1));
}

TEST(PaidLeaveStartingBalance, CarriedDaysStandForTheYearsBeforeTheRecords)
{
    Rules rules = HiredOn(D(2010, 4, 1)); // due every 1 October
    rules.StartDate = D(2023, 1, 1);
    rules.Carried
        = { { D(2022, 10, 1), 40 }, { D(2021, 10, 1), 11 }, { D(2023, 2, 1), 6 } }; // the last lies after the start
    const std::vector<Day> days = {
        { D(2022, 12, 1), LeaveKind::FullDay }, // before the start: in the balance entered
        { D(2023, 2, 1), LeaveKind::FullDay },
        { D(2023, 2, 2), LeaveKind::Morning },
    };
    Balance balance = BalanceOn(rules, days, D(2023, 6, 1));
    EXPECT_EQ(Rows(balance),
        (QStringList { u"2021/10/01 0.0+5.5 -1.5 x0.0 =4.0 ~2023/09/30"_qs,
            u"2022/10/01 0.0+20.0 -0.0 x0.0 =20.0 ~2024/09/30"_qs }));
    EXPECT_TRUE(balance.Grants[0].FromStartingBalance);
    EXPECT_FALSE(balance.Grants[1].FiveDay);
    EXPECT_EQ(DaysText(balance.Left), u"24.0"_qs);
    EXPECT_FALSE(balance.FiveDay); // its year began before the records
    EXPECT_EQ(balance.NextGrant, (DatedDays { D(2023, 10, 1), 40 }));

    balance = BalanceOn(rules, days, D(2023, 10, 1));
    ASSERT_EQ(balance.Grants.size(), 3u);
    EXPECT_EQ(RowText(balance.Grants[0]), u"2021/10/01 0.0+5.5 -1.5 x4.0 =0.0 ~2023/09/30"_qs);
    EXPECT_EQ(RowText(balance.Grants[2]), u"2023/10/01 20.0+0.0 -0.0 x0.0 =20.0 ~2025/09/30"_qs);
    EXPECT_EQ(DaysText(balance.Left), u"40.0"_qs);
}

// The calendars' view of the records: the last of each possible date
// counts; the paid ones with their half days, in date order.
std::vector<std::pair<QDate, int>> ReferencePaidDays(const std::vector<LeaveRecord>& records)
{
    std::map<QDate, int> kinds;
    for (const LeaveRecord& record : records) {
        if (!record.Cleared() && QDate::isValid(record.Year(), record.Month(), record.Day()) && record.Year() >= 1)
            kinds[QDate(record.Year(), record.Month(), record.Day())] = record.Kind();
    }
    std::vector<std::pair<QDate, int>> paid;
    for (const auto& [day, kind] : kinds) {
        if (kind >= 1 && kind <= 3)
            paid.emplace_back(day, kind == 1 ? 2 : 1);
    }
    return paid;
}

// The day a grant lapses: its second anniversary, or 1 March for a grant of
// 29 February, which is valid through 28 February.
QDate Lapses(const QDate& granted)
{
    const QDate anniversary = granted.addYears(2);
    return anniversary.day() == granted.day() ? anniversary : anniversary.addDays(1);
}

// The same rules counted the plain way, with QDate and one use at a time:
// the grant rows (as RowText gives them), then "left" and "beyond" in half
// days.
QStringList ReferenceBalance(const Rules& rules, const std::vector<LeaveRecord>& records, const QDate& today)
{
    struct Grant {
        GrantRow row;
        QDate expires;
    };
    const QDate start = rules.StartDate && *rules.StartDate <= today ? *rules.StartDate : QDate();
    std::vector<Grant> grants;
    if (start.isValid()) {
        for (const DatedDays& carried : rules.Carried) {
            if (carried.Date <= start && carried.HalfDays > 0) {
                Grant grant { {}, Lapses(carried.Date) };
                grant.row.Date = carried.Date;
                grant.row.CarriedIn = grant.row.Left = carried.HalfDays;
                grants.push_back(grant);
            }
        }
        std::stable_sort(
            grants.begin(), grants.end(), [](const Grant& a, const Grant& b) { return a.row.Date < b.row.Date; });
    }
    QDate previous;
    for (int k = 0;; ++k) {
        const QDate due = rules.Hired->addMonths(6 + 12 * k);
        QDate date = due;
        if (rules.Rule == GrantRule::FixedDate && k > 0) {
            const auto inYear = [&](int year) {
                return QDate(
                    year, rules.FixedMonth, std::min(rules.FixedDay, QDate(year, rules.FixedMonth, 1).daysInMonth()));
            };
            const QDate fixed = inYear(due.year()) <= due ? inYear(due.year()) : inYear(due.year() - 1);
            if (fixed > previous)
                date = fixed;
        }
        previous = date;
        if (date > today)
            break;
        if (start.isValid() && date <= start)
            continue;
        Grant grant { {}, Lapses(date) };
        grant.row.Date = date;
        grant.row.Granted = ScheduledHalfDays(k, rules.WeeklyDays);
        for (const DatedDays& entry : rules.Overrides) {
            if (entry.Date == date)
                grant.row.Granted = entry.HalfDays;
        }
        grant.row.Left = grant.row.Granted;
        grants.push_back(grant);
    }

    int beyond = 0;
    const auto expireOn = [&](const QDate& day) {
        for (Grant& grant : grants) {
            if (grant.expires <= day) {
                grant.row.Expired += grant.row.Left;
                grant.row.Left = 0;
            }
        }
    };
    for (const auto& [day, need] : ReferencePaidDays(records)) {
        if (day > today || (start.isValid() && day < start))
            continue;
        expireOn(day);
        int left = need;
        for (Grant& grant : grants) {
            const int taken = grant.row.Date <= day ? std::min(grant.row.Left, left) : 0;
            grant.row.Left -= taken;
            grant.row.Used += taken;
            left -= taken;
        }
        beyond += left;
    }
    expireOn(today);
    QStringList result;
    int left = 0;
    for (Grant& grant : grants) {
        grant.row.ValidUntil = grant.expires.addDays(-1);
        result << RowText(grant.row);
        left += grant.row.Left;
    }
    return result << QString::number(left) << QString::number(beyond);
}

TEST(PaidLeaveRules, TheBalanceAgreesWithAPlainDayByDayCount)
{
    // Careers with every rule and with leave above and below the grants, in
    // date order, mostly in date order and shuffled, with cleared days,
    // duplicates and impossible dates among the records.
    std::mt19937 random(20261207);
    const auto between = [&](int low, int high) { return std::uniform_int_distribution<int>(low, high)(random); };
    for (int career = 0; career < 300; ++career) {
        Rules rules;
        const int hireMonth = between(1, 12);
        rules.Hired = D(between(1990, 2020), hireMonth, between(1, QDate(2001, hireMonth, 1).daysInMonth()));
        if (between(0, 1) == 1) {
            rules.Rule = GrantRule::FixedDate;
            rules.FixedMonth = between(1, 12);
            rules.FixedDay = between(1, QDate(2000, rules.FixedMonth, 1).daysInMonth());
        }
        rules.WeeklyDays = between(1, 5);
        const QDate today = rules.Hired->addDays(between(0, 15 * 365));
        if (between(0, 3) == 0)
            rules.Overrides.push_back({ rules.Hired->addMonths(6 + 12 * between(0, 10)), between(0, 40) });
        if (between(0, 3) == 0) {
            rules.StartDate = rules.Hired->addDays(between(0, 10 * 365));
            for (int n = between(0, 3); n > 0; --n)
                rules.Carried.push_back({ rules.StartDate->addDays(-between(0, 800)), between(-1, 40) });
        }
        const int perYear = between(0, 3) == 0 ? 150 : between(1, 25);
        std::vector<LeaveRecord> records;
        for (QDate day = rules.Hired->addDays(-between(0, 400)); day <= today.addDays(200);
             day = day.addDays(between(1, 2 * 365 / perYear))) {
            const int kind = between(0, 3) == 0 ? between(0, 10) : between(1, 3);
            records.push_back(LeaveRecord::Make(day.year(), day.month(), day.day(), kind, {}));
            if (between(0, 30) == 0) // the same date again later in the file
                records.push_back(LeaveRecord::Make(day.year(), day.month(), day.day(), between(0, 10), {}));
            if (between(0, 50) == 0)
                records.push_back(LeaveRecord::Make(day.year(), 2, 30, 1, {}));
        }
        if (career % 3 == 1) {
            std::shuffle(records.begin(), records.end(), random);
        } else if (career % 3 == 2 && !records.empty()) {
            // Mostly in date order: a few days entered ahead of the others.
            for (int n = between(1, 4); n > 0; --n) {
                const auto from = records.begin() + between(0, int(records.size()) - 1);
                const LeaveRecord moved = *from;
                records.erase(from);
                records.insert(records.begin() + between(0, int(records.size())), moved);
            }
        }

        const std::vector<Use> uses = UsesOf(records);
        std::vector<std::pair<QDate, int>> days;
        for (const Use& use : uses)
            days.emplace_back(QDate::fromJulianDay(use.Day), use.HalfDays);
        ASSERT_EQ(days, ReferencePaidDays(records)) << "career " << career;
        const std::optional<Balance> balance = Compute(rules, uses, today);
        ASSERT_TRUE(balance);
        const QStringList got = Rows(*balance)
            << QString::number(balance->Left) << QString::number(balance->BeyondGrants);
        ASSERT_EQ(got, ReferenceBalance(rules, records, today))
            << "career " << career << ", hired " << qPrintable(DateText(*rules.Hired)) << ", rule " << int(rules.Rule)
            << " " << rules.FixedMonth << "/" << rules.FixedDay << ", today " << qPrintable(DateText(today));
    }
}

TEST(PaidLeaveRules, NothingIsComputedBeforeTheHiringDateIsSet)
{
    EXPECT_FALSE(Compute(Rules {}, {}, D(2024, 1, 1)));
    // A hire in the last year of the calendar has no grant date to give.
    const Balance late = BalanceOn(HiredOn(D(9999, 12, 1)), {}, D(9999, 12, 31));
    EXPECT_TRUE(late.Grants.empty());
    EXPECT_FALSE(late.NextGrant);
}

TEST(PaidLeaveTexts, DatesAndDaysAsTheUserTypesThem)
{
    EXPECT_EQ(ParseDate(u"2021/4/1"_qs), D(2021, 4, 1));
    EXPECT_EQ(ParseDate(u" 2024/02/29 "_qs), D(2024, 2, 29));
    for (const QString& bad : { u"2023/02/29"_qs, u"2021-04-01"_qs, u""_qs, u"0/1/1"_qs, u"2021/4/1x"_qs })
        EXPECT_FALSE(ParseDate(bad)) << bad.toStdString();
    EXPECT_EQ(ParseHalfDays(u"11.5"_qs), 23);
    EXPECT_EQ(ParseHalfDays(u"12"_qs), 24);
    EXPECT_EQ(ParseHalfDays(u"0.0"_qs), 0);
    for (const QString& bad : { u"11.3"_qs, u"-1"_qs, u""_qs, u"99999"_qs, u"1e3"_qs })
        EXPECT_FALSE(ParseHalfDays(bad)) << bad.toStdString();
    EXPECT_EQ(DateText(D(812, 3, 5)), u"0812/03/05"_qs);
}

class PaidLeaveFileTest : public ::testing::Test {
protected:
    TempDataDirectory data;

    static QByteArray Record(int year, int month, int day, int kind, bool cleared = false)
    {
        LeaveRecord record = LeaveRecord::Make(year, month, day, kind, {});
        record.Data()[16] = cleared ? 1 : 0;
        return QByteArray(reinterpret_cast<const char*>(record.Data()), LeaveRecord::Size);
    }
};

TEST_F(PaidLeaveFileTest, ClearedDaysDamagedRecordsAndDuplicatesAsTheCalendarsShowThem)
{
    QByteArray file;
    // In date order: the records of a date stand together.
    file += Record(2021, 5, 6, 1); // counts
    file += Record(2021, 5, 7, 1);
    file += Record(2021, 5, 7, 0, true); // a later cleared record hides nothing
    file += Record(2021, 5, 10, 1, true); // cleared: never counts
    file += Record(2021, 5, 11, 99); // no such kind
    file += Record(2021, 5, 12, 1);
    file += Record(2021, 5, 12, 2); // the later record of the date: half a day
    file += Record(2021, 5, 13, 1);
    file += Record(2021, 5, 13, 5); // the later record is a summer holiday
    file += Record(2021, 5, 32, 1); // no such day
    file += Record(2021, 13, 1, 1); // no such month
    // Out of date order: from here on every record is kept.
    file += Record(2021, 4, 20, 3);
    file += Record(2021, 5, 6, 5); // a summer holiday replaces the 全 of 5/6
    file += Record(2021, 5, 14, 3);
    file += Record(2021, 5, 14, 1); // 全 replaces the PM
    file += Record(2021, 2, 29, 1); // no such day
    file += Record(-3, 1, 1, 1); // no such year
    file += "trailing";
    data.Write(QStringLiteral("Holiday.d00"), file);

    const std::optional<Balance> balance = ComputeFromDataFile(HiredOn(D(2020, 10, 1)), D(2021, 6, 1));
    ASSERT_TRUE(balance);
    ASSERT_EQ(balance->Grants.size(), 1u);
    EXPECT_EQ(DaysText(balance->Grants[0].Used), u"3.0"_qs); // 4/20 PM, 5/7, 5/12 AM, 5/14

    // Saved and cleared through the store as the entry dialog does.
    LeaveStore::SaveEntry(2021, 5, 7, 0, QString());
    EXPECT_EQ(DaysText(ComputeFromDataFile(HiredOn(D(2020, 10, 1)), D(2021, 6, 1))->Left), u"8.0"_qs);
}

TEST_F(PaidLeaveFileTest, NoDataFileMeansNoLeaveTaken)
{
    const std::optional<Balance> balance = ComputeFromDataFile(HiredOn(D(2020, 10, 1)), D(2021, 6, 1));
    ASSERT_TRUE(balance);
    EXPECT_EQ(balance->Left, 20);
    EXPECT_FALSE(ComputeFromDataFile(Rules {}, D(2021, 6, 1)));
}

class PaidLeaveSettingsTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    QByteArray File() const { return data.Bytes(QStringLiteral("orbelund.ini")); }
    void SetFile(const QByteArray& bytes) const { data.Write(QStringLiteral("orbelund.ini"), bytes); }
};

TEST_F(PaidLeaveSettingsTest, TheSectionIsAppendedWithEveryKeyInItsOrder)
{
    SetFile("[Holiday]\r\n0=1\r\n6=1\r\n");
    EXPECT_FALSE(PaidLeaveSettings::Read().Hired);

    Rules rules = HiredOn(D(2020, 10, 1), GrantRule::FixedDate, 2, 29);
    rules.Overrides = { { D(2022, 2, 28), 31 }, { D(2023, 2, 28), 24 } };
    rules.StartDate = D(2023, 1, 1);
    rules.Carried = { { D(2022, 2, 28), 1 } };
    PaidLeaveSettings::Write(rules);
    EXPECT_EQ(File(),
        QByteArray("[Holiday]\r\n0=1\r\n6=1\r\n"
                   "[Paid]\r\nHired=2020/10/01\r\nRule=1\r\nFixedMonth=2\r\nFixedDay=29\r\n"
                   "Overrides=2022/02/28:15.5,2023/02/28:12\r\nStart=2023/01/01\r\nCarried=2022/02/28:0.5\r\n"));
    EXPECT_EQ(PaidLeaveSettings::Read(), rules);

    // Cleared again, the keys stay with empty values.
    PaidLeaveSettings::Write(Rules {});
    EXPECT_EQ(File(),
        QByteArray("[Holiday]\r\n0=1\r\n6=1\r\n"
                   "[Paid]\r\nHired=\r\nRule=0\r\nFixedMonth=4\r\nFixedDay=1\r\nOverrides=\r\nStart=\r\nCarried=\r\n"));
    EXPECT_EQ(PaidLeaveSettings::Read(), Rules {});
}

TEST_F(PaidLeaveSettingsTest, DaysAWeekAndTheNoticeAreWrittenOnceChanged)
{
    const QByteArray section = "[Paid]\r\nHired=2020/10/01\r\nRule=0\r\nFixedMonth=4\r\nFixedDay=1\r\n"
                               "Overrides=\r\nStart=\r\nCarried=\r\n";
    Rules rules = HiredOn(D(2020, 10, 1));
    PaidLeaveSettings::Write(rules);
    EXPECT_EQ(File(), section);

    rules.WeeklyDays = 3;
    rules.Notice = false;
    PaidLeaveSettings::Write(rules);
    EXPECT_EQ(File(), section + "WeeklyDays=3\r\nNotice=0\r\n");
    EXPECT_EQ(PaidLeaveSettings::Read(), rules);
    // Set back, they stay as the user's word.
    PaidLeaveSettings::Write(HiredOn(D(2020, 10, 1)));
    EXPECT_EQ(File(), section + "WeeklyDays=5\r\nNotice=1\r\n");

    // The notice's day is its own key, which the rules never touch.
    EXPECT_FALSE(PaidLeaveSettings::LastNotice());
    PaidLeaveSettings::SetLastNotice(D(2024, 3, 5));
    PaidLeaveSettings::Write(rules);
    EXPECT_EQ(File(), section + "WeeklyDays=3\r\nNotice=0\r\nLastNotice=2024/03/05\r\n");
    EXPECT_EQ(PaidLeaveSettings::LastNotice(), D(2024, 3, 5));

    SetFile("[Paid]\r\nHired=2020/10/01\r\nWeeklyDays=6\r\nNotice=x\r\nLastNotice=today\r\n");
    EXPECT_EQ(PaidLeaveSettings::Read(), HiredOn(D(2020, 10, 1)));
    EXPECT_FALSE(PaidLeaveSettings::LastNotice());
}

TEST_F(PaidLeaveSettingsTest, ValuesThatCannotBeReadAreLeftOut)
{
    SetFile("[paid]\r\nhired=2021/02/30\r\nRule=7\r\nFixedMonth=x\r\n"
            "Overrides=2022/04/01:12,junk,2022/04/02,2022/13/01:3,2023/04/01:1.25,2024/04/01:20\r\n"
            "Start=soon\r\nCarried=:,\r\n");
    const Rules rules = PaidLeaveSettings::Read();
    EXPECT_FALSE(rules.Hired);
    EXPECT_EQ(rules.Rule, GrantRule::HiringDate);
    EXPECT_EQ(rules.FixedMonth, 4);
    EXPECT_EQ(rules.Overrides, (std::vector<DatedDays> { { D(2022, 4, 1), 24 }, { D(2024, 4, 1), 40 } }));
    EXPECT_FALSE(rules.StartDate);
    EXPECT_TRUE(rules.Carried.empty());
}

TEST_F(PaidLeaveSettingsTest, AHandEditedListKeepsAHundredItemsOfAtMostFortyDays)
{
    QByteArray carried = "2022/04/01:9999.5,2022/04/01:40.5";
    for (int i = 0; i < 150; ++i)
        carried += ",2022/04/01:40";
    SetFile("[Paid]\r\nOverrides=2023/04/01:40,2024/04/01:40.5\r\nCarried=" + carried + "\r\n");
    const Rules rules = PaidLeaveSettings::Read();
    EXPECT_EQ(rules.Overrides, (std::vector<DatedDays> { { D(2023, 4, 1), 80 } }));
    EXPECT_EQ(rules.Carried, std::vector<DatedDays>(100, { D(2022, 4, 1), 80 }));
}
