#pragma once

// The picture a grid paints and what the grid tests read from it.

#include <QImage>
#include <QRect>

#include "platform/Canvas.h"
#include "platform/Colors.h"

// The grid's viewport painted over magenta, so that a pixel the grid leaves
// alone shows.
template <class Grid> QImage GridPicture(Grid& grid)
{
    QImage image(grid.viewport()->size(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    grid.PaintTo(image);
    return image;
}

inline TColor PixelAt(const QImage& image, int x, int y) { return fromQColor(image.pixelColor(x, y)); }

// The bounding box of the pixels of r that differ from background.
inline QRect InkIn(const QImage& image, const TRect& r, TColor background)
{
    QRect box;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (PixelAt(image, x, y) != ColorToRGB(background))
                box |= QRect(x, y, 1, 1);
    return box;
}
