#include "views/EntryControls.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QRadioButton>

#include "core/LeaveRecord.h"
#include "platform/Colors.h"
#include "platform/ShiftJis.h"

TKindGroup::TKindGroup(QWidget* parent, const QRect& geometry)
    : QGroupBox(QStringLiteral("休暇種類"), parent)
    , buttons_(new QButtonGroup(this))
{
    setObjectName(QStringLiteral("RadioGroup1"));
    setGeometry(geometry);
    constexpr int columns = 3;
    constexpr int perColumn = (LeaveKindCount + columns - 1) / columns;
    const int columnWidth = (geometry.width() - 8) / columns;
    const int rowHeight = (geometry.height() - 20) / perColumn;
    for (int kind = 0; kind < LeaveKindCount; ++kind) {
        auto* button = new QRadioButton(LeaveKindLabel(kind), this);
        button->setObjectName(QStringLiteral("RadioGroup1_%1").arg(kind));
        button->setGeometry(
            8 + kind / perColumn * columnWidth, 16 + kind % perColumn * rowHeight, columnWidth - 4, rowHeight);
        button->installEventFilter(this);
        buttons_->addButton(button, kind);
    }
    setFocusProxy(buttons_->button(0));
    connect(buttons_, &QButtonGroup::idToggled, this, [this] {
        QAbstractButton* checked = buttons_->checkedButton();
        setFocusProxy(checked ? checked : buttons_->button(0));
    });
}

int TKindGroup::Kind() const { return buttons_->checkedId(); }

void TKindGroup::SetKind(int kind)
{
    if (QAbstractButton* button = buttons_->button(kind)) {
        button->setChecked(true);
        return;
    }
    buttons_->setExclusive(false);
    if (QAbstractButton* checked = buttons_->checkedButton())
        checked->setChecked(false);
    buttons_->setExclusive(true);
}

void TKindGroup::MoveTick(int from, int step)
{
    // Qt's own move stops at the foot of a column.
    QAbstractButton* next = buttons_->button((from + step + LeaveKindCount) % LeaveKindCount);
    next->setChecked(true);
    next->setFocus(step > 0 ? Qt::TabFocusReason : Qt::BacktabFocusReason);
}

bool TKindGroup::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const int kind = buttons_->id(qobject_cast<QAbstractButton*>(watched));
        if (kind >= 0 && (key->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier
            && (key->key() == Qt::Key_Up || key->key() == Qt::Key_Down)) {
            MoveTick(kind, key->key() == Qt::Key_Down ? 1 : -1);
            return true;
        }
    }
    return QGroupBox::eventFilter(watched, event);
}

void TDateField::focusInEvent(QFocusEvent* event)
{
    QDateEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::OtherFocusReason)
        setSelectedSection(YearSection);
    movedOn_ = false;
}

void TDateField::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if (movedOn_ && (text == QLatin1String("/") || text == QLatin1String("-") || text == QLatin1String("."))) {
        movedOn_ = false;
        return;
    }
    const Section before = currentSection();
    QDateEdit::keyPressEvent(event);
    movedOn_ = text.size() == 1 && text[0].isDigit() && currentSection() != before;
}

QDateEdit* MakeDateField(QWidget* parent, const QString& name, const QString& accessibleName, const QRect& geometry)
{
    auto* field = new TDateField(parent);
    field->setObjectName(name);
    field->setGeometry(geometry);
    field->setAccessibleName(accessibleName);
    field->setCalendarPopup(true);
    field->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    field->setDateRange(QDate(1, 1, 1), QDate(9999, 12, 31));
    return field;
}

QLabel* MakeMemoLength(QWidget* parent, const QRect& geometry)
{
    auto* label = new QLabel(parent);
    label->setObjectName(QStringLiteral("MemoLength"));
    label->setGeometry(geometry);
    label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    label->setAccessibleName(QStringLiteral("メモの長さ"));
    label->setToolTip(QStringLiteral("メモは30バイト（全角15文字）まで保存されます"));
    return label;
}

void ShowMemoLength(QLabel& label, const QString& memo)
{
    const int bytes = ShiftJis::ByteLength(memo);
    label.setText(QStringLiteral("%1/%2").arg(bytes).arg(LeaveRecord::MemoCapacity));
    QPalette colours; // what is not set here follows the dialog's
    if (bytes > LeaveRecord::MemoCapacity)
        colours.setColor(QPalette::WindowText, toQColor(clRed));
    label.setPalette(colours);
}
