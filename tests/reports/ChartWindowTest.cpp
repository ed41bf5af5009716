#include "reports/ChartWindow.h"

#include <gtest/gtest.h>

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QChart>
#include <QChartView>
#include <QImage>
#include <QLabel>
#include <QLineSeries>
#include <QMenuBar>
#include <QPushButton>
#include <QStackedBarSeries>
#include <QTabWidget>

#include "LeaveDataSets.h"
#include "PdfFiles.h"
#include "core/FiscalYearDayTable.h"
#include "core/LeaveTotals.h"
#include "core/PaidLeave.h"
#include "core/PaidLeaveSettings.h"
#include "core/Settings.h"
#include "reports/TotalsRequest.h"
#include "views/ProgramEvents.h"
#include "views/ViewsTestSupport.h"

namespace {

class ChartWindowTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    FixedToday today { QDate(2024, 1, 15) };
    ScriptedDialogs dialogs;

    // Opens the window from the 集計 menu, as the user does.
    static TChartForm& Open(ProgramWindows& program)
    {
        QAction* item = program.Main().G1;
        EXPECT_EQ(item->text(), QStringLiteral("グラフ(&G)..."));
        item->trigger();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(ChartForm));
        return *ChartForm;
    }
    static QStackedBarSeries& Bars(QChartView& view)
    {
        return *qobject_cast<QStackedBarSeries*>(view.chart()->series().at(0));
    }
    static QStringList Categories(QChartView& view)
    {
        return qobject_cast<QBarCategoryAxis*>(view.chart()->axes(Qt::Horizontal).at(0))->categories();
    }
    static qreal At(QStackedBarSeries& series, int set, int index) { return series.barSets().at(set)->at(index); }
    QByteArray Ini() const { return data.Bytes(QStringLiteral("orbelund.ini")); }
};

} // namespace

TEST_F(ChartWindowTest, TheChartsShowTheFiguresOfTheTotalsAndOfThePaidLeaveBalance)
{
    SaveYearsOfLeave(2018, 2023);
    // Hired early enough that the first grants expire before the records.
    ProgramWindows program(data, "[Paid]\r\nHired=2014/10/01\r\n");
    TChartForm& window = Open(program);
    EXPECT_EQ(window.windowTitle(), QStringLiteral("休暇のグラフ"));
    ASSERT_EQ(window.PageControl1->count(), 3);
    EXPECT_EQ(window.PageControl1->tabText(0), QStringLiteral("年度別"));
    EXPECT_EQ(window.PageControl1->tabText(1), QStringLiteral("月別"));
    EXPECT_EQ(window.PageControl1->tabText(2), QStringLiteral("有給休暇"));

    const std::array<bool, 7> daysOff = Settings::ReadDaysOff().Weekly;
    QStackedBarSeries& years = Bars(*window.YearChart);
    EXPECT_EQ(Categories(*window.YearChart),
        (QStringList { QStringLiteral("2018"), QStringLiteral("2019"), QStringLiteral("2020"), QStringLiteral("2021"),
            QStringLiteral("2022"), QStringLiteral("2023") }));
    ASSERT_EQ(years.count(), 8); // 有給, then 定 夏 冬 GW 特 代 出
    EXPECT_EQ(years.barSets().at(0)->label(), QStringLiteral("有給"));
    EXPECT_EQ(years.barSets().at(7)->label(), QStringLiteral("出"));
    for (int i = 0; i < 6; ++i) {
        // As the totals window counts a year that no calendar shows.
        FiscalYearDayTable table;
        BuildFiscalYearDayTable(2018 + i, table);
        const YearTotals totals = TotalFiscalYear(FiscalYearCodes::FromDayTable(table), 2018 + i, daysOff);
        EXPECT_EQ(At(years, 0, i), qreal(totals.Paid)) << i;
        EXPECT_EQ(At(years, 1, i), totals.Count(CountedCode::RegularDayOff)) << i;
        EXPECT_EQ(At(years, 5, i), totals.Count(CountedCode::Special)) << i;
        EXPECT_EQ(At(years, 7, i), totals.Count(CountedCode::HolidayWork)) << i;
    }

    // The fiscal year the open calendar shows, April to March.
    QStackedBarSeries& months = Bars(*window.MonthChart);
    EXPECT_EQ(Categories(*window.MonthChart).front(), QStringLiteral("4月"));
    EXPECT_EQ(Categories(*window.MonthChart).back(), QStringLiteral("3月"));
    const MonthlyPaidLeave paid = TotalPaidLeaveByMonth(CollectFiscalYearCodes(2023));
    for (int position = 1; position <= 12; ++position)
        EXPECT_EQ(At(months, 0, position - 1), qreal(paid.Days(position))) << position;

    const PaidLeave::Balance balance = *PaidLeave::ComputeFromDataFile(PaidLeaveSettings::Read(), QDate(2024, 1, 15));
    QStackedBarSeries& grants = Bars(*window.GrantChart);
    ASSERT_EQ(grants.barSets().at(0)->count(), int(balance.Grants.size()));
    for (size_t i = 0; i < balance.Grants.size(); ++i) {
        const PaidLeave::GrantRow& row = balance.Grants[i];
        EXPECT_EQ(Categories(*window.GrantChart).at(qsizetype(i)), PaidLeave::DateText(row.Date));
        EXPECT_EQ(At(grants, 0, int(i)) * 2, row.Used) << i;
        EXPECT_EQ(At(grants, 1, int(i)) * 2, row.Expired) << i;
        EXPECT_EQ(At(grants, 2, int(i)) * 2, row.Left) << i;
    }
    EXPECT_GT(balance.Grants.front().Expired, 0);
    const auto& line = *qobject_cast<QLineSeries*>(window.BalanceChart->chart()->series().at(0));
    EXPECT_EQ(line.points().back().y() * 2, balance.Left);
    EXPECT_FALSE(window.HiringDateHint->isVisible());
}

