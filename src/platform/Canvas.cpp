#include "platform/Canvas.h"

#include <algorithm>
#include <cmath>

#include <QBrush>
#include <QFontDatabase>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QTextLayout>

#include "platform/Errors.h"

namespace {

const QString WindowFontName = QStringLiteral("ＭＳ Ｐゴシック");
const QString StandInName = QStringLiteral("Ume P Gothic");

QImage* ImageOf(QPainter* painter)
{
    if (painter == nullptr)
        return nullptr;
    QPaintDevice* device = painter->device();
    if (device != nullptr && device->devType() == QInternal::Image)
        return static_cast<QImage*>(device);
    return nullptr;
}

// Device pixels per logical pixel of what painter draws on.
qreal RatioOf(const QPainter* painter)
{
    if (painter == nullptr || painter->device() == nullptr)
        return 1;
    const qreal ratio = painter->device()->devicePixelRatio();
    return ratio > 0 ? ratio : 1;
}

// Dashed outlines on a high-density device are traced on a mask up to this
// size a side; larger ones are stroked with the device's own dash pattern.
constexpr int MaxMaskSide = 1024;

// Wide pens are not cosmetic: they scale with the device. An odd width
// centred on a pixel's edge covers half pixels on either side on the plain
// device, where the pixels are rounded the same way; on a finer one the line
// moves half a pixel across its length to light the same logical pixels.
void DrawWideLine(QPainter& painter, const QPoint& from, const QPoint& to, int width, qreal ratio)
{
    if (ratio != 1 && width % 2 == 1) {
        const bool across = std::abs(to.x() - from.x()) >= std::abs(to.y() - from.y());
        const QPointF shift = across ? QPointF(0, 0.5) : QPointF(0.5, 0);
        painter.drawLine(QPointF(from) + shift, QPointF(to) + shift);
    } else {
        painter.drawLine(from, to);
    }
}

// A straight solid line (grid and frame lines) as one filled span, which also
// covers whole logical pixels on a high-density device.
void FillStraightLine(QPainter& painter, const QPoint& from, const QPoint& to)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const QPoint end(dx > 0 ? to.x() - 1
            : dx < 0        ? to.x() + 1
                            : to.x(),
        dy > 0       ? to.y() - 1
            : dy < 0 ? to.y() + 1
                     : to.y());
    const QPoint topLeft(std::min(from.x(), end.x()), std::min(from.y(), end.y()));
    const QPoint bottomRight(std::max(from.x(), end.x()), std::max(from.y(), end.y()));
    painter.fillRect(QRect(topLeft, bottomRight), painter.pen().color());
}

// The pixels a thin line of the style lights. A dashed line lights 18 pixels
// and leaves 6, a dotted one 3 and 3, counted from its start pixel.
QPolygon ThinLinePixels(const QPoint& from, const QPoint& to, TPenStyle style)
{
    const int dx = to.x() - from.x();
    const int dy = to.y() - from.y();
    const int steps = std::max(std::abs(dx), std::abs(dy));
    int on = steps;
    int period = steps;
    if (style == psDash)
        on = 18, period = 24;
    else if (style == psDot)
        on = 3, period = 6;
    QPolygon pixels;
    pixels.reserve(steps);
    for (int i = 0; i < steps; ++i) {
        if (i % period >= on)
            continue;
        pixels << QPoint(
            from.x() + int(std::lround(dx * double(i) / steps)), from.y() + int(std::lround(dy * double(i) / steps)));
    }
    return pixels;
}

// Each pixel as a point of the pen's colour, whatever the pen's own dashes.
void DrawSolidPoints(QPainter& painter, const QPolygon& pixels)
{
    QPen pen = painter.pen();
    const Qt::PenStyle style = pen.style();
    pen.setStyle(Qt::SolidLine);
    painter.setPen(pen);
    painter.drawPoints(pixels);
    pen.setStyle(style);
    painter.setPen(pen);
}

