#include "widgets/StrCGrid.h"

#include <QApplication>
#include <QColor>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include "GridPictures.h"
#include "platform/Errors.h"

namespace {

// Opens the protected operations the tests drive directly.
class TestGrid : public TStrColGrid {
public:
    using TStrColGrid::AcceptCellMove;
};

bool IsRed(const QColor& c) { return c.red() > 180 && c.green() < 80 && c.blue() < 80; }

class StrCGridTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallFontSubstitutions();
        grid.SetColCount(4);
        grid.SetRowCount(4);
        grid.SetColor(clWhite);
        grid.SetFixedColor(0xC8C8C8);
        // The current cell (1, 1) would otherwise be drawn highlighted.
        grid.SetFocusDraw(false);
        TFont font = grid.Font();
        font.SetColor(clBlack);
        grid.SetFont(font);
        grid.resize(320, 160);
    }

    QImage Paint() { return GridPicture(grid); }
    static TColor At(const QImage& image, int x, int y) { return PixelAt(image, x, y); }
    static QRect Ink(const QImage& image, const TRect& r, TColor background) { return InkIn(image, r, background); }

    void Focus()
    {
        grid.show();
        grid.activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(&grid));
        grid.setFocus();
        QApplication::processEvents();
        ASSERT_TRUE(grid.hasFocus());
    }

    // Text area of a cell: without the bottom and right pixel rows, where
    // the grid and focus lines go.
    TRect Inner(int col, int row) const { return grid.CellRect(col, row).Inflated(-1, -1); }

    TestGrid grid;
};

TEST_F(StrCGridTest, ItemFromSetCellFontColorTakesOverAlignmentAndColour)
{
    grid.SetAlignment(taRightJustify);
    grid.SetCells(1, 1, QStringLiteral("AB"));
    const TRect cell = grid.CellRect(1, 1);
    QRect ink = Ink(Paint(), Inner(1, 1), clWhite);
    EXPECT_GE(ink.right(), cell.Right - 5);

    grid.SetCellFontColor(1, 1, clRed);
    const QImage image = Paint();
    ink = Ink(image, Inner(1, 1), clWhite);
    EXPECT_LE(ink.left(), cell.Left + 4);
    EXPECT_LE(ink.top(), cell.Top + 5);
    bool red = false;
    for (int y = ink.top(); y <= ink.bottom(); ++y)
        for (int x = ink.left(); x <= ink.right(); ++x)
            red = red || IsRed(image.pixelColor(x, y));
    EXPECT_TRUE(red);

    grid.SetCellAlignment(1, 1, taCenter);
    ink = Ink(Paint(), Inner(1, 1), clWhite);
    EXPECT_NEAR(ink.center().x(), (cell.Left + cell.Right) / 2, 3);
}

TEST_F(StrCGridTest, NewItemKeepsTheCellsLook)
{
    grid.SetCellAlignment(0, 2, taCenter);
    grid.SetCellFontColor(2, 2, clBlue);
    const TSCGCellParam* fixed = grid.FindCellParam(0, 2, false);
    const TSCGCellParam* body = grid.FindCellParam(2, 2, false);
    ASSERT_NE(fixed, nullptr);
    ASSERT_NE(body, nullptr);
    EXPECT_EQ(fixed->CellColor(), 0xC8C8C8u);
    EXPECT_EQ(fixed->FontColor(), clBlack);
    EXPECT_EQ(body->CellColor(), clWhite);
    EXPECT_EQ(body->FontColor(), clBlue);
    EXPECT_TRUE(body->CellColorEnabled() && body->FontColorEnabled());
    EXPECT_EQ(body->Col(), 2);
    EXPECT_EQ(body->Row(), 2);
    EXPECT_EQ(grid.CellParams().Count(), 2);
    grid.SetCellFontColor(2, 2, clRed);
    EXPECT_EQ(grid.CellParams().Count(), 2);
}

