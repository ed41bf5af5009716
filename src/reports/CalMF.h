#pragma once

// The monthly totals "月別休暇日数集計－<year>年度": the full-day, morning and
// afternoon leave of each month of a fiscal year, their sum in days, and a
// total row. One instance lives for the whole run; a request sets its
// caption and shows it, and closing only hides it.

#include <QWidget>

#include "views/LongLivedWindow.h"

class QPushButton;
class TComboGrid;

class TCalMForm final : public QWidget {
    Q_OBJECT

public:
    explicit TCalMForm(QWidget* parent = nullptr);
    ~TCalMForm() override;

    // Sets the caption to the fiscal year, shows the window (to the front
    // when it is visible already) and fills the table afresh.
    void ShowTotals(int fiscalYear);

    // Fills the table for the fiscal year of the caption; a caption whose
    // four characters after the prefix are no number raises EConvertError
    // and leaves the table as it was.
    void Fill();

    QPushButton* BitBtn1 = nullptr;
    TComboGrid* ComboGrid1 = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override; // FormResize

private:
    void setupUi();
};

extern LongLivedWindow<TCalMForm> CalMForm;

// "月別休暇日数集計－"
QString MonthlyTotalsCaptionPrefix();
