#include "views/Rangef.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QDateEdit>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "core/DayOffRule.h"
#include "core/LeaveRange.h"
#include "core/LeaveRecord.h"
#include "platform/Application.h"
#include "platform/Colors.h"
#include "platform/Dialogs.h"
#include "platform/FixedDialog.h"
#include "views/DaySaves.h"
#include "views/EntryControls.h"
#include "views/Inputf.h"

LongLivedWindow<TRangeForm> RangeForm;

TRangeForm::TRangeForm(QWidget* parent)
    : QWidget(parent, FixedToolDialogFlags)
{
    RangeForm = this;
    setupUi();
}

TRangeForm::~TRangeForm()
{
    if (RangeForm.Existing() == this)
        RangeForm = nullptr;
}

QLabel* TRangeForm::AddLabel(const QString& text, const QPoint& at)
{
    auto* label = new QLabel(text, this);
    label->move(at);
    return label;
}

void TRangeForm::setupUi()
{
    setObjectName(QStringLiteral("RangeForm"));
    setWindowTitle(QStringLiteral("期間入力"));
    setFixedSize(353, 334);

    AddLabel(QStringLiteral("開始日"), QPoint(8, 11));
    StartDate = MakeDateField(this, QStringLiteral("StartDate"), QStringLiteral("開始日"), QRect(64, 8, 140, 22));
    AddLabel(QStringLiteral("終了日"), QPoint(8, 39));
    EndDate = MakeDateField(this, QStringLiteral("EndDate"), QStringLiteral("終了日"), QRect(64, 36, 140, 22));

    RadioGroup1 = new TKindGroup(this, QRect(8, 66, 337, 105));
    RadioGroup1->SetKind(int(LeaveKind::FullDay));

    AddLabel(QStringLiteral("メモ"), QPoint(8, 180));
    MemoLength = MakeMemoLength(this, QRect(245, 180, 100, 20));
    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(8, 202, 337, 20);
    Edit1->setAccessibleName(QStringLiteral("メモ"));
    ShowMemoLength(*MemoLength, QString());

    SkipDaysOff = new QCheckBox(QStringLiteral("休日（定休日・祝日）は除く"), this);
    SkipDaysOff->setObjectName(QStringLiteral("SkipDaysOff"));
    SkipDaysOff->setGeometry(8, 230, 337, 20);
    SkipDaysOff->setChecked(true);

    Summary = new QLabel(this);
    Summary->setObjectName(QStringLiteral("Summary"));
    Summary->setGeometry(8, 256, 337, 34);
    Summary->setWordWrap(true);
    Summary->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(72, 298, 81, 25);
    Button2 = new QPushButton(QStringLiteral("&CANCEL"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(200, 298, 81, 25);

    SetUpDialogKeys(*this);
    tabOrder_.Set({ StartDate, EndDate, RadioGroup1, Edit1, SkipDaysOff, Button1, Button2 });

    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button2Click(); }); });
    const auto summary = [this] { Application::Guard([this] { ShowSummary(); }); };
    connect(StartDate, &QDateEdit::dateChanged, this, summary);
    connect(EndDate, &QDateEdit::dateChanged, this, summary);
    connect(RadioGroup1->Buttons(), &QButtonGroup::idToggled, this, [summary](int, bool checked) {
        if (checked)
            summary();
    });
    connect(SkipDaysOff, &QCheckBox::toggled, this, summary);
    connect(Edit1, &QLineEdit::textChanged, this, [this, summary] {
        ShowMemoLength(*MemoLength, Edit1->text());
        summary();
    });
}

