#pragma once

// The seven 16 × 16 images of the main tool bar, drawn in code so that they
// stay sharp and need no image files. Index order: fiscal-year calendar,
// month calendar, holiday calendar, totals list, print, options, help.

#include <QList>
#include <QPixmap>

namespace ToolImages {

constexpr int Count = 7;

QPixmap Image(int index);
QList<QPixmap> All();

} // namespace ToolImages
