#include "widgets/StrCGrid.h"

#include <cstdlib>

#include "platform/Errors.h"
#include "platform/FormStream.h"
#include "widgets/StreamNames.h"

namespace {
// Separates Caption from the cell text in the two-line caption types.
constexpr QChar LineSeparator = QChar(13);
} // namespace

TStrColGrid::TStrColGrid(QWidget* parent)
    : TStringGrid(parent)
    , cellParams_(std::make_unique<TSCGCellParams>(*this))
    , fonts_(std::make_unique<TSCGCellFonts>(*this))
{
    SetDefaultDrawing(false);
    TStringGrid::SetOptions(options_);
}

TStrColGrid::~TStrColGrid()
{
    // Fonts first: a font going away clears the font names of cell items.
    fonts_.reset();
    cellParams_.reset();
}

void TStrColGrid::SetFocusCellColor(TColor value)
{
    focusCellColor_ = value;
    InvalidateGrid();
}

void TStrColGrid::SetFocusCellFontColor(TColor value)
{
    focusCellFontColor_ = value;
    InvalidateGrid();
}

void TStrColGrid::SetFocusCellFontColorEnabled(bool value)
{
    focusCellFontColorEnabled_ = value;
    InvalidateGrid();
}

void TStrColGrid::SetImeMode(TImeMode value)
{
    imeMode_ = value;
    ApplyImeMode(*this, value);
    if (TInplaceEdit* editor = InplaceEditor())
        ApplyImeMode(*editor, value);
}

void TStrColGrid::SetOptions(TGridOptions value)
{
    options_ = value;
    TStringGrid::SetOptions(value);
}

// ---- cell items

TSCGCellParam* TStrColGrid::FindCellParam(int ACol, int ARow, bool ACreate)
{
    TSCGCellParam* param = cellParams_->Find(ACol, ARow);
    if (param != nullptr || !ACreate)
        return param;
    // A new item starts out looking exactly like the cell did without one.
    param = cellParams_->Add();
    param->SetCaption(QString());
    param->SetFontColor(Font().Color());
    param->SetCellColor(ACol < FixedCols() || ARow < FixedRows() ? FixedColor() : Color());
    param->SetCellColorEnabled(true);
    param->SetFontColorEnabled(true);
    param->SetCol(ACol);
    param->SetRow(ARow);
    return param;
}

void TStrColGrid::CheckCellPosition(int ACol, int ARow) const
{
    if (ACol < 0 || ARow < 0 || ACol > ColCount() || ARow > RowCount())
        throw ERangeError(QStringLiteral("ｾﾙ位置がｸﾞﾘｯﾄﾞの範囲を超えました。"));
}

void TStrColGrid::SetCellAlignment(int ACol, int ARow, TAlignment AAlignment)
{
    CheckCellPosition(ACol, ARow);
    FindCellParam(ACol, ARow, true)->SetAlignment(AAlignment);
}

void TStrColGrid::SetCellFontColor(int ACol, int ARow, TColor AColor)
{
    CheckCellPosition(ACol, ARow);
    FindCellParam(ACol, ARow, true)->SetFontColor(AColor);
}

const TFont& TStrColGrid::FontFor(const TSCGCellParam* param) const
{
    if (param != nullptr && !param->FontName().isEmpty())
        return fonts_->Items(fonts_->IndexOfName(param->FontName()))->Font();
    return Font();
}

// ---- painting

void TStrColGrid::SaveCanvasState()
{
    TCanvas& canvas = Canvas();
    savedBrush_ = canvas.Brush();
    savedPen_ = canvas.Pen();
    savedFont_ = canvas.Font();
}

void TStrColGrid::RestoreCanvasState()
{
    TCanvas& canvas = Canvas();
    canvas.Brush() = savedBrush_;
    canvas.Pen() = savedPen_;
    canvas.Font() = savedFont_;
}

