#pragma once

// The options dialog "オプション設定": the calendar opened at start, the weekly
// days off, national holidays as days off, the flat tool bar and compaction
// of the data file at exit. Every showing loads the settings file afresh; OK
// writes back what the user changed, refills an open fiscal-year or month calendar when the days
// off changed and sets the tool bar; CANCEL and the close box write nothing.
// One instance lives for the whole run; it is shown, never run modally, and
// stays on top.

#include <array>

#include <QWidget>

#include "views/LongLivedWindow.h"
#include "views/TabOrder.h"

class QButtonGroup;
class QCheckBox;
class QGroupBox;
class QPushButton;

class TOpForm final : public QWidget {
    Q_OBJECT

public:
    explicit TOpForm(QWidget* parent = nullptr);
    ~TOpForm() override;

    // Shows the dialog centred on the main window; one already open only
    // comes to the front and keeps what the user changed in it.
    void Open();

    // The chosen start calendar, 0 to 2, or -1 when none is chosen.
    int ItemIndex() const;
    // Values above 2 choose the last item; negative values choose none.
    void SetItemIndex(int index);

    void FormShow();
    // A refused write raises EIniFileError; the dialog then stays open and
    // the steps after the write do not run.
    void Button1Click();
    void Button2Click();

    QGroupBox* RadioGroup1 = nullptr;
    QButtonGroup* RadioButtons = nullptr; // the group's buttons, id = index
    QGroupBox* GroupBox1 = nullptr;
    // Sunday ... Saturday, inside GroupBox1
    QCheckBox* CheckBox1 = nullptr;
    QCheckBox* CheckBox2 = nullptr;
    QCheckBox* CheckBox3 = nullptr;
    QCheckBox* CheckBox4 = nullptr;
    QCheckBox* CheckBox5 = nullptr;
    QCheckBox* CheckBox6 = nullptr;
    QCheckBox* CheckBox7 = nullptr;
    QCheckBox* CheckBox8 = nullptr; // national holidays are days off
    QCheckBox* CheckBox9 = nullptr; // flat tool bar
    QCheckBox* CheckBox10 = nullptr; // compact the data file at exit
    QCheckBox* CheckBox11 = nullptr; // holidays by the law as it stands today
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    // What the controls showed when the dialog opened: OK writes only what
    // differs from it.
    struct Values {
        std::array<bool, 8> DaysOff {}; // Sunday ... Saturday, national holidays
        bool CurrentLaw = false;
        int Start = 0;
        bool Flat = false;
        bool Compact = false;
    };
    Values Shown() const;
    Values shown_;
    int storedStart_ = 0; // the start calendar as the file held it

    void setupUi();
    void connectHandlers();
    // CheckBox1 to CheckBox8: Holiday/0 to Holiday/7.
    std::array<QCheckBox*, 8> DayOffBoxes() const;

    TabOrder tabOrder_;
};

extern LongLivedWindow<TOpForm> OpForm;
