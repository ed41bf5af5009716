#include "platform/StringGrid.h"

#include <algorithm>
#include <cmath>

#include <QApplication>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScopedValueRollback>
#include <QScrollBar>

#include "platform/Application.h"
#include "platform/Errors.h"
#include "platform/GridAccessible.h"

namespace {

const QString GridIndexOutOfRange = QStringLiteral("Grid index out of range");

// Half the width of the band around a column's right border in which the
// pointer sizes the column.
constexpr int SizingBand = 3;

// Window coordinates are kept within this distance of the origin: far
// beyond any window, and far from overflowing when Qt adds sizes to them.
constexpr qint64 CoordLimit = qint64(1) << 24;

int WindowCoord(qint64 value) { return int(std::clamp(value, -CoordLimit, CoordLimit)); }

// The off-screen image is painted and shown in parts of at most this many
// device pixels a side.
constexpr int MaxBufferSide = 4096;

// How a window's logical pixels lie on its device: device x = x * Ratio + Dx
// (likewise y). Ratio is the screen's scale, or that of an image the grid is
// rendered into; Dx and Dy place the window on the device and need not be
// whole device pixels at a fractional scale.
struct TDeviceMapping {
    qreal Ratio = 1;
    qreal Dx = 0;
    qreal Dy = 0;

    // The device pixels that rect (logical) touches.
    QRect DeviceRect(const QRect& rect) const
    {
        const int left = int(std::floor(rect.left() * Ratio + Dx));
        const int top = int(std::floor(rect.top() * Ratio + Dy));
        const int right = int(std::ceil((rect.left() + rect.width()) * Ratio + Dx));
        const int bottom = int(std::ceil((rect.top() + rect.height()) * Ratio + Dy));
        return QRect(left, top, right - left, bottom - top);
    }
};

// The mapping of a window painter; a scale near 1 (or a transform that is
// more than scale and shift) counts as 1, painted as before.
TDeviceMapping DeviceMappingOf(const QPainter& painter)
{
    const QTransform device = painter.deviceTransform();
    const qreal ratio = device.m11();
    if (device.type() > QTransform::TxScale || std::abs(device.m22() - ratio) > 1e-9 || !(ratio > 0.01 && ratio < 64)
        || std::abs(ratio - 1) < 1e-6)
        return {};
    return { ratio, device.dx(), device.dy() };
}

bool IsNavigationKey(int key)
{
    switch (key) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        return true;
    default:
        return false;
    }
}

} // namespace

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons)
{
    TShiftState shift;
    if (modifiers & Qt::ShiftModifier)
        shift |= ssShift;
    if (modifiers & Qt::AltModifier)
        shift |= ssAlt;
    if (modifiers & Qt::ControlModifier)
        shift |= ssCtrl;
    if (buttons & Qt::LeftButton)
        shift |= ssLeft;
    if (buttons & Qt::RightButton)
        shift |= ssRight;
    if (buttons & Qt::MiddleButton)
        shift |= ssMiddle;
    return shift;
}

TGridCoord NavigateKey(TGridCoord current, int key, Qt::KeyboardModifiers modifiers, const TGridNavigation& grid)
{
    const int minCol = grid.FixedCols;
    const int maxCol = grid.ColCount - 1;
    const int minRow = grid.FixedRows;
    const int maxRow = grid.RowCount - 1;
    const bool ctrl = modifiers & Qt::ControlModifier;
    int col = current.X;
    int row = current.Y;
    switch (key) {
    case Qt::Key_Up:
        --row;
        break;
    case Qt::Key_Down:
        ++row;
        break;
    case Qt::Key_Left:
        --col;
        break;
    case Qt::Key_Right:
        ++col;
        break;
    case Qt::Key_PageUp:
        row -= std::max(1, grid.PageRows);
        break;
    case Qt::Key_PageDown:
        row += std::max(1, grid.PageRows);
        break;
    case Qt::Key_Home:
        col = minCol;
        if (ctrl)
            row = minRow;
        break;
    case Qt::Key_End:
        col = maxCol;
        if (ctrl)
            row = maxRow;
        break;
    case Qt::Key_Tab:
    case Qt::Key_Backtab: {
        if (!grid.Tabs)
            return current;
        const bool back = key == Qt::Key_Backtab || (modifiers & Qt::ShiftModifier);
        if (back) {
            if (col > minCol)
                --col;
            else if (row > minRow)
                col = maxCol, --row;
        } else {
            if (col < maxCol)
                ++col;
            else if (row < maxRow)
                col = minCol, ++row;
        }
        break;
    }
    default:
        return current;
    }
    return { std::clamp(col, minCol, std::max(minCol, maxCol)), std::clamp(row, minRow, std::max(minRow, maxRow)) };
}

// ---------------------------------------------------------------- editor

TInplaceEdit::TInplaceEdit(TStringGrid& grid)
    : QLineEdit(grid.viewport())
    , grid_(grid)
{
    setFrame(false);
    hide();
}

void TInplaceEdit::keyPressEvent(QKeyEvent* event)
{
    Application::Guard([&] {
        switch (event->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            if (grid_.Options().testFlag(goAlwaysShowEditor)) {
                grid_.CommitEditor();
                selectAll();
            } else {
                grid_.HideEditor();
            }
            return;
        case Qt::Key_Escape:
            grid_.CancelEditor();
            return;
        case Qt::Key_Up:
        case Qt::Key_Down:
        case Qt::Key_PageUp:
        case Qt::Key_PageDown:
            // Rows change from inside the editor as from the grid; the move
            // commits the text.
            grid_.HandleKey(event->key(), event->modifiers());
            return;
        default:
            QLineEdit::keyPressEvent(event);
        }
    });
}

void TInplaceEdit::focusOutEvent(QFocusEvent* event)
{
    Application::Guard([&] {
        QLineEdit::focusOutEvent(event);
        if (event->reason() == Qt::PopupFocusReason)
            return;
        const bool toGrid = QApplication::focusWidget() == &grid_;
        if (toGrid)
            grid_.focusFromEditor_ = true;
        // Leaving the cell's editor keeps what was typed.
        grid_.HideEditor();
        if (!toGrid && event->reason() != Qt::ActiveWindowFocusReason)
            grid_.FocusLeft();
    });
}

// ---------------------------------------------------------------- grid

