#pragma once

// The window font of the program: "ＭＳ Ｐゴシック" at 12 pixels, the default
// of every window. Linux systems lack it; Ume P Gothic (fonts-horai-umefont)
// stands in for it under its own name. Of Debian's proportional Gothics it
// comes closest: 12 pixels high, digits 6 pixels wide, so "2025/06/03" takes
// 60 pixels of the holiday list's 70-pixel date column (IPAPGothic, VL
// PGothic and TakaoPGothic take 72, Noto Sans CJK JP 63 but 17 high). The one
// substitution is made by InstallFontSubstitutions, which the grids' own
// tests share.

#include <QFont>

QFont WindowFont();

// Registers the stand-in and makes the font the application's default.
void InstallWindowFont();
