#include "platform/StringGrid.h"

#include <limits>

#include <QApplication>
#include <QFocusEvent>
#include <QImage>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTest>

#include <gtest/gtest.h>

#include "ImageDiff.h"
#include "TestSupport.h"
#include "platform/Errors.h"

namespace {

// A grid that counts the cells it is asked to paint and can refuse moves or
// cap the editor's length.
class ProbeGrid : public TStringGrid {
public:
    using TStringGrid::PaintBuffer;
    using TStringGrid::TStringGrid;
    int paintedCells = 0;
    int limit = 0;

protected:
    void PaintCell(int col, int row, const TRect& rect, TGridDrawState state) override
    {
        ++paintedCells;
        TStringGrid::PaintCell(col, row, rect, state);
    }
    int EditorLimitFor(int, int) override { return limit; }
};

} // namespace

class StringGridTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallFontSubstitutions(); }

    void SetUp() override
    {
        grid.resize(400, 300);
        grid.show();
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
        grid.activateWindow();
        grid.setFocus();
        QApplication::processEvents();
    }

    QWidget* View() { return grid.viewport(); }
    QPoint Centre(int col, int row) { return grid.CellRect(col, row).toQRect().center(); }
    void Click(int col, int row, Qt::KeyboardModifiers mods = {})
    {
        QTest::mouseClick(View(), Qt::LeftButton, mods, Centre(col, row));
    }
    // A move with the left button held (QTest's own move carries no button).
    void DragTo(const QPoint& pos)
    {
        QMouseEvent move(
            QEvent::MouseMove, pos, View()->mapToGlobal(pos), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(View(), &move);
    }
    QImage Paint()
    {
        QImage image(grid.viewport()->size(), QImage::Format_RGB32);
        image.fill(Qt::magenta);
        grid.PaintTo(image);
        return image;
    }
    static TColor At(const QImage& image, int x, int y) { return fromQColor(QColor(image.pixel(x, y))); }

    ProbeGrid grid;
};

TEST_F(StringGridTest, CellsFollowTheDefaultSizesAndOnePixelLines)
{
    EXPECT_EQ(grid.CellRect(0, 0), (TRect { 0, 0, 64, 24 }));
    EXPECT_EQ(grid.CellRect(2, 1), (TRect { 130, 25, 194, 49 }));
    grid.SetColWidths(1, 30);
    grid.SetRowHeights(0, 10);
    EXPECT_EQ(grid.CellRect(2, 1), (TRect { 96, 11, 160, 35 }));
    int col = -2;
    int row = -2;
    grid.MouseToCell(96, 11, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(2, 1));
    grid.MouseToCell(95, 10, col, row); // on the grid lines: the cell before
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(1, 0));
    grid.MouseToCell(399, 299, col, row); // beyond the last column and row
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(-1, -1));
    EXPECT_TRUE(grid.CellRect(9, 0).IsEmpty());
}

TEST_F(StringGridTest, CountChangesKeepTheTextsThatRemain)
{
    grid.SetCells(1, 1, QStringLiteral("全"));
    grid.SetCells(4, 4, QStringLiteral("端"));
    grid.SetColCount(3);
    grid.SetRowCount(8);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("全"));
    EXPECT_EQ(grid.Cells(4, 4), QString());
    grid.SetColCount(5);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("全"));
    EXPECT_EQ(grid.Cells(4, 4), QString());
    EXPECT_EQ(grid.Cells(2, 7), QString());
    EXPECT_THROW(grid.SetCells(5, 0, QStringLiteral("x")), ERangeError);
    EXPECT_THROW(grid.SetFixedRows(8), ERangeError);
    grid.SetRowCount(1);
    EXPECT_EQ(grid.RowCount(), 1);
    EXPECT_EQ(grid.FixedRows(), 0);
}

TEST_F(StringGridTest, DefaultDrawingPaintsASpreadsheetGrid)
{
    grid.SetCells(2, 1, QStringLiteral("AM"));
    grid.SetCtl3D(false);
    const QImage image = Paint();
    const TColor face = ColorToRGB(clBtnFace);
    const TColor window = ColorToRGB(clWindow);
    EXPECT_EQ(At(image, 30, 12), face);
    EXPECT_EQ(At(image, 64, 12), clBlack); // line after a fixed cell
    EXPECT_EQ(At(image, 30, 24), clBlack);
    EXPECT_EQ(At(image, 129, 60), clSilver); // between non-fixed cells
    EXPECT_EQ(At(image, 100, 49), clSilver);
    EXPECT_EQ(At(image, 150, 60), window);
    // Right of the last column the window colour, never stale pixels.
    EXPECT_EQ(At(image, 380, 10), window);
    EXPECT_EQ(At(image, 380, 290), window);
    // Text from (left + 2, top + 2): ink in the cell, none left of it.
    bool ink = false;
    for (int y = 27; y < 45; ++y)
        for (int x = 132; x < 160; ++x)
            ink = ink || At(image, x, y) != window;
    EXPECT_TRUE(ink);
    for (int y = 25; y < 49; ++y) {
        EXPECT_EQ(At(image, 130, y), window);
        EXPECT_EQ(At(image, 131, y), window);
    }
    for (int x = 130; x < 194; ++x) {
        EXPECT_EQ(At(image, x, 25), window);
        EXPECT_EQ(At(image, x, 26), window);
    }
}

