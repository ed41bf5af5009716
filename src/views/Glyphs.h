#pragma once

// The 16 × 16 glyphs of the calendar windows' navigation buttons, black on a
// transparent background, and the flat glyph button that carries them.

#include <QPixmap>

class QToolButton;
class QWidget;

enum class Glyph {
    TriangleLeft, // previous
    Square, // today
    TriangleRight, // next
    BarTriangleLeft, // twelve months back
    TriangleRightBar, // twelve months on
};

QPixmap GlyphImage(Glyph glyph);

// A flat 25 × 25 button with a glyph and a tooltip at (left, top).
QToolButton* MakeSpeedButton(QWidget* parent, const QString& name, int left, int top, Glyph glyph, const QString& hint);
