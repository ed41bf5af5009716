#pragma once

// A dialog's tab order as a plain list, followed by Tab, Shift+Tab and Enter.
// Qt's own focus chain is kept in creation order and is easily disturbed by
// controls made of several widgets (an edit box with its up-down buttons),
// so the dialogs move the focus by this list instead.

#include <QList>
#include <QPointer>
#include <QWidget>

class TabOrder {
public:
    void Set(std::initializer_list<QWidget*> controls)
    {
        controls_.clear();
        for (QWidget* control : controls)
            controls_ << control;
    }

    // Moves the focus from `current` (a control of the list or a part of
    // one) to the next (or previous) visible, enabled control, round the end
    // of the list. False when `current` is none of them.
    bool Move(const QWidget* current, bool forward) const
    {
        qsizetype at = -1;
        for (qsizetype i = 0; i < controls_.size(); ++i)
            if (controls_[i] && (controls_[i] == current || controls_[i]->isAncestorOf(current)))
                at = i;
        if (at < 0)
            return false;
        const qsizetype n = controls_.size();
        for (qsizetype step = 1; step <= n; ++step) {
            QWidget* next = controls_[((at + (forward ? step : -step)) % n + n) % n];
            if (next && next->isVisible() && next->isEnabled()) {
                // A move by the keyboard shows the focus mark at once. Qt
                // turns it on for a Tab key only, not for Enter, hence the
                // window's attribute.
                next->window()->setAttribute(Qt::WA_KeyboardFocusChange);
                next->setFocus(forward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
                return true;
            }
        }
        return false;
    }

private:
    QList<QPointer<QWidget>> controls_;
};
