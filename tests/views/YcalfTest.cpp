#include "views/Ycalf.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QRadioButton>
#include <QToolButton>

#include <gtest/gtest.h>

#include "ViewsTestSupport.h"
#include "core/LeaveStore.h"
#include "views/CalendarWindow.h"
#include "views/Mcalf.h"

class YcalfTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2025, 3, 15) };

    QByteArray DataFile() const { return data.Bytes(QStringLiteral("Holiday.d00")); }
};

TEST_F(YcalfTest, OpensOnTheFiscalYearOfTodayFillingTheMainWindow)
{
    ProgramWindows program(data);
    ASSERT_TRUE(program.Main().Y1->isChecked());
    ASSERT_NE(YcalForm, nullptr);
    EXPECT_EQ(YcalForm->Button2->text(), QStringLiteral("2024年度"));
    const QWidget* frame = YcalForm->parentWidget();
    EXPECT_EQ(frame->geometry(), QRect(0, 0, 1000 - 15, 700 - 105));
    EXPECT_EQ(YcalForm->StrColGrid1->width(), frame->width() - 25);
    EXPECT_EQ(YcalForm->StrColGrid1->height(), frame->height() - 70);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    EXPECT_EQ(grid.Cells(1, 0), QStringLiteral("1"));
    EXPECT_EQ(grid.Cells(0, 1), QStringLiteral("4"));
    EXPECT_EQ(grid.Cells(0, 10), QStringLiteral("1"));
    for (int col = 0; col < 32; ++col)
        EXPECT_EQ(grid.ColWidths(col), 23);
    // 2024年度: February 2025 has no 29th to 31st
    for (int day : { 29, 30, 31 })
        EXPECT_EQ(grid.Cells(day, 11), QStringLiteral("／"));
    EXPECT_EQ(grid.Cells(6, 1), QStringLiteral("土")); // 6 April 2024
    EXPECT_EQ(CellColour(grid, 6, 1), clBlue);
    EXPECT_EQ(CellColour(grid, 7, 1), clRed);
    for (QAction* width : { program.Main().D1, program.Main().F1, program.Main().D2, program.Main().F2 })
        EXPECT_FALSE(width->isEnabled());
}

TEST_F(YcalfTest, AprilStartsTheNewFiscalYear)
{
    FixedToday april(QDate(2025, 4, 1));
    ProgramWindows program(data);
    EXPECT_EQ(YcalForm->Button2->text(), QStringLiteral("2025年度"));
}

TEST_F(YcalfTest, NavigationButtonsMoveOneFiscalYearAndBackToToday)
{
    ProgramWindows program(data);
    YcalForm->SpeedButton1->click();
    EXPECT_EQ(YcalForm->Button2->text(), QStringLiteral("2023年度"));
    // fiscal year 2023 ends in leap February 2024
    EXPECT_EQ(YcalForm->StrColGrid1->Cells(29, 11), QString());
    EXPECT_EQ(YcalForm->StrColGrid1->Cells(30, 11), QStringLiteral("／"));
    YcalForm->SpeedButton3->click();
    YcalForm->SpeedButton3->click();
    EXPECT_EQ(YcalForm->Button2->text(), QStringLiteral("2025年度"));
    YcalForm->SpeedButton2->click();
    EXPECT_EQ(YcalForm->Button2->text(), QStringLiteral("2024年度"));
}

TEST_F(YcalfTest, DoubleClickRecordsLeaveThatShowsAtOnceAndClearsAgain)
{
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    DoubleClickCell(grid, 31, 10); // the row headed 1, column 31: 31 January 2025
    ASSERT_TRUE(InputForm->isVisible());
    EXPECT_EQ(InputForm->DateTimePicker1->date(), QDate(2025, 1, 31));
    EXPECT_EQ(InputForm->ItemIndex(), 0);

    InputForm->RadioButtons->button(1)->click(); // １日休暇
    InputForm->Edit1->setText(QStringLiteral("旅行"));
    QTest::mouseClick(InputForm->Button1, Qt::LeftButton);
    EXPECT_FALSE(InputForm->isVisible());
    EXPECT_EQ(grid.Cells(31, 10), QStringLiteral("全"));
    EXPECT_EQ(CellColour(grid, 31, 10), clGreen);
    const QByteArray record = DataFile();
    ASSERT_EQ(record.size(), 64);
    EXPECT_EQ(record.mid(18, 5), QByteArray("\xE9\x07\x01\x1F\x01", 5)); // 2025, 1, 31, kind 1

    DoubleClickCell(grid, 31, 10);
    EXPECT_EQ(InputForm->ItemIndex(), 1);
    EXPECT_EQ(InputForm->Edit1->text(), QStringLiteral("旅行"));
    InputForm->RadioButtons->button(0)->click(); // 通常
    InputForm->Button1->click();
    EXPECT_EQ(grid.Cells(31, 10), QString()); // a Friday: nothing again
    EXPECT_EQ(DataFile().at(16), 1); // the record is cleared, not removed
}

TEST_F(YcalfTest, ClearingADayFallsBackToItsWeekdayCode)
{
    LeaveStore::SaveEntry(2025, 2, 9, 5, QString()); // a Sunday
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    EXPECT_EQ(grid.Cells(9, 11), QStringLiteral("夏"));
    DoubleClickCell(grid, 9, 11);
    InputForm->SetItemIndex(0);
    InputForm->Button1->click();
    EXPECT_EQ(grid.Cells(9, 11), QStringLiteral("日"));
    EXPECT_EQ(CellColour(grid, 9, 11), clRed);
}

