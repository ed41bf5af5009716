#pragma once

// The totals window "休暇日数集計－<year>年度": paid leave on the left, the
// other leave and the days off on the right, then the days worked and the
// attendance rate of the fiscal year. One instance lives for the whole run;
// a request sets its caption and shows it, and closing only hides it.

#include <array>

#include <QWidget>

#include "views/LongLivedWindow.h"

class QLabel;
class QPushButton;
class TStrColGrid;

class TCalForm final : public QWidget {
    Q_OBJECT

public:
    explicit TCalForm(QWidget* parent = nullptr);
    ~TCalForm() override;

    // Sets the caption to the fiscal year, shows the window (to the front
    // when it is visible already) and fills both grids afresh.
    void ShowTotals(int fiscalYear);

    // Fills both grids for the fiscal year of the caption. The caption's
    // four characters after its prefix must be a number; otherwise
    // EConvertError is raised after the right grid's labels were rebuilt, and
    // every figure keeps what it showed.
    void Fill();

    QPushButton* BitBtn1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    TStrColGrid* StrColGrid1 = nullptr; // paid leave and the sums
    TStrColGrid* StrColGrid2 = nullptr; // other leave, days off and holidays

protected:
    void resizeEvent(QResizeEvent* event) override; // FormResize

private:
    void setupUi();
    void BuildOtherLeaveRows(const std::array<bool, 7>& daysOff);
};

extern LongLivedWindow<TCalForm> CalForm;

// "休暇日数集計－"
QString YearTotalsCaptionPrefix();
