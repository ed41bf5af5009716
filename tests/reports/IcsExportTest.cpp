#include "reports/IcsExport.h"

#include <algorithm>

#include <QMdiArea>
#include <QProcess>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "core/CalendarFill.h"
#include "core/DayCode.h"
#include "core/LeaveStore.h"
#include "views/Mcalf.h"
#include "views/ViewsTestSupport.h"

namespace {

const QDateTime Stamp(QDate(2024, 1, 2), QTime(3, 4, 5), Qt::UTC);

void AppendRecord(const LeaveRecord& record)
{
    QFile file(LeaveStore::FilePath());
    ASSERT_TRUE(file.open(QIODevice::Append));
    file.write(reinterpret_cast<const char*>(record.Data()), LeaveRecord::Size);
}

QByteArray Calendar(const QByteArray& events)
{
    return "BEGIN:VCALENDAR\r\nVERSION:2.0\r\nPRODID:-//Valdemor//Valdemor//JA\r\nCALSCALE:GREGORIAN\r\n" + events
        + "END:VCALENDAR\r\n";
}

QByteArray LeaveEventText(const char* date, const char* next, const QString& summary, const QString& memo = {})
{
    QByteArray text = QByteArray("BEGIN:VEVENT\r\nUID:leave-") + date + "@valdemor\r\nDTSTAMP:20240102T030405Z\r\n"
        + "DTSTART;VALUE=DATE:" + date + "\r\nDTEND;VALUE=DATE:" + next + "\r\nSUMMARY:" + summary.toUtf8() + "\r\n";
    if (!memo.isEmpty())
        text += "DESCRIPTION:" + memo.toUtf8() + "\r\n";
    return text + "END:VEVENT\r\n";
}

// A record as another tool may leave it: kind 0 without the cleared flag.
LeaveRecord Uncleared(LeaveRecord record)
{
    record.Data()[16] = 0;
    return record;
}

QString DayText(int year, int month, int day)
{
    return QStringLiteral("%1-%2-%3").arg(year).arg(month, 2, 10, QLatin1Char('0')).arg(day, 2, 10, QLatin1Char('0'));
}

// What the month calendars of a fiscal year show, filled as the program
// fills them: "date text|memo" for every day with a text in the leave and
// holiday column.
QStringList MonthCalendarDays(int fiscalYear)
{
    TStrColGrid grid;
    grid.SetColCount(4);
    grid.SetRowCount(32);
    QPushButton caption;
    QStringList days;
    for (int month : { 4, 5, 6, 7, 8, 9, 10, 11, 12, 1, 2, 3 }) {
        const int year = month >= 4 ? fiscalYear : fiscalYear + 1;
        FillMonthCalendar(grid, caption, year, month);
        for (int day = 1; day <= 31; ++day) {
            if (!grid.Cells(2, day).isEmpty())
                days << DayText(year, month, day) + u' ' + grid.Cells(2, day) + u'|' + grid.Cells(3, day);
        }
    }
    return days;
}

// The holiday list of the fiscal year in the same form.
QStringList HolidayListDays(int fiscalYear)
{
    TStrColGrid grid;
    grid.SetColCount(5);
    grid.SetRowCount(2);
    QPushButton caption;
    FillHolidayCalendar(grid, caption, fiscalYear);
    QStringList days;
    for (int row = 1; row < grid.RowCount(); ++row) {
        if (!grid.Cells(1, row).isEmpty())
            days << grid.Cells(1, row).replace(Dates::DateSeparator(), u'-') + u' ' + grid.Cells(3, row) + u'|'
                    + grid.Cells(4, row);
    }
    return days;
}

// The events in that form: a leave day by the code the calendars show for
// its kind, a holiday by its name.
QStringList EventDays(const std::vector<IcsExport::Event>& events)
{
    QStringList days;
    for (const IcsExport::Event& event : events) {
        QString text = event.Summary;
        for (int kind = 1; kind < LeaveKindCount; ++kind) {
            if (LeaveKindLabel(kind) == event.Summary)
                text = DayCodeText(kind);
        }
        days << DayText(event.Date.year(), event.Date.month(), event.Date.day()) + u' ' + text + u'|'
                + event.Description;
    }
    return days;
}

QStringList Uids(const QByteArray& file)
{
    QStringList uids;
    for (const QByteArray& line : file.split('\n'))
        if (line.startsWith("UID:"))
            uids << QString::fromUtf8(line.mid(4).trimmed());
    return uids;
}

} // namespace

class IcsExportTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;
    FixedToday today { QDate(2010, 1, 15) };
    QTemporaryDir out;

    QString OutFile(const QString& name) const { return out.path() + u'/' + name; }
    static QByteArray Read(const QString& path)
    {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

TEST_F(IcsExportTest, ASmallYearGivesOneAllDayEventPerLeaveDay)
{
    LeaveStore::SaveEntry(2009, 4, 1, 1, QStringLiteral("通院"));
    LeaveStore::SaveEntry(2009, 5, 1, 2, QString());
    LeaveStore::SaveEntry(2009, 6, 1, 0, QStringLiteral("取り消し")); // cleared
    LeaveStore::SaveEntry(2010, 3, 31, 10, QStringLiteral("棚卸"));
    LeaveStore::SaveEntry(2009, 3, 31, 1, QString()); // the fiscal year before
    LeaveStore::SaveEntry(2010, 4, 1, 1, QString()); // the fiscal year after
    AppendRecord(LeaveRecord::Make(2009, 5, 1, 3, QStringLiteral("後"))); // a later record of 1 May counts
    AppendRecord(LeaveRecord::Make(2009, 6, 31, 1, QString())); // no such day
    AppendRecord(LeaveRecord::Make(2009, 7, 1, 42, QString())); // no such kind
    AppendRecord(LeaveRecord::Make(2009, 7, 2, -1, QString()));

    EXPECT_EQ(IcsExport::FileBytes(IcsExport::LeaveEvents(2009), Stamp),
        Calendar(LeaveEventText("20090401", "20090402", QStringLiteral("１日休暇"), QStringLiteral("通院"))
            + LeaveEventText("20090501", "20090502", QStringLiteral("PM休暇"), QStringLiteral("後"))
            + LeaveEventText("20100331", "20100401", QStringLiteral("休日出勤"), QStringLiteral("棚卸"))));
}

TEST_F(IcsExportTest, EveryKindIsSummedUpAsTheEntryDialogNamesIt)
{
    const char* const labels[]
        = { "１日休暇", "AM休暇", "PM休暇", "定休日", "夏休み", "冬休み", "ＧＷ", "特別休暇", "代休", "休日出勤" };
    for (int kind = 1; kind <= 10; ++kind)
        LeaveStore::SaveEntry(2009, 8, kind, kind, QString());
    const std::vector<IcsExport::Event> events = IcsExport::LeaveEvents(2009);
    ASSERT_EQ(events.size(), 10u);
    for (int kind = 1; kind <= 10; ++kind)
        EXPECT_EQ(events[size_t(kind - 1)].Summary, QString::fromUtf8(labels[kind - 1]));
}

TEST_F(IcsExportTest, AnEmptyYearGivesACalendarWithoutEvents)
{
    EXPECT_EQ(IcsExport::FileBytes(IcsExport::LeaveEvents(2015), Stamp), Calendar({}));
}

TEST_F(IcsExportTest, LongLinesAreFoldedAt75OctetsBetweenCharacters)
{
    // "DESCRIPTION:x" is 13 octets, each kana 3: 20 kana fill 73 octets and
    // the 21st would reach 76.
    const QString memo = u'x' + QString(50, QChar(0x3042));
    const IcsExport::Event event { QDate(2009, 4, 1), QStringLiteral("leave-20090401@valdemor"),
        QStringLiteral("１日休暇"), memo };
    const QByteArray file = IcsExport::FileBytes({ event }, Stamp);
    const QByteArray a = QString(QChar(0x3042)).toUtf8();
    EXPECT_TRUE(file.contains(
        "\r\nDESCRIPTION:x" + a.repeated(20) + "\r\n " + a.repeated(24) + "\r\n " + a.repeated(6) + "\r\n"))
        << file.constData();
    for (const QByteArray& line : file.split('\n')) {
        EXPECT_LE(line.size(), 76) << line.constData(); // 75 and the CR
        EXPECT_EQ(QString::fromUtf8(line).toUtf8(), line) << "a character was split";
    }

    // Exactly 75 octets stay on one line.
    const QByteArray full = "SUMMARY:" + QByteArray(67, 'y');
    EXPECT_EQ(IcsExport::FoldLine(full), full + "\r\n");
    EXPECT_EQ(IcsExport::FoldLine(full + 'z'), full + "\r\n z\r\n");
}

TEST_F(IcsExportTest, CommasSemicolonsBackslashesAndLineBreaksAreEscaped)
{
    LeaveStore::SaveEntry(2009, 4, 1, 1, QStringLiteral("a,b;c\\d\r\ne\nf\x01g"));
    const QByteArray file = IcsExport::FileBytes(IcsExport::LeaveEvents(2009), Stamp);
    EXPECT_TRUE(file.contains("\r\nDESCRIPTION:a\\,b\\;c\\\\d\\ne\\nfg\r\n")) << file.constData();
}

TEST_F(IcsExportTest, UidsDependOnTheDateAlone)
{
    LeaveStore::SaveEntry(2009, 4, 1, 1, QString());
    LeaveStore::SaveEntry(2009, 4, 2, 1, QString());
    const QStringList first = Uids(IcsExport::FileBytes(IcsExport::LeaveEvents(2009), Stamp));
    LeaveStore::SaveEntry(2009, 4, 1, 5, QStringLiteral("変更"));
    LeaveStore::SaveEntry(2009, 3, 31, 1, QString());
    LeaveStore::SaveEntry(2009, 4, 3, 1, QString());
    const QStringList second = Uids(IcsExport::FileBytes(IcsExport::LeaveEvents(2009), Stamp.addDays(3)));
    ASSERT_EQ(first.size(), 2);
    ASSERT_EQ(second.size(), 3);
    EXPECT_EQ(second.mid(0, 2), first);
    EXPECT_NE(second[2], second[1]);
    EXPECT_NE(first[0], first[1]);
}

TEST_F(IcsExportTest, HolidaysAreEventsOfTheirOwnOnlyWhereTheCalendarsShowThem)
{
    EXPECT_TRUE(IcsExport::HolidayEvents(2009).empty()); // no settings: holidays are not days off

    data.Write(QStringLiteral("orbelund.ini"), "[Holiday]\r\n7=1\r\n");
    const std::vector<IcsExport::Event> holidays = IcsExport::HolidayEvents(2009);
    QStringList listed;
    for (const IcsExport::Event& event : holidays)
        listed << event.Date.toString(Qt::ISODate) + u' ' + event.Summary;
    EXPECT_EQ(listed.first(), QStringLiteral("2009-04-29 昭和の日"));
    EXPECT_TRUE(listed.contains(QStringLiteral("2009-05-06 振休")));
    EXPECT_TRUE(listed.contains(QStringLiteral("2009-09-22 振休")));
    EXPECT_TRUE(listed.contains(QStringLiteral("2010-01-01 元旦")));
    EXPECT_EQ(listed.last(), QStringLiteral("2010-03-22 振休")); // the equinox on a Sunday
    EXPECT_EQ(holidays.front().Uid, QStringLiteral("holiday-20090429@valdemor"));
}

// Off, by the program's own table and by the law as it stands: the events
// are the holidays the month calendar names.
TEST_F(IcsExportTest, HolidaysAreThoseTheMonthCalendarNamesByEitherTable)
{
    const std::pair<QByteArray, bool> cases[] = {
        { "[Holiday]\r\n7=0\r\nCurrentLaw=1\r\n", false },
        { "[Holiday]\r\n7=1\r\n", false },
        { "[Holiday]\r\n7=1\r\nCurrentLaw=1\r\n", true },
    };
    for (const auto& [settings, byLaw] : cases) {
        data.Write(QStringLiteral("orbelund.ini"), settings);
        const QStringList shown = MonthCalendarDays(2024);
        EXPECT_EQ(EventDays(IcsExport::HolidayEvents(2024)), shown) << settings.constData();
        // The tables differ in this year.
        EXPECT_EQ(shown.contains(QStringLiteral("2024-08-11 山の日|")), byLaw) << settings.constData();
    }
}

// A file another tool wrote or a damage left: the last record of a date that
// is not cleared decides the day, and a day it gives no leave kind is shown
// empty and is no event.
TEST_F(IcsExportTest, LeaveEventsAreTheLeaveDaysTheCalendarsShow)
{
    AppendRecord(LeaveRecord::Make(2024, 5, 7, 1, QStringLiteral("前")));
    AppendRecord(Uncleared(LeaveRecord::Make(2024, 5, 7, 0, QStringLiteral("取消"))));
    AppendRecord(LeaveRecord::Make(2024, 6, 3, 2, QString()));
    AppendRecord(LeaveRecord::Make(2024, 6, 3, 42, QString()));
    AppendRecord(LeaveRecord::Make(2024, 6, 4, 5, QStringLiteral("夏")));
    AppendRecord(LeaveRecord::Make(2024, 6, 4, 8, QStringLiteral("後")));
    AppendRecord(LeaveRecord::Make(2024, 7, 1, 1, QStringLiteral("残る")));
    AppendRecord(LeaveRecord::Make(2024, 7, 1, 0, QString())); // cleared: counts for nothing
    LeaveStore::SaveEntry(2025, 2, 10, 9, QStringLiteral("代休"));

    const QStringList shown = MonthCalendarDays(2024);
    EXPECT_EQ(shown,
        (QStringList { QStringLiteral("2024-06-04 特|後"), QStringLiteral("2024-07-01 全|残る"),
            QStringLiteral("2025-02-10 代|代休") }));
    EXPECT_EQ(HolidayListDays(2024), shown);
    EXPECT_EQ(EventDays(IcsExport::LeaveEvents(2024)), shown);
}

TEST_F(IcsExportTest, TheCommandWritesTheFiscalYearOfTheOpenCalendar)
{
    LeaveStore::SaveEntry(2009, 12, 28, 6, QStringLiteral("帰省"));
    LeaveStore::SaveEntry(2010, 4, 1, 1, QString());
    ProgramWindows program(data, "[Start]\r\nShow=1\r\n"); // January 2010: fiscal year 2009
    MCalForm->ShowMonth(4); // February, same fiscal year
    dialogs.saveAnswers.push_back(SaveDialogAnswer { OutFile(QStringLiteral("leave")), 2 });
    program.Main().iCalendar1->trigger();

    ASSERT_EQ(dialogs.saveRequests.size(), 1u);
    EXPECT_EQ(dialogs.saveRequests[0].fileName, QStringLiteral("休暇(2009年度).ics"));
    EXPECT_EQ(dialogs.saveRequests[0].filterIndex, 2);
    EXPECT_EQ(dialogs.saveRequests[0].title, QString());
    EXPECT_EQ(dialogs.saveRequests[0].filter, QStringLiteral("すべてのファイル(*.*)|*.*|iCalendar(*.ics)|*.ics"));
    EXPECT_TRUE(dialogs.messages.empty()) << "holidays are not offered while they are no days off";
    const QByteArray file = Read(OutFile(QStringLiteral("leave.ics")));
    EXPECT_EQ(Uids(file), QStringList { QStringLiteral("leave-20091228@valdemor") });

    // The same file again: replaced only after Yes.
    dialogs.saveAnswers.push_back(SaveDialogAnswer { OutFile(QStringLiteral("leave.ics")), 2 });
    LeaveStore::SaveEntry(2009, 12, 29, 6, QString());
    program.Main().iCalendar1->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("同名のファイルが存在します。上書きしてもよろしいですか？"));
    EXPECT_EQ(Read(OutFile(QStringLiteral("leave.ics"))), file);

    // No calendar open: the fiscal year of today, in the folder of the last
    // calendar file.
    program.Main().MdiArea()->closeAllSubWindows();
    dialogs.saveAnswers.push_back(std::nullopt);
    program.Main().iCalendar1->trigger();
    EXPECT_EQ(dialogs.saveRequests.back().fileName, OutFile(QStringLiteral("休暇(2009年度).ics")));
}

