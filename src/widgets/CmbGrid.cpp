#include "widgets/CmbGrid.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QKeyEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QScopeGuard>

#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/FormStream.h"
#include "platform/Text.h"
#include "widgets/CmbGridEdit.h"

namespace {

const QString GridIndexOutOfRange = QStringLiteral("Grid index out of range");

// Texts are drawn from a buffer of this many characters.
constexpr int TextBufferLength = 255;

QString Buffered(const QString& text)
{
    if (text.size() <= TextBufferLength)
        return text;
    QString cut = text.left(TextBufferLength);
    // Never half of a character outside the basic plane.
    if (cut.back().isHighSurrogate())
        cut.chop(1);
    return cut;
}

bool IsFaceKind(const TCellKind& K) { return K.Kind() == ckButton || K.Kind() == ckCheck; }

// Item 0 as a caption. A button or check column without items draws an
// empty caption rather than failing every paint of the grid.
QString FirstItem(const TCellKind& K) { return K.Items().IsEmpty() ? QString() : K.Items().Strings(0); }

// The cell text shown through a number format, or the text itself when it
// is no number or the format cannot show it.
QString FormattedNumber(const QString& text, const QString& pattern)
{
    QLocale c = QLocale::c();
    c.setNumberOptions(QLocale::RejectGroupSeparator);
    bool ok = false;
    const double value = c.toDouble(text.trimmed(), &ok);
    if (!ok || !std::isfinite(value))
        return text;
    try {
        return Text::FormatFloat(pattern, value);
    } catch (const Exception&) {
        return text;
    }
}

[[noreturn]] void InvalidValue() { throw EReadError(QStringLiteral("Invalid property value")); }

} // namespace

void DrawButtonFace(TCanvas& canvas, const TRect& rect, bool pressed)
{
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(rect);
    TRect r = rect;
    if (pressed) {
        canvas.Frame3D(r, clWindowFrame, clBtnHighlight, 1);
        canvas.Frame3D(r, clBtnShadow, clBtnFace, 1);
    } else {
        canvas.Frame3D(r, clBtnHighlight, clWindowFrame, 1);
        canvas.Frame3D(r, clBtnFace, clBtnShadow, 1);
    }
}

TComboGrid::TComboGrid(QWidget* parent)
    : TStringGrid(parent)
{
    // Focus going to any other control ends the drop-down list, like the
    // window losing the activation.
    focusWatch_ = connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
        Application::Guard([&] {
            if (now != nullptr && now != this)
                CancelMode(now);
        });
    });
}

TComboGrid::~TComboGrid()
{
    // Qt moves the focus while the grid's window parts go; this grid must
    // not hear of it any more.
    disconnect(focusWatch_);
    // The editor may still have the focus; it must not report to a grid that
    // is half gone while Qt moves the focus away from it.
    if (TComboInplaceEdit* editor = ComboEditor()) {
        editor->Detach();
        editor->CloseDropDown();
        editor->hide();
    }
}

// ---- column kinds

TCellKind& TComboGrid::ColumnKind(int ACol)
{
    if (ACol < 0 || ACol >= std::max(MaxColumnKinds, ColumnKindCount()))
        throw ERangeError(GridIndexOutOfRange);
    if (ACol >= ColumnKindCount())
        columnKinds_.resize(std::size_t(ACol) + 1);
    std::unique_ptr<TCellKind>& slot = columnKinds_[std::size_t(ACol)];
    if (!slot) {
        slot = std::make_unique<TCellKind>();
        slot->SetGrid(this);
    }
    return *slot;
}

const TCellKind* TComboGrid::ExistingColumnKind(int ACol) const
{
    if (ACol < 0 || ACol >= ColumnKindCount())
        return nullptr;
    return columnKinds_[std::size_t(ACol)].get();
}

CellAlign TComboGrid::ColumnAlign(int ACol) const
{
    const TCellKind* K = ExistingColumnKind(ACol);
    return K != nullptr ? K->Align() : DefaultCellAlign;
}

CellAlign TComboGrid::ColumnFixedAlign(int ACol) const
{
    const TCellKind* K = ExistingColumnKind(ACol);
    return K != nullptr ? K->FixedAlign() : DefaultCellAlign;
}

int TComboGrid::ColumnMargin(int ACol) const
{
    const TCellKind* K = ExistingColumnKind(ACol);
    return K != nullptr ? K->Margin() : TCellKind().Margin();
}

