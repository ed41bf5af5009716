#pragma once

// What the program says about paid leave, in one place, so that the window,
// the status line's field and the notice at start say it in the same words.
//
// The window's sentences come with '|' between their phrases: a label may
// wrap there and nowhere else inside a word. Plain() removes the marks for
// a line that never wraps (a tool tip, a desktop notification).

#include <QString>
#include <QStringList>

class QDate;
namespace PaidLeave {
struct Balance;
struct DatedDays;
struct FiveDayRule;
} // namespace PaidLeave

namespace PaidLeaveSentences {

// "12.5日".
QString Days(int halfDays);

// "2024/03/31 までに|使わないと 7.5日が|失効します。"
QString Expiry(const PaidLeave::DatedDays& item);
// The rule of the present grant year: what was taken by which deadline,
// then, on its own line, whether it is met or, less than three months
// before the deadline, what is still to take.
QString FiveDay(const PaidLeave::FiveDayRule& rule);

// A grant year's outcome for the table: "済" once five days are taken,
// "あと1.5日" while its year runs, "未達 3.5日" (the days taken) after.
QString FiveDayMark(const PaidLeave::FiveDayRule& rule);

QString Plain(const QString& phrased);

// Why the balance needs the user's eye, as plain sentences: days that expire
// within three months, and a five-day rule at risk.
QStringList Warnings(const PaidLeave::Balance& balance);
// What the notice at start tells: days that expire on or before `until`,
// and a five-day rule still unmet whose deadline is on or before it.
QStringList DueBy(const PaidLeave::Balance& balance, const QDate& until);

} // namespace PaidLeaveSentences
