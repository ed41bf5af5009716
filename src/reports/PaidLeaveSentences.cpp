#include "reports/PaidLeaveSentences.h"

#include <QDate>

#include "core/PaidLeave.h"

namespace PaidLeaveSentences {

QString Days(int halfDays) { return PaidLeave::DaysText(halfDays) + u'日'; }

QString Expiry(const PaidLeave::DatedDays& item)
{
    return PaidLeave::DateText(item.Date) + QStringLiteral(" までに|使わないと ") + Days(item.HalfDays)
        + QStringLiteral("が|失効します。");
}

QString FiveDay(const PaidLeave::FiveDayRule& rule)
{
    QString text = QStringLiteral("年5日の|取得: ") + PaidLeave::DateText(rule.GrantDate) + QStringLiteral(" 付与分は ")
        + Days(rule.Taken) + QStringLiteral("|取得済み|（期限 ") + PaidLeave::DateText(rule.Deadline)
        + QStringLiteral("）");
    if (rule.Met())
        text += QStringLiteral("\n5日以上|取得しました。");
    else if (rule.Warning)
        text += QStringLiteral("\n期限まで|3か月を|切りました。|あと ") + Days(10 - rule.Taken)
            + QStringLiteral("|取得して|ください。");
    return text;
}

QString FiveDayMark(const PaidLeave::FiveDayRule& rule)
{
    if (rule.Met())
        return QStringLiteral("済");
    if (rule.Over)
        return QStringLiteral("未達 ") + Days(rule.Taken);
    return QStringLiteral("あと") + Days(10 - rule.Taken);
}

QString Plain(const QString& phrased) { return QString(phrased).remove(u'|'); }

QStringList Warnings(const PaidLeave::Balance& balance)
{
    QStringList sentences;
    for (const PaidLeave::DatedDays& item : balance.ExpiringSoon)
        sentences << Plain(Expiry(item));
    if (balance.FiveDay && balance.FiveDay->Warning)
        sentences << Plain(FiveDay(*balance.FiveDay));
    return sentences;
}

QStringList DueBy(const PaidLeave::Balance& balance, const QDate& until)
{
    QStringList sentences;
    for (const PaidLeave::DatedDays& item : balance.ExpiringSoon) {
        if (item.Date <= until)
            sentences << Plain(Expiry(item));
    }
    if (balance.FiveDay && !balance.FiveDay->Met() && balance.FiveDay->Deadline <= until)
        sentences << Plain(FiveDay(*balance.FiveDay));
    return sentences;
}

} // namespace PaidLeaveSentences
