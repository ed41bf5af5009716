#include "reports/Calf.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QMdiArea>

#include "core/LeaveStore.h"
#include "platform/Errors.h"
#include "reports/CalMF.h"
#include "reports/TotalsRequest.h"
#include "views/Mcalf.h"
#include "views/ViewsTestSupport.h"
#include "views/Ycalf.h"

namespace {

class CalfTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    FixedToday today { QDate(2010, 2, 15) };
    ScriptedDialogs dialogs;

    static QString Paid(int row) { return CalForm->StrColGrid1->Cells(1, row); }
    static QString Label(int row) { return CalForm->StrColGrid2->Cells(0, row); }
    static QString Other(int row) { return CalForm->StrColGrid2->Cells(1, row); }
};

} // namespace

TEST_F(CalfTest, AYearWithoutACalendarOpenCountsAFreshDayTable)
{
    // Only Saturday and Sunday off, no holidays: fiscal year 2009 has 52
    // Sundays and 52 Saturdays.
    LeaveStore::SaveEntry(2009, 4, 1, 1, QString());
    LeaveStore::SaveEntry(2009, 4, 2, 2, QString());
    LeaveStore::SaveEntry(2010, 1, 12, 3, QString());
    LeaveStore::SaveEntry(2009, 8, 13, 5, QString());
    LeaveStore::SaveEntry(2009, 4, 4, 10, QString()); // a Saturday worked
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n"); // the month calendar
    ASSERT_FALSE(program.Main().Y1->isChecked());

    CalForm->ShowTotals(2009);
    EXPECT_TRUE(CalForm->isVisible());
    EXPECT_EQ(CalForm->windowTitle(), QStringLiteral("休暇日数集計－2009年度"));
    EXPECT_EQ(Paid(1), QStringLiteral("1"));
    EXPECT_EQ(Paid(2), QStringLiteral("1"));
    EXPECT_EQ(Paid(3), QStringLiteral("1"));
    EXPECT_EQ(Paid(4), QStringLiteral("2.0"));
    ASSERT_EQ(CalForm->StrColGrid2->RowCount(), 12);
    EXPECT_EQ(Label(2), QStringLiteral("夏休み"));
    EXPECT_EQ(Other(2), QStringLiteral("1"));
    EXPECT_EQ(Label(7), QStringLiteral("休日出勤"));
    EXPECT_EQ(Other(7), QStringLiteral("1"));
    EXPECT_EQ(Label(8), QStringLiteral("日曜日"));
    EXPECT_EQ(Other(8), QStringLiteral("52"));
    EXPECT_EQ(Label(9), QStringLiteral("土曜日"));
    EXPECT_EQ(Other(9), QStringLiteral("51")); // one Saturday holds 出
    EXPECT_EQ(Label(10), QStringLiteral("祝日"));
    EXPECT_EQ(Label(11), QStringLiteral("振替休日"));
    EXPECT_EQ(Paid(6), QStringLiteral("104.0"));
    EXPECT_EQ(Paid(8), QStringLiteral("106.0"));
    EXPECT_EQ(Paid(9), QStringLiteral("259.0"));
    EXPECT_EQ(Paid(10), QStringLiteral("71.0%"));
}

TEST_F(CalfTest, TheCountsFollowTheOpenFiscalYearCalendarAsShown)
{
    ProgramWindows program(data);
    ASSERT_TRUE(program.Main().Y1->isChecked());
    TStrColGrid& grid = *YcalForm->StrColGrid1;
    grid.SetCells(5, 1, QStringLiteral("全")); // shown only, not saved
    grid.SetCells(6, 1, QStringLiteral("全"));

    ASSERT_TRUE(RequestYearTotals());
    EXPECT_EQ(CalForm->windowTitle(), QStringLiteral("休暇日数集計－2009年度"));
    EXPECT_EQ(Paid(1), QStringLiteral("2"));

    // A request while the window is up counts again.
    grid.SetCells(7, 1, QStringLiteral("AM"));
    ASSERT_TRUE(RequestYearTotals());
    EXPECT_EQ(Paid(2), QStringLiteral("1"));
    EXPECT_EQ(Paid(4), QStringLiteral("2.5"));
}

TEST_F(CalfTest, NoWeeklyDaysOffLeaveTenRows)
{
    ProgramWindows program(data);
    data.Write(QStringLiteral("orbelund.ini"), "[Holiday]\r\n0=0\r\n6=0\r\n");
    CalForm->ShowTotals(2011);
    ASSERT_EQ(CalForm->StrColGrid2->RowCount(), 10);
    EXPECT_EQ(Label(8), QStringLiteral("祝日"));
    EXPECT_EQ(Label(9), QStringLiteral("振替休日"));
    EXPECT_EQ(Paid(9), QStringLiteral("366.0")); // fiscal year 2011 ends in a leap February

    // Without any settings file no weekday is a day off either.
    QFile::remove(data.File(QStringLiteral("orbelund.ini")));
    CalForm->ShowTotals(2009);
    EXPECT_EQ(CalForm->StrColGrid2->RowCount(), 10);
}