// The file as a calendar program reads it: python3-icalendar, a parser
// that shares nothing with ours.
TEST_F(IcsExportTest, AnIndependentParserReadsEveryEventAsWritten)
{
    // The system's python first: that is where the Debian package installs it.
    QString python;
    for (const QString& candidate :
        { QStringLiteral("/usr/bin/python3"), QStandardPaths::findExecutable(QStringLiteral("python3")) }) {
        QProcess probe;
        probe.start(candidate, { QStringLiteral("-c"), QStringLiteral("import icalendar") });
        if (!candidate.isEmpty() && probe.waitForFinished(60000) && probe.exitStatus() == QProcess::NormalExit
            && probe.exitCode() == 0) {
            python = candidate;
            break;
        }
    }
    if (python.isEmpty())
        GTEST_SKIP() << "python3 with the icalendar module (Debian package python3-icalendar) is not installed";

    LeaveStore::SaveEntry(2009, 4, 30, 7, QStringLiteral("連休,前;後\r\n二行目"));
    LeaveStore::SaveEntry(2010, 3, 19, 8, QStringLiteral("あいうえおかきくけこさしすせそ"));
    LeaveStore::SaveEntry(2009, 11, 3, 10, QString());
    ProgramWindows program(data, "7=1\r\n");
    dialogs.answers.push_back(MsgAnswer::Yes); // holidays too
    dialogs.saveAnswers.push_back(SaveDialogAnswer { OutFile(QStringLiteral("year.ics")), 2 });
    program.Main().iCalendar1->trigger();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0].text, QStringLiteral("国民の祝日も出力しますか？"));
    EXPECT_EQ(dialogs.messages[0].buttons, MsgButtons::YesNo);

    const char* script = R"(
