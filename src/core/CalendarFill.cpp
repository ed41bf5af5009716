#include "core/CalendarFill.h"

#include <QAbstractButton>

#include "core/DayCode.h"
#include "core/FiscalYearDayTable.h"
#include "core/Julius.h"
#include "core/LeaveDays.h"
#include "core/LeaveStore.h"
#include "core/ShownHolidays.h"
#include "platform/Dates.h"
#include "widgets/StrCGrid.h"

namespace {

constexpr int LastDayRow = 31;

// The length of a month as the month grid counts it: February by the
// Gregorian leap rule, the four short months 30, every other month 31.
int MonthLength(int year, int month)
{
    switch (month) {
    case 2:
        return Dates::IsLeapYear(year) ? 29 : 28;
    case 4:
    case 6:
    case 9:
    case 11:
        return 30;
    default:
        return 31;
    }
}

TColor WeekdayColour(int dayOfWeek)
{
    if (dayOfWeek == 7)
        return clBlue;
    if (dayOfWeek == 1)
        return clRed;
    return clBlack;
}

} // namespace

int YearCalendarRow(int month) { return month >= 4 ? month - 3 : month + 9; }

Julius::YearMonth YearCalendarMonth(int fiscalYear, int row)
{
    if (row < 1 || row > 12)
        return { fiscalYear, 0 };
    return row <= 9 ? Julius::YearMonth { fiscalYear, row + 3 } : Julius::YearMonth { fiscalYear + 1, row - 9 };
}

bool InFiscalYear(int fiscalYear, int year, int month)
{
    return (year == fiscalYear && month >= 4 && month <= 12) || (year == fiscalYear + 1 && month >= 1 && month <= 3);
}

void FillYearCalendar(TStrColGrid& grid, QAbstractButton& caption, int fiscalYear)
{
    FiscalYearDayTable table;
    BuildFiscalYearDayTable(fiscalYear, table);
    caption.setText(Julius::FiscalYearCaption(fiscalYear));
    for (int day = 1; day <= FiscalYearDayTable::Days; ++day) {
        for (int month = 1; month <= FiscalYearDayTable::Months; ++month) {
            const DayCell& cell = table.Cell(month, day);
            const int row = YearCalendarRow(month);
            grid.SetCellFontColor(day, row, cell.Colour);
            grid.SetCells(day, row, cell.Text);
        }
    }
    grid.InvalidateGrid();
}

void FillMonthCalendar(TStrColGrid& grid, QAbstractButton& caption, int year, int month)
{
    const ShownHolidays holidays = ShownHolidays::Read();
    caption.setText(Julius::MonthCaption(year, month));
    for (int row = 1; row <= LastDayRow; ++row)
        for (int col = 1; col <= 3; ++col)
            grid.SetCells(col, row, QString());

    const int length = MonthLength(year, month);
    for (int row = 29; row <= LastDayRow; ++row)
        grid.SetCells(0, row, QString());
    for (int day = 28; day <= length; ++day)
        grid.SetCells(0, day, QString::number(day));
    grid.InvalidateGrid();

    for (int day = 1; day <= length; ++day) {
        const QDate date = Dates::EncodeDate(year, month, day);
        const int dayOfWeek = Dates::DayOfWeek(date);
        grid.SetCells(1, day, Dates::ShortDayName(dayOfWeek));
        TColor colour = WeekdayColour(dayOfWeek);
        if (holidays.IsRuleHoliday(year, month, day))
            colour = clRed;
        grid.SetCellFontColor(1, day, colour);
    }

    for (const HolidayCalendar::MonthHoliday& holiday : holidays.OfMonth(year, month)) {
        grid.SetCells(2, holiday.Day, holiday.Name);
        grid.SetCellFontColor(2, holiday.Day, clRed);
    }

    // Every day a record decides shows that record, also one that holds no
    // leave: its code is then empty and replaces the holiday name.
    for (const LeaveRecord& record : LeaveStore::ReadRecords(LeaveDays::OfMonth(year, month).Positions())) {
        const DayCode code = LeaveDayCode(record.Kind());
        grid.SetCells(2, record.Day(), DayCodeText(code));
        grid.SetCellFontColor(2, record.Day(), DayCodeColour(code));
        grid.SetCells(3, record.Day(), record.Memo());
    }
    grid.InvalidateGrid();
}

void FillHolidayCalendar(TStrColGrid& grid, QAbstractButton& caption, int fiscalYear)
{
    caption.setText(Julius::FiscalYearCaption(fiscalYear));
    grid.SetRowCount(2);
    for (int col = 0; col < grid.ColCount(); ++col)
        grid.SetCells(col, 1, QString());
    grid.InvalidateGrid();

    // One row per leave day; a day whose last record holds no leave kind is
    // not listed, as the other calendars show it empty.
    const std::vector<qint64> positions = LeaveDays::OfFiscalYear(fiscalYear).LeavePositions();
    if (positions.empty())
        return;

    const int count = int(positions.size());
    grid.SetRowCount(count + 1);
    for (int row = 1; row <= count; ++row)
        grid.SetCellAlignment(4, row, taLeftJustify);

    const QChar separator = Dates::DateSeparator();
    int row = 0;
    for (const LeaveRecord& record : LeaveStore::ReadRecords(positions)) {
        ++row;
        grid.SetCells(0, row, QString::number(row));
        grid.SetCells(1, row,
            QStringLiteral("%1%2%3%4%5")
                .arg(record.Year())
                .arg(separator)
                .arg(record.Month(), 2, 10, QLatin1Char('0'))
                .arg(separator)
                .arg(record.Day(), 2, 10, QLatin1Char('0')));
        // A foreign record may name a day the month does not have: it is
        // listed without a weekday rather than stopping the whole list.
        const bool real = Dates::IsValidDate(record.Year(), record.Month(), record.Day());
        grid.SetCells(2, row,
            real ? Dates::ShortDayName(Dates::DayOfWeek(QDate(record.Year(), record.Month(), record.Day())))
                 : QString());
        grid.SetCells(3, row, DayCodeText(LeaveDayCode(record.Kind())));
        grid.SetCells(4, row, record.Memo());
    }
    grid.InvalidateGrid();
}
