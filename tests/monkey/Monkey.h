#pragma once

// The monkey: random use of the program's real windows, one action at a
// time, from a seeded generator, with the program checked after every step
// and its files checked at the end. Three parts: the actions a user can take
// (MonkeyActions.cpp), the checks (MonkeyChecks.cpp) and the driver that
// runs, replays and shrinks (MonkeyMain.cpp).

#include <cstdint>
#include <cstdio>
#include <functional>
#include <map>
#include <optional>
#include <random>
#include <set>

#include <QDate>
#include <QObject>
#include <QString>

class QWidget;

// The seeded choices of one run; everything random in a run comes from here,
// so that a seed and a step count replay the same run.
class Chance {
public:
    explicit Chance(std::uint64_t seed)
        : engine_(seed)
    {
    }
    // 0 .. n-1; n must be positive.
    int Below(int n) { return static_cast<int>(engine_() % static_cast<std::uint64_t>(n)); }
    bool OneIn(int n) { return Below(n) == 0; }

private:
    std::mt19937_64 engine_;
};

// The folder a run may write in: the data folder and the files the program
// writes through the dialogs (exports, PDF prints) are all beneath it.
struct MonkeyFolders {
    QString root; // no trailing slash
    QString Data() const { return root + QStringLiteral("/data/"); }
    QString Out() const { return root + QStringLiteral("/out/"); }
    bool Holds(const QString& path) const;
};

// Reports a broken check with the seed and step and ends the process with
// status 1 (a child of the driver, which then shrinks the run).
[[noreturn]] void MonkeyFail(const QString& what);

// The step being run (for reports) and the seed of the run.
struct MonkeyRun {
    std::uint64_t seed = 0;
    int step = 0;
};
MonkeyRun& CurrentRun();

// ---- actions ---------------------------------------------------------------

// One step: what it does, for the action list, and the doing of it.
struct MonkeyAction {
    QString text;
    std::function<void()> run;
};

// Answers the program's modal questions for the run and takes one action a
// user can take in the windows that are open.
class SavedDays;
class MonkeyActions {
public:
    MonkeyActions(Chance& chance, const MonkeyFolders& folders, const SavedDays& saved);
    ~MonkeyActions();

    // The next action, chosen among those the open windows offer.
    MonkeyAction Next();
    // From now on every question is answered at once, with no box shown.
    void AnswerAtOnce();
    // Answers every modal box and closes every popup, so the run can end.
    bool SettleModal();
    // The windows acted in, by class and object name.
    const std::set<QString>& Visited() const { return visited_; }

private:
    class Dialogs;
    MonkeyAction ActOnModal(QWidget& modal);
    MonkeyAction TriggerMenuItem();
    MonkeyAction ClickToolButton();
    MonkeyAction PressKey(QWidget& window);
    MonkeyAction ClickAt(QWidget& window, bool twice);
    MonkeyAction CloseWindow();
    MonkeyAction ActivateWindow();
    MonkeyAction ChangeFileElsewhere();
    QWidget* PickWindow();
    void Visit(const QWidget& window);

    Chance& chance_;
    const MonkeyFolders& folders_;
    const SavedDays& saved_;
    // The answers to questions have their own stream, so that a question
    // asked at a moment that depends on timing (the file watcher's) does
    // not change the choice of the actions after it.
    Chance answers_;
    Dialogs* dialogs_;
    std::set<QString> visited_;
};

// ---- checks ----------------------------------------------------------------

// Fails the run when the event loop does not answer for longer than the
// allowance: two seconds between actions, more while one action runs (a
// print of many pages).
class Watchdog {
public:
    Watchdog();
    ~Watchdog();
    void ActionStarts();
    void ActionEnds();

private:
    struct State;
    State* state_;
};

// What the saves of the run wrote, as the program announced them: the file
// must hold each date once, as saved last. A replaced file (a restore, a
// change by another program) starts the record afresh.
class SavedDays {
public:
    SavedDays();
    bool Holds(const QDate& date) const { return saved_.count(date) != 0; }

private:
    friend void CheckFilesAtEnd(const SavedDays&, const MonkeyFolders&);
    struct Day {
        int kind;
        QString memo;
    };
    std::map<QDate, Day> saved_;
    QObject following_; // the context of the connections, gone with this
};

// After every step: the windows the program reaches are alive, the calendar
// marks agree with the calendars, no connection outlives its window, and
// every visible window paints.
void CheckAfterStep();
// At the end, once the main window has closed: the data file, orbelund.ini
// and no temporary file left.
void CheckFilesAtEnd(const SavedDays& saved, const MonkeyFolders& folders);
