#pragma once

// The paid-leave rules in the section [Paid] of orbelund.ini. Nothing of it
// belongs to the first-run set: the section appears when the user first
// confirms the paid-leave settings, and a file without it reads as "no hiring
// date yet".
//
//   [Paid] Hired       hiring date, "yyyy/mm/dd"; empty or missing: not set
//          Rule        0 grants on their due dates, 1 on a fixed day    0
//          FixedMonth  the fixed day's month                             4
//          FixedDay    the fixed day's day                               1
//          Overrides   days of single grants: "yyyy/mm/dd:days" items
//                      separated by commas, days with at most a half
//          Start       the day the records count from, "yyyy/mm/dd"
//          Carried     what was left on that day: "yyyy/mm/dd:days" items
//                      of grant date and days
//
// An item or value that cannot be read is left out; it never stops the rest.
// So is an item of more than 40 days, and every item of a list after its
// 100th (PaidLeave::MaxItemHalfDays, MaxListItems).

#include <vector>

#include <QString>

#include "core/PaidLeave.h"

namespace PaidLeaveSettings {

PaidLeave::Rules Read();

// Writes every key, in the order above. Raises EIniFileError when the file
// cannot be written.
void Write(const PaidLeave::Rules& rules);

// "2021/04/01:12,2022/04/01:11.5"
QString ListText(const std::vector<PaidLeave::DatedDays>& items);
std::vector<PaidLeave::DatedDays> ParseList(const QString& text);

} // namespace PaidLeaveSettings
