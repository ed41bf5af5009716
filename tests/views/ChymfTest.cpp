#include "views/Chymf.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>

#include <gtest/gtest.h>

#include "ViewsTestSupport.h"
#include "views/Inputf.h"
#include "platform/FixedDialog.h"
#include "platform/UpDown.h"
#include "views/Hcalf.h"
#include "views/Mcalf.h"
#include "views/Ycalf.h"

class ChymfTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(1999, 12, 24) };
};

TEST_F(ChymfTest, FromTheMonthCalendarItAsksForYearAndMonth)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    MCalForm->Button2->click();
    ASSERT_TRUE(ChYMForm->isVisible());
    EXPECT_EQ(ChYMForm->windowTitle(), QStringLiteral("年月の変更－月カレンダー"));
    EXPECT_EQ(ChYMForm->Label3->text(), QStringLiteral("変更する年月を入力して下さい。"));
    EXPECT_EQ(ChYMForm->Label1->text(), QStringLiteral("年"));
    EXPECT_EQ(ChYMForm->Edit1->text(), QStringLiteral("1999"));
    EXPECT_EQ(ChYMForm->Edit2->text(), QStringLiteral("12"));
    EXPECT_TRUE(ChYMForm->Edit2->isVisible());
    EXPECT_TRUE(ChYMForm->UpDown2->isVisible());
    ChYMForm->Edit1->setText(QStringLiteral("2001"));
    ChYMForm->Edit2->setText(QStringLiteral("7"));
    ChYMForm->Button1->click();
    EXPECT_FALSE(ChYMForm->isVisible());
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2001年7月"));
}

TEST_F(ChymfTest, FromTheHolidayCalendarItAsksForAFiscalYearOnly)
{
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n");
    HCalForm->Button2->click();
    EXPECT_EQ(ChYMForm->windowTitle(), QStringLiteral("年度の変更－休日カレンダー"));
    EXPECT_EQ(ChYMForm->Label3->text(), QStringLiteral("変更する年度を入力して下さい。"));
    EXPECT_EQ(ChYMForm->Label1->text(), QStringLiteral("年度"));
    EXPECT_FALSE(ChYMForm->Edit2->isVisible());
    EXPECT_FALSE(ChYMForm->Label2->isVisible());
    ChYMForm->Edit1->setText(QStringLiteral("2010"));
    ChYMForm->Button1->click();
    EXPECT_EQ(HCalForm->Button2->text(), QStringLiteral("2010年度"));
}

TEST_F(ChymfTest, FromTheFiscalYearCalendarItRefillsThatCalendar)
{
    ProgramWindows program(data);
    YcalForm->Button2->click();
    EXPECT_EQ(ChYMForm->windowTitle(), QStringLiteral("年度の変更－年度カレンダー"));
    EXPECT_EQ(ChYMForm->Edit1->text(), QStringLiteral("1999"));
    ChYMForm->Edit1->setText(QStringLiteral("2024"));
    ChYMForm->Button1->click();
    EXPECT_EQ(YcalForm->Button2->text(), QStringLiteral("2024年度"));
    EXPECT_EQ(YcalForm->StrColGrid1->Cells(29, 11), QStringLiteral("／"));
}

TEST_F(ChymfTest, BadNumbersAreRefusedAndTheFormStaysOpen)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    MCalForm->Button2->click();
    ChYMForm->Edit2->setText(QStringLiteral("x1"));
    ChYMForm->Button1->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("'x1' is not a valid integer value"));
    EXPECT_TRUE(ChYMForm->isVisible());
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("1999年12月"));

    // month 13: the caption is written, then the date fails
    ChYMForm->Edit2->setText(QStringLiteral("13"));
    ChYMForm->Button1->click();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_EQ(dialogs.messages[1].text, QStringLiteral("Invalid argument to date encode"));
    EXPECT_TRUE(ChYMForm->isVisible());
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("1999年13月"));
}

TEST_F(ChymfTest, FiscalYearZeroChangesNothing)
{
    ProgramWindows program(data);
    YcalForm->Button2->click();
    ChYMForm->Edit1->setText(QStringLiteral("0"));
    ChYMForm->Button1->click();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("Invalid argument to date encode"));
    EXPECT_EQ(YcalForm->Button2->text(), QStringLiteral("1999年度"));
    EXPECT_TRUE(ChYMForm->isVisible());
}