TEST_F(StringGridTest, Ctl3DRaisesTheFixedCells)
{
    const QImage image = Paint();
    // The raised cells go with lighter grid lines than the flat black ones.
    EXPECT_EQ(At(image, 64, 12), clSilver);
    EXPECT_EQ(At(image, 30, 24), clSilver);
    EXPECT_EQ(At(image, 0, 0), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(image, 63, 10), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(image, 10, 23), ColorToRGB(clBtnShadow));
    EXPECT_EQ(At(image, 10, 10), ColorToRGB(clBtnFace));
}

TEST_F(StringGridTest, TheWindowShowsWhatPaintToDraws)
{
    grid.SetCells(2, 2, QStringLiteral("年度"));
    grid.SetSelection({ 1, 1, 3, 2 });
    const QImage painted = Paint();
    const QImage shown = grid.viewport()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    EXPECT_EQ(shown, painted);
}

TEST_F(StringGridTest, SelectionIsHighlightedExceptTheFocusedCurrentCell)
{
    grid.SetSelection({ 1, 1, 2, 2 });
    ASSERT_TRUE(grid.hasFocus());
    const QImage image = Paint();
    const TColor highlight = ColorToRGB(clHighlight);
    EXPECT_EQ(At(image, 150, 40), highlight); // (2, 1)
    EXPECT_EQ(At(image, 150, 60), highlight); // (2, 2)
    EXPECT_EQ(At(image, 100, 40), ColorToRGB(clWindow)); // current cell (1, 1)
    EXPECT_NE(At(image, 65, 25), ColorToRGB(clWindow)); // its focus rectangle
    grid.SetOptions(grid.Options() | goDrawFocusSelected);
    EXPECT_EQ(At(Paint(), 100, 40), highlight);
}

TEST_F(StringGridTest, OnDrawCellDrawsOverTheCellsOwnDrawing)
{
    ASSERT_TRUE(grid.hasFocus());
    grid.SetCells(0, 0, QStringLiteral("見出し"));
    grid.OnDrawCell = [&](QObject*, int col, int row, const TRect& rect, TGridDrawState) {
        if ((col == 1 && row == 1) || (col == 0 && row == 0)) {
            grid.Canvas().Brush().SetStyle(bsSolid);
            grid.Canvas().Brush().SetColor(clRed);
            grid.Canvas().FillRect(rect);
        }
    };
    const QImage image = Paint();
    // Background, text, raised frame and focus rectangle all came before.
    for (const TRect& cell : { grid.CellRect(1, 1), grid.CellRect(0, 0) })
        for (int y = cell.Top; y < cell.Bottom; ++y)
            for (int x = cell.Left; x < cell.Right; ++x)
                ASSERT_EQ(At(image, x, y), clRed) << x << "," << y;
}

TEST_F(StringGridTest, WithoutDefaultDrawingTheBaseDrawsOnlyGridLines)
{
    grid.SetDefaultDrawing(false);
    grid.SetCells(1, 1, QStringLiteral("AM"));
    TGridDrawState stateOfCurrent;
    grid.OnDrawCell = [&](QObject* sender, int col, int row, const TRect& rect, TGridDrawState state) {
        EXPECT_EQ(sender, &grid);
        EXPECT_EQ(rect, grid.CellRect(col, row));
        if (col == 1 && row == 1)
            stateOfCurrent = state;
    };
    const QImage image = Paint();
    for (int y = 25; y < 49; ++y)
        for (int x = 65; x < 129; ++x)
            ASSERT_EQ(At(image, x, y), TColor(0xFF00FF));
    EXPECT_EQ(At(image, 129, 30), clSilver);
    EXPECT_EQ(stateOfCurrent, gdSelected | gdFocused);
}

TEST_F(StringGridTest, PaintingVisitsOnlyTheVisibleCells)
{
    grid.SetRowCount(1000);
    grid.SetTopRow(500);
    grid.paintedCells = 0;
    Paint();
    // Rows of 25 pixels in a window under 300 high, columns of 65 under 400.
    EXPECT_LE(grid.paintedCells, 13 * 5);
    EXPECT_GT(grid.paintedCells, 0);
}

