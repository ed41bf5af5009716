#include "platform/Canvas.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include "platform/Errors.h"
#include "ImageDiff.h"

class CanvasTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallFontSubstitutions(); }
    void SetUp() override { image.fill(Qt::white); }

    TColor At(int x, int y) const { return fromQColor(QColor(image.pixel(x, y))); }
    // Pixels of colour c inside r.
    int Count(const TRect& r, TColor c) const
    {
        int n = 0;
        for (int y = r.Top; y < r.Bottom; ++y)
            for (int x = r.Left; x < r.Right; ++x)
                n += At(x, y) == c ? 1 : 0;
        return n;
    }
    // Left-most and right-most column holding a non-white pixel, -1 if none.
    std::pair<int, int> InkColumns(const TRect& r) const
    {
        int first = -1;
        int last = -1;
        for (int x = r.Left; x < r.Right; ++x)
            for (int y = r.Top; y < r.Bottom; ++y)
                if (At(x, y) != clWhite) {
                    if (first < 0)
                        first = x;
                    last = x;
                    break;
                }
        return { first, last };
    }

    QImage image { 100, 60, QImage::Format_RGB32 };
};

TEST_F(CanvasTest, FillRectCoversExactlyItsPixels)
{
    TCanvas canvas(image);
    canvas.Brush().SetColor(clRed);
    canvas.FillRect({ 10, 5, 20, 8 });
    EXPECT_EQ(Count({ 0, 0, 100, 60 }, clRed), 30);
    EXPECT_EQ(Count({ 10, 5, 20, 8 }, clRed), 30);
}

TEST_F(CanvasTest, RectangleDrawsItsOutlineOnTheInsideAndFillsWithTheBrush)
{
    TCanvas canvas(image);
    canvas.Pen().SetColor(clBlue);
    canvas.Brush().SetColor(clGreen);
    canvas.Rectangle(10, 10, 20, 16);
    EXPECT_EQ(At(10, 10), clBlue);
    EXPECT_EQ(At(19, 15), clBlue);
    EXPECT_EQ(At(19, 10), clBlue);
    EXPECT_EQ(At(20, 10), clWhite);
    EXPECT_EQ(At(10, 16), clWhite);
    EXPECT_EQ(Count({ 11, 11, 19, 15 }, clGreen), 8 * 4);
    EXPECT_EQ(Count({ 0, 0, 100, 60 }, clBlue), 2 * 10 + 2 * 4);
}

TEST_F(CanvasTest, RectangleWithAClearPenFillsOnePixelLessEachWay)
{
    TCanvas canvas(image);
    canvas.Pen().SetStyle(psClear);
    canvas.Brush().SetColor(clRed);
    canvas.Rectangle(10, 10, 21, 21);
    EXPECT_EQ(Count({ 0, 0, 100, 60 }, clRed), 100);
    EXPECT_EQ(At(19, 19), clRed);
    EXPECT_EQ(At(20, 20), clWhite);
}

TEST_F(CanvasTest, LineToLeavesOutItsEndPixelAndMovesTheCurrentPoint)
{
    TCanvas canvas(image);
    canvas.Pen().SetColor(clBlack);
    canvas.MoveTo(5, 5);
    canvas.LineTo(15, 5);
    EXPECT_EQ(Count({ 0, 5, 100, 6 }, clBlack), 10);
    EXPECT_EQ(At(5, 5), clBlack);
    EXPECT_EQ(At(14, 5), clBlack);
    EXPECT_EQ(At(15, 5), clWhite);
    canvas.LineTo(15, 9);
    EXPECT_EQ(At(15, 5), clBlack);
    EXPECT_EQ(At(15, 8), clBlack);
    EXPECT_EQ(At(15, 9), clWhite);
    EXPECT_EQ(canvas.PenPos(), QPoint(15, 9));
    // A diagonal stops short of its end too.
    canvas.MoveTo(30, 30);
    canvas.LineTo(35, 35);
    EXPECT_EQ(At(34, 34), clBlack);
    EXPECT_EQ(At(35, 35), clWhite);
    EXPECT_EQ(Count({ 30, 30, 40, 40 }, clBlack), 5);
}

