#include "reports/PaidLeaveSettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpression>
#include <QSpinBox>

#include "core/PaidLeaveSettings.h"
#include "platform/Application.h"
#include "platform/Dates.h"
#include "platform/Dialogs.h"
#include "platform/FixedDialog.h"
#include "views/Inputf.h"
#include "views/ProgramEvents.h"

namespace {

QLabel* AddLabel(QWidget* parent, const QString& name, const QString& text, const QRect& geometry)
{
    auto* label = new QLabel(text, parent);
    label->setObjectName(name);
    label->setGeometry(geometry);
    return label;
}

QString LinesOf(const std::vector<PaidLeave::DatedDays>& items)
{
    QStringList lines;
    for (const PaidLeave::DatedDays& item : items)
        lines << PaidLeave::DateText(item.Date) + u' ' + PaidLeave::DaysText(item.HalfDays);
    return lines.join(u'\n');
}

// Lines "yyyy/mm/dd days", the two parted by blanks (also full-width ones),
// a comma or a colon. Empty lines are skipped. The first line that cannot be
// read, that holds more days than one item may or that is one item too many
// gives a warning that names the `list` and the line.
std::optional<std::vector<PaidLeave::DatedDays>> ParseLines(
    const QString& text, const QString& list, const QString& example, QString& warning)
{
    static const QRegularExpression separator(QStringLiteral("[\\s,:、：\\x{3000}]+"));
    std::vector<PaidLeave::DatedDays> items;
    const QStringList lines = text.split(u'\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QString line = lines[i].trimmed();
        if (line.isEmpty())
            continue;
        const QString number = QString::number(i + 1);
        const QStringList parts = line.split(separator, Qt::SkipEmptyParts);
        const std::optional<QDate> date = parts.size() == 2 ? PaidLeave::ParseDate(parts[0]) : std::nullopt;
        const std::optional<int> days = parts.size() == 2 ? PaidLeave::ParseHalfDays(parts[1]) : std::nullopt;
        if (!date || !days) {
            warning
                = QStringLiteral("%1の %2 行目を読めません。%3 のように入力してください。").arg(list, number, example);
            return std::nullopt;
        }
        if (*days > PaidLeave::MaxItemHalfDays) {
            warning = QStringLiteral("%1の %2 行目の日数は %3 日までで入力してください。")
                          .arg(list, number, QString::number(PaidLeave::MaxItemHalfDays / 2));
            return std::nullopt;
        }
        if (items.size() == PaidLeave::MaxListItems) {
            warning = QStringLiteral("%1は %2 行までで入力してください。")
                          .arg(list, QString::number(PaidLeave::MaxListItems));
            return std::nullopt;
        }
        items.push_back({ *date, *days });
    }
    return items;
}

} // namespace

TPaidLeaveSettingsForm::TPaidLeaveSettingsForm(QWidget* parent)
    : QWidget(parent, FixedToolDialogFlags)
{
    setupUi();
    const auto guarded = [this](void (TPaidLeaveSettingsForm::*handler)()) {
        return [this, handler] { Application::Guard([this, handler] { (this->*handler)(); }); };
    };
    connect(Button1, &QPushButton::clicked, this, guarded(&TPaidLeaveSettingsForm::Button1Click));
    connect(Button2, &QPushButton::clicked, this, guarded(&TPaidLeaveSettingsForm::Button2Click));
    connect(RadioButton2, &QRadioButton::toggled, this, [this](bool on) {
        SpinEdit1->setEnabled(on);
        SpinEdit2->setEnabled(on);
    });
}