TEST_F(StringGridTest, ScrollingKeepsFixedRowsAndColumnsInPlace)
{
    grid.SetRowCount(100);
    grid.SetColCount(20);
    grid.SetCells(0, 0, QStringLiteral("見出し"));
    grid.SetCells(0, 50, QStringLiteral("50"));
    grid.SetTopRow(50);
    grid.SetLeftCol(10);
    EXPECT_EQ(grid.TopRow(), 50);
    EXPECT_EQ(grid.LeftCol(), 10);
    EXPECT_EQ(grid.CellRect(0, 0), (TRect { 0, 0, 64, 24 }));
    EXPECT_EQ(grid.CellRect(10, 50), (TRect { 65, 25, 129, 49 }));
    EXPECT_EQ(grid.CellRect(0, 50), (TRect { 0, 25, 64, 49 }));
    EXPECT_TRUE(grid.CellRect(5, 5).IsEmpty());
    EXPECT_TRUE(grid.CellRect(1, 50).IsEmpty());
    int col = 0;
    int row = 0;
    grid.MouseToCell(70, 30, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(10, 50));
    // The fixed cells are painted at their place with their colour.
    const QImage image = Paint();
    EXPECT_EQ(At(image, 60, 10), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(image, 60, 40), ColorToRGB(clBtnFace));
    EXPECT_EQ(At(image, 100, 40), ColorToRGB(clWindow));
    // The bars scroll too, and the last row can come into view but no further.
    grid.SetTopRow(1000);
    EXPECT_LT(grid.TopRow(), 100);
    EXPECT_FALSE(grid.CellRect(10, 99).IsEmpty());
    EXPECT_GT(grid.CellRect(10, 99).Bottom, 250);
}

TEST_F(StringGridTest, HugeColumnWidthsAndRowHeightsAddUpWithoutOverflow)
{
    constexpr int Huge = std::numeric_limits<int>::max();
    for (int i = 1; i < 5; ++i) {
        grid.SetColWidths(i, Huge);
        grid.SetRowHeights(i, Huge);
    }
    const TRect current = grid.CellRect(1, 1);
    EXPECT_EQ(current.Left, 65);
    EXPECT_EQ(current.Top, 25);
    EXPECT_GT(current.Right, grid.viewport()->width());
    EXPECT_GT(current.Bottom, grid.viewport()->height());
    EXPECT_TRUE(grid.CellRect(2, 1).IsEmpty());
    EXPECT_TRUE(grid.CellRect(1, 2).IsEmpty());
    int col = -2;
    int row = -2;
    grid.MouseToCell(300, 200, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(1, 1));
    grid.paintedCells = 0;
    QImage image = Paint();
    EXPECT_EQ(grid.paintedCells, 4);
    EXPECT_EQ(At(image, 300, 200), ColorToRGB(clWindow));

    // Scrolled to the last column and row, which then sit next to the fixed ones.
    grid.SetLeftCol(4);
    grid.SetTopRow(4);
    EXPECT_EQ(std::make_pair(grid.LeftCol(), grid.TopRow()), std::make_pair(4, 4));
    EXPECT_EQ(grid.CellRect(4, 4).Left, 65);
    EXPECT_EQ(grid.CellRect(4, 0).Top, 0);
    grid.MouseToCell(300, 10, col, row);
    EXPECT_EQ(std::make_pair(col, row), std::make_pair(4, 0));
    grid.FocusCell(4, 4);
    grid.paintedCells = 0;
    image = Paint();
    EXPECT_EQ(grid.paintedCells, 4);
    EXPECT_EQ(At(image, 300, 10), ColorToRGB(clBtnFace));
}

