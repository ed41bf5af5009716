#include "reports/SelCalF.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>

#include "platform/Application.h"
#include "platform/FixedDialog.h"
#include "reports/TotalsRequest.h"
#include "reports/TotalsWindow.h"

LongLivedWindow<TSelCalform> SelCalform;

TSelCalform::TSelCalform(QWidget* parent)
    : QWidget(parent,
        Qt::Dialog | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint | Qt::WindowTitleHint
            | Qt::WindowCloseButtonHint | Qt::CustomizeWindowHint)
{
    SelCalform = this;
    setupUi();
    connect(Button1, &QPushButton::clicked, this, [this] { Application::Guard([this] { Button1Click(); }); });
    connect(Button2, &QPushButton::clicked, this, [this] { Button2Click(); });
}

TSelCalform::~TSelCalform()
{
    if (SelCalform.Existing() == this)
        SelCalform = nullptr;
}

void TSelCalform::setupUi()
{
    setObjectName(QStringLiteral("SelCalform"));
    setWindowTitle(QStringLiteral("集計項目選択"));
    setFixedSize(200, 141);

    RadioGroup1 = new QGroupBox(QStringLiteral("集計項目"), this);
    RadioGroup1->setObjectName(QStringLiteral("RadioGroup1"));
    RadioGroup1->setGeometry(8, 8, 185, 89);
    RadioButtons = new QButtonGroup(this);
    const char16_t* items[] = { u"年度累計", u"月別集計" };
    for (int index = 0; index < 2; ++index) {
        auto* button = new QRadioButton(QString::fromUtf16(items[index]), RadioGroup1);
        button->setObjectName(QStringLiteral("RadioGroup1_%1").arg(index));
        button->setGeometry(16, 24 + index * 28, 150, 20);
        RadioButtons->addButton(button, index);
    }
    SetItemIndex(0);

    Button1 = new QPushButton(QStringLiteral("&OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(8, 108, 81, 25);
    Button2 = new QPushButton(QStringLiteral("&CANCEL"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(112, 108, 81, 25);
    // Enter presses the focused button, or OK from the choices.
    SetUpDialogKeys(*this);
    Button1->setDefault(true);
    setTabOrder(RadioButtons->button(0), Button1);
    setTabOrder(Button1, Button2);
}

int TSelCalform::ItemIndex() const { return RadioButtons->checkedId(); }

void TSelCalform::SetItemIndex(int index)
{
    if (QAbstractButton* button = RadioButtons->button(index))
        button->setChecked(true);
}

void TSelCalform::OpenTotalsSelection() { ShowForRequest(*this); }

void TSelCalform::Button1Click()
{
    const bool shown = ItemIndex() == 1 ? RequestMonthlyTotals() : RequestYearTotals();
    if (shown)
        close();
}

void TSelCalform::Button2Click() { close(); }

void TSelCalform::keyPressEvent(QKeyEvent* event)
{
    if (!ClickForEnterOrEsc(*event, *Button1, *Button2))
        QWidget::keyPressEvent(event);
}
