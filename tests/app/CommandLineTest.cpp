// The command line's options, run as a script runs them: the real program,
// with no display at all.

#include "app/CommandLine.h"

#include <QDir>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "Version.h"
#include "core/LeaveStore.h"
#include "platform/Dates.h"
#include "platform/Printer.h"
#include "reports/CsvExport.h"
#include "reports/IcsExport.h"
#include "reports/PdfFiles.h"
#include "reports/priansf.h"
#include "reports/PaidLeaveWindow.h"
#include "views/ViewsTestSupport.h"

namespace {

struct Outcome {
    int code = -1;
    QString out, err;
};

// The program copied into `folder` (its data folder) and run there.
Outcome RunProgram(const QString& folder, const QStringList& arguments, const QString& lang = QStringLiteral("C"))
{
    const QString program = folder + QStringLiteral("/valdemor");
    if (!QFile::exists(program))
        QFile::copy(QStringLiteral(VALDEMOR_EXE), program);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM", "LC_ALL", "LC_MESSAGES" })
        env.remove(QString::fromLatin1(name));
    env.insert(QStringLiteral("LANG"), lang);
    QProcess process;
    process.setProcessEnvironment(env);
    process.start(program, arguments);
    Outcome run;
    if (!process.waitForFinished(20000))
        return run;
    run.code = process.exitCode();
    run.out = QString::fromUtf8(process.readAllStandardOutput());
    run.err = QString::fromUtf8(process.readAllStandardError());
    return run;
}

// Printing's module beside the program, as in the build folder.
void AddPrintingModule(const QString& folder)
{
    QFile::copy(QStringLiteral(VALDEMOR_PRINT_MODULE), folder + QStringLiteral("/valdemor-printing.so"));
}

} // namespace

TEST(CommandLineTest, HelpVersionAndAWrongOptionNeedNoDisplayAndWriteNothing)
{
    QTemporaryDir folder;
    const Outcome japanese = RunProgram(folder.path(), { QStringLiteral("--help") }, QStringLiteral("ja_JP.UTF-8"));
    EXPECT_EQ(japanese.code, 0);
    EXPECT_TRUE(japanese.out.startsWith(QStringLiteral("使い方: valdemor [オプション]\n")))
        << japanese.out.toStdString();
    const Outcome english = RunProgram(folder.path(), { QStringLiteral("--help") });
    EXPECT_EQ(english.code, 0);
    EXPECT_TRUE(english.out.startsWith(QStringLiteral("Usage: valdemor [OPTION]\n")));
    EXPECT_TRUE(english.out.contains(QStringLiteral("--balance")));

    const Outcome version = RunProgram(folder.path(), { QStringLiteral("--version") });
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, QStringLiteral("valdemor %1\n").arg(QLatin1String(ProgramVersionText)));

    const Outcome wrong = RunProgram(folder.path(), { QStringLiteral("--bogus") });
    EXPECT_EQ(wrong.code, 2);
    EXPECT_TRUE(wrong.out.isEmpty());
    EXPECT_EQ(wrong.err,
        QStringLiteral("valdemor: unrecognized option '--bogus'\nTry 'valdemor --help' for more information.\n"));
    // Only the program itself is in its folder: no settings, no data.
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList { QStringLiteral("valdemor") });
}

// Nothing on the command line ends in a core dump: -h is --help, no display
// is said in a sentence, a known option with a bad value says which and why.
TEST(CommandLineTest, WithoutADisplayAndWithBadValuesTheProgramSaysWhy)
{
    QTemporaryDir folder;
    const QString ja = QStringLiteral("ja_JP.UTF-8");
    const Outcome help = RunProgram(folder.path(), { QStringLiteral("-h") }, ja);
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("使い方: valdemor [オプション]\n")));

    const Outcome windows = RunProgram(folder.path(), {}, ja);
    EXPECT_EQ(windows.code, 1);
    EXPECT_TRUE(windows.err.startsWith(QStringLiteral("valdemor: ディスプレイがないため、ウィンドウを開けません")))
        << windows.err.toStdString();
    EXPECT_EQ(RunProgram(folder.path(), {}).code, 1);

    const Outcome year = RunProgram(folder.path(),
        { QStringLiteral("--export"), QStringLiteral("csv"), QStringLiteral("--fiscal-year"), QStringLiteral("20x6") },
        ja);
    EXPECT_EQ(year.code, 2);
    EXPECT_TRUE(year.err.startsWith(QStringLiteral("valdemor: --fiscal-year には年を数字で指定してください: 20x6\n")))
        << year.err.toStdString();
    const Outcome noFile = RunProgram(folder.path(), { QStringLiteral("--export"), QStringLiteral("csv") }, ja);
    EXPECT_EQ(noFile.code, 2);
    EXPECT_TRUE(noFile.err.startsWith(QStringLiteral("valdemor: --export には -o FILE が要ります\n")));
    const Outcome english = RunProgram(folder.path(), { QStringLiteral("--month") });
    EXPECT_EQ(english.code, 2);
    EXPECT_TRUE(english.err.startsWith(QStringLiteral("valdemor: option '--month' requires an argument\n")));
    EXPECT_EQ(QDir(folder.path()).entryList(QDir::Files), QStringList { QStringLiteral("valdemor") });
}

