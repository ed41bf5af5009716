#include "core/CalendarFill.h"

#include <QPushButton>

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "platform/Errors.h"
#include "widgets/StrCGrid.h"

class CalendarFillTest : public testing::Test {
protected:
    // Grids sized and headed as the three calendar windows make them.
    void MakeYearGrid() { Size(32, 13); }
    void MakeMonthGrid()
    {
        Size(4, 32);
        for (int day = 1; day <= 31; ++day)
            grid.SetCells(0, day, QString::number(day));
    }
    void MakeHolidayGrid() { Size(5, 2); }

    // Saturdays and Sundays off, as on first run; national holidays off or not.
    void SetHolidays(bool holidays)
    {
        dir.Write(QStringLiteral("orbelund.ini"),
            holidays ? "[Holiday]\r\n0=1\r\n6=1\r\n7=1\r\n" : "[Holiday]\r\n0=1\r\n6=1\r\n7=0\r\n");
    }

    void WriteRecords(const std::vector<LeaveRecord>& records)
    {
        QByteArray bytes;
        for (const LeaveRecord& r : records)
            bytes.append(reinterpret_cast<const char*>(r.Data()), LeaveRecord::Size);
        dir.Write(QStringLiteral("Holiday.d00"), bytes);
    }

    QString Text(int col, int row) const { return grid.Cells(col, row); }

    // The colour the cell's text is drawn in: its item's, else the grid font's.
    TColor Colour(int col, int row)
    {
        const TSCGCellParam* param = grid.FindCellParam(col, row, false);
        return param != nullptr && param->FontColorEnabled() ? param->FontColor() : grid.Font().Color();
    }

    // A cell as the user sees it: its text, a space and its text colour.
    QString Shown(int col, int row)
    {
        const TColor colour = Colour(col, row);
        const QString name = colour == clBlack ? QStringLiteral("black")
            : colour == clRed                  ? QStringLiteral("red")
            : colour == clBlue                 ? QStringLiteral("blue")
            : colour == clGreen                ? QStringLiteral("green")
                                               : QString::number(colour, 16);
        return Text(col, row) + u' ' + name;
    }

    // The texts of a row, joined with "|".
    QString Row(int row) const
    {
        QStringList texts;
        for (int col = 0; col < grid.ColCount(); ++col)
            texts << grid.Cells(col, row);
        return texts.join(u'|');
    }

    QStringList Body() const
    {
        QStringList rows;
        for (int row = 1; row < grid.RowCount(); ++row)
            rows << Row(row);
        return rows;
    }

    TempDataDirectory dir;
    TStrColGrid grid;
    QPushButton caption;

private:
    void Size(int cols, int rows)
    {
        grid.SetColCount(cols);
        grid.SetRowCount(rows);
        grid.SetFixedCols(1);
        grid.SetFixedRows(1);
    }
};

TEST_F(CalendarFillTest, YearCalendarShowsTheFiscalYearsCodesAndCaption)
{
    SetHolidays(true);
    LeaveStore::SaveEntry(2024, 5, 4, int(LeaveKind::FullDay), QString());
    LeaveStore::SaveEntry(2025, 3, 3, int(LeaveKind::CompensatoryDayOff), QString());
    MakeYearGrid();
    FillYearCalendar(grid, caption, 2024);

    EXPECT_EQ(caption.text(), QStringLiteral("2024年度"));
    for (int col = 29; col <= 31; ++col) // February 2025
        EXPECT_EQ(Shown(col, 11), QStringLiteral("／ black")) << col;
    EXPECT_EQ(Text(31, 1), QStringLiteral("／")); // 31 April
    EXPECT_EQ(Shown(7, 1), QStringLiteral("日 red")); // 7 April 2024
    EXPECT_EQ(Shown(6, 1), QStringLiteral("土 blue"));
    EXPECT_EQ(Text(8, 1), QString());
    EXPECT_EQ(Shown(4, 2), QStringLiteral("全 green")); // instead of 祝
    EXPECT_EQ(Shown(4, 8), QStringLiteral("振 red")); // 4 November
    EXPECT_EQ(Text(1, 10), QStringLiteral("祝")); // 1 January 2025
    EXPECT_EQ(Shown(3, 12), QStringLiteral("代 black")); // 3 March 2025
}