QString TStrColGrid::CellTextFor(const TSCGCellParam& param, int ACol, int ARow) const
{
    const QString cell = Cells(ACol, ARow);
    const QString caption = param.Caption();
    switch (param.CaptionType()) {
    case ctCaption:
        return caption.isEmpty() ? cell : caption;
    case ctCellText:
        return cell.isEmpty() ? caption : cell;
    case ctHeader:
        return caption + cell;
    case ctFooter:
        return cell + caption;
    case ctTop:
        // An empty cell text still leaves two lines, Caption on the first.
        return caption + LineSeparator + cell + (cell.isEmpty() ? QString(LineSeparator) : QString());
    case ctBottom:
        return cell + LineSeparator + caption;
    }
    return cell;
}

void TStrColGrid::SplitLines(const QString& text)
{
    // Lines end at CR, LF or CR LF; a break at the very end starts no line.
    lineList_.clear();
    qsizetype start = 0;
    const qsizetype length = text.size();
    for (qsizetype i = 0; i < length; ++i) {
        const QChar c = text[i];
        if (c != u'\r' && c != u'\n')
            continue;
        lineList_.append(text.mid(start, i - start));
        if (c == u'\r' && i + 1 < length && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < length)
        lineList_.append(text.mid(start));
}

void TStrColGrid::PaintCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    if (DefaultDrawing()) {
        TStringGrid::PaintCell(ACol, ARow, ARect, AState);
        return;
    }

    TSCGCellParam* param = FindCellParam(ACol, ARow, false);
    const CellPaint cell { ACol, ARow, ARect, AState, param,
        param != nullptr && param->OptionsEnabled() ? param->Options() : options_, AState.testFlag(gdFixed) };
    DrawCellBackground(ACol, ARow, AState, param, false);
    const bool highlighted = ApplyFocusColors(param, AState);
    SaveCanvasState();
    const CellText text = TextOfCell(cell);

    if (highlighted)
        Canvas().FillRect(ARect);
    if (cellDivide_)
        DrawTextLines(cell, text);
    else
        Canvas().TextRectWrapped(ARect.Inflated(-2, -2), text.text);

    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
    if (param != nullptr && param->OnDrawCell)
        param->OnDrawCell(param, this, ACol, ARow, ARect, AState);
    if (hasFocus())
        DrawCurrentCellFrame(cell);
    if (cell.fixed)
        DrawFixedFrame(ARect);
}

TStrColGrid::CellText TStrColGrid::TextOfCell(const CellPaint& cell)
{
    CellText out;
    bool doReset = true;
    if (TSCGCellParam* param = cell.param) {
        out.passes = param->FontWidth();
        out.alignment = param->Alignment();
        out.layout = param->Layout();
        out.text = CellTextFor(*param, cell.col, cell.row);
        if (!param->OnOutCellText)
            return out;
        param->OnOutCellText(param, this, cell.rect, cell.col, cell.row, param->Caption(), out.text, doReset);
    } else {
        out.alignment = cell.fixed ? fixedAlignment_ : alignment_;
        out.layout = cell.fixed ? fixedLayout_ : layout_;
        out.text = Cells(cell.col, cell.row);
        if (!OnOutCellText)
            return out;
        OnOutCellText(this, this, cell.rect, cell.col, cell.row, windowTitle(), out.text, doReset);
    }
    // The handler's canvas changes are undone, or kept as the cell's state.
    doReset ? RestoreCanvasState() : SaveCanvasState();
    return out;
}

void TStrColGrid::DrawTextLines(const CellPaint& cell, const CellText& text)
{
    SplitLines(text.text.isEmpty() ? QString(LineSeparator) : text.text);
    const int count = int(lineList_.size());
    const TRect& r = cell.rect;
    const int bandHeight = r.Height() / count;
    for (int i = 0; i < count; ++i) {
        // The last band takes what the division leaves over.
        const TRect band { r.Left, r.Top + bandHeight * i, r.Right,
            i == count - 1 ? r.Bottom : r.Top + bandHeight * (i + 1) };
        DrawTextLine(cell, band, i, count, text);
    }
}