// The window as a screen of the given scale shows it: the grid is rendered
// into an image of that device pixel ratio, through its paint buffer.
QImage Shown(QWidget& view, qreal ratio, const QRegion& region = {})
{
    QImage image(view.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    if (region.isEmpty()) {
        view.render(&image);
        return image;
    }
    for (const QRect& part : region)
        view.render(&image, part.topLeft(), QRegion(part));
    return image;
}

TEST_F(StringGridTest, OnAHighDensityScreenTheWindowShowsWhatPaintToDrawsAtFullResolution)
{
    grid.SetCells(2, 2, QStringLiteral("年度"));
    grid.SetCells(1, 0, QStringLiteral("見出し"));
    grid.SetSelection({ 1, 1, 3, 2 });
    for (qreal ratio : { 2.0, 1.5, 1.25 }) {
        QImage painted(grid.viewport()->size() * ratio, QImage::Format_RGB32);
        painted.setDevicePixelRatio(ratio);
        grid.PaintTo(painted);
        EXPECT_EQ(ImageDifference(Shown(*View(), ratio), painted), "") << ratio;
        EXPECT_EQ(grid.PaintBuffer().devicePixelRatio(), ratio);
        // Repainted in odd-sized parts, the parts meet without a seam.
        QRegion tiles;
        for (int y = 0; y < View()->height(); y += 23)
            for (int x = 0; x < View()->width(); x += 37)
                tiles += QRect(x, y, 37, 23);
        EXPECT_EQ(ImageDifference(Shown(*View(), ratio, tiles & View()->rect()), painted), "") << ratio;
    }
    // A grid that sits 1 logical pixel into its window: at 200 % the same
    // picture, 2 device pixels further on.
    QImage offset(View()->size() * 2 + QSize(2, 2), QImage::Format_RGB32);
    offset.setDevicePixelRatio(2);
    offset.fill(Qt::magenta);
    View()->render(&offset, QPoint(1, 1));
    EXPECT_EQ(ImageDifference(offset.copy(2, 2, offset.width() - 2, offset.height() - 2), Shown(*View(), 2)), "");
    // Back on a plain screen the buffer is plain again.
    EXPECT_EQ(ImageDifference(Shown(*View(), 1), Paint()), "");
    EXPECT_EQ(grid.PaintBuffer().devicePixelRatio(), 1);
}

TEST_F(StringGridTest, AtRatioTwoGridLinesAreTwoDevicePixelsAndTextIsFiner)
{
    grid.SetCells(1, 1, QStringLiteral("休日出勤"));
    const QImage one = Paint();
    const QImage two = Shown(*View(), 2);
    // Cell (1, 1) spans x 65 … 128; the line right of it is x 129.
    for (int y : { 30, 40 }) {
        EXPECT_EQ(At(two, 2 * 129, 2 * y), clSilver);
        EXPECT_EQ(At(two, 2 * 129 + 1, 2 * y + 1), clSilver);
        EXPECT_EQ(At(two, 2 * 129 - 1, 2 * y), At(one, 128, y));
        EXPECT_EQ(At(two, 2 * 130, 2 * y), At(one, 130, y));
    }
    const QImage enlarged = one.scaled(one.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    int differ = 0;
    for (int y = 2 * 25; y < 2 * 49; ++y)
        for (int x = 2 * 65; x < 2 * 129; ++x) {
            const TColor c = At(two, x, y);
            differ += c != At(enlarged, x, y) ? 1 : 0;
            EXPECT_TRUE(c == ColorToRGB(clWindowText) || c == ColorToRGB(clWindow)) << x << "," << y;
        }
    EXPECT_GT(differ, 20);
}

TEST(StringGridBufferTest, AHugeGridWindowPaintsThroughABufferOfTheVisiblePart)
{
    InstallFontSubstitutions();
    QWidget window;
    window.resize(300, 200);
    auto* grid = new ProbeGrid(&window);
    grid->setGeometry(0, 0, 100000, 100000);
    grid->SetCells(1, 1, QStringLiteral("見える"));
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    const QImage shown = window.grab().toImage();
    EXPECT_LE(grid->PaintBuffer().width(), 300);
    EXPECT_LE(grid->PaintBuffer().height(), 200);
    const auto at
        = [&](int x, int y) { return fromQColor(shown.pixelColor(grid->viewport()->mapTo(&window, QPoint(x, y)))); };
    EXPECT_EQ(at(30, 10), ColorToRGB(clBtnFace));
    EXPECT_EQ(at(250, 150), ColorToRGB(clWindow));
    EXPECT_EQ(at(129, 30), clSilver);
}

TEST_F(StringGridTest, ScrollBarsShowOnlyWhileCellsLieOutOfView)
{
    const auto bars = [this] {
        QApplication::processEvents();
        return std::make_pair(grid.horizontalScrollBar()->isVisible(), grid.verticalScrollBar()->isVisible());
    };
    EXPECT_EQ(bars(), std::make_pair(false, false));
    grid.SetRowCount(20); // 20 rows of 25 pixels in a 300 pixel high grid
    EXPECT_EQ(bars(), std::make_pair(false, true));
    grid.SetColCount(10);
    EXPECT_EQ(bars(), std::make_pair(true, true));
    grid.resize(700, 550); // now every cell fits
    EXPECT_EQ(bars(), std::make_pair(false, false));
    grid.resize(400, 300);
    EXPECT_EQ(bars(), std::make_pair(true, true));
}

TEST_F(StringGridTest, WithoutThumbTrackingTheViewMovesWhenTheThumbIsReleased)
{
    grid.SetRowCount(1000);
    QScrollBar* bar = grid.verticalScrollBar();
    bar->setSliderDown(true);
    bar->setSliderPosition(300);
    EXPECT_EQ(grid.TopRow(), 1);
    bar->setSliderDown(false);
    EXPECT_EQ(grid.TopRow(), 300);

    grid.SetOptions(grid.Options() | goThumbTracking);
    bar->setSliderDown(true);
    bar->setSliderPosition(100);
    EXPECT_EQ(grid.TopRow(), 100);
    bar->setSliderDown(false);
    EXPECT_EQ(grid.TopRow(), 100);
}

TEST_F(StringGridTest, MovingOutOfViewScrollsTheCurrentCellIn)
{
    grid.SetRowCount(100);
    grid.FocusCell(1, 80);
    EXPECT_FALSE(grid.CellRect(1, 80).IsEmpty());
    EXPECT_LE(grid.CellRect(1, 80).Bottom, grid.viewport()->height());
    grid.FocusCell(1, 3);
    EXPECT_EQ(grid.TopRow(), 3);
}

TEST_F(StringGridTest, ClickingACellMakesItCurrent)
{
    int clicks = 0;
    grid.OnClick = [&](QObject* sender) {
        EXPECT_EQ(sender, &grid);
        ++clicks;
    };
    Click(3, 2);
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.Selection(), (TGridRect { 3, 2, 3, 2 }));
    EXPECT_EQ(clicks, 1);
    Click(0, 3); // a fixed cell does not become current
    EXPECT_EQ(grid.Col(), 3);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(clicks, 1);
    QTest::keyClick(&grid, Qt::Key_Left);
    EXPECT_EQ(clicks, 2);
}

TEST_F(StringGridTest, ShiftClickAndDragExtendTheSelectionFromTheAnchor)
{
    Click(1, 1);
    Click(3, 3, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (TGridRect { 1, 1, 3, 3 }));
    EXPECT_EQ(grid.Col(), 3);

    QTest::mousePress(View(), Qt::LeftButton, {}, Centre(4, 4));
    DragTo(Centre(2, 1));
    QTest::mouseRelease(View(), Qt::LeftButton, {}, Centre(2, 1));
    EXPECT_EQ(grid.Selection(), (TGridRect { 2, 1, 4, 4 }));
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 1);

    grid.SetOptions(grid.Options() & ~TGridOptions(goRangeSelect));
    Click(4, 4, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (TGridRect { 4, 4, 4, 4 }));
}