TEST_F(ChymfTest, TheArrowsStopAtTheirLimits)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    MCalForm->Button2->click();
    ChYMForm->Edit1->setText(QStringLiteral("3000"));
    ChYMForm->UpDown1->UpButton()->click();
    EXPECT_EQ(ChYMForm->Edit1->text(), QStringLiteral("3000"));
    ChYMForm->UpDown2->UpButton()->click(); // 12 stays 12, no wrap to 1
    EXPECT_EQ(ChYMForm->Edit2->text(), QStringLiteral("12"));
    ChYMForm->UpDown2->DownButton()->click();
    EXPECT_EQ(ChYMForm->Edit2->text(), QStringLiteral("11"));
    ChYMForm->Edit1->setText(QStringLiteral("1999"));
    ChYMForm->UpDown1->UpButton()->click();
    EXPECT_EQ(ChYMForm->Edit1->text(), QStringLiteral("2000")); // no thousands separator
}

namespace {
// Opens the chooser from the month calendar's caption button, as the user does.
void OpenFromTheMonthCalendar()
{
    QTest::mouseClick(MCalForm->Button2, Qt::LeftButton);
    ASSERT_TRUE(BecomesActive(ChYMForm));
}
} // namespace

TEST_F(ChymfTest, EveryOpeningStartsInTheSelectedYearAndEnterMovesOnUntilAButtonHasIt)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    OpenFromTheMonthCalendar();
    ASSERT_EQ(QApplication::focusWidget(), ChYMForm->Edit1);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2001"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    ASSERT_EQ(QApplication::focusWidget(), ChYMForm->Edit2);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("7"));
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return); // round the end to OK
    ASSERT_EQ(QApplication::focusWidget(), ChYMForm->Button1);
    EXPECT_TRUE(ChYMForm->isVisible());
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(ChYMForm->isVisible());
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2001年7月"));

    // Opened again after OK had the focus: the year once more.
    OpenFromTheMonthCalendar();
    ASSERT_EQ(QApplication::focusWidget(), ChYMForm->Edit1);
    QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("2003"));
    EXPECT_EQ(ChYMForm->Edit1->text(), QStringLiteral("2003"));
    for (int i = 0; i < 3; ++i)
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), ChYMForm->Button2);
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    EXPECT_FALSE(ChYMForm->isVisible());
    EXPECT_EQ(MCalForm->Button2->text(), QStringLiteral("2001年7月"));
}

TEST_F(ChymfTest, TheControlEnterMovesToShowsItsFocusMarkAtOnce)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    MCalForm->Button2->click();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(ChYMForm));
    const QImage unfocused = ChYMForm->Button1->grab().toImage();
    QTest::mouseClick(ChYMForm->Edit2, Qt::LeftButton); // the user clicks into the month
    ASSERT_EQ(ChYMForm->focusWidget(), ChYMForm->Edit2);
    QTest::keyClick(ChYMForm->Edit2, Qt::Key_Return); // round the end to OK
    ASSERT_EQ(ChYMForm->focusWidget(), ChYMForm->Button1);
    EXPECT_NE(ChYMForm->Button1->grab().toImage(), unfocused);
}

TEST_F(ChymfTest, TheFrameHoldsItsCaptionWithTheControlsInTheMiddle)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    const QRect label = ChYMForm->Label3->geometry(), ok = ChYMForm->Button1->geometry(),
                cancel = ChYMForm->Button2->geometry();
    ASSERT_EQ(ChYMForm->width(), 217);
    // Month calendar, year calendar, month calendar again: the controls move
    // with the width and come back to the same places.
    for (const CalendarKind kind : { CalendarKind::Month, CalendarKind::Year, CalendarKind::Month }) {
        ChYMForm->OpenYearMonthChooser(kind, 1999, 12);
        const int width = ChYMForm->width();
        EXPECT_GE(width, TitleBarWidthFor(ChYMForm->windowTitle())) << int(kind);
        EXPECT_EQ(ChYMForm->minimumWidth(), ChYMForm->maximumWidth());
        const int shift = (width - 217) / 2;
        EXPECT_EQ(ChYMForm->Label3->geometry(), label.translated(shift, 0)) << int(kind);
        EXPECT_EQ(ChYMForm->Button1->geometry(), ok.translated(shift, 0)) << int(kind);
        EXPECT_EQ(ChYMForm->Button2->geometry(), cancel.translated(shift, 0)) << int(kind);
        ChYMForm->Button2->click();
    }
}

TEST_F(ChymfTest, OkWithTheCalendarClosedChangesNothing)
{
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n");
    MCalForm->Button2->click();
    MCalForm->parentWidget()->close();
    QTest::qWait(0);
    ChYMForm->Button1->click();
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_FALSE(ChYMForm->isVisible());
}