TStringGrid::TStringGrid(QWidget* parent)
    : QAbstractScrollArea(parent)
{
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setMouseTracking(true);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    ResizeCells(colCount_, rowCount_);
    ApplyThumbTracking();
    UpdateScrollBars();
    GridAccessible::Install();
}

TStringGrid::~TStringGrid()
{
    // The editor goes first, and without committing: destroyed later with
    // the viewport, its focus leaving would write into a grid that is gone.
    editorMode_ = false;
    delete std::exchange(editor_, nullptr);
}

// ---- cells

QString TStringGrid::Cells(int col, int row) const
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return {};
    return cells_[std::size_t(row) * colCount_ + col];
}

void TStringGrid::SetCells(int col, int row, const QString& text)
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        throw ERangeError(GridIndexOutOfRange);
    QString& cell = cells_[std::size_t(row) * colCount_ + col];
    if (cell == text)
        return;
    cell = text;
    InvalidateCell(col, row);
    GridAccessible::CellChanged(*this, col, row);
}

void TStringGrid::ResizeCells(int colCount, int rowCount)
{
    std::vector<QString> cells(std::size_t(colCount) * rowCount);
    const int keepCols = std::min(colCount, colCount_);
    const int keepRows = std::min(rowCount, rowCount_);
    if (!cells_.empty()) {
        for (int r = 0; r < keepRows; ++r)
            for (int c = 0; c < keepCols; ++c)
                cells[std::size_t(r) * colCount + c] = std::move(cells_[std::size_t(r) * colCount_ + c]);
    }
    cells_ = std::move(cells);
    colCount_ = colCount;
    rowCount_ = rowCount;
    colWidths_.resize(colCount, defaultColWidth_);
    rowHeights_.resize(rowCount, defaultRowHeight_);
    offsetsValid_ = false;
}

// ---- counts

void TStringGrid::SetColCount(int count)
{
    count = std::max(1, count);
    if (count == colCount_)
        return;
    if (editorMode_ && editorCell_.X >= count)
        CancelEditor();
    ResizeCells(count, rowCount_);
    if (fixedCols_ >= count)
        fixedCols_ = count - 1;
    // The current cell and the selection stay on the grid.
    current_.X = std::clamp(current_.X, fixedCols_, count - 1);
    anchor_.X = std::clamp(anchor_.X, fixedCols_, count - 1);
    selection_.Left = std::clamp(selection_.Left, fixedCols_, count - 1);
    selection_.Right = std::clamp(selection_.Right, fixedCols_, count - 1);
    if (options_.testFlag(goRowSelect))
        selection_.Right = count - 1;
    ClampTopLeft();
    UpdateScrollBars();
    InvalidateGrid();
    GridAccessible::LayoutChanged(*this);
}

void TStringGrid::SetRowCount(int count)
{
    count = std::max(1, count);
    if (count == rowCount_)
        return;
    if (editorMode_ && editorCell_.Y >= count)
        CancelEditor();
    ResizeCells(colCount_, count);
    if (fixedRows_ >= count)
        fixedRows_ = count - 1;
    current_.Y = std::clamp(current_.Y, fixedRows_, count - 1);
    anchor_.Y = std::clamp(anchor_.Y, fixedRows_, count - 1);
    selection_.Top = std::clamp(selection_.Top, fixedRows_, count - 1);
    selection_.Bottom = std::clamp(selection_.Bottom, fixedRows_, count - 1);
    ClampTopLeft();
    UpdateScrollBars();
    InvalidateGrid();
    GridAccessible::LayoutChanged(*this);
}

void TStringGrid::SetFixedCols(int count)
{
    if (count < 0 || count >= colCount_)
        throw ERangeError(QStringLiteral("Fixed column count must be less than column count"));
    fixedCols_ = count;
    current_.X = std::max(current_.X, count);
    anchor_.X = std::max(anchor_.X, count);
    selection_.Left = std::max(selection_.Left, count);
    selection_.Right = std::max(selection_.Right, count);
    if (options_.testFlag(goRowSelect))
        selection_.Left = count;
    ClampTopLeft();
    UpdateScrollBars();
    InvalidateGrid();
    GridAccessible::LayoutChanged(*this);
}

void TStringGrid::SetFixedRows(int count)
{
    if (count < 0 || count >= rowCount_)
        throw ERangeError(QStringLiteral("Fixed row count must be less than row count"));
    fixedRows_ = count;
    current_.Y = std::max(current_.Y, count);
    anchor_.Y = std::max(anchor_.Y, count);
    selection_.Top = std::max(selection_.Top, count);
    selection_.Bottom = std::max(selection_.Bottom, count);
    ClampTopLeft();
    UpdateScrollBars();
    InvalidateGrid();
    GridAccessible::LayoutChanged(*this);
}

// ---- geometry

void TStringGrid::SetDefaultColWidth(int width)
{
    defaultColWidth_ = std::max(0, width);
    std::fill(colWidths_.begin(), colWidths_.end(), defaultColWidth_);
    offsetsValid_ = false;
    UpdateScrollBars();
    InvalidateGrid();
}

void TStringGrid::SetDefaultRowHeight(int height)
{
    defaultRowHeight_ = std::max(0, height);
    std::fill(rowHeights_.begin(), rowHeights_.end(), defaultRowHeight_);
    offsetsValid_ = false;
    UpdateScrollBars();
    InvalidateGrid();
}

int TStringGrid::ColWidths(int col) const
{
    if (col < 0 || col >= colCount_)
        throw ERangeError(GridIndexOutOfRange);
    return colWidths_[col];
}

void TStringGrid::SetColWidths(int col, int width)
{
    if (col < 0 || col >= colCount_)
        throw ERangeError(GridIndexOutOfRange);
    width = std::max(0, width);
    if (colWidths_[col] == width)
        return;
    colWidths_[col] = width;
    offsetsValid_ = false;
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
}

int TStringGrid::RowHeights(int row) const
{
    if (row < 0 || row >= rowCount_)
        throw ERangeError(GridIndexOutOfRange);
    return rowHeights_[row];
}

void TStringGrid::SetRowHeights(int row, int height)
{
    if (row < 0 || row >= rowCount_)
        throw ERangeError(GridIndexOutOfRange);
    height = std::max(0, height);
    if (rowHeights_[row] == height)
        return;
    rowHeights_[row] = height;
    offsetsValid_ = false;
    UpdateScrollBars();
    PlaceEditor();
    InvalidateGrid();
}