TEST_F(CanvasTest, ThinDashedAndDottedLinesLeaveGaps)
{
    TCanvas canvas(image);
    canvas.Pen().SetColor(clBlack);
    const auto row = [&](int y, int from, int to) {
        QString pixels;
        for (int x = from; x < to; ++x)
            pixels += At(x, y) == clBlack ? u'#' : u'.';
        return pixels;
    };
    canvas.Pen().SetStyle(psDash);
    canvas.MoveTo(0, 2);
    canvas.LineTo(50, 2);
    EXPECT_EQ(row(2, 0, 51),
        QString(18, u'#') + QString(6, u'.') + QString(18, u'#') + QString(6, u'.') + QStringLiteral("##."));
    canvas.Pen().SetStyle(psDot);
    canvas.MoveTo(0, 6);
    canvas.LineTo(14, 6);
    EXPECT_EQ(row(6, 0, 15), QStringLiteral("###...###...##."));
    // Drawn right to left the pattern starts at the right, and a vertical
    // line is dotted the same way.
    canvas.MoveTo(20, 6);
    canvas.LineTo(14, 6);
    EXPECT_EQ(row(6, 15, 21), QStringLiteral("...###"));
    canvas.MoveTo(60, 0);
    canvas.LineTo(60, 7);
    EXPECT_EQ(Count({ 60, 0, 61, 10 }, clBlack), 4);
    EXPECT_EQ(At(60, 3), clWhite);
    EXPECT_EQ(At(60, 6), clBlack);
}

TEST_F(CanvasTest, PenModeNotInvertsAndXorTwiceRestores)
{
    TCanvas canvas(image);
    canvas.Pen().SetMode(pmNot);
    canvas.MoveTo(0, 0);
    canvas.LineTo(4, 0);
    EXPECT_EQ(At(0, 0), clBlack);
    EXPECT_EQ(At(3, 0), clBlack);
    canvas.Pen().SetMode(pmXor);
    canvas.Pen().SetColor(0x00FF00);
    canvas.MoveTo(0, 2);
    canvas.LineTo(4, 2);
    EXPECT_EQ(At(1, 2), TColor(0xFF00FF));
    canvas.MoveTo(0, 2);
    canvas.LineTo(4, 2);
    EXPECT_EQ(At(1, 2), clWhite);
}

TEST_F(CanvasTest, DrawFocusRectTwiceLeavesTheImageUnchanged)
{
    {
        TCanvas canvas(image);
        canvas.Brush().SetColor(0xC8C8C8);
        canvas.FillRect({ 0, 0, 50, 30 });
    }
    const QImage before = image.copy();
    TCanvas canvas(image);
    canvas.DrawFocusRect({ 5, 5, 25, 15 });
    // Every other pixel of the outline is inverted, nothing inside.
    EXPECT_EQ(At(5, 5), TColor(0x373737));
    EXPECT_EQ(At(6, 5), TColor(0xC8C8C8));
    EXPECT_EQ(At(7, 5), TColor(0x373737));
    EXPECT_EQ(At(5, 7), TColor(0x373737));
    EXPECT_EQ(At(10, 10), TColor(0xC8C8C8));
    EXPECT_NE(image, before);
    canvas.DrawFocusRect({ 5, 5, 25, 15 });
    EXPECT_EQ(image, before);
}

TEST_F(CanvasTest, HatchedBrushLeavesGapsAndClearBrushDrawsNothing)
{
    TCanvas canvas(image);
    canvas.Brush().SetColor(clBlue);
    canvas.Brush().SetStyle(bsCross);
    canvas.FillRect({ 0, 0, 32, 32 });
    const int blue = Count({ 0, 0, 32, 32 }, clBlue);
    EXPECT_GT(blue, 0);
    EXPECT_EQ(Count({ 0, 0, 32, 32 }, clWhite), 32 * 32 - blue);
    EXPECT_GT(Count({ 0, 0, 32, 32 }, clWhite), 0);

    canvas.Brush().SetStyle(bsClear);
    EXPECT_EQ(canvas.Brush().Color(), clWhite);
    canvas.Brush().SetColor(clRed);
    canvas.FillRect({ 40, 0, 60, 20 });
    EXPECT_EQ(Count({ 40, 0, 60, 20 }, clRed), 0);
}

TEST_F(CanvasTest, PixelsReadAndWriteTColors)
{
    TCanvas canvas(image);
    canvas.SetPixel(3, 4, 0x123456);
    EXPECT_EQ(canvas.Pixel(3, 4), TColor(0x123456));
    EXPECT_EQ(At(3, 4), TColor(0x123456));
    EXPECT_EQ(canvas.Pixel(-1, 0), clNone);
    EXPECT_EQ(canvas.Pixel(100, 0), clNone);
}