void TRangeForm::OpenRangeDialog(const QDate& day)
{
    {
        // One summary for the new dates, not one for each field.
        const QSignalBlocker start(StartDate), end(EndDate), memo(Edit1), skip(SkipDaysOff);
        StartDate->setDate(day);
        EndDate->setDate(day);
        Edit1->clear();
        SkipDaysOff->setChecked(true);
    }
    ShowMemoLength(*MemoLength, QString());
    told_.reset(); // the file may have changed since the last opening
    CentreOnMainWindow(*this);
    show();
    raise();
    activateWindow();
    ShowSummary();
    // A window that comes back gives its field the focus again without
    // choosing a section, and setDate above dropped the selection: the year
    // is selected here, whether the field has the focus yet or not.
    StartDate->setFocus(Qt::OtherFocusReason);
    StartDate->setSelectedSection(QDateTimeEdit::YearSection);
}

std::vector<QDate> TRangeForm::Days() const
{
    const DayOffRule rule = DayOffRule::Read();
    return LeaveRange::Days(StartDate->date(), EndDate->date(), SkipDaysOff->isChecked() ? &rule : nullptr);
}

void TRangeForm::ShowSummary()
{
    QPalette colours; // what is not set here follows the dialog's
    if (const auto refusal = LeaveRange::Refusal(StartDate->date(), EndDate->date())) {
        Summary->setText(*refusal);
        colours.setColor(QPalette::WindowText, toQColor(clRed));
    } else {
        // The file is read again only for another period, kind or memo: Enter
        // in a date field sends the same date once more, and the count the
        // user read must stay what OK compares with.
        const std::vector<QDate> days = Days();
        const int kind = std::max(RadioGroup1->Kind(), 0);
        if (!told_ || told_->Days != days || told_->Kind != kind || told_->Memo != Edit1->text())
            told_ = Told { days, kind, Edit1->text(), LeaveRange::Overwritten(days, kind, Edit1->text()) };
        Summary->setText(LeaveRange::Summary(int(days.size()), int(told_->Overwritten.size())));
    }
    Summary->setPalette(colours);
}

void TRangeForm::Button1Click()
{
    // A date typed that does not exist is refused, never taken as the last
    // date that did.
    for (QDateEdit* field : { StartDate, EndDate }) {
        if (const QString impossible = ImpossibleDate(*field); !impossible.isEmpty()) {
            Dialogs::MessageBox(
                this, NoSuchDateText(impossible), QStringLiteral("警告"), MsgIcon::Warning, MsgButtons::Ok);
            field->setFocus(Qt::OtherFocusReason);
            return;
        }
    }
    const QDate first = StartDate->date(), last = EndDate->date();
    if (const auto refusal = LeaveRange::Refusal(first, last)) {
        Dialogs::MessageBox(this, *refusal, QStringLiteral("警告"), MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    const std::vector<QDate> days = Days();
    if (days.empty()) {
        Dialogs::MessageBox(this, QStringLiteral("期間内に登録する日がありません。"), QStringLiteral("警告"),
            MsgIcon::Warning, MsgButtons::Ok);
        return;
    }
    const int kind = std::max(RadioGroup1->Kind(), 0);
    // The summary was worked out before; another copy of the program may
    // have written some of these days since.
    if (!told_ || LeaveRange::Overwritten(days, kind, Edit1->text()) != told_->Overwritten) {
        told_.reset();
        ShowSummary();
        const MsgAnswer answer = Dialogs::MessageBox(this,
            QStringLiteral("この期間の登録内容がほかで変更されました。\n%1。\nこのまま登録しますか？")
                .arg(Summary->text()),
            QStringLiteral("確認"), MsgIcon::Question, MsgButtons::ReplaceOrKeep);
        if (answer != MsgAnswer::Yes)
            return; // the dialog stays, telling the new count
    }
    const auto entries = LeaveRange::Entries(days, kind, Edit1->text());
    DaySaves::Save(LeaveRange::StepName(first, last, kind), entries);
    close();
}

void TRangeForm::Button2Click() { close(); }

void TRangeForm::keyPressEvent(QKeyEvent* event)
{
    if (!ClickForEnterOrEsc(*event, *Button1, *Button2))
        QWidget::keyPressEvent(event);
}

bool TRangeForm::focusNextPrevChild(bool next)
{
    return tabOrder_.Move(focusWidget(), next) || QWidget::focusNextPrevChild(next);
}
