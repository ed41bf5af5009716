#include "platform/Printer.h"

#include <QDialog>
#include <QDir>
#include <QFile>
#include <QPainter>
#include <QStandardPaths>

#include "platform/Errors.h"
#include "platform/PrintBackend.h"
#include "platform/ProgramModule.h"

namespace {

const QString PrintingInProgress = QStringLiteral("現在印刷中です");
const QString NotPrinting = QStringLiteral("印刷中ではありません");

PrintBackendMaker Registered = nullptr;

std::unique_ptr<PrintBackend> MakeBackend()
{
    if (!Registered)
        LoadProgramModule({ QStringLiteral(VALDEMOR_PRINT_MODULE_NAME), QStringLiteral("印刷できません。"),
            QStringLiteral("印刷のモジュール"), [] { return Registered != nullptr; } });
    return Registered();
}

} // namespace

void RegisterPrintBackend(PrintBackendMaker make) { Registered = make; }

TPrinter::TPrinter()
    : backend_(MakeBackend())
{
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
    if (!backend_->WritesPdf() || !backend_->OutputFileName().isEmpty())
        return;
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty())
        folder = QDir::homePath();
    backend_->SetOutputFileName(QDir(folder).filePath(QStringLiteral("Valdemor.pdf")));
}

void TPrinter::BeginDoc()
{
    CheckNotPrinting();
    ChooseDefaultOutput();
    backend_->SetDocName(title_);
    auto painter = std::make_unique<QPainter>();
    if (!painter->begin(&backend_->Device())) {
        QString message = QStringLiteral("印刷を開始できません");
        if (!backend_->OutputFileName().isEmpty())
            message += QStringLiteral(": ") + QDir::toNativeSeparators(backend_->OutputFileName());
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
    if (!finished || backend_->Failed())
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
    backend_->Abort();
    painter_->end();
    painter_.reset();
    if (backend_->WritesPdf() && !backend_->OutputFileName().isEmpty())
        QFile::remove(backend_->OutputFileName());
}

void TPrinter::NewPage()
{
    if (!printing_)
        throw EInvalidOperation(NotPrinting);
    if (!backend_->NewPage())
        throw EInvalidOperation(QStringLiteral("新しいページを始められません"));
    ++pageNumber_;
}

TPrinterOrientation TPrinter::Orientation() const
{
    return backend_->Orientation() == QPageLayout::Landscape ? poLandscape : poPortrait;
}

void TPrinter::SetOrientation(TPrinterOrientation orientation)
{
    CheckNotPrinting();
    backend_->SetOrientation(orientation == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait);
}

int TPrinter::PixelsPerInchX() const { return backend_->Device().logicalDpiX(); }

int TPrinter::PixelsPerInchY() const { return backend_->Device().logicalDpiY(); }

void TPrinter::SetResolution(int dpi)
{
    CheckNotPrinting();
    if (dpi > 0)
        backend_->SetResolution(dpi);
}

int TPrinter::PageWidth() const { return backend_->Device().width(); }

int TPrinter::PageHeight() const { return backend_->Device().height(); }

QString TPrinter::OutputFileName() const { return backend_->OutputFileName(); }

void TPrinter::SetOutputFileName(const QString& path)
{
    CheckNotPrinting();
    backend_->SetOutputFileName(path);
}

bool TPrinter::WritesPdf() const { return backend_->WritesPdf(); }

void TPrinter::WritePdf()
{
    CheckNotPrinting();
    backend_->WritePdf();
}

std::unique_ptr<QDialog> TPrinter::SetUpDialog(QWidget* owner) { return backend_->SetUpDialog(owner); }

TPrinter& Printer()
{
    // Never destroyed: the Qt printer must not outlive the application object
    // in a static destructor. Made when first asked for, as printing needs
    // the printing module.
    static TPrinter* printer = new TPrinter;
    return *printer;
}
