#include "platform/GridAccessible.h"

#include <algorithm>
#include <climits>
#include <utility>

#include <QAccessible>
#include <QAccessibleWidget>
#include <QHash>
#include <QPointer>
#include <QStringList>

#include "platform/StringGrid.h"

namespace {

bool IsFixed(const TStringGrid& grid, int col, int row) { return col < grid.FixedCols() || row < grid.FixedRows(); }

bool HasFocus(const TStringGrid& grid) { return grid.hasFocus(); }

// One cell of a grid. It holds only its position: everything else is read
// from the grid when asked, so the cell stays right whatever the grid does.
class CellAccessible final : public QAccessibleInterface, public QAccessibleTableCellInterface {
public:
    CellAccessible(TStringGrid* grid, int col, int row)
        : grid_(grid)
        , col_(col)
        , row_(row)
    {
    }

    const TStringGrid* Grid() const { return grid_; }
    int Col() const { return col_; }
    int Row() const { return row_; }

    bool isValid() const override { return grid_ && col_ < grid_->ColCount() && row_ < grid_->RowCount(); }
    QObject* object() const override { return nullptr; }
    QWindow* window() const override
    {
        QAccessibleInterface* table = parent();
        return table ? table->window() : nullptr;
    }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
    QAccessibleInterface* parent() const override
    {
        return grid_ ? QAccessible::queryAccessibleInterface(grid_) : nullptr;
    }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int childCount() const override { return 0; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }

    QString text(QAccessible::Text t) const override
    {
        if (!isValid())
            return {};
        if (t == QAccessible::Name)
            return grid_->Cells(col_, row_);
        if (t == QAccessible::Description && grid_->AccessibleCellDescription) {
            // Asked from outside the program: whatever goes wrong while the
            // description is made leaves it empty.
            try {
                return grid_->AccessibleCellDescription(col_, row_);
            } catch (...) {
                return {};
            }
        }
        return {};
    }
    void setText(QAccessible::Text, const QString&) override { }

    QRect rect() const override
    {
        if (!isValid())
            return {};
        const TRect r = grid_->CellRect(col_, row_);
        if (r.IsEmpty())
            return {};
        return QRect(grid_->viewport()->mapToGlobal(QPoint(r.Left, r.Top)), QSize(r.Width(), r.Height()));
    }

    QAccessible::Role role() const override
    {
        if (!isValid())
            return QAccessible::Cell;
        if (row_ < grid_->FixedRows())
            return QAccessible::ColumnHeader;
        if (col_ < grid_->FixedCols())
            return QAccessible::RowHeader;
        return QAccessible::Cell;
    }

    QAccessible::State state() const override
    {
        QAccessible::State s;
        if (!isValid()) {
            s.invalid = true;
            return s;
        }
        if (grid_->CellRect(col_, row_).IsEmpty()) {
            s.invisible = true;
            s.offscreen = true;
        }
        s.readOnly = !grid_->TStringGrid::Options().testFlag(goEditing);
        if (IsFixed(*grid_, col_, row_))
            return s;
        s.selectable = true;
        s.focusable = true;
        s.selected = isSelected();
        s.focused = HasFocus(*grid_) && grid_->Col() == col_ && grid_->Row() == row_;
        return s;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        // Only the cells of the table's body are its cells; the fixed ones
        // are its headers.
        if (type == QAccessible::TableCellInterface && isValid() && !IsFixed(*grid_, col_, row_))
            return static_cast<QAccessibleTableCellInterface*>(this);
        return nullptr;
    }

    bool isSelected() const override
    {
        return isValid() && !IsFixed(*grid_, col_, row_) && grid_->Selection().Contains(col_, row_);
    }
    QList<QAccessibleInterface*> columnHeaderCells() const override;
    QList<QAccessibleInterface*> rowHeaderCells() const override;
    QList<QAccessibleInterface*> HeaderCells(bool above) const;
    int columnIndex() const override { return grid_ ? col_ - grid_->FixedCols() : -1; }
    int rowIndex() const override { return grid_ ? row_ - grid_->FixedRows() : -1; }
    int columnExtent() const override { return 1; }
    int rowExtent() const override { return 1; }
    QAccessibleInterface* table() const override { return parent(); }

private:
    QPointer<TStringGrid> grid_;
    int col_;
    int row_;
};

// The grid as a table. Its cells are made when first asked for and live as
// long as the grid's own interface, or until the grid's layout changes.
class GridTableAccessible final : public QAccessibleWidget, public QAccessibleTableInterface {
public:
    explicit GridTableAccessible(TStringGrid* grid)
        : QAccessibleWidget(grid, QAccessible::Table)
    {
    }
    ~GridTableAccessible() override { DropCells(); }

    TStringGrid* Grid() const { return static_cast<TStringGrid*>(widget()); }

