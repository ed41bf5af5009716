#pragma once

// What the windows see of the main window. The main window (app/) stands
// on the windows and implements this; the windows reach it only through
// `MainFrame`, so no window depends on the frame that holds it.

#include "core/SaveHistory.h"

class QAction;
class QString;
class QWidget;

class TMainFrame {
public:
    // The view commands' check marks: the only record of which calendar is
    // open. The calendars set them when shown and clear them when closed.
    QAction* Y1 = nullptr; // fiscal-year calendar
    QAction* M1 = nullptr; // month calendar
    QAction* H2 = nullptr; // holiday calendar

    // The column-width commands, enabled only while their calendar is open.
    QAction* D1 = nullptr; // month calendar: initial widths
    QAction* F1 = nullptr; // month calendar: widths of the last close
    QAction* D2 = nullptr; // holiday calendar: initial widths
    QAction* F2 = nullptr; // holiday calendar: widths of the last close

    // The saves of this session, for 元に戻す and やり直し (views/DaySaves).
    SaveHistory History;

    // The main window itself: its place and outer size.
    virtual QWidget& FrameWidget() = 0;

    // The status line's one simple panel.
    virtual void SetStatusText(const QString& text) = 0;
    virtual QString StatusText() const = 0;
    // A notice in the status line with a 詳細 button beside it that shows
    // `details` in a window of its own; never a modal box, and no key is
    // taken from the window the user types in. The next status text
    // takes its place.
    virtual void ShowNotice(const QString& text, const QString& details) = 0;

protected:
    ~TMainFrame() = default;
};

// The one main window, or null before it exists and after it is gone.
extern TMainFrame* MainFrame;
