#pragma once

// The command "CSVファイルへ出力": the cell texts of the open calendar's grid,
// one line per row from the heading row down, fields joined by ",", every
// line ended by CR LF, in Shift-JIS. A field with a comma, a double quote or
// a line break is quoted as spreadsheets expect (RFC 4180); every other field
// is its cell text as it is. Colours and what the grid only draws are not
// written. With no calendar open the file is empty.

#include <QByteArray>
#include <QString>

#include "views/OpenCalendar.h"

class QWidget;

namespace CsvExport {

// "年度カレンダー(2009年度).csv", "月カレンダー(2010年1月).csv",
// "休日カレンダー(2009年度).csv", or "カレンダー.csv" with no calendar open.
QString ProposedName();

// The file's content for the open calendar.
QByteArray FileBytes();
// The same for a calendar window that is not open in the main window (the
// command line fills one without a main window).
QByteArray FileBytesOf(const OpenCalendar& calendar);

// The whole command: the save dialog with `filter` (the main window's),
// the overwrite question, the file. Failures raise EInOutError.
void Export(QWidget* owner, const QString& filter);

} // namespace CsvExport