void TPaidLeaveSettingsForm::setupUi()
{
    setObjectName(QStringLiteral("PaidLeaveSettingsForm"));
    setWindowTitle(QStringLiteral("有給休暇の設定"));
    setFixedSize(360, 442);

    AddLabel(this, QStringLiteral("Label1"), QStringLiteral("入社日(&H)"), QRect(8, 15, 100, 14))
        ->setBuddy(Edit1 = new QLineEdit(this));
    Edit1->setObjectName(QStringLiteral("Edit1"));
    Edit1->setGeometry(110, 12, 100, 21);
    Edit1->setPlaceholderText(QStringLiteral("2020/10/01"));
    AddLabel(this, QStringLiteral("Label2"), QStringLiteral("年/月/日で入力します。"), QRect(218, 15, 134, 14));

    GroupBox1 = new QGroupBox(QStringLiteral("付与する日"), this);
    GroupBox1->setObjectName(QStringLiteral("GroupBox1"));
    GroupBox1->setGeometry(8, 42, 344, 74);
    RadioButton1 = new QRadioButton(QStringLiteral("入社日から6か月後、以後1年ごと(&L)"), GroupBox1);
    RadioButton1->setObjectName(QStringLiteral("RadioButton1"));
    RadioButton1->setGeometry(12, 20, 320, 18);
    RadioButton2 = new QRadioButton(QStringLiteral("毎年決まった日(&X)"), GroupBox1);
    RadioButton2->setObjectName(QStringLiteral("RadioButton2"));
    RadioButton2->setGeometry(12, 46, 130, 18);
    SpinEdit1 = new QSpinBox(GroupBox1);
    SpinEdit1->setObjectName(QStringLiteral("SpinEdit1"));
    SpinEdit1->setGeometry(146, 44, 48, 22);
    SpinEdit1->setRange(1, 12);
    AddLabel(GroupBox1, QStringLiteral("Label3"), QStringLiteral("月"), QRect(198, 48, 16, 14));
    SpinEdit2 = new QSpinBox(GroupBox1);
    SpinEdit2->setObjectName(QStringLiteral("SpinEdit2"));
    SpinEdit2->setGeometry(216, 44, 48, 22);
    SpinEdit2->setRange(1, 31);
    AddLabel(GroupBox1, QStringLiteral("Label4"), QStringLiteral("日"), QRect(268, 48, 16, 14));

    AddLabel(this, QStringLiteral("Label8"), QStringLiteral("週の所定労働日数(&W)"), QRect(8, 127, 130, 14))
        ->setBuddy(ComboBox1 = new QComboBox(this));
    ComboBox1->setObjectName(QStringLiteral("ComboBox1"));
    ComboBox1->setGeometry(140, 124, 70, 21);
    // Index 0 is five days or more, index 4 one day: the days are 5 − index.
    ComboBox1->addItems({ QStringLiteral("5以上"), QStringLiteral("4"), QStringLiteral("3"), QStringLiteral("2"),
        QStringLiteral("1") });
    auto* help = AddLabel(this, QStringLiteral("Label9"),
        QStringLiteral("週30時間以上なら5以上です。日数が途中で変わっても付与日数は数え直さないので、"
                       "変わった後の付与は下の欄で直してください。"),
        QRect(8, 150, 344, 30));
    help->setWordWrap(true);
    help->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    AddLabel(this, QStringLiteral("Label5"), QStringLiteral("日数を変える付与（1行に「付与日 日数」）(&D)"),
        QRect(8, 186, 344, 14))
        ->setBuddy(Memo1 = new QPlainTextEdit(this));
    Memo1->setObjectName(QStringLiteral("Memo1"));
    Memo1->setGeometry(8, 202, 344, 58);
    Memo1->setTabChangesFocus(true);

    AddLabel(this, QStringLiteral("Label6"), QStringLiteral("記録を始めた日(&S)"), QRect(8, 273, 100, 14))
        ->setBuddy(Edit2 = new QLineEdit(this));
    Edit2->setObjectName(QStringLiteral("Edit2"));
    Edit2->setGeometry(110, 270, 100, 21);
    AddLabel(this, QStringLiteral("Label7"), QStringLiteral("その日に残っていた日数（1行に「付与日 残日数」）(&R)"),
        QRect(8, 298, 344, 14))
        ->setBuddy(Memo2 = new QPlainTextEdit(this));
    Memo2->setObjectName(QStringLiteral("Memo2"));
    Memo2->setGeometry(8, 314, 344, 58);
    Memo2->setTabChangesFocus(true);

    CheckBox1 = new QCheckBox(QStringLiteral("起動時に失効・取得義務をお知らせする"), this);
    CheckBox1->setObjectName(QStringLiteral("CheckBox1"));
    CheckBox1->setGeometry(8, 380, 344, 18);

    Button1 = new QPushButton(QStringLiteral("OK"), this);
    Button1->setObjectName(QStringLiteral("Button1"));
    Button1->setGeometry(190, 408, 78, 25);
    Button1->setDefault(true);
    Button2 = new QPushButton(QStringLiteral("キャンセル"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->setGeometry(274, 408, 78, 25);
    SetUpDialogKeys(*this);
}

void TPaidLeaveSettingsForm::ShowRules(const PaidLeave::Rules& rules)
{
    Edit1->setText(rules.Hired ? PaidLeave::DateText(*rules.Hired) : QString());
    (rules.Rule == PaidLeave::GrantRule::FixedDate ? RadioButton2 : RadioButton1)->setChecked(true);
    SpinEdit1->setEnabled(RadioButton2->isChecked());
    SpinEdit2->setEnabled(RadioButton2->isChecked());
    SpinEdit1->setValue(rules.FixedMonth);
    SpinEdit2->setValue(rules.FixedDay);
    ComboBox1->setCurrentIndex(PaidLeave::FullTimeWeeklyDays - rules.WeeklyDays);
    Memo1->setPlainText(LinesOf(rules.Overrides));
    Edit2->setText(rules.StartDate ? PaidLeave::DateText(*rules.StartDate) : QString());
    Memo2->setPlainText(LinesOf(rules.Carried));
    CheckBox1->setChecked(rules.Notice);
}

void TPaidLeaveSettingsForm::Open()
{
    ShowRules(PaidLeaveSettings::Read());
    if (!isVisible())
        CentreOnMainWindow(*this);
    show();
    raise();
    activateWindow();
    Edit1->setFocus();
}

TPaidLeaveSettingsForm::Reading TPaidLeaveSettingsForm::ReadFields() const
{
    PaidLeave::Rules rules;
    const QString hired = Edit1->text().trimmed();
    if (!hired.isEmpty()) {
        rules.Hired = PaidLeave::ParseDate(hired);
        if (!rules.Hired)
            return { std::nullopt, QStringLiteral("入社日は 2020/10/01 のように年/月/日で入力してください。") };
    }
    rules.Rule = RadioButton2->isChecked() ? PaidLeave::GrantRule::FixedDate : PaidLeave::GrantRule::HiringDate;
    rules.FixedMonth = SpinEdit1->value();
    rules.FixedDay = SpinEdit2->value();
    rules.WeeklyDays = PaidLeave::FullTimeWeeklyDays - ComboBox1->currentIndex();
    rules.Notice = CheckBox1->isChecked();
    // 29 February is a fixed day: in other years it falls on 28 February.
    if (rules.FixedDay > Dates::DaysInMonth(2000, rules.FixedMonth))
        return { std::nullopt,
            QStringLiteral("%1月%2日という日はありません。付与する日を選び直してください。")
                .arg(rules.FixedMonth)
                .arg(rules.FixedDay) };
    QString warning;
    const auto overrides = ParseLines(
        Memo1->toPlainText(), QStringLiteral("日数を変える付与"), QStringLiteral("2022/04/01 11.5"), warning);
    if (!overrides)
        return { std::nullopt, warning };
    rules.Overrides = *overrides;
    const QString start = Edit2->text().trimmed();
    if (!start.isEmpty()) {
        rules.StartDate = PaidLeave::ParseDate(start);
        if (!rules.StartDate)
            return { std::nullopt, QStringLiteral("記録を始めた日は 2023/04/01 のように年/月/日で入力してください。") };
    }
    const auto carried
        = ParseLines(Memo2->toPlainText(), QStringLiteral("残っていた日数"), QStringLiteral("2022/04/01 5.5"), warning);
    if (!carried)
        return { std::nullopt, warning };
    rules.Carried = *carried;
    if (!rules.Carried.empty() && !rules.StartDate)
        return { std::nullopt, QStringLiteral("残っていた日数を入れるときは、記録を始めた日も入力してください。") };
    for (const PaidLeave::DatedDays& item : rules.Carried) {
        if (item.Date > *rules.StartDate)
            return { std::nullopt,
                QStringLiteral("残っていた日数の付与日 %1 が記録を始めた日より後です。")
                    .arg(PaidLeave::DateText(item.Date)) };
    }
    return { rules, QString() };
}

void TPaidLeaveSettingsForm::Button1Click()
{
    const Reading reading = ReadFields();
    if (!reading.Rules) {
        Dialogs::MessageBox(this, reading.Warning, QStringLiteral("警告"), MsgIcon::Warning);
        return;
    }
    PaidLeaveSettings::Write(*reading.Rules);
    close();
    if (OnSaved)
        OnSaved();
    emit ProgramEvents().paidLeaveSettingsChanged();
}

void TPaidLeaveSettingsForm::Button2Click() { close(); }

void TPaidLeaveSettingsForm::keyPressEvent(QKeyEvent* event)
{
    if (!ClickForEnterOrEsc(*event, *Button1, *Button2))
        QWidget::keyPressEvent(event);
}
