#pragma once

// The paid-leave settings: the hiring date, on which day grants fall (by
// length of service or on a fixed day of the year), the scheduled days a
// week, the days of single grants, a starting balance, and whether to be
// told at start of days about to expire. Modeless, above the other windows;
// OK checks every field, writes the section [Paid] of orbelund.ini and tells
// its owner and the program, and a field that cannot be read is named in a
// warning, with nothing written.

#include <functional>
#include <optional>

#include <QWidget>

#include "core/PaidLeave.h"

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;

class TPaidLeaveSettingsForm final : public QWidget {
    Q_OBJECT

public:
    explicit TPaidLeaveSettingsForm(QWidget* parent = nullptr);

    // Fills the fields from the settings file and shows the dialog.
    void Open();
    void Button1Click(); // OK
    void Button2Click(); // キャンセル

    // The rules the fields hold, or the warning that names the field that
    // cannot be read.
    struct Reading {
        std::optional<PaidLeave::Rules> Rules;
        QString Warning;
    };
    Reading ReadFields() const;
    void ShowRules(const PaidLeave::Rules& rules);

    // Called after OK wrote the settings.
    std::function<void()> OnSaved;

    QLineEdit* Edit1 = nullptr; // hiring date
    QGroupBox* GroupBox1 = nullptr;
    QRadioButton* RadioButton1 = nullptr; // by length of service
    QRadioButton* RadioButton2 = nullptr; // on a fixed day
    QSpinBox* SpinEdit1 = nullptr; // its month
    QSpinBox* SpinEdit2 = nullptr; // its day
    QComboBox* ComboBox1 = nullptr; // scheduled days a week: 5以上, 4, 3, 2, 1
    QPlainTextEdit* Memo1 = nullptr; // days of single grants
    QLineEdit* Edit2 = nullptr; // start of the records
    QPlainTextEdit* Memo2 = nullptr; // what was left then
    QCheckBox* CheckBox1 = nullptr; // the notice at start
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    // Enter is OK, Esc キャンセル; a focused button and the two boxes of
    // lines take Enter themselves.
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupUi();
};
