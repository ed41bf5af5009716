#include "views/Mcalf.h"

#include <QCloseEvent>
#include <QPushButton>
#include <QToolButton>

#include "core/CalendarFill.h"
#include "core/DayCode.h"
#include "core/Julius.h"
#include "platform/Application.h"
#include "platform/Dates.h"
#include "views/Chymf.h"
#include "views/Glyphs.h"
#include "widgets/StrCGrid.h"

TMCalForm* MCalForm = nullptr;

TMCalForm::TMCalForm(QWidget* parent)
    : TCalendarWindow(CalendarKind::Month, QSize(544, 375), false)
{
    setParent(parent);
    MCalForm = this;
    setupUi();
    connectHandlers();
}

TMCalForm::~TMCalForm()
{
    // Also at program end with the window open: the widths are kept.
    Application::Guard([this] { Settings::WriteMonthColumnWidths(ColumnWidths()); });
    if (MCalForm == this)
        MCalForm = nullptr;
}

void TMCalForm::setupUi()
{
    setObjectName(QStringLiteral("MCalForm"));
    MakeButtons(73, 232);
    Button2->setText(QStringLiteral("1999年12月"));
    SpeedButton4 = MakeSpeedButton(
        this, QStringLiteral("SpeedButton4"), 96, 8, Glyph::BarTriangleLeft, QStringLiteral("昨年度"));
    SpeedButton1
        = MakeSpeedButton(this, QStringLiteral("SpeedButton1"), 120, 8, Glyph::TriangleLeft, QStringLiteral("昨月"));
    SpeedButton2 = MakeSpeedButton(this, QStringLiteral("SpeedButton2"), 144, 8, Glyph::Square, QStringLiteral("今月"));
    SpeedButton3
        = MakeSpeedButton(this, QStringLiteral("SpeedButton3"), 168, 8, Glyph::TriangleRight, QStringLiteral("翌月"));
    SpeedButton5 = MakeSpeedButton(
        this, QStringLiteral("SpeedButton5"), 192, 8, Glyph::TriangleRightBar, QStringLiteral("翌年度"));
    SpeedButton4->setAccessibleName(QStringLiteral("昨年"));
    SpeedButton1->setAccessibleName(QStringLiteral("前月"));
    SpeedButton5->setAccessibleName(QStringLiteral("翌年"));
    MakeGrid(QSize(289, 233), 4, 32, true);

    TStrColGrid& grid = *StrColGrid1;
    Application::Guard([this] { SetColumnWidths(Settings::MonthColumnWidths()); });
    for (int row = 1; row <= 31; ++row) {
        grid.SetCellAlignment(1, row, taCenter);
        grid.SetCellAlignment(2, row, taCenter);
    }
    const char16_t* headings[] = { u"日", u"曜日", u"休暇", u"備考" };
    for (int col = 0; col < 4; ++col)
        grid.SetCells(col, 0, QString::fromUtf16(headings[col]));
    for (int day = 1; day <= 31; ++day)
        grid.SetCells(0, day, QString::number(day));
    grid.setAccessibleName(CalendarTitle(Kind()));
    grid.AccessibleCellDescription = [this](int, int row) {
        if (row < 1)
            return QString();
        int year, month;
        ShownMonth(year, month);
        return DayDescription(year, month, row);
    };

    SetStatusText(Button2, QStringLiteral("ボタンをクリックすると年月を変更できます。"));
    SetStatusText(SpeedButton4, QStringLiteral("ボタンをクリックすると昨年に変更できます。"));
    SetStatusText(SpeedButton1, QStringLiteral("ボタンをクリックすると昨月に変更できます。"));
    SetStatusText(SpeedButton2, QStringLiteral("ボタンをクリックすると今月に変更できます。"));
    SetStatusText(SpeedButton3, QStringLiteral("ボタンをクリックすると翌月に変更できます。"));
    SetStatusText(SpeedButton5, QStringLiteral("ボタンをクリックすると翌年に変更できます。"));
    SetStatusText(Button1, QStringLiteral("ボタンをクリックするとデータを入力をできます。"));
}

