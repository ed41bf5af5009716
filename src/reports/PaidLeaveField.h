#pragma once

// The field on the right of the main window's status line: "有給 36.5日",
// today's paid-leave balance, once a hiring date is set, and nothing before.
// It turns red, with the reasons as its tool tip, while days expire within
// three months or the five-day rule is at risk. A click opens the window
// "有給休暇の残日数". It reads the settings and the data file when made,
// after every saved day and after the paid-leave settings change.

#include <QLabel>

class TPaidLeaveField final : public QLabel {
    Q_OBJECT

public:
    explicit TPaidLeaveField(QWidget* parent = nullptr);

    void Refresh();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};
