#pragma once

// バックアップから復元: the backups of the data file, newest first, each with
// its date, the days with an entry and the latest of them. A damaged backup,
// or a link, pipe or device under a backup's name, is listed as such and
// cannot be chosen. 復元 asks first, then puts the
// chosen backup in place of the data file (the current file is backed up
// before), forgets the undo history, whose steps belong to the old file, and
// tells every open window. One instance lives for the whole run; it is shown,
// never run modally, and stays on top.

#include <vector>

#include <QWidget>

#include "core/Backups.h"
#include "views/LongLivedWindow.h"

class QLabel;
class QPushButton;
class QTreeWidget;

class TRestoreForm final : public QWidget {
    Q_OBJECT

public:
    explicit TRestoreForm(QWidget* parent = nullptr);
    ~TRestoreForm() override;

    // Lists the backups as they are now and shows the form.
    void Open();
    void Button1Click(); // 復元
    void Button2Click(); // 閉じる

    QLabel* Label1 = nullptr;
    QTreeWidget* ListView1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupUi();
    void fill();

    std::vector<Backups::Backup> backups_; // in the order of the list's rows
};

extern LongLivedWindow<TRestoreForm> RestoreForm;
