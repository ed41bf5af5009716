#include "views/Mcalf.h"

#include <QLineEdit>
#include <QDateEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include "ViewsTestSupport.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "views/Hcalf.h"

class McalfTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2024, 11, 20) };

    // Jumps the month calendar through the chooser, as the user does.
    void ChooseMonth(const QString& year, const QString& month)
    {
        MCalForm->Button2->click();
        ChYMForm->Edit1->setText(year);
        ChYMForm->Edit2->setText(month);
        ChYMForm->Button1->click();
    }
};

TEST_F(McalfTest, ShowsTodaysMonthWithHolidaysWhenTheyAreDaysOff)
{
    ProgramWindows program(data, "7=1\r\n[Start]\r\nShow=1\r\n");
    ASSERT_TRUE(program.Main().M1->isChecked());
    TStrColGrid& grid = *MCalForm->StrColGrid1;
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2024年11月"));
    EXPECT_EQ(grid.Cells(2, 3), QStringLiteral("文化の日"));
    EXPECT_EQ(CellColour(grid, 2, 3), clRed);
    EXPECT_EQ(CellColour(grid, 1, 3), clRed);
    EXPECT_EQ(grid.Cells(2, 4), QStringLiteral("振休"));
    EXPECT_EQ(grid.Cells(1, 4), QStringLiteral("月"));
    EXPECT_EQ(CellColour(grid, 1, 4), clBlack);
    EXPECT_EQ(grid.Cells(0, 30), QStringLiteral("30"));
    EXPECT_EQ(grid.Cells(0, 31), QString());
    EXPECT_TRUE(program.Main().D1->isEnabled());
    EXPECT_TRUE(program.Main().F1->isEnabled());
    EXPECT_FALSE(program.Main().D2->isEnabled());
}

TEST_F(McalfTest, StepsByMonthAndByTwelveMonths)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    ChooseMonth(QStringLiteral("2024"), QStringLiteral("1"));
    MCalForm->SpeedButton1->click();
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2023年12月"));
    MCalForm->SpeedButton3->click();
    MCalForm->SpeedButton3->click();
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2024年2月"));
    MCalForm->SpeedButton4->click();
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2023年2月"));
    MCalForm->SpeedButton5->click();
    MCalForm->SpeedButton5->click();
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2025年2月"));
    ChooseMonth(QStringLiteral("2024"), QStringLiteral("12"));
    MCalForm->SpeedButton3->click();
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2025年1月"));
    MCalForm->SpeedButton2->click();
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2024年11月"));
}

TEST_F(McalfTest, AnyCellOfARowOpensThatDay)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    ChooseMonth(QStringLiteral("2024"), QStringLiteral("2"));
    DoubleClickCell(*MCalForm->StrColGrid1, 3, 15);
    EXPECT_EQ(InputForm->DateTimePicker1->date(), QDate(2024, 2, 15));
    InputForm->SetItemIndex(2);
    InputForm->Edit1->setText(QString(31, u'a'));
    InputForm->Button1->click();
    EXPECT_EQ(MCalForm->StrColGrid1->Cells(2, 15), QStringLiteral("AM"));
    EXPECT_EQ(MCalForm->StrColGrid1->Cells(3, 15), QString(30, u'a'));
    EXPECT_EQ(LeaveStore::FindEntry(2024, 2, 15).Memo, QString(30, u'a'));
}

TEST_F(McalfTest, LeaveSavedOutsideTheShownMonthChangesNothing)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    DoubleClickCell(*MCalForm->StrColGrid1, 2, 5);
    InputForm->DateTimePicker1->setDate(QDate(2024, 12, 5)); // the user picks another month
    InputForm->SetItemIndex(1);
    InputForm->Button1->click();
    EXPECT_EQ(MCalForm->StrColGrid1->Cells(2, 5), QString());
    EXPECT_EQ(LeaveStore::FindEntry(2024, 12, 5).Kind, 1);
}

TEST_F(McalfTest, ClearingADayOfAnotherMonthLeavesTheShownMonthWhereItIs)
{
    LeaveStore::SaveEntry(2024, 10, 9, 1, QString());
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    MCalForm->SpeedButton1->click(); // 2024年10月
    ASSERT_EQ(MCalForm->Button2->text(), QStringLiteral("2024年10月"));
    program.Main().I1->trigger(); // today, 20 November 2024
    InputForm->SetItemIndex(0); // 通常
    InputForm->Button1->click();
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2024年10月"));
    EXPECT_EQ(MCalForm->StrColGrid1->Cells(2, 9), QStringLiteral("全"));

    // a day of the month on show is cleared there
    DoubleClickCell(*MCalForm->StrColGrid1, 2, 9);
    InputForm->SetItemIndex(0);
    InputForm->Button1->click();
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2024年10月"));
    EXPECT_EQ(MCalForm->StrColGrid1->Cells(2, 9), QString());
}

TEST_F(McalfTest, DayThirtyOneOfAThirtyDayMonthIsRefused)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    MCalForm->StrColGrid1->SetTopRow(31); // scrolled to the end
    DoubleClickCell(*MCalForm->StrColGrid1, 1, 31);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Invalid argument to date encode"));
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2024年11月"));
}

TEST_F(McalfTest, ColumnWidthsAreKeptWhenTheWindowGoesAndAtTheEnd)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    TStrColGrid& grid = *MCalForm->StrColGrid1;
    EXPECT_EQ(grid.ColWidths(2), 90);
    grid.SetColWidths(2, 200);
    program.Main().F1->trigger(); // back to the widths of the last close: none yet
    EXPECT_EQ(grid.ColWidths(2), 90);
    grid.SetColWidths(2, 200);
    program.Restart(); // the month calendar was open at the end
    EXPECT_EQ(Settings::MonthColumnWidths()[2], 200);
    EXPECT_EQ(MCalForm->StrColGrid1->ColWidths(2), 200);
    program.Main().D1->trigger();
    EXPECT_EQ(MCalForm->StrColGrid1->ColWidths(2), 90);
    MCalForm->StrColGrid1->SetColWidths(3, 150);
    program.Main().ToolButton3->click(); // closing it by opening another calendar saves too
    QTest::qWait(0);
    EXPECT_EQ(Settings::MonthColumnWidths(), (Settings::MonthWidths { 40, 40, 90, 150 }));
    EXPECT_FALSE(program.Main().D1->isEnabled());
    EXPECT_TRUE(program.Main().D2->isEnabled());
}

TEST_F(McalfTest, AWidthInTheSettingsThatNoScreenCouldShowMeansTheDefault)
{
    ProgramWindows program(
        data, "[Start]\r\nShow=1\r\n[Size]\r\nMTW0=-7\r\nMTW1=abc\r\nMTW2=2147483647\r\nMTW3=8193\r\n");
    TStrColGrid& grid = *MCalForm->StrColGrid1;
    EXPECT_EQ(grid.ColWidths(0), 40);
    EXPECT_EQ(grid.ColWidths(1), 40);
    EXPECT_EQ(grid.ColWidths(2), 90);
    EXPECT_EQ(grid.ColWidths(3), 120);
    Settings::WriteMonthColumnWidths({ 0, 8192, 90, 120 }); // the limits themselves are kept
    program.Main().F1->trigger();
    EXPECT_EQ(grid.ColWidths(0), 0);
    EXPECT_EQ(grid.ColWidths(1), 8192);
}
