#include "widgets/GridPrn.h"

#include <initializer_list>
#include <memory>

#include <QFile>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "platform/Printer.h"
#include "platform/StringGrid.h"
#include "widgets/CmbGrid.h"

namespace {

QString Run(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

int PdfPages(const QString& path)
{
    const QRegularExpression pages(QStringLiteral("^Pages:\\s*(\\d+)"), QRegularExpression::MultilineOption);
    return pages.match(Run(QStringLiteral("pdfinfo"), { path })).captured(1).toInt();
}

QString PdfPageText(const QString& path, int page)
{
    const QString n = QString::number(page);
    return Run(
        QStringLiteral("pdftotext"), { QStringLiteral("-f"), n, QStringLiteral("-l"), n, path, QStringLiteral("-") });
}

// A grid printer whose columns take the alignment a test gives them.
class AlignedPrinter : public TGridPrinter {
public:
    std::uint8_t align = 0x11;
    int margin = 2;

protected:
    void GetColAlignment(int, std::uint8_t& a, int& m) const override
    {
        a = align;
        m = margin;
    }
};

bool Ink(const QImage& image, int x, int y) { return image.pixel(x, y) != qRgb(255, 255, 255); }

// The y of every inked pixel in column x.
std::vector<int> InkDown(const QImage& image, int x)
{
    std::vector<int> ys;
    for (int y = 0; y < image.height(); ++y)
        if (Ink(image, x, y))
            ys.push_back(y);
    return ys;
}

// The bounding box of the inked pixels of r.
QRect InkBox(const QImage& image, const QRect& r)
{
    QRect box;
    for (int y = r.top(); y <= r.bottom(); ++y)
        for (int x = r.left(); x <= r.right(); ++x)
            if (Ink(image, x, y))
                box |= QRect(x, y, 1, 1);
    return box;
}

// A table of two columns (50 and 70 wide), a fixed heading row and rows
// "行1", "行2", ... in the first column; rows 24 high from y 80, x 60.
class GridPrnTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InstallFontSubstitutions();
        SetRows(20);
        TFont font = grid.Font();
        font.SetColor(clBlack);
        grid.SetFont(font);
        printer.SetGrid(&grid);
        printer.SetTopMargin(80);
        printer.SetLeftMargin(60);
        device.SetOutputFileName(pdf);
        printer.SetPrinter(&device);
    }

    void SetRows(int dataRows)
    {
        grid.SetColCount(2);
        grid.SetRowCount(dataRows + 1);
        grid.SetFixedRows(1);
        grid.SetFixedCols(0);
        grid.SetColWidths(0, 50);
        grid.SetColWidths(1, 70);
        grid.SetCells(0, 0, QStringLiteral("番号"));
        grid.SetCells(1, 0, QStringLiteral("名前"));
        for (int r = 1; r <= dataRows; ++r)
            grid.SetCells(0, r, QStringLiteral("行%1").arg(r));
    }

    QTemporaryDir dir;
    QString pdf = dir.filePath(QStringLiteral("grid.pdf"));
    TPrinter device;
    TStringGrid grid;
    AlignedPrinter printer;
    QImage image { 400, 300, QImage::Format_RGB32 };
};

QStringList Lines(std::initializer_list<const char*> lines)
{
    QStringList list;
    for (const char* line : lines)
        list << QString::fromUtf8(line);
    return list;
}

template <class Action> QString ErrorOf(Action action)
{
    try {
        action();
    } catch (const Exception& e) {
        return e.Message();
    }
    return {};
}

