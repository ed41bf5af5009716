#pragma once

#include <optional>

// Drawing with a brush, a pen and a font on any paint device: the grid's
// off-screen image, a test image or a printer page. Coordinates are the
// program's logical pixels, x to the right and y down; a rectangle (Left,
// Top, Right, Bottom) covers the pixels Left <= x < Right, Top <= y < Bottom.
//
// On a high-density device (an image whose device pixel ratio is above 1) a
// logical pixel covers ratio × ratio device pixels. Every rule stays in
// logical pixels: a 1-pixel line is one logical pixel wide, i.e. 2 device
// pixels at ratio 2, filled whole and without smoothing; a pixel read answers
// the logical pixel and a pixel write sets all of it. Text is drawn at the
// device's own resolution, so its glyphs are finer than a logical pixel.
//
// The brush, pen and font are plain values that callers change at will; the
// canvas hands them to the painter only when something is drawn and only
// when they differ from what the painter already holds, so switching colours
// cell by cell stays cheap.

#include <cstdint>
#include <memory>

#include <QFlags>
#include <QFont>
#include <QFontMetrics>
#include <QGlyphRun>
#include <QHash>
#include <QPoint>
#include <QRect>
#include <QString>

#include "platform/Colors.h"
#include "platform/ControlTypes.h"

class QPaintDevice;
class QPainter;
class QPolygon;

// Calls QFont::insertSubstitution for the program's fonts: the window font
// "ＭＳ Ｐゴシック" is drawn with Ume P Gothic (fonts-horai-umefont), the
// proportional Gothic whose widths and height come closest to it, so that the
// windows' default widths hold their texts. Safe to call more than once.
void InstallFontSubstitutions();

// The family to ask the toolkit for when drawing the window font:
// "ＭＳ Ｐゴシック" where the machine has it, else its substitute. Naming the
// substitute directly spares each lookup of a weight, size or script the
// failed search for the missing family and the fallback sort that follows it,
// a good share of the start-up. Without InstallFontSubstitutions the name
// stays as it is.
QString WindowFontFamily();

struct TRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;

    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    bool Contains(int x, int y) const { return x >= Left && x < Right && y >= Top && y < Bottom; }
    TRect Inflated(int dx, int dy) const { return { Left - dx, Top - dy, Right + dx, Bottom + dy }; }
    TRect Intersected(const TRect& other) const;
    QRect toQRect() const { return QRect(Left, Top, Right - Left, Bottom - Top); }
    static TRect fromQRect(const QRect& rect);
    friend bool operator==(const TRect&, const TRect&) = default;
};

// TAlignment and TTextLayout (a text's placement in its cell) are in ControlTypes.h.

// The reference point of TextOut: the top-left, top-centre or top-right
// corner of the text.
enum class TTextAlign { Left, Center, Right };

// Whether TextOut fills the text's cell with the brush colour.
enum class TBackgroundMode { Opaque, Transparent };

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };

class TBrush {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }
    TBrushStyle Style() const { return style_; }
    // A clear brush also turns its colour to white.
    void SetStyle(TBrushStyle style);
    friend bool operator==(const TBrush&, const TBrush&) = default;

private:
    TColor color_ = clWhite;
    TBrushStyle style_ = bsSolid;
};

enum TPenStyle { psSolid, psDash, psDot, psClear };

// pmCopy draws the pen colour; pmNot inverts what is underneath; pmXor and
// pmNotXor combine the pen colour with it, so drawing twice restores it.
enum TPenMode { pmCopy, pmNot, pmXor, pmNotXor };

class TPen {
public:
    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }
    int Width() const { return width_; }
    // Widths below 1 draw 1 pixel wide.
    void SetWidth(int width) { width_ = width; }
    TPenStyle Style() const { return style_; }
    void SetStyle(TPenStyle style) { style_ = style; }
    TPenMode Mode() const { return mode_; }
    void SetMode(TPenMode mode) { mode_ = mode; }
    friend bool operator==(const TPen&, const TPen&) = default;

private:
    TColor color_ = clBlack;
    int width_ = 1;
    TPenStyle style_ = psSolid;
    TPenMode mode_ = pmCopy;
};

enum TFontStyle { fsBold = 0x1, fsItalic = 0x2, fsUnderline = 0x4, fsStrikeOut = 0x8 };
Q_DECLARE_FLAGS(TFontStyles, TFontStyle)
Q_DECLARE_OPERATORS_FOR_FLAGS(TFontStyles)

