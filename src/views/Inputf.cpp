#include "views/Inputf.h"

#include <QWidget>
#include <QButtonGroup>
#include <QDateEdit>
#include <QGroupBox>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "views/MainFrame.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "platform/Application.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/FixedDialog.h"
#include "platform/Dates.h"
#include "platform/ShiftJis.h"
#include "views/ProgramEvents.h"

TInputForm* InputForm = nullptr;

void CentreOnMainWindow(QWidget& window)
{
    if (!MainFrame)
        return;
    const QRect frame = MainFrame->FrameWidget().frameGeometry();
    window.move(frame.center() - QPoint(window.width() / 2, window.height() / 2));
}

TInputForm::TInputForm(QWidget* parent)
    : QWidget(parent, FixedToolDialogFlags)
{
    InputForm = this;
    setupUi();
    connectHandlers();
}

TInputForm::~TInputForm()
{
    if (InputForm == this)
        InputForm = nullptr;
}

// The controls are made in their tab order, which Qt's own focus chain follows too.
void TInputForm::setupUi()
{
    setObjectName(QStringLiteral("InputForm"));
    setWindowTitle(QStringLiteral("入力画面"));
    setFixedSize(280, 262);
    setupKinds();
    setupButtons();
    setupDate();
    setupMemo();
    setupKeyboard();
}

void TInputForm::setupKinds()
{
    RadioGroup1 = new QGroupBox(QStringLiteral("休暇種類"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(8, 48, 257, 105);
    RadioButtons = new QButtonGroup(this);
    // Three columns filled top to bottom, so the index of a choice is its kind.
    constexpr int columns = 3;
    constexpr int perColumn = (LeaveKindCount + columns - 1) / columns;
    const int columnWidth = (257 - 8) / columns;
    const int rowHeight = (105 - 20) / perColumn;
    for (int kind = 0; kind < LeaveKindCount; ++kind) {
        auto* button = new QRadioButton(LeaveKindLabel(kind), RadioGroup1);
        button->setObjectName(QStringLiteral("RadioGroup1_%1").arg(kind));
        button->setGeometry(
            8 + kind / perColumn * columnWidth, 16 + kind % perColumn * rowHeight, columnWidth - 4, rowHeight);
        RadioButtons->addButton(button, kind);
    }
}

void TInputForm::setupButtons()
{
    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(32, 224, 81, 25);
    Button2 = new QPushButton(QStringLiteral("&CANCEL"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(152, 224, 81, 25);
}

void TInputForm::setupDate()
{
    DateTimePicker1 = new QDateEdit(this);
    DateTimePicker1->setObjectName(QStringLiteral("DateTimePicker1"));
    DateTimePicker1->setGeometry(8, 16, 249, 20);
    DateTimePicker1->setAccessibleName(QStringLiteral("日付"));
    DateTimePicker1->setCalendarPopup(true);
    DateTimePicker1->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    DateTimePicker1->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
}

void TInputForm::setupMemo()
{
    Label4 = new QLabel(QStringLiteral("メモ"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->move(8, 168);

    // On the row of "メモ", its text level with that label's (which takes
    // the height of its text) and its right edge with the memo box's.
    MemoLength = new QLabel(this);
    MemoLength->setObjectName(QStringLiteral("MemoLength"));
    MemoLength->setGeometry(165, 168, 100, 20);
    MemoLength->setAlignment(Qt::AlignRight | Qt::AlignTop);
    MemoLength->setAccessibleName(QStringLiteral("メモの長さ"));
    MemoLength->setToolTip(QStringLiteral("メモは30バイト（全角15文字）まで保存されます"));

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 192, 257, 20);
    Edit1->setAccessibleName(QStringLiteral("メモ"));
    ShowMemoLength();
}

void TInputForm::setupKeyboard()
{
    // The arrow keys are taken from whichever kind has the focus; the date
    // field is watched for the focus it takes.
    for (QAbstractButton* button : RadioButtons->buttons())
        button->installEventFilter(this);
    DateTimePicker1->installEventFilter(this);
    // Enter on a focused button presses it, Alt+O and Alt+C press OK and
    // CANCEL, as on any dialog.
    SetUpDialogKeys(*this);
    // Tab into the kinds lands on the ticked one, whichever had the focus before.
    RadioGroup1->setFocusProxy(RadioButtons->button(0));

    // Tab order: the kinds, OK, CANCEL, the date, the memo.
    tabOrder_.Set({ RadioGroup1, Button1, Button2, DateTimePicker1, Edit1 });
}

void TInputForm::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button2Click(); }); });
    connect(RadioButtons, &QButtonGroup::idToggled, this, [this] {
        QAbstractButton* checked = RadioButtons->checkedButton();
        RadioGroup1->setFocusProxy(checked ? checked : RadioButtons->button(0));
    });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Application::Guard([this] { ShowMemoLength(); }); });
}

int TInputForm::ItemIndex() const { return RadioButtons->checkedId(); }

void TInputForm::SetItemIndex(int kind)
{
    if (QAbstractButton* button = RadioButtons->button(kind)) {
        button->setChecked(true);
        return;
    }
    // A kind the dialog has no choice for (a foreign record): nothing is chosen.
    RadioButtons->setExclusive(false);
    if (QAbstractButton* checked = RadioButtons->checkedButton())
        checked->setChecked(false);
    RadioButtons->setExclusive(true);
}

