#pragma once

// データの保存先: shows the folder the program's files are in and lets the
// user move them to another one (DataFolderMove): typed in, or chosen with
// 参照. 移動 asks first; where the new folder holds the program's files
// already, it asks which data to keep, showing the days and latest leave of
// each (Enter keeps the folder's; キャンセル moves nothing). A failure is
// told and leaves the program where it was.
// After a move every window shows the data of the new folder. One instance
// lives for the whole run; it is shown, never run modally, and stays on top.

#include <QWidget>

#include "views/LongLivedWindow.h"

class QLabel;
class QLineEdit;
class QPushButton;

class TDataFolderForm final : public QWidget {
    Q_OBJECT

public:
    explicit TDataFolderForm(QWidget* parent = nullptr);
    ~TDataFolderForm() override;

    void Open();
    void Button1Click(); // 移動
    void Button2Click(); // キャンセル
    void Button3Click(); // 参照

    QLabel* Label1 = nullptr;
    QLabel* Current = nullptr;
    QLabel* Label2 = nullptr;
    QLineEdit* Edit1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupUi();
};

extern LongLivedWindow<TDataFolderForm> DataFolderForm;
