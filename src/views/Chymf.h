#pragma once

// The year and month chooser: jumps the open calendar to a typed fiscal
// year, or year and month. It keeps no note of the calendar it serves: the
// kind is written into its caption when it opens and read back from the
// caption's seventh character ("年", "月" or "休") on OK. One instance lives
// for the whole run; it is shown, never run modally, and stays on top.

#include <QWidget>

#include "views/LongLivedWindow.h"
#include "views/OpenCalendar.h"
#include "views/TabOrder.h"

class QLabel;
class QLineEdit;
class QPushButton;
class TUpDown;

class TChYMForm final : public QWidget {
    Q_OBJECT

public:
    explicit TChYMForm(QWidget* parent = nullptr);
    ~TChYMForm() override;

    // The month is used only by the month calendar's kind.
    void OpenYearMonthChooser(CalendarKind kind, int year, int month);

    // Fills the calendar named by the caption with the typed numbers; a text
    // that is no number raises EConvertError and the form stays open.
    void Button1Click();
    void Button2Click();

    QLabel* Label3 = nullptr;
    QLineEdit* Edit1 = nullptr;
    TUpDown* UpDown1 = nullptr;
    QLabel* Label1 = nullptr;
    QLineEdit* Edit2 = nullptr;
    TUpDown* UpDown2 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override; // FormKeyPress, for every field

    bool focusNextPrevChild(bool next) override;

private:
    void setupUi();
    // Sets the caption, widening the form when the title bar needs it; the
    // controls stay together in the middle.
    void setCaption(const QString& caption);
    void connectHandlers();
    void selectYear();

    TabOrder tabOrder_;
    int controlsShift_ = 0; // how far the controls stand right of their places
    bool selectYear_ = false; // the year is to be selected when it takes the focus
};

extern LongLivedWindow<TChYMForm> ChYMForm;