QString TComboGrid::NextCheckValue(const QString& text, const TCellKind& kind)
{
    const TCellKindItems& items = kind.Items();
    const int i = items.IndexOf(text);
    int next = 0;
    if (i != -1 && items.Marks(i) != 1) {
        next = i;
        for (int j = 0; j < items.Count(); ++j) {
            if (items.Marks(j) == 1) {
                next = j;
                break;
            }
        }
    }
    return items.Strings(next);
}

void TComboGrid::DoGridBtnClick(int ACol, int ARow)
{
    if (OnGridBtnClick)
        OnGridBtnClick(this, ACol, ARow);
}

TComboInplaceEdit* TComboGrid::ComboEditor() const { return qobject_cast<TComboInplaceEdit*>(InplaceEditor()); }

// ---- painting

void TComboGrid::PaintCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState)
{
    if (ARect.IsEmpty())
        return;
    if (DefaultDrawing()) {
        const TCellKind& K = ColumnKind(ACol);
        if (AState.testFlag(gdFixed)) {
            if (ARow < FixedRows() || !IsFaceKind(K))
                DrawFixedText(ACol, ARow, ARect, K);
            else
                DrawCellFace(ARect, false, false, FaceCaption(ACol, ARow, K, true), K);
        } else if (!IsFaceKind(K)) {
            DrawCellText(ACol, ARow, ARect, K);
        } else {
            const bool pressed = ACol == pressedCol_ && ARow == pressedRow_;
            DrawCellFace(ARect, pressed, AState.testFlag(gdFocused), FaceCaption(ACol, ARow, K, false), K);
        }
    }
    if (OnDrawCell)
        OnDrawCell(this, ACol, ARow, ARect, AState);
}

QString TComboGrid::FaceCaption(int ACol, int ARow, const TCellKind& K, bool fixed) const
{
    const QString first = FirstItem(K);
    if (first == UseCellData || (!fixed && K.Kind() == ckCheck))
        return Cells(ACol, ARow);
    return first;
}

void TComboGrid::DrawFixedText(int ACol, int ARow, const TRect& ARect, const TCellKind& K)
{
    DrawText(ACol, ARow, ARect, K, true);
}

void TComboGrid::DrawCellText(int ACol, int ARow, const TRect& ARect, const TCellKind& K)
{
    DrawText(ACol, ARow, ARect, K, false);
}

void TComboGrid::DrawText(int ACol, int ARow, const TRect& ARect, const TCellKind& K, bool fixed)
{
    TCanvas& canvas = Canvas();
    const int W = ARect.Width();
    const int H = ARect.Height();
    const CellAlign A = fixed ? K.FixedAlign() : K.Align();
    QString text = Cells(ACol, ARow);
    const int h = canvas.TextHeight(text);

    TTextAlign anchor = TTextAlign::Left;
    int x = K.Margin();
    int y = (H - h) / 2;
    if (A.testFlag(caCenter)) {
        anchor = TTextAlign::Center;
        x = W / 2;
    }
    // Right is tested after centre, bottom after top: they win.
    if (A.testFlag(caRight)) {
        anchor = TTextAlign::Right;
        x = W - K.Margin();
    }
    if (A.testFlag(caTop))
        y = 2;
    if (A.testFlag(caBottom))
        y = fixed ? H - h - 2 : H - h;

    // Item 1 of an edit column formats numbers for display only.
    const TCellKindItems& items = K.Items();
    if (!fixed && K.Kind() == ckEdit && items.Count() >= 2 && !items.Strings(1).isEmpty() && !text.isEmpty())
        text = FormattedNumber(text, items.Strings(1));

    const TTextAlign saved = canvas.TextAlign();
    canvas.SetTextAlign(anchor);
    canvas.TextRect(ARect, ARect.Left + x, ARect.Top + y, Buffered(text));
    canvas.SetTextAlign(saved);
}

void TComboGrid::DrawCellFace(const TRect& ARect, bool pressed, bool, const QString& caption, const TCellKind& K)
{
    // Neither face has a focused look.
    if (K.Kind() == ckButton)
        DrawButtonCell(ARect, pressed, caption);
    else
        DrawCheckCell(ARect, pressed, caption, K);
}

