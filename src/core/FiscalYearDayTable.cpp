#include "core/FiscalYearDayTable.h"

#include "core/Julius.h"
#include "core/LeaveDays.h"
#include "core/Settings.h"
#include "core/ShownHolidays.h"
#include "platform/Dates.h"

void FiscalYearDayTable::Set(int month, int day, DayCode code)
{
    DayCell& cell = Cell(month, day);
    cell.Text = DayCodeText(code);
    cell.Colour = DayCodeColour(code);
}

void FiscalYearDayTable::Clear()
{
    for (auto& month : cells_) {
        for (DayCell& cell : month)
            cell = DayCell();
    }
}

namespace {

void MarkImpossibleDates(int fiscalYear, FiscalYearDayTable& table)
{
    static constexpr int Impossible[][2] = { { 4, 31 }, { 6, 31 }, { 9, 31 }, { 11, 31 }, { 2, 30 }, { 2, 31 } };
    for (const auto& [month, day] : Impossible)
        table.Set(month, day, DayCode::NoSuchDate);
    if (!Dates::IsLeapYear(fiscalYear + 1))
        table.Set(2, 29, DayCode::NoSuchDate);
}

void MarkWeeklyDaysOff(int fiscalYear, const std::array<bool, 7>& weekly, FiscalYearDayTable& table)
{
    const QDate first = Dates::EncodeDate(fiscalYear, 4, 1);
    const int length = Dates::IsLeapYear(fiscalYear + 1) ? 366 : 365;
    const int w = Dates::DayOfWeek(first);
    for (int i = 0; i < 7; ++i) {
        if (!weekly[size_t(i)])
            continue;
        // offset from 1 April to the first day of weekday i
        int h = i - w + 8;
        if (h > 6)
            h -= 7;
        for (int t = 0; t <= (length - h - 1) / 7; ++t) {
            const QDate date = first.addDays(h + 7 * t);
            table.Set(date.month(), date.day(), DayCode(int(DayCode::Sunday) + i));
        }
    }
}

} // namespace

void BuildFiscalYearDayTable(int fiscalYear, FiscalYearDayTable& table)
{
    const Settings::DaysOff daysOff = Settings::ReadDaysOff();

    table.Clear();
    Julius::CheckFiscalYear(fiscalYear);
    MarkImpossibleDates(fiscalYear, table);
    MarkWeeklyDaysOff(fiscalYear, daysOff.Weekly, table);

    for (const HolidayCalendar::FiscalYearHoliday& holiday : ShownHolidays(daysOff).OfFiscalYear(fiscalYear)) {
        if (FiscalYearDayTable::IsCell(holiday.Month, holiday.Day))
            table.Set(holiday.Month, holiday.Day, holiday.Code);
    }

    const LeaveDays leave = LeaveDays::OfFiscalYear(fiscalYear);
    for (int month = 1; month <= FiscalYearDayTable::Months; ++month) {
        for (int day = 1; day <= FiscalYearDayTable::Days; ++day) {
            if (leave.Decided(month, day))
                table.Set(month, day, LeaveDayCode(leave.Kind(month, day)));
        }
    }
}
