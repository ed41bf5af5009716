#include "views/EntryControls.h"

#include <algorithm>

#include <QButtonGroup>
#include <QDateEdit>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
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

namespace {

// "yyyy/MM/dd" with every digit in place, as the field shows a whole date.
bool SplitDate(const QString& text, int& year, int& month, int& day)
{
    if (text.size() != 10 || text[4] != u'/' || text[7] != u'/')
        return false;
    for (const int at : { 0, 1, 2, 3, 5, 6, 8, 9 })
        if (!text[at].isDigit())
            return false;
    year = text.left(4).toInt();
    month = text.mid(5, 2).toInt();
    day = text.mid(8, 2).toInt();
    return true;
}

// A date whose every part is in its range, but whose day is past the end of
// its month: 2027/02/29, 2026/04/31.
bool IsImpossible(const QString& text)
{
    int year, month, day;
    return SplitDate(text, year, month, day) && year >= 1 && month >= 1 && month <= 12 && day >= 1 && day <= 31
        && !QDate::isValid(year, month, day);
}

// "2024/02/3", the day's first digit: Qt takes a 3 in February for the 3rd,
// as no day of the month begins with it, and drops the 0 that follows.
bool MayBecomeImpossible(const QString& text)
{
    int year, month, day;
    if (text.size() != 9 || !SplitDate(text + u'0', year, month, day) || !QDate::isValid(year, month, 1))
        return false;
    return day >= 10 && day <= 31 && day > QDate(year, month, 1).daysInMonth();
}

bool IsSeparator(const QString& text)
{
    return text == QLatin1String("/") || text == QLatin1String("-") || text == QLatin1String(".");
}

constexpr QDateTimeEdit::Section DateParts[]
    = { QDateTimeEdit::YearSection, QDateTimeEdit::MonthSection, QDateTimeEdit::DaySection };

} // namespace

TDateField::TDateField(QWidget* parent)
    : QDateEdit(parent)
{
    // Qt's own handling of the text has run when this is called: an
    // impossible date has left date() where it was.
    connect(lineEdit(), &QLineEdit::textChanged, this, [this](const QString& text) {
        if (!IsImpossible(text))
            impossible_.clear();
        else if (text != impossible_) {
            impossible_ = text;
            anchor_ = date();
        }
    });
}

QString TDateField::ImpossibleDate() const
{
    const QString shown = lineEdit()->text();
    return IsImpossible(shown) ? shown : QString();
}

void TDateField::ShowDate(const QDate& date)
{
    impossible_.clear();
    setDate(date);
}

QValidator::State TDateField::validate(QString& input, int& pos) const
{
    // Qt's parser would put the day back to the month's last.
    if (IsImpossible(input))
        return QValidator::Acceptable;
    if (MayBecomeImpossible(input))
        return QValidator::Intermediate;
    return QDateEdit::validate(input, pos);
}

QDateTime TDateField::dateTimeFromText(const QString& text) const
{
    return IsImpossible(text) ? dateTime() : QDateEdit::dateTimeFromText(text);
}

QString TDateField::textFromDateTime(const QDateTime& dateTime) const
{
    // Qt shows the field's date again when the field loses the focus, takes
    // Enter or changes part; the impossible date stays on show instead.
    if (!impossible_.isEmpty() && dateTime.date() == anchor_ && lineEdit()->text() == impossible_)
        return impossible_;
    return QDateEdit::textFromDateTime(dateTime);
}

QAbstractSpinBox::StepEnabled TDateField::stepEnabled() const
{
    if (!impossible_.isEmpty())
        return StepUpEnabled | StepDownEnabled;
    return QDateEdit::stepEnabled();
}

void TDateField::stepBy(int steps)
{
    // Up and Down change the part they are on and no other: a month or year
    // that the day does not fit shows the impossible date, as typing it
    // would.
    int year, month, day;
    const Section part = currentSection();
    if (!SplitDate(lineEdit()->text(), year, month, day) || !std::ranges::count(DateParts, part)) {
        QDateEdit::stepBy(steps);
        return;
    }
    if (part == YearSection)
        year = std::clamp(year + steps, minimumDate().year(), maximumDate().year());
    else if (part == MonthSection)
        month = std::clamp(month + steps, 1, 12);
    else if (QDate::isValid(year, month, 1))
        day = std::clamp(day + steps, 1, QDate(year, month, 1).daysInMonth());
    const QString text = QStringLiteral("%1/%2/%3")
                             .arg(year, 4, 10, QLatin1Char('0'))
                             .arg(month, 2, 10, QLatin1Char('0'))
                             .arg(day, 2, 10, QLatin1Char('0'));
    if (IsImpossible(text)) {
        lineEdit()->setText(text);
    } else if (const QDate stepped(year, month, day); stepped.isValid()) {
        ShowDate(std::clamp(stepped, minimumDate(), maximumDate()));
    }
    setSelectedSection(part);
}

void TDateField::focusInEvent(QFocusEvent* event)
{
    QDateEdit::focusInEvent(event);
    const Qt::FocusReason reason = event->reason();
    if (reason == Qt::TabFocusReason || reason == Qt::BacktabFocusReason || reason == Qt::OtherFocusReason)
        setSelectedSection(YearSection);
    movedOn_ = false;
}

void TDateField::hideEvent(QHideEvent* event)
{
    // A closed dialog drops what was typed; its date is set when it opens.
    ShowDate(date());
    QDateEdit::hideEvent(event);
}

void TDateField::keyPressEvent(QKeyEvent* event)
{
    const QString text = event->text();
    if ((event->key() == Qt::Key_Left || event->key() == Qt::Key_Right) && !(event->modifiers() & Qt::AltModifier)) {
        MovePart(event->key() == Qt::Key_Right ? 1 : -1);
        movedOn_ = false;
        return;
    }
    if (IsSeparator(text)) {
        // Qt would take a separator in the day for a move to the next control.
        if (!movedOn_)
            MovePart(1);
        movedOn_ = false;
        return;
    }
    const Section before = currentSection();
    QDateEdit::keyPressEvent(event);
    movedOn_ = text.size() == 1 && text[0].isDigit() && currentSection() != before;
}

bool TDateField::focusNextPrevChild(bool next)
{
    // Qt's date edit takes Tab for a move to its next part; here it leaves.
    return QWidget::focusNextPrevChild(next);
}

void TDateField::MovePart(int step)
{
    const auto at = std::ranges::find(DateParts, currentSection());
    const qsizetype from = at == std::end(DateParts) ? 0 : at - std::begin(DateParts);
    const Section to = DateParts[std::clamp<qsizetype>(from + step, 0, std::size(DateParts) - 1)];
    setCurrentSection(to);
    setSelectedSection(to);
}

QString ImpossibleDate(const QDateEdit& field)
{
    const auto* date = dynamic_cast<const TDateField*>(&field);
    return date ? date->ImpossibleDate() : QString();
}

QString NoSuchDateText(const QString& date) { return date + QStringLiteral(" という日付はありません。"); }

TDateField* MakeDateField(QWidget* parent, const QString& name, const QString& accessibleName, const QRect& geometry)
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
