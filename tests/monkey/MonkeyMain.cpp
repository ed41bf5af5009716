// The monkey's driver.
//
//   tests_monkey --seed S --steps N [--seconds T]
//       one run in this process: the program's windows in a fresh folder,
//       N steps (or fewer when T seconds have passed), the action list on
//       standard output; status 0 when every check held.
//   tests_monkey --for T [--seed S] [--steps N]
//       runs of N steps (default 300) with the seeds S, S+1, … each in a
//       child process, until T seconds have passed; the first run that fails
//       is shrunk by halving to the shortest prefix that still fails, which
//       is printed as a seed and a step count to replay.

#include <chrono>
#include <memory>
#include <random>

#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <qpa/qwindowsysteminterface.h>

#include "LeaveDataSets.h"
#include "Monkey.h"
#include "TestSupport.h"
#include "app/MainForm.h"
#include "app/Program.h"
#include "platform/Printer.h"
#include "views/DataFileWatcher.h"

namespace {

// A few hundred records over twelve fiscal years around the fixed today.
void WriteStartingFiles(const MonkeyFolders& folders)
{
    QDir().mkpath(folders.Data());
    QDir().mkpath(folders.Out());
    QFile ini(folders.Data() + QStringLiteral("orbelund.ini"));
    if (!ini.open(QIODevice::WriteOnly) || ini.write("[Size]\r\nWidth=1000\r\nHeighth=700\r\n") < 0)
        MonkeyFail(QStringLiteral("cannot write orbelund.ini"));
    ini.close();
    SaveYearsOfLeave(2014, 2025);
}

int RunOnce(std::uint64_t seed, int steps, qint64 maxMs)
{
    CurrentRun().seed = seed;
    QTemporaryDir dir;
    const MonkeyFolders folders { QDir(dir.path()).canonicalPath() };
    // A relative path typed into a dialog lands in the run's folder.
    QDir::setCurrent(folders.root);
    SetDataDirectory(folders.root + QStringLiteral("/data"));
    FixedToday today(QDate(2024, 6, 14));
    WriteStartingFiles(folders);
    Printer().SetOutputFileName(folders.root + QStringLiteral("/print.pdf"));

    Chance chance(seed);
    SavedDays saved;
    MonkeyActions actions(chance, folders, saved);
    TMainform::SetScreenAreas({ QRect(0, 0, 1920, 1080) });
    std::unique_ptr<TMainform> main(CreateProgramWindows());
    main->show();
    if (!QTest::qWaitForWindowExposed(main.get()))
        MonkeyFail(QStringLiteral("the main window did not show"));

    Watchdog watchdog;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QObject context;
    std::function<void()> step = [&] {
        // Activation and exposure arrive from the platform as queued events:
        // all of them are in before a step looks at which window is active.
        QWindowSystemInterface::flushWindowSystemEvents();
        if (CurrentRun().step > 0)
            CheckAfterStep();
        if (CurrentRun().step >= steps || clock.elapsed() > maxMs) {
            // A box or menu still open is answered first.
            if (actions.SettleModal())
                loop.quit();
            else
                QTimer::singleShot(0, &context, step);
            return;
        }
        // The next step is due before this one acts: a modal box that the
        // action brings up runs its own event loop, in which the steps go on.
        QTimer::singleShot(0, &context, step);
        const int number = ++CurrentRun().step;
        const MonkeyAction action = actions.Next();
        std::printf("%d %s\n", number, action.text.toLocal8Bit().constData());
        std::fflush(stdout);
        watchdog.ActionStarts();
        action.run();
        watchdog.ActionEnds();
    };
    QTimer::singleShot(0, &context, step);
    loop.exec();

    // The program's own follow-up of the last steps (a change of the file
    // seen by the watcher) comes before the end.
    actions.AnswerAtOnce();
    QTest::qWait(TDataFileWatcher::SettleMs * 2);
    CheckAfterStep();
    main->close();
    main.reset();
    TMainform::SetScreenAreas({});
    CheckFilesAtEnd(saved, folders);
    QStringList visited(actions.Visited().begin(), actions.Visited().end());
    std::printf("visited: %s\n", visited.join(u' ').toLocal8Bit().constData());
    SetDataDirectory(QString());
    return 0;
}

// ---- runs in child processes, and the shrinking of a failure ---------------

struct ChildRun {
    bool failed = false;
    int steps = 0;
    QStringList actions;
    QStringList visited;
    QByteArray errors;
};

ChildRun RunChild(std::uint64_t seed, int steps, qint64 maxMs, const QTemporaryDir& work)
{
    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TMPDIR"), work.path());
    child.setProcessEnvironment(env);
    child.start(QCoreApplication::applicationFilePath(),
        { QStringLiteral("--seed"), QString::number(seed), QStringLiteral("--steps"), QString::number(steps),
            QStringLiteral("--seconds"), QString::number(maxMs / 1000.0) });
    child.waitForFinished(-1);
    ChildRun run;
    run.failed = child.exitStatus() != QProcess::NormalExit || child.exitCode() != 0;
    run.errors = child.readAllStandardError();
    for (const QString& line : QString::fromLocal8Bit(child.readAllStandardOutput()).split(u'\n')) {
        if (line.startsWith(QStringLiteral("visited: ")))
            run.visited = line.mid(9).split(u' ', Qt::SkipEmptyParts);
        else if (!line.isEmpty() && line[0].isDigit())
            run.actions << line;
    }
    run.steps = static_cast<int>(run.actions.size());
    return run;
}

// The shortest prefix of the failed run that still fails, by halving.
void Shrink(std::uint64_t seed, ChildRun failed, const QTemporaryDir& work)
{
    constexpr qint64 NoLimit = std::numeric_limits<qint64>::max() / 2;
    ChildRun shortest = failed;
    int good = 0; // the longest prefix known to pass
    int bad = failed.steps;
    if (RunChild(seed, bad, NoLimit, work).failed) {
        while (bad - good > 1) {
            const int middle = good + (bad - good) / 2;
            ChildRun replay = RunChild(seed, middle, NoLimit, work);
            std::fprintf(stderr, "monkey: replay of %d steps %s\n", middle, replay.failed ? "fails" : "passes");
            if (replay.failed) {
                bad = middle;
                shortest = replay;
            } else {
                good = middle;
            }
        }
    } else {
        std::fprintf(stderr, "monkey: the replay of %d steps did not fail again; the run is given whole\n", bad);
    }
    std::fprintf(stderr, "%s", shortest.errors.constData());
    std::fprintf(stderr, "monkey: the actions:\n%s\n", shortest.actions.join(u'\n').toLocal8Bit().constData());
    std::fprintf(stderr, "monkey: FAILED: seed %llu fails within %d steps; replay with --seed %llu --steps %d\n",
        static_cast<unsigned long long>(seed), bad, static_cast<unsigned long long>(seed), bad);
}

int Supervise(std::uint64_t seed, double seconds, int stepsPerRun)
{
    std::printf(
        "monkey: seed %llu, %g s, runs of %d steps\n", static_cast<unsigned long long>(seed), seconds, stepsPerRun);
    std::fflush(stdout);
    QTemporaryDir work;
    QElapsedTimer clock;
    clock.start();
    const qint64 deadline = static_cast<qint64>(seconds * 1000);
    long long steps = 0;
    int runs = 0;
    std::set<QString> visited;
    for (std::uint64_t runSeed = seed; clock.elapsed() < deadline; ++runSeed) {
        const ChildRun run = RunChild(runSeed, stepsPerRun, deadline - clock.elapsed(), work);
        ++runs;
        steps += run.steps;
        visited.insert(run.visited.begin(), run.visited.end());
        if (run.failed) {
            std::fprintf(stderr, "%s", run.errors.constData());
            std::fprintf(stderr, "monkey: run %d (seed %llu) failed after %d steps; shrinking\n", runs,
                static_cast<unsigned long long>(runSeed), run.steps);
            Shrink(runSeed, run, work);
            return 1;
        }
    }
    const double elapsed = clock.elapsed() / 1000.0;
    std::printf("monkey: %d runs, %lld steps, %zu windows visited, %.1f actions/s\n", runs, steps, visited.size(),
        steps / elapsed);
    QStringList names(visited.begin(), visited.end());
    std::printf("monkey: windows: %s\n", names.join(QStringLiteral(", ")).toLocal8Bit().constData());
    std::printf("1 passed, 0 failed\n");
    return 0;
}

} // namespace

