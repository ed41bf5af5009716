#pragma once

// Colours as the program stores and passes them: a 32-bit TColor that is
// either a direct colour 0x00BBGGRR (red in the low byte) or a system colour
// 0x800000nn, which stands for entry nn of the desktop's colour scheme and is
// resolved from the application palette only when something is drawn.

#include <cstdint>

#include <QString>

class QColor;

using TColor = std::uint32_t;

// Named direct colours.
inline constexpr TColor clBlack = 0x000000;
inline constexpr TColor clMaroon = 0x000080;
inline constexpr TColor clGreen = 0x008000;
inline constexpr TColor clOlive = 0x008080;
inline constexpr TColor clNavy = 0x800000;
inline constexpr TColor clPurple = 0x800080;
inline constexpr TColor clTeal = 0x808000;
inline constexpr TColor clGray = 0x808080;
inline constexpr TColor clSilver = 0xC0C0C0;
inline constexpr TColor clRed = 0x0000FF;
inline constexpr TColor clLime = 0x00FF00;
inline constexpr TColor clYellow = 0x00FFFF;
inline constexpr TColor clBlue = 0xFF0000;
inline constexpr TColor clFuchsia = 0xFF00FF;
inline constexpr TColor clAqua = 0xFFFF00;
inline constexpr TColor clWhite = 0xFFFFFF;
// "No colour": drawn as fully transparent.
inline constexpr TColor clNone = 0x1FFFFFFF;

// System colours (0x80000000 | entry of the colour scheme).
inline constexpr TColor clWindow = 0x80000005;
inline constexpr TColor clWindowFrame = 0x80000006;
inline constexpr TColor clWindowText = 0x80000008;
inline constexpr TColor clHighlight = 0x8000000D;
inline constexpr TColor clHighlightText = 0x8000000E;
inline constexpr TColor clBtnFace = 0x8000000F;
inline constexpr TColor clBtnShadow = 0x80000010;
inline constexpr TColor clGrayText = 0x80000011;
inline constexpr TColor clBtnText = 0x80000012;
inline constexpr TColor clBtnHighlight = 0x80000014;

constexpr bool IsSystemColor(TColor color) { return (color & 0xFF000000u) == 0x80000000u; }

constexpr TColor RGBColor(int red, int green, int blue)
{
    return TColor(red & 0xFF) | TColor(green & 0xFF) << 8 | TColor(blue & 0xFF) << 16;
}
constexpr int RedOf(TColor color) { return int(color & 0xFF); }
constexpr int GreenOf(TColor color) { return int(color >> 8 & 0xFF); }
constexpr int BlueOf(TColor color) { return int(color >> 16 & 0xFF); }

// The colour as Qt draws it; system colours come from the application
// palette at the moment of the call.
QColor toQColor(TColor color);

// A Qt colour as a direct TColor (alpha is dropped).
TColor fromQColor(const QColor& color);

// The direct colour that color stands for: system colours resolved, direct
// colours unchanged.
TColor ColorToRGB(TColor color);

// The identifier a colour is stored under in a form (clRed, clWindow, ...):
// the named direct colours, clNone and the colour scheme entries 0 to 24.
// Empty for any other colour, which is stored as its number.
QString ColorToIdent(TColor color);
// The colour an identifier names; false when it names none.
bool IdentToColor(const QString& ident, TColor& color);
