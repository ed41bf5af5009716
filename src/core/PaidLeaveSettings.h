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
//          WeeklyDays  scheduled days a week, 1 to 4; 5 five or more     5
//          Notice      1 tells of expiry and the five-day rule at start  1
//          LastNotice  the day it last told, "yyyy/mm/dd"
//
// WeeklyDays and Notice are written once they differ from their defaults,
// so that a file of a full-time worker who keeps the notice holds only the
// keys before them. LastNotice is written by the notice alone.
//
// An item or value that cannot be read is left out; it never stops the rest.
// So is an item of more than 40 days, and every item of a list after its
// 100th (PaidLeave::MaxItemHalfDays, MaxListItems).

#include <optional>
#include <vector>

#include <QDate>

#include <QString>

#include "core/PaidLeave.h"

namespace PaidLeaveSettings {

PaidLeave::Rules Read();

// Writes every key of the rules, in the order above. Raises EIniFileError
// when the file cannot be written.
void Write(const PaidLeave::Rules& rules);

// The day of the last notice at start; nothing before the first.
std::optional<QDate> LastNotice();
void SetLastNotice(const QDate& day);

// "2021/04/01:12,2022/04/01:11.5"
QString ListText(const std::vector<PaidLeave::DatedDays>& items);
std::vector<PaidLeave::DatedDays> ParseList(const QString& text);

} // namespace PaidLeaveSettings
