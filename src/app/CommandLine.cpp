#include "app/CommandLine.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QByteArray>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QLocale>
#include <QPushButton>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include "Version.h"
#include "app/WindowFont.h"
#include "core/Julius.h"
#include "core/PaidLeave.h"
#include "core/PaidLeaveSettings.h"
#include "platform/Dates.h"
#include "platform/Errors.h"
#include "platform/Printer.h"
#include "platform/RecordFile.h"
#include "reports/CsvExport.h"
#include "reports/IcsExport.h"
#include "reports/PaidLeaveSentences.h"
#include "reports/SaveStep.h"
#include "reports/priansf.h"
#include "views/Hcalf.h"
#include "views/Mcalf.h"
#include "views/Ycalf.h"

namespace CommandLine {

namespace {

// The language of the messages, as the C library chooses it: LC_ALL, then
// LC_MESSAGES, then LANG.
bool Japanese()
{
    for (const char* name : { "LC_ALL", "LC_MESSAGES", "LANG" }) {
        const char* value = std::getenv(name);
        if (value && *value)
            return QByteArray(value).startsWith("ja");
    }
    return false;
}

void Print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toLocal8Bit();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

QString Usage()
{
    if (Japanese())
        return QStringLiteral("使い方: valdemor [オプション]\n"
                              "休暇の記録を年度・月・休日のカレンダーで表示します。\n"
                              "オプションを付けないとウィンドウを開きます。\n\n"
                              "  --balance    今日の有給休暇の残日数と年5日の取得義務の状況を表示して終了します\n"
                              "  --export csv|ics|pdf -o ファイル  カレンダーをファイルに出力して終了します\n"
                              "      --calendar year|month|holiday  CSV・PDF のカレンダー（既定は year）\n"
                              "      --fiscal-year 年度   年度（既定は今の年度）\n"
                              "      --month 2026-12      月カレンダーの月（既定は今月）\n"
                              "      --holidays           iCalendar に国民の祝日も出力します\n"
                              "  -h, --help   この説明を表示して終了します\n"
                              "  --version    バージョンを表示して終了します\n");
    return QStringLiteral("Usage: valdemor [OPTION]\n"
                          "Shows a record of leave days on fiscal-year, month and holiday calendars.\n"
                          "Without an option it opens its window.\n\n"
                          "  --balance    print today's paid leave left and the five-day rule, then exit\n"
                          "  --export csv|ics|pdf -o FILE  write a calendar to FILE, then exit\n"
                          "      --calendar year|month|holiday  the calendar of the CSV or PDF file (default year)\n"
                          "      --fiscal-year YEAR   the fiscal year (default the current one)\n"
                          "      --month 2026-12      the month calendar's month (default this month)\n"
                          "      --holidays           put the national holidays into the iCalendar file too\n"
                          "  -h, --help   display this help and exit\n"
                          "  --version    output version information and exit\n");
}

// The line that sends the user to --help after a wrong command line.
QString TryHelp()
{
    return Japanese() ? QStringLiteral("詳しくは 'valdemor --help' を実行してください。\n")
                      : QStringLiteral("Try 'valdemor --help' for more information.\n");
}

// A known option with a missing or wrong value: which, and why.
int WrongValue(const QString& japanese, const QString& english)
{
    Print(stderr, QStringLiteral("valdemor: ") + (Japanese() ? japanese : english) + u'\n' + TryHelp());
    return 2;
}

// The option's value as it was given, after the reason.
QString Given(const QString& value) { return value.isEmpty() ? QStringLiteral("''") : value; }

int WrongOption(const QString& option)
{
    Print(stderr,
        Japanese()
            ? QStringLiteral("valdemor: 不明なオプション '%1'\n詳しくは 'valdemor --help' を実行してください。\n")
                  .arg(option)
            : QStringLiteral("valdemor: unrecognized option '%1'\nTry 'valdemor --help' for more information.\n")
                  .arg(option));
    return 2;
}

// Today's balance and the five-day rule, one line each, in the words of
// the paid-leave window.
int Balance(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    try {
        const QDate today = Dates::Today();
        const std::optional<PaidLeave::Balance> balance
            = PaidLeave::ComputeFromDataFile(PaidLeaveSettings::Read(), today);
        if (!balance) {
            Print(stderr,
                QStringLiteral("valdemor: 入社日が設定されていません。有給休暇の設定で入社日を入力してください。\n"));
            return 1;
        }
        Print(stdout,
            PaidLeave::DateText(today) + QStringLiteral(" の残日数: ") + PaidLeaveSentences::Days(balance->Left)
                + u'\n');
        const QString fiveDay = balance->FiveDay
            ? PaidLeaveSentences::Plain(PaidLeaveSentences::FiveDay(*balance->FiveDay))
            : QStringLiteral("年5日の取得: 今の付与年は対象外です。");
        Print(stdout, QString(fiveDay).replace(u'\n', u' ') + u'\n');
        return 0;
    } catch (const Exception& error) {
        Print(stderr, QStringLiteral("valdemor: ") + error.Message() + u'\n');
        return 1;
    }
}

// Whether Qt finds a screen for the windows on `platform` (-platform, else
// QT_QPA_PLATFORM): X and Wayland, Qt's choices when none is named, need a
// display to talk to; the others (offscreen, vnc ...) bring their own.
bool HasDisplay(QString platform)
{
    if (platform.isEmpty())
        platform = qEnvironmentVariable("QT_QPA_PLATFORM");
    const bool x = platform.isEmpty() || platform.contains(QLatin1String("xcb"));
    const bool wayland = platform.isEmpty() || platform.contains(QLatin1String("wayland"));
    if (!x && !wayland)
        return true;
    return (x && !qEnvironmentVariableIsEmpty("DISPLAY"))
        || (wayland && !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"));
}

int Failed(const QString& message)
{
    Print(stderr, QStringLiteral("valdemor: ") + message + u'\n');
    return 1;
}

// What --export asks for.
struct ExportRequest {
    QString format; // csv, ics or pdf
    QString calendar = QStringLiteral("year");
    QString output;
    std::optional<int> fiscalYear;
    QString month; // 2026-12
    bool holidays = false;
};

// The calendar window of the asked kind, filled for the asked period as the
// menu command shows it, and never shown.
std::unique_ptr<TCalendarWindow> FilledCalendar(const ExportRequest& request, int fiscalYear, QDate today)
{
    if (request.calendar == QLatin1String("year")) {
        auto calendar = std::make_unique<TYcalForm>();
        calendar->Fill(fiscalYear);
        return calendar;
    }
    if (request.calendar == QLatin1String("holiday")) {
        auto calendar = std::make_unique<THCalForm>();
        calendar->Button2->setText(Julius::FiscalYearCaption(fiscalYear));
        calendar->Fill(fiscalYear);
        return calendar;
    }
    // The command line has checked the month.
    QDate month = QDate::fromString(request.month + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd"));
    if (request.month.isEmpty())
        month = QDate(today.year(), today.month(), 1);
    auto calendar = std::make_unique<TMCalForm>();
    calendar->Fill(month.year(), month.month());
    return calendar;
}

// The print command's pages of a calendar as a PDF file's bytes. The printer
// writes into a folder of its own, so that a failed print leaves nothing
// half written where the user asked for the file.
QByteArray PdfBytes(const OpenCalendar& calendar)
{
    const QTemporaryDir folder;
    if (!folder.isValid())
        RaiseFileError(FileTask::Write, QDir::tempPath(), errno);
    const QString path = folder.filePath(QStringLiteral("calendar.pdf"));
    TPrinter printer;
    printer.WritePdf();
    printer.SetOutputFileName(path);
    Tpriansform::PrintCalendar(calendar, printer);
    RecordFile file(path, RecordFile::Mode::ReadOnly, 1);
    QByteArray bytes(file.Bytes(), Qt::Uninitialized);
    bytes.truncate(file.ReadMany(bytes.data(), bytes.size()));
    return bytes;
}

// The bytes the menu command writes for that calendar, to the file, without
// a window on any screen and without the main window (whose end would write
// its place into the settings).
int Export(int argc, char** argv, const ExportRequest& request)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::Japanese, QLocale::Japan));
    // The printed cells take the windows' font, as when the program runs.
    InstallWindowFont();
    try {
        const QDate today = Dates::Today();
        const int fiscalYear = request.fiscalYear.value_or(Julius::FiscalYearOf(today.year(), today.month()));
        Julius::CheckFiscalYear(fiscalYear);
        QByteArray bytes;
        if (request.format == QLatin1String("ics")) {
            bytes = IcsExport::FileBytes(
                IcsExport::Events(fiscalYear, request.holidays), QDateTime::currentDateTimeUtc());
        } else {
            const std::unique_ptr<TCalendarWindow> window = FilledCalendar(request, fiscalYear, today);
            const OpenCalendar calendar { window->Kind(), window.get() };
            bytes = request.format == QLatin1String("pdf") ? PdfBytes(calendar) : CsvExport::FileBytesOf(calendar);
        }
        SaveStep::WriteFile(request.output, bytes);
        return 0;
    } catch (const Exception& error) {
        return Failed(error.Message());
    }
}

} // namespace

