#pragma once

// What happens in the program, as signals of one object: a day saved, a
// calendar opened or closed, the settings changed. A window that follows one
// connects with itself as the context object, so that it is disconnected
// when it goes.

#include <functional>

#include <QDate>
#include <QObject>
#include <QString>

#include "views/OpenCalendar.h"

class TProgramEvents final : public QObject {
    Q_OBJECT

public:
    using QObject::QObject;

signals:
    // One day was written: its date, its kind (0 通常 clears it)
    // and the memo as the data file holds it now (cut to 30 bytes).
    void daySaved(QDate date, int kind, const QString& memo);
    // Several days were written at once (a period, an undo or a redo):
    // some of the days from first to last changed.
    void daysSaved(QDate first, QDate last);
    // A save, undo or redo changed what 元に戻す and やり直し would do.
    void historyChanged();
    // The data file was replaced as a whole (a restore from a backup, a
    // change by another program): every day may have changed.
    void dataReplaced();
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

// Calls `follow` whenever what the data file holds may have changed: one day
// or several saved, or the file replaced. Disconnected when `context` goes.
void FollowDataFile(QObject* context, const std::function<void()>& follow);
