#pragma once

// CSVファイルから読み込み: the file is chosen, read, and compared with what is
// stored; the preview says how many days are new, lists the days that differ
// from what is stored (both values), the days far from today's years (before
// 1950 or after 2100, a date a person rarely means) and the lines that could
// not be read. A long list shows its first 1000 rows and the count of the
// rest, so that any file opens at once.
// 新しい日だけ追加 writes the new days, 既存の日も上書き the differing days
// too, in one save that undo takes back as one step. The comparison is made
// again when the user chooses, so that a day saved meanwhile is never
// overwritten by a choice made for an empty day. One instance, made at the
// first import, lives for the rest of the run; it is shown, never run
// modally, and stays on top.

#include <vector>

#include <QDate>
#include <QString>
#include <QWidget>

#include "core/CsvImport.h"
#include "core/LeaveStore.h"

class QLabel;
class QListWidget;
class QPushButton;
class QTreeWidget;

namespace ImportPreview {

// A day of the file whose date holds other leave now.
struct Change {
    QDate Date;
    LeaveStore::Entry Stored;
    LeaveStore::Entry Read; // the memo as it would be stored
};

// What the import would do with what is stored now: each date of the file
// once, its last line deciding.
struct Plan {
    std::vector<LeaveStore::DayEntry> NewDays; // dates without leave now; memos cut when saved
    std::vector<Change> Changes;
    int SameDays = 0; // already stored as the file has them
};

// Reads what is stored for the file's dates in one pass.
Plan PlanFor(const CsvImport::Result& read);

// A day of a year before 1950 or after 2100: listed apart in the preview.
bool IsFarYear(int year);

// Rows shown of a list; the rest are counted in one more row.
inline constexpr int MaxListedRows = 1000;

// Writes the new days, and the changed ones with `overwrite`, as one saved
// step "CSV読み込み 12日"; returns the number of days written.
int Apply(const Plan& plan, bool overwrite);

// The status line after an import that wrote `added` new days and
// overwrote `overwritten` others.
QString StatusText(int added, int overwritten);

// The whole command: the open dialog, the reading (a file that cannot be
// read is told in a warning), the preview.
void Run(QWidget* owner);

// The reading and the preview of one file: a CSV file, or a copy of the
// data file (".d00", as a sync client leaves it beside Holiday.d00).
void OpenFile(QWidget* owner, const QString& path);

} // namespace ImportPreview

class TImportPreviewForm final : public QWidget {
    Q_OBJECT

public:
    explicit TImportPreviewForm(QWidget* parent = nullptr);
    ~TImportPreviewForm() override;

    // Shows what importing `read` from the file `name` would do.
    void Open(const QString& name, CsvImport::Result read);
    void Button1Click(); // 新しい日だけ追加
    void Button2Click(); // 既存の日も上書き
    void Button3Click(); // キャンセル

    QLabel* Label1 = nullptr; // the counts
    QTreeWidget* ListView1 = nullptr; // the differing days
    QLabel* Label3 = nullptr;
    QTreeWidget* ListView2 = nullptr; // the days before 1950 or after 2100
    QLabel* Label2 = nullptr;
    QListWidget* ListBox1 = nullptr; // the lines not read
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupUi();
    void import(bool overwrite);

    CsvImport::Result read_;
};

extern TImportPreviewForm* ImportPreviewForm;
