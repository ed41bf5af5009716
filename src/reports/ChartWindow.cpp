#include "reports/ChartWindow.h"

#include <algorithm>
#include <cerrno>

#include <QBarCategoryAxis>
#include <QBarSet>
#include <QBuffer>
#include <QChart>
#include <QChartView>
#include <QCursor>
#include <QDateTime>
#include <QDateTimeAxis>
#include <QHideEvent>
#include <QLabel>
#include <QLineSeries>
#include <QPainter>
#include <QPdfWriter>
#include <QPushButton>
#include <QShortcut>
#include <QStackedBarSeries>
#include <QTabWidget>
#include <QToolTip>
#include <QVBoxLayout>
#include <QValueAxis>

#include "core/DayCode.h"
#include "core/Julius.h"
#include "core/LeaveCharts.h"
#include "core/PaidLeaveSettings.h"
#include "core/Settings.h"
#include "platform/Application.h"
#include "platform/Dates.h"
#include "platform/RecordFile.h"
#include "reports/ChartWindowOpener.h"
#include "reports/SaveStep.h"
#include "reports/TotalsRequest.h"
#include "reports/TotalsWindow.h"
#include "views/OpenCalendar.h"
#include "views/ProgramEvents.h"
#include "views/CalendarWindow.h"

TChartForm* ChartForm = nullptr;

namespace {

constexpr int FormWidth = 720;
constexpr int FormHeight = 480;

// Paid leave in the calendars' green; the calendars draw the other kinds
// alike (or in plain black), so in a stack each has a colour of its own.
const QColor PaidColour(0, 128, 0);
const QColor OtherColours[7] = { QColor(128, 128, 128), QColor(255, 165, 0), QColor(70, 130, 180),
    QColor(218, 112, 214), QColor(205, 92, 92), QColor(189, 183, 107), QColor(64, 64, 64) };

QString DaysText(double days) { return QString::number(days, 'f', 1) + u'日'; }

// Every figure of one bar, for its tooltip.
QString BarToolTip(const QString& caption, const LeaveCharts::LeaveBar& bar)
{
    QStringList lines { caption, QStringLiteral("有給: ") + DaysText(bar.Paid) };
    for (size_t i = 0; i < LeaveCharts::OtherKinds.size(); ++i)
        lines << CountedCodeText(LeaveCharts::OtherKinds[i]) + QStringLiteral(": ") + DaysText(bar.Other[i]);
    return lines.join(u'\n');
}

QChartView* MakeChartView(QWidget* parent, const QString& name)
{
    auto* view = new QChartView(new QChart, parent);
    view->setObjectName(name);
    view->setRenderHint(QPainter::Antialiasing);
    view->chart()->legend()->setAlignment(Qt::AlignBottom);
    return view;
}

void Clear(QChart& chart)
{
    chart.removeAllSeries();
    for (QAbstractAxis* axis : chart.axes()) {
        chart.removeAxis(axis);
        delete axis;
    }
}

// Days from 0 to a round number above the highest figure (1 for none).
QValueAxis* AddDaysAxis(QChart& chart, QAbstractSeries& series, qreal highest)
{
    auto* axis = new QValueAxis;
    axis->setRange(0, std::max<qreal>(highest, 1));
    axis->setLabelFormat(QStringLiteral("%g"));
    axis->setTitleText(QStringLiteral("日数"));
    chart.addAxis(axis, Qt::AlignLeft);
    series.attachAxis(axis);
    axis->applyNiceNumbers();
    return axis;
}

qreal HighestStack(const QStackedBarSeries& series)
{
    std::vector<qreal> stacks;
    for (const QBarSet* set : series.barSets()) {
        stacks.resize(std::max(stacks.size(), size_t(set->count())));
        for (int i = 0; i < set->count(); ++i)
            stacks[size_t(i)] += set->at(i);
    }
    return stacks.empty() ? 0 : *std::max_element(stacks.begin(), stacks.end());
}

QBarSet* AddSet(QStackedBarSeries& series, const QString& label, const QColor& colour)
{
    auto* set = new QBarSet(label);
    set->setColor(colour);
    set->setBorderColor(colour);
    series.append(set);
    return set;
}

// Stacked bars of paid leave and the other kinds, one per bar, with every
// figure of a bar in its tooltip.
void DrawLeaveBars(QChart& chart, const std::vector<LeaveCharts::LeaveBar>& bars, const QStringList& categories,
    const QStringList& captions)
{
    Clear(chart);
    auto* series = new QStackedBarSeries;
    QBarSet* paid = AddSet(*series, QStringLiteral("有給"), PaidColour);
    QBarSet* other[7];
    for (size_t i = 0; i < LeaveCharts::OtherKinds.size(); ++i)
        other[i] = AddSet(*series, CountedCodeText(LeaveCharts::OtherKinds[i]), OtherColours[i]);
    for (const LeaveCharts::LeaveBar& bar : bars) {
        paid->append(bar.Paid);
        for (size_t i = 0; i < LeaveCharts::OtherKinds.size(); ++i)
            other[i]->append(bar.Other[i]);
    }
    QObject::connect(series, &QStackedBarSeries::hovered, &chart, [bars, captions](bool status, int index) {
        if (status && index >= 0 && size_t(index) < bars.size())
            QToolTip::showText(QCursor::pos(), BarToolTip(captions[index], bars[size_t(index)]));
        else
            QToolTip::hideText();
    });
    chart.addSeries(series);
    auto* axis = new QBarCategoryAxis;
    axis->append(categories);
    chart.addAxis(axis, Qt::AlignBottom);
    series->attachAxis(axis);
    AddDaysAxis(chart, *series, HighestStack(*series));
}

qreal Msecs(const QDate& date) { return qreal(date.startOfDay().toMSecsSinceEpoch()); }

} // namespace

