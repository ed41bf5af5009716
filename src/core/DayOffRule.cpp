#include "core/DayOffRule.h"

DayOffRule DayOffRule::Read() { return DayOffRule(Settings::ReadDaysOff()); }

DayOffRule::DayOffRule(const Settings::DaysOff& daysOff)
    : weekly_(daysOff.Weekly)
    , holidays_(daysOff)
{
}

bool DayOffRule::IsDayOff(const QDate& date) const
{
    if (weekly_[size_t(date.dayOfWeek() % 7)])
        return true;
    if (!holidays_.Any())
        return false;
    auto [month, added] = holidaysOfMonth_.try_emplace(date.year() * 12 + date.month());
    if (added) {
        for (const HolidayCalendar::MonthHoliday& holiday : holidays_.OfMonth(date.year(), date.month()))
            month->second.insert(holiday.Day);
    }
    return month->second.count(date.day()) > 0;
}