TEST_F(CanvasTest, TextOutReferencePointIsLeftCentreOrRight)
{
    TCanvas canvas(image);
    canvas.Brush().SetStyle(bsClear);
    const QString text = QStringLiteral("年度");
    const int width = canvas.TextWidth(text);
    ASSERT_GT(width, 10);

    canvas.TextOut(10, 0, text);
    auto [first, last] = InkColumns({ 0, 0, 100, 20 });
    EXPECT_GE(first, 10);
    EXPECT_LE(last, 10 + width);

    image.fill(Qt::white);
    canvas.SetTextAlign(TTextAlign::Right);
    canvas.TextOut(90, 20, text);
    std::tie(first, last) = InkColumns({ 0, 20, 100, 40 });
    EXPECT_LT(last, 90);
    EXPECT_GE(first, 90 - width);

    image.fill(Qt::white);
    canvas.SetTextAlign(TTextAlign::Center);
    canvas.TextOut(50, 40, text);
    std::tie(first, last) = InkColumns({ 0, 40, 100, 60 });
    EXPECT_GE(first, 50 - width / 2 - 1);
    EXPECT_LE(last, 50 + width / 2 + 1);
    EXPECT_LT(first, 50);
    EXPECT_GT(last, 50);
}

TEST_F(CanvasTest, OpaqueTextFillsItsCellAndTransparentTextDrawsOnlyGlyphs)
{
    TCanvas canvas(image);
    canvas.Font().SetColor(clBlack);
    canvas.Brush().SetColor(clRed);
    const QString text = QStringLiteral("AM");
    canvas.TextOut(0, 0, text);
    const int width = canvas.TextWidth(text);
    const int height = canvas.TextHeight(text);
    EXPECT_EQ(height, canvas.TextHeight(QStringLiteral("x")));
    const int red = Count({ 0, 0, width, height }, clRed);
    const int black = Count({ 0, 0, width, height }, clBlack);
    EXPECT_GT(black, 0);
    EXPECT_EQ(red + black, width * height);

    canvas.SetBackgroundMode(TBackgroundMode::Transparent);
    canvas.TextOut(0, 30, text);
    EXPECT_EQ(Count({ 0, 30, width, 30 + height }, clRed), 0);
    EXPECT_EQ(Count({ 0, 30, width, 30 + height }, clBlack), black);
}

TEST_F(CanvasTest, TextRectClipsToItsRectangle)
{
    TCanvas canvas(image);
    canvas.Brush().SetColor(clYellow);
    canvas.TextRect({ 10, 10, 20, 30 }, 12, 12, QStringLiteral("休日出勤休日出勤"));
    EXPECT_EQ(Count({ 10, 10, 20, 30 }, clWhite), 0);
    EXPECT_EQ(InkColumns({ 0, 0, 100, 60 }), std::make_pair(10, 19));
}

TEST_F(CanvasTest, WrappedTextBreaksIntoLinesInsideItsRectangle)
{
    TCanvas canvas(image);
    canvas.Font().SetColor(clBlack);
    const int lineHeight = canvas.TextHeight(QStringLiteral("x"));
    canvas.TextRectWrapped({ 0, 0, 40, 60 }, QStringLiteral("ab cd ef gh ij"));
    EXPECT_EQ(Count({ 40, 0, 100, 60 }, clBlack), 0);
    EXPECT_GT(Count({ 0, lineHeight, 40, 2 * lineHeight }, clBlack), 0);
}

TEST_F(CanvasTest, WrappedTextBreaksAtCarriageReturnsLineFeedsAndBoth)
{
    for (const QString& text : { QStringLiteral("ab\rcd"), QStringLiteral("ab\ncd"), QStringLiteral("ab\r\ncd") }) {
        image.fill(Qt::white);
        TCanvas canvas(image);
        canvas.Font().SetColor(clBlack);
        const int lineHeight = canvas.TextHeight(QStringLiteral("x"));
        canvas.TextRectWrapped({ 0, 0, 100, 60 }, text);
        EXPECT_GT(Count({ 0, lineHeight, 100, 2 * lineHeight }, clBlack), 0) << text.size();
    }
}

