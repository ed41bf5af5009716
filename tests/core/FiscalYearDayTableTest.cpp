#include "core/FiscalYearDayTable.h"

#include <algorithm>

#include <QDate>
#include <QFile>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "platform/Errors.h"

class FiscalYearDayTableTest : public testing::Test {
protected:
    // Only the given weekdays (0 Sunday ... 6 Saturday) are days off.
    void SetDaysOff(std::initializer_list<int> weekdays, bool holidays)
    {
        for (int i = 0; i < 7; ++i)
            Settings::WriteWeeklyDayOff(i, std::find(weekdays.begin(), weekdays.end(), i) != weekdays.end());
        Settings::WriteHolidaysAreDaysOff(holidays);
    }

    void WriteRecords(const std::vector<LeaveRecord>& records)
    {
        QByteArray bytes;
        for (const LeaveRecord& r : records)
            bytes.append(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size);
        dir.Write(QStringLiteral("Holiday.d00"), bytes);
    }

    FiscalYearDayTable Build(int fiscalYear)
    {
        FiscalYearDayTable t;
        BuildFiscalYearDayTable(fiscalYear, t);
        return t;
    }

    // Cells of the table showing the text, as dates of the fiscal year.
    static std::vector<QDate> DatesShowing(const FiscalYearDayTable& t, int fiscalYear, const QString& text)
    {
        std::vector<QDate> dates;
        for (const int month : { 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3 }) {
            for (int day = 1; day <= 31; ++day) {
                if (t.Cell(month, day).Text == text)
                    dates.push_back(QDate(month >= 4 ? fiscalYear : fiscalYear + 1, month, day));
            }
        }
        return dates;
    }

    TempDataDirectory dir;
};

TEST_F(FiscalYearDayTableTest, ImpossibleDatesShowASlash)
{
    SetDaysOff({}, false);
    const FiscalYearDayTable fy2023 = Build(2023); // February 2024 has 29 days
    const FiscalYearDayTable fy2024 = Build(2024);
    EXPECT_EQ(fy2023.Cell(2, 29).Text, QString());
    EXPECT_EQ(fy2024.Cell(2, 29).Text, QStringLiteral("／"));
    for (const auto& [month, day] : { std::pair { 4, 31 }, { 6, 31 }, { 9, 31 }, { 11, 31 }, { 2, 30 }, { 2, 31 } }) {
        EXPECT_EQ(fy2023.Cell(month, day).Text, QStringLiteral("／")) << month << '/' << day;
        EXPECT_EQ(fy2023.Cell(month, day).Colour, DayBlack);
    }
    EXPECT_EQ(DatesShowing(fy2024, 2024, QStringLiteral("／")).size(), 7u);
}

TEST_F(FiscalYearDayTableTest, SaturdaysAndSundaysOff)
{
    SetDaysOff({ 0, 6 }, false);
    const FiscalYearDayTable t = Build(2024);
    const std::vector<QDate> sundays = DatesShowing(t, 2024, QStringLiteral("日"));
    const std::vector<QDate> saturdays = DatesShowing(t, 2024, QStringLiteral("土"));
    EXPECT_EQ(sundays.size(), 52u);
    EXPECT_EQ(saturdays.size(), 52u);
    for (const QDate& d : sundays) {
        EXPECT_EQ(d.dayOfWeek(), Qt::Sunday) << d.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(t.Cell(d.month(), d.day()).Colour, DayRed);
    }
    for (const QDate& d : saturdays) {
        EXPECT_EQ(d.dayOfWeek(), Qt::Saturday) << d.toString(Qt::ISODate).toStdString();
        EXPECT_EQ(t.Cell(d.month(), d.day()).Colour, DayBlue);
    }
    EXPECT_EQ(t.Cell(4, 1).Text, QString()); // a Monday
}

TEST_F(FiscalYearDayTableTest, MondaysOffFromTheFirstToTheLastDay)
{
    SetDaysOff({ 1 }, false);
    const FiscalYearDayTable t = Build(2024);
    const std::vector<QDate> mondays = DatesShowing(t, 2024, QStringLiteral("月"));
    ASSERT_EQ(mondays.size(), 53u);
    EXPECT_EQ(mondays.front(), QDate(2024, 4, 1));
    EXPECT_EQ(mondays.back(), QDate(2025, 3, 31));
    EXPECT_EQ(t.Cell(3, 31).Colour, DayBlack);
}

// A leap day inside the fiscal year shifts every later weekday by one.
TEST_F(FiscalYearDayTableTest, EveryWeekdayLandsOnItsDatesInLeapAndCommonYears)
{
    for (int weekday = 0; weekday < 7; ++weekday) {
        SetDaysOff({ weekday }, false);
        for (const int fiscalYear : { 2023, 2024, 1999, 2099 }) {
            const FiscalYearDayTable t = Build(fiscalYear);
            for (QDate d(fiscalYear, 4, 1); d <= QDate(fiscalYear + 1, 3, 31); d = d.addDays(1)) {
                const bool off = d.dayOfWeek() % 7 == weekday;
                EXPECT_EQ(t.Cell(d.month(), d.day()).Text, off ? DayCodeText(100 + weekday) : QString())
                    << d.toString(Qt::ISODate).toStdString();
            }
        }
    }
}

