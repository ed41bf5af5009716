#pragma once

// The month calendar "月カレンダー": one row per day of a month with the
// weekday, the leave code or holiday name, and the memo. The user may drag
// the column widths; they are kept in the settings when the window goes.

#include "core/Settings.h"
#include "views/CalendarWindow.h"

class QToolButton;

class TMCalForm final : public TCalendarWindow {
    Q_OBJECT

public:
    explicit TMCalForm(QWidget* parent = nullptr);
    ~TMCalForm() override; // FormDestroy: writes the column widths

    // 1 this month, 2 previous month, 3 twelve months back, 4 next month,
    // 5 twelve months on.
    void ShowMonth(int step);
    void Fill(int year, int month);
    // The top row of the selection, in the shown month.
    void SelectedDate(int& year, int& month, int& day) const override;
    void ShownMonth(int& year, int& month) const;
    int ShownFiscalYear() const override;

    Settings::MonthWidths ColumnWidths() const;
    void SetColumnWidths(const Settings::MonthWidths& widths);

    QToolButton* SpeedButton4 = nullptr;
    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;
    QToolButton* SpeedButton5 = nullptr;

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

// The month calendar while it exists (open, or opening or closing).
extern TMCalForm* MCalForm;
