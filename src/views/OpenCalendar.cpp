#include "views/OpenCalendar.h"

#include <QAction>

#include "views/Hcalf.h"
#include "views/MainFrame.h"
#include "views/Mcalf.h"
#include "views/ProgramEvents.h"
#include "views/Ycalf.h"

namespace {

TCalendarWindow* WindowOf(CalendarKind kind)
{
    switch (kind) {
    case CalendarKind::Year:
        return YcalForm;
    case CalendarKind::Month:
        return MCalForm;
    case CalendarKind::Holiday:
        return HCalForm;
    }
    return nullptr;
}

constexpr CalendarKind Kinds[] = { CalendarKind::Year, CalendarKind::Month, CalendarKind::Holiday };

} // namespace

QString CalendarTitle(CalendarKind kind)
{
    switch (kind) {
    case CalendarKind::Year:
        return QStringLiteral("年度カレンダー");
    case CalendarKind::Month:
        return QStringLiteral("月カレンダー");
    case CalendarKind::Holiday:
        return QStringLiteral("休日カレンダー");
    }
    return QString();
}

QAction* CalendarMark(CalendarKind kind)
{
    if (!MainFrame)
        return nullptr;
    switch (kind) {
    case CalendarKind::Year:
        return MainFrame->Y1;
    case CalendarKind::Month:
        return MainFrame->M1;
    case CalendarKind::Holiday:
        return MainFrame->H2;
    }
    return nullptr;
}

bool IsOpen(CalendarKind kind)
{
    const QAction* mark = CalendarMark(kind);
    return mark && mark->isChecked() && WindowOf(kind);
}

std::optional<OpenCalendar> TheOpenCalendar()
{
    for (const CalendarKind kind : Kinds) {
        if (IsOpen(kind))
            return OpenCalendar { kind, WindowOf(kind) };
    }
    return std::nullopt;
}

void MarkCalendarOpen(CalendarKind kind, bool open)
{
    if (QAction* mark = CalendarMark(kind))
        mark->setChecked(open);
    if (open)
        emit ProgramEvents().calendarOpened(kind);
    else
        emit ProgramEvents().calendarClosed(kind);
}