void TMCalForm::connectHandlers()
{
    auto guarded = [](auto handler) { return [handler] { Application::Guard(handler); }; };
    connect(SpeedButton2, &QToolButton::clicked, this, guarded([this] { ShowMonth(1); }));
    connect(SpeedButton1, &QToolButton::clicked, this, guarded([this] { ShowMonth(2); }));
    connect(SpeedButton4, &QToolButton::clicked, this, guarded([this] { ShowMonth(3); }));
    connect(SpeedButton3, &QToolButton::clicked, this, guarded([this] { ShowMonth(4); }));
    connect(SpeedButton5, &QToolButton::clicked, this, guarded([this] { ShowMonth(5); }));
    connect(Button1, &QPushButton::clicked, this, guarded([this] { OpenSelectedDate(); }));
    connect(Button2, &QPushButton::clicked, this, guarded([this] {
        int year, month;
        ShownMonth(year, month);
        ChYMForm->OpenYearMonthChooser(CalendarKind::Month, year, month);
    }));
    StrColGrid1->OnDblClick = [this](QObject*) { OpenSelectedDate(); };
}

void TMCalForm::ShownMonth(int& year, int& month) const
{
    const Julius::YearMonth shown = Julius::ParseMonthCaption(Button2->text());
    year = shown.Year;
    month = shown.Month;
}

int TMCalForm::ShownFiscalYear() const
{
    int year, month;
    ShownMonth(year, month);
    return Julius::FiscalYearOf(year, month);
}

void TMCalForm::ShowSavedDay(QDate date, int kind, const QString& memo)
{
    int shownYear, shownMonth;
    ShownMonth(shownYear, shownMonth);
    if (date.year() != shownYear || date.month() != shownMonth)
        return;
    if (kind == 0) {
        // The row falls back to its holiday name or nothing.
        Fill(shownYear, shownMonth);
        return;
    }
    TStrColGrid& grid = *StrColGrid1;
    const int day = date.day();
    grid.SetCells(2, day, DayCodeText(LeaveDayCode(kind)));
    grid.SetCellFontColor(2, day, DayCodeColour(LeaveDayCode(kind)));
    grid.SetCells(3, day, memo);
    grid.InvalidateRow(day);
}

void TMCalForm::ShowSavedDays(QDate first, QDate last)
{
    int year, month;
    ShownMonth(year, month);
    const QDate start(year, month, 1);
    if (first <= start.addDays(start.daysInMonth() - 1) && last >= start)
        Fill(year, month);
}

void TMCalForm::ShowDaysOffChange()
{
    int year, month;
    ShownMonth(year, month);
    Fill(year, month);
}

void TMCalForm::ShowMonth(int step)
{
    int year = 0, month = 0;
    if (step == 1) {
        const QDate today = Dates::Today();
        year = today.year();
        month = today.month();
    } else {
        ShownMonth(year, month);
        switch (step) {
        case 2:
            if (month == 1) {
                --year;
                month = 12;
            } else {
                --month;
            }
            break;
        case 3:
            --year;
            break;
        case 4:
            if (month == 12) {
                ++year;
                month = 1;
            } else {
                ++month;
            }
            break;
        case 5:
            ++year;
            break;
        default:
            break;
        }
    }
    Fill(year, month);
}

void TMCalForm::Fill(int year, int month) { FillMonthCalendar(*StrColGrid1, *Button2, year, month); }

void TMCalForm::SelectedDate(int& year, int& month, int& day) const
{
    ShownMonth(year, month);
    day = StrColGrid1->Selection().Top;
}

Settings::MonthWidths TMCalForm::ColumnWidths() const
{
    Settings::MonthWidths widths {};
    for (size_t col = 0; col < widths.size(); ++col)
        widths[col] = StrColGrid1->ColWidths(int(col));
    return widths;
}

void TMCalForm::SetColumnWidths(const Settings::MonthWidths& widths)
{
    for (size_t col = 0; col < widths.size(); ++col)
        StrColGrid1->SetColWidths(int(col), SaneColumnWidth(widths[col], Settings::DefaultMonthWidths[col]));
}

void TMCalForm::showEvent(QShowEvent* event)
{
    TCalendarWindow::showEvent(event);
    if (!FirstShow())
        return;
    PlaceInMainWindow();
    MarkOpen();
    Application::Guard([this] { ShowMonth(1); });
}

void TMCalForm::closeEvent(QCloseEvent* event)
{
    MarkClosed();
    event->accept();
}