Qt::BrushStyle QtBrushStyle(TBrushStyle style)
{
    switch (style) {
    case bsSolid:
        return Qt::SolidPattern;
    case bsClear:
        return Qt::NoBrush;
    case bsHorizontal:
        return Qt::HorPattern;
    case bsVertical:
        return Qt::VerPattern;
    case bsFDiagonal:
        return Qt::FDiagPattern;
    case bsBDiagonal:
        return Qt::BDiagPattern;
    case bsCross:
        return Qt::CrossPattern;
    case bsDiagCross:
        return Qt::DiagCrossPattern;
    }
    return Qt::SolidPattern;
}

// Raster operation for the pen mode. pmNot ignores the pen colour and
// inverts the destination; pmXor and pmNotXor combine with it bit by bit.
QPainter::CompositionMode CompositionOf(TPenMode mode)
{
    switch (mode) {
    case pmCopy:
        return QPainter::CompositionMode_SourceOver;
    case pmNot:
        return QPainter::RasterOp_NotDestination;
    case pmXor:
        return QPainter::RasterOp_SourceXorDestination;
    case pmNotXor:
        return QPainter::RasterOp_NotSourceXorDestination;
    }
    return QPainter::CompositionMode_SourceOver;
}

} // namespace

void InstallFontSubstitutions() { QFont::insertSubstitution(WindowFontName, StandInName); }

QString WindowFontFamily()
{
    // Fonts are not installed while the program runs, so one look suffices.
    static const bool installed = QFontDatabase::hasFamily(WindowFontName);
    // The toolkit keeps its substitutes in lower case; the stand-in is named
    // as the machine spells it.
    return installed || QFont::substitutes(WindowFontName).isEmpty() ? WindowFontName : StandInName;
}

TRect TRect::Intersected(const TRect& other) const
{
    return { std::max(Left, other.Left), std::max(Top, other.Top), std::min(Right, other.Right),
        std::min(Bottom, other.Bottom) };
}

TRect TRect::fromQRect(const QRect& rect)
{
    return { rect.left(), rect.top(), rect.left() + rect.width(), rect.top() + rect.height() };
}

void TBrush::SetStyle(TBrushStyle style)
{
    style_ = style;
    if (style == bsClear)
        color_ = clWhite;
}

TFont::TFont()
    : name_(WindowFontName)
{
}

int TFont::Size() const
{
    // Rounded like the desktop does: -Height * 72 / dpi to the nearest point.
    return int(std::lround(-height_ * 72.0 / pixelsPerInch_));
}

void TFont::SetSize(int points) { height_ = -int(std::lround(points * double(pixelsPerInch_) / 72.0)); }

void TFont::Assign(const TFont& source)
{
    const int dpi = pixelsPerInch_;
    *this = source;
    pixelsPerInch_ = dpi;
    if (source.pixelsPerInch_ != dpi)
        SetSize(source.Size());
}

QFont TFont::toQFont() const
{
    QFont font(name_ == WindowFontName ? WindowFontFamily() : name_);
    // Glyphs without smoothing: cell text keeps its exact colour, and a text
    // drawn again one pixel to the right thickens it as intended.
    font.setStyleStrategy(QFont::NoAntialias);
    font.setBold(style_.testFlag(fsBold));
    font.setItalic(style_.testFlag(fsItalic));
    font.setUnderline(style_.testFlag(fsUnderline));
    font.setStrikeOut(style_.testFlag(fsStrikeOut));
    if (height_ < 0) {
        font.setPixelSize(-height_);
    } else if (height_ > 0) {
        // A cell height: scale the em size so that ascent + descent match.
        font.setPixelSize(height_);
        const QFontMetrics metrics(font);
        const int cell = metrics.ascent() + metrics.descent();
        if (cell > 0 && cell != height_)
            font.setPixelSize(std::max(1, int(std::lround(double(height_) * height_ / cell))));
    } else {
        font.setPixelSize(std::max(1, int(std::lround(12.0 * pixelsPerInch_ / 96.0))));
    }
    return font;
}

TCanvas::TCanvas() = default;

TCanvas::TCanvas(QPaintDevice& device)
    : ownPainter_(std::make_unique<QPainter>(&device))
    , painter_(ownPainter_.get())
    , ratio_(RatioOf(painter_))
{
}

TCanvas::TCanvas(QPainter& painter)
    : painter_(&painter)
    , ratio_(RatioOf(painter_))
{
}