inline constexpr int DEFAULT_CHARSET = 1;
inline constexpr int SHIFTJIS_CHARSET = 128;

// A font by name and height. Height < 0 is the character height without the
// internal leading (the em size) in device pixels, Height > 0 the whole cell
// height (ascent + descent). Size is the same in points at PixelsPerInch:
// Size = -Height * 72 / PixelsPerInch. A font for a printer carries the
// printer's resolution, so that the same point size gives more pixels.
class TFont {
public:
    TFont();

    QString Name() const { return name_; }
    void SetName(const QString& name) { name_ = name; }
    int Height() const { return height_; }
    void SetHeight(int height) { height_ = height; }
    int Size() const;
    void SetSize(int points);
    TColor Color() const { return color_; }
    void SetColor(TColor color) { color_ = color; }
    TFontStyles Style() const { return style_; }
    void SetStyle(TFontStyles style) { style_ = style; }
    int Charset() const { return charset_; }
    void SetCharset(int charset) { charset_ = charset; }
    int PixelsPerInch() const { return pixelsPerInch_; }
    // Changes only the resolution; Height stays, so Size follows.
    void SetPixelsPerInch(int dpi) { pixelsPerInch_ = dpi; }

    // Takes everything from source but keeps this font's resolution; when the
    // two resolutions differ the point size is kept, not the pixel height.
    void Assign(const TFont& source);

    // The Qt font for a device of this font's resolution.
    QFont toQFont() const;

    friend bool operator==(const TFont&, const TFont&) = default;
    // Whether two fonts draw the same glyphs: everything but the colour.
    bool SameGlyphs(const TFont& other) const
    {
        return name_ == other.name_ && height_ == other.height_ && style_ == other.style_ && charset_ == other.charset_
            && pixelsPerInch_ == other.pixelsPerInch_;
    }

private:
    QString name_;
    int height_ = -12;
    TColor color_ = clWindowText;
    TFontStyles style_;
    int charset_ = SHIFTJIS_CHARSET;
    int pixelsPerInch_ = 96;
};

class TCanvas {
public:
    // A canvas that is not yet attached to a device: brush, pen and font can
    // be set, text can be measured, drawing raises EInvalidOperation.
    TCanvas();
    // Paints on device through a painter of its own until destroyed.
    explicit TCanvas(QPaintDevice& device);
    // Paints through painter, which the caller keeps active while attached.
    explicit TCanvas(QPainter& painter);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // Attaches to (or detaches from) a painter the caller owns. Brush, pen,
    // font and the other settings carry over.
    void Attach(QPainter& painter);
    void Detach();
    bool IsAttached() const { return painter_ != nullptr; }
    // The painter drawn with; raises EInvalidOperation when detached.
    QPainter& Painter();

    TBrush& Brush() { return brush_; }
    const TBrush& Brush() const { return brush_; }
    TPen& Pen() { return pen_; }
    const TPen& Pen() const { return pen_; }
    TFont& Font() { return font_; }
    const TFont& Font() const { return font_; }

    TBackgroundMode BackgroundMode() const { return backgroundMode_; }
    void SetBackgroundMode(TBackgroundMode mode) { backgroundMode_ = mode; }
    TTextAlign TextAlign() const { return textAlign_; }
    void SetTextAlign(TTextAlign align) { textAlign_ = align; }

    // The device's resolution (96 for images unless they say otherwise).
    int PixelsPerInchX() const;
    int PixelsPerInchY() const;
    // Device pixels per logical pixel of the attached device (1 when detached).
    qreal DevicePixelRatio() const { return ratio_; }

    // Fills rect with the brush; no outline.
    void FillRect(const TRect& rect);
    // Outline with the pen on the pixels just inside the rectangle, inside
    // filled with the brush. With a clear pen the fill covers
    // (Left, Top, Right - 1, Bottom - 1).
    void Rectangle(int left, int top, int right, int bottom);
    void Rectangle(const TRect& rect) { Rectangle(rect.Left, rect.Top, rect.Right, rect.Bottom); }
    // Draws a line from the current point to (x, y) without its end pixel
    // and makes (x, y) the current point.
    void MoveTo(int x, int y) { penPos_ = QPoint(x, y); }
    void LineTo(int x, int y);
    QPoint PenPos() const { return penPos_; }
    // Two-colour frame of the given width inside rect (topLeft on the left
    // and top edges, bottomRight on the others); rect shrinks by the width.
    void Frame3D(TRect& rect, TColor topLeft, TColor bottomRight, int width);

