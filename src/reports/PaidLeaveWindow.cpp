#include "reports/PaidLeaveWindow.h"

#include <QLabel>
#include <QPushButton>
#include <QResizeEvent>

#include "core/PaidLeave.h"
#include "core/PaidLeaveSettings.h"
#include "platform/Application.h"
#include "platform/Dates.h"
#include "reports/PaidLeaveSentences.h"
#include "reports/PaidLeaveSettingsDialog.h"
#include "reports/TotalsWindow.h"
#include "views/ProgramEvents.h"
#include "widgets/StrCGrid.h"

LongLivedWindow<TPaidLeaveForm> PaidLeaveForm;

namespace {

constexpr int GridTop = 148;
constexpr int ColumnCount = 8;
constexpr int FiveDayColumn = 7;

const char16_t* const Headings[ColumnCount]
    = { u"付与日", u"付与", u"繰越", u"取得", u"失効", u"残", u"有効期限", u"5日" };
constexpr int ColumnWidths[ColumnCount] = { 76, 52, 52, 52, 52, 52, 76, 72 };
// Wide enough for every column, their lines, the frame and a vertical
// scroll bar: forty years of grants scroll only up and down.
constexpr int FormWidth = 537;

using PaidLeaveSentences::Days;

bool EndsPhrase(QChar c) { return c == u'|' || c == u' ' || c == u'\n'; }

// Japanese has no spaces, and a label wraps between any two of its
// characters, also inside a word ("期|限"). A sentence written with '|'
// between its phrases wraps only there and at its spaces: a word joiner
// (U+2060) between the characters of a phrase forbids a break, a zero-width
// space (U+200B) in place of each '|' allows one.
QString Phrased(const QString& sentence)
{
    QString text;
    text.reserve(2 * sentence.size());
    for (qsizetype i = 0; i < sentence.size(); ++i) {
        const QChar c = sentence[i];
        if (c == u'|') {
            text += QChar(0x200B);
            continue;
        }
        if (i > 0 && !EndsPhrase(sentence[i - 1]) && !EndsPhrase(c) && !c.isLowSurrogate())
            text += QChar(0x2060);
        text += c;
    }
    return text;
}

QLabel* MakeLabel(QWidget& parent, const QString& name, const QRect& geometry, const QString& text = QString())
{
    auto* label = new QLabel(text, &parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

// Sentences of more than one line, from the label's top left corner.
void WrapFromTopLeft(QLabel& label)
{
    label.setWordWrap(true);
    label.setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

void SetTextColour(QLabel& label, const QColor& colour)
{
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, colour);
    label.setPalette(palette);
}

} // namespace

TPaidLeaveForm::TPaidLeaveForm(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    PaidLeaveForm = this;
    setupUi();
    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
    const auto refresh = [this] {
        if (isVisible())
            Application::Guard([this] { Refresh(); });
    };
    FollowDataFile(this, refresh);
}

TPaidLeaveForm::~TPaidLeaveForm()
{
    if (PaidLeaveForm.Existing() == this)
        PaidLeaveForm = nullptr;
}

void TPaidLeaveForm::setupUi()
{
    setObjectName(QStringLiteral("PaidLeaveForm"));
    setWindowTitle(QStringLiteral("有給休暇の残日数"));
    resize(FormWidth, 400);
    setMinimumSize(FormWidth, 300);

    BitBtn1 = MakeCloseButton(*this);
    Button1 = new QPushButton(QStringLiteral("設定(&S)..."), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(90, 8, 90, 25);

    setupBalanceLabels();
    setupGrantGrid();

    SettingsForm = new TPaidLeaveSettingsForm(this);
    SettingsForm->OnSaved = [this] { Refresh(); };
}

void TPaidLeaveForm::setupBalanceLabels()
{
    Label1 = MakeLabel(*this, QStringLiteral("Label1"), QRect(8, 42, 150, 14), QStringLiteral("今日の残日数"));
    Label2 = MakeLabel(*this, QStringLiteral("Label2"), QRect(8, 58, 150, 40));
    QFont large = Label2->font();
    large.setPixelSize(30);
    large.setBold(true);
    Label2->setFont(large);

    Label3 = MakeLabel(*this, QStringLiteral("Label3"), QRect(166, 42, FormWidth - 174, 30));
    WrapFromTopLeft(*Label3);
    Label4 = MakeLabel(*this, QStringLiteral("Label4"), QRect(166, 76, FormWidth - 174, 44));
    WrapFromTopLeft(*Label4);
    Label5 = MakeLabel(*this, QStringLiteral("Label5"), QRect(8, 124, FormWidth - 16, 16));

    // In place of all the others until a hiring date is set.
    Label6 = MakeLabel(*this, QStringLiteral("Label6"), QRect(8, 48, FormWidth - 16, 40),
        Phrased(QStringLiteral(
            "「設定」で|入社日を|入力すると、|有給休暇の|付与日数と|今日の|残日数を|ここに|表示します。")));
    WrapFromTopLeft(*Label6);
}

void TPaidLeaveForm::setupGrantGrid()
{
    auto* grid = new TStrColGrid(this);
    StrColGrid1 = grid;
    grid->setObjectName(QStringLiteral("StrColGrid1"));
    grid->setGeometry(8, GridTop, FormWidth - 16, 400 - GridTop - 8);
    grid->SetDefaultDrawing(false);
    grid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRowSelect);
    grid->SetColCount(ColumnCount);
    grid->SetRowCount(2);
    grid->SetFixedCols(0);
    grid->SetFixedRows(1);
    grid->SetDefaultRowHeight(20);
    for (int col = 0; col < ColumnCount; ++col) {
        grid->SetColWidths(col, ColumnWidths[col]);
        grid->SetCells(col, 0, QString::fromUtf16(Headings[col]));
    }
    grid->SetFixedAlignment(taCenter);
    grid->SetAlignment(taRightJustify);
    grid->SetFixedLayout(tlCenter);
    grid->SetLayout(tlCenter);
    grid->SetFocusCellColor(clHighlightText);
}

void TPaidLeaveForm::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (StrColGrid1)
        StrColGrid1->resize(std::max(width() - 16, 0), std::max(height() - GridTop - 8, 0));
}

void TPaidLeaveForm::ShowBalance()
{
    ShowForRequest(*this);
    Refresh();
}

void TPaidLeaveForm::ShowHiringDateHint(bool hint)
{
    Label6->setVisible(hint);
    for (QWidget* widget :
        { static_cast<QWidget*>(Label1), static_cast<QWidget*>(Label2), static_cast<QWidget*>(Label3),
            static_cast<QWidget*>(Label4), static_cast<QWidget*>(Label5), static_cast<QWidget*>(StrColGrid1) })
        widget->setVisible(!hint);
}

void TPaidLeaveForm::Refresh()
{
    const QDate today = Dates::Today();
    const std::optional<PaidLeave::Balance> found = PaidLeave::ComputeFromDataFile(PaidLeaveSettings::Read(), today);
    ShowHiringDateHint(!found);
    if (!found)
        return;
    const PaidLeave::Balance& balance = *found;
    Label1->setText(PaidLeave::DateText(today) + QStringLiteral(" の残日数"));
    Label2->setText(Days(balance.Left));
    ShowExpiring(balance);
    ShowFiveDayRule(balance);
    ShowNextGrantAndExcess(balance);
    ShowGrants(balance);
}

void TPaidLeaveForm::ShowExpiring(const PaidLeave::Balance& balance)
{
    // What expires soon, the earliest first.
    QStringList expiring;
    for (const PaidLeave::DatedDays& item : balance.ExpiringSoon)
        expiring << PaidLeaveSentences::Expiry(item);
    Label3->setText(
        Phrased(expiring.isEmpty() ? QStringLiteral("3か月以内に|失効する|日は|ありません。") : expiring.join(u'\n')));
    SetTextColour(*Label3, expiring.isEmpty() ? palette().color(QPalette::WindowText) : QColor(255, 0, 0));
}

void TPaidLeaveForm::ShowFiveDayRule(const PaidLeave::Balance& balance)
{
    if (!balance.FiveDay) {
        Label4->setText(Phrased(QStringLiteral("年5日の|取得: 今の|付与年は|対象外です。")));
        SetTextColour(*Label4, palette().color(QPalette::WindowText));
        return;
    }
    Label4->setText(Phrased(PaidLeaveSentences::FiveDay(*balance.FiveDay)));
    SetTextColour(*Label4, balance.FiveDay->Warning ? QColor(255, 0, 0) : palette().color(QPalette::WindowText));
}

void TPaidLeaveForm::ShowNextGrantAndExcess(const PaidLeave::Balance& balance)
{
    QStringList notes;
    if (balance.NextGrant)
        notes << QStringLiteral("次の付与: ") + PaidLeave::DateText(balance.NextGrant->Date) + u' '
                + Days(balance.NextGrant->HalfDays);
    if (balance.BeyondGrants > 0)
        notes << QStringLiteral("付与を超えた取得: ") + Days(balance.BeyondGrants);
    Label5->setText(notes.join(QStringLiteral("　")));
}

void TPaidLeaveForm::ShowGrants(const PaidLeave::Balance& balance)
{
    // The newest grant at the top. A year that ended with the five-day rule
    // unmet is marked in red.
    TStrColGrid& grid = *StrColGrid1;
    const int rows = int(balance.Grants.size());
    grid.SetRowCount(std::max(rows, 1) + 1);
    grid.CellParams().Clear();
    for (int col = 0; col < ColumnCount; ++col)
        grid.SetCells(col, 1, QString());
    const auto optional = [](int halfDays, bool shown) { return shown ? PaidLeave::DaysText(halfDays) : QString(); };
    for (int i = 0; i < rows; ++i) {
        const PaidLeave::GrantRow& row = balance.Grants[size_t(rows - 1 - i)];
        const int r = i + 1;
        grid.SetCells(0, r, PaidLeave::DateText(row.Date));
        grid.SetCells(1, r, optional(row.Granted, !row.FromStartingBalance));
        grid.SetCells(2, r, optional(row.CarriedIn, row.FromStartingBalance));
        grid.SetCells(3, r, PaidLeave::DaysText(row.Used));
        grid.SetCells(4, r, PaidLeave::DaysText(row.Expired));
        grid.SetCells(5, r, PaidLeave::DaysText(row.Left));
        grid.SetCells(6, r, PaidLeave::DateText(row.ValidUntil));
        grid.SetCells(FiveDayColumn, r, row.FiveDay ? PaidLeaveSentences::FiveDayMark(*row.FiveDay) : QString());
        if (row.FiveDay && row.FiveDay->Over && !row.FiveDay->Met()) {
            // A cell of its own colour takes its alignment from its item too.
            grid.SetCellFontColor(FiveDayColumn, r, clRed);
            grid.SetCellAlignment(FiveDayColumn, r, taRightJustify);
        }
    }
    grid.update();
}

void TPaidLeaveForm::Button1Click() { SettingsForm->Open(); }