TEST_F(GridPrnTest, SettingsAtCreation)
{
    TGridPrinter fresh;
    EXPECT_EQ(fresh.Grid(), nullptr);
    for (int v : { fresh.TopMargin(), fresh.LeftMargin(), fresh.BottomMargin(), fresh.RightMargin(),
             fresh.HeaderMargin(), fresh.FooterMargin(), fresh.LineHeight() })
        EXPECT_EQ(v, 0);
    EXPECT_TRUE(fresh.HKeisen() && fresh.VKeisen() && fresh.FixedLineDraw());
    EXPECT_EQ(fresh.LineWidthX1(), 2);
    EXPECT_EQ(fresh.LineWidthX2(), 2);
    EXPECT_EQ(fresh.LineWidthX3(), 1);
    EXPECT_EQ(fresh.LineWidthY1(), 2);
    EXPECT_EQ(fresh.LineWidthY2(), 2);
    EXPECT_EQ(fresh.LineWidthY3(), 1);
    EXPECT_FALSE(fresh.Active());
    EXPECT_EQ(fresh.ToDeviceX(10), -1);
    EXPECT_EQ(fresh.ToDeviceY(10), -1);
    fresh.PrintText(0, 0, QStringLiteral("外")); // outside a run: nothing
    const TColumnLayout plain = fresh.ColumnLayout(0);
    EXPECT_EQ(plain.Align, 0x11);
    EXPECT_EQ(plain.Margin, 2);
}

TEST_F(GridPrnTest, BindingAGrid)
{
    const QString noGrid = QStringLiteral("印刷対象グリッドが指定されていません");
    TGridPrinter fresh;
    EXPECT_EQ(ErrorOf([&] { fresh.Print(); }), noGrid);
    EXPECT_EQ(ErrorOf([&] { fresh.DrawPage(image, true); }), noGrid);
    EXPECT_FALSE(QFile::exists(pdf));

    auto other = std::make_unique<TStringGrid>();
    other->SetDefaultRowHeight(30);
    fresh.SetGrid(other.get());
    EXPECT_EQ(fresh.LineHeight(), 30); // taken while it was 0
    fresh.SetGrid(&grid);
    EXPECT_EQ(fresh.LineHeight(), 30); // kept once set

    QObject notAGrid;
    for (QObject* bad : { static_cast<QObject*>(nullptr), &notAGrid })
        EXPECT_EQ(ErrorOf([&] { fresh.SetGrid(bad); }), QStringLiteral("TStringGridだけ指定できます"));
    EXPECT_EQ(fresh.Grid(), &grid);

    fresh.SetGrid(other.get());
    other.reset();
    EXPECT_EQ(fresh.Grid(), nullptr);
    EXPECT_EQ(ErrorOf([&] { fresh.DrawPage(image, true); }), noGrid);
}

TEST_F(GridPrnTest, PdfRepeatsTheFixedRowOnEveryPage)
{
    SetRows(100);
    int scaled = 0;
    printer.OnKeisen = [&](QObject*) { scaled = printer.ToDeviceX(96); };
    const int pages = printer.Print();
    EXPECT_FALSE(printer.Active());
    EXPECT_FALSE(device.Printing());
    // Drawn in the printer's dots: 96 screen units are one inch.
    EXPECT_EQ(scaled, device.PixelsPerInchX());

    ASSERT_GE(pages, 2);
    EXPECT_EQ(PdfPages(pdf), pages);
    int next = 1;
    for (int p = 1; p <= pages; ++p) {
        const QString text = PdfPageText(pdf, p);
        EXPECT_TRUE(text.contains(QStringLiteral("番号")) && text.contains(QStringLiteral("名前"))) << p;
        const QRegularExpression row(QStringLiteral("行(\\d+)"));
        for (auto it = row.globalMatch(text); it.hasNext();)
            EXPECT_EQ(it.next().captured(1).toInt(), next++) << "page " << p;
    }
    EXPECT_EQ(next, 101);
}

