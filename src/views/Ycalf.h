#pragma once

// The fiscal-year calendar "年度カレンダー": twelve month rows (April to March)
// by 31 day columns, each cell the code of that day in its colour.

#include "views/CalendarWindow.h"

class QToolButton;

class TYcalForm final : public TCalendarWindow {
    Q_OBJECT

public:
    explicit TYcalForm(QWidget* parent = nullptr);
    ~TYcalForm() override;

    // 1 this fiscal year (by today's date), 2 the one before the shown, 3 the one after.
    void ShowFiscalYear(int step);
    // Refills the grid with a fiscal year and shows it on Button2.
    void Fill(int fiscalYear);
    // The top-left cell of the selection.
    void SelectedDate(int& year, int& month, int& day) const override;
    int ShownFiscalYear() const override;

    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;

protected:
    void ShowSavedDay(QDate date, int kind, const QString& memo) override;
    void ShowSavedDays(QDate first, QDate last) override;
    void ShowDaysOffChange() override;
    void showEvent(QShowEvent* event) override; // FormShow
    void closeEvent(QCloseEvent* event) override; // FormClose

private:
    void setupUi(); // FormCreate
    void connectHandlers();
};

// The fiscal-year calendar while it exists (open, or opening or closing).
extern TYcalForm* YcalForm;
