#pragma once

// An up-down control: two small arrow buttons beside an edit box that step
// the number in that box between a minimum and a maximum. Only the arrows
// are bound by the limits; what the user types stays as typed. Up and Down
// keys step too while the control has the focus.

#include <QWidget>

class QLineEdit;
class QToolButton;

class TUpDown final : public QWidget {
    Q_OBJECT

public:
    explicit TUpDown(QWidget* parent = nullptr);

    void SetAssociate(QLineEdit* edit);
    QLineEdit* Associate() const { return associate_; }
    void SetRange(int minimum, int maximum);
    int Min() const { return min_; }
    int Max() const { return max_; }
    // The number last stepped to or read from the edit box.
    int Position() const { return position_; }
    void SetPosition(int position);
    // One step up (+1) or down (-1); stops at the limits, never wraps.
    void Step(int direction);

    QToolButton* UpButton() const { return up_; }
    QToolButton* DownButton() const { return down_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    QLineEdit* associate_ = nullptr;
    QToolButton* up_;
    QToolButton* down_;
    int min_ = 0;
    int max_ = 100;
    int position_ = 0;
};