void TStrColGrid::DrawTextLine(const CellPaint& cell, const TRect& band, int index, int count, const CellText& text)
{
    QString line = lineList_[index];
    TAlignment alignment = text.alignment;
    TTextLayout layout = text.layout;
    bool inner = cell.options.testFlag(goHorzLine);
    if (OnDrawTextOneLine) {
        RestoreCanvasState();
        OnDrawTextOneLine(this, this, band, cell.col, cell.row, index, cell.state, line, alignment, layout, inner);
    }
    if (cell.param != nullptr && cell.param->OnDrawTextOneLine) {
        RestoreCanvasState();
        cell.param->OnDrawTextOneLine(
            cell.param, this, band, cell.col, cell.row, index, cell.state, line, alignment, layout, inner);
    }
    DrawOverstruck(band, TextOrigin(band, line, alignment, layout), line, text.passes);
    if (inner)
        DrawInnerLines(band, index, count, cell.fixed);
}

QPoint TStrColGrid::TextOrigin(const TRect& band, const QString& line, TAlignment alignment, TTextLayout layout)
{
    // A placement outside the enumerations, from a line event, is taken as
    // left and top.
    TCanvas& canvas = Canvas();
    int x = band.Left + 2;
    if (alignment == taRightJustify)
        x = band.Right - canvas.TextWidth(line) - 2;
    else if (alignment == taCenter)
        x = band.Left + (band.Width() - canvas.TextWidth(line)) / 2;
    int y = band.Top + 2;
    if (layout == tlCenter)
        y = band.Top + (band.Height() - canvas.TextHeight(line)) / 2 + 1;
    else if (layout == tlBottom)
        y = band.Bottom - canvas.TextHeight(line) - 1;
    return { x, y };
}

void TStrColGrid::DrawOverstruck(const TRect& band, QPoint origin, const QString& line, int passes)
{
    // Drawn without background; each further pass one pixel to the right
    // makes the text bolder.
    TCanvas& canvas = Canvas();
    const TBrushStyle style = canvas.Brush().Style();
    canvas.Brush().SetStyle(bsClear);
    for (int k = 0; k < passes; ++k)
        canvas.TextRect(band, origin.x() + k, origin.y(), line);
    canvas.Brush().SetStyle(style);
}

void TStrColGrid::DrawInnerLines(const TRect& band, int index, int count, bool fixed)
{
    TCanvas& canvas = Canvas();
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetStyle(psSolid);
    if (index > 0) {
        canvas.Pen().SetColor(fixed && Ctl3D() ? clBtnHighlight : clSilver);
        canvas.MoveTo(band.Left, band.Top);
        canvas.LineTo(band.Right, band.Top);
    }
    if (index < count - 1 && fixed) {
        canvas.Pen().SetColor(clBtnShadow);
        canvas.MoveTo(band.Left, band.Bottom - 1);
        canvas.LineTo(band.Right, band.Bottom - 1);
    }
}

void TStrColGrid::DrawCurrentCellFrame(const CellPaint& cell)
{
    if (!cell.options.testFlag(goRowSelect)) {
        if (cell.state.testFlag(gdFocused))
            DrawFocusFrame(cell.col, cell.row, cell.rect, true, true);
        return;
    }
    if (cell.row != Row())
        return;
    // One frame around the whole selected row (or the item's columns).
    int first = FixedCols();
    int last = ColCount() - 1;
    if (cell.param != nullptr && cell.param->OptionsEnabled()) {
        first = cell.param->Col();
        last = cell.param->ColMax();
    }
    DrawFocusFrame(cell.col, cell.row, cell.rect, cell.col == first, cell.col != first && cell.col == last);
}