// Every cell is rewritten, the empty ones too, so nothing of the year shown
// before survives.
TEST_F(CalendarFillTest, YearCalendarRewritesTheWholeBody)
{
    SetHolidays(true);
    MakeYearGrid();
    FillYearCalendar(grid, caption, 2024);
    FillYearCalendar(grid, caption, 2023);
    EXPECT_EQ(caption.text(), QStringLiteral("2023年度"));
    EXPECT_EQ(Shown(29, 11), QStringLiteral(" black")); // 29 February 2024 exists
    EXPECT_EQ(Shown(7, 1), QStringLiteral(" black")); // 7 April 2023 is a Friday
    EXPECT_EQ(Text(1, 1), QStringLiteral("土"));
}

TEST_F(CalendarFillTest, YearCalendarOutsideTheCalendarFailsBeforeWritingAnything)
{
    SetHolidays(true);
    MakeYearGrid();
    FillYearCalendar(grid, caption, 2024);
    const QStringList before = Body();
    for (const int fiscalYear : { 0, 9999 }) {
        try {
            FillYearCalendar(grid, caption, fiscalYear);
            ADD_FAILURE() << fiscalYear << " accepted";
        } catch (const EDateError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("Invalid argument to date encode"));
        }
        EXPECT_EQ(caption.text(), QStringLiteral("2024年度"));
        EXPECT_EQ(Body(), before);
    }
}

TEST_F(CalendarFillTest, MonthCalendarNumbersOnlyTheDaysOfTheMonth)
{
    SetHolidays(true);
    LeaveStore::SaveEntry(2024, 3, 31, int(LeaveKind::FullDay), QStringLiteral("旅行"));
    MakeMonthGrid();
    FillMonthCalendar(grid, caption, 2024, 3);
    EXPECT_EQ(Row(31), QStringLiteral("31|日|全|旅行"));

    FillMonthCalendar(grid, caption, 2024, 2);
    EXPECT_EQ(caption.text(), QStringLiteral("2024年2月"));
    EXPECT_EQ(Text(0, 27), QStringLiteral("27"));
    EXPECT_EQ(Row(28), QStringLiteral("28|水||"));
    EXPECT_EQ(Row(29), QStringLiteral("29|木||"));
    EXPECT_EQ(Row(30), QStringLiteral("|||"));
    EXPECT_EQ(Row(31), QStringLiteral("|||"));

    FillMonthCalendar(grid, caption, 2023, 2);
    EXPECT_EQ(Row(29), QStringLiteral("|||"));
    FillMonthCalendar(grid, caption, 2023, 4);
    EXPECT_EQ(Row(30), QStringLiteral("30|日||"));
    EXPECT_EQ(Row(31), QStringLiteral("|||"));
}

TEST_F(CalendarFillTest, MonthCalendarNamesHolidaysInRedWhenTheyAreDaysOff)
{
    SetHolidays(true);
    MakeMonthGrid();
    FillMonthCalendar(grid, caption, 2024, 11);

    EXPECT_EQ(caption.text(), QStringLiteral("2024年11月"));
    EXPECT_EQ(Shown(1, 3), QStringLiteral("日 red"));
    EXPECT_EQ(Shown(2, 3), QStringLiteral("文化の日 red"));
    // The substitute day is named, but stays a black Monday.
    EXPECT_EQ(Shown(1, 4), QStringLiteral("月 black"));
    EXPECT_EQ(Shown(2, 4), QStringLiteral("振休 red"));
    // A holiday on a Saturday turns its weekday red.
    EXPECT_EQ(Text(2, 23), QStringLiteral("勤労感謝の休日"));
    EXPECT_EQ(Shown(1, 23), QStringLiteral("土 red"));
    EXPECT_EQ(Shown(1, 16), QStringLiteral("土 blue"));
    EXPECT_EQ(Shown(1, 1), QStringLiteral("金 black"));
    EXPECT_EQ(Text(2, 1), QString());
}

