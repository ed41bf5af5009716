#pragma once

// What TPrinter asks of the printing system. Qt's printing library is large
// and only printing needs it, so the program carries its printer (Qt's
// QPrinter and the printer set-up dialog) in a module of its own, loaded the
// first time a printer is made; this interface is all the program sees of
// it. The module registers its maker as it is loaded (a program that links
// that code in has it registered from the start).

#include <memory>

#include <QPageLayout>
#include <QString>

class QDialog;
class QPaintDevice;
class QWidget;

class PrintBackend {
public:
    virtual ~PrintBackend() = default;

    // What a job's painter draws on; its metrics are the printed page's.
    virtual QPaintDevice& Device() = 0;

    // A PDF file rather than a printer: without an installed printer, or
    // when asked for.
    virtual bool WritesPdf() const = 0;
    virtual void WritePdf() = 0;
    virtual QString OutputFileName() const = 0;
    virtual void SetOutputFileName(const QString& path) = 0;
    virtual void SetDocName(const QString& name) = 0;
    virtual QPageLayout::Orientation Orientation() const = 0;
    virtual void SetOrientation(QPageLayout::Orientation orientation) = 0;
    virtual void SetResolution(int dpi) = 0;

    // The running job (started by the painter's begin): false when the
    // printer refuses.
    virtual bool NewPage() = 0;
    // Drops the job from the printer's queue; the painter still ends.
    virtual void Abort() = 0;
    // Whether the printer reported an error for the job.
    virtual bool Failed() const = 0;

    // The printer set-up dialog, whose acceptance leaves the choices in
    // this printer.
    virtual std::unique_ptr<QDialog> SetUpDialog(QWidget* owner) = 0;
};

using PrintBackendMaker = std::unique_ptr<PrintBackend> (*)();

// Defined by the program (platform/Printer.cpp), called by the module.
void RegisterPrintBackend(PrintBackendMaker make);