TEST_F(CanvasTest, FontSizeFollowsTheResolution)
{
    TFont font;
    EXPECT_EQ(font.Name(), QStringLiteral("ＭＳ Ｐゴシック"));
    EXPECT_EQ(font.Height(), -12);
    EXPECT_EQ(font.Size(), 9);
    TFont printerFont;
    printerFont.SetPixelsPerInch(600);
    printerFont.Assign(font);
    EXPECT_EQ(printerFont.Size(), 9);
    EXPECT_EQ(printerFont.Height(), -75);
    EXPECT_EQ(printerFont.PixelsPerInch(), 600);
    EXPECT_EQ(QFontInfo(font.toQFont()).family(), QStringLiteral("Ume P Gothic"));
}

TEST_F(CanvasTest, APositiveHeightIsTheWholeCellHeight)
{
    TCanvas canvas(image);
    canvas.Font().SetHeight(20);
    EXPECT_NEAR(canvas.TextHeight(QStringLiteral("x")), 20, 1);
    canvas.Font().SetHeight(-20);
    // no smaller: the window font, like its stand-in, has no internal leading
    EXPECT_GE(canvas.TextHeight(QStringLiteral("x")), 20);
}

TEST_F(CanvasTest, DrawingWithoutADeviceIsRefused)
{
    TCanvas canvas;
    EXPECT_GT(canvas.TextWidth(QStringLiteral("abc")), 0);
    EXPECT_THROW(canvas.FillRect({ 0, 0, 1, 1 }), EInvalidOperation);
    QPainter painter(&image);
    canvas.Attach(painter);
    canvas.Brush().SetColor(clRed);
    canvas.FillRect({ 0, 0, 2, 2 });
    canvas.Detach();
    painter.end();
    EXPECT_EQ(At(1, 1), clRed);
    EXPECT_EQ(canvas.ClipRect(), TRect {});
}

TEST_F(CanvasTest, ATranslatedPainterReadsPixelsAndClipsWhereItDraws)
{
    // As a grid paints one part of its window into a small image.
    QPainter painter(&image);
    painter.translate(-200, -100);
    painter.setClipRect(QRect(210, 110, 20, 10));
    TCanvas canvas;
    canvas.Attach(painter);
    EXPECT_EQ(canvas.ClipRect(), (TRect { 210, 110, 230, 120 }));
    canvas.Brush().SetColor(clRed);
    canvas.FillRect({ 210, 110, 212, 112 });
    EXPECT_EQ(canvas.Pixel(211, 111), clRed);
    EXPECT_EQ(canvas.Pixel(212, 111), clWhite);
    EXPECT_EQ(canvas.Pixel(11, 11), clNone);
    canvas.SetPixel(215, 115, clBlue);
    canvas.Detach();
    painter.end();
    EXPECT_EQ(At(11, 11), clRed);
    EXPECT_EQ(At(15, 15), clBlue);
}

// The same drawing on a plain image and on one of device pixel ratio 2 (as
// on a screen scaled to 200 %). Coordinates stay logical on both.
class CanvasHighDensityTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { InstallFontSubstitutions(); }

    static QImage Image(qreal ratio)
    {
        QImage image(QSize(100, 60) * ratio, QImage::Format_RGB32);
        image.setDevicePixelRatio(ratio);
        image.fill(Qt::white);
        return image;
    }
    // draw on both images; the 1× one enlarged pixel for pixel.
    template <typename Draw> std::pair<QImage, QImage> Both(Draw draw)
    {
        QImage one = Image(1);
        QImage two = Image(2);
        for (QImage* image : { &one, &two }) {
            TCanvas canvas(*image);
            draw(canvas);
        }
        one = one.scaled(one.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
        one.setDevicePixelRatio(2);
        return { one, two };
    }
    // Device pixels that are neither white nor colour.
    static int Blended(const QImage& image, TColor colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x) {
                const TColor c = fromQColor(QColor(image.pixel(x, y)));
                n += c != clWhite && c != colour ? 1 : 0;
            }
        return n;
    }
    static int CountOf(const QImage& image, TColor colour)
    {
        int n = 0;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                n += fromQColor(QColor(image.pixel(x, y))) == colour ? 1 : 0;
        return n;
    }
    // 2 × 2 device blocks (one logical pixel each) whose device pixels differ.
    static int SplitBlocks(const QImage& image)
    {
        int n = 0;
        for (int y = 0; y + 1 < image.height(); y += 2)
            for (int x = 0; x + 1 < image.width(); x += 2) {
                const QRgb c = image.pixel(x, y);
                n += image.pixel(x + 1, y) != c || image.pixel(x, y + 1) != c || image.pixel(x + 1, y + 1) != c;
            }
        return n;
    }
};

