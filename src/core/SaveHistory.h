#pragma once

// The saves of a session, so that each can be taken back and made again.
// A step is one save through the entry or the period dialog, or one merge
// of another machine's copy: the records it wrote and the records it
// replaced, one per date. Undo writes the replaced records back, redo the
// written ones, each through the store's all-or-nothing save and with the
// time of the undo or redo, so that it wins when the file meets another
// machine's copy; a write that fails raises its error and leaves the
// history as it was. Nothing is kept beyond the session.
//
// Another copy of the program or another program may write a day between a
// step and its undo or redo. Such a day is not written over unasked: the
// caller is asked for each, and may keep what is there or stop.

#include <cstddef>
#include <deque>
#include <functional>
#include <optional>
#include <span>
#include <vector>

#include <QDate>
#include <QString>

#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"

// Whether the calendars show the two records of a date differently: a
// cleared record shows nothing, whatever it holds.
bool ShowsOtherwise(const LeaveRecord& a, const LeaveRecord& b);

class SaveHistory {
public:
    // The steps kept; the oldest goes when one more is saved.
    static constexpr size_t Capacity = 200;

    // What a step put on the disk: its dates span first to last, and the
    // records as they are now, one per date.
    struct Change {
        QDate First, Last;
        std::vector<LeaveRecord> Records;
        static Change Of(std::vector<LeaveRecord> records);
    };

    // Saves the entries as one step named `name`; the steps undone before
    // are dropped. Raises the store's error, with no step added.
    Change Save(const QString& name, std::span<const LeaveStore::DayEntry> entries);

    // Brings in the records of another machine's copy of the data file
    // (LeaveStore::MergeRecords) as one step, named by `name` from the
    // number of days that now show something else. A merge that changes
    // no day's entry adds no step. Returns what each date written held
    // before and holds now.
    std::vector<LeaveStore::Merged> Merge(
        const std::function<QString(int days)>& name, std::span<const LeaveRecord> records);

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // The name of the step the next Undo or Redo takes; empty when none.
    QString UndoName() const;
    QString RedoName() const;

    // What to do with a day that holds neither what the step found nor
    // what it left: write it all the same, keep what is there, or write
    // nothing at all.
    enum class Answer { Overwrite, Keep, Cancel };
    // Asked with the day, what it holds now and what would be put there.
    using AskOverwrite
        = std::function<Answer(const QDate& day, const LeaveStore::Entry& now, const LeaveStore::Entry& put)>;

    // Take the last step back, or make the last undone step again. Only
    // when CanUndo or CanRedo. Nothing when `ask` cancelled: the file and
    // the history are as they were. A day kept is not written; the step
    // counts as taken all the same.
    std::optional<Change> Undo(const AskOverwrite& ask);
    std::optional<Change> Redo(const AskOverwrite& ask);

    // Forgets every step: after the data file was replaced as a whole, the
    // steps would write records over data they never saw.
    void Clear();

private:
    // Writes `put` over the days that hold `found`, asking for the others.
    static std::optional<Change> Apply(
        const std::vector<LeaveRecord>& found, const std::vector<LeaveRecord>& put, const AskOverwrite& ask);

    struct Step {
        QString Name;
        std::vector<LeaveRecord> Written, Replaced;
    };
    // Adds a step after the ones done; the steps undone before are dropped.
    void Push(Step step);
    std::deque<Step> steps_;
    size_t done_ = 0; // the steps before this one are on the disk
};
