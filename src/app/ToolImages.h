#pragma once

// The seven images of the main tool bar, drawn in code so that they stay
// sharp and need no image files: 16 × 16 logical pixels, with a 32 × 32
// drawing for screens scaled to 200 %. Index order: fiscal-year calendar,
// month calendar, holiday calendar, totals list, print, options, help. The
// fiscal-year calendar's image is also the program's window icon.

#include <QIcon>
#include <QList>
#include <QPixmap>

namespace ToolImages {

constexpr int Count = 7;
constexpr int Side = 16;

// One image drawn at scale × 16 device pixels a side, with device pixel
// ratio scale (so it is 16 logical pixels a side). scale is kept in 1 … 8.
QPixmap Pixmap(int index, int scale);
// The image as an icon holding both the 1× and the 2× drawing; Qt picks
// the one that fits the screen.
QIcon Image(int index);
QList<QIcon> All();

} // namespace ToolImages