// A file that cannot be written is named with the reason, and keeps its bytes.
TEST(CommandLineTest, AnExportOntoAReadOnlyFileSaysSoAndKeepsIt)
{
    TempDataDirectory data;
    data.Write(QStringLiteral("out.csv"), "keep me\r\n");
    const QString out = data.File(QStringLiteral("out.csv"));
    ASSERT_TRUE(QFile::setPermissions(out, QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    const Outcome run
        = RunProgram(data.Path(), { QStringLiteral("--export"), QStringLiteral("csv"), QStringLiteral("-o"), out });
    EXPECT_EQ(run.code, 1);
    EXPECT_TRUE(run.err.contains(QStringLiteral(
        "valdemor: ファイルを保存できませんでした。\nファイル: %1\n理由: 書き込めません（読み取り専用です）\n")
                                     .arg(out)))
        << run.err.toStdString();
    EXPECT_EQ(data.Bytes(QStringLiteral("out.csv")), "keep me\r\n");
}

// --balance says what the paid-leave window says, for the same files.
TEST(CommandLineTest, TheBalanceIsThePaidLeaveWindows)
{
    TempDataDirectory data;
    data.Write(QStringLiteral("orbelund.ini"), "[Paid]\r\nHired=2020/04/01\r\n");
    const QDate today = Dates::Today();
    LeaveStore::SaveEntry(today.year(), today.month(), 1, 1, QString());
    LeaveStore::SaveEntry(today.year(), today.month(), 2, 2, QString());

    const Outcome balance = RunProgram(data.Path(), { QStringLiteral("--balance") }, QStringLiteral("ja_JP.UTF-8"));
    ASSERT_EQ(balance.code, 0) << balance.err.toStdString();
    const QStringList lines = balance.out.split(u'\n');
    ASSERT_EQ(lines.size(), 3); // two lines and the end

    ProgramWindows program(data);
    PaidLeaveForm->ShowBalance();
    EXPECT_EQ(lines[0],
        today.toString(QStringLiteral("yyyy/MM/dd")) + QStringLiteral(" の残日数: ") + PaidLeaveForm->Label2->text());
    EXPECT_TRUE(lines[1].startsWith(QStringLiteral("年5日の取得"))) << lines[1].toStdString();

    data.Write(QStringLiteral("orbelund.ini"), "");
    const Outcome none = RunProgram(data.Path(), { QStringLiteral("--balance") });
    EXPECT_EQ(none.code, 1);
    EXPECT_TRUE(none.out.isEmpty());
}

// --export writes the bytes the menu command writes for the same calendar.
TEST(CommandLineTest, AnExportIsTheMenuCommandsFile)
{
    TempDataDirectory data;
    data.Write(QStringLiteral("orbelund.ini"), "[Holiday]\r\n0=1\r\n6=1\r\n7=1\r\n");
    LeaveStore::SaveEntry(2026, 8, 12, 5, QStringLiteral("帰省, 実家"));
    LeaveStore::SaveEntry(2026, 9, 24, 1, QString());
    const QString out = data.File(QStringLiteral("out"));
    const auto exported = [&](const QStringList& arguments) {
        const Outcome run = RunProgram(data.Path(), arguments + QStringList { QStringLiteral("-o"), out });
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        return data.Bytes(QStringLiteral("out"));
    };
    const QByteArray year = exported(
        { QStringLiteral("--export"), QStringLiteral("csv"), QStringLiteral("--fiscal-year"), QStringLiteral("2026") });
    const QByteArray month = exported({ QStringLiteral("--export"), QStringLiteral("csv"), QStringLiteral("--calendar"),
        QStringLiteral("month"), QStringLiteral("--month"), QStringLiteral("2026-08") });
    const QByteArray holiday
        = exported({ QStringLiteral("--export"), QStringLiteral("csv"), QStringLiteral("--calendar"),
            QStringLiteral("holiday"), QStringLiteral("--fiscal-year"), QStringLiteral("2026") });
    const QByteArray ics = exported({ QStringLiteral("--export"), QStringLiteral("ics"),
        QStringLiteral("--fiscal-year"), QStringLiteral("2026"), QStringLiteral("--holidays") });

    FixedToday today { QDate(2026, 8, 12) };
    ProgramWindows program(data);
    EXPECT_EQ(year, CsvExport::FileBytes()); // the fiscal-year calendar opens at start
    program.Main().OpenMonthCalendar();
    EXPECT_EQ(month, CsvExport::FileBytes());
    program.Main().OpenHolidayCalendar();
    EXPECT_EQ(holiday, CsvExport::FileBytes());
    // The same file but for the moment it was written.
    const auto stampless = [](QByteArray bytes) {
        QList<QByteArray> lines = bytes.split('\n');
        lines.removeIf([](const QByteArray& line) { return line.startsWith("DTSTAMP:"); });
        return lines;
    };
    EXPECT_EQ(stampless(ics),
        stampless(IcsExport::FileBytes(IcsExport::Events(2026, true), QDateTime::currentDateTimeUtc())));
    EXPECT_GT(ics.count("BEGIN:VEVENT"), 10); // the holidays are in
}

// --export pdf prints the pages the print command prints for the same
// calendar: the same page count, size, title and text on every page.
TEST(CommandLineTest, APdfExportIsThePrintCommandsPages)
{
    TempDataDirectory data;
    AddPrintingModule(data.Path());
    for (int i = 0; i < 60; ++i) { // enough days for a second page of holidays
        const QDate day = QDate(2026, 4, 1).addDays(i);
        LeaveStore::SaveEntry(day.year(), day.month(), day.day(), 1 + i % 10, QStringLiteral("休%1").arg(i));
    }
    const auto exported = [&](const QString& calendar) {
        const QString path = data.File(calendar + QStringLiteral(".pdf"));
        const Outcome run = RunProgram(data.Path(),
            { QStringLiteral("--export"), QStringLiteral("pdf"), QStringLiteral("--calendar"), calendar,
                QStringLiteral("--fiscal-year"), QStringLiteral("2026"), QStringLiteral("--month"),
                QStringLiteral("2026-04"), QStringLiteral("-o"), path });
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        return path;
    };
    const QStringList calendars { QStringLiteral("year"), QStringLiteral("month"), QStringLiteral("holiday") };
    QStringList files;
    for (const QString& calendar : calendars)
        files << exported(calendar);

    FixedToday today { QDate(2026, 4, 20) };
    ProgramWindows program(data);
    TPrinter device;
    priansform->SetPrinter(&device);
    const std::function<void()> open[]
        = { [] {}, [&] { program.Main().OpenMonthCalendar(); }, [&] { program.Main().OpenHolidayCalendar(); } };
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(calendars[i].toStdString());
        open[i]();
        const QString printed = data.File(calendars[i] + QStringLiteral("-printed.pdf"));
        device.SetOutputFileName(printed);
        priansform->OpenPrintDialog();
        priansform->Button1->click();
        const int pages = PdfFiles::Pages(printed);
        ASSERT_GT(pages, 0);
        EXPECT_EQ(PdfFiles::Pages(files[i]), pages);
        EXPECT_EQ(PdfFiles::PageSize(files[i]), PdfFiles::PageSize(printed));
        EXPECT_EQ(PdfFiles::Title(files[i]), PdfFiles::Title(printed));
        for (int page = 1; page <= pages; ++page)
            EXPECT_EQ(PdfFiles::PageText(files[i], page), PdfFiles::PageText(printed, page));
    }
    EXPECT_EQ(PdfFiles::Pages(files[2]), 2);
}

// A PDF export without printing's module, or with a file that is none, fails
// naming the file and why, and writes nothing.
TEST(CommandLineTest, APdfExportWithoutThePrintingModuleSaysWhy)
{
    QTemporaryDir folder;
    const QString module = folder.filePath(QStringLiteral("valdemor-printing.so"));
    const QString out = folder.filePath(QStringLiteral("out.pdf"));
    const QStringList arguments { QStringLiteral("--export"), QStringLiteral("pdf"), QStringLiteral("-o"), out };
    const Outcome missing = RunProgram(folder.path(), arguments);
    EXPECT_EQ(missing.code, 1);
    EXPECT_TRUE(missing.err.contains(
        QStringLiteral("valdemor: 印刷できません。印刷のモジュールが見つかりません:\n") + module + u'\n'))
        << missing.err.toStdString();

    QFile broken(module);
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly));
    broken.write("not a module");
    broken.close();
    const Outcome refused = RunProgram(folder.path(), arguments);
    EXPECT_EQ(refused.code, 1);
    EXPECT_TRUE(refused.err.contains(
        QStringLiteral("valdemor: 印刷できません。") + module + QStringLiteral(" を読み込めません:\n")))
        << refused.err.toStdString();
    EXPECT_FALSE(QFile::exists(out));
}
