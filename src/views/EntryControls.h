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
//
// The field never moves to another day by itself. QDateEdit puts the day
// back to the month's last when the month or year changes under it (31
// January, month 02: 28 February) or a day past the month's end is typed;
// this field keeps the date as typed, 2026/02/31, and its date() stays the
// last one that exists until the typing makes one again. The dialog's OK
// asks ImpossibleDate() and refuses.
//
// Tab and Shift+Tab leave the field from any of its parts; Left, Right and a
// typed "/" move between the year, the month and the day.
class TDateField final : public QDateEdit {
public:
    explicit TDateField(QWidget* parent = nullptr);

    // The date shown when it is one that does not exist ("2027/02/29"),
    // else empty.
    QString ImpossibleDate() const;
    // setDate(), which also puts aside an impossible date typed over the
    // same date.
    void ShowDate(const QDate& date);

    QValidator::State validate(QString& input, int& pos) const override;
    void stepBy(int steps) override;

protected:
    QDateTime dateTimeFromText(const QString& text) const override;
    QString textFromDateTime(const QDateTime& dateTime) const override;
    StepEnabled stepEnabled() const override;
    void focusInEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void MovePart(int step);
    void ShowImpossible(const QString& text);

    bool movedOn_ = false; // the last digit filled a part and moved to the next
    QString impossible_; // the impossible date on show, while date() is still anchor_
    QDate anchor_;
};

// The date a date field shows when it does not exist, else empty.
QString ImpossibleDate(const QDateEdit& field);
// "2027/02/29 という日付はありません。"
QString NoSuchDateText(const QString& date);

TDateField* MakeDateField(QWidget* parent, const QString& name, const QString& accessibleName, const QRect& geometry);

// The memo's length in bytes against the 30 that are kept, red beyond them.
// Typing is not limited; only the first 30 bytes are stored.
QLabel* MakeMemoLength(QWidget* parent, const QRect& geometry);
void ShowMemoLength(QLabel& label, const QString& memo);