void TStrColGrid::DrawCellBackground(int ACol, int ARow, TGridDrawState AState, TSCGCellParam* AParam, bool AHighlight)
{
    TCanvas& canvas = Canvas();
    const TRect rect = CellRect(ACol, ARow);
    canvas.Font() = FontFor(AParam);
    if (ACol < FixedCols() || ARow < FixedRows())
        AHighlight = false;
    const bool fixed = AState.testFlag(gdFixed);

    if (AParam == nullptr && fixed) {
        canvas.Brush().SetStyle(bsSolid);
        canvas.Brush().SetColor(FixedColor());
        canvas.FillRect(rect);
    } else {
        if (AHighlight) {
            ApplyFocusColors(AParam, AState);
            canvas.FillRect(rect);
        } else if (AParam != nullptr) {
            canvas.Brush().SetStyle(bsSolid);
            canvas.Brush().SetColor(AParam->CellColorEnabled() ? AParam->CellColor() : fixed ? FixedColor() : Color());
            canvas.FillRect(rect);
            if (AParam->FontColorEnabled())
                canvas.Font().SetColor(AParam->FontColor());
        } else {
            canvas.Brush().SetStyle(bsSolid);
            canvas.Brush().SetColor(Color());
            canvas.FillRect(rect);
            canvas.Font().SetColor(Font().Color());
        }
        if (AParam != nullptr && AParam->BrushEnabled()) {
            // The pattern over the fill; a clear pen leaves the right and
            // bottom edge out, hence the extra pixel.
            canvas.Brush() = AParam->Brush();
            canvas.Pen().SetWidth(0);
            canvas.Pen().SetStyle(psClear);
            canvas.Rectangle(rect.Left, rect.Top, rect.Right + 1, rect.Bottom + 1);
        }
    }

    canvas.Brush().SetStyle(bsClear);
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetWidth(1);
    canvas.Pen().SetMode(pmCopy);
    canvas.Pen().SetColor(canvas.Brush().Color());
}

bool TStrColGrid::ApplyFocusColors(TSCGCellParam* AParam, TGridDrawState AState)
{
    const TGridOptions opts
        = AParam != nullptr && AParam->OptionsEnabled() ? AParam->Options() : TStringGrid::Options();
    const bool highlighted = (hasFocus() || focusDraw_) && AState.testFlag(gdSelected)
        && (opts.testFlag(goDrawFocusSelected) || !AState.testFlag(gdFocused) || opts.testFlag(goRowSelect));
    if (!highlighted)
        return false;
    TCanvas& canvas = Canvas();
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(focusCellColor_);
    if (focusCellFontColorEnabled_)
        canvas.Font().SetColor(focusCellFontColor_);
    else if (AParam != nullptr && AParam->FontColorEnabled())
        canvas.Font().SetColor(AParam->FontColor());
    return true;
}

TColor TStrColGrid::InvertedPixel(TColor c)
{
    c &= 0xFFFFFF;
    TColor v = ~c & 0xFFFFFF;
    const int distance
        = std::abs(RedOf(c) - RedOf(v)) + std::abs(GreenOf(c) - GreenOf(v)) + std::abs(BlueOf(c) - BlueOf(v));
    // Near mid-grey the complement would hardly show.
    if (distance < 24)
        v = c <= 0xC0C0C0 ? clWhite : clBlack;
    return v;
}

void TStrColGrid::DrawFocusFrame(int ACol, int ARow, const TRect& R, bool ALeft, bool ARight)
{
    if (ACol < FixedCols() || ARow < FixedRows())
        return;
    TCanvas& canvas = Canvas();
    const auto invert = [&canvas](int x, int y) {
        const TColor c = canvas.Pixel(x, y);
        if (c != clNone)
            canvas.SetPixel(x, y, InvertedPixel(c));
    };
    const int rr = R.Right - 1;
    const int bb = R.Bottom - 1;
    for (int g = 0; g <= (rr - R.Left) / 2; ++g) {
        invert(R.Left + 2 * g, R.Top);
        invert(R.Left + 2 * g, bb);
    }
    for (int i = 1; i <= (bb - R.Top - 1) / 2; ++i) {
        if (ALeft)
            invert(R.Left, R.Top + 2 * i);
        if (ARight)
            invert(rr, R.Top + 2 * i);
    }
}

void TStrColGrid::DrawFixedFrame(const TRect& R)
{
    if (!Ctl3D())
        return;
    TCanvas& canvas = Canvas();
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetMode(pmCopy);
    canvas.Pen().SetColor(clBtnHighlight);
    canvas.MoveTo(R.Right - 1, R.Top);
    canvas.LineTo(R.Left, R.Top);
    canvas.LineTo(R.Left, R.Bottom - 1);
    canvas.Pen().SetColor(clGray);
    canvas.LineTo(R.Right - 1, R.Bottom - 1);
    canvas.LineTo(R.Right - 1, R.Top);
}

