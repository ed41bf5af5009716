#pragma once

// The period dialog "期間入力": one kind of leave and one memo for every day
// from a first to a last date, written in one save and taken back by one
// undo. Weekly days off and, when they count as days off, national holidays
// are left out unless the user asks for them. One instance lives for the
// whole run; it is shown, never run modally, and stays above the main window.

#include <optional>
#include <vector>

#include <QDate>
#include <QWidget>

#include "views/LongLivedWindow.h"
#include "views/TabOrder.h"

class QCheckBox;
class QDateEdit;
class QLabel;
class QLineEdit;
class QPushButton;
class TKindGroup;

class TRangeForm final : public QWidget {
    Q_OBJECT

public:
    explicit TRangeForm(QWidget* parent = nullptr);
    ~TRangeForm() override;

    // Shows the dialog with both dates at `day`, the focus on the first with
    // its year selected, so that a typed date replaces the whole of it.
    void OpenRangeDialog(const QDate& day);

    // OK: refuses a period that cannot be entered, else saves it as one step
    // and closes. When the days it would write over are no longer those the
    // summary told of (another copy wrote meanwhile), it asks again first.
    // A failed save keeps the dialog with its input.
    void Button1Click();
    void Button2Click();

    QDateEdit* StartDate = nullptr; // 開始日
    QDateEdit* EndDate = nullptr; // 終了日
    TKindGroup* RadioGroup1 = nullptr;
    QLineEdit* Edit1 = nullptr; // メモ
    QLabel* MemoLength = nullptr;
    QCheckBox* SkipDaysOff = nullptr; // 休日（定休日・祝日）は除く
    QLabel* Summary = nullptr; // what OK will do
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void setupUi();
    QLabel* AddLabel(const QString& text, const QPoint& at);
    // The days OK would write, and the summary line for them.
    std::vector<QDate> Days() const;
    void ShowSummary();

    TabOrder tabOrder_;
    // What the summary line was worked out for, and the days it said would
    // be written over.
    struct Told {
        std::vector<QDate> Days;
        int Kind = 0;
        QString Memo;
        std::vector<QDate> Overwritten;
    };
    std::optional<Told> told_;
};

extern LongLivedWindow<TRangeForm> RangeForm;