void TStringGrid::UpdateOffsets() const
{
    if (offsetsValid_)
        return;
    colLefts_.assign(colCount_ + 1, 0);
    for (int c = 0; c < colCount_; ++c)
        colLefts_[c + 1] = colLefts_[c] + qint64(colWidths_[c]) + GridLineWidth;
    rowTops_.assign(rowCount_ + 1, 0);
    for (int r = 0; r < rowCount_; ++r)
        rowTops_[r + 1] = rowTops_[r] + qint64(rowHeights_[r]) + GridLineWidth;
    offsetsValid_ = true;
}

qint64 TStringGrid::ColLeft(int col) const
{
    UpdateOffsets();
    return colLefts_[col];
}

qint64 TStringGrid::RowTop(int row) const
{
    UpdateOffsets();
    return rowTops_[row];
}

qint64 TStringGrid::ScrolledX(int col) const
{
    if (col < fixedCols_)
        return ColLeft(col);
    if (col < topLeft_.X)
        return -1;
    return ColLeft(fixedCols_) + ColLeft(col) - ColLeft(topLeft_.X);
}

qint64 TStringGrid::ScrolledY(int row) const
{
    if (row < fixedRows_)
        return RowTop(row);
    if (row < topLeft_.Y)
        return -1;
    return RowTop(fixedRows_) + RowTop(row) - RowTop(topLeft_.Y);
}

TRect TStringGrid::CellRect(int col, int row) const
{
    if (col < 0 || row < 0 || col >= colCount_ || row >= rowCount_)
        return {};
    const qint64 x = ScrolledX(col);
    const qint64 y = ScrolledY(row);
    if (x < 0 || y < 0 || x >= viewport()->width() || y >= viewport()->height())
        return {};
    return { int(x), int(y), WindowCoord(x + colWidths_[col]), WindowCoord(y + rowHeights_[row]) };
}

void TStringGrid::MouseToCell(int x, int y, int& col, int& row) const
{
    UpdateOffsets();
    // A point on a grid line belongs to the cell before the line.
    const auto find = [](const std::vector<qint64>& starts, int fixed, int first, qint64 pos) {
        const qint64 fixedEnd = starts[fixed];
        if (pos < 0)
            return -1;
        qint64 unscrolled = pos;
        int from = 0;
        if (pos >= fixedEnd) {
            unscrolled = pos - fixedEnd + starts[first];
            from = first;
        }
        const auto it = std::upper_bound(starts.begin() + from, starts.end(), unscrolled);
        if (it == starts.end())
            return -1;
        return int(it - starts.begin()) - 1;
    };
    col = find(colLefts_, fixedCols_, topLeft_.X, x);
    row = find(rowTops_, fixedRows_, topLeft_.Y, y);
}

int TStringGrid::VisibleRowCount() const
{
    const qint64 room = viewport()->height() - RowTop(fixedRows_);
    int count = 0;
    for (int r = topLeft_.Y; r < rowCount_ && RowTop(r + 1) - RowTop(topLeft_.Y) <= room; ++r)
        ++count;
    return std::max(1, count);
}

int TStringGrid::VisibleColCount() const
{
    const qint64 room = viewport()->width() - ColLeft(fixedCols_);
    int count = 0;
    for (int c = topLeft_.X; c < colCount_ && ColLeft(c + 1) - ColLeft(topLeft_.X) <= room; ++c)
        ++count;
    return std::max(1, count);
}

// ---- appearance

void TStringGrid::SetColor(TColor color)
{
    color_ = color;
    InvalidateGrid();
}

void TStringGrid::SetFixedColor(TColor color)
{
    fixedColor_ = color;
    InvalidateGrid();
}

void TStringGrid::SetFont(const TFont& font)
{
    font_ = font;
    if (editor_ != nullptr)
        editor_->setFont(font_.toQFont());
    InvalidateGrid();
}

void TStringGrid::SetCtl3D(bool on)
{
    ctl3D_ = on;
    InvalidateGrid();
}

void TStringGrid::SetDefaultDrawing(bool on)
{
    defaultDrawing_ = on;
    InvalidateGrid();
}

void TStringGrid::SetOptions(TGridOptions options)
{
    if (options == options_)
        return;
    options_ = options;
    ApplyThumbTracking();
    if (options_.testFlag(goRowSelect)) {
        anchor_.X = fixedCols_;
        selection_ = { fixedCols_, std::min(anchor_.Y, current_.Y), colCount_ - 1, std::max(anchor_.Y, current_.Y) };
    }
    if (editorMode_ && !EditorMayShow())
        HideEditor();
    else if (!editorMode_ && options_.testFlag(goAlwaysShowEditor) && hasFocus())
        ShowEditor();
    InvalidateGrid();
}

// ---- current cell and selection

TGridNavigation TStringGrid::Navigation() const
{
    return { colCount_, rowCount_, fixedCols_, fixedRows_, VisibleRowCount(), options_.testFlag(goTabs) };
}

void TStringGrid::SetCol(int col) { FocusCell(col, current_.Y); }

void TStringGrid::SetRow(int row) { FocusCell(current_.X, row); }

void TStringGrid::FocusCell(int col, int row)
{
    if (col < fixedCols_ || col >= colCount_ || row < fixedRows_ || row >= rowCount_)
        throw ERangeError(GridIndexOutOfRange);
    MoveCurrent(col, row, false);
}

void TStringGrid::SetSelection(const TGridRect& selection)
{
    const TGridRect s { std::min(selection.Left, selection.Right), std::min(selection.Top, selection.Bottom),
        std::max(selection.Left, selection.Right), std::max(selection.Top, selection.Bottom) };
    if (s.Left < fixedCols_ || s.Right >= colCount_ || s.Top < fixedRows_ || s.Bottom >= rowCount_)
        throw ERangeError(GridIndexOutOfRange);
    // The current cell goes to the top-left of the new selection.
    if (TGridCoord { s.Left, s.Top } != current_ && !AcceptCellMove(s.Left, s.Top))
        return;
    if (editorMode_)
        HideEditor();
    InvalidateSelection(selection_);
    InvalidateCell(current_.X, current_.Y);
    current_ = { s.Left, s.Top };
    anchor_ = { s.Right, s.Bottom };
    selection_ = s;
    if (options_.testFlag(goRowSelect)) {
        selection_.Left = fixedCols_;
        selection_.Right = colCount_ - 1;
    }
    InvalidateSelection(selection_);
    ScrollIntoView(current_.X, current_.Y);
    GridAccessible::CurrentCellChanged(*this);
}