TEST_F(ChartWindowTest, ItFollowsEverySaveAndTellsWhatToEnterWithoutAHiringDate)
{
    SaveYearsOfLeave(2022, 2022);
    ProgramWindows program(data);
    TChartForm& window = Open(program);
    window.PageControl1->setCurrentIndex(2);
    EXPECT_TRUE(window.HiringDateHint->isVisible());
    EXPECT_FALSE(window.GrantChart->isVisible());
    EXPECT_TRUE(window.HiringDateHint->text().contains(QStringLiteral("入社日")));

    EXPECT_EQ(Categories(*window.YearChart), QStringList { QStringLiteral("2022") });
    LeaveStore::SaveEntry(2023, 6, 1, 1, QString());
    emit ProgramEvents().daySaved(QDate(2023, 6, 1), 1, QString());
    EXPECT_EQ(Categories(*window.YearChart), (QStringList { QStringLiteral("2022"), QStringLiteral("2023") }));
    EXPECT_EQ(At(Bars(*window.MonthChart), 0, 2), 1.0); // June

    PaidLeave::Rules rules;
    rules.Hired = QDate(2020, 4, 1);
    PaidLeaveSettings::Write(rules);
    emit ProgramEvents().paidLeaveSettingsChanged();
    EXPECT_FALSE(window.HiringDateHint->isVisible());
    EXPECT_TRUE(window.GrantChart->isVisible());
}

