#include "reports/PrintPreview.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "reports/PdfFiles.h"
#include "views/ViewsTestSupport.h"
#include "core/LeaveStore.h"
#include "platform/Printer.h"
#include "reports/priansf.h"

namespace {

bool Ink(const QImage& image, int x, int y) { return image.pixel(x, y) != qRgb(255, 255, 255); }

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

class PrintPreviewTest : public ::testing::Test {
protected:
    void SetUp() override { device.SetOutputFileName(pdf); }

    void Start(int calendar)
    {
        program = std::make_unique<ProgramWindows>(data, "[Start]\r\nShow=" + QByteArray::number(calendar) + "\r\n");
        priansform->SetPrinter(&device);
        program->Main().Print1->trigger();
    }

    TPrintPreview& OpenPreview()
    {
        priansform->Button4->click();
        EXPECT_NE(priansform->Preview(), nullptr);
        return *priansform->Preview();
    }

    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2024, 4, 10) };
    QTemporaryDir out;
    QString pdf = out.filePath(QStringLiteral("calendar.pdf"));
    TPrinter device;
    std::unique_ptr<ProgramWindows> program;
};

TEST_F(PrintPreviewTest, ShowsAsManyPagesAsThePrintAndSteps)
{
    const QDate first(2024, 4, 1);
    for (int i = 0; i < 90; ++i)
        LeaveStore::SaveEntry(first.addDays(i).year(), first.addDays(i).month(), first.addDays(i).day(), 2, QString());
    Start(2);
    TPrintPreview& preview = OpenPreview();
    EXPECT_TRUE(preview.isVisible());
    EXPECT_EQ(preview.windowTitle(), QStringLiteral("印刷プレビュー－休日カレンダー（2024年度）"));
    const int pages = preview.PageCount();
    EXPECT_GE(pages, 3);
    EXPECT_EQ(preview.CurrentPage(), 1);
    EXPECT_FALSE(preview.PreviousButton->isEnabled());
    EXPECT_TRUE(preview.NextButton->isEnabled());
    const QImage page1 = preview.PageImage();
    EXPECT_LT(page1.width(), page1.height());

    preview.NextButton->click();
    EXPECT_EQ(preview.CurrentPage(), 2);
    EXPECT_EQ(preview.PageLabel->text(), QStringLiteral("2 / %1 ページ").arg(pages));
    EXPECT_NE(preview.PageImage(), page1);
    preview.ShowPage(99);
    EXPECT_EQ(preview.CurrentPage(), pages);
    EXPECT_FALSE(preview.NextButton->isEnabled());
    preview.ShowPage(1);
    EXPECT_EQ(preview.PageImage(), page1);

    // The preview's print button prints the same pages and closes both windows.
    preview.PrintButton->click();
    EXPECT_EQ(PdfFiles::Pages(pdf), pages);
    EXPECT_FALSE(preview.isVisible());
    EXPECT_FALSE(priansform->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(PrintPreviewTest, MonthPageShowsTheIndentedHeadingAndCentredCells)
{
    Start(1);
    const QImage& page = OpenPreview().PageImage();
    // Heading line at y 40: it starts behind its spaces, not at the left edge.
    const QRect heading = InkBox(page, QRect(0, 40, page.width(), 16));
    ASSERT_FALSE(heading.isEmpty());
    EXPECT_GT(heading.left(), 30);
    // Table from (60, 80): the day "1" of row 1 centred in its 50-wide column.
    const QRect one = InkBox(page, QRect(64, 106, 42, 18));
    ASSERT_FALSE(one.isEmpty());
    EXPECT_NEAR(one.center().x(), 60 + 25, 3);
    EXPECT_NEAR(one.center().y(), 104 + 12, 3);
    // The rules: the table's left border and the rule under the heading row.
    EXPECT_TRUE(Ink(page, 60, 90));
    EXPECT_TRUE(Ink(page, 200, 104));
}

TEST_F(PrintPreviewTest, FiscalYearPageIsLandscape)
{
    Start(0);
    TPrintPreview& preview = OpenPreview();
    EXPECT_EQ(preview.PageCount(), 1);
    EXPECT_GT(preview.PageImage().width(), preview.PageImage().height());
    // The whole 992-pixel table fits across the page.
    EXPECT_GT(preview.PageImage().width(), 60 + 992);
}

TEST_F(PrintPreviewTest, ZoomScalesThePageAndWholePageFitsTheWindow)
{
    Start(1);
    TPrintPreview& preview = OpenPreview();
    preview.resize(600, 500);
    const QSize page = preview.PageImage().size();
    preview.SetZoom(200);
    EXPECT_EQ(preview.PageView->size(), page * 2);
    EXPECT_EQ(preview.ZoomBox->currentText(), QStringLiteral("200%"));
    preview.SetZoom(100);
    EXPECT_EQ(preview.PageView->size(), page);
    preview.SetZoom(0);
    const QSize room = preview.PageArea->maximumViewportSize();
    EXPECT_LE(preview.PageView->width(), room.width());
    EXPECT_LE(preview.PageView->height(), room.height());
}

// The preview breaks pages where the printer does, at any resolution.
class PreviewPageBreaks : public ::testing::TestWithParam<int> { };

TEST_P(PreviewPageBreaks, MatchThePrintedPages)
{
    InstallFontSubstitutions();
    QTemporaryDir dir;
    TPrinter device;
    device.SetResolution(GetParam());
    TStringGrid grid;
    grid.SetColCount(2);
    grid.SetFixedCols(0);
    grid.SetFixedRows(1);
    TGridPrinter printer;
    printer.SetPrinter(&device);
    printer.SetGrid(&grid);
    printer.SetLineHeight(24);
    printer.SetBottomMargin(13);
    const QSize size = PreviewPageSize(device, 96, 96, printer.BottomMargin());
    QImage image(size, QImage::Format_RGB32);
    // Top margins a few units apart move the last row's bottom across the
    // page's edge; the row that just fits, and the one more that does not.
    for (int top = 80; top < 104; top += 3) {
        printer.SetTopMargin(top);
        const int fit = (size.height() - printer.BottomMargin() - top - 24) / 24;
        for (const int rows : { fit, fit + 1 }) {
            grid.SetRowCount(rows + 1);
            device.SetOutputFileName(dir.filePath(QStringLiteral("%1-%2.pdf").arg(top).arg(rows)));
            const int printed = printer.Print();
            int shown = 0;
            for (int p = printer.DrawPage(image, true); p > 0; p = printer.DrawPage(image, false))
                shown = p;
            EXPECT_EQ(shown, printed) << "top " << top << ", " << rows << " rows";
            EXPECT_EQ(shown, rows == fit ? 1 : 2) << "top " << top << ", " << rows << " rows";
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Resolutions, PreviewPageBreaks, ::testing::Values(72, 300, 600, 1200),
    [](const ::testing::TestParamInfo<int>& info) { return QStringLiteral("Dpi%1").arg(info.param).toStdString(); });

} // namespace