std::optional<int> Handle(int argc, char** argv)
{
    const QStringList calendars { QStringLiteral("year"), QStringLiteral("month"), QStringLiteral("holiday") };
    const QStringList formats { QStringLiteral("csv"), QStringLiteral("ics"), QStringLiteral("pdf") };
    ExportRequest request;
    bool exporting = false;
    QString platform; // Qt's -platform option
    // The value after an option, or nothing at the end of the line.
    const auto value = [&](int& i) -> std::optional<QString> {
        if (i + 1 >= argc)
            return std::nullopt;
        return QString::fromLocal8Bit(argv[++i]);
    };
    for (int i = 1; i < argc; ++i) {
        const QString option = QString::fromLocal8Bit(argv[i]);
        if (option == QLatin1String("--export") || option == QLatin1String("--calendar")
            || option == QLatin1String("--fiscal-year") || option == QLatin1String("--month")
            || option == QLatin1String("-o")) {
            const std::optional<QString> given = value(i);
            if (!given)
                return WrongValue(QStringLiteral("%1 には値が要ります").arg(option),
                    QStringLiteral("option '%1' requires an argument").arg(option));
            if (option == QLatin1String("--export")) {
                exporting = true;
                request.format = *given;
                if (!formats.contains(request.format))
                    return WrongValue(
                        QStringLiteral("--export には csv、ics、pdf のどれかを指定してください: %1").arg(Given(*given)),
                        QStringLiteral("--export takes csv, ics or pdf: %1").arg(Given(*given)));
            } else if (option == QLatin1String("--calendar")) {
                request.calendar = *given;
                if (!calendars.contains(request.calendar))
                    return WrongValue(
                        QStringLiteral("--calendar には year、month、holiday のどれかを指定してください: %1")
                            .arg(Given(*given)),
                        QStringLiteral("--calendar takes year, month or holiday: %1").arg(Given(*given)));
            } else if (option == QLatin1String("--fiscal-year")) {
                bool number = false;
                request.fiscalYear = given->toInt(&number);
                if (!number)
                    return WrongValue(
                        QStringLiteral("--fiscal-year には年を数字で指定してください: %1").arg(Given(*given)),
                        QStringLiteral("--fiscal-year takes the year as a number: %1").arg(Given(*given)));
            } else if (option == QLatin1String("--month")) {
                request.month = *given;
                if (!QDate::fromString(*given + QStringLiteral("-01"), QStringLiteral("yyyy-MM-dd")).isValid())
                    return WrongValue(
                        QStringLiteral("--month には月を 2026-12 のように指定してください: %1").arg(Given(*given)),
                        QStringLiteral("--month takes a month such as 2026-12: %1").arg(Given(*given)));
            } else {
                request.output = *given;
                if (given->isEmpty())
                    return WrongValue(
                        QStringLiteral("-o にはファイル名を指定してください"), QStringLiteral("-o takes a file name"));
            }
            continue;
        }
        if (option == QLatin1String("--holidays")) {
            request.holidays = true;
            continue;
        }
        if (option == QLatin1String("--help") || option == QLatin1String("-h")) {
            Print(stdout, Usage());
            return 0;
        }
        if (option == QLatin1String("--version")) {
            Print(stdout, QStringLiteral("valdemor %1\n").arg(QLatin1String(ProgramVersionText)));
            return 0;
        }
        if (option == QLatin1String("--balance"))
            return Balance(argc, argv);
        if (option == QLatin1String("-platform") && i + 1 < argc)
            platform = QString::fromLocal8Bit(argv[i + 1]);
        // Qt's options have one dash and leave the rest to the windows.
        if (option.startsWith(QLatin1String("--")))
            return WrongOption(option);
    }
    if (!exporting) {
        // Without a display Qt would end the program with a core dump.
        if (!HasDisplay(platform)) {
            Print(stderr,
                Japanese() ? QStringLiteral("valdemor: ディスプレイがないため、ウィンドウを開けません"
                                            "（DISPLAY も WAYLAND_DISPLAY も設定されていません）。\n")
                           : QStringLiteral("valdemor: cannot open the window: there is no display "
                                            "(neither DISPLAY nor WAYLAND_DISPLAY is set).\n"));
            return 1;
        }
        return std::nullopt;
    }
    if (request.output.isEmpty())
        return WrongValue(QStringLiteral("--export には -o FILE が要ります"), QStringLiteral("--export needs -o FILE"));
    return Export(argc, argv, request);
}

} // namespace CommandLine
