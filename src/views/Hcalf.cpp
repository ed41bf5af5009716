#include "views/Hcalf.h"

#include <algorithm>

#include <QCloseEvent>
#include <QFontMetrics>
#include <QPushButton>
#include <QToolButton>

#include "core/CalendarFill.h"
#include "core/Julius.h"
#include "platform/Application.h"
#include "platform/Dates.h"
#include "platform/Text.h"
#include "views/Chymf.h"
#include "widgets/StrCGrid.h"

THCalForm* HCalForm = nullptr;

THCalForm::THCalForm(QWidget* parent)
    : TCalendarWindow(CalendarKind::Holiday, QSize(544, 375), true)
{
    setParent(parent);
    HCalForm = this;
    setupUi();
    connectHandlers();
}

THCalForm::~THCalForm()
{
    if (HCalForm == this)
        HCalForm = nullptr;
}

void THCalForm::setupUi()
{
    setObjectName(QStringLiteral("HCalForm"));
    MakeFiscalYearButtons(SpeedButton1, SpeedButton2, SpeedButton3);
    MakeGrid(QSize(409, 137), 5, 2, true);

    TStrColGrid& grid = *StrColGrid1;
    grid.SetAlignment(taCenter);
    const char16_t* headings[] = { u"回", u"年月日", u"曜日", u"休暇", u"備考" };
    for (int col = 0; col < 5; ++col)
        grid.SetCells(col, 0, QString::fromUtf16(headings[col]));
    grid.setAccessibleName(CalendarTitle(Kind()));
    grid.AccessibleCellDescription = [this](int, int row) {
        // The date of the row, read as the entry dialog reads it.
        const QString text = StrColGrid1->Cells(1, row);
        int year, month, day;
        if (row < 1 || !Text::TryStrToInt(text.left(4), year) || !Text::TryStrToInt(text.mid(5, 2), month)
            || !Text::TryStrToInt(text.right(2), day))
            return QString();
        return DayDescription(year, month, day);
    };

    SetStatusText(Button2, QStringLiteral("ボタンを押すと年度を変更できます。"));
    SetStatusText(SpeedButton1, QStringLiteral("ボタンをクリックすると昨年に変更できます。"));
    SetStatusText(SpeedButton2, QStringLiteral("ボタンをクリックすると今年度に変更できます。"));
    SetStatusText(SpeedButton3, QStringLiteral("ボタンをクリックすると翌年度に変更できます。"));
    SetStatusText(Button1, QStringLiteral("ボタンをクリックするとデータを入力をできます。"));
}

void THCalForm::connectHandlers()
{
    auto guarded = [](auto handler) { return [handler] { Application::Guard(handler); }; };
    connect(SpeedButton1, &QToolButton::clicked, this, guarded([this] { ShowFiscalYear(2); }));
    connect(SpeedButton2, &QToolButton::clicked, this, guarded([this] { ShowFiscalYear(1); }));
    connect(SpeedButton3, &QToolButton::clicked, this, guarded([this] { ShowFiscalYear(3); }));
    connect(Button1, &QPushButton::clicked, this, guarded([this] { OpenSelectedDate(); }));
    connect(Button2, &QPushButton::clicked, this,
        guarded([this] { ChYMForm->OpenYearMonthChooser(CalendarKind::Holiday, ShownFiscalYear(), 0); }));
    StrColGrid1->OnDblClick = [this](QObject*) { OpenSelectedDate(); };
}

int THCalForm::ShownFiscalYear() const { return Julius::ParseFiscalYearCaption(Button2->text()); }

void THCalForm::ShowSavedDay(QDate date, int, const QString&)
{
    const int fiscalYear = ShownFiscalYear();
    if (InFiscalYear(fiscalYear, date.year(), date.month()))
        Fill(fiscalYear);
}

void THCalForm::ShowSavedDays(QDate first, QDate last)
{
    if (const int fiscalYear = ShownFiscalYear(); MeetsFiscalYear(fiscalYear, first, last))
        Fill(fiscalYear);
}

void THCalForm::ShowFiscalYear(int step)
{
    // The shown year is read only for the steps that need it.
    const int fiscalYear = FiscalYearForStep(step, step == 1 ? 0 : ShownFiscalYear());
    Button2->setText(Julius::FiscalYearCaption(fiscalYear));
    Fill(fiscalYear);
}

void THCalForm::Fill(int fiscalYear) { FillHolidayCalendar(*StrColGrid1, *Button2, fiscalYear); }

void THCalForm::SelectedDate(int& year, int& month, int& day) const
{
    const int row = StrColGrid1->Selection().Top;
    const QDate today = Dates::Today();
    year = today.year();
    month = today.month();
    day = today.day();
    if (row > 0) {
        // year: the first four characters, month: two from the sixth, day: the last two
        const QString text = StrColGrid1->Cells(1, row);
        int y, m, d;
        if (Text::TryStrToInt(text.left(4), y) && Text::TryStrToInt(text.mid(5, 2), m)
            && Text::TryStrToInt(text.right(2), d)) {
            year = y;
            month = m;
            day = d;
        }
    }
}

Settings::HolidayWidths THCalForm::ColumnWidths() const
{
    Settings::HolidayWidths widths {};
    for (size_t col = 0; col < widths.size(); ++col)
        widths[col] = StrColGrid1->ColWidths(int(col));
    return widths;
}

int THCalForm::DateColumnWidth() const
{
    // The widest date of any digits, with the grid's margins either side
    // and room to spare for the grid lines.
    const QFontMetrics metrics(StrColGrid1->Font().toQFont());
    int widest = 0;
    for (char16_t digit = u'0'; digit <= u'9'; ++digit) {
        const QString date = QString(4, digit) + u'/' + QString(2, digit) + u'/' + QString(2, digit);
        widest = std::max(widest, metrics.horizontalAdvance(date));
    }
    return widest + 8;
}

void THCalForm::SetColumnWidths(const Settings::HolidayWidths& widths)
{
    for (size_t col = 0; col < widths.size(); ++col) {
        int width = SaneColumnWidth(widths[col], Settings::DefaultHolidayWidths[col]);
        // The date column starts wide enough for its dates in the font in
        // use; a width the user dragged is kept.
        if (col == 1 && width == Settings::DefaultHolidayWidths[col])
            width = std::max(width, DateColumnWidth());
        StrColGrid1->SetColWidths(int(col), width);
    }
}

void THCalForm::showEvent(QShowEvent* event)
{
    TCalendarWindow::showEvent(event);
    if (!FirstShow())
        return;
    PlaceInMainWindow();
    Application::Guard([this] { SetColumnWidths(Settings::HolidayColumnWidths()); });
    MarkOpen();
    Application::Guard([this] { ShowFiscalYear(1); });
}

void THCalForm::closeEvent(QCloseEvent* event)
{
    // A settings file that refuses the widths is reported, and the window
    // closes all the same: one that stayed open would leave two calendars
    // open when another is being opened.
    Application::Guard([this] { Settings::WriteHolidayColumnWidths(ColumnWidths()); });
    MarkClosed();
    event->accept();
}