TEST_F(FiscalYearDayTableTest, HolidaysOverrideWeeklyDaysOff)
{
    SetDaysOff({ 0, 6 }, true);
    const FiscalYearDayTable t = Build(2024);
    EXPECT_EQ(t.Cell(11, 3).Text, QStringLiteral("祝")); // a Sunday
    EXPECT_EQ(t.Cell(11, 3).Colour, DayRed);
    EXPECT_EQ(t.Cell(11, 4).Text, QStringLiteral("振"));
    EXPECT_EQ(t.Cell(11, 4).Colour, DayRed);
    EXPECT_EQ(t.Cell(11, 23).Text, QStringLiteral("祝")); // a Saturday
    EXPECT_EQ(t.Cell(11, 23).Colour, DayRed);
}

TEST_F(FiscalYearDayTableTest, NoHolidaysWhenTheyAreNotDaysOff)
{
    SetDaysOff({ 0, 6 }, false);
    const FiscalYearDayTable t = Build(2024);
    EXPECT_TRUE(DatesShowing(t, 2024, QStringLiteral("祝")).empty());
    EXPECT_TRUE(DatesShowing(t, 2024, QStringLiteral("振")).empty());
    EXPECT_EQ(t.Cell(11, 3).Text, QStringLiteral("日"));
}

TEST_F(FiscalYearDayTableTest, WithoutHolidaySettingsNothingIsOff)
{
    dir.Write(QStringLiteral("orbelund.ini"), "[View]\r\nFlat=0\r\n");
    const FiscalYearDayTable t = Build(2024);
    EXPECT_EQ(DatesShowing(t, 2024, QString()).size(), 365u);
}

// Section and key names compare without case, any non-zero number is true,
// and a value that is not a number reads as false.
TEST_F(FiscalYearDayTableTest, SettingsAreReadAsTheSettingsFileReadsBooleans)
{
    dir.Write(QStringLiteral("orbelund.ini"), "[HOLIDAY]\r\n0=2\r\n6=x\r\n7=-1\r\n0=0\r\n");
    const FiscalYearDayTable t = Build(2024);
    EXPECT_EQ(t.Cell(4, 7).Text, QStringLiteral("日"));
    EXPECT_EQ(t.Cell(4, 6).Text, QString());
    EXPECT_EQ(t.Cell(4, 29).Text, QStringLiteral("祝"));
}

// The settings choose the table: the program's own unless CurrentLaw is on,
// and only while national holidays are days off at all.
TEST_F(FiscalYearDayTableTest, CurrentLawChoosesTheHolidaysOfTheLaw)
{
    SetDaysOff({ 0, 6 }, true);
    const auto showing = [&](int fiscalYear) {
        const FiscalYearDayTable t = Build(fiscalYear);
        return std::make_pair(
            DatesShowing(t, fiscalYear, QStringLiteral("祝")), DatesShowing(t, fiscalYear, QStringLiteral("振")));
    };
    const auto builtIn = showing(2019);
    EXPECT_TRUE(std::count(builtIn.first.begin(), builtIn.first.end(), QDate(2019, 12, 23)));
    EXPECT_FALSE(std::count(builtIn.first.begin(), builtIn.first.end(), QDate(2019, 8, 11)));
    dir.Write(QStringLiteral("orbelund.ini"), "[Holiday]\r\n0=1\r\n6=1\r\n7=1\r\nCurrentLaw=0\r\n");
    EXPECT_EQ(showing(2019), builtIn);

    Settings::WriteHolidaysByCurrentLaw(true);
    const auto law = showing(2019);
    EXPECT_EQ(law.first,
        (std::vector<QDate> { QDate(2019, 4, 29), QDate(2019, 5, 1), QDate(2019, 5, 3), QDate(2019, 5, 4),
            QDate(2019, 5, 5), QDate(2019, 7, 15), QDate(2019, 8, 11), QDate(2019, 9, 16), QDate(2019, 9, 23),
            QDate(2019, 10, 14), QDate(2019, 10, 22), QDate(2019, 11, 3), QDate(2019, 11, 23), QDate(2020, 1, 1),
            QDate(2020, 1, 13), QDate(2020, 2, 11), QDate(2020, 2, 23), QDate(2020, 3, 20) }));
    EXPECT_EQ(law.second,
        (std::vector<QDate> { QDate(2019, 4, 30), QDate(2019, 5, 2), QDate(2019, 5, 6), QDate(2019, 8, 12),
            QDate(2019, 11, 4), QDate(2020, 2, 24) }));
    const FiscalYearDayTable t = Build(2019);
    EXPECT_EQ(t.Cell(5, 2).Colour, DayRed);
    EXPECT_EQ(t.Cell(8, 11).Colour, DayRed);

    Settings::WriteHolidaysAreDaysOff(false);
    const auto none = showing(2019);
    EXPECT_TRUE(none.first.empty());
    EXPECT_TRUE(none.second.empty());
}