void TStrColGrid::PaintControl()
{
    if (BeforeDraw)
        BeforeDraw(this);
    TStringGrid::PaintControl();
}

// ---- moving the current cell

void TStrColGrid::ApplyCellSettings(const TSCGCellParam* param)
{
    // The font matters only to an editor; without one a cell whose item
    // names a font that is gone can still be moved onto.
    if (TInplaceEdit* editor = InplaceEditor()) {
        editor->setFont(FontFor(param).toQFont());
        ApplyImeMode(*editor, param != nullptr && param->ImeModeEnabled() ? param->ImeMode() : imeMode_);
    }
    TStringGrid::SetOptions(param != nullptr && param->OptionsEnabled() ? param->Options() : options_);
}

bool TStrColGrid::RaiseMoveEvents(TSCGCellParam* oldParam, TSCGCellParam* newParam, int ACol, int ARow)
{
    const bool colChanged = ACol != lastCol_;
    const bool rowChanged = ARow != lastRow_;
    // A handler that raises refuses the move; nothing after it is raised.
    try {
        if (oldParam != nullptr) {
            if (oldParam->OnExitCell)
                oldParam->OnExitCell(oldParam, this, lastCol_, lastRow_, ACol, ARow);
            if (colChanged && oldParam->OnExitCol)
                oldParam->OnExitCol(oldParam, this, lastCol_, ACol);
            if (rowChanged && oldParam->OnExitRow)
                oldParam->OnExitRow(oldParam, this, lastRow_, ARow);
        }
        if (newParam != nullptr) {
            if (newParam->OnEnterCell)
                newParam->OnEnterCell(newParam, this, lastCol_, lastRow_, ACol, ARow);
            if (colChanged && newParam->OnEnterCol)
                newParam->OnEnterCol(newParam, this, lastCol_, ACol);
            if (rowChanged && newParam->OnEnterRow)
                newParam->OnEnterRow(newParam, this, lastRow_, ARow);
        }
        if (OnCellChanged)
            OnCellChanged(this, lastCol_, lastRow_, ACol, ARow);
        if (colChanged && OnColChanged)
            OnColChanged(this, lastCol_, ACol);
        if (rowChanged && OnRowChanged)
            OnRowChanged(this, lastRow_, ARow);
    } catch (...) {
        return false;
    }
    return true;
}

bool TStrColGrid::AcceptCellMove(int ACol, int ARow)
{
    // A move the base grid (OnSelectCell) refuses does not happen, so it is
    // neither reported nor remembered as the last cell.
    const bool accepted = TStringGrid::AcceptCellMove(ACol, ARow);
    if (!accepted)
        return accepted;
    TSCGCellParam* newParam = FindCellParam(ACol, ARow, false);
    TSCGCellParam* oldParam = FindCellParam(lastCol_, lastRow_, false);
    ApplyCellSettings(newParam);
    if ((ACol != lastCol_ || ARow != lastRow_) && !RaiseMoveEvents(oldParam, newParam, ACol, ARow))
        return false;
    lastCol_ = ACol;
    lastRow_ = ARow;
    return true;
}

void TStrColGrid::FocusEntered()
{
    TStringGrid::FocusEntered();
    AcceptCellMove(Col(), Row());
}

void TStrColGrid::AfterFormLoad()
{
    TStringGrid::AfterFormLoad();
    Canvas().Font() = Font();
    lastCol_ = Col();
    lastRow_ = Row();
    AcceptCellMove(Col(), Row());
    InvalidateGrid();
}

TInplaceEdit* TStrColGrid::MakeEditor()
{
    TInplaceEdit* editor = TStringGrid::MakeEditor();
    const TSCGCellParam* param = FindCellParam(Col(), Row(), false);
    editor->setFont(FontFor(param).toQFont());
    ApplyImeMode(*editor, param != nullptr && param->ImeModeEnabled() ? param->ImeMode() : imeMode_);
    return editor;
}

// ---- stored properties

