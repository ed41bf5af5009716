#include "core/LeaveCharts.h"

#include <gtest/gtest.h>

#include <QFile>

#include "LeaveDataSets.h"
#include "TestSupport.h"
#include "core/FiscalYearDayTable.h"
#include "core/Settings.h"

namespace {

int DaysOfBar(const LeaveCharts::LeaveBar& bar)
{
    int days = 0;
    for (int other : bar.Other)
        days += other;
    return days;
}

} // namespace

TEST(LeaveCharts, TheNewestTwentyYearsWithLeaveEachAsTheTotalsCountIt)
{
    TempDataDirectory data;
    SaveYearsOfLeave(1998, 2024);
    // A year whose only record is cleared, and one whose only leave a later
    // record of its date overrules, have no bar.
    LeaveStore::SaveEntry(2030, 5, 1, 1, QString());
    LeaveStore::SaveEntry(2030, 5, 1, 0, QString());
    LeaveStore::SaveEntry(2031, 5, 1, 4, QString());
    QFile file(LeaveStore::FilePath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    const LeaveRecord overruling = LeaveRecord::Make(2031, 5, 1, 11, QString());
    ASSERT_EQ(file.write(reinterpret_cast<const char*>(overruling.Data()), LeaveRecord::Size), LeaveRecord::Size);
    file.close();
    // Recorded after them in the file, but of an older year.
    LeaveStore::SaveEntry(2025, 4, 1, 2, QString());

    const std::vector<LeaveCharts::LeaveBar> bars = LeaveCharts::YearBars();
    ASSERT_EQ(bars.size(), 20u);
    const std::array<bool, 7> daysOff = Settings::ReadDaysOff().Weekly;
    for (size_t i = 0; i < bars.size(); ++i) {
        const int fiscalYear = 2006 + int(i);
        ASSERT_EQ(bars[i].Period, fiscalYear);
        FiscalYearDayTable table;
        BuildFiscalYearDayTable(fiscalYear, table);
        const YearTotals totals = TotalFiscalYear(FiscalYearCodes::FromDayTable(table), fiscalYear, daysOff);
        EXPECT_EQ(bars[i].Paid, totals.Paid) << fiscalYear;
        EXPECT_EQ(bars[i].Other[0], totals.Count(CountedCode::RegularDayOff)) << fiscalYear;
        EXPECT_EQ(bars[i].Other[6], totals.Count(CountedCode::HolidayWork)) << fiscalYear;
        EXPECT_GT(bars[i].Paid + float(DaysOfBar(bars[i])), 0);
    }
    EXPECT_EQ(bars.back().Paid, 0.5f); // 2025: the one AM
}

TEST(LeaveCharts, MonthsAddUpToTheYearAndMatchThePaidLeaveByMonth)
{
    TempDataDirectory data;
    SaveYearsOfLeave(2023, 2023);
    FiscalYearDayTable table;
    BuildFiscalYearDayTable(2023, table);
    const FiscalYearCodes codes = FiscalYearCodes::FromDayTable(table);
    const std::vector<LeaveCharts::LeaveBar> months = LeaveCharts::MonthBars(codes, 2023);
    const YearTotals year = TotalFiscalYear(codes, 2023, {});
    const MonthlyPaidLeave paid = TotalPaidLeaveByMonth(codes);
    ASSERT_EQ(months.size(), 12u);
    std::array<int, 7> other {};
    for (int position = 1; position <= 12; ++position) {
        const LeaveCharts::LeaveBar& bar = months[size_t(position - 1)];
        EXPECT_EQ(bar.Period, position);
        EXPECT_EQ(bar.Paid, paid.Days(position)) << position;
        for (size_t k = 0; k < other.size(); ++k)
            other[k] += bar.Other[k];
    }
    for (size_t k = 0; k < other.size(); ++k)
        EXPECT_EQ(other[k], year.Count(LeaveCharts::OtherKinds[k])) << k;
}

// Each step of the balance line is the balance the paid-leave computation
// gives as of that day: through grants, leave beyond the grants, expiry,
// a starting balance and a day with both an expiry and leave.
TEST(LeaveCharts, EveryStepOfTheBalanceIsTheBalanceAsOfItsDay)
{
    PaidLeave::Rules rules;
    rules.Hired = QDate(2015, 4, 1);
    rules.StartDate = QDate(2016, 1, 1);
    rules.Carried = { { QDate(2015, 10, 1), 14 } };
    std::vector<PaidLeave::Use> uses;
    for (QDate day(2015, 12, 1); day < QDate(2022, 1, 1); day = day.addDays(23))
        uses.push_back({ int32_t(day.toJulianDay()), 1 + int(day.day() % 2) });
    // Many days in a row: more than was left, so some are beyond the grants.
    for (int i = 0; i < 30; ++i)
        uses.push_back({ int32_t(QDate(2022, 3, 1).toJulianDay()) + i, 2 });
    // The day after the 2019 grant's last valid day.
    uses.push_back({ int32_t(QDate(2021, 10, 1).toJulianDay()), 2 });
    std::sort(uses.begin(), uses.end(), [](const auto& a, const auto& b) { return a.Day < b.Day; });
    uses.erase(
        std::unique(uses.begin(), uses.end(), [](const auto& a, const auto& b) { return a.Day == b.Day; }), uses.end());

    const QDate today(2023, 6, 30);
    const std::optional<LeaveCharts::PaidLeaveChart> chart = LeaveCharts::PaidLeaveOf(rules, uses, today);
    ASSERT_TRUE(chart);
    const PaidLeave::Balance whole = *PaidLeave::Compute(rules, uses, today);
    EXPECT_GT(whole.BeyondGrants, 0);
    ASSERT_FALSE(chart->Steps.empty());
    EXPECT_EQ(chart->Steps.front().Date, QDate(2016, 1, 1));
    EXPECT_EQ(chart->Steps.back().HalfDays, whole.Left);
    for (const LeaveCharts::BalanceStep& step : chart->Steps) {
        ASSERT_LE(step.Date, today);
        EXPECT_EQ(step.HalfDays, PaidLeave::Compute(rules, uses, step.Date)->Left)
            << step.Date.toString().toStdString();
    }
    EXPECT_FALSE(LeaveCharts::PaidLeaveOf({}, uses, today));
}

TEST(LeaveCharts, TheWindowBoundsAreKeptOnlyOnceWritten)
{
    TempDataDirectory data;
    EXPECT_FALSE(Settings::ChartWindowBounds());
    data.Write(QStringLiteral("orbelund.ini"), "[Chart]\r\nTop=5\r\nLeft=6\r\nWidth=700\r\n");
    EXPECT_FALSE(Settings::ChartWindowBounds()); // a key missing
    Settings::WriteChartWindowBounds({ 20, 30, 640, 480 });
    EXPECT_EQ(Settings::ChartWindowBounds(), (Settings::WindowBounds { 20, 30, 640, 480 }));
}