TEST_F(FiscalYearDayTableTest, LeaveEntriesOverrideEverything)
{
    SetDaysOff({ 0, 6 }, true);
    LeaveStore::SaveEntry(2024, 5, 4, int(LeaveKind::FullDay), QStringLiteral("休み"));
    LeaveStore::SaveEntry(2024, 6, 2, int(LeaveKind::CompensatoryDayOff), QString());
    LeaveStore::SaveEntry(2025, 3, 3, int(LeaveKind::Morning), QString());
    const FiscalYearDayTable t = Build(2024);
    EXPECT_EQ(t.Cell(5, 4).Text, QStringLiteral("全")); // instead of 祝
    EXPECT_EQ(t.Cell(5, 4).Colour, DayGreen);
    EXPECT_EQ(t.Cell(6, 2).Text, QStringLiteral("代")); // instead of 日
    EXPECT_EQ(t.Cell(6, 2).Colour, DayBlack);
    EXPECT_EQ(t.Cell(3, 3).Text, QStringLiteral("AM"));
}

TEST_F(FiscalYearDayTableTest, OnlyLiveRecordsOfTheFiscalYearCount)
{
    SetDaysOff({ 0 }, false);
    WriteRecords({
        LeaveRecord::Make(2024, 4, 7, int(LeaveKind::SummerLeave), QString()),
        LeaveRecord::Make(2024, 4, 7, int(LeaveKind::Normal), QString()), // cleared: leaves 夏
        LeaveRecord::Make(2024, 4, 14, int(LeaveKind::Normal), QStringLiteral("memo")), // cleared: leaves 日
        LeaveRecord::Make(2024, 4, 8, int(LeaveKind::WinterLeave), QString()),
        LeaveRecord::Make(2024, 4, 8, int(LeaveKind::SpecialLeave), QString()), // the later one shows
        LeaveRecord::Make(2024, 3, 4, int(LeaveKind::FullDay), QString()), // fiscal year 2023
        LeaveRecord::Make(2025, 4, 4, int(LeaveKind::FullDay), QString()), // fiscal year 2025
        LeaveRecord::Make(2025, 3, 5, int(LeaveKind::HolidayWork), QString()),
    });
    const FiscalYearDayTable t = Build(2024);
    EXPECT_EQ(t.Cell(4, 7).Text, QStringLiteral("夏"));
    EXPECT_EQ(t.Cell(4, 14).Text, QStringLiteral("日"));
    EXPECT_EQ(t.Cell(4, 8).Text, QStringLiteral("特"));
    EXPECT_EQ(t.Cell(3, 4).Text, QString());
    EXPECT_EQ(t.Cell(4, 4).Text, QString());
    EXPECT_EQ(t.Cell(3, 5).Text, QStringLiteral("出"));
}

// Records written by other tools may hold anything in these bytes.
TEST_F(FiscalYearDayTableTest, DamagedRecordsNeitherCrashNorShowFalseCodes)
{
    SetDaysOff({ 0 }, false);
    WriteRecords({
        LeaveRecord::Make(2024, 4, 7, 107, QString()), // would read as 祝
        LeaveRecord::Make(2024, 4, 9, -3, QString()),
        LeaveRecord::Make(2024, 13, 1, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2024, 0, 1, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2024, 5, 0, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2024, 5, 32, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2024, 5, -1, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2025, -128, 127, int(LeaveKind::FullDay), QString()),
    });
    const FiscalYearDayTable t = Build(2024);
    EXPECT_EQ(t.Cell(4, 7).Text, QString());
    EXPECT_EQ(t.Cell(4, 7).Colour, DayBlack);
    EXPECT_EQ(t.Cell(4, 9).Text, QString());
    EXPECT_TRUE(DatesShowing(t, 2024, QStringLiteral("全")).empty());
}

TEST_F(FiscalYearDayTableTest, FiscalYearsBeyondTheCalendarRaiseTheDateError)
{
    SetDaysOff({ 0, 6 }, true);
    for (const int fiscalYear : { 0, 9999 }) {
        FiscalYearDayTable t;
        t.Set(5, 5, DayCode::FullDay);
        try {
            BuildFiscalYearDayTable(fiscalYear, t);
            ADD_FAILURE() << fiscalYear << " accepted";
        } catch (const EDateError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Invalid argument to date encode"));
        }
        EXPECT_EQ(t.Cell(5, 5).Text, QString());
    }
    EXPECT_NO_THROW(Build(1));
    EXPECT_NO_THROW(Build(9998));
}

TEST_F(FiscalYearDayTableTest, AnUnreadableDataFileEndsTheBuildWithDaysOffMarked)
{
    SetDaysOff({ 0 }, true);
    // Reading the process's own memory at address 0 always fails.
    ASSERT_TRUE(QFile::link(QStringLiteral("/proc/self/mem"), LeaveStore::FilePath()));
    FiscalYearDayTable t;
    EXPECT_THROW(BuildFiscalYearDayTable(2024, t), EInOutError);
    EXPECT_EQ(t.Cell(4, 7).Text, QStringLiteral("日"));
    EXPECT_EQ(t.Cell(11, 4).Text, QStringLiteral("振"));
}