    QAccessibleInterface* Cell(int col, int row) const
    {
        TStringGrid* grid = Grid();
        if (!grid || col < 0 || row < 0 || col >= grid->ColCount() || row >= grid->RowCount())
            return nullptr;
        const quint64 key = (quint64(quint32(row)) << 32) | quint32(col);
        if (const auto found = cells_.constFind(key); found != cells_.cend()) {
            if (QAccessibleInterface* cell = QAccessible::accessibleInterface(*found))
                return cell;
        }
        auto* cell = new CellAccessible(grid, col, row);
        cells_.insert(key, QAccessible::registerAccessibleInterface(cell));
        return cell;
    }

    void* interface_cast(QAccessible::InterfaceType type) override
    {
        if (type == QAccessible::TableInterface)
            return static_cast<QAccessibleTableInterface*>(this);
        return QAccessibleWidget::interface_cast(type);
    }

    QAccessible::State state() const override
    {
        QAccessible::State s = QAccessibleWidget::state();
        if (const TStringGrid* grid = Grid(); grid && grid->TStringGrid::Options().testFlag(goRangeSelect))
            s.extSelectable = true;
        return s;
    }

    int childCount() const override
    {
        const TStringGrid* grid = Grid();
        return grid ? int(std::min<qint64>(qint64(grid->ColCount()) * grid->RowCount(), INT_MAX)) : 0;
    }
    QAccessibleInterface* child(int index) const override
    {
        const TStringGrid* grid = Grid();
        if (!grid || index < 0 || index >= childCount())
            return nullptr;
        return Cell(index % grid->ColCount(), index / grid->ColCount());
    }
    int indexOfChild(const QAccessibleInterface* child) const override
    {
        const auto* cell = dynamic_cast<const CellAccessible*>(child);
        if (!cell || !Grid() || cell->Grid() != Grid())
            return -1;
        return GridAccessible::ChildIndex(*Grid(), cell->Col(), cell->Row());
    }
    QAccessibleInterface* childAt(int x, int y) const override
    {
        const TStringGrid* grid = Grid();
        if (!grid)
            return nullptr;
        const QPoint local = grid->viewport()->mapFromGlobal(QPoint(x, y));
        if (!grid->viewport()->rect().contains(local))
            return nullptr;
        int col = -1;
        int row = -1;
        grid->MouseToCell(local.x(), local.y(), col, row);
        return Cell(col, row);
    }
    QAccessibleInterface* focusChild() const override
    {
        const TStringGrid* grid = Grid();
        if (!grid)
            return nullptr;
        // While a cell is edited its editor has the focus.
        if (TInplaceEdit* editor = grid->InplaceEditor(); editor && editor->hasFocus())
            return QAccessible::queryAccessibleInterface(editor);
        return HasFocus(*grid) ? Cell(grid->Col(), grid->Row()) : nullptr;
    }

    // ---- the table: rows and columns of the body, headers from the fixed cells
    QAccessibleInterface* caption() const override { return nullptr; }
    QAccessibleInterface* summary() const override { return nullptr; }
    int columnCount() const override { return Grid() ? Grid()->ColCount() - Grid()->FixedCols() : 0; }
    int rowCount() const override { return Grid() ? Grid()->RowCount() - Grid()->FixedRows() : 0; }
    QAccessibleInterface* cellAt(int row, int column) const override
    {
        if (row < 0 || column < 0 || row >= rowCount() || column >= columnCount())
            return nullptr;
        return Cell(column + Grid()->FixedCols(), row + Grid()->FixedRows());
    }
    QString columnDescription(int column) const override
    {
        if (column < 0 || column >= columnCount())
            return {};
        QStringList texts;
        for (int row = 0; row < Grid()->FixedRows(); ++row)
            texts << Grid()->Cells(column + Grid()->FixedCols(), row);
        return texts.join(u' ');
    }
    QString rowDescription(int row) const override
    {
        if (row < 0 || row >= rowCount())
            return {};
        QStringList texts;
        for (int col = 0; col < Grid()->FixedCols(); ++col)
            texts << Grid()->Cells(col, row + Grid()->FixedRows());
        return texts.join(u' ');
    }

    int selectedCellCount() const override
    {
        const TGridRect s = Body();
        return int(std::min<qint64>(qint64(s.Right - s.Left + 1) * (s.Bottom - s.Top + 1), INT_MAX));
    }
    QList<QAccessibleInterface*> selectedCells() const override
    {
        QList<QAccessibleInterface*> cells;
        if (!Grid())
            return cells;
        const TGridRect s = Grid()->Selection();
        for (int row = s.Top; row <= s.Bottom; ++row)
            for (int col = s.Left; col <= s.Right; ++col)
                if (QAccessibleInterface* cell = Cell(col, row))
                    cells << cell;
        return cells;
    }
    // A column is selected when the selection runs down all of it, a row
    // when it runs across all of it.
    int selectedColumnCount() const override { return int(selectedColumns().size()); }
    int selectedRowCount() const override { return int(selectedRows().size()); }
    QList<int> selectedColumns() const override
    {
        QList<int> columns;
        const TGridRect s = Body();
        if (Grid() && s.Top == 0 && s.Bottom == rowCount() - 1)
            for (int column = s.Left; column <= s.Right; ++column)
                columns << column;
        return columns;
    }
    QList<int> selectedRows() const override
    {
        QList<int> rows;
        const TGridRect s = Body();
        if (Grid() && s.Left == 0 && s.Right == columnCount() - 1)
            for (int row = s.Top; row <= s.Bottom; ++row)
                rows << row;
        return rows;
    }
    bool isColumnSelected(int column) const override { return selectedColumns().contains(column); }
    bool isRowSelected(int row) const override { return selectedRows().contains(row); }
    // The selection is the grid's to make, by its keys and mouse.
    bool selectRow(int) override { return false; }
    bool selectColumn(int) override { return false; }
    bool unselectRow(int) override { return false; }
    bool unselectColumn(int) override { return false; }