TCanvas::~TCanvas() = default;

void TCanvas::Attach(QPainter& painter)
{
    painter_ = &painter;
    ratio_ = RatioOf(painter_);
    brushRealized_ = penRealized_ = fontRealized_ = false;
}

void TCanvas::Detach()
{
    ownPainter_.reset();
    painter_ = nullptr;
    ratio_ = 1;
    brushRealized_ = penRealized_ = fontRealized_ = false;
}

QPainter& TCanvas::Painter() { return Attached(); }

QPainter& TCanvas::Attached()
{
    if (painter_ == nullptr)
        throw EInvalidOperation(QStringLiteral("Canvas does not allow drawing"));
    return *painter_;
}

int TCanvas::PixelsPerInchX() const
{
    if (painter_ != nullptr && painter_->device() != nullptr)
        return painter_->device()->logicalDpiX();
    return 96;
}

int TCanvas::PixelsPerInchY() const
{
    if (painter_ != nullptr && painter_->device() != nullptr)
        return painter_->device()->logicalDpiY();
    return 96;
}

void TCanvas::RealizeBrush(QPainter& painter)
{
    if (brushRealized_ && realizedBrush_ == brush_)
        return;
    painter.setBrush(QBrush(toQColor(brush_.Color()), QtBrushStyle(brush_.Style())));
    realizedBrush_ = brush_;
    brushRealized_ = true;
}

void TCanvas::RealizePen(QPainter& painter)
{
    if (penRealized_ && realizedPen_ == pen_)
        return;
    if (pen_.Style() == psClear) {
        painter.setPen(Qt::NoPen);
    } else {
        const int width = std::max(1, pen_.Width());
        QPen pen(toQColor(pen_.Mode() == pmNot ? clWhite : pen_.Color()));
        // Width 1 is the cosmetic pen, which lights exactly the pixels of a
        // line; wider pens are centred on it.
        pen.setWidth(width == 1 ? 0 : width);
        pen.setCapStyle(Qt::FlatCap);
        pen.setJoinStyle(Qt::MiterJoin);
        if (pen_.Style() == psDash)
            pen.setStyle(Qt::DashLine);
        else if (pen_.Style() == psDot)
            pen.setStyle(Qt::DotLine);
        painter.setPen(pen);
    }
    painter.setCompositionMode(CompositionOf(pen_.Mode()));
    realizedPen_ = pen_;
    penRealized_ = true;
}

const QFont& TCanvas::CurrentQFont() const
{
    // The colour is not part of a QFont: a change of colour alone keeps it.
    if (!cachedQFontValid_ || !cachedQFontSource_.SameGlyphs(font_)) {
        cachedQFont_ = font_.toQFont();
        cachedQFontSource_ = font_;
        cachedQFontValid_ = true;
        cachedMeasures_.reset();
    }
    return cachedQFont_;
}

TCanvas::Measures& TCanvas::CurrentMeasures() const
{
    const QFont& font = CurrentQFont();
    const QPaintDevice* device = painter_ != nullptr ? painter_->device() : nullptr;
    const int dpi = device != nullptr ? device->logicalDpiY() : 0;
    if (!cachedMeasures_ || cachedMetricsDevice_ != device || cachedMetricsDpi_ != dpi) {
        cachedMeasures_.emplace(font, device);
        cachedMetricsDevice_ = device;
        cachedMetricsDpi_ = dpi;
    }
    return *cachedMeasures_;
}

const TCanvas::Measures::Text& TCanvas::Measures::Of(const QString& text)
{
    // A grid shows few distinct texts; a canvas that measures many starts over.
    constexpr qsizetype Kept = 1024;
    if (const auto known = Texts.constFind(text); known != Texts.cend())
        return *known;
    if (Texts.size() >= Kept)
        Texts.clear();
    Text measured { Metrics.horizontalAdvance(text), Metrics.boundingRect(text), std::nullopt };
    if (!Font.underline() && !Font.strikeOut()) {
        QTextLayout layout(text, Font, Device);
        layout.beginLayout();
        const QTextLine line = layout.createLine();
        layout.endLayout();
        measured.Glyphs = layout.glyphRuns();
        for (QGlyphRun& run : *measured.Glyphs) {
            QList<QPointF> positions = run.positions();
            for (QPointF& position : positions)
                position.ry() -= line.ascent();
            run.setPositions(positions);
        }
    }
    return *Texts.insert(text, measured);
}

