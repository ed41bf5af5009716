#include "app/CommandLine.h"

#include <cstdio>
#include <cstdlib>

#include <QByteArray>
#include <QCoreApplication>
#include <QString>
#include <QStringList>

#include "Version.h"
#include "core/PaidLeave.h"
#include "core/PaidLeaveSettings.h"
#include "platform/Dates.h"
#include "platform/Errors.h"
#include "reports/PaidLeaveSentences.h"

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
                              "  --help       この説明を表示して終了します\n"
                              "  --version    バージョンを表示して終了します\n");
    return QStringLiteral("Usage: valdemor [OPTION]\n"
                          "Shows a record of leave days on fiscal-year, month and holiday calendars.\n"
                          "Without an option it opens its window.\n\n"
                          "  --balance    print today's paid leave left and the five-day rule, then exit\n"
                          "  --help       display this help and exit\n"
                          "  --version    output version information and exit\n");
}

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

} // namespace

std::optional<int> Handle(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        const QString option = QString::fromLocal8Bit(argv[i]);
        if (option == QLatin1String("--help")) {
            Print(stdout, Usage());
            return 0;
        }
        if (option == QLatin1String("--version")) {
            Print(stdout, QStringLiteral("valdemor %1\n").arg(QLatin1String(ProgramVersionText)));
            return 0;
        }
        if (option == QLatin1String("--balance"))
            return Balance(argc, argv);
        // Qt's options have one dash and leave the rest to the windows.
        if (option.startsWith(QLatin1String("--")))
            return WrongOption(option);
    }
    return std::nullopt;
}

} // namespace CommandLine