TEST_F(ChartWindowTest, TheShownChartIsSavedAsPngAtTheScreensResolutionOrAsPdf)
{
    SaveYearsOfLeave(2022, 2023);
    ProgramWindows program(data);
    TChartForm& window = Open(program);
    QWidget& page = *window.PageControl1->currentWidget();
    const QString png = data.File(QStringLiteral("chart.png"));
    dialogs.saveAnswers.push_back(SaveDialogAnswer { data.File(QStringLiteral("chart")), 2 });
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    const QImage image(png);
    ASSERT_FALSE(image.isNull());
    EXPECT_EQ(image.size(), page.size() * page.devicePixelRatio());

    window.PageControl1->setCurrentIndex(1);
    const QString pdf = data.File(QStringLiteral("chart.pdf"));
    dialogs.saveAnswers.push_back(SaveDialogAnswer { pdf, 3 });
    QTest::mouseClick(window.Button1, Qt::LeftButton);
    EXPECT_EQ(PdfFiles::Pages(pdf), 1);
    const QSizeF size = PdfFiles::PageSize(pdf);
    EXPECT_NEAR(size.width(), window.MonthChart->width() * 0.75, 1);
    EXPECT_NEAR(size.height(), window.MonthChart->height() * 0.75, 1);
    EXPECT_TRUE(PdfFiles::Run(QStringLiteral("pdftotext"), { pdf, QStringLiteral("-") }).contains(u"4月"));
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(ChartWindowTest, AtTwiceTheScaleTheChartIsDrawnAtFullResolution)
{
    SaveYearsOfLeave(2022, 2023);
    ProgramWindows program(data);
    TChartForm& window = Open(program);
    QWidget& view = *window.YearChart;
    QImage one(view.size(), QImage::Format_RGB32);
    view.render(&one);
    QImage two(view.size() * 2, QImage::Format_RGB32);
    two.setDevicePixelRatio(2);
    view.render(&two);
    // Not the 100 % picture enlarged: the lines and texts have twice the
    // pixels.
    const QImage enlarged = one.scaled(view.size() * 2, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    EXPECT_NE(two.convertToFormat(QImage::Format_RGB32), enlarged);
    EXPECT_EQ(one.pixel(one.width() / 2, 2), two.pixel(two.width() / 2, 4)); // the same background
}

TEST_F(ChartWindowTest, ItsPlaceIsKeptOnlyOnceTheUserMovedIt)
{
    ProgramWindows program(data);
    TChartForm& window = Open(program);
    window.close();
    EXPECT_FALSE(Ini().contains("[Chart]"));

    Open(program);
    window.move(window.pos() + QPoint(40, 30));
    const QRect moved = window.geometry();
    window.close();
    EXPECT_TRUE(Ini().contains("[Chart]"));

    program.Restart();
    TChartForm& again = Open(program);
    EXPECT_EQ(again.geometry(), moved);
}

TEST_F(ChartWindowTest, CtrlTabAndCtrlPageDownSwitchTabsWhereverTheFocusIs)
{
    ProgramWindows program(data);
    TChartForm& window = Open(program);
    ASSERT_TRUE(BecomesActive(&window));
    QTabWidget& tabs = *window.PageControl1;
    const auto press = [](Qt::Key key, Qt::KeyboardModifiers modifiers) {
        QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    };
    for (QWidget* focus : { static_cast<QWidget*>(window.BitBtn1), static_cast<QWidget*>(window.YearChart) }) {
        tabs.setCurrentIndex(0);
        focus->setFocus();
        ASSERT_EQ(QApplication::focusWidget(), focus);
        press(Qt::Key_Tab, Qt::ControlModifier);
        EXPECT_EQ(tabs.currentIndex(), 1);
        press(Qt::Key_PageDown, Qt::ControlModifier);
        EXPECT_EQ(tabs.currentIndex(), 2);
        press(Qt::Key_PageDown, Qt::ControlModifier); // round to the first
        EXPECT_EQ(tabs.currentIndex(), 0);
        press(Qt::Key_Backtab, Qt::ControlModifier | Qt::ShiftModifier);
        EXPECT_EQ(tabs.currentIndex(), 2);
        press(Qt::Key_PageUp, Qt::ControlModifier);
        EXPECT_EQ(tabs.currentIndex(), 1);
    }
}
