// A child process for the crash and fault tests of the leave data file.
//
//   store_worker ops <data directory> <log file> <seed> [year]
//       Saves, changes and clears entries and compacts the file, for ever,
//       until it is killed; with a year, only dates of that year, and
//       SIGTERM ends it between two operations, which come at random
//       instants a few milliseconds apart (two workers share a file). Before each operation it appends a line saying
//       what it is about to do ("S year month day kind memo" or "C"), and
//       after the operation returns a line "D". The parent kills it at a
//       random instant and checks the file against the finished operations.
//
//   store_worker faults <data directory> <fault> <step>...
//       Runs each step with the fault in place and prints one line per step:
//       "<step> OK" or "<step> <error message>". Faults: "none";
//       "read-only", which drops root's rights to nobody's first, so that
//       file permissions apply; "file-size:<n>", which refuses to let any
//       file grow beyond n bytes, like a full disk. Steps: read, find,
//       save-new, save-existing, save-days, compact, check, settings-read,
//       settings-write.
//
// Every line is written with a single write(2) on a file opened for
// appending, so a kill never leaves half a line.

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/resource.h>
#include <unistd.h>

#include <QByteArray>
#include <QString>

#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "platform/DataDirectory.h"
#include "platform/Errors.h"

namespace {

void WriteLine(int fd, const QByteArray& line)
{
    const QByteArray whole = line + '\n';
    if (::write(fd, whole.constData(), size_t(whole.size())) != whole.size())
        std::_Exit(4);
}

// A memo: short or long, plain or double-byte, so that saves cut some at 30 bytes.
QString MemoFor(std::mt19937& random)
{
    static const QString pieces[] = { QStringLiteral("旅行"), QStringLiteral("通院"), QStringLiteral("abc"),
        QStringLiteral("帰省のため"), QStringLiteral("x"), QStringLiteral("メモ") };
    QString memo;
    const int parts = int(random() % 8);
    for (int i = 0; i < parts; ++i)
        memo += pieces[random() % std::size(pieces)];
    return memo;
}

volatile std::sig_atomic_t stopRequested = 0;

void RequestStop(int) { stopRequested = 1; }

[[noreturn]] void RunOperations(const char* logPath, unsigned seed, int onlyYear)
{
    const int log = ::open(logPath, O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
    if (log < 0)
        std::_Exit(5);
    std::mt19937 random(seed);
    WriteLine(log, "R");
    for (;;) {
        if (stopRequested)
            std::_Exit(0);
        try {
            if (random() % 20 == 0) {
                WriteLine(log, "C");
                LeaveStore::Compact();
            } else {
                // Three hundred dates of 2023 and 2024, so that dates come back.
                const int year = onlyYear ? onlyYear : 2023 + int(random() % 2);
                const int month = 1 + int(random() % 12);
                const int day = 1 + int(random() % 28);
                const int kind = random() % 4 == 0 ? 0 : 1 + int(random() % 10);
                const QString memo = MemoFor(random);
                WriteLine(
                    log, QStringLiteral("S %1 %2 %3 %4 %5").arg(year).arg(month).arg(day).arg(kind).arg(memo).toUtf8());
                LeaveStore::SaveEntry(year, month, day, kind, memo);
            }
        } catch (const Exception& e) {
            WriteLine(log, "E " + QByteArray(e.what()));
            std::_Exit(3);
        }
        WriteLine(log, "D");
        // Two workers sharing a file save at random instants, as people do,
        // instead of taking the lock back the moment they let it go.
        if (onlyYear)
            ::usleep(useconds_t(random() % 2000));
    }
}

void DropToNobody()
{
    if (::getuid() != 0)
        return;
    if (::setgid(65534) != 0 || ::setuid(65534) != 0) {
        std::perror("setuid");
        std::_Exit(6);
    }
}

void LimitFileSize(long bytes)
{
    // Past the limit a write fails with EFBIG instead of killing the process.
    std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit { rlim_t(bytes), rlim_t(bytes) };
    if (::setrlimit(RLIMIT_FSIZE, &limit) != 0) {
        std::perror("setrlimit");
        std::_Exit(6);
    }
}

QString RunStep(const QString& step)
{
    if (step == u"read")
        return QString::number(LeaveStore::ReadAll().size()) + QStringLiteral(" records");
    if (step == u"find")
        return QString::number(LeaveStore::FindEntry(2024, 4, 1).Kind);
    if (step == u"save-new")
        LeaveStore::SaveEntry(2030, 1, 2, 1, QStringLiteral("new"));
    else if (step == u"save-existing")
        LeaveStore::SaveEntry(2024, 4, 1, 9, QStringLiteral("changed"));
    else if (step == u"save-days") {
        const LeaveStore::DayEntry days[] = { { 2024, 4, 1, 9, QStringLiteral("changed") },
            { 2030, 1, 2, 1, QStringLiteral("new") }, { 2030, 1, 3, 1, QStringLiteral("new") } };
        LeaveStore::SaveEntries(days);
    } else if (step == u"compact")
        LeaveStore::Compact();
    else if (step == u"check")
        LeaveStore::CheckOnStartup();
    else if (step == u"settings-read")
        return QString::number(Settings::StartCalendar());
    else if (step == u"settings-write")
        Settings::WriteStartCalendar(2);
    else
        return QStringLiteral("unknown step");
    return QStringLiteral("OK");
}

int RunFaults(int argc, char** argv)
{
    const QByteArray fault = argv[3];
    if (fault == "read-only")
        DropToNobody();
    else if (fault.startsWith("file-size:"))
        LimitFileSize(fault.mid(10).toLong());
    else if (fault != "none")
        return 2;
    for (int i = 4; i < argc; ++i) {
        const QString step = QString::fromUtf8(argv[i]);
        QString result;
        try {
            result = RunStep(step);
        } catch (const EInOutError& e) {
            result = e.Reason();
        } catch (const Exception& e) {
            result = e.Message();
        }
        std::printf("%s %s\n", argv[i], result.toUtf8().constData());
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc >= 5 && std::strcmp(argv[1], "ops") == 0) {
        SetDataDirectory(QString::fromLocal8Bit(argv[2]));
        const int year = argc >= 6 ? std::atoi(argv[5]) : 0;
        if (year) {
            struct sigaction stop { };
            stop.sa_handler = RequestStop;
            stop.sa_flags = SA_RESTART;
            ::sigaction(SIGTERM, &stop, nullptr);
        }
        RunOperations(argv[3], unsigned(std::strtoul(argv[4], nullptr, 10)), year);
    }
    if (argc >= 4 && std::strcmp(argv[1], "faults") == 0) {
        SetDataDirectory(QString::fromLocal8Bit(argv[2]));
        return RunFaults(argc, argv);
    }
    std::fprintf(stderr, "usage: store_worker ops <dir> <log> <seed> [year] | faults <dir> <fault> <step>...\n");
    return 2;
}
