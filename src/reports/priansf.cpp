#include "reports/priansf.h"

#include <algorithm>
#include <optional>

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStandardPaths>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/FixedDialog.h"
#include "platform/Printer.h"
#include "reports/PrintPreview.h"
#include "views/CalendarWindow.h"
#include "views/Inputf.h"
#include "views/MainFrame.h"
#include "views/OpenCalendar.h"
#include "widgets/StrCGrid.h"

LongLivedWindow<Tpriansform> priansform;

namespace {

const QString WarningCaption = QStringLiteral("警告");

// Every printed cell is centred both ways.
constexpr CellAlign Centred = CellAlign(caCenter | caVCenter);

// The shape of the print grid for one calendar: its column widths (screen
// pixels) and the rows copied; 0 rows means every row of the calendar.
struct GridShape {
    std::vector<int> widths;
    int rows = 0;
};

GridShape ShapeOf(CalendarKind kind)
{
    switch (kind) {
    case CalendarKind::Year:
        return { std::vector<int>(32, 30), 13 };
    case CalendarKind::Month:
        return { { 50, 50, 120, 420 }, 32 };
    case CalendarKind::Holiday:
        return { { 50, 90, 50, 70, 380 }, 0 };
    }
    return {};
}

// The window of a kind when it is the open calendar, or null.
TCalendarWindow* OpenWindow(CalendarKind kind)
{
    const std::optional<OpenCalendar> open = TheOpenCalendar();
    return open && open->Kind == kind ? open->Window : nullptr;
}

// The calendar that can be printed now: the open one, when its grid is
// really there.
std::optional<CalendarKind> PrintableCalendar()
{
    const std::optional<OpenCalendar> open = TheOpenCalendar();
    if (!open || open->Window->StrColGrid1 == nullptr)
        return std::nullopt;
    return open->Kind;
}

TPrinterOrientation OrientationOf(CalendarKind kind)
{
    // The fiscal year's 31 day columns need the long side.
    return kind == CalendarKind::Year ? poLandscape : poPortrait;
}

// The print grid as the dialog keeps it: one fixed row (repeated on every
// page), no fixed column, rows 24 high, the dialog's font in black whatever
// the desktop's colours.
void SetUpPrintGrid(TComboGrid& grid)
{
    grid.setVisible(false);
    grid.SetDefaultRowHeight(24);
    grid.SetFixedCols(0);
    grid.SetFixedRows(1);
    TFont font = grid.Font();
    font.SetColor(clBlack);
    grid.SetFont(font);
}

void SetUpGridPrinter(TGridPrinter& printer, TComboGrid& grid)
{
    printer.SetHeaderMargin(40);
    printer.SetLeftMargin(60);
    printer.SetLineHeight(24);
    printer.SetTopMargin(80);
    printer.SetGrid(&grid);
}

// Column count, then row count, then widths and alignment. The holiday
// calendar's rows are those of its window, when there is one.
void ShapeGrid(TComboGrid& grid, CalendarKind kind, const TCalendarWindow* window)
{
    const GridShape shape = ShapeOf(kind);
    if (shape.widths.empty())
        return;
    int rows = shape.rows;
    if (rows == 0)
        rows = window != nullptr && window->StrColGrid1 != nullptr ? window->StrColGrid1->RowCount() : 2;
    grid.SetColCount(int(shape.widths.size()));
    // One data row at least, so the heading row stays the fixed one.
    grid.SetRowCount(std::max(rows, 2));
    if (grid.FixedRows() != 1)
        grid.SetFixedRows(1);
    // Every printed cell centred both ways: the grid printer takes each
    // column's placement from its kind.
    for (int c = 0; c < int(shape.widths.size()); ++c) {
        grid.SetColWidths(c, shape.widths[c]);
        grid.ColumnKind(c).SetFixedAlign(Centred);
        grid.ColumnKind(c).SetAlign(Centred);
    }
}

// Texts only, cell for cell; colours and styles stay behind.
void CopyCells(TComboGrid& grid, const TCalendarWindow& window)
{
    if (window.StrColGrid1 == nullptr)
        return;
    const TStrColGrid& source = *window.StrColGrid1;
    const int cols = std::min(grid.ColCount(), source.ColCount());
    const int rows = std::min(grid.RowCount(), source.RowCount());
    for (int r = 0; r < rows; ++r)
        for (int c = 0; c < cols; ++c)
            grid.SetCells(c, r, source.Cells(c, r));
}

// The heading of a calendar's pages: its name and shown period behind two
// ideographic and eight ASCII spaces; only the spaces without a calendar.
QString HeadingOf(const std::optional<OpenCalendar>& calendar)
{
    QString text;
    if (calendar) {
        text = CalendarTitle(calendar->Kind) + u'（';
        if (calendar->Window->Button2 != nullptr)
            text += calendar->Window->Button2->text();
        text += u'）';
    }
    return QStringLiteral("　　        ") + text;
}

// A print grid filled from a calendar window, and a grid printer for it
// whose pages carry that calendar's heading.
struct CalendarPages {
    std::unique_ptr<TComboGrid> grid;
    std::unique_ptr<TGridPrinter> engine;
};

CalendarPages PagesOf(const OpenCalendar& calendar)
{
    CalendarPages pages { std::make_unique<TComboGrid>(), std::make_unique<TGridPrinter>() };
    SetUpPrintGrid(*pages.grid);
    SetUpGridPrinter(*pages.engine, *pages.grid);
    ShapeGrid(*pages.grid, calendar.Kind, calendar.Window);
    CopyCells(*pages.grid, *calendar.Window);
    const QString heading = HeadingOf(calendar);
    TGridPrinter* drawer = pages.engine.get();
    pages.engine->OnHeader = [drawer, heading](QObject*, int&, int, int yPos) { drawer->PrintText(0, yPos, heading); };
    return pages;
}

} // namespace

