#pragma once

// The window "有給休暇の残日数": one row per grant of paid leave (grant date,
// days granted, carried in, used, expired, left, last valid day, the outcome
// of the five-day rule of its year), today's
// balance in large type, what expires within three months, and the five-day
// rule of the present grant year. One instance lives for the whole run; the
// 集計 menu shows it, closing only hides it. It reads the settings and the
// data file afresh on every show and, while visible, after every save.
// Until a hiring date is set it shows one sentence saying what to enter.

#include <QWidget>

#include "views/LongLivedWindow.h"

class QLabel;
class QPushButton;
class TStrColGrid;
class TPaidLeaveSettingsForm;
namespace PaidLeave {
struct Balance;
}

class TPaidLeaveForm final : public QWidget {
    Q_OBJECT

public:
    explicit TPaidLeaveForm(QWidget* parent = nullptr);
    ~TPaidLeaveForm() override;

    // Shows the window (to the front when it is up already) and fills it.
    void ShowBalance();
    // Reads the settings and the data file and shows the balance as of today.
    void Refresh();
    // The settings dialog.
    void Button1Click();

    QPushButton* BitBtn1 = nullptr; // 閉じる
    QPushButton* Button1 = nullptr; // 設定
    QLabel* Label1 = nullptr; // "今日の残日数"
    QLabel* Label2 = nullptr; // the balance, large
    QLabel* Label3 = nullptr; // what expires within three months
    QLabel* Label4 = nullptr; // the five-day rule
    QLabel* Label5 = nullptr; // the next grant, leave beyond the grants
    QLabel* Label6 = nullptr; // what to enter before the hiring date is set
    TStrColGrid* StrColGrid1 = nullptr;
    TPaidLeaveSettingsForm* SettingsForm = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    void setupUi();
    void setupBalanceLabels();
    void setupGrantGrid();
    void ShowHiringDateHint(bool hint);
    void ShowExpiring(const PaidLeave::Balance& balance);
    void ShowFiveDayRule(const PaidLeave::Balance& balance);
    void ShowNextGrantAndExcess(const PaidLeave::Balance& balance);
    void ShowGrants(const PaidLeave::Balance& balance);
};

extern LongLivedWindow<TPaidLeaveForm> PaidLeaveForm;
