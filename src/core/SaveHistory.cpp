#include "core/SaveHistory.h"

#include <unordered_map>

namespace {

// The dates the records span and the records themselves.
SaveHistory::Change ChangeOf(std::vector<LeaveRecord> records)
{
    SaveHistory::Change change;
    for (const LeaveRecord& r : records) {
        const QDate date(r.Year(), r.Month(), r.Day());
        if (!change.First.isValid() || date < change.First)
            change.First = date;
        if (!change.Last.isValid() || date > change.Last)
            change.Last = date;
    }
    change.Records = std::move(records);
    return change;
}

} // namespace

SaveHistory::Change SaveHistory::Save(const QString& name, std::span<const LeaveStore::DayEntry> entries)
{
    std::vector<LeaveRecord> written;
    written.reserve(entries.size());
    for (const LeaveStore::DayEntry& e : entries)
        written.push_back(LeaveRecord::Make(e.Year, e.Month, e.Day, e.Kind, e.Memo));
    std::vector<LeaveRecord> replaced = LeaveStore::SaveRecords(written);

    // What the save left for each date, in the order of the replaced
    // records: the last entry of a date decides.
    std::unordered_map<uint32_t, const LeaveRecord*> lastOfDate;
    for (const LeaveRecord& r : written)
        lastOfDate[r.DateKey()] = &r;
    std::vector<LeaveRecord> onDisk;
    onDisk.reserve(replaced.size());
    for (const LeaveRecord& old : replaced)
        onDisk.push_back(*lastOfDate.at(old.DateKey()));

    steps_.erase(steps_.begin() + qsizetype(done_), steps_.end());
    steps_.push_back({ name, onDisk, std::move(replaced) });
    if (steps_.size() > Capacity)
        steps_.pop_front();
    done_ = steps_.size();
    return ChangeOf(std::move(onDisk));
}

QString SaveHistory::UndoName() const { return CanUndo() ? steps_[done_ - 1].Name : QString(); }

QString SaveHistory::RedoName() const { return CanRedo() ? steps_[done_].Name : QString(); }

SaveHistory::Change SaveHistory::Undo()
{
    const Step& step = steps_.at(done_ - 1);
    LeaveStore::SaveRecords(step.Replaced);
    --done_; // only once the records are on the disk
    return ChangeOf(step.Replaced);
}

SaveHistory::Change SaveHistory::Redo()
{
    const Step& step = steps_.at(done_);
    LeaveStore::SaveRecords(step.Written);
    ++done_;
    return ChangeOf(step.Written);
}

void SaveHistory::Clear()
{
    steps_.clear();
    done_ = 0;
}