TEST_F(GridPrnTest, DrawPageLaysRowsOutPageByPageAndRaisesTheEventsInOrder)
{
    printer.SetHeaderMargin(40);
    printer.SetFooterMargin(20);
    printer.SetRightMargin(10);
    QStringList log;
    const auto page = [&](const char* name) {
        return [&log, name](QObject*, int& p, int w, int y) {
            log << QStringLiteral("%1 %2 %3 %4").arg(QString::fromLatin1(name)).arg(p).arg(w).arg(y);
        };
    };
    printer.OnReportStart = page("start");
    printer.OnHeader = page("head");
    printer.OnFooter = page("foot");
    printer.OnReportEnd = page("end");
    printer.OnKeisen = [&](QObject*) { log << QStringLiteral("rules"); };
    printer.OnPrintCell = [&](QObject*, TRect& r, int c, int row, const QString&) {
        if (c == 0)
            log << QStringLiteral("row %1 at %2-%3").arg(row).arg(r.Top).arg(r.Bottom);
    };

    // A page 296 high takes row 0 at 80 and the data rows from 104 whose
    // bottom is at most 296: eight of them, the last one ending on the edge.
    // Width = 400 - 60 - 10.
    image = QImage(400, 296, QImage::Format_RGB32);
    EXPECT_EQ(printer.DrawPage(image, false), 1);
    // Rows 0 and 1 lie under 2-unit rules, the others under 1-unit ones.
    QStringList first = Lines({ "start 1 330 0", "head 1 330 40", "row 0 at 80-102", "row 1 at 104-126" });
    for (int k = 1; k < 8; ++k)
        first << QStringLiteral("row %1 at %2-%3").arg(k + 1).arg(104 + 24 * k).arg(127 + 24 * k);
    first << Lines({ "foot 1 330 276", "rules" });
    EXPECT_EQ(log, first);

    log.clear();
    EXPECT_EQ(printer.DrawPage(image, false), 2);
    EXPECT_EQ(log.mid(0, 3), Lines({ "head 2 330 40", "row 0 at 80-102", "row 9 at 104-127" }));
    log.clear();
    EXPECT_EQ(printer.DrawPage(image, false), 3);
    EXPECT_EQ(log.mid(log.size() - 5),
        Lines({ "row 19 at 152-175", "row 20 at 176-199", "foot 3 330 276", "end 3 330 200", "rules" }));
    EXPECT_EQ(printer.DrawPage(image, false), -1);
    EXPECT_EQ(printer.DrawPage(image, false), -1);
    log.clear();
    EXPECT_EQ(printer.DrawPage(image, true), 1);
    EXPECT_EQ(log.first(), QStringLiteral("start 1 330 0"));
}

TEST_F(GridPrnTest, RulesMarginsAndCellTextOnAnImage)
{
    SetRows(3);
    ASSERT_EQ(printer.DrawPage(image, true), 1);
    // Down the empty part of the second column: top border and the rule under
    // the fixed row 2 wide, the rules between data rows 1 wide, the bottom
    // border 2 wide.
    EXPECT_EQ(InkDown(image, 175), (std::vector<int> { 79, 80, 103, 104, 128, 152, 175, 176 }));
    // Across a data row: left border 2 wide at x 60, the column rule at
    // 60 + 51, the right border at 60 + 51 + 71.
    std::vector<int> across;
    for (int x = 0; x < image.width(); ++x)
        if (Ink(image, x, 140) && (x < 64 || x > 100))
            across.push_back(x);
    EXPECT_EQ(across, (std::vector<int> { 59, 60, 111, 181, 182 }));
    // Nothing in the margins.
    EXPECT_TRUE(InkBox(image, QRect(0, 0, 400, 78)).isEmpty());
    EXPECT_TRUE(InkBox(image, QRect(0, 0, 58, 300)).isEmpty());
    // "行2": left-aligned 2 + 2 units in, vertically centred in its row.
    const QRect text = InkBox(image, QRect(62, 130, 48, 21));
    ASSERT_FALSE(text.isEmpty());
    EXPECT_GE(text.left(), 64);
    EXPECT_LE(text.left(), 66);
    EXPECT_LE(std::abs((text.top() - 130) - (151 - text.bottom())), 3);
}

