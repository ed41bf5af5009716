#pragma once

// The holiday calendar "休日カレンダー": the leave days of one fiscal year in
// date order, with number, date, weekday, code and memo. The user may drag
// the column widths; they are kept in the settings when the window is closed.
// Until the user dragged it, the date column is as wide as a date in the
// grid's font.

#include "core/Settings.h"
#include "views/CalendarWindow.h"

class QToolButton;

class THCalForm final : public TCalendarWindow {
    Q_OBJECT

public:
    explicit THCalForm(QWidget* parent = nullptr);
    ~THCalForm() override;

    // 1 this fiscal year (by today's date), 2 the one before the shown, 3 the one after.
    void ShowFiscalYear(int step);
    void Fill(int fiscalYear);
    // The date in column 1 of the selected row; today for the header row or
    // a row without a readable date.
    void SelectedDate(int& year, int& month, int& day) const override;
    int ShownFiscalYear() const override;

    Settings::HolidayWidths ColumnWidths() const;
    void SetColumnWidths(const Settings::HolidayWidths& widths);
    // The date column's first width: a whole date in the grid's font.
    int DateColumnWidth() const;

    QToolButton* SpeedButton1 = nullptr;
    QToolButton* SpeedButton2 = nullptr;
    QToolButton* SpeedButton3 = nullptr;

protected:
    void ShowSavedDay(QDate date, int kind, const QString& memo) override;
    void ShowSavedDays(QDate first, QDate last) override;
    void showEvent(QShowEvent* event) override; // FormShow
    void closeEvent(QCloseEvent* event) override; // FormClose: writes the column widths

private:
    void setupUi(); // FormCreate
    void connectHandlers();
};

// The holiday calendar while it exists (open, or opening or closing).
extern THCalForm* HCalForm;