    // Text at the reference point (x, y) (see TextAlign). With a solid brush
    // and an opaque background mode the text's cell is filled with the brush
    // colour first; otherwise only the glyphs are drawn.
    void TextOut(int x, int y, const QString& text);
    // TextOut clipped to rect; when opaque, rect is filled first.
    void TextRect(const TRect& rect, int x, int y, const QString& text);
    // Text broken into lines at blanks, between Japanese characters and at
    // line breaks, left-aligned from the top of rect and clipped to it.
    void TextRectWrapped(const TRect& rect, const QString& text);
    int TextWidth(const QString& text) const;
    // Ascent + descent of the current font.
    int TextHeight(const QString& text) const;

    // Pixels of an image device, at the same coordinates as drawing (a
    // painter that is translated reads where it draws). Reading outside the
    // image, or from a device that cannot be read (a printer), answers clNone.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor color);

    // The dotted focus rectangle, drawn by inverting every other pixel of
    // the outline; drawing it twice restores the pixels.
    void DrawFocusRect(const TRect& rect);

    // The area drawing reaches, in drawing coordinates: the device, narrowed
    // by any clip rectangle.
    TRect ClipRect() const;
    // Narrows drawing to rect (device coordinates) until ResetClipRect.
    void SetClipRect(const TRect& rect);
    void ResetClipRect();

private:
    QPainter& Attached();
    void RealizeBrush(QPainter& painter);
    void RealizePen(QPainter& painter);
    void RealizeFont(QPainter& painter);
    const QFont& CurrentQFont() const;
    // Measures of the current font on the attached device (or the screen).
    struct Measures;
    Measures& CurrentMeasures() const;
    void DrawText(QPainter& painter, int x, int y, const QString& text);
    // Everything DrawText(x, y, text) may touch: the glyphs and, when
    // opaque, the filled box.
    QRect TextBounds(int x, int y, const QString& text);
    // Lights whole logical pixels in the painter's current composition mode.
    void FillPixels(QPainter& painter, const QPolygon& pixels, const QColor& color);

    std::unique_ptr<QPainter> ownPainter_;
    QPainter* painter_ = nullptr;
    TBrush brush_;
    TPen pen_;
    TFont font_;
    TBackgroundMode backgroundMode_ = TBackgroundMode::Opaque;
    TTextAlign textAlign_ = TTextAlign::Left;
    QPoint penPos_;
    qreal ratio_ = 1;

    // What the painter holds now; valid only while the flags say so.
    TBrush realizedBrush_;
    TPen realizedPen_;
    TFont realizedFont_;
    bool brushRealized_ = false;
    bool penRealized_ = false;
    bool fontRealized_ = false;
    mutable QFont cachedQFont_;
    mutable TFont cachedQFontSource_;
    mutable bool cachedQFontValid_ = false;
    // Measuring and shaping are frequent (every cell's text, to place it and
    // to draw it): the metrics are made once per font and device, and each
    // text is measured and shaped once for them.
    struct Measures {
        Measures(const QFont& font, const QPaintDevice* device)
            : Font(font)
            , Device(device)
            , Metrics(device != nullptr ? QFontMetrics(font, device) : QFontMetrics(font))
            , Ascent(Metrics.ascent())
            , Height(Metrics.ascent() + Metrics.descent())
        {
        }
        struct Text {
            int Width; // the advance
            QRect Ink; // the pixels it may touch, from its origin on the baseline
            // The shaped glyphs, from its origin on the baseline: shaping is
            // most of what drawing a short text costs. Underlined and
            // struck-out text has none; the glyph runs draw those lines
            // otherwise than the painter draws them under a string.
            std::optional<QList<QGlyphRun>> Glyphs;
        };
        const Text& Of(const QString& text);

        QFont Font;
        const QPaintDevice* Device; // the attached device, or none
        QFontMetrics Metrics;
        int Ascent;
        int Height; // ascent + descent
        QHash<QString, Text> Texts;
    };
    mutable std::optional<Measures> cachedMeasures_;
    mutable const QPaintDevice* cachedMetricsDevice_ = nullptr;
    mutable int cachedMetricsDpi_ = 0;
};