TEST_F(StrCGridTest, CellPositionMayReachButNotPassTheCounts)
{
    EXPECT_NO_THROW(grid.CheckCellPosition(grid.ColCount(), 0));
    EXPECT_NO_THROW(grid.CheckCellPosition(0, grid.RowCount()));
    for (const auto& [col, row] :
        { std::pair(grid.ColCount() + 1, 0), std::pair(-1, 0), std::pair(0, -1), std::pair(0, grid.RowCount() + 1) }) {
        try {
            grid.SetCellFontColor(col, row, clRed);
            ADD_FAILURE() << col << "," << row;
        } catch (const ERangeError& e) {
            EXPECT_EQ(e.Message(), QStringLiteral("ｾﾙ位置がｸﾞﾘｯﾄﾞの範囲を超えました。"));
        }
    }
    EXPECT_EQ(grid.CellParams().Count(), 0);
}

struct BandCase {
    int height;
    std::vector<std::pair<int, int>> bands; // top and bottom, from the cell's top
};

class StrCGridBandTest : public StrCGridTest, public ::testing::WithParamInterface<BandCase> { };

TEST_P(StrCGridBandTest, LinesShareTheCellHeightAndTheLastTakesTheRest)
{
    grid.SetRowHeights(1, GetParam().height);
    grid.SetCells(1, 1, QStringLiteral("A\r\nB\nC\r"));
    std::vector<std::pair<int, int>> bands;
    QStringList texts;
    const TRect cell = grid.CellRect(1, 1);
    grid.OnDrawTextOneLine = [&](QObject*, TStrColGrid*, const TRect& r, int col, int row, int, TGridDrawState,
                                 QString& text, TAlignment&, TTextLayout&, bool&) {
        if (col == 1 && row == 1) {
            bands.emplace_back(r.Top - cell.Top, r.Bottom - cell.Top);
            texts << text;
        }
    };
    const QImage image = Paint();
    EXPECT_EQ(bands, GetParam().bands);
    EXPECT_EQ(texts, QStringList({ QStringLiteral("A"), QStringLiteral("B"), QStringLiteral("C") }));
    // Inner lines in silver between the bands, right of the text.
    const int x = cell.Right - 3;
    EXPECT_EQ(At(image, x, cell.Top + 8), clSilver);
    EXPECT_EQ(At(image, x, cell.Top + 16), clSilver);
    EXPECT_EQ(At(image, x, cell.Top + 7), clWhite);
    EXPECT_EQ(At(image, x, cell.Top + 15), clWhite);
}

INSTANTIATE_TEST_SUITE_P(Heights, StrCGridBandTest,
    ::testing::Values(
        BandCase { 24, { { 0, 8 }, { 8, 16 }, { 16, 24 } } }, BandCase { 25, { { 0, 8 }, { 8, 16 }, { 16, 25 } } }),
    [](const ::testing::TestParamInfo<BandCase>& info) { return "Height" + std::to_string(info.param.height); });

TEST_F(StrCGridTest, EmptyTextIsOneEmptyLineWithoutInnerLines)
{
    int lines = 0;
    grid.OnDrawTextOneLine = [&](QObject*, TStrColGrid*, const TRect&, int col, int row, int, TGridDrawState,
                                 QString& text, TAlignment&, TTextLayout&, bool&) {
        if (col == 2 && row == 2) {
            ++lines;
            EXPECT_TRUE(text.isEmpty());
        }
    };
    const QImage image = Paint();
    EXPECT_EQ(lines, 1);
    EXPECT_TRUE(Ink(image, Inner(2, 2), clWhite).isEmpty());
}

TEST_F(StrCGridTest, CaptionOnTopOrBottomHalfOfAnEmptyCell)
{
    grid.SetRowHeights(1, 40);
    grid.SetOptions(grid.Options() & ~TGridOptions(goHorzLine)); // no inner line between the halves
    const TRect cell = grid.CellRect(1, 1);
    const int middle = cell.Top + 20;
    TSCGCellParam* item = grid.FindCellParam(1, 1, true);
    item->SetCaption(QStringLiteral("祝"));
    item->SetCaptionType(ctTop);
    QRect ink = Ink(Paint(), Inner(1, 1), clWhite);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LT(ink.bottom(), middle);
    item->SetCaptionType(ctBottom);
    ink = Ink(Paint(), Inner(1, 1), clWhite);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GE(ink.top(), middle);
}

