#include "platform/GridAccessible.h"

#include <stdexcept>

#include <QAccessible>
#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include "AccessibilityRecorder.h"
#include "TestSupport.h"
#include "platform/StringGrid.h"

using namespace Qt::StringLiterals;

// A grid of 4 columns and 5 rows, one fixed of each: a table of 3 × 4 body
// cells, headed "A" "B" "C" across and "1" to "4" down; body cell (c, r)
// reads "c,r" in grid coordinates.
class GridAccessibleTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallFontSubstitutions(); }

    void SetUp() override
    {
        grid.SetColCount(4);
        grid.SetRowCount(5);
        for (int col = 1; col < 4; ++col)
            grid.SetCells(col, 0, QString(QChar(u'A' + col - 1)));
        for (int row = 1; row < 5; ++row) {
            grid.SetCells(0, row, QString::number(row));
            for (int col = 1; col < 4; ++col)
                grid.SetCells(col, row, QStringLiteral("%1,%2").arg(col).arg(row));
        }
        grid.resize(400, 300);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    }

    void Focus()
    {
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
        QApplication::processEvents();
    }

    QAccessibleInterface* Table() { return QAccessible::queryAccessibleInterface(&grid); }
    static QString Name(QAccessibleInterface* iface) { return iface ? iface->text(QAccessible::Name) : u"(none)"_s; }
    static QStringList Names(const QList<QAccessibleInterface*>& ifaces)
    {
        QStringList names;
        for (QAccessibleInterface* iface : ifaces)
            names << Name(iface);
        return names;
    }

    TStringGrid grid;
};

TEST_F(GridAccessibleTest, TheBodyIsATableHeadedByTheFixedCells)
{
    QAccessibleInterface* table = Table();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->role(), QAccessible::Table);
    QAccessibleTableInterface* cells = table->tableInterface();
    ASSERT_NE(cells, nullptr);
    EXPECT_EQ(cells->rowCount(), 4);
    EXPECT_EQ(cells->columnCount(), 3);

    QAccessibleInterface* first = cells->cellAt(0, 0);
    EXPECT_EQ(Name(first), u"1,1"_s);
    EXPECT_EQ(first->role(), QAccessible::Cell);
    EXPECT_EQ(first->parent(), table);
    QAccessibleTableCellInterface* place = first->tableCellInterface();
    ASSERT_NE(place, nullptr);
    EXPECT_EQ(place->rowIndex(), 0);
    EXPECT_EQ(place->columnIndex(), 0);
    EXPECT_EQ(place->table(), table);

    QAccessibleInterface* last = cells->cellAt(3, 2);
    EXPECT_EQ(Name(last), u"3,4"_s);
    EXPECT_EQ(Names(last->tableCellInterface()->columnHeaderCells()), QStringList { u"C"_s });
    EXPECT_EQ(Names(last->tableCellInterface()->rowHeaderCells()), QStringList { u"4"_s });
    EXPECT_EQ(cells->columnDescription(1), u"B"_s);
    EXPECT_EQ(cells->rowDescription(2), u"3"_s);
    // The same cell is the same interface each time it is asked for.
    EXPECT_EQ(cells->cellAt(3, 2), last);

    EXPECT_EQ(cells->cellAt(4, 0), nullptr);
    EXPECT_EQ(cells->cellAt(0, 3), nullptr);
    EXPECT_EQ(cells->cellAt(-1, 0), nullptr);
}

TEST_F(GridAccessibleTest, EveryCellIsAChildRowByRowHeadersIncluded)
{
    QAccessibleInterface* table = Table();
    EXPECT_EQ(table->childCount(), 20);
    EXPECT_EQ(Name(table->child(2)), u"B"_s);
    EXPECT_EQ(table->child(2)->role(), QAccessible::ColumnHeader);
    EXPECT_EQ(table->child(2)->tableCellInterface(), nullptr); // a header, not a cell of the table
    EXPECT_EQ(table->child(8)->role(), QAccessible::RowHeader);
    EXPECT_EQ(Name(table->child(8)), u"2"_s);
    EXPECT_EQ(Name(table->child(9)), u"1,2"_s);
    EXPECT_EQ(table->child(20), nullptr);
    QAccessibleInterface* cell = table->tableInterface()->cellAt(2, 1);
    EXPECT_EQ(table->indexOfChild(cell), GridAccessible::ChildIndex(grid, 2, 3));
    EXPECT_EQ(table->child(table->indexOfChild(cell)), cell);
}

TEST_F(GridAccessibleTest, ACellLiesWhereTheGridDrawsIt)
{
    grid.SetRowCount(40);
    QAccessibleTableInterface* cells = Table()->tableInterface();
    QAccessibleInterface* cell = cells->cellAt(1, 1); // grid cell (2, 2)
    const QRect drawn = grid.CellRect(2, 2).toQRect();
    EXPECT_EQ(cell->rect(), QRect(grid.viewport()->mapToGlobal(drawn.topLeft()), drawn.size()));
    const QPoint centre = cell->rect().center();
    EXPECT_EQ(Table()->childAt(centre.x(), centre.y()), cell);
    EXPECT_FALSE(cell->state().invisible);

    QAccessibleInterface* below = cells->cellAt(38, 0); // far below the window
    EXPECT_TRUE(below->state().invisible);
    EXPECT_TRUE(below->rect().isEmpty());
}

