#include "views/CalendarWindow.h"

#include <algorithm>

#include <QWidget>
#include <QDate>
#include <QEvent>
#include <QLocale>
#include <QMouseEvent>
#include <QMdiSubWindow>
#include <QPushButton>

#include "views/MainFrame.h"
#include "core/Julius.h"
#include "platform/Application.h"
#include "platform/Dates.h"
#include "views/Glyphs.h"
#include "views/Inputf.h"
#include "views/ProgramEvents.h"
#include "widgets/StrCGrid.h"

TCalendarWindow::TCalendarWindow(CalendarKind kind, QSize designSize, bool clearsStatus)
    : kind_(kind)
    , clearsStatus_(clearsStatus)
{
    setWindowTitle(CalendarTitle(kind));
    resize(designSize);
    setMouseTracking(true);
    // Only the open calendar follows the program's events. A failure is
    // reported here: the day is saved or the options are written all the
    // same, and nothing may throw through the signal.
    connect(&ProgramEvents(), &TProgramEvents::daySaved, this, [this](QDate date, int kind, const QString& memo) {
        if (IsOpen(kind_))
            Application::Guard([&] { ShowSavedDay(date, kind, memo); });
    });
    connect(&ProgramEvents(), &TProgramEvents::daysSaved, this, [this](QDate first, QDate last) {
        if (IsOpen(kind_))
            Application::Guard([&] { ShowSavedDays(first, last); });
    });
    // A replaced data file may differ on any day: the shown period is filled again.
    connect(&ProgramEvents(), &TProgramEvents::dataReplaced, this, [this] {
        if (IsOpen(kind_))
            Application::Guard([this] { ShowSavedDays(QDate(1, 1, 1), QDate(9999, 12, 31)); });
    });
    connect(&ProgramEvents(), &TProgramEvents::daysOffChanged, this, [this] {
        if (IsOpen(kind_))
            Application::Guard([this] { ShowDaysOffChange(); });
    });
}

std::optional<QDate> TCalendarWindow::SelectedDay() const
{
    if (!dayChosen_)
        return std::nullopt;
    int year, month, day;
    SelectedDate(year, month, day);
    if (!QDate::isValid(year, month, day))
        return std::nullopt;
    return QDate(year, month, day);
}

void TCalendarWindow::OpenSelectedDate()
{
    int year, month, day;
    SelectedDate(year, month, day);
    InputForm->OpenEntryDialog(year, month, day);
}

bool TCalendarWindow::MeetsFiscalYear(int fiscalYear, QDate first, QDate last)
{
    return first <= QDate(fiscalYear + 1, 3, 31) && last >= QDate(fiscalYear, 4, 1);
}

void TCalendarWindow::MarkOpen() { MarkCalendarOpen(kind_, true); }

void TCalendarWindow::MarkClosed()
{
    ClearOwnStatusText();
    MarkCalendarOpen(kind_, false);
}

