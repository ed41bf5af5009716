#include "reports/Calf.h"

#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>
#include <QStyle>

#include "core/LeaveTotals.h"
#include "core/Settings.h"
#include "platform/Application.h"
#include "platform/Text.h"
#include "reports/TotalsRequest.h"
#include "reports/TotalsWindow.h"
#include "widgets/StrCGrid.h"

LongLivedWindow<TCalForm> CalForm;

namespace {

constexpr int GridTop = 56;

// The counters shown on the right, from row 1 down to 休日出勤.
constexpr std::pair<const char16_t*, CountedCode> LeaveKindRows[] = {
    { u"定休日", CountedCode::RegularDayOff },
    { u"夏休み", CountedCode::Summer },
    { u"冬休み", CountedCode::Winter },
    { u"GW", CountedCode::GoldenWeek },
    { u"特別休暇", CountedCode::Special },
    { u"代休", CountedCode::Compensatory },
    { u"休日出勤", CountedCode::HolidayWork },
};

QString Integer(int value) { return QString::number(value); }
QString Days(float value) { return Text::FormatFloat(QStringLiteral("0.0"), double(value)); }

} // namespace

QString YearTotalsCaptionPrefix() { return QStringLiteral("休暇日数集計－"); }

TCalForm::TCalForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    CalForm = this;
    setupUi();
}

TCalForm::~TCalForm()
{
    if (CalForm.Existing() == this)
        CalForm = nullptr;
}

void TCalForm::setupUi()
{
    setObjectName(QStringLiteral("CalForm"));
    setWindowTitle(YearTotalsCaptionPrefix());
    resize(348, 400);
    // Only the height can change.
    setMinimumSize(350, 400);
    setMaximumWidth(350);

    BitBtn1 = MakeCloseButton(*this);

    Label1 = new QLabel(QStringLiteral("有給"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->setGeometry(8, 40, 153, 14);
    Label2 = new QLabel(QStringLiteral("その他休暇"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->setGeometry(176, 40, 153, 14);

    StrColGrid1 = MakeTotalsGrid(*this, QStringLiteral("StrColGrid1"), QRect(8, GridTop, 153, 281), 11);
    StrColGrid2 = MakeTotalsGrid(*this, QStringLiteral("StrColGrid2"), QRect(176, GridTop, 153, 305), 10);
    StrColGrid1->setAccessibleName(Label1->text());
    StrColGrid2->setAccessibleName(Label2->text());

    TStrColGrid& paid = *StrColGrid1;
    const char16_t* labels[] = { u"休暇種類", u"1日休暇", u"AM休暇", u"PM休暇", u"有給合計", u"", u"その他休暇", u"",
        u"休暇合計", u"出勤合計", u"出勤率" };
    for (int row = 0; row < 11; ++row)
        paid.SetCells(0, row, QString::fromUtf16(labels[row]));
    paid.SetCells(1, 0, QStringLiteral("日数"));
}

void TCalForm::BuildOtherLeaveRows(const std::array<bool, 7>& daysOff)
{
    TStrColGrid& other = *StrColGrid2;
    int weeklyRows = 0;
    for (bool off : daysOff)
        weeklyRows += off ? 1 : 0;
    other.SetRowCount(weeklyRows + 10);
    other.SetCells(0, 0, QStringLiteral("休暇種類"));
    other.SetCells(1, 0, QStringLiteral("日数"));
    int row = 1;
    for (const auto& [label, code] : LeaveKindRows)
        other.SetCells(0, row++, QString::fromUtf16(label));
    for (int weekday = 0; weekday < 7; ++weekday) {
        if (daysOff[size_t(weekday)])
            other.SetCells(
                0, row++, CountedCodeText(CountedCode(int(CountedCode::Sunday) + weekday)) + QStringLiteral("曜日"));
    }
    other.SetCells(0, row++, QStringLiteral("祝日"));
    other.SetCells(0, row, QStringLiteral("振替休日"));
}

void TCalForm::ShowTotals(int fiscalYear)
{
    setWindowTitle(YearTotalsCaptionPrefix() + QString::number(fiscalYear) + QStringLiteral("年度"));
    ShowForRequest(*this);
    Fill();
}

void TCalForm::Fill()
{
    // Without a settings file no weekday is a day off.
    const std::array<bool, 7> daysOff = Settings::ReadDaysOff().Weekly;
    BuildOtherLeaveRows(daysOff);
    const int fiscalYear = CaptionFiscalYear(windowTitle(), YearTotalsCaptionPrefix());

    const YearTotals totals = TotalFiscalYear(CollectFiscalYearCodes(fiscalYear), fiscalYear, daysOff);

    TStrColGrid& paid = *StrColGrid1;
    paid.SetCells(1, 1, Integer(totals.Count(CountedCode::FullDay)));
    paid.SetCells(1, 2, Integer(totals.Count(CountedCode::Morning)));
    paid.SetCells(1, 3, Integer(totals.Count(CountedCode::Afternoon)));
    paid.SetCells(1, 4, Days(totals.Paid));
    paid.SetCells(1, 6, Days(totals.Other));
    paid.SetCells(1, 8, Days(totals.Total));
    paid.SetCells(1, 9, Days(totals.Worked));
    paid.SetCells(1, 10, Text::FormatFloat(QStringLiteral("0.0%"), double(totals.Rate)));

    TStrColGrid& other = *StrColGrid2;
    int row = 1;
    for (const auto& [label, code] : LeaveKindRows)
        other.SetCells(1, row++, Integer(totals.Count(code)));
    for (int weekday = 0; weekday < 7; ++weekday) {
        if (daysOff[size_t(weekday)])
            other.SetCells(1, row++, Integer(totals.Counts[size_t(int(CountedCode::Sunday) + weekday)]));
    }
    other.SetCells(1, row++, Integer(totals.Count(CountedCode::NationalHoliday)));
    other.SetCells(1, row, Integer(totals.Count(CountedCode::SubstituteHoliday)));
    paid.update();
    other.update();
}

void TCalForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (StrColGrid2)
        StrColGrid2->resize(StrColGrid2->width(), std::max(height() - GridTop - 40, 0));
}
