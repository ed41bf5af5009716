#include "app/About.h"

#include <QApplication>
#include <QFrame>
#include <QIcon>
#include <QLabel>
#include <QPushButton>

#include <gtest/gtest.h>

#include "views/ViewsTestSupport.h"

class AboutBoxTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;

    static void Open(TMainform& main)
    {
        main.About1->trigger();
        ASSERT_TRUE(AboutBox->isVisible());
        ASSERT_TRUE(QTest::qWaitForWindowExposed(AboutBox));
    }
};

TEST_F(AboutBoxTest, ShowsTitleVersionAndNoticeOnTheBevelledPanel)
{
    ProgramWindows program(data);
    ASSERT_NE(AboutBox, nullptr);
    EXPECT_FALSE(AboutBox->isVisible());
    Open(program.Main());

    EXPECT_EQ(AboutBox->windowTitle(), QStringLiteral("バージョン情報"));
    EXPECT_EQ(AboutBox->size(), QSize(252, 175));
    EXPECT_EQ(AboutBox->minimumSize(), AboutBox->maximumSize());
    EXPECT_TRUE(AboutBox->windowFlags() & Qt::WindowStaysOnTopHint);
    // a title and a close box only: without the customised hints the window
    // manager adds minimise and maximise boxes
    EXPECT_TRUE(AboutBox->windowFlags() & Qt::CustomizeWindowHint);
    EXPECT_TRUE(AboutBox->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_FALSE(AboutBox->windowFlags() & Qt::WindowMinMaxButtonsHint);
    const QPoint offCentre = AboutBox->geometry().center() - program.Main().frameGeometry().center();
    EXPECT_LE(std::abs(offCentre.x()), 2);
    EXPECT_LE(std::abs(offCentre.y()), 2);
    EXPECT_EQ(AboutBox->font().pixelSize(), 13);

    EXPECT_EQ(AboutBox->Panel1->geometry(), QRect(8, 8, 233, 105));
    EXPECT_EQ(AboutBox->ProgramIcon->geometry(), QRect(16, 16, 41, 41));
    EXPECT_EQ(AboutBox->ProductName->pos(), QPoint(64, 16));
    EXPECT_EQ(AboutBox->ProductName->text(), QStringLiteral("Valdemor"));
    EXPECT_EQ(AboutBox->Version->pos(), QPoint(136, 40));
    EXPECT_EQ(AboutBox->Version->text(), QStringLiteral("Version 1.12"));
    EXPECT_EQ(AboutBox->Copyright->pos(), QPoint(8, 72));
    for (QLabel* label : { AboutBox->ProgramIcon, AboutBox->ProductName, AboutBox->Version, AboutBox->Copyright }) {
        EXPECT_EQ(label->parentWidget(), AboutBox->Panel1);
        // whole, inside the panel's bevels
        EXPECT_LE(label->sizeHint().width(), label->width()) << label->objectName().toStdString();
        EXPECT_LE(label->geometry().right(), 233 - 3) << label->objectName().toStdString();
    }
    // The notice is one line of Japanese composed at creation.
    const QString notice = AboutBox->Copyright->text();
    EXPECT_GT(notice.size(), 1);
    EXPECT_FALSE(notice.contains(u'\n'));
    EXPECT_TRUE(std::any_of(notice.begin(), notice.end(), [](QChar c) { return c.unicode() >= 0x3000; }));

    EXPECT_EQ(AboutBox->OKButton->geometry(), QRect(85, 130, 90, 31));
    EXPECT_EQ(AboutBox->OKButton->text(), QStringLiteral("OK"));
    EXPECT_FALSE(AboutBox->OKButton->icon().isNull());
    EXPECT_EQ(AboutBox->focusWidget(), AboutBox->OKButton);

    // Outer bevel lowered, inner raised.
    const QImage panel = AboutBox->Panel1->grab().toImage();
    const QRgb shadow = AboutBox->palette().color(QPalette::Dark).rgb();
    const QRgb light = AboutBox->palette().color(QPalette::Light).rgb();
    ASSERT_NE(shadow, light);
    EXPECT_EQ(panel.pixel(0, 0), shadow);
    EXPECT_EQ(panel.pixel(100, 0), shadow);
    EXPECT_EQ(panel.pixel(0, 50), shadow);
    EXPECT_EQ(panel.pixel(232, 104), light);
    EXPECT_EQ(panel.pixel(100, 104), light);
    EXPECT_EQ(panel.pixel(1, 1), light);
    EXPECT_EQ(panel.pixel(100, 1), light);
    EXPECT_EQ(panel.pixel(231, 103), shadow);
    EXPECT_EQ(panel.pixel(231, 50), shadow);
}

TEST_F(AboutBoxTest, TheIconIsTheTitleBarsStretchedTo41Pixels)
{
    ProgramWindows program(data);
    Open(program.Main());
    const QIcon titleBar = QApplication::windowIcon();
    ASSERT_FALSE(titleBar.isNull());
    EXPECT_EQ(program.Main().windowIcon().cacheKey(), titleBar.cacheKey());
    const QImage source = titleBar.pixmap(titleBar.actualSize(QSize(256, 256))).toImage();
    ASSERT_LT(source.width(), 41); // so that it has to be stretched

    const QImage shown = AboutBox->ProgramIcon->grab().toImage().convertToFormat(QImage::Format_ARGB32);
    ASSERT_EQ(shown.size(), QSize(41, 41));
    const QImage expected
        = source.convertToFormat(QImage::Format_ARGB32).scaled(41, 41, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    int opaque = 0;
    int same = 0;
    for (int y = 0; y < 41; ++y) {
        for (int x = 0; x < 41; ++x) {
            const QColor want = expected.pixelColor(x, y);
            if (want.alpha() != 255)
                continue;
            ++opaque;
            const QColor got = shown.pixelColor(x, y);
            if (std::abs(got.red() - want.red()) <= 8 && std::abs(got.green() - want.green()) <= 8
                && std::abs(got.blue() - want.blue()) <= 8)
                ++same;
        }
    }
    EXPECT_GT(opaque, 41 * 41 / 4);
    EXPECT_GE(same, opaque * 95 / 100);
}

TEST_F(AboutBoxTest, ShowingItAgainOnlyBringsItToTheFrontAndOkOrEscHidesIt)
{
    ProgramWindows program(data);
    Open(program.Main());
    AboutBox->move(AboutBox->pos() + QPoint(40, 30));
    const QPoint moved = AboutBox->pos();
    program.Main().About1->trigger();
    EXPECT_TRUE(AboutBox->isVisible());
    EXPECT_EQ(AboutBox->pos(), moved);

    QTest::keyClick(AboutBox->OKButton, Qt::Key_Return);
    EXPECT_FALSE(AboutBox->isVisible());
    Open(program.Main());
    QTest::keyClick(AboutBox->OKButton, Qt::Key_Escape);
    EXPECT_FALSE(AboutBox->isVisible());
    Open(program.Main());
    QTest::mouseClick(AboutBox->OKButton, Qt::LeftButton);
    EXPECT_FALSE(AboutBox->isVisible());
    EXPECT_TRUE(dialogs.messages.empty());
}