import sys
from icalendar import Calendar
sys.stdout.reconfigure(encoding='utf-8')
calendar = Calendar.from_ical(open(sys.argv[1], 'rb').read())
for event in calendar.walk('VEVENT'):
    print('%s %s %s|%s' % (event.decoded('DTSTART').isoformat(), event.decoded('DTEND').isoformat(),
                           event.get('SUMMARY'), event.get('DESCRIPTION', '').replace('\n', '<br>')))
)";
    QProcess process;
    process.start(python, { QStringLiteral("-c"), QString::fromUtf8(script), OutFile(QStringLiteral("year.ics")) });
    ASSERT_TRUE(process.waitForFinished(60000));
    ASSERT_EQ(process.exitCode(), 0) << process.readAllStandardError().constData();
    const QStringList events = QString::fromUtf8(process.readAllStandardOutput()).split(u'\n', Qt::SkipEmptyParts);

    QStringList expected;
    for (const IcsExport::Event& holiday : IcsExport::HolidayEvents(2009))
        expected << holiday.Date.toString(Qt::ISODate) + u' ' + holiday.Date.addDays(1).toString(Qt::ISODate) + u' '
                + holiday.Summary + u'|';
    expected << QStringLiteral("2009-04-30 2009-05-01 ＧＷ|連休,前;後<br>二行目")
             << QStringLiteral("2009-11-03 2009-11-04 休日出勤|")
             << QStringLiteral("2010-03-19 2010-03-20 特別休暇|あいうえおかきくけこさしすせそ");
    std::sort(expected.begin(), expected.end());
    QStringList parsed = events;
    std::sort(parsed.begin(), parsed.end());
    EXPECT_EQ(parsed, expected);
    EXPECT_GE(expected.size(), 18); // the holidays were written
}