void TStrColGrid::WriteProperties(TWriter& writer) const
{
    using namespace StreamNames;
    // Inherited from the base grid, whose stored default is True; the grid
    // turns it off when created, so that is what its form carries.
    if (!DefaultDrawing())
        WriteBooleanProperty(writer, QStringLiteral("DefaultDrawing"), false);
    writer.WritePropName(QStringLiteral("CellParams"));
    cellParams_->Write(writer);
    writer.WritePropName(QStringLiteral("Fonts"));
    fonts_->Write(writer);
    if (alignment_ != taLeftJustify)
        WriteIdentProperty(writer, QStringLiteral("Alignment"), AlignmentName(alignment_));
    if (fixedAlignment_ != taLeftJustify)
        WriteIdentProperty(writer, QStringLiteral("FixedAlignment"), AlignmentName(fixedAlignment_));
    if (fixedLayout_ != tlTop)
        WriteIdentProperty(writer, QStringLiteral("FixedLayout"), TextLayoutName(fixedLayout_));
    if (!focusDraw_)
        WriteBooleanProperty(writer, QStringLiteral("FocusDraw"), false);
    if (focusCellColor_ != clHighlight)
        WriteColorProperty(writer, QStringLiteral("FocusCellColor"), focusCellColor_);
    if (focusCellFontColor_ != clHighlightText)
        WriteColorProperty(writer, QStringLiteral("FocusCellFontColor"), focusCellFontColor_);
    if (focusCellFontColorEnabled_)
        WriteBooleanProperty(writer, QStringLiteral("FocusCellFontColorEnabled"), true);
    if (imeMode_ != imDontCare)
        WriteIdentProperty(writer, QStringLiteral("ImeMode"), ImeModeName(imeMode_));
    if (!cellDivide_)
        WriteBooleanProperty(writer, QStringLiteral("CellDivide"), false);
    WriteIdentProperty(writer, QStringLiteral("Layout"), TextLayoutName(layout_));
    writer.WritePropName(QStringLiteral("Options"));
    writer.WriteSet(GridOptionNames(options_));
}

bool TStrColGrid::ReadProperty(const QString& name, TReader& reader)
{
    using namespace StreamNames;
    if (name == QStringLiteral("DefaultDrawing"))
        SetDefaultDrawing(reader.ReadBoolean());
    else if (name == QStringLiteral("CellParams"))
        cellParams_->Read(reader);
    else if (name == QStringLiteral("Fonts"))
        fonts_->Read(reader);
    else if (name == QStringLiteral("Alignment"))
        SetAlignment(ReadAlignment(reader));
    else if (name == QStringLiteral("FixedAlignment"))
        SetFixedAlignment(ReadAlignment(reader));
    else if (name == QStringLiteral("FixedLayout"))
        SetFixedLayout(ReadTextLayout(reader));
    else if (name == QStringLiteral("FocusDraw"))
        SetFocusDraw(reader.ReadBoolean());
    else if (name == QStringLiteral("FocusCellColor"))
        SetFocusCellColor(ReadColor(reader));
    else if (name == QStringLiteral("FocusCellFontColor"))
        SetFocusCellFontColor(ReadColor(reader));
    else if (name == QStringLiteral("FocusCellFontColorEnabled"))
        SetFocusCellFontColorEnabled(reader.ReadBoolean());
    else if (name == QStringLiteral("ImeMode"))
        SetImeMode(ReadImeMode(reader));
    else if (name == QStringLiteral("CellDivide"))
        SetCellDivide(reader.ReadBoolean());
    else if (name == QStringLiteral("Layout"))
        SetLayout(ReadTextLayout(reader));
    else if (name == QStringLiteral("Options"))
        SetOptions(ReadGridOptions(reader));
    else
        return false;
    return true;
}

void TStrColGrid::LoadProperties(TReader& reader)
{
    BeginLoad();
    try {
        while (!reader.EndOfList()) {
            const QString name = reader.ReadPropName();
            if (!ReadProperty(name, reader))
                reader.SkipValue();
        }
        reader.ReadListEnd();
    } catch (...) {
        // Leave the loading state even when the stream is broken; the read
        // error is what the caller needs to see.
        try {
            EndLoad();
        } catch (...) {
        }
        throw;
    }
    EndLoad();
}