TEST_F(GridAccessibleTest, TheCurrentCellHasTheFocusAndTheSelectionIsSelected)
{
    Focus();
    AccessibilityRecorder recorder;
    QTest::keyClick(&grid, Qt::Key_Right);
    QTest::keyClick(&grid, Qt::Key_Down);
    ASSERT_EQ(grid.Col(), 2);
    ASSERT_EQ(grid.Row(), 2);

    const auto focus = recorder.Of(QAccessible::Focus, &grid);
    ASSERT_EQ(focus.size(), 2u);
    EXPECT_EQ(focus[1].child, GridAccessible::ChildIndex(grid, 2, 2));
    EXPECT_EQ(focus[1].name, u"2,2"_s);
    const auto selection = recorder.Of(QAccessible::Selection, &grid);
    ASSERT_EQ(selection.size(), 2u);
    EXPECT_EQ(selection[1].child, GridAccessible::ChildIndex(grid, 2, 2));

    QAccessibleInterface* current = Table()->focusChild();
    EXPECT_EQ(Name(current), u"2,2"_s);
    EXPECT_TRUE(current->state().focused);
    EXPECT_TRUE(current->state().selected);
    EXPECT_FALSE(Table()->tableInterface()->cellAt(0, 0)->state().focused);
    EXPECT_EQ(Names(Table()->tableInterface()->selectedCells()), QStringList { u"2,2"_s });

    // A key that finds no cell to move to has nothing to report.
    QTest::keyClick(&grid, Qt::Key_Up);
    QTest::keyClick(&grid, Qt::Key_Up);
    EXPECT_EQ(recorder.Of(QAccessible::Focus, &grid).size(), 3u);
    EXPECT_EQ(recorder.Of(QAccessible::Selection, &grid).size(), 3u);
}

TEST_F(GridAccessibleTest, ARangeSelectionIsReportedWithinTheTable)
{
    Focus();
    AccessibilityRecorder recorder;
    QTest::keyClick(&grid, Qt::Key_End, Qt::ShiftModifier); // (1, 1) to (3, 1): the whole first row
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    EXPECT_EQ(recorder.Of(QAccessible::SelectionWithin, &grid).size(), 2u);
    QAccessibleTableInterface* cells = Table()->tableInterface();
    EXPECT_EQ(cells->selectedCellCount(), 6);
    EXPECT_EQ(
        Names(cells->selectedCells()), (QStringList { u"1,1"_s, u"2,1"_s, u"3,1"_s, u"1,2"_s, u"2,2"_s, u"3,2"_s }));
    EXPECT_EQ(cells->selectedRows(), (QList<int> { 0, 1 }));
    EXPECT_TRUE(cells->isRowSelected(1));
    EXPECT_FALSE(cells->isRowSelected(2));
    EXPECT_TRUE(cells->selectedColumns().isEmpty());
    EXPECT_TRUE(cells->cellAt(1, 2)->tableCellInterface()->isSelected());
    EXPECT_FALSE(cells->cellAt(2, 2)->tableCellInterface()->isSelected());
}

TEST_F(GridAccessibleTest, AChangedCellReportsItsNewTextOnce)
{
    AccessibilityRecorder recorder;
    grid.SetCells(2, 3, u"全"_s);
    grid.SetCells(2, 3, u"全"_s); // unchanged: nothing to report
    const auto names = recorder.Of(QAccessible::NameChanged, &grid);
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0].child, GridAccessible::ChildIndex(grid, 2, 3));
    EXPECT_EQ(names[0].name, u"全"_s);
    const auto values = recorder.Of(QAccessible::ValueChanged, &grid);
    ASSERT_EQ(values.size(), 1u);
    EXPECT_EQ(values[0].child, names[0].child);
    EXPECT_EQ(values[0].value.toString(), u"全"_s);
}

TEST_F(GridAccessibleTest, ANewLayoutRebuildsTheTable)
{
    QAccessibleInterface* gone = Table()->tableInterface()->cellAt(0, 2);
    ASSERT_TRUE(gone->isValid());
    AccessibilityRecorder recorder;
    grid.SetColCount(3);
    EXPECT_EQ(recorder.Of(QAccessible::TableModelChanged, &grid).size(), 1u);
    EXPECT_EQ(Table()->tableInterface()->columnCount(), 2);
    EXPECT_EQ(Table()->childCount(), 15);
    EXPECT_EQ(Name(Table()->child(4)), u"1,1"_s);
    grid.SetFixedRows(2);
    EXPECT_EQ(Table()->tableInterface()->rowCount(), 3);
    EXPECT_EQ(Names(Table()->tableInterface()->cellAt(0, 0)->tableCellInterface()->columnHeaderCells()),
        (QStringList { u"A"_s, u"1,1"_s }));
}

TEST_F(GridAccessibleTest, TheGridDescribesItsCells)
{
    QAccessibleInterface* cell = Table()->tableInterface()->cellAt(1, 0);
    EXPECT_EQ(cell->text(QAccessible::Description), QString());
    grid.AccessibleCellDescription
        = [](int col, int row) { return QStringLiteral("day %1 of month %2").arg(col).arg(row); };
    EXPECT_EQ(cell->text(QAccessible::Description), u"day 1 of month 2"_s);
    grid.AccessibleCellDescription = [](int, int) -> QString { throw std::runtime_error("no date"); };
    EXPECT_EQ(cell->text(QAccessible::Description), QString());
}
