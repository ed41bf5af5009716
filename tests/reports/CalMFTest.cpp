#include "reports/CalMF.h"

#include <gtest/gtest.h>

#include <QButtonGroup>
#include <QMdiArea>
#include <QPushButton>
#include <QToolButton>

#include "core/LeaveStore.h"
#include "platform/Errors.h"
#include "platform/FormStream.h"
#include "reports/Calf.h"
#include "reports/SelCalF.h"
#include "reports/TotalsRequest.h"
#include "views/ViewsTestSupport.h"
#include "widgets/CmbGrid.h"

namespace {

QStringList Texts(std::initializer_list<const char*> texts)
{
    QStringList list;
    for (const char* text : texts)
        list << QString::fromUtf8(text);
    return list;
}

class CalMFTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    FixedToday today { QDate(2010, 2, 15) };
    ScriptedDialogs dialogs;

    static QString Cell(int col, int row) { return CalMForm->ComboGrid1->Cells(col, row); }
    static QStringList Row(int row)
    {
        QStringList cells;
        for (int col = 0; col < 5; ++col)
            cells << Cell(col, row);
        return cells;
    }
};

} // namespace

TEST_F(CalMFTest, TheTableKeepsItsHeadingsAndAlignmentsAsStored)
{
    ProgramWindows program(data);
    TComboGrid& grid = *CalMForm->ComboGrid1;
    EXPECT_EQ(grid.ColCount(), 5);
    EXPECT_EQ(grid.RowCount(), 14);
    EXPECT_EQ(Row(0), Texts({ "月", "１日休暇", "AM休暇", "PM休暇", "合計" }));
    EXPECT_EQ(Cell(0, 1), QStringLiteral("４"));
    EXPECT_EQ(Cell(0, 7), QStringLiteral("10"));
    EXPECT_EQ(Cell(0, 10), QStringLiteral("１"));
    EXPECT_EQ(Cell(0, 13), QStringLiteral("合計"));
    EXPECT_EQ(grid.ColumnFixedAlign(0), CellAlign(caCenter | caVCenter));
    EXPECT_EQ(grid.ColumnAlign(0), CellAlign(caCenter | caVCenter));
    EXPECT_EQ(grid.ColumnAlign(3), CellAlign(caRight | caVCenter));
    EXPECT_EQ(grid.ColumnMargin(4), 2);

    // Written back, the stored lists come out as they went in: the cells
    // row by row, five text-column records.
    TWriter data;
    data.WriteListBegin();
    const QStringList headings = Texts({ "月", "１日休暇", "AM休暇", "PM休暇", "合計" });
    for (int col = 0; col < 5; ++col) {
        data.WriteInteger(col);
        data.WriteInteger(0);
        data.WriteString(headings[col]);
    }
    const QStringList months
        = Texts({ "４", "５", "６", "７", "８", "９", "10", "11", "12", "１", "２", "３", "合計" });
    for (int row = 1; row <= 13; ++row) {
        data.WriteInteger(0);
        data.WriteInteger(row);
        data.WriteString(months[row - 1]);
    }
    data.WriteListEnd();
    EXPECT_EQ(grid.CellDataBytes(), data.Data());
}

TEST_F(CalMFTest, EachMonthShowsItsPaidLeaveAndTheYearItsTotal)
{
    // January 2010: 2 全, 3 AM, 1 PM; April 2009: one 全; other kinds ignored.
    for (int day : { 4, 5 })
        LeaveStore::SaveEntry(2010, 1, day, 1, QString());
    for (int day : { 6, 7, 8 })
        LeaveStore::SaveEntry(2010, 1, day, 2, QString());
    LeaveStore::SaveEntry(2010, 1, 12, 3, QString());
    LeaveStore::SaveEntry(2010, 1, 13, 5, QString());
    LeaveStore::SaveEntry(2009, 4, 1, 1, QString());
    LeaveStore::SaveEntry(2010, 4, 1, 1, QString()); // the next fiscal year
    ProgramWindows program(data, "[Start]\r\nShow=2\r\n"); // the holiday calendar of fiscal year 2009

    ASSERT_TRUE(RequestMonthlyTotals());
    EXPECT_TRUE(CalMForm->isVisible());
    EXPECT_EQ(CalMForm->windowTitle(), QStringLiteral("月別休暇日数集計－2009年度"));
    EXPECT_EQ(Row(10), Texts({ "１", "2", "3", "1", "4.0" }));
    EXPECT_EQ(Row(1), Texts({ "４", "1", "0", "0", "1.0" }));
    EXPECT_EQ(Row(5), Texts({ "８", "0", "0", "0", "0.0" }));
    EXPECT_EQ(Row(13), Texts({ "合計", "3", "3", "1", "5.0" }));

    // The year's total is the paid leave of the fiscal-year totals.
    CalForm->ShowTotals(2009);
    EXPECT_EQ(CalForm->StrColGrid1->Cells(1, 4), QStringLiteral("5.0"));
}