    void modelChange(QAccessibleTableModelChangeEvent*) override { DropCells(); }

private:
    // The selection in table coordinates (the body's rows and columns).
    TGridRect Body() const
    {
        const TStringGrid* grid = Grid();
        if (!grid)
            return { 0, 0, -1, -1 };
        const TGridRect s = grid->Selection();
        return { s.Left - grid->FixedCols(), s.Top - grid->FixedRows(), s.Right - grid->FixedCols(),
            s.Bottom - grid->FixedRows() };
    }

    void DropCells()
    {
        for (const QAccessible::Id id : std::as_const(cells_))
            QAccessible::deleteAccessibleInterface(id);
        cells_.clear();
    }

    mutable QHash<quint64, QAccessible::Id> cells_;
};

// The fixed cells above the cell (column headers) or left of it (row headers).
QList<QAccessibleInterface*> CellAccessible::HeaderCells(bool above) const
{
    QList<QAccessibleInterface*> headers;
    if (!isValid())
        return headers;
    QAccessibleInterface* table = parent();
    auto* grid = table ? static_cast<GridTableAccessible*>(table->tableInterface()) : nullptr;
    if (!grid)
        return headers;
    const int count = above ? grid_->FixedRows() : grid_->FixedCols();
    for (int i = 0; i < count; ++i)
        headers << (above ? grid->Cell(col_, i) : grid->Cell(i, row_));
    return headers;
}

QList<QAccessibleInterface*> CellAccessible::columnHeaderCells() const { return HeaderCells(true); }

QList<QAccessibleInterface*> CellAccessible::rowHeaderCells() const { return HeaderCells(false); }

QAccessibleInterface* Factory(const QString&, QObject* object)
{
    if (auto* grid = qobject_cast<TStringGrid*>(object))
        return new GridTableAccessible(grid);
    return nullptr;
}

void Raise(TStringGrid& grid, QAccessible::Event type, int child)
{
    QAccessibleEvent event(&grid, type);
    event.setChild(child);
    QAccessible::updateAccessibility(&event);
}

} // namespace

namespace GridAccessible {

void Install()
{
    static bool installed = false;
    if (std::exchange(installed, true))
        return;
    QAccessible::installFactory(&Factory);
}

int ChildIndex(const TStringGrid& grid, int col, int row)
{
    if (col < 0 || row < 0 || col >= grid.ColCount() || row >= grid.RowCount())
        return -1;
    const qint64 index = qint64(row) * grid.ColCount() + col;
    return index <= INT_MAX ? int(index) : -1;
}

void CellChanged(TStringGrid& grid, int col, int row)
{
    if (!QAccessible::isActive())
        return;
    const int child = ChildIndex(grid, col, row);
    if (child < 0)
        return;
    // The text is both the cell's name and its value.
    Raise(grid, QAccessible::NameChanged, child);
    QAccessibleValueChangeEvent value(&grid, grid.Cells(col, row));
    value.setChild(child);
    QAccessible::updateAccessibility(&value);
}

void CurrentCellChanged(TStringGrid& grid)
{
    if (!QAccessible::isActive())
        return;
    FocusEntered(grid);
    const TGridRect s = grid.Selection();
    if (s.Left == s.Right && s.Top == s.Bottom) {
        Raise(grid, QAccessible::Selection, ChildIndex(grid, s.Left, s.Top));
    } else {
        QAccessibleEvent within(&grid, QAccessible::SelectionWithin);
        QAccessible::updateAccessibility(&within);
    }
}

void FocusEntered(TStringGrid& grid)
{
    if (!QAccessible::isActive() || !HasFocus(grid))
        return;
    Raise(grid, QAccessible::Focus, ChildIndex(grid, grid.Col(), grid.Row()));
}

void LayoutChanged(TStringGrid& grid)
{
    if (!QAccessible::isActive())
        return;
    QAccessibleTableModelChangeEvent reset(&grid, QAccessibleTableModelChangeEvent::ModelReset);
    QAccessible::updateAccessibility(&reset);
}

} // namespace GridAccessible