TEST_F(StrCGridTest, CaptionTypesCombineCaptionAndCellText)
{
    grid.SetCells(1, 1, QStringLiteral("t"));
    TSCGCellParam* item = grid.FindCellParam(1, 1, true);
    item->SetCaption(QStringLiteral("c"));
    QString drawn;
    item->OnOutCellText
        = [&](QObject*, TStrColGrid*, const TRect&, int, int, const QString&, QString& value, bool&) { drawn = value; };
    const std::vector<std::pair<TSCGCellCaptionType, QString>> cases = { { ctCaption, QStringLiteral("c") },
        { ctCellText, QStringLiteral("t") }, { ctHeader, QStringLiteral("ct") }, { ctFooter, QStringLiteral("tc") },
        { ctTop, QStringLiteral("c\rt") }, { ctBottom, QStringLiteral("t\rc") } };
    for (const auto& [type, expected] : cases) {
        item->SetCaptionType(type);
        Paint();
        EXPECT_EQ(drawn, expected) << int(type);
    }
    grid.SetCells(1, 1, QString());
    item->SetCaptionType(ctCellText);
    Paint();
    EXPECT_EQ(drawn, QStringLiteral("c"));
}

TEST_F(StrCGridTest, FontWidthDrawsTheTextThatManyTimes)
{
    grid.SetCells(1, 1, QStringLiteral("I"));
    TSCGCellParam* item = grid.FindCellParam(1, 1, true);
    const QRect once = Ink(Paint(), Inner(1, 1), clWhite);
    item->SetFontWidth(2);
    const QRect twice = Ink(Paint(), Inner(1, 1), clWhite);
    EXPECT_EQ(twice.left(), once.left());
    EXPECT_EQ(twice.width(), once.width() + 1);
    item->SetFontWidth(0);
    EXPECT_TRUE(Ink(Paint(), Inner(1, 1), clWhite).isEmpty());
}

TEST_F(StrCGridTest, OutCellTextCanChangeTextAndKeepOrDropCanvasChanges)
{
    grid.SetCells(1, 1, QStringLiteral("WWW"));
    bool reset = true;
    grid.OnOutCellText
        = [&](QObject*, TStrColGrid* g, const TRect&, int col, int row, const QString&, QString& value, bool& doReset) {
              if (col != 1 || row != 1)
                  return;
              value = QStringLiteral("W");
              g->Canvas().Font().SetColor(clRed);
              doReset = reset;
          };
    const auto hasRed = [&](const QImage& image) {
        const QRect ink = Ink(image, Inner(1, 1), clWhite);
        for (int y = ink.top(); y <= ink.bottom(); ++y)
            for (int x = ink.left(); x <= ink.right(); ++x)
                if (IsRed(image.pixelColor(x, y)))
                    return true;
        return false;
    };
    QImage image = Paint();
    EXPECT_FALSE(hasRed(image));
    const int narrow = Ink(image, Inner(1, 1), clWhite).width();
    reset = false;
    image = Paint();
    EXPECT_TRUE(hasRed(image));
    grid.OnOutCellText = nullptr;
    EXPECT_GT(Ink(Paint(), Inner(1, 1), clWhite).width(), narrow * 2);
}

TEST_F(StrCGridTest, WordWrapWhenNotDividing)
{
    grid.SetRowHeights(1, 60);
    grid.SetCells(1, 1, QStringLiteral("aaaa bbbb cccc dddd"));
    grid.SetCellDivide(false);
    const QRect ink = Ink(Paint(), Inner(1, 1), clWhite);
    EXPECT_GT(ink.height(), 20); // more than one line
    EXPECT_GE(ink.left(), grid.CellRect(1, 1).Left + 2);
}

