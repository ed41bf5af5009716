#include "app/Eopf.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QKeyEvent>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

#include "app/MainForm.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "platform/Application.h"
#include "platform/FixedDialog.h"
#include "views/Inputf.h"
#include "views/ProgramEvents.h"

LongLivedWindow<TOpForm> OpForm;

namespace {

// The layout, in pixels of the client area. Below the two groups come the
// check boxes of single settings, one row each; the buttons follow the last
// row, and the dialog is as high as that makes it.
constexpr int FormWidth = 308;
constexpr int GroupLeft = 8;
constexpr int GroupWidth = 289;
constexpr int RowsTop = 122;
constexpr int RowStep = 24;
constexpr int RowLeft = 16;
constexpr int RowHeight = 20;
constexpr int ButtonGap = 18; // from the last row's top to the buttons, less one step
constexpr int ButtonWidth = 81;
constexpr int ButtonHeight = 25;
constexpr int BottomMargin = 15;

struct CheckRow {
    QCheckBox* TOpForm::*box;
    QStringView name;
    QStringView caption;
};

// Top to bottom. A row added here gets its place, and the dialog grows by
// one step; its setting is loaded in FormShow and saved in Button1Click.
constexpr CheckRow CheckRows[] = {
    { &TOpForm::CheckBox8, u"CheckBox8", u"祝日も休日とする。" },
    { &TOpForm::CheckBox9, u"CheckBox9", u"ツールバーをフラットタイプにする。" },
    { &TOpForm::CheckBox10, u"CheckBox10", u"終了時にデータファイルの最適化をする。" },
    { &TOpForm::CheckBox11, u"CheckBox11", u"祝日は現行の祝日法で求める。" },
};
constexpr int RowCount = int(std::size(CheckRows));
constexpr int ButtonsTop = RowsTop + RowCount * RowStep + ButtonGap;
constexpr int FormHeight = ButtonsTop + ButtonHeight + BottomMargin;

} // namespace

TOpForm::TOpForm(QWidget* parent)
    : QWidget(parent, FixedToolDialogFlags)
{
    OpForm = this;
    setupUi();
    connectHandlers();
}

TOpForm::~TOpForm()
{
    if (OpForm.Existing() == this)
        OpForm = nullptr;
}

void TOpForm::setupUi()
{
    setObjectName(QStringLiteral("OpForm"));
    setWindowTitle(QStringLiteral("オプション設定"));
    setFixedSize(FormWidth, FormHeight);

    RadioGroup1 = new QGroupBox(QStringLiteral("起動時に表示するカレンダー"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(GroupLeft, 8, GroupWidth, 49);
    RadioButtons = new QButtonGroup(this);
    const QString items[] = { QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("休日") };
    const int columnWidth = (GroupWidth - 16) / 3;
    for (int index = 0; index < 3; ++index) {
        auto* button = new QRadioButton(items[index], RadioGroup1);
        button->setObjectName(QStringLiteral("RadioGroup1_%1").arg(index));
        button->setGeometry(8 + index * columnWidth, 20, columnWidth - 6, RowHeight);
        RadioButtons->addButton(button, index);
    }

    GroupBox1 = new QGroupBox(QStringLiteral("休日設定"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(GroupLeft, 64, GroupWidth, 49);
    QCheckBox** weekdays[] = { &CheckBox1, &CheckBox2, &CheckBox3, &CheckBox4, &CheckBox5, &CheckBox6, &CheckBox7 };
    const QString names[] = { QStringLiteral("日"), QStringLiteral("月"), QStringLiteral("火"), QStringLiteral("水"),
        QStringLiteral("木"), QStringLiteral("金"), QStringLiteral("土") };
    for (int day = 0; day < 7; ++day) {
        auto* box = new QCheckBox(names[day], GroupBox1);
        box->setObjectName(QStringLiteral("CheckBox%1").arg(day + 1));
        box->setGeometry(8 + day * 40, 20, 38, RowHeight);
        *weekdays[day] = box;
    }

    for (int row = 0; row < RowCount; ++row) {
        auto* box = new QCheckBox(CheckRows[row].caption.toString(), this);
        box->setObjectName(CheckRows[row].name.toString());
        box->setGeometry(RowLeft, RowsTop + row * RowStep, FormWidth - RowLeft - 8, RowHeight);
        this->*CheckRows[row].box = box;
    }
    // The help line of the compaction: what it keeps.
    CheckBox10->setToolTip(QStringLiteral(
        "消去した日は、同期しているほかのPCにも消去が伝わるよう、消去から%1日のあいだは最適化しても残します。")
                               .arg(LeaveStore::KeptClearDays));

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(56, ButtonsTop, ButtonWidth, ButtonHeight);
    Button2 = new QPushButton(QStringLiteral("&CANCEL"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(FormWidth - 56 - ButtonWidth, ButtonsTop, ButtonWidth, ButtonHeight);
    // Enter on a focused button presses that button; elsewhere it presses OK.
    SetUpDialogKeys(*this);

    // Top to bottom, as the controls stand; the start calendar is one stop
    // whose items the arrow keys choose.
    tabOrder_.Set({ RadioGroup1, CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7, CheckBox8,
        CheckBox9, CheckBox10, CheckBox11, Button1, Button2 });
}

void TOpForm::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button2Click(); }); });
}

std::array<QCheckBox*, 8> TOpForm::DayOffBoxes() const
{
    return { CheckBox1, CheckBox2, CheckBox3, CheckBox4, CheckBox5, CheckBox6, CheckBox7, CheckBox8 };
}

int TOpForm::ItemIndex() const { return RadioButtons->checkedId(); }

void TOpForm::SetItemIndex(int index)
{
    if (index >= 0) {
        RadioButtons->button(std::min(index, 2))->setChecked(true);
        return;
    }
    RadioButtons->setExclusive(false);
    if (QAbstractButton* checked = RadioButtons->checkedButton())
        checked->setChecked(false);
    RadioButtons->setExclusive(true);
}

void TOpForm::Open()
{
    if (isVisible()) {
        raise();
        activateWindow();
        return;
    }
    CentreOnMainWindow(*this);
    show(); // loads the settings
    raise();
    activateWindow();
    // The first stop of the tab order: the chosen start calendar, or the
    // first one when none is chosen.
    QAbstractButton* start = RadioButtons->checkedButton();
    (start ? start : RadioButtons->button(0))->setFocus(Qt::ActiveWindowFocusReason);
}

void TOpForm::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    // Only when the dialog becomes visible, not when the system shows it
    // again (restored from minimised).
    if (!event->spontaneous())
        Application::Guard([this] { FormShow(); });
}

