// What the monkey holds the program to after every step and at the end.

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <thread>

#include <QAction>
#include <QApplication>
#include <QDirIterator>
#include <QFile>
#include <QMessageBox>
#include <QRegularExpression>
#include <QTimer>

#include "Monkey.h"
#include "app/About.h"
#include "app/DataFolderForm.h"
#include "app/Eopf.h"
#include "app/MainForm.h"
#include "core/LeaveStore.h"
#include "platform/DataDirectory.h"
#include "platform/ShiftJis.h"
#include "reports/CalMF.h"
#include "reports/Calf.h"
#include "reports/ChartWindow.h"
#include "reports/ImportPreview.h"
#include "reports/PaidLeaveWindow.h"
#include "reports/SelCalF.h"
#include "reports/priansf.h"
#include "views/Chymf.h"
#include "views/Hcalf.h"
#include "views/Inputf.h"
#include "views/Mcalf.h"
#include "views/ProgramEvents.h"
#include "views/Rangef.h"
#include "views/RestoreForm.h"
#include "views/Ycalf.h"

void MonkeyFail(const QString& what)
{
    const MonkeyRun& run = CurrentRun();
    std::fprintf(stderr, "monkey: seed %llu step %d: %s\n", static_cast<unsigned long long>(run.seed), run.step,
        what.toLocal8Bit().constData());
    std::fflush(nullptr);
    std::_Exit(1);
}

// ---- the watchdog ----------------------------------------------------------

using Clock = std::chrono::steady_clock;

struct Watchdog::State {
    std::atomic<Clock::rep> lastBeat { Clock::now().time_since_epoch().count() };
    std::atomic<int> actionsRunning { 0 };
    std::mutex mutex;
    std::condition_variable stop;
    bool stopping = false;
    QTimer beat;
    std::thread thread;
};

Watchdog::Watchdog()
    : state_(new State)
{
    // The beat is a timer of the main thread: it runs in every event loop,
    // a modal box's included, and in none while the thread is stuck.
    state_->beat.setInterval(100);
    QObject::connect(
        &state_->beat, &QTimer::timeout, [s = state_] { s->lastBeat = Clock::now().time_since_epoch().count(); });
    state_->beat.start();
    state_->thread = std::thread([s = state_] {
        std::unique_lock lock(s->mutex);
        while (!s->stop.wait_for(lock, std::chrono::milliseconds(200), [s] { return s->stopping; })) {
            const auto silent = Clock::now() - Clock::time_point(Clock::duration(s->lastBeat.load()));
            const auto allowed = s->actionsRunning > 0 ? std::chrono::seconds(30) : std::chrono::seconds(2);
            if (silent > allowed)
                MonkeyFail(QStringLiteral("the event loop did not answer for %1 ms")
                               .arg(std::chrono::duration_cast<std::chrono::milliseconds>(silent).count()));
        }
    });
}

Watchdog::~Watchdog()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->stopping = true;
    }
    state_->stop.notify_one();
    state_->thread.join();
    delete state_;
}

void Watchdog::ActionStarts() { ++state_->actionsRunning; }

void Watchdog::ActionEnds()
{
    // The two seconds count from the end of the action.
    state_->lastBeat = Clock::now().time_since_epoch().count();
    --state_->actionsRunning;
}

// ---- after every step ------------------------------------------------------

namespace {

// The windows the program reaches through its global pointers: each is null
// or a live widget.
void CheckWindowPointers()
{
    const QWidgetList live = QApplication::allWidgets();
    const QSet<QWidget*> alive(live.begin(), live.end());
    const std::pair<const char*, QWidget*> windows[] = { { "Mainform", Mainform }, { "AboutBox", AboutBox.Existing() },
        { "DataFolderForm", DataFolderForm.Existing() }, { "OpForm", OpForm.Existing() },
        { "CalMForm", CalMForm.Existing() }, { "CalForm", CalForm.Existing() }, { "ChartForm", ChartForm },
        { "ImportPreviewForm", ImportPreviewForm }, { "PaidLeaveForm", PaidLeaveForm.Existing() },
        { "SelCalform", SelCalform.Existing() }, { "priansform", priansform.Existing() },
        { "ChYMForm", ChYMForm.Existing() }, { "HCalForm", HCalForm }, { "InputForm", InputForm.Existing() },
        { "MCalForm", MCalForm }, { "RangeForm", RangeForm.Existing() }, { "RestoreForm", RestoreForm.Existing() },
        { "YcalForm", YcalForm } };
    for (const auto& [name, window] : windows) {
        if (window && !alive.contains(window))
            MonkeyFail(QStringLiteral("%1 points at a destroyed window").arg(QLatin1String(name)));
    }
    if (MainFrame != static_cast<TMainFrame*>(Mainform))
        MonkeyFail(QStringLiteral("MainFrame is not the main window"));
}

// The check marks of the view menu are the record of which calendar is open.
void CheckCalendarMarks()
{
    const std::tuple<const char*, QAction*, QWidget*> calendars[]
        = { { "Y1", Mainform->Y1, YcalForm }, { "M1", Mainform->M1, MCalForm }, { "H2", Mainform->H2, HCalForm } };
    for (const auto& [name, mark, window] : calendars) {
        if (mark->isChecked() && !window)
            MonkeyFail(QStringLiteral("%1 is checked with no calendar open").arg(QLatin1String(name)));
        if (!mark->isChecked() && window && window->isVisible())
            MonkeyFail(QStringLiteral("%1 is not checked with its calendar open").arg(QLatin1String(name)));
    }
}

} // namespace

