#include "views/Chymf.h"

#include <algorithm>

#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>

#include "platform/Application.h"
#include "platform/Dialogs.h"
#include "platform/FixedDialog.h"
#include "platform/Text.h"
#include "platform/UpDown.h"
#include "views/Hcalf.h"
#include "views/Inputf.h"
#include "views/Mcalf.h"
#include "views/Ycalf.h"

LongLivedWindow<TChYMForm> ChYMForm;

namespace {
// The form's size where its caption fits; the controls stand at their
// places in it.
constexpr int DesignWidth = 217;
constexpr int DesignHeight = 117;
} // namespace

TChYMForm::TChYMForm(QWidget* parent)
    : QWidget(parent, FixedToolDialogFlags)
{
    ChYMForm = this;
    setupUi();
    connectHandlers();
}

TChYMForm::~TChYMForm()
{
    if (ChYMForm.Existing() == this)
        ChYMForm = nullptr;
}

void TChYMForm::setupUi()
{
    setObjectName(QStringLiteral("ChYMForm"));
    setFixedSize(DesignWidth, DesignHeight);

    Label3 = new QLabel(this);
    Label3->setObjectName(QStringLiteral("Label3"));
    Label3->setGeometry(16, 8, 200, 16);

    Edit1 = new QLineEdit(this);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(16, 32, 57, 20);
    UpDown1 = new TUpDown(this);
    UpDown1->setObjectName(QStringLiteral("UpDown1"));
    UpDown1->setGeometry(73, 32, 16, 20);
    UpDown1->SetRange(0, 3000);
    UpDown1->SetAssociate(Edit1);
    UpDown1->setAccessibleName(QStringLiteral("年の増減"));
    UpDown1->UpButton()->setAccessibleName(QStringLiteral("年を増やす"));
    UpDown1->DownButton()->setAccessibleName(QStringLiteral("年を減らす"));

    Label1 = new QLabel(this);
    Label1->setObjectName(QStringLiteral("Label1"));
    Label1->move(96, 40);

    Edit2 = new QLineEdit(this);
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(120, 32, 49, 20);
    UpDown2 = new TUpDown(this);
    UpDown2->setObjectName(QStringLiteral("UpDown2"));
    UpDown2->setGeometry(169, 32, 16, 20);
    UpDown2->SetRange(1, 12);
    UpDown2->SetAssociate(Edit2);
    Edit2->setAccessibleName(QStringLiteral("月"));
    UpDown2->setAccessibleName(QStringLiteral("月の増減"));
    UpDown2->UpButton()->setAccessibleName(QStringLiteral("月を増やす"));
    UpDown2->DownButton()->setAccessibleName(QStringLiteral("月を減らす"));

    Label2 = new QLabel(QStringLiteral("月"), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label2->move(192, 40);

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(24, 64, 65, 33);
    Button2 = new QPushButton(QStringLiteral("&CANCEL"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(112, 64, 65, 33);

    tabOrder_.Set({ Button1, Button2, UpDown1, UpDown2, Edit1, Edit2 });
    // The form sees every key of the fields before they do, and Enter there
    // moves on; the buttons take Enter themselves.
    for (QWidget* control : std::initializer_list<QWidget*> { UpDown1, UpDown2, Edit1, Edit2 })
        control->installEventFilter(this);
    SetUpDialogKeys(*this);
}

void TChYMForm::connectHandlers()
{
    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button2Click(); }); });
}

void TChYMForm::setCaption(const QString& caption)
{
    setWindowTitle(caption);
    const int width = std::max(DesignWidth, TitleBarWidthFor(caption));
    const int shift = (width - DesignWidth) / 2;
    for (QWidget* control : findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        control->move(control->x() + shift - controlsShift_, control->y());
    controlsShift_ = shift;
    setFixedSize(width, DesignHeight);
}

void TChYMForm::OpenYearMonthChooser(CalendarKind kind, int year, int month)
{
    switch (kind) {
    case CalendarKind::Year:
        setCaption(QStringLiteral("年度の変更－年度カレンダー"));
        break;
    case CalendarKind::Month:
        setCaption(QStringLiteral("年月の変更－月カレンダー"));
        break;
    case CalendarKind::Holiday:
        setCaption(QStringLiteral("年度の変更－休日カレンダー"));
        break;
    }
    CentreOnMainWindow(*this);
    show();
    raise();
    activateWindow();
    QString unit;
    const bool months = kind == CalendarKind::Month;
    if (months) {
        Label1->setText(QStringLiteral("年"));
        Edit2->setText(QString::number(month));
        unit = QStringLiteral("月");
    } else {
        Label1->setText(QStringLiteral("年度"));
        unit = QStringLiteral("度");
    }
    Label1->adjustSize();
    Edit1->setAccessibleName(Label1->text());
    Label2->setVisible(months);
    Edit2->setVisible(months);
    UpDown2->setVisible(months);
    Label3->setText(QStringLiteral("変更する年") + unit + QStringLiteral("を入力して下さい。"));
    Edit1->setText(QString::number(year));
    // Every opening starts in the year, selected, so that a typed year
    // replaces it. A line edit drops its selection when some window
    // activates while it has no focus, so the selection is made as the year
    // takes the focus, once this window is active.
    selectYear_ = true;
    Edit1->setFocus(Qt::OtherFocusReason);
    if (Edit1->hasFocus())
        selectYear();
}

void TChYMForm::selectYear()
{
    selectYear_ = false;
    Edit1->selectAll();
}

void TChYMForm::Button1Click()
{
    const QChar marker = windowTitle().size() >= 7 ? windowTitle()[6] : QChar();
    if (marker == u'月') {
        const int month = Text::StrToInt(Edit2->text());
        const int year = Text::StrToInt(Edit1->text());
        if (IsOpen(CalendarKind::Month))
            MCalForm->Fill(year, month);
    } else {
        const int year = Text::StrToInt(Edit1->text());
        if (marker == u'休') {
            if (IsOpen(CalendarKind::Holiday))
                HCalForm->Fill(year);
        } else if (IsOpen(CalendarKind::Year)) {
            YcalForm->Fill(year);
        }
    }
    close();
}

void TChYMForm::Button2Click() { close(); }

bool TChYMForm::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == Edit1 && event->type() == QEvent::FocusIn && selectYear_)
        selectYear();
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            tabOrder_.Move(static_cast<QWidget*>(watched), true);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

bool TChYMForm::focusNextPrevChild(bool next)
{
    return tabOrder_.Move(focusWidget(), next) || QWidget::focusNextPrevChild(next);
}