// By the law: its names, a red weekday for the holidays and the day of the
// enthronement, black ones for the days between and after.
TEST_F(CalendarFillTest, MonthCalendarNamesTheHolidaysOfTheLawWhenChosen)
{
    dir.Write(QStringLiteral("orbelund.ini"), "[Holiday]\r\n0=1\r\n6=1\r\n7=1\r\nCurrentLaw=1\r\n");
    MakeMonthGrid();
    FillMonthCalendar(grid, caption, 2019, 5);
    EXPECT_EQ(Shown(1, 1), QStringLiteral("水 red"));
    EXPECT_EQ(Shown(2, 1), QStringLiteral("天皇の即位の日 red"));
    EXPECT_EQ(Shown(1, 2), QStringLiteral("木 black"));
    EXPECT_EQ(Shown(2, 2), QStringLiteral("国民の休日 red"));
    EXPECT_EQ(Shown(2, 5), QStringLiteral("こどもの日 red"));
    EXPECT_EQ(Shown(1, 6), QStringLiteral("月 black"));
    EXPECT_EQ(Shown(2, 6), QStringLiteral("振替休日 red"));
    EXPECT_EQ(Text(2, 7), QString());

    FillMonthCalendar(grid, caption, 2024, 8);
    EXPECT_EQ(Shown(2, 11), QStringLiteral("山の日 red"));
    EXPECT_EQ(Shown(2, 12), QStringLiteral("振替休日 red"));
    FillMonthCalendar(grid, caption, 2024, 11);
    EXPECT_EQ(Shown(2, 23), QStringLiteral("勤労感謝の日 red"));
    EXPECT_EQ(Shown(1, 23), QStringLiteral("土 red"));

    // Off, the program's own table again.
    dir.Write(QStringLiteral("orbelund.ini"), "[Holiday]\r\n0=1\r\n6=1\r\n7=1\r\nCurrentLaw=0\r\n");
    FillMonthCalendar(grid, caption, 2024, 11);
    EXPECT_EQ(Text(2, 23), QStringLiteral("勤労感謝の休日"));
    EXPECT_EQ(Text(2, 4), QStringLiteral("振休"));
    FillMonthCalendar(grid, caption, 2024, 8);
    EXPECT_EQ(Text(2, 11), QString());
}

TEST_F(CalendarFillTest, MonthCalendarWithoutHolidaysColoursOnlyTheWeekend)
{
    SetHolidays(true);
    MakeMonthGrid();
    FillMonthCalendar(grid, caption, 2024, 11);
    SetHolidays(false);
    FillMonthCalendar(grid, caption, 2024, 11);

    for (int day = 1; day <= 30; ++day) {
        EXPECT_EQ(Text(2, day), QString()) << day;
        const int dayOfWeek = Dates::DayOfWeek(QDate(2024, 11, day));
        const TColor expected = dayOfWeek == 1 ? clRed : dayOfWeek == 7 ? clBlue : clBlack;
        EXPECT_EQ(Colour(1, day), expected) << day;
    }
}

