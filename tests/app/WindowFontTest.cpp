#include "app/WindowFont.h"

#include <QApplication>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPushButton>

#include <gtest/gtest.h>

#include "core/LeaveStore.h"
#include "platform/Canvas.h"
#include "views/Hcalf.h"
#include "views/Mcalf.h"
#include "views/ViewsTestSupport.h"
#include "widgets/StrCGrid.h"

// The default widths of the windows were made for the window font; its
// stand-in must hold the same texts.
class WindowFontTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2026, 12, 3) };
};

TEST_F(WindowFontTest, TheMonthCaptionFitsItsButtonWithAMargin)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    const QPushButton& caption = *MCalForm->Button2;
    ASSERT_EQ(caption.text(), QStringLiteral("2026年12月"));
    ASSERT_EQ(caption.width(), 73);
    // the button's frame and padding take about six pixels a side
    EXPECT_LE(QFontMetrics(caption.font()).horizontalAdvance(caption.text()) + 2 * 6, caption.width());
}

TEST_F(WindowFontTest, ADateFitsItsColumnOfTheHolidayList)
{
    LeaveStore::SaveEntry(2025, 6, 3, 1, QString());
    FixedToday june(QDate(2025, 6, 3));
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n");
    const TStrColGrid& grid = *HCalForm->StrColGrid1;
    ASSERT_EQ(grid.Cells(1, 1), QStringLiteral("2025/06/03"));
    ASSERT_EQ(grid.ColWidths(1), 70);
    // two pixels of the cell on either side stay free
    EXPECT_LE(QFontMetrics(grid.font()).horizontalAdvance(grid.Cells(1, 1)) + 2 * 2, grid.ColWidths(1));
}

TEST_F(WindowFontTest, TheStandInIsAProportionalGothicOfTheWindowFontsHeight)
{
    InstallWindowFont();
    const QFontMetrics metrics(WindowFont());
    EXPECT_EQ(metrics.height(), 12);
    EXPECT_LT(metrics.horizontalAdvance(QStringLiteral("iiii")), metrics.horizontalAdvance(QStringLiteral("MMMM")));
}

// A font that names a missing family costs the toolkit a failed search and a
// fallback sort for every weight and size before the substitute is tried.
TEST_F(WindowFontTest, TheWindowsAndTheGridsAskForTheFaceTheyAreDrawnWith)
{
    InstallWindowFont();
    const QFont grid = TFont().toQFont();
    for (const QFont& font : { WindowFont(), grid, QApplication::font() })
        EXPECT_EQ(font.family(), QFontInfo(font).family());
}
