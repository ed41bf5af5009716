#pragma once

// A period of leave entered in one step: which days of it are written, what
// the user is told before, and the name of the step in the undo history.

#include <optional>
#include <vector>

#include <QDate>
#include <QString>

#include "core/LeaveStore.h"

class DayOffRule;

namespace LeaveRange {

// The longest period entered at once: a leap year.
inline constexpr int MaxDays = 366;

// Why a period cannot be entered, in Japanese; nothing when it can.
std::optional<QString> Refusal(const QDate& first, const QDate& last);

// The days from first to last, both included, without the days off of
// `skip` when one is given. The period must have passed Refusal.
std::vector<QDate> Days(const QDate& first, const QDate& last, const DayOffRule* skip);

// The entries that write kind and memo on each of the days.
std::vector<LeaveStore::DayEntry> Entries(const std::vector<QDate>& days, int kind, const QString& memo);

// The days that hold leave the entry would change: another kind, or the
// same kind with another memo (as stored: cut to 30 bytes). One reading of
// the data file.
std::vector<QDate> Overwritten(const std::vector<QDate>& days, int kind, const QString& memo);

// What OK will do: "5日を登録します（うち2日は登録済みの内容を上書きします）",
// or "登録する日がありません" when every day of the period is skipped.
QString Summary(int days, int overwrites);

// The step's name: "2026/08/12～08/16 夏休み", the year repeated only when
// the period crosses one, one date for a single day.
QString StepName(const QDate& first, const QDate& last, int kind);

} // namespace LeaveRange
