#pragma once

// The version window "バージョン情報": the program's icon, its title, its
// version and a one-line notice on a bevelled panel, and an OK button. One
// instance lives for the whole run; it is shown, never run modally, and
// stays on top.

#include <QWidget>

#include "views/LongLivedWindow.h"

class QFrame;
class QLabel;
class QPushButton;

class TAboutBox final : public QWidget {
    Q_OBJECT

public:
    explicit TAboutBox(QWidget* parent = nullptr);
    ~TAboutBox() override;

    // Shows the window centred on the main window; one already open only
    // comes to the front.
    void Open();

    void OKButtonClick();

    QFrame* Panel1 = nullptr;
    QLabel* ProgramIcon = nullptr;
    QLabel* ProductName = nullptr;
    QLabel* Version = nullptr;
    QLabel* Copyright = nullptr;
    QPushButton* OKButton = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupUi();
    void FormCreate();
};

extern LongLivedWindow<TAboutBox> AboutBox;