TEST_F(GridPrnTest, CellTextAlignment)
{
    SetRows(1);
    grid.SetCells(0, 1, QStringLiteral("I"));
    printer.SetVKeisen(false);
    printer.SetHKeisen(false);
    const QRect cell(61, 105, 50, 23); // data row 1, column 0
    const auto box = [&](std::uint8_t align) {
        printer.align = align;
        printer.DrawPage(image, true);
        return InkBox(image, cell);
    };
    const QRect left = box(0x11);
    const QRect centre = box(0x12);
    const QRect right = box(0x14);
    const QRect rightOverCentre = box(0x16);
    const QRect top = box(0x09);
    const QRect bottom = box(0x21);
    const QRect bottomOverTop = box(0x29);
    // The cell is (60, 104)-(108, 126) after the rules above and left of it.
    EXPECT_NEAR(left.left(), 64, 2);
    EXPECT_NEAR(centre.center().x(), 60 + (48 - 2) / 2 + 2, 2);
    EXPECT_NEAR(right.right(), 108 - 2, 2);
    EXPECT_EQ(rightOverCentre, right);
    EXPECT_LT(top.top(), left.top());
    EXPECT_NEAR(top.top(), 104 + 2, 3);
    EXPECT_GT(bottom.top(), left.top());
    EXPECT_NEAR(bottom.bottom(), 126 - 2, 4);
    EXPECT_EQ(bottomOverTop, bottom);
}

TEST_F(GridPrnTest, CellTextIsCutAt254ShiftJisBytes)
{
    SetRows(1);
    grid.SetColWidths(1, 2400);
    printer.SetVKeisen(false);
    QImage wide(2600, 200, QImage::Format_RGB32);
    const auto inkOf = [&](const QString& text) {
        grid.SetCells(1, 1, text);
        printer.DrawPage(wide, true);
        return InkBox(wide, QRect(112, 105, 2400, 20));
    };
    const QString a(u'A');
    const QString kana(u'あ');
    EXPECT_EQ(inkOf(a.repeated(300)), inkOf(a.repeated(254)));
    EXPECT_NE(inkOf(a.repeated(254)), inkOf(a.repeated(253)));
    EXPECT_EQ(inkOf(kana.repeated(200)), inkOf(kana.repeated(127)));
    EXPECT_EQ(inkOf(a + kana.repeated(200)), inkOf(a + kana.repeated(126)));
}

TEST_F(GridPrnTest, FixedLineDrawOffLeavesOutOnlyTheRuleBetweenFixedRows)
{
    SetRows(3);
    grid.SetFixedRows(2);
    printer.SetFixedLineDraw(false);
    printer.DrawPage(image, true);
    EXPECT_EQ(InkDown(image, 175), (std::vector<int> { 79, 80, 127, 128, 152, 175, 176 }));
}

TEST_F(GridPrnTest, TextEmptiedByOnGetPrintTextStaysBlankOnEveryPage)
{
    printer.OnGetPrintText = [](QObject*, int c, int r, QString& text) {
        if (c == 0 && r == 0)
            text.clear();
    };
    for (bool restart : { true, false }) {
        printer.DrawPage(image, restart);
        EXPECT_TRUE(InkBox(image, QRect(63, 83, 46, 18)).isEmpty());
        EXPECT_FALSE(InkBox(image, QRect(114, 83, 60, 18)).isEmpty()); // "名前" stays
    }
}

TEST_F(GridPrnTest, PageThatHoldsNoRowEndsTheRunWithAnError)
{
    const QString tooSmall = QStringLiteral("ページに行が1行も入りません。上下の余白か行の高さを小さくして下さい。");
    printer.SetTopMargin(290);
    EXPECT_EQ(ErrorOf([&] { printer.DrawPage(image, true); }), tooSmall);
    EXPECT_FALSE(printer.Active());
    printer.SetTopMargin(80);
    EXPECT_EQ(printer.DrawPage(image, false), 1); // starts over after the failed page

    printer.SetTopMargin(100000);
    EXPECT_EQ(ErrorOf([&] { printer.DrawPage(image, false); }), tooSmall);
    EXPECT_EQ(ErrorOf([&] { printer.Print(); }), tooSmall);
    EXPECT_FALSE(printer.Active());
    EXPECT_FALSE(device.Printing());
    EXPECT_FALSE(QFile::exists(pdf));

    printer.SetTopMargin(80);
    EXPECT_EQ(printer.Print(), 1);
    EXPECT_EQ(PdfPages(pdf), 1);
}

