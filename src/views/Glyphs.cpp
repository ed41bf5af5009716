#include "views/Glyphs.h"

#include <QPainter>
#include <QPolygon>
#include <QToolButton>

namespace {

// Triangles are drawn row by row so that every pixel is either black or
// clear: the glyphs stay crisp at any scale of the screen.
void TriangleLeftAt(QPainter& p, int tipX)
{
    for (int i = 0; i < 5; ++i)
        p.fillRect(QRect(tipX + i, 7 - i, 1, 2 * i + 2), Qt::black);
}

void TriangleRightAt(QPainter& p, int tipX)
{
    for (int i = 0; i < 5; ++i)
        p.fillRect(QRect(tipX - i, 7 - i, 1, 2 * i + 2), Qt::black);
}

} // namespace

QPixmap GlyphImage(Glyph glyph)
{
    QPixmap pixmap(16, 16);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    switch (glyph) {
    case Glyph::TriangleLeft:
        TriangleLeftAt(p, 6);
        break;
    case Glyph::Square:
        p.fillRect(QRect(4, 4, 8, 8), Qt::black);
        break;
    case Glyph::TriangleRight:
        TriangleRightAt(p, 9);
        break;
    case Glyph::BarTriangleLeft:
        p.fillRect(QRect(4, 3, 2, 10), Qt::black);
        TriangleLeftAt(p, 7);
        break;
    case Glyph::TriangleRightBar:
        TriangleRightAt(p, 8);
        p.fillRect(QRect(10, 3, 2, 10), Qt::black);
        break;
    }
    return pixmap;
}

QToolButton* MakeSpeedButton(QWidget* parent, const QString& name, int left, int top, Glyph glyph, const QString& hint)
{
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setGeometry(left, top, 25, 25);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(QIcon(GlyphImage(glyph)));
    button->setIconSize(QSize(16, 16));
    button->setToolTip(hint);
    button->setAccessibleName(hint);
    button->setMouseTracking(true);
    return button;
}
