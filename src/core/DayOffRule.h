#pragma once

// Which dates are days off, as the calendars mark them: the weekly days off
// of the options and, when national holidays count as days off, the holidays
// of the chosen table with their substitute and citizens' holidays.

#include <map>
#include <set>

#include <QDate>

#include "core/Settings.h"
#include "core/ShownHolidays.h"

class DayOffRule {
public:
    // From one reading of the settings file.
    static DayOffRule Read();
    explicit DayOffRule(const Settings::DaysOff& daysOff);

    bool IsDayOff(const QDate& date) const;

private:
    std::array<bool, 7> weekly_ {}; // Sunday ... Saturday
    ShownHolidays holidays_;
    // The holidays of each month asked about so far, by year * 12 + month.
    mutable std::map<int, std::set<int>> holidaysOfMonth_;
};