void CheckAfterStep()
{
    // Every question goes through the program's dialog seam, whose only
    // modal windows are the monkey's own message boxes: any other modal
    // window (a file dialog asked for directly) would let the run choose a
    // folder anywhere.
    if (QWidget* modal = QApplication::activeModalWidget(); modal && !qobject_cast<QMessageBox*>(modal))
        MonkeyFail(
            QStringLiteral("a modal %1 outside the dialog seam").arg(QLatin1String(modal->metaObject()->className())));
    CheckWindowPointers();
    CheckCalendarMarks();
    // Painting reaches whatever a window shows from: a window that kept a
    // pointer to a destroyed one is caught here by the address sanitizer.
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (w->isVisible())
            w->repaint();
    }
}

// ---- the data -------------------------------------------------------------

SavedDays::SavedDays()
{
    TProgramEvents& events = ProgramEvents();
    QObject::connect(
        &events, &TProgramEvents::daySaved, &following_, [this](QDate date, int kind, const QString& memo) {
            saved_[date] = { kind, memo };
        });
    QObject::connect(&events, &TProgramEvents::daysSaved, &following_, [this](QDate first, QDate last) {
        // What the file holds now is what this save left.
        std::vector<QDate> dates;
        for (QDate d = first; d <= last; d = d.addDays(1))
            dates.push_back(d);
        const std::vector<LeaveStore::Entry> entries = LeaveStore::FindEntries(dates);
        for (size_t i = 0; i < dates.size(); ++i)
            saved_[dates[i]] = { entries[i].Kind, entries[i].Memo };
    });
    QObject::connect(&events, &TProgramEvents::dataReplaced, &following_, [this] { saved_.clear(); });
}

namespace {

void CheckDataFile(const std::map<QDate, QString>& problems)
{
    if (!problems.empty())
        MonkeyFail(QStringLiteral("the data file: %1 %2 (and %3 more)")
                       .arg(problems.begin()->first.toString(Qt::ISODate), problems.begin()->second)
                       .arg(problems.size() - 1));
}

// Every line a section, a key and value or a comment, in Shift-JIS, CR LF.
void CheckSettingsFile()
{
    QFile file(DataDirectory() + QStringLiteral("orbelund.ini"));
    if (!file.open(QIODevice::ReadOnly))
        MonkeyFail(QStringLiteral("orbelund.ini cannot be read"));
    const QByteArray bytes = file.readAll();
    if (ShiftJis::FromUnicode(ShiftJis::ToUnicode(bytes)) != bytes)
        MonkeyFail(QStringLiteral("orbelund.ini is not Shift-JIS"));
    static const QRegularExpression line(QStringLiteral("^(\\[[^\\]]+\\]|[^=\\[;][^=]*=.*|;.*|)$"));
    QList<QByteArray> lines = bytes.split('\n');
    if (lines.takeLast() != "")
        MonkeyFail(QStringLiteral("orbelund.ini does not end with a line break"));
    for (const QByteArray& l : lines) {
        if (!l.endsWith('\r') || !line.match(ShiftJis::ToUnicode(l.chopped(1))).hasMatch())
            MonkeyFail(QStringLiteral("orbelund.ini has the line \"%1\"").arg(ShiftJis::ToUnicode(l)));
    }
}

} // namespace

void CheckFilesAtEnd(const SavedDays& saved, const MonkeyFolders& folders)
{
    QFile file(LeaveStore::FilePath());
    if (file.size() % LeaveRecord::Size != 0)
        MonkeyFail(QStringLiteral("the data file has %1 bytes, not whole records").arg(file.size()));
    std::map<QDate, std::vector<LeaveRecord>> records;
    LeaveStore::ForEach(
        [&](const LeaveRecord& r, qint64) { records[QDate(r.Year(), r.Month(), r.Day())].push_back(r); });
    std::map<QDate, QString> problems;
    for (const auto& [date, list] : records) {
        if (list.size() > 1)
            problems[date] = QStringLiteral("is in the file %1 times").arg(list.size());
    }
    for (const auto& [date, day] : saved.saved_) {
        const auto found = records.find(date);
        const LeaveRecord* r = found == records.end() ? nullptr : &found->second.front();
        const bool cleared = !r || r->Cleared();
        if (day.kind == 0 ? !cleared : cleared || r->Kind() != day.kind || r->Memo() != day.memo)
            problems[date] = QStringLiteral("was saved as kind %1 \"%2\" but the file holds %3")
                                 .arg(day.kind)
                                 .arg(day.memo,
                                     r ? QStringLiteral("kind %1 \"%2\"").arg(r->Kind()).arg(r->Memo())
                                       : QStringLiteral("no record"));
    }
    CheckDataFile(problems);
    CheckSettingsFile();
    // Neither a replaced file's new copy nor a compaction's file is left.
    static const QRegularExpression temporary(QStringLiteral("(\\.[0-9a-z]{1,7}\\.new|\\.tmp\\$\\$)$"));
    for (QDirIterator it(folders.root, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories); it.hasNext();) {
        const QString path = it.next();
        if (temporary.match(path).hasMatch())
            MonkeyFail(QStringLiteral("a temporary file is left: %1").arg(path));
    }
}
