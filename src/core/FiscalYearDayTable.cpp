#include "core/FiscalYearDayTable.h"

#include "core/HolidayCalendar.h"
#include "core/Julius.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
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
    static constexpr int Impossible[][2]
        = { { 4, 31 }, { 6, 31 }, { 9, 31 }, { 11, 31 }, { 2, 30 }, { 2, 31 } };
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

bool InFiscalYear(int fiscalYear, int year, int month)
{
    return (year == fiscalYear && month >= 4 && month <= 12)
        || (year == fiscalYear + 1 && month >= 1 && month <= 3);
}

} // namespace

void BuildFiscalYearDayTable(int fiscalYear, FiscalYearDayTable& table)
{
    const Settings::DaysOff daysOff = Settings::ReadDaysOff();

    table.Clear();
    Julius::CheckFiscalYear(fiscalYear);
    MarkImpossibleDates(fiscalYear, table);
    MarkWeeklyDaysOff(fiscalYear, daysOff.Weekly, table);

    if (daysOff.NationalHolidays) {
        for (const HolidayCalendar::FiscalYearHoliday& holiday :
            HolidayCalendar::NationalHolidaysOfFiscalYear(fiscalYear)) {
            if (FiscalYearDayTable::IsCell(holiday.Month, holiday.Day))
                table.Set(holiday.Month, holiday.Day, holiday.Code);
        }
    }

    // A later record of the same date wins. Records from a damaged or foreign
    // file may name a month or day that has no cell; they are passed over.
    LeaveStore::ForEach([&](const LeaveRecord& record, qint64) {
        if (record.Cleared() || !InFiscalYear(fiscalYear, record.Year(), record.Month())
            || !FiscalYearDayTable::IsCell(record.Month(), record.Day()))
            return;
        table.Set(record.Month(), record.Day(), LeaveDayCode(record.Kind()));
    });
}