TEST_F(StrCGridTest, FocusedCurrentCellGetsOnlyTheFrameOtherSelectedCellsAreFilled)
{
    grid.SetFocusDraw(true);
    grid.SetFocusCellColor(clLime);
    grid.SetSelection({ 1, 1, 2, 1 });
    Focus();
    const TRect current = grid.CellRect(1, 1);
    const TRect other = grid.CellRect(2, 1);
    QImage image = Paint();
    EXPECT_EQ(At(image, current.Left + 10, current.Top + 10), clWhite);
    EXPECT_EQ(At(image, current.Left, current.Top), clBlack); // inverted white
    EXPECT_EQ(At(image, current.Left + 1, current.Top), clWhite); // every other pixel
    EXPECT_EQ(At(image, current.Left, current.Top + 2), clBlack);
    EXPECT_EQ(At(image, current.Right - 1, current.Top + 2), clBlack);
    EXPECT_EQ(At(image, other.Left + 10, other.Top + 10), clLime);

    grid.SetOptions(grid.Options() | goDrawFocusSelected);
    image = Paint();
    EXPECT_EQ(At(image, current.Left + 10, current.Top + 10), clLime);
    EXPECT_EQ(At(image, current.Left, current.Top), clFuchsia); // inverted lime

    grid.clearFocus();
    grid.SetOptions(grid.Options() & ~TGridOptions(goDrawFocusSelected));
    ASSERT_FALSE(grid.hasFocus());
    image = Paint();
    EXPECT_EQ(At(image, current.Left + 10, current.Top + 10), clLime);
    EXPECT_EQ(At(image, current.Left, current.Top), clLime); // no frame without focus
    grid.SetFocusDraw(false);
    image = Paint();
    EXPECT_EQ(At(image, current.Left + 10, current.Top + 10), clWhite);
    EXPECT_EQ(At(image, other.Left + 10, other.Top + 10), clWhite);
}

TEST_F(StrCGridTest, RowSelectFrameSpansTheRowAndSparesFixedCells)
{
    grid.SetCtl3D(false);
    grid.SetFocusCellColor(clLime);
    grid.SetOptions(grid.Options() | goRowSelect);
    Focus();
    const QImage image = Paint();
    const TRect first = grid.CellRect(1, 1);
    const TRect middle = grid.CellRect(2, 1);
    const TRect last = grid.CellRect(3, 1);
    const TRect fixed = grid.CellRect(0, 1);
    EXPECT_EQ(At(image, first.Left, first.Top + 2), clFuchsia);
    EXPECT_EQ(At(image, first.Right - 1, first.Top + 2), clLime);
    EXPECT_EQ(At(image, middle.Left, middle.Top), clFuchsia);
    EXPECT_EQ(At(image, middle.Left, middle.Top + 2), clLime);
    EXPECT_EQ(At(image, middle.Right - 1, middle.Top + 2), clLime);
    EXPECT_EQ(At(image, last.Right - 1, last.Top + 2), clFuchsia);
    EXPECT_EQ(At(image, fixed.Left, fixed.Top), 0xC8C8C8u);
    EXPECT_EQ(At(image, fixed.Left, fixed.Top + 2), 0xC8C8C8u);
}

struct InversionCase {
    TColor from;
    TColor to;
};

class StrCGridInversionTest : public StrCGridTest, public ::testing::WithParamInterface<InversionCase> { };

TEST_P(StrCGridInversionTest, FramePixelsStandOutFromTheBackground)
{
    EXPECT_EQ(TStrColGrid::InvertedPixel(GetParam().from), GetParam().to);
    TSCGCellParam* item = grid.FindCellParam(1, 1, true);
    item->SetCellColor(GetParam().from);
    Focus();
    const TRect cell = grid.CellRect(1, 1);
    const QImage image = Paint();
    EXPECT_EQ(At(image, cell.Left, cell.Top), GetParam().to);
    EXPECT_EQ(At(image, cell.Left + 1, cell.Top), GetParam().from);
}

