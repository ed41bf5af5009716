#pragma once

// The controls that the entry dialog and the period dialog share: the eleven
// kinds of leave, a Japanese date field and the memo's byte count.

#include <QDateEdit>
#include <QGroupBox>
#include <QRect>

class QButtonGroup;
class QLabel;
class QString;

// 休暇種類: the eleven kinds in three columns filled top to bottom, each
// button's id its kind. Up and Down move the tick through the kinds in their
// order, round the end and from one column into the next; Tab into the group
// lands on the ticked kind.
class TKindGroup final : public QGroupBox {
public:
    TKindGroup(QWidget* parent, const QRect& geometry);

    QButtonGroup* Buttons() const { return buttons_; }
    // The ticked kind, -1 when none is.
    int Kind() const;
    // A kind the group has no choice for (a foreign record) ticks none.
    void SetKind(int kind);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void MoveTick(int from, int step);

    QButtonGroup* buttons_;
};

// A date field as the dialogs have it: yyyy/MM/dd, a Japanese calendar that
// drops down, every date of the years 1 to 9999. A whole date can be typed
// over it: the year is selected when the field takes the focus from the
// keyboard, and a "/" typed after a part that filled itself (Qt moves on by
// itself after "2026") is taken as that move, not as one more: otherwise
// "2026/08/12" would land as 2026/06/08.
class TDateField final : public QDateEdit {
public:
    using QDateEdit::QDateEdit;

protected:
    void focusInEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    bool movedOn_ = false; // the last digit filled a part and moved to the next
};

QDateEdit* MakeDateField(QWidget* parent, const QString& name, const QString& accessibleName, const QRect& geometry);

// The memo's length in bytes against the 30 that are kept, red beyond them.
// Typing is not limited; only the first 30 bytes are stored.
QLabel* MakeMemoLength(QWidget* parent, const QRect& geometry);
void ShowMemoLength(QLabel& label, const QString& memo);