TChartForm::TChartForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    ChartForm = this;
    setupUi();
    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { SaveImage(); }); });
    const auto refresh = [this] {
        if (isVisible())
            Application::Guard([this] { Refresh(); });
    };
    FollowDataFile(this, refresh);
    connect(&ProgramEvents(), &TProgramEvents::paidLeaveSettingsChanged, this, refresh);
}

TChartForm::~TChartForm()
{
    if (ChartForm == this)
        ChartForm = nullptr;
}

void TChartForm::setupUi()
{
    setObjectName(QStringLiteral("ChartForm"));
    setWindowTitle(QStringLiteral("休暇のグラフ"));
    resize(FormWidth, FormHeight);
    setMinimumSize(400, 300);

    BitBtn1 = MakeCloseButton(*this);
    Button1 = new QPushButton(QStringLiteral("画像として保存..."), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(90, 8, 120, 25);

    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName(QStringLiteral("PageControl1"));
    YearChart = MakeChartView(PageControl1, QStringLiteral("YearChart"));
    MonthChart = MakeChartView(PageControl1, QStringLiteral("MonthChart"));
    PageControl1->addTab(YearChart, QStringLiteral("年度別"));
    PageControl1->addTab(MonthChart, QStringLiteral("月別"));

    auto* paidPage = new QWidget(PageControl1);
    paidPage->setObjectName(QStringLiteral("PaidLeavePage"));
    auto* layout = new QVBoxLayout(paidPage);
    layout->setContentsMargins(0, 0, 0, 0);
    GrantChart = MakeChartView(paidPage, QStringLiteral("GrantChart"));
    BalanceChart = MakeChartView(paidPage, QStringLiteral("BalanceChart"));
    HiringDateHint = new QLabel(
        QStringLiteral("「有給休暇の残日数」の「設定」で入社日を入力すると、付与ごとのグラフを表示します。"), paidPage);
    HiringDateHint->setObjectName(QStringLiteral("HiringDateHint"));
    HiringDateHint->setWordWrap(true);
    HiringDateHint->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    HiringDateHint->setMargin(8);
    layout->addWidget(GrantChart);
    layout->addWidget(BalanceChart);
    layout->addWidget(HiringDateHint);
    PageControl1->addTab(paidPage, QStringLiteral("有給休暇"));

    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(8, 41, 8, 8);
    outer->addWidget(PageControl1);

    // Ctrl+Tab and Ctrl+PageDown go to the next tab, with Shift or PageUp
    // back, wherever the focus is in the window (a button, the chart).
    const auto step = [this](int by) {
        const int count = PageControl1->count();
        PageControl1->setCurrentIndex((PageControl1->currentIndex() + by + count) % count);
    };
    for (const QKeySequence& keys : { QKeySequence(Qt::CTRL | Qt::Key_Tab), QKeySequence(Qt::CTRL | Qt::Key_PageDown) })
        connect(new QShortcut(keys, this, nullptr, nullptr, Qt::WindowShortcut), &QShortcut::activated, this,
            [step] { step(1); });
    for (const QKeySequence& keys :
        { QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_Backtab), QKeySequence(Qt::CTRL | Qt::Key_PageUp) })
        connect(new QShortcut(keys, this, nullptr, nullptr, Qt::WindowShortcut), &QShortcut::activated, this,
            [step] { step(-1); });
}