INSTANTIATE_TEST_SUITE_P(Colours, StrCGridInversionTest,
    ::testing::Values(InversionCase { clWhite, clBlack }, InversionCase { 0x808080, clWhite },
        InversionCase { 0xC8C8C8, 0x373737 }, InversionCase { 0x7F7F7F, clWhite },
        InversionCase { 0x0000FF, 0xFFFF00 }),
    [](const ::testing::TestParamInfo<InversionCase>& info) {
        return "From" + QByteArray::number(info.param.from, 16).rightJustified(6, '0').toUpper().toStdString();
    });

TEST_F(StrCGridTest, FixedCellsGetTheRaisedFrame)
{
    const TRect cell = grid.CellRect(0, 0);
    QImage image = Paint();
    EXPECT_EQ(At(image, cell.Left, cell.Top), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(At(image, cell.Right - 1, cell.Bottom - 1), clGray);
    EXPECT_EQ(At(image, cell.Left + 5, cell.Top + 5), 0xC8C8C8u);
    grid.SetCtl3D(false);
    image = Paint();
    EXPECT_EQ(At(image, cell.Left, cell.Top), 0xC8C8C8u);
}

TEST_F(StrCGridTest, HatchBrushIsDrawnOverTheCellColour)
{
    TSCGCellParam* item = grid.FindCellParam(1, 1, true);
    item->SetCellColor(clYellow);
    TBrush brush;
    brush.SetColor(clBlue);
    brush.SetStyle(bsCross);
    item->SetBrush(brush);
    item->SetBrushEnabled(true);
    const QImage image = Paint();
    const TRect cell = Inner(1, 1);
    int blue = 0;
    int yellow = 0;
    for (int y = cell.Top + 2; y < cell.Bottom - 2; ++y)
        for (int x = cell.Left + 30; x < cell.Right - 2; ++x) {
            blue += At(image, x, y) == clBlue;
            yellow += At(image, x, y) == clYellow;
        }
    EXPECT_GT(blue, 10);
    EXPECT_GT(yellow, blue);
    // Nothing outside the cell.
    EXPECT_EQ(At(image, grid.CellRect(2, 1).Left + 3, cell.Top + 3), clWhite);
}

TEST_F(StrCGridTest, MissingFontStopsThePaintWithTheLookupError)
{
    grid.BeginLoad();
    grid.FindCellParam(2, 2, true)->SetFontName(QStringLiteral("消えたフォント"));
    grid.EndLoad();
    try {
        Paint();
        FAIL() << "painted";
    } catch (const EGeneralError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("CellParams で指定されたフォント名が Fonts に登録されていません"));
    }
}

TEST_F(StrCGridTest, ARepaintOfPartOfTheWindowShowsWhatTheWholePictureHas)
{
    Focus();
    grid.SetCells(1, 1, QStringLiteral("全"));
    grid.SetCellFontColor(2, 2, clRed);
    grid.SetSelection({ 1, 1, 2, 2 });
    const QImage whole = Paint();
    // Around the current cell, with its dotted frame, and across its neighbours.
    const QRect part = grid.CellRect(1, 1).toQRect().adjusted(-5, -5, 30, 12);
    QImage shown(grid.viewport()->size(), QImage::Format_RGB32);
    shown.fill(Qt::magenta);
    grid.viewport()->render(&shown, part.topLeft(), QRegion(part));
    for (int y = part.top(); y <= part.bottom(); ++y)
        for (int x = part.left(); x <= part.right(); ++x)
            ASSERT_EQ(At(shown, x, y), At(whole, x, y)) << x << "," << y;
}

TEST_F(StrCGridTest, ChangedItemOrFontRepaintsTheShownGrid)
{
    TSCGCellParam* item = grid.FindCellParam(2, 2, true);
    TSCGCellFont* font = grid.Fonts().Add();
    item->SetFontName(font->Name());
    int paints = 0;
    grid.BeforeDraw = [&](QObject*) { ++paints; };
    grid.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&grid));
    QApplication::processEvents();
    const auto paintsAfter = [&](const std::function<void()>& change) {
        paints = 0;
        change();
        QApplication::processEvents();
        return paints;
    };
    EXPECT_GT(paintsAfter([&] { item->SetCellColor(clRed); }), 0);
    EXPECT_GT(paintsAfter([&] {
        TFont changed = font->Font();
        changed.SetColor(clRed);
        font->SetFont(changed);
    }),
        0);
}

