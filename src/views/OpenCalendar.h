#pragma once

// Which calendar is open. At most one of the three calendar windows is open
// at a time, and the view commands' check marks Y1, M1 and H2 of the main
// window are the record of which: a calendar sets its mark when it is first
// shown and clears it when it closes. This file is the one place that reads
// and writes those marks; every window, export and print asks here.

#include <optional>

#include <QString>

class QAction;
class TCalendarWindow;

enum class CalendarKind {
    Year, // 年度カレンダー, TYcalForm
    Month, // 月カレンダー, TMCalForm
    Holiday, // 休日カレンダー, THCalForm
};

// The calendar's title: "年度カレンダー", "月カレンダー" or "休日カレンダー".
QString CalendarTitle(CalendarKind kind);

struct OpenCalendar {
    CalendarKind Kind;
    TCalendarWindow* Window; // never null
};

// The open calendar and its window, or none (also before the main window
// exists and after it is gone).
std::optional<OpenCalendar> TheOpenCalendar();

// Whether the calendar of a kind is the open one.
bool IsOpen(CalendarKind kind);

// The view command whose check mark records a kind, or null without a main
// window.
QAction* CalendarMark(CalendarKind kind);

// A calendar window records that it is open, or closed again, and the
// program's calendarOpened or calendarClosed signal goes out.
void MarkCalendarOpen(CalendarKind kind, bool open);