TEST_F(GridPrnTest, RunInProgressRefusesASecondRunAndANewGrid)
{
    TStringGrid other;
    QStringList errors;
    printer.OnHeader = [&](QObject*, int&, int, int) {
        errors << ErrorOf([&] { printer.SetGrid(&other); }) << ErrorOf([&] { printer.Print(); })
               << ErrorOf([&] { printer.DrawPage(image, true); });
    };
    EXPECT_EQ(printer.Print(), 1);
    EXPECT_EQ(errors, QStringList(3, QStringLiteral("印刷中です。")));
    EXPECT_EQ(printer.Grid(), &grid);
    EXPECT_EQ(PdfPages(pdf), 1);
}

TEST_F(GridPrnTest, CallbackErrorDropsTheJobAndLeavesThePrinterReady)
{
    printer.OnGetPrintText = [](QObject*, int, int r, QString&) {
        if (r == 5)
            throw EGeneralError(QStringLiteral("中断"));
    };
    EXPECT_EQ(ErrorOf([&] { printer.Print(); }), QStringLiteral("中断"));
    EXPECT_FALSE(printer.Active());
    EXPECT_FALSE(device.Printing());
    EXPECT_FALSE(QFile::exists(pdf));
    printer.OnGetPrintText = nullptr;
    EXPECT_EQ(printer.Print(), 1);
}

} // namespace

TEST_F(GridPrnTest, AComboGridPlacesEachColumnAsItsKindSays)
{
    TComboGrid combo;
    combo.SetColCount(3);
    combo.SetRowCount(3);
    combo.SetFixedCols(1);
    combo.SetFixedRows(1);
    combo.ColumnKind(1).SetFixedAlign(CellAlign(caCenter | caVCenter));
    combo.ColumnKind(1).SetAlign(CellAlign(caRight | caVCenter));
    combo.ColumnKind(1).SetMargin(5);
    combo.ColumnKind(0).SetFixedAlign(CellAlign(caRight | caTop));
    combo.ColumnKind(0).SetAlign(CellAlign(caCenter | caBottom));

    TGridPrinter comboPrinter;
    comboPrinter.SetGrid(&combo);
    // Column 1: right-aligned at its margin in the data rows.
    EXPECT_EQ(comboPrinter.ColumnLayout(1).Align, 0x14);
    EXPECT_EQ(comboPrinter.ColumnLayout(1).Margin, 5);
    // Column 0 is a fixed column: its fixed alignment everywhere.
    EXPECT_EQ(comboPrinter.ColumnLayout(0).Align, 0x0C);
    // A column without a kind: the defaults.
    EXPECT_EQ(comboPrinter.ColumnLayout(2).Align, 0x11);
    EXPECT_EQ(comboPrinter.ColumnLayout(2).Margin, 2);

    // While the fixed rows print, every column takes its fixed alignment:
    // the heading of column 1 is centred, its figure right-aligned.
    combo.SetColWidths(0, 40);
    combo.SetColWidths(1, 80);
    combo.SetCells(1, 0, QStringLiteral("I"));
    combo.SetCells(1, 1, QStringLiteral("I"));
    TFont font = combo.Font();
    font.SetColor(clBlack);
    combo.SetFont(font);
    comboPrinter.SetTopMargin(80);
    comboPrinter.SetLeftMargin(60);
    comboPrinter.SetHKeisen(false);
    comboPrinter.SetVKeisen(false);
    const int rowHeight = comboPrinter.LineHeight();
    ASSERT_EQ(comboPrinter.DrawPage(image, true), 1);
    const QRect heading = InkBox(image, QRect(101, 80, 80, rowHeight));
    const QRect figure = InkBox(image, QRect(101, 80 + rowHeight, 80, rowHeight));
    ASSERT_FALSE(heading.isEmpty());
    ASSERT_FALSE(figure.isEmpty());
    EXPECT_NEAR(heading.center().x(), 101 + 40, 3);
    EXPECT_NEAR(figure.right(), 101 + 80 - 1 - 5, 4);
    EXPECT_GT(figure.left(), heading.right() + 20);
}