bool TStringGrid::MoveCurrent(int col, int row, bool extend)
{
    extend = extend && options_.testFlag(goRangeSelect);
    const TGridCoord target { col, row };
    if (target != current_ && !AcceptCellMove(col, row))
        return false;
    if (editorMode_ && target != current_)
        HideEditor();
    InvalidateSelection(selection_);
    InvalidateCell(current_.X, current_.Y);
    const TGridRect oldSelection = selection_;
    const bool moved = target != current_;
    current_ = target;
    if (!extend)
        anchor_ = target;
    selection_
        = { std::min(anchor_.X, col), std::min(anchor_.Y, row), std::max(anchor_.X, col), std::max(anchor_.Y, row) };
    if (options_.testFlag(goRowSelect)) {
        selection_.Left = fixedCols_;
        selection_.Right = colCount_ - 1;
    }
    InvalidateSelection(selection_);
    InvalidateCell(col, row);
    ScrollIntoView(col, row);
    if (moved || selection_ != oldSelection)
        GridAccessible::CurrentCellChanged(*this);
    if (moved && options_.testFlag(goAlwaysShowEditor) && hasFocus())
        ShowEditor();
    return moved;
}

void TStringGrid::SetTopRow(int row) { SetTopLeft(topLeft_.X, row); }

void TStringGrid::SetLeftCol(int col) { SetTopLeft(col, topLeft_.Y); }

void TStringGrid::SetTopLeft(int col, int row)
{
    const TGridCoord old = topLeft_;
    topLeft_ = { col, row };
    ClampTopLeft();
    if (topLeft_ == old)
        return;
    // The scroll bars follow; their signals find nothing more to do.
    const QSignalBlocker blockH(horizontalScrollBar());
    const QSignalBlocker blockV(verticalScrollBar());
    horizontalScrollBar()->setValue(topLeft_.X);
    verticalScrollBar()->setValue(topLeft_.Y);
    viewport()->update();
    AfterScroll();
}

void TStringGrid::ClampTopLeft()
{
    UpdateOffsets();
    // The last top row is the first from which all remaining rows fit.
    const qint64 roomY = viewport()->height() - RowTop(fixedRows_);
    int maxTop = rowCount_ - 1;
    while (maxTop > fixedRows_ && RowTop(rowCount_) - RowTop(maxTop - 1) <= roomY)
        --maxTop;
    const qint64 roomX = viewport()->width() - ColLeft(fixedCols_);
    int maxLeft = colCount_ - 1;
    while (maxLeft > fixedCols_ && ColLeft(colCount_) - ColLeft(maxLeft - 1) <= roomX)
        --maxLeft;
    topLeft_.Y = std::clamp(topLeft_.Y, fixedRows_, std::max(fixedRows_, maxTop));
    topLeft_.X = std::clamp(topLeft_.X, fixedCols_, std::max(fixedCols_, maxLeft));
}

void TStringGrid::UpdateScrollBars()
{
    const TGridCoord old = topLeft_;
    // Where the grid could scroll to at most: clamp a far-away top-left.
    topLeft_ = { colCount_, rowCount_ };
    ClampTopLeft();
    const TGridCoord maximum = topLeft_;
    topLeft_ = old;
    ClampTopLeft();
    {
        // The bars' signals stay on: a new range is what makes the scroll
        // area show or hide a bar. Only the scrolling they would ask for is
        // left out, as the grid already stands where the bars are set to.
        const QScopedValueRollback<bool> setting(settingBars_, true);
        horizontalScrollBar()->setRange(fixedCols_, maximum.X);
        horizontalScrollBar()->setPageStep(VisibleColCount());
        horizontalScrollBar()->setValue(topLeft_.X);
        verticalScrollBar()->setRange(fixedRows_, maximum.Y);
        verticalScrollBar()->setPageStep(VisibleRowCount());
        verticalScrollBar()->setValue(topLeft_.Y);
    }
    if (topLeft_ != old) {
        viewport()->update();
        AfterScroll();
    }
}

void TStringGrid::ApplyThumbTracking()
{
    // Without goThumbTracking the view follows a dragged scroll thumb only
    // when it is released.
    const bool tracking = options_.testFlag(goThumbTracking);
    horizontalScrollBar()->setTracking(tracking);
    verticalScrollBar()->setTracking(tracking);
}

void TStringGrid::ScrollIntoView(int col, int row)
{
    int top = topLeft_.Y;
    if (row >= fixedRows_) {
        if (row < top) {
            top = row;
        } else {
            const qint64 room = viewport()->height() - RowTop(fixedRows_);
            while (top < row && RowTop(row + 1) - RowTop(top) > room)
                ++top;
        }
    }
    int left = topLeft_.X;
    if (col >= fixedCols_) {
        if (col < left) {
            left = col;
        } else {
            const qint64 room = viewport()->width() - ColLeft(fixedCols_);
            while (left < col && ColLeft(col + 1) - ColLeft(left) > room)
                ++left;
        }
    }
    SetTopLeft(left, top);
}

void TStringGrid::scrollContentsBy(int, int)
{
    if (settingBars_)
        return;
    Application::Guard([&] {
        const TGridCoord old = topLeft_;
        topLeft_ = { horizontalScrollBar()->value(), verticalScrollBar()->value() };
        ClampTopLeft();
        if (topLeft_ == old)
            return;
        viewport()->update();
        AfterScroll();
    });
}

// ---- editor

void TStringGrid::SetEditorMode(bool on)
{
    if (on)
        ShowEditor();
    else
        HideEditor();
}

void TStringGrid::ShowEditor()
{
    if (editorMode_ && editorCell_ == current_ && editor_ != nullptr && editor_->isVisible())
        return;
    if (editorMode_)
        HideEditor();
    editorMode_ = true;
    if (current_.X < fixedCols_ || current_.Y < fixedRows_ || !EditorMayShow()) {
        editorMode_ = false;
        return;
    }
    if (editor_ == nullptr) {
        editor_ = MakeEditor();
    }
    editorCell_ = current_;
    editorOriginal_ = Cells(current_.X, current_.Y);
    editor_->setInputMask(EditorMaskFor(current_.X, current_.Y));
    const int limit = EditorLimitFor(current_.X, current_.Y);
    editor_->setMaxLength(limit > 0 ? limit : 32767);
    editor_->setText(editorOriginal_);
    PlaceEditor();
    if (editor_->isVisible()) {
        editor_->setFocus(Qt::OtherFocusReason);
        editor_->selectAll();
    }
}

