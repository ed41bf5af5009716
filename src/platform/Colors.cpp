#include "platform/Colors.h"

#include <array>

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

namespace {

// Entry nn of the desktop colour scheme and the palette role that plays its
// part in a Qt application. Entries not listed here fall back to the window
// text colour, so that an unknown scheme entry stays readable.
QColor SystemColor(int entry)
{
    const QPalette palette = QGuiApplication::palette();
    switch (entry) {
    case 0: // scroll bar
    case 15: // button face
        return palette.color(QPalette::Active, QPalette::Button);
    case 1: // desktop
    case 12: // application work space
    case 16: // button shadow
        return palette.color(QPalette::Active, QPalette::Dark);
    case 4: // menu
    case 5: // window
        return palette.color(QPalette::Active, QPalette::Base);
    case 6: // window frame
    case 21: // 3D dark shadow
        return palette.color(QPalette::Active, QPalette::Shadow);
    case 13: // highlight
        return palette.color(QPalette::Active, QPalette::Highlight);
    case 14: // highlight text
        return palette.color(QPalette::Active, QPalette::HighlightedText);
    case 17: // grey (disabled) text
        return palette.color(QPalette::Disabled, QPalette::Text);
    case 18: // button text
        return palette.color(QPalette::Active, QPalette::ButtonText);
    case 20: // button highlight
        return palette.color(QPalette::Active, QPalette::Light);
    case 22: // 3D light
        return palette.color(QPalette::Active, QPalette::Midlight);
    case 23: // tooltip text
        return palette.color(QPalette::Active, QPalette::ToolTipText);
    case 24: // tooltip background
        return palette.color(QPalette::Active, QPalette::ToolTipBase);
    default: // 7 menu text, 8 window text and the rest
        return palette.color(QPalette::Active, QPalette::Text);
    }
}

struct NamedColor {
    TColor color;
    const char16_t* ident;
};

const std::array<NamedColor, 42> NamedColors = { {
    { clBlack, u"clBlack" },
    { clMaroon, u"clMaroon" },
    { clGreen, u"clGreen" },
    { clOlive, u"clOlive" },
    { clNavy, u"clNavy" },
    { clPurple, u"clPurple" },
    { clTeal, u"clTeal" },
    { clGray, u"clGray" },
    { clSilver, u"clSilver" },
    { clRed, u"clRed" },
    { clLime, u"clLime" },
    { clYellow, u"clYellow" },
    { clBlue, u"clBlue" },
    { clFuchsia, u"clFuchsia" },
    { clAqua, u"clAqua" },
    { clWhite, u"clWhite" },
    { clNone, u"clNone" },
    // The colour scheme, entries 0 to 24.
    { 0x80000000, u"clScrollBar" },
    { 0x80000001, u"clBackground" },
    { 0x80000002, u"clActiveCaption" },
    { 0x80000003, u"clInactiveCaption" },
    { 0x80000004, u"clMenu" },
    { clWindow, u"clWindow" },
    { clWindowFrame, u"clWindowFrame" },
    { 0x80000007, u"clMenuText" },
    { clWindowText, u"clWindowText" },
    { 0x80000009, u"clCaptionText" },
    { 0x8000000A, u"clActiveBorder" },
    { 0x8000000B, u"clInactiveBorder" },
    { 0x8000000C, u"clAppWorkSpace" },
    { clHighlight, u"clHighlight" },
    { clHighlightText, u"clHighlightText" },
    { clBtnFace, u"clBtnFace" },
    { clBtnShadow, u"clBtnShadow" },
    { clGrayText, u"clGrayText" },
    { clBtnText, u"clBtnText" },
    { 0x80000013, u"clInactiveCaptionText" },
    { clBtnHighlight, u"clBtnHighlight" },
    { 0x80000015, u"cl3DDkShadow" },
    { 0x80000016, u"cl3DLight" },
    { 0x80000017, u"clInfoText" },
    { 0x80000018, u"clInfoBk" },
} };

} // namespace

QString ColorToIdent(TColor color)
{
    for (const NamedColor& named : NamedColors)
        if (named.color == color)
            return QString::fromUtf16(named.ident);
    return {};
}

bool IdentToColor(const QString& ident, TColor& color)
{
    for (const NamedColor& named : NamedColors) {
        if (ident == QStringView(named.ident)) {
            color = named.color;
            return true;
        }
    }
    return false;
}

QColor toQColor(TColor color)
{
    if (color == clNone)
        return QColor(Qt::transparent);
    if (IsSystemColor(color))
        return SystemColor(int(color & 0xFF));
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

TColor fromQColor(const QColor& color)
{
    const QColor rgb = color.toRgb();
    return RGBColor(rgb.red(), rgb.green(), rgb.blue());
}

TColor ColorToRGB(TColor color)
{
    if (IsSystemColor(color))
        return fromQColor(SystemColor(int(color & 0xFF)));
    return color & 0x00FFFFFF;
}