TEST_F(CanvasHighDensityTest, LinesFillsAndFramesCoverWholeLogicalPixels)
{
    // Every pixel-exact rule at once; at ratio 2 each logical pixel becomes
    // a crisp 2 × 2 block, so the picture is exactly the 1× one enlarged.
    const auto [one, two] = Both([](TCanvas& canvas) {
        canvas.Brush().SetColor(clGreen);
        canvas.FillRect({ 1, 1, 9, 5 });
        canvas.Pen().SetColor(clBlue);
        canvas.Rectangle(10, 1, 20, 7);
        canvas.Pen().SetColor(clRed);
        canvas.MoveTo(0, 10);
        canvas.LineTo(40, 10); // end point left out
        canvas.LineTo(40, 20);
        canvas.MoveTo(0, 22);
        canvas.LineTo(9, 31); // diagonal
        canvas.Pen().SetStyle(psDash);
        canvas.MoveTo(0, 40);
        canvas.LineTo(60, 40);
        canvas.Pen().SetStyle(psDot);
        canvas.MoveTo(62, 0);
        canvas.LineTo(62, 30);
        canvas.Pen().SetStyle(psSolid);
        canvas.Pen().SetMode(pmNot);
        canvas.MoveTo(1, 3);
        canvas.LineTo(8, 3);
        canvas.Pen().SetMode(pmCopy);
        TRect frame { 70, 2, 90, 16 };
        canvas.Frame3D(frame, clWhite, clGray, 2);
        canvas.SetPixel(95, 50, 0x123456);
        canvas.DrawFocusRect({ 30, 44, 50, 56 });
        canvas.Pen().SetWidth(3);
        canvas.MoveTo(70, 30);
        canvas.LineTo(90, 30);
    });
    EXPECT_EQ(ImageDifference(two, one), "");
}

TEST_F(CanvasHighDensityTest, ARectangleOutlineIsOneLogicalPixelInsideWhateverThePen)
{
    for (TPenStyle style : { psSolid, psDash, psDot }) {
        const auto [one, two] = Both([style](TCanvas& canvas) {
            canvas.Pen().SetStyle(style);
            canvas.Pen().SetColor(clBlue);
            canvas.Brush().SetColor(clYellow);
            canvas.Rectangle(10, 10, 60, 40);
        });
        // Dashes and dots fall where they fall at 100 %, each 2 × 2 device pixels.
        EXPECT_EQ(ImageDifference(two, one), "") << style;
        EXPECT_EQ(CountOf(two, clWhite) + CountOf(two, clBlue) + CountOf(two, clYellow), two.width() * two.height())
            << style;
        int gaps = 0;
        for (int x = 20; x < 120; ++x)
            gaps += two.pixel(x, 21) == qRgb(0, 0, 255) ? 0 : 1;
        EXPECT_EQ(gaps > 0, style != psSolid) << style;
    }
    const auto [one, two] = Both([](TCanvas& canvas) {
        canvas.Pen().SetColor(clBlue);
        canvas.Brush().SetColor(clYellow);
        canvas.Rectangle(10, 10, 60, 40);
    });
    for (const QPoint device : { QPoint(20, 20), QPoint(21, 21), QPoint(119, 79), QPoint(118, 40) })
        EXPECT_EQ(two.pixel(device), qRgb(0, 0, 255)) << device.x() << "," << device.y();
    EXPECT_EQ(two.pixel(22, 22), qRgb(255, 255, 0));
    EXPECT_EQ(two.pixel(117, 40), qRgb(255, 255, 0));
    EXPECT_EQ(two.pixel(120, 80), qRgb(255, 255, 255));
}