// The offscreen platform's notes on what it cannot do would bury the action
// list.
QtMessageHandler standardMessages = nullptr;

void QuietPlatform(QtMsgType type, const QMessageLogContext& context, const QString& message)
{
    if (!message.startsWith(QStringLiteral("This plugin does not support")))
        standardMessages(type, context, message);
}

int main(int argc, char** argv)
{
    standardMessages = qInstallMessageHandler(QuietPlatform);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QCommandLineParser parser;
    const QCommandLineOption seedOption(QStringLiteral("seed"), QStringLiteral("seed"), QStringLiteral("S"));
    const QCommandLineOption stepsOption(QStringLiteral("steps"), QStringLiteral("steps"), QStringLiteral("N"));
    const QCommandLineOption secondsOption(QStringLiteral("seconds"), QStringLiteral("limit"), QStringLiteral("T"));
    const QCommandLineOption forOption(QStringLiteral("for"), QStringLiteral("seconds of runs"), QStringLiteral("T"));
    parser.addOptions({ seedOption, stepsOption, secondsOption, forOption });
    parser.process(app);
    const std::uint64_t seed
        = parser.isSet(seedOption) ? parser.value(seedOption).toULongLong() : std::random_device {}() % 1000000;
    const int steps = parser.isSet(stepsOption) ? parser.value(stepsOption).toInt() : 300;
    if (parser.isSet(forOption))
        return Supervise(seed, parser.value(forOption).toDouble(), steps);
    const double seconds = parser.isSet(secondsOption) ? parser.value(secondsOption).toDouble() : 1e9;
    return RunOnce(seed, steps, static_cast<qint64>(seconds * 1000));
}
