#include "widgets/GridPrn.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include <QImage>
#include <QPainter>

#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/Printer.h"
#include "platform/StringGrid.h"
#include "widgets/CmbGrid.h"

namespace {

const QString NoGridMessage = QStringLiteral("印刷対象グリッドが指定されていません");
const QString BusyMessage = QStringLiteral("印刷中です。");
const QString OnlyStringGridMessage = QStringLiteral("TStringGridだけ指定できます");
const QString PageTooSmallMessage
    = QStringLiteral("ページに行が1行も入りません。上下の余白か行の高さを小さくして下さい。");
const QString NoImageMessage = QStringLiteral("描画先の画像がありません");

// Settings are free 32-bit values; sums of them are made in 64 bits and
// brought back into range here, so no margin or width can overflow.
int Clamped(std::int64_t v)
{
    return int(std::clamp<std::int64_t>(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int Scaled(std::int64_t v, float scale)
{
    const double d = std::trunc(double(v) * double(scale));
    if (d <= double(std::numeric_limits<int>::min()))
        return std::numeric_limits<int>::min();
    if (d >= double(std::numeric_limits<int>::max()))
        return std::numeric_limits<int>::max();
    return int(d);
}

// The longest prefix of text that takes at most maxBytes bytes in Shift-JIS,
// never splitting a character. ASCII and half-width katakana take one byte,
// everything else two (a character without a Shift-JIS form is counted as
// two: the cut may come a little early, never late).
QString CutToShiftJisBytes(const QString& text, int maxBytes)
{
    if (text.size() * 2 <= maxBytes)
        return text;
    int bytes = 0;
    qsizetype i = 0;
    while (i < text.size()) {
        const char16_t c = text.at(i).unicode();
        const bool pair = QChar::isHighSurrogate(c) && i + 1 < text.size();
        const int size = (c < 0x80 || (c >= 0xFF61 && c <= 0xFF9F)) ? 1 : 2;
        if (bytes + size > maxBytes)
            break;
        bytes += size;
        i += pair ? 2 : 1;
    }
    return text.left(i);
}

float ScaleOf(int targetDpi, int screenDpi)
{
    if (targetDpi <= 0 || screenDpi <= 0)
        return 1.0f;
    return float(targetDpi) / float(screenDpi);
}

} // namespace

// ---- TCustomGridPrinter ----

TCustomGridPrinter::TCustomGridPrinter(QObject* owner)
    : QObject(owner)
{
}

TCustomGridPrinter::~TCustomGridPrinter() = default;

TPrinter& TCustomGridPrinter::Printer() const { return printer_ != nullptr ? *printer_ : ::Printer(); }

void TCustomGridPrinter::CheckGrid() const
{
    if (!HasGrid())
        throw EInvalidOperation(NoGridMessage);
}

int TCustomGridPrinter::DevX(std::int64_t v) const { return Scaled(v, scaleX_); }

int TCustomGridPrinter::DevY(std::int64_t v) const { return Scaled(v, scaleY_); }

int TCustomGridPrinter::ToDeviceX(int v) const { return active_ ? DevX(v) : -1; }

int TCustomGridPrinter::ToDeviceY(int v) const { return active_ ? DevY(v) : -1; }

void TCustomGridPrinter::PrintText(int x, int y, const QString& text)
{
    if (!active_ || target_ == nullptr)
        return;
    target_->TextOut(DevX(x), DevY(y), text);
}

int TCustomGridPrinter::Print()
{
    CheckGrid();
    // A second run would take over the first one's page, target and rows.
    if (active_)
        throw EInvalidOperation(BusyMessage);
    TPrinter& printer = Printer();
    toPrinter_ = true;
    active_ = true;
    try {
        printer.BeginDoc();
    } catch (...) {
        EndRun();
        throw;
    }
    try {
        TCanvas& canvas = printer.Canvas();
        // The grid's font at the same point size, in the printer's dots.
        canvas.Font().SetPixelsPerInch(printer.PixelsPerInchX());
        canvas.Font().Assign(GetFont());
        const TCanvas& screen = GetScreenCanvas();
        scaleX_ = ScaleOf(printer.PixelsPerInchX(), screen.PixelsPerInchX());
        scaleY_ = ScaleOf(printer.PixelsPerInchY(), screen.PixelsPerInchY());
        target_ = &canvas;
        cellText_.reserve(MaxCellTextBytes + 1);
        Reset();
        ComputeTableWidth();
        PrintPages();
        target_ = nullptr;
        printer.EndDoc();
    } catch (...) {
        printer.Abort();
        EndRun();
        Reset();
        throw;
    }
    EndRun();
    return pageNo_;
}

int TCustomGridPrinter::DrawPage(QImage& image, bool restart)
{
    CheckGrid();
    if (active_)
        throw EInvalidOperation(BusyMessage);
    if (image.isNull())
        throw EInvalidOperation(NoImageMessage);
    toPrinter_ = false;
    active_ = true;
    // A sequence that never started begins at page 1 as well.
    if (restart || (pageNo_ == 0 && !finished_)) {
        Reset();
    } else if (finished_) {
        active_ = false;
        return -1;
    }
    try {
        scaleX_ = scaleY_ = 1.0f;
        cellText_.reserve(MaxCellTextBytes + 1);
        TCanvas canvas(image);
        if (!canvas.Painter().isActive())
            throw EInvalidOperation(NoImageMessage);
        canvas.Font().Assign(GetFont());
        target_ = &canvas;
        ComputeTableWidth();
        PrintPages();
        target_ = nullptr;
    } catch (...) {
        EndRun();
        Reset();
        throw;
    }
    EndRun();
    return pageNo_;
}

void TCustomGridPrinter::EndRun()
{
    target_ = nullptr;
    printingFixedRows_ = false;
    cellText_.clear();
    cellText_.squeeze();
    active_ = false;
}

void TCustomGridPrinter::ComputeTableWidth()
{
    std::int64_t width = 0;
    const int cols = GetColCount();
    for (int c = 0; c < cols; ++c)
        width += std::int64_t(GetColWidth(c)) + 1;
    tableWidth_ = Clamped(width);
}

int TCustomGridPrinter::PageWidthForCallbacks() const
{
    const TRect clip = target_->ClipRect();
    const std::int64_t width = std::int64_t(std::trunc(double(clip.Width()) / double(scaleX_)));
    return Clamped(width - leftMargin_ - rightMargin_);
}

int TCustomGridPrinter::PageHeightOnScreen() const
{
    const TRect clip = target_->ClipRect();
    return Clamped(std::int64_t(std::trunc(double(clip.Height()) / double(scaleY_))));
}

void TCustomGridPrinter::RaiseFooter()
{
    if (OnFooter)
        OnFooter(this, pageNo_, PageWidthForCallbacks(), Clamped(std::int64_t(PageHeightOnScreen()) - footerMargin_));
}

void TCustomGridPrinter::Reset()
{
    pageNo_ = 0;
    finished_ = false;
}

void TCustomGridPrinter::StartPage()
{
    if (!toPrinter_)
        target_->FillRect(target_->ClipRect());
    ++pageNo_;
    curY_ = 0;
    tableBottom_ = 0;
    dataRowsOnPage_ = 0;
    if (pageNo_ == 1 && OnReportStart)
        OnReportStart(this, pageNo_, PageWidthForCallbacks(), 0);
    curY_ = headerMargin_;
    if (OnHeader)
        OnHeader(this, pageNo_, PageWidthForCallbacks(), headerMargin_);
    curY_ = tableBottom_ = tableTop_ = topMargin_;
    printingFixedRows_ = true;
    const int fixedRows = GetFixedRows();
    for (int r = 0; r < fixedRows; ++r)
        PrintRow(r);
    printingFixedRows_ = false;
}

void TCustomGridPrinter::PrintPages()
{
    target_->SetBackgroundMode(TBackgroundMode::Transparent);
    StartPage();
    int row = nextRow_;
    while (HasMoreRows()) {
        const std::int64_t pageBottom = std::int64_t(target_->ClipRect().Bottom) - DevY(bottomMargin_);
        if (pageBottom < DevY(std::int64_t(curY_) + lineHeight_)) {
            // A page that cannot take one row would be followed by another
            // just like it, without end.
            if (dataRowsOnPage_ == 0)
                throw EGeneralError(PageTooSmallMessage);
            RaiseFooter();
            DrawRules();
            if (!toPrinter_) {
                EndImagePage();
                return;
            }
            Printer().NewPage();
            StartPage();
        }
        PrintDataRow(row);
        ++dataRowsOnPage_;
        ++row;
        nextRow_ = row;
    }
    finished_ = true;
    RaiseFooter();
    if (OnReportEnd)
        OnReportEnd(this, pageNo_, PageWidthForCallbacks(), curY_);
    DrawRules();
}

void TCustomGridPrinter::PrintDataRow(int row)
{
    if (toPrinter_) {
        // The window stays responsive during a long print; a handler that
        // ran meanwhile may have destroyed the grid.
        Application::ProcessMessages();
        CheckGrid();
    }
    PrintRow(row);
}

void TCustomGridPrinter::PrintRow(int row)
{
    const int fixedRows = GetFixedRows();
    const int fixedCols = GetFixedCols();
    const int lineTop = row == 0 ? lineWidthY1_ : row <= fixedRows ? lineWidthY2_ : lineWidthY3_;
    std::int64_t x = leftMargin_;
    const int cols = GetColCount();
    for (int c = 0; c < cols; ++c) {
        const int lineLeft = c == 0 ? lineWidthX1_ : c <= fixedCols ? lineWidthX2_ : lineWidthX3_;
        GetCellText(c, row, cellText_);
        if (OnGetPrintText)
            OnGetPrintText(this, c, row, cellText_);
        const int width = GetColWidth(c);
        TRect rect { Clamped(x), curY_, Clamped(x + width - lineLeft),
            Clamped(std::int64_t(curY_) + lineHeight_ - lineTop) };
        if (OnPrintCell) {
            OnPrintCell(this, rect, c, row, cellText_);
        } else {
            std::uint8_t align = 0;
            int margin = 0;
            GetColAlignment(c, align, margin);
            PrintCellText(rect, cellText_, lineLeft, lineTop, align, margin);
        }
        x += std::int64_t(width) + 1;
    }
    curY_ = Clamped(std::int64_t(curY_) + lineHeight_);
    tableBottom_ = curY_;
}

void TCustomGridPrinter::PrintCellText(
    const TRect& rect, const QString& text, int lineLeft, int lineTop, std::uint8_t align, int margin)
{
    TCanvas& canvas = *target_;
    // Everything from here on is in the target's dots.
    const TRect r { DevX(rect.Left), DevY(rect.Top), DevX(rect.Right), DevY(rect.Bottom) };
    const std::int64_t width = std::int64_t(r.Right) - r.Left;
    const std::int64_t height = std::int64_t(r.Bottom) - r.Top;
    const QString shown = CutToShiftJisBytes(text, MaxCellTextBytes);
    const int ruleLeft = DevX(lineLeft);
    const int ruleTop = DevY(lineTop);
    const int textHeight = canvas.TextHeight(shown);

    TTextAlign reference = TTextAlign::Left;
    std::int64_t dx = DevX(std::int64_t(lineLeft) + margin);
    std::int64_t dy = (height - textHeight - ruleTop) / 2 + ruleTop;
    if (align & caCenter) {
        reference = TTextAlign::Center;
        dx = (width - ruleLeft) / 2 + ruleLeft;
    }
    if (align & caRight) {
        reference = TTextAlign::Right;
        dx = width - DevX(margin);
    }
    if (align & caTop)
        dy = DevY(2);
    if (align & caBottom)
        dy = height - textHeight - DevY(2);

    if (canvas.Brush().Style() == bsSolid)
        canvas.FillRect(r);
    if (shown.isEmpty())
        return;
    canvas.SetTextAlign(reference);
    canvas.TextRect(r, Clamped(r.Left + dx), Clamped(r.Top + dy), shown);
    canvas.SetTextAlign(TTextAlign::Left);
}

void TCustomGridPrinter::DrawRules()
{
    TCanvas& canvas = *target_;
    const TRect clip = canvas.ClipRect();
    // No rule is wider than the page: a huge setting must not make a stroke
    // of billions of dots.
    const int widest = std::max({ 1, clip.Width(), clip.Height() });
    const auto pen = [&](int width) { canvas.Pen().SetWidth(std::min(DevY(width), widest)); };
    const auto line = [&](std::int64_t ax, std::int64_t ay, std::int64_t bx, std::int64_t by) {
        canvas.MoveTo(DevX(ax), DevY(ay));
        canvas.LineTo(DevX(bx), DevY(by));
    };
    const std::int64_t x0 = leftMargin_;
    const std::int64_t x1 = std::int64_t(leftMargin_) + tableWidth_;
    const std::int64_t y0 = tableTop_;
    const std::int64_t y1 = tableBottom_;

    if (hKeisen_) {
        pen(lineWidthY1_);
        line(x0, y0, x1, y0);
        line(x0, y1, x1, y1);
    }
    if (vKeisen_) {
        pen(lineWidthX1_);
        line(x0, y0, x0, y1);
        line(x1, y0, x1, y1);
        const int fixedCols = GetFixedCols();
        const int cols = GetColCount();
        std::int64_t x = x0;
        for (int i = 0; i <= cols - 2; ++i) {
            x += std::int64_t(GetColWidth(i)) + 1;
            pen(i < fixedCols ? lineWidthX2_ : lineWidthX3_);
            if (fixedLineDraw_ || i >= fixedCols - 1)
                line(x, y0, x, y1);
        }
    }
    if (hKeisen_) {
        // Rows are counted on the page, the repeated fixed rows first.
        const int fixedRows = GetFixedRows();
        std::int64_t y = y0;
        for (int i = 0; y < y1 && lineHeight_ > 0; ++i) {
            y += lineHeight_;
            pen(i < fixedRows ? lineWidthY2_ : lineWidthY3_);
            if (fixedLineDraw_ || i >= fixedRows - 1)
                line(x0, y, x1, y);
        }
        pen(lineWidthY1_);
        line(x0, y1, x1, y1);
    }
    if (OnKeisen)
        OnKeisen(this);
}

// ---- TGridPrinter ----

TGridPrinter::TGridPrinter(QObject* owner)
    : TCustomGridPrinter(owner)
{
}

void TGridPrinter::SetGrid(QObject* grid)
{
    if (Active())
        throw EInvalidOperation(BusyMessage);
    auto* stringGrid = qobject_cast<TStringGrid*>(grid);
    if (stringGrid == nullptr)
        throw EInvalidOperation(OnlyStringGridMessage);
    // The pointer clears itself when the grid is destroyed.
    grid_ = stringGrid;
    isComboGrid_ = qobject_cast<TComboGrid*>(grid) != nullptr;
    if (LineHeight() == 0)
        SetLineHeight(stringGrid->DefaultRowHeight());
}

TColumnLayout TGridPrinter::ColumnLayout(int col) const
{
    const auto* combo = isComboGrid_ ? qobject_cast<TComboGrid*>(grid_.data()) : nullptr;
    if (!combo) {
        // [caLeft, caVCenter], 2 units in from the cell's left edge.
        return TColumnLayout {};
    }
    // A combo grid places each column as its kind says: the fixed cells (the
    // fixed columns, and every cell of the fixed rows) by FixedAlign.
    const bool fixed = col < combo->FixedCols() || PrintingFixedRows();
    return TColumnLayout { std::uint8_t(fixed ? combo->ColumnFixedAlign(col) : combo->ColumnAlign(col)),
        combo->ColumnMargin(col) };
}

TStringGrid& TGridPrinter::BoundGrid() const
{
    if (grid_.isNull())
        throw EInvalidOperation(NoGridMessage);
    return *grid_;
}

bool TGridPrinter::HasGrid() const { return !grid_.isNull(); }

int TGridPrinter::GetColCount() const { return BoundGrid().ColCount(); }

int TGridPrinter::GetColWidth(int col) const { return BoundGrid().ColWidths(col); }

void TGridPrinter::GetCellText(int col, int row, QString& text) const { text = BoundGrid().Cells(col, row); }

void TGridPrinter::GetColAlignment(int col, std::uint8_t& align, int& margin) const
{
    const TColumnLayout layout = ColumnLayout(col);
    align = layout.Align;
    margin = layout.Margin;
}

int TGridPrinter::GetFixedRows() const { return BoundGrid().FixedRows(); }

int TGridPrinter::GetFixedCols() const { return BoundGrid().FixedCols(); }

const TFont& TGridPrinter::GetFont() const { return BoundGrid().Font(); }

TCanvas& TGridPrinter::GetScreenCanvas() const { return BoundGrid().Canvas(); }

bool TGridPrinter::HasMoreRows() const { return !grid_.isNull() && NextRow() <= grid_->RowCount() - 1; }

void TGridPrinter::Reset()
{
    TCustomGridPrinter::Reset();
    SetNextRow(grid_.isNull() ? 0 : grid_->FixedRows());
}
