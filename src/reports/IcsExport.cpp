#include "reports/IcsExport.h"

#include <algorithm>
#include <map>

#include "core/Julius.h"
#include "core/LeaveDays.h"
#include "core/LeaveStore.h"
#include "core/ShownHolidays.h"
#include "platform/Dates.h"
#include "platform/Dialogs.h"
#include "reports/SaveStep.h"
#include "views/CalendarWindow.h"

namespace IcsExport {

namespace {

constexpr int MaxOctets = 75;

QString DateValue(const QDate& date)
{
    return QStringLiteral("%1%2%3")
        .arg(date.year(), 4, 10, QLatin1Char('0'))
        .arg(date.month(), 2, 10, QLatin1Char('0'))
        .arg(date.day(), 2, 10, QLatin1Char('0'));
}

QString MakeUid(const QString& what, const QDate& date)
{
    return what + u'-' + DateValue(date) + QStringLiteral("@valdemor");
}

void AddLine(QByteArray& out, const QString& line) { out += FoldLine(line.toUtf8()); }

} // namespace

int ExportedFiscalYear()
{
    if (const std::optional<OpenCalendar> open = TheOpenCalendar())
        return open->Window->ShownFiscalYear();
    const QDate today = Dates::Today();
    return Julius::FiscalYearOf(today.year(), today.month());
}

std::vector<Event> LeaveEvents(int fiscalYear)
{
    Julius::CheckFiscalYear(fiscalYear);
    std::vector<Event> events;
    for (const LeaveRecord& record : LeaveStore::ReadRecords(LeaveDays::OfFiscalYear(fiscalYear).LeavePositions())) {
        // A day the month does not have cannot be an event.
        if (!Dates::IsValidDate(record.Year(), record.Month(), record.Day()))
            continue;
        const QDate date(record.Year(), record.Month(), record.Day());
        events.push_back(
            Event { date, MakeUid(QStringLiteral("leave"), date), LeaveKindLabel(record.Kind()), record.Memo() });
    }
    return events;
}

std::vector<Event> HolidayEvents(int fiscalYear)
{
    Julius::CheckFiscalYear(fiscalYear);
    const ShownHolidays holidays = ShownHolidays::Read();
    std::vector<Event> events;
    for (int month : { 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3 }) {
        const int year = month >= 4 ? fiscalYear : fiscalYear + 1;
        std::map<int, QString> byDay; // the month's list names a day once, but keep them in day order
        for (const HolidayCalendar::MonthHoliday& holiday : holidays.OfMonth(year, month))
            byDay[holiday.Day] = holiday.Name;
        for (const auto& [day, name] : byDay) {
            const QDate date(year, month, day);
            events.push_back(Event { date, MakeUid(QStringLiteral("holiday"), date), name, QString() });
        }
    }
    return events;
}

QString EscapeText(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        switch (c.unicode()) {
        case u'\\':
        case u',':
        case u';':
            out += u'\\';
            out += c;
            break;
        case u'\r':
            if (i + 1 < text.size() && text[i + 1] == u'\n')
                ++i;
            out += QStringLiteral("\\n");
            break;
        case u'\n':
            out += QStringLiteral("\\n");
            break;
        default:
            // Other control characters may not stand in a TEXT value.
            if ((c.unicode() < 0x20 && c != u'\t') || c.unicode() == 0x7F)
                break;
            out += c;
        }
    }
    return out;
}

QByteArray FoldLine(const QByteArray& line)
{
    QByteArray out;
    qsizetype start = 0;
    int limit = MaxOctets;
    while (line.size() - start > limit) {
        // Back off to the first byte of a UTF-8 character (never 10xxxxxx).
        qsizetype end = start + limit;
        while (end > start && (uchar(line[end]) & 0xC0) == 0x80)
            --end;
        if (end == start)
            end = start + limit; // no character start at all: not UTF-8, cut anyway
        out += line.mid(start, end - start);
        out += "\r\n ";
        start = end;
        limit = MaxOctets - 1; // the continuation line's leading blank counts
    }
    out += line.mid(start);
    out += "\r\n";
    return out;
}

QByteArray FileBytes(const std::vector<Event>& events, const QDateTime& stamp)
{
    const QString dtstamp = stamp.toUTC().toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    QByteArray out;
    AddLine(out, QStringLiteral("BEGIN:VCALENDAR"));
    AddLine(out, QStringLiteral("VERSION:2.0"));
    AddLine(out, QStringLiteral("PRODID:-//Valdemor//Valdemor//JA"));
    AddLine(out, QStringLiteral("CALSCALE:GREGORIAN"));
    for (const Event& event : events) {
        AddLine(out, QStringLiteral("BEGIN:VEVENT"));
        AddLine(out, QStringLiteral("UID:") + event.Uid);
        AddLine(out, QStringLiteral("DTSTAMP:") + dtstamp);
        AddLine(out, QStringLiteral("DTSTART;VALUE=DATE:") + DateValue(event.Date));
        AddLine(out, QStringLiteral("DTEND;VALUE=DATE:") + DateValue(event.Date.addDays(1)));
        AddLine(out, QStringLiteral("SUMMARY:") + EscapeText(event.Summary));
        if (!event.Description.isEmpty())
            AddLine(out, QStringLiteral("DESCRIPTION:") + EscapeText(event.Description));
        AddLine(out, QStringLiteral("END:VEVENT"));
    }
    AddLine(out, QStringLiteral("END:VCALENDAR"));
    return out;
}

std::vector<Event> Events(int fiscalYear, bool holidays)
{
    std::vector<Event> events = LeaveEvents(fiscalYear);
    if (holidays) {
        // A holiday comes before a leave day of the same date.
        std::vector<Event> all = HolidayEvents(fiscalYear);
        all.insert(all.end(), events.begin(), events.end());
        std::stable_sort(all.begin(), all.end(), [](const Event& a, const Event& b) { return a.Date < b.Date; });
        events = std::move(all);
    }
    return events;
}

void Export(QWidget* owner)
{
    const int fiscalYear = ExportedFiscalYear();
    Julius::CheckFiscalYear(fiscalYear);
    // Holidays are offered only where the calendars show them.
    const bool holidays = ShownHolidays::Read().Any()
        && Dialogs::MessageBox(owner, QStringLiteral("国民の祝日も出力しますか？"), QStringLiteral("確認"),
               MsgIcon::Question, MsgButtons::YesNo)
            == MsgAnswer::Yes;
    const std::optional<QString> path
        = SaveStep::AskPath(owner, QStringLiteral("すべてのファイル(*.*)|*.*|iCalendar(*.ics)|*.ics"),
            QStringLiteral("休暇(") + Julius::FiscalYearCaption(fiscalYear) + QStringLiteral(").ics"),
            QStringLiteral(".ics"));
    if (!path)
        return;
    SaveStep::WriteFile(*path, FileBytes(Events(fiscalYear, holidays), QDateTime::currentDateTimeUtc()));
}

} // namespace IcsExport
