#include "platform/Colors.h"

#include <QColor>
#include <QGuiApplication>
#include <QPalette>

#include <gtest/gtest.h>

TEST(ColorsTest, DirectColoursKeepRedInTheLowByte)
{
    EXPECT_EQ(toQColor(clRed), QColor(255, 0, 0));
    EXPECT_EQ(toQColor(clBlue), QColor(0, 0, 255));
    EXPECT_EQ(toQColor(clGreen), QColor(0, 128, 0));
    EXPECT_EQ(fromQColor(QColor(0x12, 0x34, 0x56)), TColor(0x563412));
    EXPECT_EQ(ColorToRGB(0x00C8C8C8), TColor(0xC8C8C8));
}

TEST(ColorsTest, SystemColoursFollowTheApplicationPalette)
{
    const QPalette saved = QGuiApplication::palette();
    QPalette palette = saved;
    palette.setColor(QPalette::Active, QPalette::Base, QColor(1, 2, 3));
    palette.setColor(QPalette::Active, QPalette::Highlight, QColor(10, 20, 30));
    palette.setColor(QPalette::Active, QPalette::HighlightedText, QColor(11, 21, 31));
    palette.setColor(QPalette::Active, QPalette::Button, QColor(40, 50, 60));
    palette.setColor(QPalette::Active, QPalette::Dark, QColor(70, 80, 90));
    palette.setColor(QPalette::Active, QPalette::Light, QColor(200, 210, 220));
    palette.setColor(QPalette::Disabled, QPalette::Text, QColor(99, 99, 99));
    QGuiApplication::setPalette(palette);

    EXPECT_EQ(toQColor(clWindow), QColor(1, 2, 3));
    EXPECT_EQ(toQColor(clHighlight), QColor(10, 20, 30));
    EXPECT_EQ(toQColor(clHighlightText), QColor(11, 21, 31));
    EXPECT_EQ(toQColor(clBtnFace), QColor(40, 50, 60));
    EXPECT_EQ(toQColor(clBtnShadow), QColor(70, 80, 90));
    EXPECT_EQ(toQColor(clBtnHighlight), QColor(200, 210, 220));
    EXPECT_EQ(ColorToRGB(clGrayText), RGBColor(99, 99, 99));
    EXPECT_EQ(ColorToRGB(clWindow), TColor(0x030201));

    QGuiApplication::setPalette(saved);
}

TEST(ColorsTest, SystemColourValuesAreTheSchemeEntries)
{
    EXPECT_TRUE(IsSystemColor(clWindowFrame));
    EXPECT_FALSE(IsSystemColor(clWhite));
    EXPECT_EQ(clWindowText, 0x80000008u);
    EXPECT_EQ(clBtnText, 0x80000012u);
}

TEST(ColorsTest, NamedColoursHaveTheirIdentifierAndOthersNone)
{
    const std::pair<TColor, QString> named[]
        = { { clBlack, QStringLiteral("clBlack") }, { clSilver, QStringLiteral("clSilver") },
              { clFuchsia, QStringLiteral("clFuchsia") }, { clWindow, QStringLiteral("clWindow") },
              { clBtnHighlight, QStringLiteral("clBtnHighlight") }, { 0x80000000, QStringLiteral("clScrollBar") },
              { 0x80000018, QStringLiteral("clInfoBk") }, { clNone, QStringLiteral("clNone") } };
    for (const auto& [color, ident] : named) {
        EXPECT_EQ(ColorToIdent(color), ident);
        TColor back = 0x123456;
        EXPECT_TRUE(IdentToColor(ident, back)) << ident.toStdString();
        EXPECT_EQ(back, color);
    }
    for (const TColor other : { TColor(0x123456), TColor(0x80000019), TColor(0x01000000) })
        EXPECT_TRUE(ColorToIdent(other).isEmpty());
    TColor unchanged = clRed;
    EXPECT_FALSE(IdentToColor(QStringLiteral("clwindow"), unchanged));
    EXPECT_FALSE(IdentToColor(QString(), unchanged));
    EXPECT_EQ(unchanged, clRed);
}