void TCanvas::RealizeFont(QPainter& painter)
{
    if (fontRealized_ && realizedFont_.SameGlyphs(font_))
        return;
    painter.setFont(CurrentQFont());
    realizedFont_ = font_;
    fontRealized_ = true;
}

void TCanvas::FillRect(const TRect& rect)
{
    QPainter& painter = Attached();
    if (rect.IsEmpty() || brush_.Style() == bsClear)
        return;
    RealizeBrush(painter);
    RealizePen(painter);
    // Fills are plain copies whatever the pen mode says.
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.fillRect(rect.toQRect(), painter.brush());
    painter.setCompositionMode(CompositionOf(pen_.Mode()));
}

void TCanvas::Rectangle(int left, int top, int right, int bottom)
{
    QPainter& painter = Attached();
    if (pen_.Style() == psClear) {
        FillRect({ left, top, right - 1, bottom - 1 });
        return;
    }
    if (right <= left || bottom <= top)
        return;
    FillRect({ left + 1, top + 1, right - 1, bottom - 1 });
    RealizePen(painter);
    const QBrush brush = painter.brush();
    painter.setBrush(Qt::NoBrush);
    if (ratio_ == 1 || std::max(1, pen_.Width()) > 1) {
        // The cosmetic outline of QRect(l, t, w - 1, h - 1) lights the pixels
        // l .. r - 1 and t .. b - 1: the outline on the inside. Wider pens
        // scale with the device by themselves.
        painter.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
    } else if (pen_.Style() == psSolid || right - left > MaxMaskSide || bottom - top > MaxMaskSide) {
        // A cosmetic pen would be one device pixel thin: stroke a pen one
        // logical pixel wide along the middle of the outline's pixels instead.
        QPen pen = painter.pen();
        pen.setWidthF(1);
        pen.setCosmetic(false);
        painter.setPen(pen);
        painter.drawRect(QRectF(left + 0.5, top + 0.5, right - left - 1, bottom - top - 1));
        penRealized_ = false;
        RealizePen(painter);
    } else {
        // Dashes and dots as the plain device lays them out, each logical
        // pixel drawn whole: the outline is traced on a 1:1 mask first.
        const int width = right - left;
        const int height = bottom - top;
        QImage mask(width, height, QImage::Format_RGB32);
        mask.fill(Qt::white);
        QPainter tracer(&mask);
        QPen pen = painter.pen();
        pen.setColor(Qt::black);
        tracer.setPen(pen);
        tracer.drawRect(QRect(0, 0, right - left - 1, bottom - top - 1));
        tracer.end();
        QPolygon pixels;
        for (int y = 0; y < height; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(mask.constScanLine(y));
            for (int x = 0; x < width; ++x)
                if (qRed(line[x]) == 0)
                    pixels << QPoint(left + x, top + y);
        }
        FillPixels(painter, pixels, painter.pen().color());
    }
    painter.setBrush(brush);
}

void TCanvas::LineTo(int x, int y)
{
    QPainter& painter = Attached();
    const QPoint from = penPos_;
    penPos_ = QPoint(x, y);
    if (pen_.Style() == psClear || from == penPos_)
        return;
    RealizePen(painter);
    const int width = std::max(1, pen_.Width());
    if (width > 1) {
        DrawWideLine(painter, from, penPos_, width, ratio_);
        return;
    }
    // A thin line lights the pixels from the start up to, not including, the
    // end point along the major axis, drawn as pixels: Qt's thin lines run in a
    // direction of their own, so a line drawn right to left or bottom to top
    // would lose its start pixel and light its end pixel instead.
    if ((from.x() == x || from.y() == y) && pen_.Style() == psSolid) {
        FillStraightLine(painter, from, penPos_);
        return;
    }
    const QPolygon pixels = ThinLinePixels(from, penPos_, pen_.Style());
    // The pattern is in the pixels chosen; each of them is drawn whole.
    if (ratio_ != 1)
        FillPixels(painter, pixels, painter.pen().color());
    else
        DrawSolidPoints(painter, pixels);
}