TEST_F(StringGridTest, RowSelectCoversEveryScrollingColumn)
{
    grid.SetOptions(grid.Options() | goRowSelect);
    Click(2, 3);
    EXPECT_EQ(grid.Selection(), (TGridRect { 1, 3, 4, 3 }));
}

TEST_F(StringGridTest, ShiftArrowsExtendTheSelection)
{
    QTest::keyClick(&grid, Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
    EXPECT_EQ(grid.Selection(), (TGridRect { 1, 1, 2, 2 }));
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(grid.Selection(), (TGridRect { 3, 2, 3, 2 }));
}

TEST_F(StringGridTest, DraggingAColumnBorderInTheHeaderSetsItsWidth)
{
    int resized = -1;
    grid.OnColumnResized = [&](QObject*, int index) { resized = index; };
    grid.SetOptions(grid.Options() | goColSizing);
    // The border of column 1 is at x 128 (64 + 1 + 64 - 1 after the line).
    QTest::mousePress(View(), Qt::LeftButton, {}, QPoint(130, 10));
    DragTo(QPoint(165, 10));
    QTest::mouseRelease(View(), Qt::LeftButton, {}, QPoint(165, 10));
    EXPECT_EQ(grid.ColWidths(1), 100);
    EXPECT_EQ(resized, 1);
    EXPECT_EQ(grid.CellRect(2, 0).Left, 65 + 101);

    // Without the option the same drag selects instead.
    grid.SetOptions(grid.Options() & ~TGridOptions(goColSizing));
    QTest::mousePress(View(), Qt::LeftButton, {}, QPoint(166, 10));
    DragTo(QPoint(200, 10));
    QTest::mouseRelease(View(), Qt::LeftButton, {}, QPoint(200, 10));
    EXPECT_EQ(grid.ColWidths(1), 100);
}

TEST_F(StringGridTest, ARefusedMoveLeavesCellAndSelectionAsTheyWere)
{
    Click(2, 2);
    std::vector<std::pair<int, int>> asked;
    grid.OnSelectCell = [&](QObject*, int col, int row, bool& canSelect) {
        asked.emplace_back(col, row);
        canSelect = false;
    };
    Click(3, 3);
    QTest::keyClick(&grid, Qt::Key_Down);
    QTest::keyClick(&grid, Qt::Key_Right, Qt::ShiftModifier);
    grid.SetCol(4);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_EQ(grid.Selection(), (TGridRect { 2, 2, 2, 2 }));
    EXPECT_EQ(asked, (std::vector<std::pair<int, int>> { { 3, 3 }, { 2, 3 }, { 3, 2 }, { 4, 2 } }));
    EXPECT_THROW(grid.SetCol(0), ERangeError);
}

TEST_F(StringGridTest, DoubleClickAndMouseMoveRaiseTheirEvents)
{
    int doubleClicks = 0;
    QPoint moved;
    grid.OnDblClick = [&](QObject*) { ++doubleClicks; };
    grid.OnMouseMove = [&](QObject*, TShiftState, int x, int y) { moved = QPoint(x, y); };
    QTest::mouseDClick(View(), Qt::LeftButton, {}, Centre(2, 2));
    QTest::mouseMove(View(), QPoint(77, 33));
    EXPECT_EQ(doubleClicks, 1);
    EXPECT_EQ(grid.Col(), 2);
    EXPECT_EQ(moved, QPoint(77, 33));
}

TEST_F(StringGridTest, EnterOpensTheEditorAndCommitsAndEscapeCancels)
{
    grid.SetOptions(grid.Options() | goEditing);
    grid.SetCells(1, 1, QStringLiteral("old"));
    QString reported;
    grid.OnSetEditText = [&](QObject*, int, int, const QString& value) { reported = value; };
    QTest::keyClick(&grid, Qt::Key_Return);
    ASSERT_NE(grid.InplaceEditor(), nullptr);
    EXPECT_TRUE(grid.InplaceEditor()->isVisible());
    EXPECT_EQ(grid.InplaceEditor()->geometry(), grid.CellRect(1, 1).toQRect());
    EXPECT_EQ(grid.InplaceEditor()->text(), QStringLiteral("old"));
    QTest::keyClicks(grid.InplaceEditor(), QStringLiteral("new"));
    QTest::keyClick(grid.InplaceEditor(), Qt::Key_Return);
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("new"));
    EXPECT_EQ(reported, QStringLiteral("new"));
    EXPECT_TRUE(grid.hasFocus());

    QTest::keyClick(&grid, Qt::Key_F2);
    QTest::keyClicks(grid.InplaceEditor(), QStringLiteral("zzz"));
    QTest::keyClick(grid.InplaceEditor(), Qt::Key_Escape);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("new"));
    EXPECT_FALSE(grid.InplaceEditor()->isVisible());
}