void TOpForm::FormShow()
{
    storedStart_ = Settings::Exists() ? Settings::StartCalendar() : 0;
    SetItemIndex(storedStart_);
    const Settings::DaysOff days = Settings::ReadDaysOff();
    for (int day = 0; day < 7; ++day)
        DayOffBoxes()[size_t(day)]->setChecked(days.Weekly[size_t(day)]);
    CheckBox8->setChecked(days.NationalHolidays);
    CheckBox9->setChecked(Settings::ToolBarFlat());
    CheckBox10->setChecked(Settings::CompactAtExit());
    CheckBox11->setChecked(days.CurrentLaw);
    shown_ = Shown();
}

TOpForm::Values TOpForm::Shown() const
{
    Values values;
    const std::array<QCheckBox*, 8> boxes = DayOffBoxes();
    for (size_t n = 0; n < boxes.size(); ++n)
        values.DaysOff[n] = boxes[n]->isChecked();
    values.CurrentLaw = CheckBox11->isChecked();
    values.Start = ItemIndex();
    values.Flat = CheckBox9->isChecked();
    values.Compact = CheckBox10->isChecked();
    return values;
}

void TOpForm::Button1Click()
{
    // Only what the user changed in the dialog is written: the file may have
    // changed while it was open (another machine's options, brought by a
    // sync client), and writing back what the dialog showed would undo that.
    // So a day-off key that was missing and stays false stays missing.
    const Values now = Shown();
    const auto bit = [](bool on) { return on ? QStringLiteral("1") : QStringLiteral("0"); };
    QList<ProfileFile::Entry> writes;
    bool daysOffChanged = false;
    for (int n = 0; n < 8; ++n) {
        if (now.DaysOff[size_t(n)] == shown_.DaysOff[size_t(n)])
            continue;
        writes.append({ QStringLiteral("Holiday"), QString::number(n), bit(now.DaysOff[size_t(n)]) });
        daysOffChanged = true;
    }
    if (now.CurrentLaw != shown_.CurrentLaw) {
        writes.append({ QStringLiteral("Holiday"), QStringLiteral("CurrentLaw"), bit(now.CurrentLaw) });
        daysOffChanged = true;
    }
    // A stored calendar that no item stands for is written as the item shown.
    if (now.Start != shown_.Start || storedStart_ != shown_.Start)
        writes.append({ QStringLiteral("Start"), QStringLiteral("Show"), QString::number(now.Start) });
    if (now.Flat != shown_.Flat)
        writes.append({ QStringLiteral("View"), QStringLiteral("Flat"), bit(now.Flat) });
    if (now.Compact != shown_.Compact)
        writes.append({ QStringLiteral("End"), QStringLiteral("Saiteki"), bit(now.Compact) });
    // One replace of the file for all of them: a refused write leaves every
    // option as it was.
    Settings::WriteOptions(writes);

    if (daysOffChanged)
        emit ProgramEvents().daysOffChanged();
    if (Mainform)
        Mainform->SetToolBarFlat(Settings::ToolBarFlat());
    close();
}

void TOpForm::Button2Click() { close(); }

void TOpForm::keyPressEvent(QKeyEvent* event)
{
    // The controls leave Enter and Esc to the form: Enter is OK, Esc CANCEL.
    // A focused button has taken Enter itself.
    if (!ClickForEnterOrEsc(*event, *Button1, *Button2))
        QWidget::keyPressEvent(event);
}

bool TOpForm::focusNextPrevChild(bool next)
{
    return tabOrder_.Move(focusWidget(), next) || QWidget::focusNextPrevChild(next);
}