void TCanvas::FillPixels(QPainter& painter, const QPolygon& pixels, const QColor& color)
{
    // Cosmetic points would light one device pixel each; a filled logical
    // pixel lights all that it covers.
    for (const QPoint& pixel : pixels)
        painter.fillRect(QRect(pixel, QSize(1, 1)), color);
}

void TCanvas::Frame3D(TRect& rect, TColor topLeft, TColor bottomRight, int width)
{
    QPainter& painter = Attached();
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    for (int i = 0; i < width && !rect.IsEmpty(); ++i) {
        const QColor light = toQColor(topLeft);
        const QColor dark = toQColor(bottomRight);
        painter.fillRect(QRect(rect.Left, rect.Top, rect.Width() - 1, 1), light);
        painter.fillRect(QRect(rect.Left, rect.Top, 1, rect.Height() - 1), light);
        painter.fillRect(QRect(rect.Right - 1, rect.Top, 1, rect.Height()), dark);
        painter.fillRect(QRect(rect.Left, rect.Bottom - 1, rect.Width(), 1), dark);
        rect = rect.Inflated(-1, -1);
    }
    painter.setCompositionMode(CompositionOf(pen_.Mode()));
}

void TCanvas::DrawText(QPainter& painter, int x, int y, const QString& text)
{
    RealizeFont(painter);
    Measures& measures = CurrentMeasures();
    const Measures::Text& measured = measures.Of(text);
    const int width = measured.Width;
    if (textAlign_ == TTextAlign::Center)
        x -= width / 2;
    else if (textAlign_ == TTextAlign::Right)
        x -= width;
    const bool opaque = brush_.Style() == bsSolid && backgroundMode_ == TBackgroundMode::Opaque;
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (opaque)
        painter.fillRect(QRect(x, y, width, measures.Height), toQColor(brush_.Color()));
    // Text is drawn with its own pen; the canvas pen is put back afterwards.
    painter.setPen(toQColor(font_.Color()));
    if (!measured.Glyphs) {
        painter.drawText(x, y + measures.Ascent, text);
    } else {
        for (const QGlyphRun& run : *measured.Glyphs)
            painter.drawGlyphRun(QPointF(x, y + measures.Ascent), run);
    }
    penRealized_ = false;
    RealizePen(painter);
}

QRect TCanvas::TextBounds(int x, int y, const QString& text)
{
    Measures& measures = CurrentMeasures();
    const Measures::Text& measured = measures.Of(text);
    if (textAlign_ == TTextAlign::Center)
        x -= measured.Width / 2;
    else if (textAlign_ == TTextAlign::Right)
        x -= measured.Width;
    QRect bounds = measured.Ink.translated(x, y + measures.Ascent);
    if (brush_.Style() == bsSolid && backgroundMode_ == TBackgroundMode::Opaque)
        bounds |= QRect(x, y, measured.Width, measures.Height);
    return bounds;
}

void TCanvas::TextOut(int x, int y, const QString& text)
{
    QPainter& painter = Attached();
    DrawText(painter, x, y, text);
}

void TCanvas::TextRect(const TRect& rect, int x, int y, const QString& text)
{
    QPainter& painter = Attached();
    if (rect.IsEmpty())
        return;
    if (brush_.Style() == bsSolid && backgroundMode_ == TBackgroundMode::Opaque)
        FillRect(rect);
    RealizeFont(painter);
    // A text well inside the rectangle needs no clip, which costs more to set
    // and take back than the text costs to draw. The margin allows for glyphs
    // that the measure places a pixel off.
    if (rect.toQRect().adjusted(2, 2, -2, -2).contains(TextBounds(x, y, text))) {
        DrawText(painter, x, y, text);
        return;
    }
    const bool hadClip = painter.hasClipping();
    const QRegion oldClip = painter.clipRegion();
    painter.setClipRect(rect.toQRect(), hadClip ? Qt::IntersectClip : Qt::ReplaceClip);
    DrawText(painter, x, y, text);
    if (hadClip)
        painter.setClipRegion(oldClip);
    else
        painter.setClipping(false);
}