TEST_F(StrCGridTest, BeforeDrawPrecedesTheCells)
{
    QStringList order;
    grid.BeforeDraw = [&](QObject* sender) {
        EXPECT_EQ(sender, &grid);
        order << QStringLiteral("before");
    };
    grid.OnDrawCell = [&](QObject*, int, int, const TRect&, TGridDrawState) {
        if (order.size() == 1)
            order << QStringLiteral("cell");
    };
    Paint();
    EXPECT_EQ(order, QStringList({ QStringLiteral("before"), QStringLiteral("cell") }));
}

class StrCGridMoveTest : public StrCGridTest {
protected:
    void SetUp() override
    {
        StrCGridTest::SetUp();
        grid.BeginLoad();
        grid.EndLoad(); // the last cell is now the current cell (1, 1)
        oldItem = grid.FindCellParam(1, 1, true);
        newItem = grid.FindCellParam(2, 2, true);
        Record(oldItem, QStringLiteral("old"));
        Record(newItem, QStringLiteral("new"));
        grid.OnCellChanged = [this](QObject*, int oc, int orow, int nc, int nr) {
            events << QStringLiteral("CellChanged %1,%2>%3,%4").arg(oc).arg(orow).arg(nc).arg(nr);
        };
        grid.OnColChanged
            = [this](QObject*, int o, int n) { events << QStringLiteral("ColChanged %1>%2").arg(o).arg(n); };
        grid.OnRowChanged
            = [this](QObject*, int o, int n) { events << QStringLiteral("RowChanged %1>%2").arg(o).arg(n); };
    }

    void Record(TSCGCellParam* item, const QString& who)
    {
        item->OnExitCell = [this, who](TSCGCellParam*, TStrColGrid*, int, int, int, int) {
            events << who + QStringLiteral(" ExitCell");
        };
        item->OnExitCol
            = [this, who](TSCGCellParam*, TStrColGrid*, int, int) { events << who + QStringLiteral(" ExitCol"); };
        item->OnExitRow
            = [this, who](TSCGCellParam*, TStrColGrid*, int, int) { events << who + QStringLiteral(" ExitRow"); };
        item->OnEnterCell = [this, who](TSCGCellParam*, TStrColGrid*, int, int, int, int) {
            events << who + QStringLiteral(" EnterCell");
        };
        item->OnEnterCol
            = [this, who](TSCGCellParam*, TStrColGrid*, int, int) { events << who + QStringLiteral(" EnterCol"); };
        item->OnEnterRow
            = [this, who](TSCGCellParam*, TStrColGrid*, int, int) { events << who + QStringLiteral(" EnterRow"); };
    }

    TSCGCellParam* oldItem = nullptr;
    TSCGCellParam* newItem = nullptr;
    QStringList events;
};

TEST_F(StrCGridMoveTest, NineEventsInOrder)
{
    grid.FocusCell(2, 2);
    EXPECT_EQ(events.join(u'|'),
        QStringLiteral("old ExitCell|old ExitCol|old ExitRow|new EnterCell|new EnterCol|new EnterRow|"
                       "CellChanged 1,1>2,2|ColChanged 1>2|RowChanged 1>2"));
    events.clear();
    grid.FocusCell(2, 3);
    EXPECT_EQ(events.join(u'|'), QStringLiteral("new ExitCell|new ExitRow|CellChanged 2,2>2,3|RowChanged 2>3"));
    events.clear();
    EXPECT_TRUE(grid.AcceptCellMove(2, 3));
    EXPECT_TRUE(events.isEmpty());
}