void TComboGrid::DrawButtonCell(const TRect& ARect, bool pressed, const QString& caption)
{
    TCanvas& canvas = Canvas();
    const TBrush savedBrush = canvas.Brush();
    const TPen savedPen = canvas.Pen();
    const TTextAlign savedAlign = canvas.TextAlign();

    DrawButtonFace(canvas, ARect, pressed);
    TRect inner { ARect.Left + 1, ARect.Top + 1, ARect.Right - 2, ARect.Bottom - 2 };
    if (pressed)
        inner = { inner.Left + 1, inner.Top + 1, inner.Right + 1, inner.Bottom + 1 };

    const QString text = Buffered(caption);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clBtnFace);
    canvas.SetTextAlign(TTextAlign::Center);
    canvas.TextRect(
        inner, inner.Left + inner.Width() / 2, inner.Top + (inner.Height() - canvas.TextHeight(text)) / 2, text);

    canvas.Pen().SetColor(clBtnHighlight);
    canvas.Pen().SetStyle(psSolid);
    canvas.Pen().SetWidth(1);
    canvas.MoveTo(ARect.Left, ARect.Bottom - 1);
    canvas.LineTo(ARect.Left, ARect.Top);
    canvas.LineTo(ARect.Right, ARect.Top);

    canvas.SetTextAlign(savedAlign);
    canvas.Brush() = savedBrush;
    canvas.Pen() = savedPen;
}

void TComboGrid::DrawCheckCell(const TRect& ARect, bool pressed, const QString& caption, const TCellKind& K)
{
    TCanvas& canvas = Canvas();
    const TBrush savedBrush = canvas.Brush();
    const TPen savedPen = canvas.Pen();

    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(clBtnFace);
    canvas.FillRect(ARect);
    TRect r = ARect;
    canvas.Frame3D(r, clBtnHighlight, clBtnShadow, 1);
    canvas.Frame3D(r, clBtnShadow, clBtnHighlight, 1);

    // A 13 x 13 box in the middle of what the frames left.
    const int cx = r.Left + (r.Right - r.Left) / 2;
    const int cy = r.Top + (r.Bottom - r.Top) / 2;
    TRect box { cx - 6, cy - 6, cx + 7, cy + 7 };

    const int i = K.Items().IndexOf(caption);
    canvas.Brush().SetColor(pressed ? clBtnFace : i == -1 ? clGrayText : clWindow);
    canvas.FillRect(box);
    canvas.Frame3D(box, clBtnShadow, clBtnHighlight, 1);
    canvas.Frame3D(box, clWindowFrame, clBtnFace, 1);

    // An "off" value (mark 0) is crossed out.
    if (i >= 0 && K.Items().Marks(i) == 0) {
        box = box.Inflated(-1, -1);
        canvas.Pen().SetColor(clBtnText);
        canvas.Pen().SetStyle(psSolid);
        canvas.Pen().SetWidth(2);
        canvas.MoveTo(box.Left, box.Top);
        canvas.LineTo(box.Right - 1, box.Bottom - 1);
        canvas.MoveTo(box.Right - 1, box.Top);
        canvas.LineTo(box.Left, box.Bottom - 1);
    }

    canvas.Brush() = savedBrush;
    canvas.Pen() = savedPen;
}

void TComboGrid::PaintControl()
{
    TStringGrid::PaintControl();
    const TRect current = CellRect(Col(), Row());
    if (!current.IsEmpty() && IsFaceKind(ColumnKind(Col()))) {
        // Once more without a state: no focus rectangle stays on a face.
        if (DefaultDrawing())
            DrawDefaultBackground(current, {});
        PaintCell(Col(), Row(), current, {});
    }
    // The held cell carries a dotted rectangle until it is released.
    if (pressedCol_ >= 0) {
        const TRect held = CellRect(pressedCol_, pressedRow_);
        if (!held.IsEmpty())
            Canvas().DrawFocusRect(held);
    }
}

// ---- mouse and keyboard on button and check cells

void TComboGrid::mousePressEvent(QMouseEvent* event)
{
    TStringGrid::mousePressEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    Application::Guard([&] {
        const QPoint pos = event->position().toPoint();
        LeftButtonDown(pos.x(), pos.y());
    });
}

void TComboGrid::LeftButtonDown(int x, int y)
{
    leftHeld_ = true;
    int col = -1;
    int row = -1;
    MouseToCell(x, y, col, row);
    pressedCol_ = -1;
    pressedRow_ = -1;
    if (col < 0 || row < 0 || !CellRect(col, row).Contains(x, y) || row < FixedRows())
        return;
    const TCellKind& K = ColumnKind(col);
    const bool pressable
        = K.Kind() == ckButton || (K.Kind() == ckCheck && K.Editable() && Options().testFlag(goEditing));
    if (!pressable)
        return;
    // A face without item 0 has nothing to show or step to.
    if (K.Items().IsEmpty())
        K.Items().Strings(0);
    pressedCol_ = col;
    pressedRow_ = row;
    pressedFocus_ = col == Col() && row == Row() ? 2 : 0;
    InvalidateCell(col, row);
}