TEST_F(StringGridTest, TypingStartsEditingWithTheCharacterAndLeavingCommits)
{
    grid.SetOptions(grid.Options() | goEditing);
    grid.SetCells(1, 1, QStringLiteral("old"));
    QTest::keyClicks(&grid, QStringLiteral("a"));
    ASSERT_TRUE(grid.EditorMode());
    QTest::keyClicks(grid.InplaceEditor(), QStringLiteral("b"));
    QTest::keyClick(grid.InplaceEditor(), Qt::Key_Down);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("ab"));
    EXPECT_EQ(grid.Row(), 2);
    EXPECT_FALSE(grid.EditorMode());
}

TEST_F(StringGridTest, TheEditorHonoursMaskAndLimit)
{
    grid.SetOptions(grid.Options() | goEditing);
    grid.OnGetEditMask = [](QObject*, int col, int, QString& mask) {
        if (col == 1)
            mask = QStringLiteral("99;_");
    };
    QTest::keyClick(&grid, Qt::Key_F2);
    QTest::keyClicks(grid.InplaceEditor(), QStringLiteral("1x23"));
    QTest::keyClick(grid.InplaceEditor(), Qt::Key_Return);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("12"));

    grid.limit = 3;
    grid.SetCol(2);
    QTest::keyClick(&grid, Qt::Key_F2);
    QTest::keyClicks(grid.InplaceEditor(), QStringLiteral("abcdef"));
    QTest::keyClick(grid.InplaceEditor(), Qt::Key_Return);
    EXPECT_EQ(grid.Cells(2, 1), QStringLiteral("abc"));
}

TEST_F(StringGridTest, AlwaysShowEditorFollowsTheCurrentCell)
{
    grid.SetOptions(grid.Options() | goEditing | goAlwaysShowEditor);
    EXPECT_TRUE(grid.EditorMode());
    QTest::keyClicks(grid.InplaceEditor(), QStringLiteral("a"));
    QTest::keyClick(grid.InplaceEditor(), Qt::Key_Down);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("a"));
    EXPECT_TRUE(grid.EditorMode());
    EXPECT_EQ(grid.InplaceEditor()->geometry(), grid.CellRect(1, 2).toQRect());
}