TEST_F(CalMFTest, AnEmptyYearShowsZerosAndABadCaptionKeepsTheTable)
{
    ProgramWindows program(data);
    CalMForm->ShowTotals(1990);
    for (int row = 1; row <= 13; ++row)
        EXPECT_EQ(Row(row).mid(1), Texts({ "0", "0", "0", "0.0" })) << row;

    LeaveStore::SaveEntry(1990, 5, 1, 1, QString());
    CalMForm->setWindowTitle(QStringLiteral("月別休暇日数集計－990年度"));
    EXPECT_THROW(CalMForm->Fill(), EConvertError);
    EXPECT_EQ(Cell(1, 2), QStringLiteral("0"));
}

TEST_F(CalMFTest, TheGridFollowsTheWindowSize)
{
    ProgramWindows program(data);
    CalMForm->ShowTotals(2009);
    CalMForm->resize(500, 400);
    EXPECT_EQ(CalMForm->ComboGrid1->size(), QSize(465, 310));
    QTest::mouseClick(CalMForm->BitBtn1, Qt::LeftButton);
    EXPECT_FALSE(CalMForm->isVisible());
}

TEST_F(CalMFTest, TheSelectionDialogShowsTheChosenTotalsAndRemembersTheChoice)
{
    ProgramWindows program(data);
    program.Main().MdiArea()->closeAllSubWindows();
    QCoreApplication::processEvents();

    SelCalform->OpenTotalsSelection();
    ASSERT_TRUE(SelCalform->isVisible());
    EXPECT_EQ(SelCalform->windowTitle(), QStringLiteral("集計項目選択"));
    EXPECT_EQ(SelCalform->ItemIndex(), 0);

    // Cancelling the input box leaves the dialog on screen.
    SelCalform->RadioButtons->button(1)->click();
    QTest::mouseClick(SelCalform->Button1, Qt::LeftButton);
    EXPECT_TRUE(SelCalform->isVisible());
    EXPECT_FALSE(CalMForm->isVisible());

    // A year: the monthly totals come up and the dialog goes.
    dialogs.inputAnswers.push_back(QStringLiteral("2009"));
    QTest::mouseClick(SelCalform->Button1, Qt::LeftButton);
    EXPECT_FALSE(SelCalform->isVisible());
    EXPECT_TRUE(CalMForm->isVisible());
    EXPECT_EQ(CalMForm->windowTitle(), QStringLiteral("月別休暇日数集計－2009年度"));
    EXPECT_FALSE(CalForm->isVisible());

    // A number that is none: the error box, the dialog stays.
    SelCalform->OpenTotalsSelection();
    EXPECT_EQ(SelCalform->ItemIndex(), 1);
    SelCalform->RadioButtons->button(0)->click();
    dialogs.inputAnswers.push_back(QStringLiteral("x"));
    QTest::mouseClick(SelCalform->Button1, Qt::LeftButton);
    EXPECT_TRUE(SelCalform->isVisible());
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().text, QStringLiteral("'x' is not a valid integer value"));

    // The fiscal-year totals by Enter; Esc closes.
    dialogs.inputAnswers.push_back(QStringLiteral("2008"));
    QTest::keyClick(SelCalform, Qt::Key_Return);
    EXPECT_TRUE(CalForm->isVisible());
    EXPECT_EQ(CalForm->windowTitle(), QStringLiteral("休暇日数集計－2008年度"));
    SelCalform->OpenTotalsSelection();
    QTest::keyClick(SelCalform, Qt::Key_Escape);
    EXPECT_FALSE(SelCalform->isVisible());
}

TEST_F(CalMFTest, TheMainWindowsTotalsCommandsOpenTheirWindows)
{
    ProgramWindows program(data);
    program.Main().M2->trigger();
    EXPECT_TRUE(CalMForm->isVisible());
    program.Main().Y2->trigger();
    EXPECT_TRUE(CalForm->isVisible());
    program.Main().H1->trigger();
    EXPECT_TRUE(SelCalform->isVisible());
    SelCalform->close();
    program.Main().ToolButton5->click();
    EXPECT_TRUE(SelCalform->isVisible());
}