void TComboGrid::mouseReleaseEvent(QMouseEvent* event)
{
    TStringGrid::mouseReleaseEvent(event);
    if (event->button() != Qt::LeftButton)
        return;
    Application::Guard([&] {
        const QPoint pos = event->position().toPoint();
        LeftButtonUp(pos.x(), pos.y());
    });
}

void TComboGrid::LeftButtonUp(int x, int y)
{
    leftHeld_ = false;
    if (pressedCol_ == -1)
        return;
    const int col = pressedCol_;
    const int row = pressedRow_;
    // The press ends whatever the handlers below do.
    const auto release = qScopeGuard([this, col, row] {
        pressedCol_ = -1;
        pressedRow_ = -1;
        InvalidateCell(col, row);
    });
    InvalidateCell(col, row);
    if (!CellRect(col, row).Contains(x, y))
        return;
    if (ColumnKind(col).Kind() == ckCheck)
        ToggleCheckCell(col, row);
    DoGridBtnClick(col, row);
}

void TComboGrid::ToggleCheckCell(int ACol, int ARow)
{
    SetCells(ACol, ARow, NextCheckValue(Cells(ACol, ARow), ColumnKind(ACol)));
}

void TComboGrid::SendLeftButton(QEvent::Type type)
{
    const TRect cell = CellRect(Col(), Row());
    if (cell.IsEmpty())
        return;
    const QPointF at(cell.Left, cell.Top);
    const Qt::MouseButtons buttons = type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton;
    QMouseEvent event(type, at, viewport()->mapToGlobal(at), Qt::LeftButton, buttons, Qt::NoModifier);
    if (type == QEvent::MouseButtonPress)
        mousePressEvent(&event);
    else
        mouseReleaseEvent(&event);
}

void TComboGrid::keyPressEvent(QKeyEvent* event)
{
    bool handled = false;
    Application::Guard([&] {
        const TCellKind& K = ColumnKind(Col());
        const int key = event->key();
        if ((key == Qt::Key_Return || key == Qt::Key_Enter) && K.Kind() == ckButton) {
            handled = true;
            DoGridBtnClick(Col(), Row());
        } else if (key == Qt::Key_Space && IsFaceKind(K)) {
            handled = true;
            // A held key repeats; the cell is pressed only once.
            if (!leftHeld_)
                SendLeftButton(QEvent::MouseButtonPress);
        }
    });
    if (!handled)
        TStringGrid::keyPressEvent(event);
}

void TComboGrid::keyReleaseEvent(QKeyEvent* event)
{
    bool handled = false;
    Application::Guard([&] {
        if (event->key() == Qt::Key_Space && IsFaceKind(ColumnKind(Col()))) {
            handled = true;
            // Releases of a repeating key are not the key coming up.
            if (!event->isAutoRepeat())
                SendLeftButton(QEvent::MouseButtonRelease);
        }
    });
    if (!handled)
        TStringGrid::keyReleaseEvent(event);
}

// ---- the editor

TInplaceEdit* TComboGrid::MakeEditor()
{
    auto* editor = new TComboInplaceEdit(*this);
    editor->setFont(Font().toQFont());
    editor->SetCellKind(&ColumnKind(Col()));
    return editor;
}

bool TComboGrid::EditorMayShow()
{
    const bool base = TStringGrid::EditorMayShow();
    const TCellKind& K = ColumnKind(Col());
    TComboInplaceEdit* editor = ComboEditor();
    if (editor != nullptr)
        editor->SetCellKind(&K);
    if (K.Editable() && (K.Kind() == ckEdit || K.Kind() == ckCombo))
        return base || (!EditorMode() && Options().testFlag(goAlwaysShowEditor));
    if (editor != nullptr)
        editor->hide();
    InvalidateCell(Col(), Row());
    return false;
}

QString TComboGrid::EditorMaskFor(int ACol, int ARow)
{
    const TCellKind& K = ColumnKind(ACol);
    if (K.Kind() == ckEdit && !FirstItem(K).isEmpty())
        return FirstItem(K);
    return TStringGrid::EditorMaskFor(ACol, ARow);
}