TEST_F(CalendarFillTest, MonthCalendarLeaveReplacesTheHolidayName)
{
    SetHolidays(true);
    LeaveStore::SaveEntry(2024, 11, 3, int(LeaveKind::FullDay), QStringLiteral("帰省"));
    LeaveStore::SaveEntry(2024, 11, 23, int(LeaveKind::Morning), QString());
    LeaveStore::SaveEntry(2024, 11, 23, int(LeaveKind::Normal), QString()); // cleared again
    LeaveStore::SaveEntry(2024, 11, 12, int(LeaveKind::HolidayWork), QStringLiteral("出張"));
    LeaveStore::SaveEntry(2023, 11, 7, int(LeaveKind::FullDay), QString());
    LeaveStore::SaveEntry(2024, 10, 7, int(LeaveKind::FullDay), QString());
    MakeMonthGrid();
    FillMonthCalendar(grid, caption, 2024, 11);

    EXPECT_EQ(Shown(2, 3), QStringLiteral("全 green"));
    EXPECT_EQ(Text(3, 3), QStringLiteral("帰省"));
    EXPECT_EQ(Colour(1, 3), clRed);
    EXPECT_EQ(Shown(2, 23), QStringLiteral("勤労感謝の休日 red"));
    EXPECT_EQ(Shown(2, 12), QStringLiteral("出 black"));
    EXPECT_EQ(Text(3, 12), QStringLiteral("出張"));
    EXPECT_EQ(Text(2, 7), QString());
}

// The caption and the cleared body show the month asked for; the day numbers
// stop at 31 as for any long month.
TEST_F(CalendarFillTest, MonthCalendarOfAnImpossibleMonthFailsAfterClearingTheBody)
{
    SetHolidays(true);
    LeaveStore::SaveEntry(2024, 1, 5, int(LeaveKind::FullDay), QStringLiteral("memo"));
    MakeMonthGrid();
    FillMonthCalendar(grid, caption, 2024, 1);
    try {
        FillMonthCalendar(grid, caption, 2024, 13);
        ADD_FAILURE() << "month 13 accepted";
    } catch (const EDateError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid argument to date encode"));
    }
    EXPECT_EQ(caption.text(), QStringLiteral("2024年13月"));
    for (int day = 1; day <= 31; ++day) {
        EXPECT_EQ(Text(0, day), QString::number(day));
        for (int col = 1; col <= 3; ++col)
            EXPECT_EQ(Text(col, day), QString()) << col << ',' << day;
    }
    EXPECT_THROW(FillMonthCalendar(grid, caption, 10000, 1), EDateError);
    EXPECT_THROW(FillMonthCalendar(grid, caption, 0, 1), EDateError);
}

TEST_F(CalendarFillTest, HolidayListShowsTheFiscalYearsLeaveInDateOrder)
{
    LeaveStore::SaveEntry(2025, 1, 6, int(LeaveKind::Afternoon), QStringLiteral("通院"));
    LeaveStore::SaveEntry(2024, 12, 28, int(LeaveKind::WinterLeave), QString());
    LeaveStore::SaveEntry(2024, 4, 30, int(LeaveKind::FullDay), QStringLiteral("連休"));
    LeaveStore::SaveEntry(2024, 3, 29, int(LeaveKind::FullDay), QString()); // fiscal year 2023
    LeaveStore::SaveEntry(2025, 4, 1, int(LeaveKind::FullDay), QString()); // fiscal year 2025
    LeaveStore::SaveEntry(2024, 8, 13, int(LeaveKind::SummerLeave), QString());
    LeaveStore::SaveEntry(2024, 8, 13, int(LeaveKind::Normal), QString()); // cleared
    MakeHolidayGrid();
    FillHolidayCalendar(grid, caption, 2024);

    EXPECT_EQ(caption.text(), QStringLiteral("2024年度"));
    ASSERT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(Row(1), QStringLiteral("1|2024/04/30|火|全|連休"));
    EXPECT_EQ(Row(2), QStringLiteral("2|2024/12/28|土|冬|"));
    EXPECT_EQ(Row(3), QStringLiteral("3|2025/01/06|月|PM|通院"));
    for (int row = 1; row <= 3; ++row) {
        const TSCGCellParam* memo = grid.FindCellParam(4, row, false);
        ASSERT_NE(memo, nullptr);
        EXPECT_EQ(memo->Alignment(), taLeftJustify);
    }
}

