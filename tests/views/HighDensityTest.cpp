// The fiscal-year calendar and the tool images on a screen scaled to 200 %:
// drawn at the screen's resolution, not enlarged from the 100 % picture.
#include <QIcon>
#include <QImage>

#include <gtest/gtest.h>

#include "ImageDiff.h"
#include "LeaveDataSets.h"
#include "ViewsTestSupport.h"
#include "app/ToolImages.h"
#include "views/Ycalf.h"

namespace {

// What a screen of the given scale shows of view.
QImage Shown(QWidget& view, qreal ratio)
{
    QImage image(view.size() * ratio, QImage::Format_RGB32);
    image.setDevicePixelRatio(ratio);
    image.fill(Qt::magenta);
    view.render(&image);
    return image;
}

QImage Enlarged(const QImage& image, int factor)
{
    return image.scaled(image.size() * factor, Qt::IgnoreAspectRatio, Qt::FastTransformation);
}

TColor At(const QImage& image, int x, int y) { return fromQColor(QColor(image.pixel(x, y))); }

} // namespace

class HighDensityTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2025, 3, 15) };
};

TEST_F(HighDensityTest, TheFiscalYearCalendarIsDrawnAtFullResolutionAtTwiceTheScale)
{
    ProgramWindows program(data);
    ASSERT_NE(YcalForm, nullptr);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    QWidget& view = *grid.viewport();
    const QImage one = Shown(view, 1);
    const QImage two = Shown(view, 2);
    // At 100 % nothing changed: the window shows the same picture.
    EXPECT_EQ(ImageDifference(one, view.grab().toImage().convertToFormat(QImage::Format_RGB32)), "");
    // At 200 % it is not the 100 % picture enlarged ...
    const QImage enlarged = Enlarged(one, 2);
    ASSERT_NE(ImageDifference(two, enlarged), "");
    // ... yet every grid line, cell background and frame is: each logical
    // pixel outside the texts is a 2 × 2 block of its 100 % colour.
    for (int row = 0; row < grid.RowCount(); ++row)
        for (int col = 0; col < grid.ColCount(); ++col) {
            const TRect cell = grid.CellRect(col, row);
            ASSERT_FALSE(cell.IsEmpty()) << col << "," << row;
            for (const QPoint logical : { QPoint(cell.Right, cell.Top + 3), QPoint(cell.Left + 3, cell.Bottom),
                     QPoint(cell.Left, cell.Top + 1), QPoint(cell.Right - 1, cell.Bottom - 1) })
                for (const QPoint device : { logical * 2, logical * 2 + QPoint(1, 1) })
                    EXPECT_EQ(At(two, device.x(), device.y()), At(one, logical.x(), logical.y()))
                        << "cell " << col << "," << row << " at " << logical.x() << "," << logical.y();
        }
    // The texts are sharp: in the cell of Saturday 6 April 2024 (土, blue)
    // every device pixel is glyph or background, and the glyph has detail
    // finer than a logical pixel.
    ASSERT_EQ(grid.Cells(6, 1), QStringLiteral("土"));
    const TRect cell = grid.CellRect(6, 1);
    const TColor background = At(one, cell.Left + 1, cell.Bottom - 2);
    int glyph = 0;
    int split = 0;
    for (int y = 2 * cell.Top + 2; y < 2 * cell.Bottom - 2; ++y)
        for (int x = 2 * cell.Left + 2; x < 2 * cell.Right - 2; ++x) {
            const TColor c = At(two, x, y);
            EXPECT_TRUE(c == clBlue || c == background) << x << "," << y;
            glyph += c == clBlue ? 1 : 0;
            split += x % 2 == 0 && y % 2 == 0 && (c != At(two, x + 1, y) || c != At(two, x, y + 1)) ? 1 : 0;
        }
    EXPECT_GT(glyph, 40);
    EXPECT_GT(split, 10);
}

// The fiscal-year grid, with leave of every kind, holidays, days off and the
// current cell, against the pictures its first, plain painting code made at
// both scales: a faster painting must not move a pixel. Fonts other than the
// build machine's change the pictures.
TEST_F(HighDensityTest, TheFiscalYearGridPaintsThePicturesItAlwaysHas)
{
    SaveYearsOfLeave(2024, 2024);
    ProgramWindows program(data, "7=1\r\n");
    ASSERT_NE(YcalForm, nullptr);
    QWidget& view = *YcalForm->StrColGrid1->viewport();
    for (const int scale : { 1, 2 }) {
        const QString file = QStringLiteral(VALDEMOR_SOURCE_DIR "/tests/views/data/YearGrid%1x.png").arg(scale);
        const QImage before(file);
        ASSERT_FALSE(before.isNull()) << file.toStdString();
        const QImage now = Shown(view, scale);
        EXPECT_EQ(ImageDifference(now, before.convertToFormat(QImage::Format_RGB32)), "") << scale;
    }
}

TEST_F(HighDensityTest, ToolImagesAndTheWindowIconComeInBothSizes)
{
    for (int i = 0; i < ToolImages::Count; ++i) {
        const QIcon icon = ToolImages::Image(i);
        EXPECT_TRUE(icon.availableSizes().contains(QSize(16, 16))) << i;
        EXPECT_TRUE(icon.availableSizes().contains(QSize(32, 32))) << i;
        const QPixmap sharp = icon.pixmap(QSize(16, 16), 2.0);
        EXPECT_EQ(sharp.size(), QSize(32, 32)) << i;
        EXPECT_EQ(sharp.devicePixelRatio(), 2.0) << i;
        EXPECT_EQ(ImageDifference(sharp.toImage(), ToolImages::Pixmap(i, 2).toImage()), "") << i;
        EXPECT_EQ(icon.pixmap(QSize(16, 16), 1.0).size(), QSize(16, 16)) << i;
    }
    // A calendar sheet is all straight edges: its 2× drawing is the 1× one
    // with every pixel doubled, the outline exactly 2 device pixels wide.
    const QImage year = ToolImages::Pixmap(0, 2).toImage();
    EXPECT_EQ(ImageDifference(year, Enlarged(ToolImages::Pixmap(0, 1).toImage(), 2)), "");
    // The round help sign is drawn anew, finer than doubled pixels.
    const QImage help = ToolImages::Pixmap(6, 2).toImage();
    EXPECT_NE(ImageDifference(help, Enlarged(ToolImages::Pixmap(6, 1).toImage(), 2)), "");

    ProgramWindows program(data);
    EXPECT_TRUE(QApplication::windowIcon().availableSizes().contains(QSize(32, 32)));
}
