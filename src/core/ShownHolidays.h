#pragma once

// The national holidays as the program shows them. The calendars, the totals
// (through the day table), the iCalendar export and, through the grids, the
// CSV export and printing all take them from here, so that they follow the
// settings alike: no holiday at all unless national holidays count as days off
// ([Holiday] 7); then the program's own table, or the law as it stands when
// [Holiday] CurrentLaw is on.

#include <optional>
#include <vector>

#include "core/HolidayCalendar.h"
#include "core/Settings.h"

class ShownHolidays {
public:
    // From one reading of the settings file.
    static ShownHolidays Read();
    explicit ShownHolidays(const Settings::DaysOff& daysOff);

    // Whether holidays are shown at all.
    bool Any() const { return table_.has_value(); }

    // HolidayCalendar's answers for the chosen table; nothing when no
    // holiday is shown.
    std::vector<HolidayCalendar::MonthHoliday> OfMonth(int year, int month) const;
    std::vector<HolidayCalendar::FiscalYearHoliday> OfFiscalYear(int fiscalYear) const;
    bool IsRuleHoliday(int year, int month, int day) const;

private:
    std::optional<HolidayCalendar::HolidayTable> table_;
};