TEST_F(StringGridTest, WithoutEditingOptionKeysDoNotOpenTheEditor)
{
    QTest::keyClick(&grid, Qt::Key_Return);
    QTest::keyClicks(&grid, QStringLiteral("a"));
    EXPECT_FALSE(grid.EditorMode());
    EXPECT_EQ(grid.Cells(1, 1), QString());
}

TEST_F(StringGridTest, KeyDownHandlerCanSwallowTheKey)
{
    grid.OnKeyDown = [](QObject*, int& key, TShiftState) {
        if (key == Qt::Key_Down)
            key = 0;
    };
    QTest::keyClick(&grid, Qt::Key_Down);
    EXPECT_EQ(grid.Row(), 1);
    QTest::keyClick(&grid, Qt::Key_Right);
    EXPECT_EQ(grid.Col(), 2);
}

TEST_F(StringGridTest, TabMovesBetweenCellsOnlyWithTheTabsOption)
{
    grid.SetOptions(grid.Options() | goTabs);
    grid.FocusCell(4, 1);
    QTest::keyClick(&grid, Qt::Key_Tab);
    EXPECT_EQ(std::make_pair(grid.Col(), grid.Row()), std::make_pair(1, 2));
    QTest::keyClick(&grid, Qt::Key_Backtab);
    EXPECT_EQ(std::make_pair(grid.Col(), grid.Row()), std::make_pair(4, 1));
}

TEST_F(StringGridTest, AnExceptionInAHandlerGoesToTheErrorBox)
{
    ScriptedDialogs dialogs;
    grid.OnDblClick = [](QObject*) { throw EGeneralError(QStringLiteral("だめ")); };
    QTest::mouseDClick(View(), Qt::LeftButton, {}, Centre(1, 1));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages.front().text, QStringLiteral("だめ"));
    EXPECT_EQ(dialogs.messages.front().icon, MsgIcon::Error);
}

TEST_F(StringGridTest, AFailingPaintFinishesItsFrameAndIsReportedOnceAfterwards)
{
    ScriptedDialogs dialogs;
    int failures = 0;
    const auto failOn22 = [&](QObject*, int col, int row, const TRect&, TGridDrawState) {
        if (col == 2 && row == 2) {
            ++failures;
            throw EGeneralError(QStringLiteral("描けません"));
        }
    };
    grid.OnDrawCell = failOn22;
    grid.viewport()->repaint();
    ASSERT_EQ(failures, 1);
    // No box inside the paint; the same cause on every repaint is one box.
    EXPECT_TRUE(dialogs.messages.empty());
    for (int i = 0; i < 3; ++i)
        grid.viewport()->repaint();
    EXPECT_EQ(failures, 4);
    EXPECT_TRUE(dialogs.messages.empty());
    QApplication::processEvents();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages.front().text, QStringLiteral("描けません"));
    EXPECT_EQ(dialogs.messages.front().icon, MsgIcon::Error);
    grid.viewport()->repaint();
    QApplication::processEvents();
    EXPECT_EQ(dialogs.messages.size(), 1u);
    // What was painted before the failure reached the window.
    const QImage shown = grid.viewport()->grab().toImage();
    EXPECT_EQ(fromQColor(shown.pixelColor(30, 10)), ColorToRGB(clBtnFace));

    // Once the grid paints whole again, a new failure is news again.
    grid.OnDrawCell = nullptr;
    grid.viewport()->repaint();
    grid.OnDrawCell = failOn22;
    grid.viewport()->repaint();
    QApplication::processEvents();
    EXPECT_EQ(dialogs.messages.size(), 2u);
}

TEST_F(StringGridTest, ReactivatingTheWindowIsNeitherLeavingNorEnteringTheGrid)
{
    ASSERT_TRUE(grid.hasFocus());
    int enters = 0;
    int exits = 0;
    grid.OnEnter = [&](QObject*) { ++enters; };
    grid.OnExit = [&](QObject*) { ++exits; };
    const auto focus = [&](QEvent::Type type, Qt::FocusReason reason) {
        QFocusEvent event(type, reason);
        QApplication::sendEvent(&grid, &event);
    };
    focus(QEvent::FocusOut, Qt::ActiveWindowFocusReason);
    focus(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    EXPECT_EQ(std::make_pair(enters, exits), std::make_pair(0, 0));
    focus(QEvent::FocusOut, Qt::TabFocusReason);
    EXPECT_EQ(std::make_pair(enters, exits), std::make_pair(0, 1));
    focus(QEvent::FocusIn, Qt::ActiveWindowFocusReason);
    EXPECT_EQ(std::make_pair(enters, exits), std::make_pair(1, 1));
}

TEST(StringGridLifetimeTest, DestroyingTheGridWhileItsEditorHasTheFocusCommitsNothing)
{
    // A grid that is its own window closes as it is destroyed, and its
    // window going inactive takes the focus from the editor.
    auto* grid = new TStringGrid;
    grid->resize(400, 300);
    grid->SetOptions(grid->Options() | goEditing);
    int raised = 0;
    grid->OnSetEditText = [&](QObject*, int, int, const QString&) { ++raised; };
    grid->OnExit = [&](QObject*) { ++raised; };
    grid->show();
    grid->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(grid));
    grid->setFocus();
    grid->SetEditorMode(true);
    ASSERT_NE(grid->InplaceEditor(), nullptr);
    ASSERT_TRUE(grid->InplaceEditor()->hasFocus());
    grid->InplaceEditor()->setText(QStringLiteral("書きかけ"));
    delete grid;
    QApplication::processEvents();
    EXPECT_EQ(raised, 0);
}