void TStringGrid::PlaceEditor()
{
    if (editor_ == nullptr || !editorMode_)
        return;
    const TRect rect = CellRect(editorCell_.X, editorCell_.Y);
    if (rect.IsEmpty()) {
        editor_->hide();
        return;
    }
    editor_->setGeometry(rect.toQRect());
    editor_->show();
}

void TStringGrid::CommitEditor()
{
    if (!editorMode_ || editor_ == nullptr)
        return;
    const QString text = editor_->text();
    if (text == Cells(editorCell_.X, editorCell_.Y))
        return;
    SetCells(editorCell_.X, editorCell_.Y, text);
    editorOriginal_ = text;
    if (OnSetEditText)
        OnSetEditText(this, editorCell_.X, editorCell_.Y, text);
}

void TStringGrid::HideEditor()
{
    if (!editorMode_)
        return;
    CommitEditor();
    editorMode_ = false;
    if (editor_ == nullptr)
        return;
    const bool hadFocus = editor_->hasFocus();
    if (hadFocus) {
        focusFromEditor_ = true;
        setFocus(Qt::OtherFocusReason);
        // The focus-in has run by now (or never comes when the window is
        // inactive); either way the next focus-in is a real one.
        focusFromEditor_ = false;
    }
    editor_->hide();
    InvalidateCell(editorCell_.X, editorCell_.Y);
}

void TStringGrid::CancelEditor()
{
    if (!editorMode_ || editor_ == nullptr) {
        editorMode_ = false;
        return;
    }
    editor_->setText(editorOriginal_);
    HideEditor();
}

TInplaceEdit* TStringGrid::MakeEditor()
{
    // The font is set here, not by the caller, so that a grid that makes
    // its editor differently can give it another font.
    auto* editor = new TInplaceEdit(*this);
    editor->setFont(font_.toQFont());
    return editor;
}

bool TStringGrid::EditorMayShow()
{
    return options_.testFlag(goEditing) && !options_.testFlag(goRowSelect)
        && (editorMode_ || options_.testFlag(goAlwaysShowEditor));
}

QString TStringGrid::EditorMaskFor(int col, int row)
{
    QString mask;
    if (OnGetEditMask)
        OnGetEditMask(this, col, row, mask);
    return mask;
}

int TStringGrid::EditorLimitFor(int, int) { return 0; }

void TStringGrid::AfterScroll()
{
    PlaceEditor();
    if (OnTopLeftChanged)
        OnTopLeftChanged(this);
}

// ---- loading and the stored form

void TStringGrid::BeginLoad() { loading_ = true; }

void TStringGrid::EndLoad()
{
    loading_ = false;
    AfterFormLoad();
}

void TStringGrid::AfterFormLoad()
{
    UpdateScrollBars();
    InvalidateGrid();
}

// Column widths, row heights and cells are stored by the form itself; a
// grid with more to store adds it here.
void TStringGrid::DeclareExtraProperties(TExtraProperties&) { }

// ---- painting

void TStringGrid::InvalidateCell(int col, int row)
{
    const TRect rect = CellRect(col, row);
    if (!rect.IsEmpty())
        viewport()->update(rect.toQRect().adjusted(0, 0, GridLineWidth, GridLineWidth));
}

void TStringGrid::InvalidateRow(int row)
{
    const TRect first = CellRect(0, row);
    if (!first.IsEmpty())
        viewport()->update(QRect(0, first.Top, viewport()->width(), first.Height() + GridLineWidth));
}

void TStringGrid::InvalidateCol(int col)
{
    const TRect first = CellRect(col, 0);
    if (!first.IsEmpty())
        viewport()->update(QRect(first.Left, 0, first.Width() + GridLineWidth, viewport()->height()));
}

void TStringGrid::InvalidateGrid()
{
    // A fill changes hundreds of cells, each asking for the whole grid; the
    // first request stands for all of them until the grid is painted. (A
    // hidden grid is painted whole when it is shown.)
    if (wholeGridPending_)
        return;
    wholeGridPending_ = true;
    viewport()->update();
}

void TStringGrid::InvalidateSelection(const TGridRect& selection)
{
    // The visible part of the selection as one rectangle.
    const int left = std::max(selection.Left, topLeft_.X);
    const int top = std::max(selection.Top, topLeft_.Y);
    if (left > selection.Right || top > selection.Bottom)
        return;
    const TRect first = CellRect(left, top);
    if (first.IsEmpty())
        return;
    const int right = WindowCoord(ScrolledX(selection.Right) + colWidths_[selection.Right] + GridLineWidth);
    const int bottom = WindowCoord(ScrolledY(selection.Bottom) + rowHeights_[selection.Bottom] + GridLineWidth);
    viewport()->update(QRect(first.Left, first.Top, right - first.Left, bottom - first.Top));
}

TGridDrawState TStringGrid::DrawStateOf(int col, int row) const
{
    if (col < fixedCols_ || row < fixedRows_)
        return gdFixed;
    TGridDrawState state;
    if (selection_.Contains(col, row))
        state |= gdSelected;
    if (col == current_.X && row == current_.Y && hasFocus())
        state |= gdFocused;
    return state;
}

void TStringGrid::DrawDefaultBackground(const TRect& rect, TGridDrawState state)
{
    TCanvas& canvas = canvas_;
    canvas.Font() = font_;
    canvas.Brush().SetStyle(bsSolid);
    if (state.testFlag(gdFixed)) {
        canvas.Brush().SetColor(fixedColor_);
    } else if (state.testFlag(gdSelected)
        && (!state.testFlag(gdFocused) || options_.testFlag(goDrawFocusSelected) || options_.testFlag(goRowSelect))) {
        canvas.Brush().SetColor(clHighlight);
        canvas.Font().SetColor(clHighlightText);
    } else {
        canvas.Brush().SetColor(color_);
    }
    canvas.FillRect(rect);
}

void TStringGrid::PaintCell(int col, int row, const TRect& rect, TGridDrawState state)
{
    if (defaultDrawing_) {
        canvas_.TextRect(rect, rect.Left + 2, rect.Top + 2, Cells(col, row));
        if (state.testFlag(gdFixed) && ctl3D_) {
            TRect frame = rect;
            canvas_.Frame3D(frame, clBtnHighlight, clBtnShadow, 1);
        }
        if (state.testFlag(gdFocused) && !options_.testFlag(goRowSelect))
            canvas_.DrawFocusRect(rect);
    }
    if (OnDrawCell)
        OnDrawCell(this, col, row, rect, state);
}

