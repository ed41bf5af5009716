#pragma once

// The command "iCalendar形式で出力": the leave days of one fiscal year as an
// iCalendar file (RFC 5545) for calendar programs. One all-day event per
// leave day, its summary the kind as the entry dialog names it and the memo
// as its description; optionally the national holidays of the year as
// events of their own. Each event's UID is made from its date alone, so a
// calendar that imports the file again updates the events instead of
// doubling them. UTF-8, CR LF, lines folded at 75 octets.

#include <vector>

#include <QByteArray>
#include <QDate>
#include <QDateTime>
#include <QString>

class QWidget;

namespace IcsExport {

struct Event {
    QDate Date;
    QString Uid;
    QString Summary;
    QString Description; // empty: no DESCRIPTION
};

// The fiscal year of the open calendar (the month calendar's is that of its
// month), or of today when none is open.
int ExportedFiscalYear();

// The leave days of the fiscal year in date order, as the calendars show
// them (LeaveDays): of the records of a date the last one not cleared
// decides, and a day it gives no leave kind is no event. A day the month
// does not have is left out.
std::vector<Event> LeaveEvents(int fiscalYear);

// The national and substitute holidays of the fiscal year that the
// calendars show (ShownHolidays), named as the month calendar names them.
std::vector<Event> HolidayEvents(int fiscalYear);

// What the file holds: the leave days, and with `holidays` the holidays
// too, a holiday before a leave day of the same date.
std::vector<Event> Events(int fiscalYear, bool holidays);

// The whole file; `stamp` is the DTSTAMP of every event.
QByteArray FileBytes(const std::vector<Event>& events, const QDateTime& stamp);

// A TEXT value: "\" "," ";" escaped, line breaks as "\n", other control
// characters dropped.
QString EscapeText(const QString& text);

// One content line with its CR LF, folded so that no line holds more than
// 75 octets and no UTF-8 character is split.
QByteArray FoldLine(const QByteArray& line);

// The whole command: the holidays question (when holidays count as days
// off), the save dialog, the overwrite question, the file.
void Export(QWidget* owner);

} // namespace IcsExport