TEST_F(StringGridTest, LoadingEndsWithAfterFormLoad)
{
    EXPECT_FALSE(grid.Loading());
    grid.BeginLoad();
    EXPECT_TRUE(grid.Loading());
    grid.EndLoad();
    EXPECT_FALSE(grid.Loading());
}

// ---- keyboard navigation without a window

struct NavigationCase {
    const char* name;
    TGridCoord from;
    int key;
    Qt::KeyboardModifiers modifiers;
    TGridCoord to;
};

class NavigateKeyTest : public ::testing::TestWithParam<NavigationCase> { };

// 6 columns and 20 rows with one fixed of each; 5 rows to a page.
TEST_P(NavigateKeyTest, MovesTheCurrentCell)
{
    const NavigationCase& c = GetParam();
    const TGridNavigation grid { 6, 20, 1, 1, 5, true };
    EXPECT_EQ(NavigateKey(c.from, c.key, c.modifiers, grid), c.to);
}

INSTANTIATE_TEST_SUITE_P(Keys, NavigateKeyTest,
    ::testing::Values(NavigationCase { "Down", { 2, 2 }, Qt::Key_Down, {}, { 2, 3 } },
        NavigationCase { "UpStopsAtTheFixedRow", { 2, 1 }, Qt::Key_Up, {}, { 2, 1 } },
        NavigationCase { "LeftStopsAtTheFixedColumn", { 1, 4 }, Qt::Key_Left, {}, { 1, 4 } },
        NavigationCase { "RightStopsAtTheLastColumn", { 5, 4 }, Qt::Key_Right, {}, { 5, 4 } },
        NavigationCase { "DownStopsAtTheLastRow", { 3, 19 }, Qt::Key_Down, {}, { 3, 19 } },
        NavigationCase { "PageDown", { 2, 2 }, Qt::Key_PageDown, {}, { 2, 7 } },
        NavigationCase { "PageDownStopsAtTheEnd", { 2, 17 }, Qt::Key_PageDown, {}, { 2, 19 } },
        NavigationCase { "PageUpStopsAtTheTop", { 2, 4 }, Qt::Key_PageUp, {}, { 2, 1 } },
        NavigationCase { "Home", { 4, 6 }, Qt::Key_Home, {}, { 1, 6 } },
        NavigationCase { "End", { 2, 6 }, Qt::Key_End, {}, { 5, 6 } },
        NavigationCase { "CtrlHome", { 4, 6 }, Qt::Key_Home, Qt::ControlModifier, { 1, 1 } },
        NavigationCase { "CtrlEnd", { 2, 6 }, Qt::Key_End, Qt::ControlModifier, { 5, 19 } },
        NavigationCase { "TabNext", { 2, 6 }, Qt::Key_Tab, {}, { 3, 6 } },
        NavigationCase { "TabWrapsToTheNextRow", { 5, 6 }, Qt::Key_Tab, {}, { 1, 7 } },
        NavigationCase { "TabStopsAtTheLastCell", { 5, 19 }, Qt::Key_Tab, {}, { 5, 19 } },
        NavigationCase { "BacktabWrapsBack", { 1, 7 }, Qt::Key_Backtab, {}, { 5, 6 } },
        NavigationCase { "ShiftTabIsBacktab", { 3, 7 }, Qt::Key_Tab, Qt::ShiftModifier, { 2, 7 } },
        NavigationCase { "OtherKeysStay", { 3, 7 }, Qt::Key_A, {}, { 3, 7 } }),
    [](const ::testing::TestParamInfo<NavigationCase>& info) { return std::string(info.param.name); });

TEST(NavigateKeyWithoutTabs, TabDoesNotMove)
{
    const TGridNavigation grid { 6, 20, 1, 1, 5, false };
    EXPECT_EQ(NavigateKey({ 2, 2 }, Qt::Key_Tab, {}, grid), (TGridCoord { 2, 2 }));
}
