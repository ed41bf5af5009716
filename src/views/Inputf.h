#pragma once

// The leave entry dialog "入力画面": one date, its leave kind and its memo.
// OK writes them to the data file and brings the open calendar up to date.
// One instance lives for the whole run; it is shown, never run modally, and
// stays above the main window.

#include <QDate>
#include <QWidget>

#include "views/EntryControls.h"
#include "views/LongLivedWindow.h"
#include "views/TabOrder.h"

class QAbstractButton;
class QButtonGroup;
class TKindGroup;
class QLabel;
class QLineEdit;
class QPushButton;

class TInputForm final : public QWidget {
    Q_OBJECT

public:
    explicit TInputForm(QWidget* parent = nullptr);
    ~TInputForm() override;

    // Shows the dialog for a date with what the data file holds for it, the
    // focus on the date. An impossible date raises EDateError and changes
    // nothing: a closed dialog stays closed.
    void OpenEntryDialog(int year, int month, int day);

    // The selected kind, 0 (通常) to 10 (休日出勤).
    int ItemIndex() const;
    void SetItemIndex(int kind);

    void Button1Click();
    void Button2Click();

    TKindGroup* RadioGroup1 = nullptr;
    QButtonGroup* RadioButtons = nullptr; // the group's buttons, id = kind
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    TDateField* DateTimePicker1 = nullptr;
    QLabel* Label4 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QLabel* MemoLength = nullptr; // bytes of the memo / the bytes kept

protected:
    void keyPressEvent(QKeyEvent* event) override; // FormKeyPress
    bool eventFilter(QObject* watched, QEvent* event) override;

    bool focusNextPrevChild(bool next) override;

private:
    void setupUi();
    void setupKinds();
    void setupButtons();
    void setupDate();
    void setupMemo();
    void setupKeyboard();
    void connectHandlers();
    bool MayReplace(int year, int month, int day, int kind, const QString& memo);
    void ShowMemoLength();

    TabOrder tabOrder_;
    // Selects the year part of the date field for the next typed date.
    void SelectYear();

    QDate openedFor_; // the date the dialog was opened for
    bool selectYear_ = false; // the year waits for the field to take the focus
};

extern LongLivedWindow<TInputForm> InputForm;

// Places a long-lived dialog in the middle of the main window, moved as
// little as needed to have it whole on the main window's screen.
void CentreOnMainWindow(QWidget& window);
