#include "core/PaidLeaveSettings.h"

#include "core/Settings.h"
#include "platform/Text.h"

namespace PaidLeaveSettings {

namespace {
const QString Paid = QStringLiteral("Paid");
const QString Hired = QStringLiteral("Hired");
const QString Rule = QStringLiteral("Rule");
const QString FixedMonth = QStringLiteral("FixedMonth");
const QString FixedDay = QStringLiteral("FixedDay");
const QString Overrides = QStringLiteral("Overrides");
const QString Start = QStringLiteral("Start");
const QString Carried = QStringLiteral("Carried");
const QString WeeklyDays = QStringLiteral("WeeklyDays");
const QString Notice = QStringLiteral("Notice");
const QString LastNoticeKey = QStringLiteral("LastNotice");

using Entries = QList<std::pair<QString, QString>>;

std::optional<QString> ValueOf(const Entries& entries, const QString& name)
{
    for (const auto& [key, text] : entries) {
        if (key.compare(name, Qt::CaseInsensitive) == 0)
            return text;
    }
    return std::nullopt;
}

// Days as the user typed them: "12", "11.5".
QString DaysValue(int halfDays)
{
    return QString::number(halfDays / 2) + (halfDays % 2 ? QStringLiteral(".5") : QString());
}
} // namespace

QString ListText(const std::vector<PaidLeave::DatedDays>& items)
{
    QStringList parts;
    for (const PaidLeave::DatedDays& item : items)
        parts << PaidLeave::DateText(item.Date) + u':' + DaysValue(item.HalfDays);
    return parts.join(u',');
}

std::vector<PaidLeave::DatedDays> ParseList(const QString& text)
{
    std::vector<PaidLeave::DatedDays> items;
    for (const QString& part : text.split(u',', Qt::SkipEmptyParts)) {
        const qsizetype colon = part.indexOf(u':');
        if (colon < 0)
            continue;
        const std::optional<QDate> date = PaidLeave::ParseDate(part.left(colon));
        const std::optional<int> days = PaidLeave::ParseHalfDays(part.mid(colon + 1));
        if (date && days && *days <= PaidLeave::MaxItemHalfDays)
            items.push_back({ *date, *days });
        if (items.size() == PaidLeave::MaxListItems)
            break;
    }
    return items;
}

PaidLeave::Rules Read()
{
    // One reading of the file, so that the keys belong together.
    const Entries entries = Settings::SharedFile().ReadSection(Paid);
    const auto value = [&entries](const QString& name) { return ValueOf(entries, name); };
    const auto integer = [&value](const QString& name, int defaultValue) {
        const std::optional<QString> text = value(name);
        return text ? Text::StrToIntDef(*text, defaultValue) : defaultValue;
    };

    PaidLeave::Rules rules;
    if (const std::optional<QString> hired = value(Hired))
        rules.Hired = PaidLeave::ParseDate(*hired);
    rules.Rule = integer(Rule, 0) == 1 ? PaidLeave::GrantRule::FixedDate : PaidLeave::GrantRule::HiringDate;
    rules.FixedMonth = integer(FixedMonth, rules.FixedMonth);
    rules.FixedDay = integer(FixedDay, rules.FixedDay);
    rules.Overrides = ParseList(value(Overrides).value_or(QString()));
    if (const std::optional<QString> start = value(Start))
        rules.StartDate = PaidLeave::ParseDate(*start);
    rules.Carried = ParseList(value(Carried).value_or(QString()));
    const int weeklyDays = integer(WeeklyDays, PaidLeave::FullTimeWeeklyDays);
    if (weeklyDays >= 1 && weeklyDays <= PaidLeave::FullTimeWeeklyDays)
        rules.WeeklyDays = weeklyDays;
    rules.Notice = integer(Notice, 1) != 0;
    return rules;
}

void Write(const PaidLeave::Rules& rules)
{
    ProfileFile file = Settings::SharedFile();
    const Entries before = file.ReadSection(Paid);
    file.WriteString(Paid, Hired, rules.Hired ? PaidLeave::DateText(*rules.Hired) : QString());
    file.WriteInteger(Paid, Rule, int(rules.Rule));
    file.WriteInteger(Paid, FixedMonth, rules.FixedMonth);
    file.WriteInteger(Paid, FixedDay, rules.FixedDay);
    file.WriteString(Paid, Overrides, ListText(rules.Overrides));
    file.WriteString(Paid, Start, rules.StartDate ? PaidLeave::DateText(*rules.StartDate) : QString());
    file.WriteString(Paid, Carried, ListText(rules.Carried));
    if (rules.WeeklyDays != PaidLeave::FullTimeWeeklyDays || ValueOf(before, WeeklyDays))
        file.WriteInteger(Paid, WeeklyDays, rules.WeeklyDays);
    if (!rules.Notice || ValueOf(before, Notice))
        file.WriteBool(Paid, Notice, rules.Notice);
}

std::optional<QDate> LastNotice()
{
    return PaidLeave::ParseDate(Settings::SharedFile().ReadString(Paid, LastNoticeKey, QString()));
}

void SetLastNotice(const QDate& day)
{
    ProfileFile file = Settings::SharedFile();
    file.WriteString(Paid, LastNoticeKey, PaidLeave::DateText(day));
}

} // namespace PaidLeaveSettings
