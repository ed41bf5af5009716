#pragma once

// The window font of the program: "ＭＳ Ｐゴシック" at 12 pixels, the default
// of every window. Linux systems lack it; IPAPGothic (fonts-ipafont-gothic)
// stands in for it under its own name.

#include <QFont>

QFont WindowFont();

// Registers the stand-in and makes the font the application's default.
void InstallWindowFont();
