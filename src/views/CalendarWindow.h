#pragma once

// What the three calendar windows share: they live in the main window's MDI
// area, fill it when shown (left 0, top 0, the main window's size less
// 15 × 105), keep their grid 25 × 70 pixels smaller than themselves, explain
// their buttons in the main window's status line, remember what they show
// only in the caption of their Button2, and follow the days saved while they
// are open.

#include <optional>

#include <QDate>
#include <QHash>
#include <QWidget>

#include "views/OpenCalendar.h"

class QPushButton;
class QToolButton;
class TStrColGrid;

class TCalendarWindow : public QWidget {
    Q_OBJECT

public:
    QPushButton* Button1 = nullptr; // 入力
    QPushButton* Button2 = nullptr; // the shown period; opens the chooser
    TStrColGrid* StrColGrid1 = nullptr;

    CalendarKind Kind() const { return kind_; }
    // The fiscal year on show; the month calendar's is that of its month.
    // A caption that does not read as a period raises EConvertError.
    virtual int ShownFiscalYear() const = 0;

    // The date of the selected cell, which may not exist (30 February in
    // the fiscal-year grid).
    virtual void SelectedDate(int& year, int& month, int& day) const = 0;
    // That date once the user chose a cell (a click, or a key that moved
    // the selection); nothing before, or when the date does not exist.
    std::optional<QDate> SelectedDay() const;
    // The entry dialog for that date (Button1, a double click); a date that
    // does not exist is refused with EDateError.
    void OpenSelectedDate();

protected:
    // clearsStatus: moving over the window's own background empties the
    // status line (FormMouseMove).
    // The title is the kind's.
    TCalendarWindow(CalendarKind kind, QSize designSize, bool clearsStatus);

    // A day was saved: the window shows it when it lies in the period on
    // show, and leaves a day elsewhere alone, where the user is looking.
    virtual void ShowSavedDay(QDate date, int kind, const QString& memo) = 0;
    // Several days from first to last were saved at once: the window fills
    // itself again, once, when its period meets theirs.
    virtual void ShowSavedDays(QDate first, QDate last) = 0;
    // The weekly days off or the holidays changed; a calendar that shows
    // them fills itself again.
    virtual void ShowDaysOffChange() { }

    // Records that the window is the open calendar: its check mark is set,
    // and calendarOpened goes out. The first show calls it.
    void MarkOpen();
    // The mark is cleared, the window's own hint leaves the status line and
    // calendarClosed goes out; closeEvent calls it.
    void MarkClosed();

    // The controls every calendar has, at their places.
    void MakeButtons(int button2Width, int button1Left);
    // The buttons of the calendars that show a fiscal year: Button2 ("1999年度"
    // until the first fill), 入力, and previous / this / next fiscal year.
    void MakeFiscalYearButtons(QToolButton*& previous, QToolButton*& current, QToolButton*& next);
    // The grid at (8, 40): drawn by its own rules, not editable; the user
    // may drag column widths when columnSizing.
    void MakeGrid(QSize size, int colCount, int rowCount, bool columnSizing);

    // A column width read from the settings file: one that is negative or
    // wider than any screen (a hand-edited file) gives the default.
    static int SaneColumnWidth(int width, int fallback);

    // The fiscal year of a navigation step: 1 this fiscal year by today's
    // date, 2 the one before `shown`, 3 the one after.
    static int FiscalYearForStep(int step, int shown);
    // What a screen reader says of a grid cell that stands for a day, for
    // example "2024年4月1日 月曜日"; empty for a day that does not exist.
    static QString DayDescription(int year, int month, int day);
    // Whether the days from first to last meet those of a fiscal year.
    static bool MeetsFiscalYear(int fiscalYear, QDate first, QDate last);
    // The status text shown while the mouse moves over a control.
    void SetStatusText(QWidget* control, const QString& text);

    // Fills the MDI area as the main window is sized now.
    void PlaceInMainWindow();
    // The window's outer size: its MDI frame's.
    QSize OuterSize() const;
    // True the first time only: a calendar that is minimised and restored is
    // shown again, and must then keep what it shows.
    bool FirstShow();

    void resizeEvent(QResizeEvent* event) override; // FormResize
    bool eventFilter(QObject* watched, QEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override; // FormMouseMove

private:
    // Empties the status line when it explains one of this window's
    // controls: MarkClosed calls it, so that no explanation outlives
    // its button. Another window's text stays.
    void ClearOwnStatusText();

    QHash<QObject*, QString> statusTexts_;
    CalendarKind kind_;
    bool clearsStatus_;
    bool shown_ = false;
    bool dayChosen_ = false; // the grid's first cell is where it starts, not a choice
};
