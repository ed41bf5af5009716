#pragma once

// The print dialog "印刷": prints the open calendar (fiscal-year, month or
// holiday) as a plain ruled table, cell texts only, with a heading line on
// every page. OK copies the calendar's cells into a hidden grid shaped for
// the calendar, and the grid printer prints that grid; "プレビュー" shows the
// same pages on screen first. One instance lives for the whole run; it is
// shown, never run modally, and stays on top.
//
// Which calendar is printed is decided when OK is pressed, and the heading
// when each page starts, from the main window's view marks: the dialog may
// have been opened for another calendar.

#include <cstdint>
#include <memory>
#include <vector>

#include <QPointer>
#include <QWidget>

#include "views/LongLivedWindow.h"
#include "views/OpenCalendar.h"
#include "widgets/CmbGrid.h"
#include "widgets/GridPrn.h"

class QKeyEvent;
class QLabel;
class QPushButton;
class TPrintPreview;
class TPrinter;
struct TPreviewSource;

class Tpriansform final : public QWidget {
    Q_OBJECT

public:
    explicit Tpriansform(QWidget* parent = nullptr);
    ~Tpriansform() override;

    // The heading of every printed page for the calendar shown now: the
    // calendar's name and shown period behind two ideographic and eight
    // ASCII spaces; only the spaces when no calendar is open.
    static QString HeadingText();

    // Prints a calendar window's pages as OK prints them when that calendar
    // is the open one, heading and orientation included, on printer; the
    // answer is the number of pages. The window need not be shown or open.
    static int PrintCalendar(const OpenCalendar& calendar, TPrinter& printer);

    // The main window's print command: the dialog for the open calendar, or
    // a warning when there is none.
    void OpenPrintDialog();

    // Shapes the print grid for a calendar kind: column count, row count,
    // column widths and centred columns.
    void PrepareGrid(CalendarKind kind);

    void Button1Click(); // OK: prints
    void Button2Click(); // CANCEL
    void Button3Click(); // printer set-up
    void Button4Click(); // preview
    void GridPrinter1Header(QObject* Sender, int& Page, int Width, int YPos);

    // Whether a print run is going on (window messages run between rows).
    bool Printing() const { return printing_; }
    // Pages of the last finished print.
    int PrintedPages() const { return printedPages_; }

    // The printer OK prints on; the program's printer unless a test gives
    // another. Not owned.
    TPrinter& Printer() const;
    void SetPrinter(TPrinter* printer);

    // The preview window, once "プレビュー" was pressed.
    TPrintPreview* Preview() const;

    QLabel* Label1 = nullptr;
    QPushButton* Button1 = nullptr;
    QPushButton* Button2 = nullptr;
    QPushButton* Button3 = nullptr;
    QPushButton* Button4 = nullptr;
    TComboGrid* ComboGrid1 = nullptr; // never shown
    TGridPrinter* GridPrinter1 = nullptr;

protected:
    void keyPressEvent(QKeyEvent* event) override; // Esc is CANCEL

private:
    void setupUi();
    void connectHandlers();
    // Prints the open calendar; false when nothing was printed because no
    // calendar is open or no PDF file was chosen.
    bool PrintShownCalendar();
    // When the job would become a PDF file that nobody chose yet, asks where
    // to save it; false when the user cancelled.
    bool ChoosePdfFile(CalendarKind kind);
    // A copy of the print grid and printer, filled from the open calendar,
    // for the preview.
    TPreviewSource PreviewSource(CalendarKind kind) const;

    TPrinter* printer_ = nullptr;
    QPointer<TPrintPreview> preview_;
    // The PDF file the user last chose in the save dialog; a PDF file named
    // by anyone else (the printer set-up, a caller) is printed to as it is.
    QString askedPdf_;
    bool printing_ = false;
    int printedPages_ = 0;
};

extern LongLivedWindow<Tpriansform> priansform;