int TComboGrid::EditorLimitFor(int ACol, int ARow)
{
    const TCellKind& K = ColumnKind(ACol);
    if (K.Kind() == ckEdit)
        return K.EditLimit();
    return TStringGrid::EditorLimitFor(ACol, ARow);
}

void TComboGrid::AfterScroll()
{
    TStringGrid::AfterScroll();
    // Out of view the editor is hidden (by the base); back in view it comes
    // back where it is always shown.
    if (CellRect(Col(), Row()).IsEmpty())
        return;
    if (!EditorMode() && Options().testFlag(goAlwaysShowEditor) && hasFocus())
        ShowEditor();
}

void TComboGrid::CancelMode(QObject* cause)
{
    TComboInplaceEdit* editor = ComboEditor();
    if (editor == nullptr || !editor->DropDownVisible())
        return;
    if (cause == editor || cause == editor->DropDown())
        return;
    editor->CloseDropDown();
}

void TComboGrid::changeEvent(QEvent* event)
{
    TStringGrid::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        Application::Guard([&] { CancelMode(QApplication::activeWindow()); });
}

// ---- the stored lists

void TComboGrid::WriteCellData(TWriter& writer) const { ComboGridStream::WriteCellData(writer, *this); }

std::vector<ComboGridStream::CellText> TComboGrid::ParseCellData(TReader& reader) const
{
    std::vector<ComboGridStream::CellText> cells = ComboGridStream::ReadCellData(reader);
    for (const ComboGridStream::CellText& cell : cells)
        if (cell.Col >= ColCount() || cell.Row >= RowCount())
            InvalidValue();
    return cells;
}

void TComboGrid::ApplyCellData(const std::vector<ComboGridStream::CellText>& cells)
{
    for (const ComboGridStream::CellText& cell : cells)
        SetCells(cell.Col, cell.Row, cell.Text);
}

void TComboGrid::ReadCellData(TReader& reader) { ApplyCellData(ParseCellData(reader)); }

void TComboGrid::WriteCellKind(TWriter& writer)
{
    std::vector<const TCellKind*> kinds;
    for (int col = 0; col < ColCount(); ++col)
        kinds.push_back(&ColumnKind(col));
    ComboGridStream::WriteCellKinds(writer, kinds);
}

void TComboGrid::ReadCellKind(TReader& reader)
{
    columnKinds_ = ComboGridStream::ReadCellKinds(reader);
    InvalidateGrid();
}

QByteArray TComboGrid::CellDataBytes() const
{
    TWriter writer;
    WriteCellData(writer);
    return writer.Data();
}

void TComboGrid::LoadCellData(const QByteArray& bytes)
{
    TReader reader(bytes);
    const std::vector<ComboGridStream::CellText> cells = ParseCellData(reader);
    if (!reader.AtEnd())
        InvalidValue();
    ApplyCellData(cells);
}

QByteArray TComboGrid::CellKindBytes()
{
    TWriter writer;
    WriteCellKind(writer);
    return writer.Data();
}

void TComboGrid::LoadCellKind(const QByteArray& bytes)
{
    TReader reader(bytes);
    auto kinds = ComboGridStream::ReadCellKinds(reader);
    if (!reader.AtEnd())
        InvalidValue();
    columnKinds_ = std::move(kinds);
    InvalidateGrid();
}

void TComboGrid::WriteProperties(TWriter& writer)
{
    writer.WritePropName(QStringLiteral("CellData"));
    WriteCellData(writer);
    writer.WritePropName(QStringLiteral("CellKind"));
    WriteCellKind(writer);
}

bool TComboGrid::ReadProperty(const QString& name, TReader& reader)
{
    if (name == QStringLiteral("CellData"))
        ReadCellData(reader);
    else if (name == QStringLiteral("CellKind"))
        ReadCellKind(reader);
    else
        return false;
    return true;
}

void TComboGrid::DeclareExtraProperties(TExtraProperties& properties)
{
    TStringGrid::DeclareExtraProperties(properties);
    properties.push_back({ QStringLiteral("CellData"), [this](TReader& reader) { ReadCellData(reader); },
        [this](TWriter& writer) { WriteCellData(writer); } });
    properties.push_back({ QStringLiteral("CellKind"), [this](TReader& reader) { ReadCellKind(reader); },
        [this](TWriter& writer) { WriteCellKind(writer); } });
}
