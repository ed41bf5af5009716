#include "views/Ycalf.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QToolButton>

#include "core/CalendarFill.h"
#include "core/DayCode.h"
#include "core/Julius.h"
#include "platform/Application.h"
#include "platform/Dates.h"
#include "views/Chymf.h"
#include "widgets/StrCGrid.h"

TYcalForm* YcalForm = nullptr;

TYcalForm::TYcalForm(QWidget* parent)
    : TCalendarWindow(CalendarKind::Year, QSize(341, 254), true)
{
    setParent(parent);
    YcalForm = this;
    setupUi();
    connectHandlers();
}

TYcalForm::~TYcalForm()
{
    if (YcalForm == this)
        YcalForm = nullptr;
}

void TYcalForm::setupUi()
{
    setObjectName(QStringLiteral("YcalForm"));
    MakeFiscalYearButtons(SpeedButton1, SpeedButton2, SpeedButton3);
    MakeGrid(QSize(257, 137), 32, 13, false);

    TStrColGrid& grid = *StrColGrid1;
    grid.SetAlignment(taCenter);
    for (int col = 0; col < 32; ++col)
        grid.SetColWidths(col, 23);
    for (int day = 1; day <= 31; ++day)
        grid.SetCells(day, 0, QString::number(day));
    for (int row = 1; row <= 12; ++row)
        grid.SetCells(0, row, QString::number(YearCalendarMonth(0, row).Month));
    for (int row = 1; row <= 12; ++row)
        for (int col = 1; col <= 31; ++col)
            grid.SetCellAlignment(col, row, taCenter);
    grid.setAccessibleName(CalendarTitle(Kind()));
    grid.AccessibleCellDescription = [this](int col, int row) {
        if (col < 1 || row < 1 || row > 12)
            return QString();
        const Julius::YearMonth month = YearCalendarMonth(ShownFiscalYear(), row);
        return DayDescription(month.Year, month.Month, col);
    };

    SetStatusText(Button2, QStringLiteral("ボタンをクリックすると年度を変更できます。"));
    SetStatusText(SpeedButton1, QStringLiteral("ボタンをクリックすると昨年度に変更できます。"));
    SetStatusText(SpeedButton2, QStringLiteral("ボタンをクリックすると今年度に変更できます。"));
    SetStatusText(SpeedButton3, QStringLiteral("ボタンをクリックすると翌年度に変更できます。"));
    SetStatusText(Button1, QStringLiteral("ボタンをクリックするとデータを入力をできます。"));
}

void TYcalForm::connectHandlers()
{
    auto guarded = [](auto handler) { return [handler] { Application::Guard(handler); }; };
    connect(SpeedButton1, &QToolButton::clicked, this, guarded([this] { ShowFiscalYear(2); }));
    connect(SpeedButton2, &QToolButton::clicked, this, guarded([this] { ShowFiscalYear(1); }));
    connect(SpeedButton3, &QToolButton::clicked, this, guarded([this] { ShowFiscalYear(3); }));
    connect(Button1, &QPushButton::clicked, this, guarded([this] { OpenSelectedDate(); }));
    connect(Button2, &QPushButton::clicked, this,
        guarded([this] { ChYMForm->OpenYearMonthChooser(CalendarKind::Year, ShownFiscalYear(), 0); }));
    StrColGrid1->OnDblClick = [this](QObject*) { OpenSelectedDate(); };
}

int TYcalForm::ShownFiscalYear() const { return Julius::ParseFiscalYearCaption(Button2->text()); }

void TYcalForm::ShowFiscalYear(int step)
{
    // The shown year is read only for the steps that need it.
    const int fiscalYear = FiscalYearForStep(step, step == 1 ? 0 : ShownFiscalYear());
    Fill(fiscalYear);
}

void TYcalForm::Fill(int fiscalYear) { FillYearCalendar(*StrColGrid1, *Button2, fiscalYear); }

void TYcalForm::SelectedDate(int& year, int& month, int& day) const
{
    const TGridRect selection = StrColGrid1->Selection();
    const Julius::YearMonth shown = YearCalendarMonth(ShownFiscalYear(), selection.Top);
    year = shown.Year;
    month = shown.Month;
    day = selection.Left;
}

void TYcalForm::ShowSavedDay(QDate date, int kind, const QString&)
{
    const int fiscalYear = ShownFiscalYear();
    if (!InFiscalYear(fiscalYear, date.year(), date.month()))
        return;
    if (kind == 0) {
        // The cell falls back to its weekday, holiday or empty code.
        Fill(fiscalYear);
        return;
    }
    const int row = YearCalendarRow(date.month());
    TStrColGrid& grid = *StrColGrid1;
    grid.SetCellFontColor(date.day(), row, DayCodeColour(LeaveDayCode(kind)));
    grid.SetCells(date.day(), row, DayCodeText(LeaveDayCode(kind)));
    grid.InvalidateCell(date.day(), row);
}

void TYcalForm::ShowSavedDays(QDate first, QDate last)
{
    if (const int fiscalYear = ShownFiscalYear(); MeetsFiscalYear(fiscalYear, first, last))
        Fill(fiscalYear);
}

void TYcalForm::ShowDaysOffChange() { Fill(ShownFiscalYear()); }

void TYcalForm::showEvent(QShowEvent* event)
{
    TCalendarWindow::showEvent(event);
    if (!FirstShow())
        return;
    PlaceInMainWindow();
    // A fill that fails (an unreadable data file) is reported, and the window
    // still takes its mark: an open calendar without one could never be
    // closed by opening another.
    Application::Guard([this] { ShowFiscalYear(1); });
    MarkOpen();
}

void TYcalForm::closeEvent(QCloseEvent* event)
{
    MarkClosed();
    event->accept();
}
