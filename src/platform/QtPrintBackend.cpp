// The printer through Qt's printing library: the code of the module
// valdemor-printing, which the program loads the first time it makes a
// printer. It takes nothing from the program but its registration.

#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>

#include "platform/PrintBackend.h"

namespace {

class QtPrintBackend final : public PrintBackend {
public:
    QtPrintBackend()
        : printer_(QPrinter::HighResolution)
    {
        // Without an installed printer Qt writes PDF; Japanese offices print on A4.
        if (WritesPdf())
            printer_.setPageSize(QPageSize(QPageSize::A4));
    }

    QPaintDevice& Device() override { return printer_; }
    bool WritesPdf() const override { return printer_.outputFormat() == QPrinter::PdfFormat; }
    void WritePdf() override { printer_.setOutputFormat(QPrinter::PdfFormat); }
    QString OutputFileName() const override { return printer_.outputFileName(); }
    void SetOutputFileName(const QString& path) override { printer_.setOutputFileName(path); }
    void SetDocName(const QString& name) override { printer_.setDocName(name); }
    QPageLayout::Orientation Orientation() const override { return printer_.pageLayout().orientation(); }
    void SetOrientation(QPageLayout::Orientation orientation) override { printer_.setPageOrientation(orientation); }
    void SetResolution(int dpi) override { printer_.setResolution(dpi); }
    bool NewPage() override { return printer_.newPage(); }
    void Abort() override { printer_.abort(); }
    bool Failed() const override { return printer_.printerState() == QPrinter::Error; }
    std::unique_ptr<QDialog> SetUpDialog(QWidget* owner) override
    {
        return std::make_unique<QPrintDialog>(&printer_, owner);
    }

private:
    QPrinter printer_;
};

// As the module is loaded, or as a program that links the printer in starts.
[[maybe_unused]] const bool Registered
    = (RegisterPrintBackend([]() -> std::unique_ptr<PrintBackend> { return std::make_unique<QtPrintBackend>(); }),
        true);

} // namespace
