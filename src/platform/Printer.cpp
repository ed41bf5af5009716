#include "platform/Printer.h"

#include <QDir>
#include <QFile>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QStandardPaths>

#include "platform/Errors.h"

namespace {

const QString PrintingInProgress = QStringLiteral("現在印刷中です");
const QString NotPrinting = QStringLiteral("印刷中ではありません");

} // namespace

TPrinter::TPrinter()
    : printer_(std::make_unique<QPrinter>(QPrinter::HighResolution))
{
    // Without an installed printer Qt writes PDF; Japanese offices print on A4.
    if (printer_->outputFormat() == QPrinter::PdfFormat)
        printer_->setPageSize(QPageSize(QPageSize::A4));
}

TPrinter::~TPrinter()
{
    if (printing_) {
        painter_->end();
        canvas_.Detach();
    }
}

void TPrinter::CheckNotPrinting() const
{
    if (printing_)
        throw EInvalidOperation(PrintingInProgress);
}

void TPrinter::ChooseDefaultOutput()
{
    if (printer_->outputFormat() != QPrinter::PdfFormat || !printer_->outputFileName().isEmpty())
        return;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    printer_->setOutputFileName(QDir(folder).filePath(QStringLiteral("Valdemor.pdf")));
}

void TPrinter::BeginDoc()
{
    CheckNotPrinting();
    ChooseDefaultOutput();
    printer_->setDocName(title_);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(printer_.get())) {
        QString message = QStringLiteral("印刷を開始できません");
        if (!printer_->outputFileName().isEmpty())
            message += QStringLiteral(": ") + QDir::toNativeSeparators(printer_->outputFileName());
        throw EInvalidOperation(message);
    }
    painter_ = std::move(painter);
    canvas_.Attach(*painter_);
    // Text for this page is measured in its dots: a font keeps its point size.
    canvas_.Font().SetPixelsPerInch(PixelsPerInchY());
    printing_ = true;
    pageNumber_ = 1;
}

void TPrinter::EndDoc()
{
    if (!printing_)
        throw EInvalidOperation(NotPrinting);
    printing_ = false;
    canvas_.Detach();
    const bool finished = painter_->end();
    painter_.reset();
    if (!finished || printer_->printerState() == QPrinter::Error)
        throw EInvalidOperation(QStringLiteral("印刷を終了できません"));
}

void TPrinter::Abort()
{
    if (!printing_)
        return;
    printing_ = false;
    canvas_.Detach();
    // A printer queue drops the job; a PDF file is written to the end by Qt
    // whatever happens, so it is removed afterwards.
    printer_->abort();
    painter_->end();
    painter_.reset();
    if (printer_->outputFormat() == QPrinter::PdfFormat && !printer_->outputFileName().isEmpty())
        QFile::remove(printer_->outputFileName());
}

void TPrinter::NewPage()
{
    if (!printing_)
        throw EInvalidOperation(NotPrinting);
    if (!printer_->newPage())
        throw EInvalidOperation(QStringLiteral("新しいページを始められません"));
    ++pageNumber_;
}

TPrinterOrientation TPrinter::Orientation() const
{
    return printer_->pageLayout().orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation orientation)
{
    CheckNotPrinting();
    printer_->setPageOrientation(orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int TPrinter::PixelsPerInchX() const { return printer_->logicalDpiX(); }

int TPrinter::PixelsPerInchY() const { return printer_->logicalDpiY(); }

void TPrinter::SetResolution(int dpi)
{
    CheckNotPrinting();
    if (dpi > 0)
        printer_->setResolution(dpi);
}

int TPrinter::PageWidth() const { return printer_->width(); }

int TPrinter::PageHeight() const { return printer_->height(); }

QString TPrinter::OutputFileName() const { return printer_->outputFileName(); }

void TPrinter::SetOutputFileName(const QString& path)
{
    CheckNotPrinting();
    printer_->setOutputFileName(path);
}

TPrinter& Printer()
{
    // Never destroyed: the Qt printer must not outlive the application object
    // in a static destructor.
    static TPrinter* printer = new TPrinter;
    return *printer;
}