void TChartForm::ShowCharts()
{
    if (!isVisible()) {
        if (const std::optional<Settings::WindowBounds> bounds = Settings::ChartWindowBounds()) {
            setGeometry(bounds->Left, bounds->Top, bounds->Width, bounds->Height);
            show();
        } else {
            resize(FormWidth, FormHeight);
            ShowForRequest(*this);
        }
        placed_ = geometry();
    }
    raise();
    activateWindow();
    Refresh();
}

void TChartForm::Refresh()
{
    RefreshYears();
    RefreshMonths();
    RefreshPaidLeave();
}

void TChartForm::RefreshYears()
{
    const std::vector<LeaveCharts::LeaveBar> bars = LeaveCharts::YearBars();
    QStringList categories, captions;
    for (const LeaveCharts::LeaveBar& bar : bars) {
        categories << QString::number(bar.Period);
        captions << QString::number(bar.Period) + QStringLiteral("年度");
    }
    QChart& chart = *YearChart->chart();
    chart.setTitle(QStringLiteral("年度別の休暇日数"));
    DrawLeaveBars(chart, bars, categories, captions);
}

void TChartForm::RefreshMonths()
{
    const QDate today = Dates::Today();
    const std::optional<OpenCalendar> open = TheOpenCalendar();
    const int fiscalYear = open ? open->Window->ShownFiscalYear() : Julius::FiscalYearOf(today.year(), today.month());
    const std::vector<LeaveCharts::LeaveBar> bars
        = LeaveCharts::MonthBars(CollectFiscalYearCodes(fiscalYear), fiscalYear);
    QStringList categories, captions;
    for (const LeaveCharts::LeaveBar& bar : bars) {
        const int month = (bar.Period + 2) % 12 + 1;
        categories << QString::number(month) + u'月';
        captions << QString::number(month <= 3 ? fiscalYear + 1 : fiscalYear) + u'年' + categories.back();
    }
    QChart& chart = *MonthChart->chart();
    chart.setTitle(QString::number(fiscalYear) + QStringLiteral("年度の月別休暇日数"));
    DrawLeaveBars(chart, bars, categories, captions);
}