void TInputForm::OpenEntryDialog(int year, int month, int day)
{
    // A day that does not exist (30 February in the fiscal-year grid) is
    // refused before anything else: a closed dialog stays closed rather than
    // come up with the values of its last use for a reflex OK to save again,
    // and an open one keeps what is being typed into it.
    const QDate date = Dates::EncodeDate(year, month, day);
    const LeaveStore::Entry entry = LeaveStore::FindEntry(year, month, day);
    openedFor_ = date;
    DateTimePicker1->setDate(date);
    Edit1->setText(entry.Memo);
    SetItemIndex(entry.Kind);
    CentreOnMainWindow(*this);
    show();
    raise();
    activateWindow();
    // Every opening starts in the date's year, selected, so that a typed
    // date replaces the whole of it. The field keeps its section of last
    // time when its window comes back, so the year is chosen again once
    // the field has the focus in an active window.
    selectYear_ = true;
    DateTimePicker1->setFocus(Qt::OtherFocusReason);
    if (DateTimePicker1->hasFocus())
        SelectYear();
}

void TInputForm::SelectYear()
{
    selectYear_ = false;
    DateTimePicker1->setSelectedSection(QDateTimeEdit::YearSection);
}

bool TInputForm::MayReplace(int year, int month, int day, int kind, const QString& memo)
{
    // A date changed in the picker is easily missed, and OK would put the
    // typed entry over the leave stored for that other day without a trace.
    const LeaveStore::Entry stored = LeaveStore::FindEntry(year, month, day);
    if (stored.Kind == int(LeaveKind::Normal))
        return true;
    if (stored.Kind == kind && stored.Memo == LeaveRecord::Make(year, month, day, kind, memo).Memo())
        return true;
    // A kind written by another tool has no label: its number stands in.
    const QString label = LeaveKindLabel(stored.Kind);
    QString text = QDate(year, month, day).toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral(" には「")
        + (label.isEmpty() ? QString::number(stored.Kind) : label) + QStringLiteral("」");
    if (!stored.Memo.isEmpty())
        text += QStringLiteral("（") + stored.Memo + QStringLiteral("）");
    text += QStringLiteral("が登録されています。上書きしますか？");
    return Dialogs::MessageBox(this, text, QStringLiteral("確認"), MsgIcon::Warning, MsgButtons::YesNo)
        == MsgAnswer::Yes;
}

void TInputForm::Button1Click()
{
    int year, month, day;
    Dates::DecodeDate(DateTimePicker1->date(), year, month, day);
    const int kind = ItemIndex() < 0 ? 0 : ItemIndex();
    const QString memo = Edit1->text();
    if (DateTimePicker1->date() != openedFor_ && !MayReplace(year, month, day, kind, memo))
        return;
    LeaveStore::SaveEntry(year, month, day, kind, memo);
    emit ProgramEvents().daySaved(
        QDate(year, month, day), kind, LeaveRecord::Make(year, month, day, kind, memo).Memo());
    close();
}

void TInputForm::Button2Click() { close(); }

void TInputForm::ShowMemoLength()
{
    // Typing is not limited; only the first 30 bytes are stored, and the
    // count turns red once more than that is typed.
    const int bytes = ShiftJis::ByteLength(Edit1->text());
    MemoLength->setText(QStringLiteral("%1/%2").arg(bytes).arg(LeaveRecord::MemoCapacity));
    QPalette colours; // what is not set here follows the dialog's
    if (bytes > LeaveRecord::MemoCapacity)
        colours.setColor(QPalette::WindowText, toQColor(clRed));
    MemoLength->setPalette(colours);
}

void TInputForm::MoveTick(int from, int step)
{
    // Up and Down go through the kinds in their order, round the end and
    // from one column into the next, and the tick goes along, as in any
    // radio group. Qt's own move stops at the foot of a column.
    QAbstractButton* next = RadioButtons->button((from + step + LeaveKindCount) % LeaveKindCount);
    next->setChecked(true);
    next->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool TInputForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == DateTimePicker1 && event->type() == QEvent::FocusIn && selectYear_) {
        // After the field's own handling of the focus, which would put back
        // the section of last time.
        QTimer::singleShot(0, this, [this] {
            if (selectYear_ && DateTimePicker1->hasFocus())
                SelectYear();
        });
    }
    if (event->type() != QEvent::KeyPress)
        return QWidget::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const int kind = RadioButtons->id(qobject_cast<QAbstractButton*>(watched));
    if (kind >= 0 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
        && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
        MoveTick(kind, key->key() == Qt::Key_Down ? 1 : -1);
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void TInputForm::keyPressEvent(QKeyEvent* event)
{
    // Enter moves on to the next control, and the key itself goes nowhere;
    // but the form does not look at its controls' keys, so only a key that
    // the form itself receives counts. Enter typed in a control that does not
    // use it stays there.
    const QWidget* focus = focusWidget();
    if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && (!focus || focus == this)) {
        focusNextChild();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        Button2->click();
        return;
    }
    QWidget::keyPressEvent(event);
}

bool TInputForm::focusNextPrevChild(bool next)
{
    return tabOrder_.Move(focusWidget(), next) || QWidget::focusNextPrevChild(next);
}