void TStringGrid::PaintControl()
{
    const TRect area = canvas_.ClipRect();
    canvas_.Font() = font_;
    PaintCells(canvas_, area);
    PaintGridLines(canvas_, area);
}

void TStringGrid::PaintCells(TCanvas& canvas, const TRect& area)
{
    UpdateOffsets();
    // Visible columns and rows: the fixed ones, then the scrolled ones from
    // LeftCol / TopRow until the area ends. Cost follows what is visible.
    std::vector<int> cols;
    for (int c = 0; c < colCount_; ++c) {
        if (c == fixedCols_)
            c = std::max(c, topLeft_.X);
        const qint64 x = ScrolledX(c);
        if (x >= area.Right)
            break;
        if (x + colWidths_[c] + GridLineWidth > area.Left)
            cols.push_back(c);
    }
    for (int r = 0; r < rowCount_; ++r) {
        if (r == fixedRows_)
            r = std::max(r, topLeft_.Y);
        const qint64 y = ScrolledY(r);
        if (y >= area.Bottom)
            break;
        if (y + rowHeights_[r] + GridLineWidth <= area.Top)
            continue;
        for (int c : cols) {
            const qint64 x = ScrolledX(c);
            const TRect rect { int(x), int(y), WindowCoord(x + colWidths_[c]), WindowCoord(y + rowHeights_[r]) };
            const TGridDrawState state = DrawStateOf(c, r);
            if (defaultDrawing_)
                DrawDefaultBackground(rect, state);
            PaintCell(c, r, rect, state);
        }
    }
    // What lies right of the last column and below the last row.
    const int gridRight = WindowCoord(ScrolledX(colCount_ - 1) + colWidths_[colCount_ - 1] + GridLineWidth);
    const int gridBottom = WindowCoord(ScrolledY(rowCount_ - 1) + rowHeights_[rowCount_ - 1] + GridLineWidth);
    canvas.Brush().SetStyle(bsSolid);
    canvas.Brush().SetColor(color_);
    if (gridRight < area.Right)
        canvas.FillRect({ std::max(gridRight, area.Left), area.Top, area.Right, area.Bottom });
    if (gridBottom < area.Bottom)
        canvas.FillRect({ area.Left, std::max(gridBottom, area.Top), std::min(gridRight, area.Right), area.Bottom });
}

void TStringGrid::PaintGridLines(TCanvas& canvas, const TRect& area)
{
    // Every cell owns the line right of it and the line below it (with the
    // corner). Lines of fixed cells are black, the others silver; a grid
    // that draws its cells itself with the raised look (Ctl3D) draws the
    // fixed ones in silver too. A line switched off in Options takes the
    // cell's background instead.
    QPainter& painter = canvas.Painter();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    const QColor fixedLine = toQColor(defaultDrawing_ && ctl3D_ ? clSilver : clBlack);
    const QColor line = toQColor(clSilver);
    const QColor fixedBack = toQColor(fixedColor_);
    const QColor back = toQColor(color_);
    for (int r = 0; r < rowCount_; ++r) {
        if (r == fixedRows_)
            r = std::max(r, topLeft_.Y);
        const qint64 top = ScrolledY(r);
        if (top >= area.Bottom)
            break;
        if (top + rowHeights_[r] + GridLineWidth <= area.Top)
            continue;
        const int y = int(top);
        const int bottom = WindowCoord(top + rowHeights_[r]);
        for (int c = 0; c < colCount_; ++c) {
            if (c == fixedCols_)
                c = std::max(c, topLeft_.X);
            const qint64 left = ScrolledX(c);
            if (left >= area.Right)
                break;
            if (left + colWidths_[c] + GridLineWidth <= area.Left)
                continue;
            const int x = int(left);
            const int right = WindowCoord(left + colWidths_[c]);
            const bool fixed = c < fixedCols_ || r < fixedRows_;
            const bool vert = options_.testFlag(fixed ? goFixedVertLine : goVertLine);
            const bool horz = options_.testFlag(fixed ? goFixedHorzLine : goHorzLine);
            const QColor& off = fixed ? fixedBack : back;
            const QColor& on = fixed ? fixedLine : line;
            painter.fillRect(QRect(right, y, GridLineWidth, bottom - y), vert ? on : off);
            painter.fillRect(QRect(x, bottom, right - x + GridLineWidth, GridLineWidth), horz ? on : off);
        }
    }
}

void TStringGrid::PaintTo(QImage& image)
{
    QPainter painter(&image);
    canvas_.Attach(painter);
    try {
        PaintControl();
    } catch (...) {
        canvas_.Detach();
        throw;
    }
    canvas_.Detach();
}

void TStringGrid::paintEvent(QPaintEvent* event)
{
    wholeGridPending_ = false;
    // Only what is repainted goes through the buffer, in parts of bounded
    // size, so that a huge grid window never asks for a huge image.
    const QRegion region = event->region() & viewport()->rect();
    const QRect bounds = region.boundingRect();
    if (bounds.isEmpty())
        return;
    QPainter window(viewport());
    // On a high-density screen the buffer has the screen's resolution, so
    // that text and lines are drawn sharp rather than enlarged afterwards.
    const TDeviceMapping mapping = DeviceMappingOf(window);
    const qreal ratio = mapping.Ratio;
    const int side = ratio > 1 ? std::max(1, int(MaxBufferSide / ratio) - 1) : MaxBufferSide;
    QSize needed(std::min(bounds.width(), side), std::min(bounds.height(), side));
    if (ratio != 1) // a part may start in the middle of a device pixel
        needed = QSize(int(std::ceil(needed.width() * ratio)) + 1, int(std::ceil(needed.height() * ratio)) + 1);
    if (buffer_.width() < needed.width() || buffer_.height() < needed.height() || buffer_.devicePixelRatio() != ratio) {
        const QSize size = buffer_.devicePixelRatio() == ratio ? needed.expandedTo(buffer_.size()) : needed;
        buffer_ = QImage(size, QImage::Format_RGB32);
        buffer_.setDevicePixelRatio(ratio);
        buffer_.fill(toQColor(color_));
    }
    bool failed = false;
    for (int top = bounds.top(); top <= bounds.bottom(); top += side) {
        for (int left = bounds.left(); left <= bounds.right(); left += side) {
            const QRect part = QRect(left, top, side, side) & bounds;
            const QRegion partRegion = region & part;
            if (partRegion.isEmpty())
                continue;
            // The finished picture goes to the window in one piece.
            if (ratio == 1) {
                PaintBufferPart(part.topLeft(), partRegion, failed);
                for (const QRect& rect : partRegion)
                    window.drawImage(rect.topLeft(), buffer_, rect.translated(-part.topLeft()));
                continue;
            }
            // The buffer's top-left device pixel is the window's device pixel
            // device.topLeft(); it goes to the window device pixel for device
            // pixel, not scaled again.
            const QRect device = mapping.DeviceRect(part);
            PaintBufferPart(
                QPointF((device.left() - mapping.Dx) / ratio, (device.top() - mapping.Dy) / ratio), partRegion, failed);
            window.save();
            window.setWorldTransform(window.deviceTransform().inverted());
            for (const QRect& rect : partRegion) {
                const QRect target = mapping.DeviceRect(rect) & device;
                window.drawImage(target, buffer_, target.translated(-device.topLeft()));
            }
            window.restore();
        }
    }
    if (!failed && region.contains(viewport()->rect()))
        paintError_.clear();
}