void TChartForm::RefreshPaidLeave()
{
    const QDate today = Dates::Today();
    const std::optional<LeaveCharts::PaidLeaveChart> found
        = LeaveCharts::PaidLeaveFromDataFile(PaidLeaveSettings::Read(), today);
    HiringDateHint->setVisible(!found);
    GrantChart->setVisible(bool(found));
    BalanceChart->setVisible(bool(found));
    QChart& grants = *GrantChart->chart();
    QChart& balance = *BalanceChart->chart();
    Clear(grants);
    Clear(balance);
    if (!found)
        return;

    grants.setTitle(QStringLiteral("付与ごとの有給休暇"));
    auto* series = new QStackedBarSeries;
    QBarSet* used = AddSet(*series, QStringLiteral("取得"), PaidColour);
    QBarSet* expired = AddSet(*series, QStringLiteral("失効"), QColor(205, 92, 92));
    QBarSet* left = AddSet(*series, QStringLiteral("残"), QColor(70, 130, 180));
    QStringList categories;
    const std::vector<PaidLeave::GrantRow>& rows = found->Balance.Grants;
    for (const PaidLeave::GrantRow& row : rows) {
        used->append(row.Used / 2.0);
        expired->append(row.Expired / 2.0);
        left->append(row.Left / 2.0);
        categories << PaidLeave::DateText(row.Date);
    }
    connect(series, &QStackedBarSeries::hovered, &grants, [rows](bool status, int index) {
        if (!status || index < 0 || size_t(index) >= rows.size()) {
            QToolTip::hideText();
            return;
        }
        const PaidLeave::GrantRow& row = rows[size_t(index)];
        QToolTip::showText(QCursor::pos(),
            QStringLiteral("%1 付与\n取得: %2日\n失効: %3日\n残: %4日\n有効期限: %5")
                .arg(PaidLeave::DateText(row.Date), PaidLeave::DaysText(row.Used), PaidLeave::DaysText(row.Expired),
                    PaidLeave::DaysText(row.Left), PaidLeave::DateText(row.ValidUntil)));
    });
    grants.addSeries(series);
    auto* dates = new QBarCategoryAxis;
    dates->append(categories);
    grants.addAxis(dates, Qt::AlignBottom);
    series->attachAxis(dates);
    AddDaysAxis(grants, *series, HighestStack(*series));

    // The balance steps at each change and stays flat up to today.
    balance.setTitle(QStringLiteral("有給休暇の残日数の推移"));
    auto* line = new QLineSeries;
    line->setName(QStringLiteral("残日数"));
    line->setColor(PaidColour);
    double last = 0, highest = 0;
    for (const LeaveCharts::BalanceStep& step : found->Steps) {
        line->append(Msecs(step.Date), last);
        last = step.HalfDays / 2.0;
        highest = std::max(highest, last);
        line->append(Msecs(step.Date), last);
    }
    if (!found->Steps.empty() && found->Steps.back().Date < today)
        line->append(Msecs(today), last);
    balance.addSeries(line);
    auto* time = new QDateTimeAxis;
    time->setFormat(QStringLiteral("yyyy/MM"));
    balance.addAxis(time, Qt::AlignBottom);
    line->attachAxis(time);
    if (!found->Steps.empty())
        time->setRange(found->Steps.front().Date.startOfDay(), today.startOfDay());
    AddDaysAxis(balance, *line, highest);
    balance.legend()->hide();
}

void TChartForm::SaveImage()
{
    const std::optional<QString> path
        = SaveStep::AskPath(this, QStringLiteral("すべてのファイル(*.*)|*.*|PNG 画像(*.png)|*.png|PDF(*.pdf)|*.pdf"),
            QStringLiteral("休暇のグラフ.png"), QStringLiteral(".png"));
    if (path)
        SaveImageTo(*path);
}

void TChartForm::SaveImageTo(const QString& path)
{
    QWidget& page = *PageControl1->currentWidget();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive)) {
        // One page the size of the chart, drawn as lines and text: the
        // window's pixels become points at 96 to the inch.
        QPdfWriter pdf(&buffer);
        pdf.setCreator(QStringLiteral("Valdemor"));
        pdf.setTitle(windowTitle());
        pdf.setResolution(96);
        pdf.setPageMargins(QMarginsF());
        pdf.setPageSize(QPageSize(QSizeF(page.width() * 72.0 / 96, page.height() * 72.0 / 96), QPageSize::Point));
        QPainter painter;
        if (!painter.begin(&pdf))
            RaiseInOutError(EIO);
        page.render(&painter, QPoint(), QRegion(), QWidget::DrawChildren);
        painter.end();
    } else if (!page.grab().save(&buffer, "PNG")) {
        RaiseInOutError(EIO);
    }
    SaveStep::WriteFile(path, bytes);
}

void TChartForm::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    if (placed_.isNull() || geometry() == placed_)
        return;
    placed_ = geometry();
    Application::Guard([this] {
        Settings::WriteChartWindowBounds({ placed_.top(), placed_.left(), placed_.width(), placed_.height() });
    });
}

void ShowChartWindow(QWidget* owner)
{
    if (!ChartForm)
        new TChartForm(owner);
    ChartForm->ShowCharts();
}

namespace {

// As the module is loaded, or as a program that links the window in starts.
[[maybe_unused]] const bool Registered = (RegisterChartWindow(ShowChartWindow), true);

} // namespace
