#pragma once

// What the three calendar windows share: they live in the main window's MDI
// area, fill it when shown (left 0, top 0, the main window's size less
// 15 × 105), keep their grid 25 × 70 pixels smaller than themselves, explain
// their buttons in the main window's status line, and remember what they
// show only in the caption of their Button2.

#include <functional>

#include <QHash>
#include <QWidget>

class QPushButton;
class QToolButton;
class TStrColGrid;

class TCalendarWindow : public QWidget {
    Q_OBJECT

public:
    QPushButton* Button1 = nullptr; // 入力
    QPushButton* Button2 = nullptr; // the shown period; opens the chooser
    TStrColGrid* StrColGrid1 = nullptr;

protected:
    // clearsStatus: moving over the window's own background empties the
    // status line (FormMouseMove).
    TCalendarWindow(const QString& title, QSize designSize, bool clearsStatus);

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
    // The status text shown while the mouse moves over a control.
    void SetStatusText(QWidget* control, const QString& text);
    // Empties the status line when it explains one of this window's
    // controls: called as the window closes, so that no explanation outlives
    // its button. Another window's text stays.
    void ClearOwnStatusText();

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
    QHash<QObject*, QString> statusTexts_;
    bool clearsStatus_;
    bool shown_ = false;
};