TEST_F(CanvasHighDensityTest, PixelsAndTheClipAreInLogicalCoordinates)
{
    QImage two = Image(2);
    QPainter painter(&two);
    // A part of a window painted into a buffer, as the grid does.
    painter.translate(-200, -100);
    painter.setClipRect(QRect(210, 110, 20, 10));
    TCanvas canvas(painter);
    EXPECT_EQ(canvas.DevicePixelRatio(), 2);
    EXPECT_EQ(canvas.ClipRect(), (TRect { 210, 110, 230, 120 }));
    painter.setClipping(false);
    EXPECT_EQ(canvas.ClipRect(), (TRect { 200, 100, 300, 160 }));
    canvas.Brush().SetColor(clRed);
    canvas.FillRect({ 210, 110, 212, 112 });
    EXPECT_EQ(canvas.Pixel(211, 111), clRed);
    EXPECT_EQ(canvas.Pixel(212, 111), clWhite);
    EXPECT_EQ(canvas.Pixel(299, 159), clWhite);
    EXPECT_EQ(canvas.Pixel(300, 100), clNone);
    canvas.SetPixel(215, 115, 0x123456);
    EXPECT_EQ(canvas.Pixel(215, 115), TColor(0x123456));
    canvas.Detach();
    painter.end();
    for (int dy : { 0, 1 })
        for (int dx : { 0, 1 })
            EXPECT_EQ(fromQColor(QColor(two.pixel(30 + dx, 30 + dy))), TColor(0x123456));
    EXPECT_EQ(fromQColor(QColor(two.pixel(32, 30))), clWhite);
}

TEST_F(CanvasHighDensityTest, TextIsDrawnAtTheDevicesResolutionWithoutSmoothing)
{
    const QString text = QStringLiteral("年度休日AM");
    int widthOne = 0;
    int widthTwo = 0;
    const auto [one, two] = Both([&](TCanvas& canvas) {
        canvas.Brush().SetStyle(bsClear);
        canvas.Font().SetColor(clBlack);
        canvas.TextOut(4, 4, text);
        (canvas.DevicePixelRatio() == 2 ? widthTwo : widthOne) = canvas.TextWidth(text);
    });
    // Measured in logical pixels on both.
    EXPECT_EQ(widthTwo, widthOne);
    // Finer than the enlarged 1× glyphs: many logical pixels are split
    // between ink and paper, and every device pixel is one or the other.
    EXPECT_NE(two, one);
    EXPECT_EQ(SplitBlocks(one), 0);
    EXPECT_GT(SplitBlocks(two), 20);
    EXPECT_EQ(Blended(two, clBlack), 0);
    // The glyphs stay where the 1× ones are.
    const auto inkBox = [](const QImage& image) {
        QRect box;
        for (int y = 0; y < image.height(); ++y)
            for (int x = 0; x < image.width(); ++x)
                if (image.pixel(x, y) != qRgb(255, 255, 255))
                    box |= QRect(x, y, 1, 1);
        return box;
    };
    const QRect boxOne = inkBox(one);
    const QRect boxTwo = inkBox(two);
    EXPECT_NEAR(boxTwo.left(), boxOne.left(), 4);
    EXPECT_NEAR(boxTwo.right(), boxOne.right(), 4);
    EXPECT_LE(boxTwo.right(), (4 + widthOne) * 2);
    EXPECT_NEAR(boxTwo.bottom(), boxOne.bottom(), 6);
}

// The canvas keeps each text's shaped glyphs and draws those; the pixels must
// be the ones the painter draws from the string itself, in every style, at
// both scales, with the clip of TextRect or without it.
TEST_F(CanvasHighDensityTest, TextIsDrawnAsThePainterDrawsTheString)
{
    const TFontStyles styles[] = { {}, fsBold, fsItalic, fsUnderline, fsStrikeOut, fsBold | fsUnderline };
    const QString texts[] = { QStringLiteral("月"), QStringLiteral("31"), QStringLiteral("GW 振替休日"),
        QStringLiteral("Ｗｇ j,y"), QStringLiteral("a\tb  c") };
    for (const qreal ratio : { 1.0, 2.0 })
        for (const TFontStyles style : styles)
            for (const QString& text : texts) {
                QImage canvasImage = Image(ratio);
                TCanvas canvas(canvasImage);
                canvas.Font().SetStyle(style);
                canvas.Font().SetColor(clBlue);
                canvas.Brush().SetStyle(bsClear);
                canvas.TextOut(3, 4, text);
                canvas.TextRect({ 3, 30, 40, 44 }, 5, 31, text);
                QImage plain = Image(ratio);
                QPainter painter(&plain);
                painter.setFont(canvas.Font().toQFont());
                painter.setPen(Qt::blue);
                const int ascent = QFontMetrics(painter.font(), &plain).ascent();
                painter.drawText(3, 4 + ascent, text);
                painter.setClipRect(3, 30, 37, 14);
                painter.drawText(5, 31 + ascent, text);
                painter.end();
                EXPECT_EQ(ImageDifference(canvasImage, plain), "")
                    << ratio << " style " << int(style) << ' ' << text.toStdString();
            }
}
