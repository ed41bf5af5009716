#include "platform/GlyphButton.h"

#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

// The glyph comes from the icon theme when the window is first shown, not
// when it is made at start, and it is the style's own.
TEST(GlyphButtonTest, TheGlyphIsLookedUpWhenTheButtonIsFirstShown)
{
    QWidget window;
    auto* button = new TGlyphButton(QStyle::SP_DialogCloseButton, QStringLiteral("閉じる"), &window);
    EXPECT_EQ(button->text(), QStringLiteral("閉じる"));
    EXPECT_TRUE(button->icon().isNull());

    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    ASSERT_FALSE(button->icon().isNull());
    const QSize size = button->iconSize();
    const QImage shown = button->icon().pixmap(size).toImage();
    const QImage style = button->style()->standardIcon(QStyle::SP_DialogCloseButton).pixmap(size).toImage();
    EXPECT_EQ(shown, style);
}
