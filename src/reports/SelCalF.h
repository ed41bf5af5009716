#pragma once

// The totals selection "集計項目選択": fiscal-year cumulative totals or the
// totals by month, then the fiscal year. One instance lives for the whole
// run and keeps the user's last choice; it is shown, never run modally.

#include <QWidget>

#include "views/LongLivedWindow.h"

class QButtonGroup;
class QGroupBox;
class QPushButton;
class QRadioButton;

class TSelCalform final : public QWidget {
    Q_OBJECT

public:
    explicit TSelCalform(QWidget* parent = nullptr);
    ~TSelCalform() override;

    // OpenTotalsSelection: shows the dialog, or brings it to the front.
    void OpenTotalsSelection();

    // 0 年度累計, 1 月別集計.
    int ItemIndex() const;
    void SetItemIndex(int index);

    // OK: asks for the fiscal year and shows the chosen totals; cancelling
    // the input box keeps the dialog open.
    void Button1Click();
    void Button2Click();

    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* RadioButtons = nullptr; // id = item index
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupUi();
};

extern LongLivedWindow<TSelCalform> SelCalform;