// ---- Tpriansform ----

Tpriansform::Tpriansform(QWidget* parent)
    : QWidget(parent, FixedToolDialogFlags)
{
    priansform = this;
    setupUi();
    connectHandlers();
}

Tpriansform::~Tpriansform()
{
    if (priansform.Existing() == this)
        priansform = nullptr;
}

void Tpriansform::setupUi()
{
    setObjectName(QStringLiteral("priansform"));
    setWindowTitle(QStringLiteral("印刷"));
    // The three buttons of the print dialog, and the preview beside them.
    setFixedSize(451, 87);

    Label1 = new QLabel(QStringLiteral("一覧表を印刷します。"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(16, 16);
    Label1->adjustSize();

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 40, 97, 33);
    Button2 = new QPushButton(QStringLiteral("&CANCEL"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(120, 40, 97, 33);
    Button3 = new QPushButton(QStringLiteral("プリンターの設定"), this);
    Button3->setObjectName(QStringLiteral("Button3"));
    Button3->setGeometry(232, 40, 97, 33);
    Button4 = new QPushButton(QStringLiteral("プレビュー"), this);
    Button4->setObjectName(QStringLiteral("Button4"));
    Button4->setGeometry(344, 40, 97, 33);
    SetUpDialogKeys(*this);

    ComboGrid1 = new TComboGrid(this);
    ComboGrid1->setObjectName(QStringLiteral("ComboGrid1"));
    SetUpPrintGrid(*ComboGrid1);

    GridPrinter1 = new TGridPrinter(this);
    GridPrinter1->setObjectName(QStringLiteral("GridPrinter1"));
    SetUpGridPrinter(*GridPrinter1, *ComboGrid1);
    GridPrinter1->OnHeader
        = [this](QObject* sender, int& page, int width, int yPos) { GridPrinter1Header(sender, page, width, yPos); };
}

void Tpriansform::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button2Click(); }); });
    connect(Button3, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button3Click(); }); });
    connect(Button4, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button4Click(); }); });
}

TPrinter& Tpriansform::Printer() const { return printer_ != nullptr ? *printer_ : ::Printer(); }

void Tpriansform::SetPrinter(TPrinter* printer)
{
    printer_ = printer;
    GridPrinter1->SetPrinter(printer);
}

TPrintPreview* Tpriansform::Preview() const { return preview_; }

QString Tpriansform::HeadingText() { return HeadingOf(TheOpenCalendar()); }

int Tpriansform::PrintCalendar(const OpenCalendar& calendar, TPrinter& printer)
{
    CalendarPages pages = PagesOf(calendar);
    printer.SetOrientation(OrientationOf(calendar.Kind));
    printer.SetTitle(HeadingOf(calendar).trimmed());
    pages.engine->SetPrinter(&printer);
    return pages.engine->Print();
}