TEST_F(CalendarFillTest, HolidayListOfAYearWithoutLeaveIsOneEmptyRow)
{
    LeaveStore::SaveEntry(2024, 4, 30, int(LeaveKind::FullDay), QStringLiteral("連休"));
    LeaveStore::SaveEntry(2024, 5, 1, int(LeaveKind::FullDay), QString());
    MakeHolidayGrid();
    FillHolidayCalendar(grid, caption, 2024);
    ASSERT_EQ(grid.RowCount(), 3);

    FillHolidayCalendar(grid, caption, 2023);
    EXPECT_EQ(caption.text(), QStringLiteral("2023年度"));
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(Row(1), QStringLiteral("||||"));
}

// Several records of one date, as older versions or other tools could leave
// them: the last one that is not cleared decides the day, which is listed
// once, or not at all when that record holds no leave kind (the other
// calendars show the day empty).
TEST_F(CalendarFillTest, HolidayListShowsADayOnceWithItsLastRecord)
{
    LeaveRecord uncleared = LeaveRecord::Make(2024, 6, 5, int(LeaveKind::Normal), QString());
    uncleared.Data()[16] = 0;
    WriteRecords({
        LeaveRecord::Make(2024, 6, 3, int(LeaveKind::FullDay), QStringLiteral("前")),
        LeaveRecord::Make(2024, 6, 4, int(LeaveKind::GoldenWeek), QString()),
        LeaveRecord::Make(2024, 6, 3, int(LeaveKind::SpecialLeave), QStringLiteral("後")),
        LeaveRecord::Make(2024, 6, 5, int(LeaveKind::FullDay), QString()),
        uncleared, // kind 0 not cleared: no leave
        LeaveRecord::Make(2024, 6, 6, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2024, 6, 6, 99, QString()), // no such kind
        LeaveRecord::Make(2024, 6, 7, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2024, 6, 7, int(LeaveKind::Normal), QString()), // cleared: counts for nothing
    });
    MakeHolidayGrid();
    FillHolidayCalendar(grid, caption, 2024);
    EXPECT_EQ(Body(),
        (QStringList { QStringLiteral("1|2024/06/03|月|特|後"), QStringLiteral("2|2024/06/04|火|GW|"),
            QStringLiteral("3|2024/06/07|金|全|") }));
}

// Records written by other tools may hold anything in their date and kind.
TEST_F(CalendarFillTest, DamagedRecordsNeverStopAFill)
{
    SetHolidays(true);
    WriteRecords({
        LeaveRecord::Make(2024, 11, 3, 99, QString()),
        LeaveRecord::Make(2024, 11, 32, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2024, 11, 0, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2024, 11, -1, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2024, 13, 1, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2024, 0, 1, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2025, -128, 127, int(LeaveKind::FullDay), QString()),
        LeaveRecord::Make(2024, 11, 5, -3, QString()),
        LeaveRecord::Make(2025, 2, 30, int(LeaveKind::FullDay), QString()),
    });

    MakeMonthGrid();
    ASSERT_NO_THROW(FillMonthCalendar(grid, caption, 2024, 11));
    EXPECT_EQ(Text(2, 3), QString()); // kind 99 shows nothing, not a false code
    EXPECT_EQ(Text(2, 5), QString());

    MakeYearGrid();
    ASSERT_NO_THROW(FillYearCalendar(grid, caption, 2024));
    EXPECT_EQ(Text(3, 8), QString());

    // A day the month does not have is listed without a weekday.
    MakeHolidayGrid();
    ASSERT_NO_THROW(FillHolidayCalendar(grid, caption, 2024));
    EXPECT_EQ(Body(), QStringList { QStringLiteral("1|2025/02/30||全|") });
}