TEST_F(CalfTest, TheFiscalYearIsReadAsFourCharactersAfterThePrefix)
{
    ProgramWindows program(data);
    program.Main().Y1->trigger();
    CalForm->ShowTotals(2009);
    const QString before = Paid(9);

    data.Write(QStringLiteral("orbelund.ini"), "[Holiday]\r\n0=1\r\n1=1\r\n6=1\r\n");
    CalForm->setWindowTitle(QStringLiteral("休暇日数集計－999年度"));
    EXPECT_THROW(CalForm->Fill(), EConvertError);
    // The labels were rebuilt for three days off; the figures stay.
    EXPECT_EQ(CalForm->StrColGrid2->RowCount(), 13);
    EXPECT_EQ(Label(9), QStringLiteral("月曜日"));
    EXPECT_EQ(Paid(9), before);

    // More digits: the first four.
    program.Main().MdiArea()->closeAllSubWindows();
    CalForm->ShowTotals(2011);
    const QString worked2011 = Paid(9);
    CalForm->ShowTotals(2012);
    ASSERT_NE(Paid(9), worked2011);
    CalForm->setWindowTitle(QStringLiteral("休暇日数集計－201155年度"));
    CalForm->Fill();
    EXPECT_EQ(Paid(9), worked2011);
}

TEST_F(CalfTest, TheWidthIsLockedAndTheRightGridFollowsTheHeight)
{
    ProgramWindows program(data);
    CalForm->ShowTotals(2009);
    EXPECT_EQ(CalForm->minimumWidth(), 350);
    EXPECT_EQ(CalForm->maximumWidth(), 350);
    EXPECT_EQ(CalForm->minimumHeight(), 400);
    CalForm->resize(500, 600);
    EXPECT_EQ(CalForm->width(), 350);
    EXPECT_EQ(CalForm->StrColGrid2->height(), 600 - 56 - 40);
    EXPECT_EQ(CalForm->StrColGrid1->height(), 281);
    EXPECT_EQ(CalForm->findChild<QLabel*>(QStringLiteral("Label1"))->text(), QStringLiteral("有給"));
    EXPECT_EQ(CalForm->findChild<QLabel*>(QStringLiteral("Label2"))->text(), QStringLiteral("その他休暇"));

    // Closing only hides it.
    QTest::mouseClick(CalForm->BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(CalForm->isVisible());
    EXPECT_NE(CalForm, nullptr);
}

TEST_F(CalfTest, TheFiscalYearComesFromTheOpenCalendarOrTheInputBox)
{
    ProgramWindows program(data);
    // Fiscal-year calendar: its caption.
    YcalForm->Fill(2003);
    EXPECT_EQ(TotalsFiscalYear(), 2003);

    // Month calendar on January 2010: fiscal year 2009; on April 2010: 2010.
    program.Main().M1->trigger();
    MCalForm->Fill(2010, 1);
    EXPECT_EQ(TotalsFiscalYear(), 2009);
    MCalForm->Fill(2010, 4);
    EXPECT_EQ(TotalsFiscalYear(), 2010);

    // No calendar: the input box, prefilled with today's fiscal year.
    program.Main().MdiArea()->closeAllSubWindows();
    QCoreApplication::processEvents();
    ASSERT_FALSE(program.Main().M1->isChecked());
    dialogs.inputAnswers.push_back(std::nullopt);
    EXPECT_EQ(TotalsFiscalYear(), std::nullopt);
    ASSERT_EQ(dialogs.inputRequests.size(), 1u);
    EXPECT_EQ(dialogs.inputRequests[0].caption, QStringLiteral("年度の入力"));
    EXPECT_EQ(dialogs.inputRequests[0].prompt, QStringLiteral("集計する年度を入力して下さい。"));
    EXPECT_EQ(dialogs.inputRequests[0].text, QStringLiteral("2009")); // 15 February 2010
    {
        FixedToday april(QDate(2010, 4, 1));
        TotalsFiscalYear();
        EXPECT_EQ(dialogs.inputRequests[1].text, QStringLiteral("2010"));
    }
    dialogs.inputRequests.clear();
    // Cancelled: no window comes up.
    EXPECT_FALSE(RequestYearTotals());
    EXPECT_FALSE(CalForm->isVisible());
    dialogs.inputAnswers.push_back(QStringLiteral("1998"));
    EXPECT_EQ(TotalsFiscalYear(), 1998);
    dialogs.inputAnswers.push_back(QStringLiteral("平成"));
    EXPECT_THROW(TotalsFiscalYear(), EConvertError);
}

TEST_F(CalfTest, EscClosesBothTotalsWindowsAsTheirButtonDoes)
{
    ProgramWindows program(data);
    program.Main().Y2->trigger();
    program.Main().M2->trigger();
    for (QWidget* window : { static_cast<QWidget*>(CalForm), static_cast<QWidget*>(CalMForm) }) {
        window->activateWindow();
        ASSERT_TRUE(BecomesActive(window));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
        EXPECT_FALSE(window->isVisible());
    }
    EXPECT_TRUE(program.Main().isVisible());
}