TEST_F(YcalfTest, ClearingADayOfAnotherFiscalYearLeavesTheShownYearWhereItIs)
{
    LeaveStore::SaveEntry(2023, 4, 3, 1, QString());
    ProgramWindows program(data);
    YcalForm->SpeedButton1->click(); // 2023年度
    program.Main().I1->trigger(); // File, 入力: today, 15 March 2025
    ASSERT_EQ(InputForm->DateTimePicker1->date(), QDate(2025, 3, 15));
    InputForm->SetItemIndex(0); // 通常
    InputForm->Button1->click();
    EXPECT_EQ(YcalForm->Button2->text(), QStringLiteral("2023年度"));
    EXPECT_EQ(YcalForm->StrColGrid1->Cells(3, 1), QStringLiteral("全"));
}

TEST_F(YcalfTest, ARangeSelectionOpensItsTopLeftDay)
{
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    ClickCell(grid, 1, 1);
    QTest::mouseClick(grid.viewport(), Qt::LeftButton, Qt::ShiftModifier, CellCentre(grid, 3, 2));
    YcalForm->Button1->click();
    EXPECT_EQ(InputForm->DateTimePicker1->date(), QDate(2024, 4, 1));
}

TEST_F(YcalfTest, TheThirtiethOfFebruaryIsRefusedAndTheDialogKeepsItsValues)
{
    ProgramWindows program(data);
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    DoubleClickCell(grid, 3, 1); // 3 April 2024
    InputForm->Edit1->setText(QStringLiteral("typed"));
    DoubleClickCell(grid, 30, 11); // "／": 30 February 2025
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Invalid argument to date encode"));
    EXPECT_EQ(dialogs.messages[0].caption, QStringLiteral("Valdemor"));
    EXPECT_TRUE(InputForm->isVisible());
    EXPECT_EQ(InputForm->DateTimePicker1->date(), QDate(2024, 4, 3));
    EXPECT_EQ(InputForm->Edit1->text(), QStringLiteral("typed"));
    EXPECT_TRUE(DataFile().isEmpty());
}

TEST_F(YcalfTest, ButtonsExplainThemselvesAndTheBackgroundClearsTheStatusLine)
{
    ProgramWindows program(data);
    auto move = [](QWidget* w) {
        QMouseEvent e(QEvent::MouseMove, QPointF(3, 3), w->mapToGlobal(QPointF(3, 3)), Qt::NoButton, Qt::NoButton,
            Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    };
    move(YcalForm->SpeedButton1);
    EXPECT_EQ(program.Main().StatusText(), QStringLiteral("ボタンをクリックすると昨年度に変更できます。"));
    move(YcalForm->Button1);
    EXPECT_EQ(program.Main().StatusText(), QStringLiteral("ボタンをクリックするとデータを入力をできます。"));
    move(YcalForm->StrColGrid1->viewport());
    EXPECT_EQ(program.Main().StatusText(), QStringLiteral("ボタンをクリックするとデータを入力をできます。"));
    move(YcalForm);
    EXPECT_EQ(program.Main().StatusText(), QString());
}

TEST_F(YcalfTest, EveryCalendarTakesItsButtonExplanationAlongWhenItCloses)
{
    ProgramWindows program(data);
    TMainform& main = program.Main();
    for (QToolButton* open : { main.ToolButton1, main.ToolButton2, main.ToolButton3 }) {
        QTest::mouseClick(open, Qt::LeftButton);
        QTest::qWait(0);
        const QList<QMdiSubWindow*> frames = main.MdiArea()->subWindowList();
        ASSERT_EQ(frames.size(), 1);
        auto* calendar = qobject_cast<TCalendarWindow*>(frames[0]->widget());
        ASSERT_NE(calendar, nullptr);
        QTest::mouseMove(calendar->Button2);
        ASSERT_FALSE(main.StatusText().isEmpty()) << open->objectName().toStdString();
        frames[0]->close();
        EXPECT_EQ(main.StatusText(), QString()) << open->objectName().toStdString();
    }
    // Another window's explanation stays: the tool button's that replaced
    // the calendar.
    QTest::mouseClick(main.ToolButton1, Qt::LeftButton);
    QTest::mouseMove(main.ToolButton2);
    QTest::mouseClick(main.ToolButton2, Qt::LeftButton);
    QTest::qWait(0);
    ASSERT_TRUE(main.M1->isChecked());
    EXPECT_EQ(main.StatusText(), QStringLiteral("月カレンダーを表示します。"));
}

TEST_F(YcalfTest, ChoosingAnotherCalendarClosesThisOne)
{
    ProgramWindows program(data);
    program.Main().ToolButton2->click();
    QTest::qWait(0);
    EXPECT_FALSE(program.Main().Y1->isChecked());
    EXPECT_TRUE(program.Main().M1->isChecked());
    EXPECT_EQ(YcalForm, nullptr);
    EXPECT_EQ(program.Main().MdiArea()->subWindowList().size(), 1);
    program.Main().ToolButton2->click(); // the open one again: nothing
    EXPECT_EQ(program.Main().MdiArea()->subWindowList().size(), 1);
}