void TStringGrid::PaintBufferPart(const QPointF& origin, const QRegion& region, bool& failed)
{
    // Drawing stays in the window's logical coordinates.
    QPainter painter(&buffer_);
    painter.translate(-origin);
    if (buffer_.devicePixelRatio() == 1) {
        painter.setClipRegion(region);
    } else {
        // A device pixel may lie partly outside the region's logical pixels
        // and still be shown: paint one logical pixel more around it.
        QRegion around;
        for (const QRect& rect : region)
            around += rect.adjusted(-1, -1, 1, 1);
        painter.setClipRegion(around);
    }
    canvas_.Attach(painter);
    // A failure ends this picture where it happened; what was drawn is
    // shown, and the error is reported once the paint is over.
    try {
        PaintControl();
    } catch (const std::exception& error) {
        failed = true;
        ReportPaintError(error);
    }
    canvas_.Detach();
}

void TStringGrid::ReportPaintError(const std::exception& error)
{
    // Each repaint would fail again for the same cause: one box is enough.
    const auto* own = dynamic_cast<const Exception*>(&error);
    const QString message = own ? own->Message() : QString::fromUtf8(error.what());
    if (message == paintError_)
        return;
    paintError_ = message;
    Application::PostException(error);
}

void TStringGrid::resizeEvent(QResizeEvent* event)
{
    Application::Guard([&] {
        QAbstractScrollArea::resizeEvent(event);
        UpdateScrollBars();
        PlaceEditor();
    });
}

// ---- mouse

int TStringGrid::ColumnBorderAt(int x, int y) const
{
    if (y < 0 || y >= RowTop(fixedRows_))
        return -1;
    int best = -1;
    qint64 bestDistance = SizingBand + 1;
    for (int c = 0; c < colCount_; ++c) {
        if (c == fixedCols_)
            c = std::max(c, topLeft_.X);
        const qint64 left = ScrolledX(c);
        if (left > x + SizingBand)
            break;
        const qint64 border = left + colWidths_[c];
        const qint64 distance = std::abs(x - border);
        if (distance < bestDistance) {
            best = c;
            bestDistance = distance;
        }
    }
    return best;
}

int TStringGrid::RowBorderAt(int x, int y) const
{
    if (x < 0 || x >= ColLeft(fixedCols_))
        return -1;
    int best = -1;
    qint64 bestDistance = SizingBand + 1;
    for (int r = 0; r < rowCount_; ++r) {
        if (r == fixedRows_)
            r = std::max(r, topLeft_.Y);
        const qint64 top = ScrolledY(r);
        if (top > y + SizingBand)
            break;
        const qint64 border = top + rowHeights_[r];
        const qint64 distance = std::abs(y - border);
        if (distance < bestDistance) {
            best = r;
            bestDistance = distance;
        }
    }
    return best;
}

void TStringGrid::mousePressEvent(QMouseEvent* event)
{
    Application::Guard([&] {
        const QPoint pos = event->position().toPoint();
        if (!hasFocus() && !(editor_ != nullptr && editor_->hasFocus()))
            setFocus(Qt::MouseFocusReason);
        if (OnMouseDown)
            OnMouseDown(this, event->button(), ShiftStateOf(event->modifiers(), event->buttons()), pos.x(), pos.y());
        if (event->button() != Qt::LeftButton)
            return;
        if (options_.testFlag(goColSizing)) {
            const int col = ColumnBorderAt(pos.x(), pos.y());
            if (col >= 0) {
                sizing_ = Sizing::Column;
                sizingIndex_ = col;
                sizingStart_ = ScrolledX(col);
                return;
            }
        }
        if (options_.testFlag(goRowSizing)) {
            const int row = RowBorderAt(pos.x(), pos.y());
            if (row >= 0) {
                sizing_ = Sizing::Row;
                sizingIndex_ = row;
                sizingStart_ = ScrolledY(row);
                return;
            }
        }
        int col = -1;
        int row = -1;
        MouseToCell(pos.x(), pos.y(), col, row);
        if (col < fixedCols_ || row < fixedRows_)
            return;
        const bool again = TGridCoord { col, row } == current_;
        const bool extend = (event->modifiers() & Qt::ShiftModifier) && options_.testFlag(goRangeSelect);
        MoveCurrent(col, row, extend);
        selecting_ = true;
        if (again && !extend && options_.testFlag(goEditing))
            ShowEditor();
    });
}

void TStringGrid::mouseMoveEvent(QMouseEvent* event)
{
    Application::Guard([&] {
        const QPoint pos = event->position().toPoint();
        if (sizing_ == Sizing::Column) {
            SetColWidths(sizingIndex_, int(std::clamp(pos.x() - sizingStart_, qint64(0), CoordLimit)));
        } else if (sizing_ == Sizing::Row) {
            SetRowHeights(sizingIndex_, int(std::clamp(pos.y() - sizingStart_, qint64(0), CoordLimit)));
        } else if (selecting_ && options_.testFlag(goRangeSelect) && (event->buttons() & Qt::LeftButton)) {
            int col = -1;
            int row = -1;
            MouseToCell(pos.x(), pos.y(), col, row);
            // Past the last cell the selection stops at the edge.
            if (col < 0)
                col = pos.x() < 0 ? fixedCols_ : colCount_ - 1;
            if (row < 0)
                row = pos.y() < 0 ? fixedRows_ : rowCount_ - 1;
            MoveCurrent(std::max(col, fixedCols_), std::max(row, fixedRows_), true);
        } else {
            if (options_.testFlag(goColSizing) && ColumnBorderAt(pos.x(), pos.y()) >= 0)
                viewport()->setCursor(Qt::SplitHCursor);
            else if (options_.testFlag(goRowSizing) && RowBorderAt(pos.x(), pos.y()) >= 0)
                viewport()->setCursor(Qt::SplitVCursor);
            else
                viewport()->unsetCursor();
        }
        if (OnMouseMove)
            OnMouseMove(this, ShiftStateOf(event->modifiers(), event->buttons()), pos.x(), pos.y());
    });
}

