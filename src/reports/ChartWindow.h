#pragma once

// The window "休暇のグラフ": three tabs of charts drawn by Qt Charts.
// 年度別 stacks paid leave and each other kind for every fiscal year with
// records (the newest twenty), 月別 does so for the months of the fiscal
// year the open calendar shows (or today's), and 有給休暇 shows each grant's
// days used, expired and left above the balance over time. The figures come
// from the totals and the paid-leave balance themselves. One instance is made
// on first use and lives for the rest of the run; closing only hides it.
// While visible it follows every save and the paid-leave settings.
//
// It opens centred on the main window like the totals windows; once the
// user moved or resized it, [Chart] in the settings keeps where it stood.

#include <QRect>
#include <QWidget>

class QChartView;
class QLabel;
class QPushButton;
class QTabWidget;

class TChartForm final : public QWidget {
    Q_OBJECT

public:
    explicit TChartForm(QWidget* parent = nullptr);
    ~TChartForm() override;

    // Shows the window where it stood (to the front when it is up) and
    // draws every chart afresh.
    void ShowCharts();
    void Refresh();
    // "画像として保存...": asks for the file, then SaveImageTo.
    void SaveImage();
    // The shown tab as PDF (vector) when the name ends in ".pdf", else as
    // PNG at the screen's resolution; the file is replaced only once whole.
    void SaveImageTo(const QString& path);

    QPushButton* BitBtn1 = nullptr; // 閉じる
    QPushButton* Button1 = nullptr; // 画像として保存...
    QTabWidget* PageControl1 = nullptr;
    QChartView* YearChart = nullptr;
    QChartView* MonthChart = nullptr;
    QChartView* GrantChart = nullptr;
    QChartView* BalanceChart = nullptr;
    QLabel* HiringDateHint = nullptr; // in place of the two above without a hiring date

protected:
    void hideEvent(QHideEvent* event) override;

private:
    void setupUi();
    void RefreshYears();
    void RefreshMonths();
    void RefreshPaidLeave();

    // Where the window was put when shown: it differs once the user moved
    // or resized it.
    QRect placed_;
};

extern TChartForm* ChartForm;

// Makes the window on first use (owned by `owner`) and shows it. The program
// reaches it through OpenChartWindow (reports/ChartWindowOpener.h).
void ShowChartWindow(QWidget* owner);