void Tpriansform::OpenPrintDialog()
{
    const std::optional<OpenCalendar> open = TheOpenCalendar();
    if (!open) {
        QWidget* owner = MainFrame != nullptr ? &MainFrame->FrameWidget() : nullptr;
        Dialogs::MessageBox(owner, QStringLiteral("印刷するカレンダーを表示して下さい！"), WarningCaption,
            MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    setWindowTitle(QStringLiteral("印刷－") + CalendarTitle(open->Kind));
    if (!isVisible())
        CentreOnMainWindow(*this);
    show();
    raise();
    activateWindow();
    // Enter prints, whichever button was used last.
    Button1->setFocus(Qt::OtherFocusReason);
}

void Tpriansform::PrepareGrid(CalendarKind kind) { ShapeGrid(*ComboGrid1, kind, OpenWindow(kind)); }

void Tpriansform::Button1Click()
{
    // Window messages run between the rows of a print: a second OK must
    // leave the run in progress, its grid and its printer alone.
    if (printing_)
        return;
    if (PrintShownCalendar())
        close();
}

void Tpriansform::Button2Click() { close(); }

void Tpriansform::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        Button2->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

void Tpriansform::Button3Click()
{
    // The printer's settings are the running job's until it ends.
    if (printing_)
        return;
    Dialogs::PrinterSetup(this, Printer());
}

void Tpriansform::Button4Click()
{
    if (printing_)
        return;
    const std::optional<CalendarKind> kind = PrintableCalendar();
    if (!kind) {
        Dialogs::MessageBox(
            this, QStringLiteral("印刷する画面を閉じないで下さい！"), WarningCaption, MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    // The page is the printer's, in the orientation the print will take.
    Printer().SetOrientation(OrientationOf(*kind));
    TPreviewSource source = PreviewSource(*kind);
    if (preview_.isNull()) {
        preview_ = new TPrintPreview(this);
        preview_->OnPrint = [this] {
            if (printing_)
                return false;
            const bool printed = PrintShownCalendar();
            if (printed)
                close();
            return printed;
        };
    }
    preview_->ShowPages(std::move(source), HeadingText().trimmed());
    preview_->show();
    preview_->raise();
    preview_->activateWindow();
}

void Tpriansform::GridPrinter1Header(QObject*, int&, int, int YPos) { GridPrinter1->PrintText(0, YPos, HeadingText()); }

bool Tpriansform::PrintShownCalendar()
{
    const std::optional<CalendarKind> kind = PrintableCalendar();
    if (!kind) {
        Dialogs::MessageBox(
            this, QStringLiteral("印刷する画面を閉じないで下さい！"), WarningCaption, MsgIcon::Warning, MsgButtons::Ok);
        return false;
    }
    if (!ChoosePdfFile(*kind))
        return false;

    Application::BusyCursor busy;
    printing_ = true;
    for (QPushButton* button : { Button1, Button3, Button4 })
        button->setEnabled(false);
    struct RunEnd {
        Tpriansform& form;
        ~RunEnd()
        {
            form.printing_ = false;
            for (QPushButton* button : { form.Button1, form.Button3, form.Button4 })
                button->setEnabled(true);
        }
    } runEnd { *this };

    PrepareGrid(*kind);
    CopyCells(*ComboGrid1, *OpenWindow(*kind));
    TPrinter& printer = Printer();
    printer.SetOrientation(OrientationOf(*kind));
    printer.SetTitle(HeadingText().trimmed());
    GridPrinter1->SetPrinter(&printer);
    printedPages_ = GridPrinter1->Print();
    return true;
}

bool Tpriansform::ChoosePdfFile(CalendarKind kind)
{
    TPrinter& printer = Printer();
    // A printer prints; a PDF file named in the printer set-up (or by the
    // caller) is written as named.
    if (!printer.WritesPdf())
        return true;
    const QString current = printer.OutputFileName();
    if (!current.isEmpty() && current != askedPdf_)
        return true;

    QString folder = askedPdf_.isEmpty() ? QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation)
                                         : QFileInfo(askedPdf_).absolutePath();
    // A documents folder that was never made would leave the dialog
    // somewhere else with a path it cannot show.
    if (folder.isEmpty() || !QDir(folder).exists())
        folder = QDir::homePath();
    QString name = HeadingText().trimmed();
    if (name.isEmpty())
        name = CalendarTitle(kind);
    SaveDialogRequest request;
    request.filter = QStringLiteral("PDFファイル(*.pdf)|*.pdf");
    request.filterIndex = 1;
    request.fileName = QDir(folder).filePath(name + QStringLiteral(".pdf"));
    request.title = QStringLiteral("PDFファイルに保存");
    request.kind = QStringLiteral(".pdf");
    const std::optional<SaveDialogAnswer> answer = Dialogs::SaveDialog(this, request);
    if (!answer || answer->path.isEmpty())
        return false;
    QString path = answer->path;
    if (QFileInfo(path).suffix().isEmpty())
        path += QStringLiteral(".pdf");
    printer.SetOutputFileName(path);
    askedPdf_ = path;
    return true;
}

TPreviewSource Tpriansform::PreviewSource(CalendarKind kind) const
{
    // The pages as they would be printed if printing started now.
    CalendarPages pages = PagesOf({ kind, OpenWindow(kind) });
    TPreviewSource source;
    const TCanvas& screen = pages.grid->Canvas();
    source.pageSize
        = PreviewPageSize(Printer(), screen.PixelsPerInchX(), screen.PixelsPerInchY(), pages.engine->BottomMargin());
    source.grid = std::move(pages.grid);
    source.engine = std::move(pages.engine);
    return source;
}