void TStringGrid::mouseReleaseEvent(QMouseEvent* event)
{
    Application::Guard([&] {
        const QPoint pos = event->position().toPoint();
        const Sizing sizing = std::exchange(sizing_, Sizing::None);
        const bool selecting = std::exchange(selecting_, false);
        if (sizing == Sizing::Column && OnColumnResized)
            OnColumnResized(this, sizingIndex_);
        if (sizing == Sizing::Row && OnRowResized)
            OnRowResized(this, sizingIndex_);
        if (OnMouseUp)
            OnMouseUp(this, event->button(), ShiftStateOf(event->modifiers(), event->buttons()), pos.x(), pos.y());
        if (event->button() == Qt::LeftButton && selecting && OnClick)
            OnClick(this);
    });
}

void TStringGrid::mouseDoubleClickEvent(QMouseEvent* event)
{
    Application::Guard([&] {
        // The second press of a double click selects like any press, so the
        // handler sees the cell that was double-clicked as the current one.
        const QPoint pos = event->position().toPoint();
        int col = -1;
        int row = -1;
        MouseToCell(pos.x(), pos.y(), col, row);
        if (event->button() == Qt::LeftButton && sizing_ == Sizing::None && col >= fixedCols_ && row >= fixedRows_)
            MoveCurrent(col, row, false);
        if (OnDblClick)
            OnDblClick(this);
    });
}

// ---- keyboard

bool TStringGrid::HandleKey(int key, Qt::KeyboardModifiers modifiers)
{
    const TGridCoord target = NavigateKey(current_, key, modifiers, Navigation());
    if (key == Qt::Key_Tab || key == Qt::Key_Backtab) {
        if (!options_.testFlag(goTabs))
            return false;
        MoveCurrent(target.X, target.Y, false);
    } else if (IsNavigationKey(key)) {
        MoveCurrent(target.X, target.Y, modifiers & Qt::ShiftModifier);
    } else {
        return false;
    }
    if (editorMode_ == false && hasFocus() == false && editor_ != nullptr && editor_->isVisible() == false)
        setFocus(Qt::OtherFocusReason);
    if (OnClick)
        OnClick(this);
    return true;
}

void TStringGrid::keyPressEvent(QKeyEvent* event)
{
    Application::Guard([&] {
        int key = event->key();
        const TShiftState shift = ShiftStateOf(event->modifiers());
        if (OnKeyDown)
            OnKeyDown(this, key, shift);
        if (key == 0)
            return;
        if (options_.testFlag(goEditing) && !editorMode_
            && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_F2)) {
            ShowEditor();
            return;
        }
        if (HandleKey(key, event->modifiers()))
            return;
        const QString text = event->text();
        if (text.size() == 1 && text[0].isPrint()) {
            QChar ch = text[0];
            if (OnKeyPress)
                OnKeyPress(this, ch);
            if (ch.isNull())
                return;
            if (options_.testFlag(goEditing)) {
                ShowEditor();
                if (editorMode_ && editor_ != nullptr && editor_->isVisible()) {
                    // The typed character replaces the cell's text, through
                    // the editor so that its mask and limit apply.
                    editor_->selectAll();
                    QKeyEvent typed(QEvent::KeyPress, key, event->modifiers(), QString(ch));
                    QCoreApplication::sendEvent(editor_, &typed);
                }
                return;
            }
        }
        event->ignore();
    });
}

void TStringGrid::keyReleaseEvent(QKeyEvent* event)
{
    Application::Guard([&] {
        int key = event->key();
        if (OnKeyUp)
            OnKeyUp(this, key, ShiftStateOf(event->modifiers()));
        if (key != 0)
            event->ignore();
    });
}

bool TStringGrid::focusNextPrevChild(bool next)
{
    bool handled = false;
    Application::Guard([&] {
        if (!options_.testFlag(goTabs))
            return;
        handled = HandleKey(next ? Qt::Key_Tab : Qt::Key_Backtab, Qt::NoModifier);
    });
    return handled || QAbstractScrollArea::focusNextPrevChild(next);
}

void TStringGrid::focusInEvent(QFocusEvent* event)
{
    Application::Guard([&] {
        QAbstractScrollArea::focusInEvent(event);
        InvalidateSelection(selection_);
        InvalidateCell(current_.X, current_.Y);
        GridAccessible::FocusEntered(*this);
        // Coming back from the cell's own editor is not entering the grid,
        // nor is its window becoming active again with the grid as its
        // active control.
        if (std::exchange(focusFromEditor_, false))
            return;
        if (!std::exchange(activeControl_, true))
            FocusEntered();
        if (options_.testFlag(goAlwaysShowEditor) && !editorMode_)
            ShowEditor();
    });
}

void TStringGrid::focusOutEvent(QFocusEvent* event)
{
    Application::Guard([&] {
        QAbstractScrollArea::focusOutEvent(event);
        InvalidateSelection(selection_);
        InvalidateCell(current_.X, current_.Y);
        if (editor_ != nullptr && QApplication::focusWidget() == editor_)
            return;
        // The window going inactive (or a menu opening) leaves the grid its
        // active control.
        if (event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason)
            return;
        FocusLeft();
    });
}

void TStringGrid::FocusLeft()
{
    if (!std::exchange(activeControl_, false))
        return;
    if (OnExit)
        OnExit(this);
}

void TStringGrid::FocusEntered()
{
    if (OnEnter)
        OnEnter(this);
}

bool TStringGrid::AcceptCellMove(int col, int row)
{
    bool canSelect = true;
    if (OnSelectCell)
        OnSelectCell(this, col, row, canSelect);
    return canSelect;
}
