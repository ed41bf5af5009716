#include "views/Inputf.h"

#include <algorithm>

#include <QWidget>
#include <QButtonGroup>
#include <QDateEdit>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include "views/MainFrame.h"
#include "core/LeaveRange.h"
#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/FixedDialog.h"
#include "platform/Dates.h"
#include "views/DaySaves.h"
#include "views/EntryControls.h"

LongLivedWindow<TInputForm> InputForm;

void CentreOnMainWindow(QWidget& window)
{
    if (!MainFrame)
        return;
    const QRect frame = MainFrame->FrameWidget().frameGeometry();
    QPoint place = frame.center() - QPoint(window.width() / 2, window.height() / 2);
    // A window larger than the main window, or a main window near the edge,
    // must not put the title bar off the screen, where no one can reach it.
    // Before its first showing the frame is not known: a title bar's worth
    // is allowed for.
    if (const QScreen* screen = MainFrame->FrameWidget().screen()) {
        const QRect area = screen->availableGeometry();
        const QSize outer = window.isVisible() ? window.frameGeometry().size() : window.size() + QSize(8, 32);
        place.setX(std::clamp(place.x(), area.left(), std::max(area.left(), area.right() + 1 - outer.width())));
        place.setY(std::clamp(place.y(), area.top(), std::max(area.top(), area.bottom() + 1 - outer.height())));
    }
    window.move(place);
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
    if (InputForm.Existing() == this)
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
    RadioGroup1 = new TKindGroup(this, QRect(8, 48, 257, 105));
    RadioButtons = RadioGroup1->Buttons();
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
    DateTimePicker1
        = MakeDateField(this, QStringLiteral("DateTimePicker1"), QStringLiteral("日付"), QRect(8, 16, 249, 20));
}

void TInputForm::setupMemo()
{
    Label4 = new QLabel(QStringLiteral("メモ"), this);
    Label4->setObjectName(QStringLiteral("Label4"));
    Label4->move(8, 168);

    // On the row of "メモ", its text level with that label's (which takes
    // the height of its text) and its right edge with the memo box's.
    MemoLength = MakeMemoLength(this, QRect(165, 168, 100, 20));

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 192, 257, 20);
    Edit1->setAccessibleName(QStringLiteral("メモ"));
    ShowMemoLength();
}

void TInputForm::setupKeyboard()
{
    // The date field is watched for the focus it takes.
    DateTimePicker1->installEventFilter(this);
    // Enter on a focused button presses it, Alt+O and Alt+C press OK and
    // CANCEL, as on any dialog.
    SetUpDialogKeys(*this);
    // Tab order: the kinds, OK, CANCEL, the date, the memo.
    tabOrder_.Set({ RadioGroup1, Button1, Button2, DateTimePicker1, Edit1 });
}

void TInputForm::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button2Click(); }); });
    connect(Edit1, &QLineEdit::textChanged, this, [this] { Application::Guard([this] { ShowMemoLength(); }); });
}

int TInputForm::ItemIndex() const { return RadioGroup1->Kind(); }

void TInputForm::SetItemIndex(int kind) { RadioGroup1->SetKind(kind); }

void TInputForm::OpenEntryDialog(int year, int month, int day)
{
    // A day that does not exist (30 February in the fiscal-year grid) is
    // refused before anything else: a closed dialog stays closed rather than
    // come up with the values of its last use for a reflex OK to save again,
    // and an open one keeps what is being typed into it.
    const QDate date = Dates::EncodeDate(year, month, day);
    const LeaveStore::Entry entry = LeaveStore::FindEntry(year, month, day);
    openedFor_ = date;
    DateTimePicker1->ShowDate(date);
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
    return Dialogs::MessageBox(this, text, QStringLiteral("確認"), MsgIcon::Warning, MsgButtons::ReplaceOrKeep)
        == MsgAnswer::Yes;
}

void TInputForm::Button1Click()
{
    // The field keeps a date that does not exist as it was typed; it is
    // refused here rather than saved on a day next to it.
    if (const QString impossible = DateTimePicker1->ImpossibleDate(); !impossible.isEmpty()) {
        Dialogs::MessageBox(this, NoSuchDateText(impossible), QStringLiteral("警告"), MsgIcon::Warning);
        DateTimePicker1->setFocus(Qt::OtherFocusReason);
        DateTimePicker1->setSelectedSection(QDateTimeEdit::DaySection);
        return;
    }
    int year, month, day;
    Dates::DecodeDate(DateTimePicker1->date(), year, month, day);
    const int kind = ItemIndex() < 0 ? 0 : ItemIndex();
    const QString memo = Edit1->text();
    if (DateTimePicker1->date() != openedFor_ && !MayReplace(year, month, day, kind, memo))
        return;
    const LeaveStore::DayEntry entry { year, month, day, kind, memo };
    const QDate date(year, month, day);
    DaySaves::Save(LeaveRange::StepName(date, date, kind), std::span(&entry, 1));
    close();
}

void TInputForm::Button2Click() { close(); }

void TInputForm::ShowMemoLength() { ::ShowMemoLength(*MemoLength, Edit1->text()); }

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