void TCanvas::TextRectWrapped(const TRect& rect, const QString& text)
{
    QPainter& painter = Attached();
    if (rect.IsEmpty())
        return;
    RealizeFont(painter);
    painter.save();
    painter.setClipRect(rect.toQRect(), painter.hasClipping() ? Qt::IntersectClip : Qt::ReplaceClip);
    painter.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter.setPen(toQColor(font_.Color()));
    // CR, LF and CR LF all end a line; Qt by itself breaks only at LF and
    // shows a lone CR as a blank.
    QString lines = text;
    lines.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    painter.drawText(rect.toQRect(), int(Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap), lines);
    painter.restore();
}

int TCanvas::TextWidth(const QString& text) const { return CurrentMeasures().Of(text).Width; }

int TCanvas::TextHeight(const QString&) const { return CurrentMeasures().Height; }

TColor TCanvas::Pixel(int x, int y) const
{
    const QImage* image = ImageOf(painter_);
    if (image == nullptr)
        return clNone;
    // The point is where it is drawn, through the painter's translation; on
    // a high-density image, the device pixel under the logical pixel's middle.
    QPoint at(x, y);
    if (ratio_ != 1) {
        const QPointF middle = painter_->deviceTransform().map(QPointF(x + 0.5, y + 0.5));
        at = QPoint(int(std::floor(middle.x())), int(std::floor(middle.y())));
    } else if (painter_->worldMatrixEnabled() && painter_->transform().type() != QTransform::TxNone) {
        at = painter_->transform().map(at);
    }
    if (!image->valid(at))
        return clNone;
    return fromQColor(QColor(image->pixel(at)));
}

void TCanvas::SetPixel(int x, int y, TColor color)
{
    QPainter& painter = Attached();
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.fillRect(QRect(x, y, 1, 1), toQColor(color));
    painter.setCompositionMode(CompositionOf(pen_.Mode()));
}

void TCanvas::DrawFocusRect(const TRect& rect)
{
    QPainter& painter = Attached();
    if (rect.IsEmpty())
        return;
    // Every other pixel of the outline, counted from the top-left corner.
    QPolygon dots;
    const auto dot = [&](int x, int y) {
        if (((x - rect.Left) + (y - rect.Top)) % 2 == 0)
            dots << QPoint(x, y);
    };
    for (int x = rect.Left; x < rect.Right; ++x) {
        dot(x, rect.Top);
        if (rect.Bottom - 1 > rect.Top)
            dot(x, rect.Bottom - 1);
    }
    for (int y = rect.Top + 1; y < rect.Bottom - 1; ++y) {
        dot(rect.Left, y);
        if (rect.Right - 1 > rect.Left)
            dot(rect.Right - 1, y);
    }
    painter.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    if (ratio_ != 1) {
        FillPixels(painter, dots, Qt::white);
    } else {
        painter.setPen(QPen(Qt::white, 0));
        painter.drawPoints(dots);
    }
    penRealized_ = false;
    RealizePen(painter);
}

TRect TCanvas::ClipRect() const
{
    if (painter_ == nullptr || painter_->device() == nullptr)
        return {};
    const QPaintDevice* device = painter_->device();
    QRect deviceArea(0, 0, device->width(), device->height());
    if (ratio_ != 1) {
        // The device's size is in device pixels; drawing is in logical ones.
        const QRectF logical(0, 0, device->width() / ratio_, device->height() / ratio_);
        deviceArea = painter_->transform().inverted().mapRect(logical).toAlignedRect();
    } else if (painter_->worldMatrixEnabled() && painter_->transform().type() != QTransform::TxNone) {
        deviceArea = painter_->transform().inverted().mapRect(deviceArea);
    }
    TRect area = TRect::fromQRect(deviceArea);
    if (painter_->hasClipping())
        area = area.Intersected(TRect::fromQRect(painter_->clipBoundingRect().toAlignedRect()));
    return area;
}

void TCanvas::SetClipRect(const TRect& rect) { Attached().setClipRect(rect.toQRect()); }

void TCanvas::ResetClipRect() { Attached().setClipping(false); }
