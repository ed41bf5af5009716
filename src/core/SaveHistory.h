#pragma once

// The saves of a session, so that each can be taken back and made again.
// A step is one save through the entry or the period dialog: the records it
// wrote and the records it replaced, byte for byte, one per date. Undo writes
// the replaced records back, redo the written ones, each through the store's
// all-or-nothing save; a write that fails raises its error and leaves the
// history as it was. Nothing is kept beyond the session.

#include <cstddef>
#include <deque>
#include <span>
#include <vector>

#include <QDate>
#include <QString>

#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"

class SaveHistory {
public:
    // The steps kept; the oldest goes when one more is saved.
    static constexpr size_t Capacity = 200;

    // What a step put on the disk: its dates span first to last, and the
    // records as they are now, one per date.
    struct Change {
        QDate First, Last;
        std::vector<LeaveRecord> Records;
    };

    // Saves the entries as one step named `name`; the steps undone before
    // are dropped. Raises the store's error, with no step added.
    Change Save(const QString& name, std::span<const LeaveStore::DayEntry> entries);

    bool CanUndo() const { return done_ > 0; }
    bool CanRedo() const { return done_ < steps_.size(); }
    // The name of the step the next Undo or Redo takes; empty when none.
    QString UndoName() const;
    QString RedoName() const;

    // Take the last step back, or make the last undone step again. Only
    // when CanUndo or CanRedo.
    Change Undo();
    Change Redo();

    // Forgets every step: after the data file was replaced as a whole, the
    // steps would write records over data they never saw.
    void Clear();

private:
    struct Step {
        QString Name;
        std::vector<LeaveRecord> Written, Replaced;
    };
    std::deque<Step> steps_;
    size_t done_ = 0; // the steps before this one are on the disk
};