TEST_F(StrCGridMoveTest, RangeItemSeesBothItsExitAndItsEnter)
{
    TSCGCellParam* range = grid.CellParams().Add();
    range->SetColMax(3);
    range->SetRowMax(3);
    range->SetRangeEnabled(true);
    Record(range, QStringLiteral("range"));
    grid.FocusCell(1, 2);
    EXPECT_EQ(events.join(u'|'),
        QStringLiteral(
            "range ExitCell|range ExitRow|range EnterCell|range EnterRow|CellChanged 1,1>1,2|RowChanged 1>2"));
}

TEST_F(StrCGridMoveTest, RaisingHandlerRefusesTheMove)
{
    oldItem->OnExitCell = [this](TSCGCellParam*, TStrColGrid*, int, int, int, int) {
        events << QStringLiteral("old ExitCell");
        throw EGeneralError(QStringLiteral("no"));
    };
    grid.FocusCell(2, 2);
    EXPECT_EQ(events, QStringList({ QStringLiteral("old ExitCell") }));
    EXPECT_EQ(grid.Col(), 1);
    EXPECT_EQ(grid.Row(), 1);
    EXPECT_EQ(grid.Selection(), (TGridRect { 1, 1, 1, 1 }));

    oldItem->OnExitCell = nullptr;
    events.clear();
    grid.FocusCell(2, 2);
    EXPECT_TRUE(events.contains(QStringLiteral("CellChanged 1,1>2,2")));
    EXPECT_EQ(grid.Col(), 2);
}

TEST_F(StrCGridMoveTest, MoveRefusedBySelectCellIsNotReported)
{
    grid.OnSelectCell = [](QObject*, int col, int, bool& canSelect) { canSelect = col != 2; };
    grid.FocusCell(2, 2);
    EXPECT_TRUE(events.isEmpty());
    grid.FocusCell(3, 1);
    EXPECT_TRUE(events.contains(QStringLiteral("CellChanged 1,1>3,1")));
}

TEST_F(StrCGridMoveTest, ItemOptionsRunTheGridWhileItsCellIsCurrent)
{
    newItem->SetOptions(goRowSelect);
    newItem->SetOptionsEnabled(true);
    const TGridOptions own = grid.Options();
    grid.FocusCell(2, 2);
    EXPECT_EQ(grid.TStringGrid::Options(), TGridOptions(goRowSelect));
    EXPECT_EQ(grid.Options(), own);
    grid.FocusCell(3, 3);
    EXPECT_EQ(grid.TStringGrid::Options(), own);
}

TEST_F(StrCGridMoveTest, MovingOntoACellWhoseFontIsGoneNeedsNoFontWithoutAnEditor)
{
    grid.BeginLoad();
    newItem->SetFontName(QStringLiteral("消えたフォント"));
    grid.EndLoad();
    events.clear();
    ASSERT_EQ(grid.InplaceEditor(), nullptr);
    EXPECT_NO_THROW(grid.FocusCell(2, 2));
    EXPECT_EQ(std::make_pair(grid.Col(), grid.Row()), std::make_pair(2, 2));
    EXPECT_TRUE(events.contains(QStringLiteral("new EnterCell")));
}

TEST_F(StrCGridMoveTest, EditorTakesTheCellsFontAndImeMode)
{
    TSCGCellFont* big = grid.Fonts().Add();
    TFont font = big->Font();
    font.SetHeight(-24);
    big->SetFont(font);
    big->SetName(QStringLiteral("Big"));
    newItem->SetFontName(QStringLiteral("Big"));
    newItem->SetImeMode(imDisable);
    newItem->SetImeModeEnabled(true);
    grid.SetOptions(grid.Options() | goEditing);
    grid.FocusCell(2, 2);
    grid.SetEditorMode(true);
    TInplaceEdit* editor = grid.InplaceEditor();
    ASSERT_NE(editor, nullptr);
    EXPECT_EQ(editor->font(), font.toQFont());
    EXPECT_FALSE(editor->testAttribute(Qt::WA_InputMethodEnabled));
    grid.FocusCell(3, 3);
    EXPECT_EQ(editor->font(), grid.Font().toQFont());
    EXPECT_TRUE(editor->testAttribute(Qt::WA_InputMethodEnabled));
}

} // namespace
