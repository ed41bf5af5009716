#pragma once

// What happens in the program, as signals of one object: a day saved, a
// calendar opened or closed, the settings changed. A window that follows one
// connects with itself as the context object, so that it is disconnected
// when it goes.

#include <QDate>
#include <QObject>
#include <QString>

#include "views/OpenCalendar.h"

class TProgramEvents final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // The entry dialog wrote a day: its date, its kind (0 通常 clears it)
    // and the memo as the data file holds it now (cut to 30 bytes).
    void daySaved(QDate date, int kind, const QString& memo);
    void calendarOpened(CalendarKind kind);
    void calendarClosed(CalendarKind kind);
    // The options changed which weekdays are off, whether holidays are
    // days off, or which holiday table applies.
    void daysOffChanged();
    // The paid-leave settings were saved.
    void paidLeaveSettingsChanged();
};

// The one instance, alive for the whole run.
TProgramEvents& ProgramEvents();
