#include "core/ShownHolidays.h"

ShownHolidays ShownHolidays::Read() { return ShownHolidays(Settings::ReadDaysOff()); }

ShownHolidays::ShownHolidays(const Settings::DaysOff& daysOff)
{
    if (daysOff.NationalHolidays)
        table_
            = daysOff.CurrentLaw ? HolidayCalendar::HolidayTable::CurrentLaw : HolidayCalendar::HolidayTable::BuiltIn;
}

std::vector<HolidayCalendar::MonthHoliday> ShownHolidays::OfMonth(int year, int month) const
{
    return table_ ? HolidayCalendar::NationalHolidaysOfMonth(year, month, *table_)
                  : std::vector<HolidayCalendar::MonthHoliday>();
}

std::vector<HolidayCalendar::FiscalYearHoliday> ShownHolidays::OfFiscalYear(int fiscalYear) const
{
    return table_ ? HolidayCalendar::NationalHolidaysOfFiscalYear(fiscalYear, *table_)
                  : std::vector<HolidayCalendar::FiscalYearHoliday>();
}

bool ShownHolidays::IsRuleHoliday(int year, int month, int day) const
{
    return table_ && HolidayCalendar::IsRuleHoliday(year, month, day, *table_);
}
