#include "views/Hcalf.h"

#include <algorithm>

#include <QDateEdit>
#include <QFontMetrics>
#include <QToolButton>

#include <gtest/gtest.h>

#include "ViewsTestSupport.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "views/Ycalf.h"
#include "widgets/StrCGrid.h"

class HcalfTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2025, 3, 15) };
};

TEST_F(HcalfTest, ListsTheFiscalYearsLeaveInDateOrder)
{
    LeaveStore::SaveEntry(2025, 1, 6, 1, QStringLiteral("初詣"));
    LeaveStore::SaveEntry(2024, 12, 28, 6, QString());
    LeaveStore::SaveEntry(2024, 4, 30, 7, QString());
    LeaveStore::SaveEntry(2025, 4, 1, 1, QString()); // next fiscal year
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n");
    ASSERT_TRUE(program.Main().H2->isChecked());
    TStrColGrid& grid = *HCalForm->StrColGrid1;
    EXPECT_EQ(HCalForm->Button2->text(), QStringLiteral("2024年度"));
    ASSERT_EQ(grid.RowCount(), 4);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("2024/04/30"));
    EXPECT_EQ(grid.Cells(1, 2), QStringLiteral("2024/12/28"));
    EXPECT_EQ(grid.Cells(1, 3), QStringLiteral("2025/01/06"));
    EXPECT_EQ(grid.Cells(0, 3), QStringLiteral("3"));
    EXPECT_EQ(grid.Cells(2, 3), QStringLiteral("月"));
    EXPECT_EQ(grid.Cells(3, 3), QStringLiteral("全"));
    EXPECT_EQ(grid.Cells(4, 3), QStringLiteral("初詣"));
    EXPECT_FALSE(program.Main().D1->isEnabled());
    EXPECT_TRUE(program.Main().D2->isEnabled());
    EXPECT_TRUE(program.Main().F2->isEnabled());
}

TEST_F(HcalfTest, AnEmptyYearHasOneBlankRowAndInputOpensToday)
{
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n");
    TStrColGrid& grid = *HCalForm->StrColGrid1;
    EXPECT_EQ(grid.RowCount(), 2);
    EXPECT_EQ(grid.Cells(1, 1), QString());
    HCalForm->Button1->click();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(InputForm->DateTimePicker1->date(), QDate(2025, 3, 15));
}

TEST_F(HcalfTest, AnyCellOfARowOpensItsDateAndSavingRefillsTheList)
{
    LeaveStore::SaveEntry(2024, 5, 3, 1, QString());
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n");
    TStrColGrid& grid = *HCalForm->StrColGrid1;
    DoubleClickCell(grid, 4, 1);
    EXPECT_EQ(InputForm->DateTimePicker1->date(), QDate(2024, 5, 3));
    InputForm->DateTimePicker1->setDate(QDate(2024, 5, 2));
    InputForm->SetItemIndex(8);
    InputForm->Button1->click();
    ASSERT_EQ(grid.RowCount(), 3);
    EXPECT_EQ(grid.Cells(1, 1), QStringLiteral("2024/05/02"));
    EXPECT_EQ(grid.Cells(3, 1), QStringLiteral("特"));
}

TEST_F(HcalfTest, WidthsAreKeptOnlyWhenTheWindowIsClosed)
{
    {
        ProgramWindows program(data, "[Start]\r\nShow=2\r\n");
        HCalForm->StrColGrid1->SetColWidths(4, 300);
    } // the program ends with the list open: nothing is written
    EXPECT_EQ(Settings::HolidayColumnWidths()[4], 150);

    ProgramWindows program(data);
    program.Main().ToolButton3->click();
    EXPECT_EQ(HCalForm->StrColGrid1->ColWidths(4), 150);
    HCalForm->StrColGrid1->SetColWidths(4, 300);
    program.Main().ToolButton1->click();
    QTest::qWait(0);
    EXPECT_EQ(Settings::HolidayColumnWidths()[4], 300);
    for (QAction* width : { program.Main().D1, program.Main().F1, program.Main().D2, program.Main().F2 })
        EXPECT_FALSE(width->isEnabled());
    program.Main().ToolButton3->click();
    EXPECT_EQ(HCalForm->StrColGrid1->ColWidths(4), 300);
    program.Main().D2->trigger();
    EXPECT_EQ(HCalForm->StrColGrid1->ColWidths(4), 150);
    program.Main().F2->trigger();
    EXPECT_EQ(HCalForm->StrColGrid1->ColWidths(4), 300);
}

TEST_F(HcalfTest, AHugeWidthInTheSettingsMeansTheDefault)
{
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n[Size]\r\nHTW1=2147483647\r\nHTW4=-2147483648\r\n");
    const int dateWidth = std::max(70, HCalForm->DateColumnWidth());
    EXPECT_EQ(HCalForm->StrColGrid1->ColWidths(1), dateWidth);
    EXPECT_EQ(HCalForm->StrColGrid1->ColWidths(4), 150);
    Settings::WriteHolidayColumnWidths({ 40, 100000, 40, 60, 150 });
    program.Main().F2->trigger();
    EXPECT_EQ(HCalForm->StrColGrid1->ColWidths(1), dateWidth);
}

TEST_F(HcalfTest, TheDateColumnStartsWideEnoughForADateAndKeepsADraggedWidth)
{
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n");
    TStrColGrid& grid = *HCalForm->StrColGrid1;
    // A desktop's font larger than the test machine's.
    grid.Font().SetSize(grid.Font().Size() * 3 / 2);
    program.Main().D2->trigger(); // the first widths
    const QFontMetrics metrics(grid.Font().toQFont());
    EXPECT_GE(grid.ColWidths(1), metrics.horizontalAdvance(QStringLiteral("2026/11/20")) + 4);
    grid.SetColWidths(1, 60);
    program.Main().ToolButton1->click();
    program.Main().ToolButton3->click();
    EXPECT_EQ(HCalForm->StrColGrid1->ColWidths(1), 60);
}

TEST_F(HcalfTest, NavigationMovesByFiscalYear)
{
    LeaveStore::SaveEntry(2023, 6, 1, 1, QString());
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n");
    HCalForm->SpeedButton1->click();
    EXPECT_EQ(HCalForm->Button2->text(), QStringLiteral("2023年度"));
    EXPECT_EQ(HCalForm->StrColGrid1->Cells(1, 1), QStringLiteral("2023/06/01"));
    HCalForm->SpeedButton3->click();
    HCalForm->SpeedButton3->click();
    EXPECT_EQ(HCalForm->Button2->text(), QStringLiteral("2025年度"));
    HCalForm->SpeedButton2->click();
    EXPECT_EQ(HCalForm->Button2->text(), QStringLiteral("2024年度"));
}
