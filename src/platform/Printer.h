#pragma once

// The printer: one print job at a time, page by page, drawn through a
// TCanvas whose coordinates are the printer's own dots. The drawing area of a
// page (the canvas's clip rectangle) is the printable area, its top-left
// corner at (0, 0).
//
// Without an installed printer the job becomes a PDF file; tests and the
// program alike can name that file (SetOutputFileName).
//
// The first printer made loads the program's printing module
// (platform/PrintBackend.h); a module that is missing or cannot be loaded
// raises an Exception that names the file and why.

#include <memory>

#include <QString>

#include "platform/Canvas.h"

class PrintBackend;
class QDialog;
class QPainter;
class QWidget;

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // Starts a job on its first page. EInvalidOperation "現在印刷中です" while a
    // job is running; "印刷を開始できません: <reason>" when the printer or the
    // output file refuses it (then no job runs).
    void BeginDoc();
    // Finishes the job; the last page goes out.
    void EndDoc();
    // Ends the job without finishing it: a PDF file that was being written is
    // removed, so no half-written document is left behind.
    void Abort();
    // Finishes the current page and starts the next one.
    void NewPage();
    bool Printing() const { return printing_; }
    // Pages started in the current (or last) job.
    int PageNumber() const { return pageNumber_; }

    // For the following jobs; EInvalidOperation "現在印刷中です" while printing.
    TPrinterOrientation Orientation() const;
    void SetOrientation(TPrinterOrientation orientation);
    // Dots per inch of the printed page, the same across and down unless the
    // printer says otherwise. SetResolution is for the following jobs.
    int PixelsPerInchX() const;
    int PixelsPerInchY() const;
    void SetResolution(int dpi);
    // Size of the printable area in dots, for the chosen paper and orientation.
    int PageWidth() const;
    int PageHeight() const;

    // Where a PDF job is written; empty means the installed printer, or, when
    // there is none, "Valdemor.pdf" in the user's documents folder.
    QString OutputFileName() const;
    void SetOutputFileName(const QString& path);
    // Whether jobs become PDF files rather than go to a printer.
    bool WritesPdf() const;
    // The following jobs become PDF files, whatever printer is installed.
    void WritePdf();
    // The name the job carries in the printer's queue.
    QString Title() const { return title_; }
    void SetTitle(const QString& title) { title_ = title; }

    // Drawing on the current page. Outside a job the canvas is detached:
    // its brush, pen and font can be set, drawing raises EInvalidOperation.
    TCanvas& Canvas() { return canvas_; }

    // The printer set-up dialog; accepted, it leaves the choices in this
    // printer.
    std::unique_ptr<QDialog> SetUpDialog(QWidget* owner);

private:
    void CheckNotPrinting() const;
    // Points a PDF job at its file when nothing else was chosen.
    void ChooseDefaultOutput();

    std::unique_ptr<PrintBackend> backend_;
    std::unique_ptr<QPainter> painter_;
    TCanvas canvas_;
    QString title_;
    bool printing_ = false;
    int pageNumber_ = 0;
};

// The program's printer, used by every print command.
TPrinter& Printer();
