#include "core/LeaveRange.h"

#include "core/DayOffRule.h"
#include "core/LeaveRecord.h"

namespace LeaveRange {

std::optional<QString> Refusal(const QDate& first, const QDate& last)
{
    if (!first.isValid() || !last.isValid())
        return QStringLiteral("日付が正しくありません。");
    if (last < first)
        return QStringLiteral("終了日が開始日より前になっています。");
    if (first.daysTo(last) >= MaxDays)
        return QStringLiteral("期間は%1日以内にしてください。").arg(MaxDays);
    return std::nullopt;
}

std::vector<QDate> Days(const QDate& first, const QDate& last, const DayOffRule* skip)
{
    std::vector<QDate> days;
    for (QDate day = first; day <= last; day = day.addDays(1)) {
        if (!skip || !skip->IsDayOff(day))
            days.push_back(day);
    }
    return days;
}

std::vector<LeaveStore::DayEntry> Entries(const std::vector<QDate>& days, int kind, const QString& memo)
{
    std::vector<LeaveStore::DayEntry> entries;
    entries.reserve(days.size());
    for (const QDate& day : days)
        entries.push_back({ day.year(), day.month(), day.day(), kind, memo });
    return entries;
}

std::vector<QDate> Overwritten(const std::vector<QDate>& days, int kind, const QString& memo)
{
    const std::vector<LeaveStore::Entry> stored = LeaveStore::FindEntries(days);
    std::vector<QDate> overwritten;
    for (size_t i = 0; i < days.size(); ++i) {
        if (stored[i].Kind == int(LeaveKind::Normal))
            continue;
        const QDate& day = days[i];
        const QString kept = LeaveRecord::Make(day.year(), day.month(), day.day(), kind, memo).Memo();
        if (stored[i].Kind != kind || stored[i].Memo != kept)
            overwritten.push_back(day);
    }
    return overwritten;
}

QString Summary(int days, int overwrites)
{
    if (days == 0)
        return QStringLiteral("登録する日がありません");
    QString text = QStringLiteral("%1日を登録します").arg(days);
    if (overwrites > 0)
        text += QStringLiteral("（うち%1日は登録済みの内容を上書きします）").arg(overwrites);
    return text;
}

QString StepName(const QDate& first, const QDate& last, int kind)
{
    QString name = first.toString(QStringLiteral("yyyy/MM/dd"));
    if (last != first)
        name += QStringLiteral("～")
            + last.toString(last.year() == first.year() ? QStringLiteral("MM/dd") : QStringLiteral("yyyy/MM/dd"));
    const QString label = LeaveKindLabel(kind);
    return name + QLatin1Char(' ') + (label.isEmpty() ? QString::number(kind) : label);
}

} // namespace LeaveRange