void TCalendarWindow::MakeButtons(int button2Width, int button1Left)
{
    Button2 = new QPushButton(this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(8, 8, button2Width, 25);
    Button2->setMouseTracking(true);
    Button1 = new QPushButton(QStringLiteral("入力"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(button1Left, 8, 41, 25);
    Button1->setMouseTracking(true);
}

void TCalendarWindow::MakeFiscalYearButtons(QToolButton*& previous, QToolButton*& current, QToolButton*& next)
{
    MakeButtons(65, 176);
    Button2->setText(QStringLiteral("1999年度"));
    previous
        = MakeSpeedButton(this, QStringLiteral("SpeedButton1"), 88, 8, Glyph::TriangleLeft, QStringLiteral("昨年度"));
    current = MakeSpeedButton(this, QStringLiteral("SpeedButton2"), 112, 8, Glyph::Square, QStringLiteral("今年度"));
    next
        = MakeSpeedButton(this, QStringLiteral("SpeedButton3"), 136, 8, Glyph::TriangleRight, QStringLiteral("翌年度"));
}

void TCalendarWindow::MakeGrid(QSize size, int colCount, int rowCount, bool columnSizing)
{
    StrColGrid1 = new TStrColGrid(this);
    TStrColGrid& grid = *StrColGrid1;
    grid.setObjectName(QStringLiteral("StrColGrid1"));
    grid.setGeometry(8, 40, size.width(), size.height());
    grid.SetDefaultDrawing(false);
    TGridOptions options = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;
    if (columnSizing)
        options |= goColSizing;
    grid.SetOptions(options);
    grid.SetFixedAlignment(taCenter);
    grid.SetLayout(tlCenter);
    grid.SetFixedLayout(tlCenter);
    grid.SetFocusCellColor(clHighlightText);
    grid.SetColCount(colCount);
    grid.SetRowCount(rowCount);
    grid.SetFixedCols(1);
    grid.SetFixedRows(1);
    grid.OnClick = [this](QObject*) { dayChosen_ = true; };
}

int TCalendarWindow::SaneColumnWidth(int width, int fallback)
{
    constexpr int widest = 8192; // wider than any screen
    return width >= 0 && width <= widest ? width : fallback;
}

QString TCalendarWindow::DayDescription(int year, int month, int day)
{
    const QDate date(year, month, day);
    if (year < 1 || !date.isValid())
        return {};
    return QStringLiteral("%1年%2月%3日 %4")
        .arg(year)
        .arg(month)
        .arg(day)
        .arg(QLocale(QLocale::Japanese).dayName(date.dayOfWeek(), QLocale::LongFormat));
}

int TCalendarWindow::FiscalYearForStep(int step, int shown)
{
    if (step == 2)
        return shown - 1;
    if (step == 3)
        return shown + 1;
    const QDate today = Dates::Today();
    return Julius::FiscalYearOf(today.year(), today.month());
}

void TCalendarWindow::SetStatusText(QWidget* control, const QString& text)
{
    statusTexts_.insert(control, text);
    control->setAccessibleDescription(text);
    control->setMouseTracking(true);
    control->installEventFilter(this);
}

void TCalendarWindow::ClearOwnStatusText()
{
    if (MainFrame
        && std::find(statusTexts_.cbegin(), statusTexts_.cend(), MainFrame->StatusText()) != statusTexts_.cend())
        MainFrame->SetStatusText(QString());
}

QSize TCalendarWindow::OuterSize() const
{
    const QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    return frame ? frame->size() : size();
}

bool TCalendarWindow::FirstShow()
{
    const bool first = !shown_;
    shown_ = true;
    return first;
}

void TCalendarWindow::PlaceInMainWindow()
{
    QWidget* frame = qobject_cast<QMdiSubWindow*>(parentWidget());
    if (!frame)
        frame = this;
    // From the main window's outer size, frame included.
    const QSize main = MainFrame->FrameWidget().frameGeometry().size();
    frame->setGeometry(0, 0, std::max(main.width() - 15, 0), std::max(main.height() - 105, 0));
}

void TCalendarWindow::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (StrColGrid1) {
        const QSize outer = OuterSize();
        // No minimum window size: a very small window gets an empty grid.
        StrColGrid1->resize(std::max(outer.width() - 25, 0), std::max(outer.height() - 70, 0));
    }
}

bool TCalendarWindow::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::MouseMove && MainFrame) {
        if (const auto text = statusTexts_.constFind(watched); text != statusTexts_.cend())
            MainFrame->SetStatusText(*text);
    }
    return QWidget::eventFilter(watched, event);
}

void TCalendarWindow::mouseMoveEvent(QMouseEvent* event)
{
    // A move over a control that the control does not take comes here too;
    // only the window's own background clears the status line.
    if (clearsStatus_ && MainFrame && !childAt(event->position().toPoint()))
        MainFrame->SetStatusText(QString());
    QWidget::mouseMoveEvent(event);
}
