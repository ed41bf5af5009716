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

QDate DateOf(const LeaveRecord& r) { return QDate(r.Year(), r.Month(), r.Day()); }

// What the store reads from a record.
LeaveStore::Entry EntryOf(const LeaveRecord& r) { return { r.Kind(), r.Memo() }; }

bool Same(const LeaveStore::Entry& a, const LeaveStore::Entry& b) { return a.Kind == b.Kind && a.Memo == b.Memo; }

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

std::optional<SaveHistory::Change> SaveHistory::Apply(
    const std::vector<LeaveRecord>& found, const std::vector<LeaveRecord>& put, const AskOverwrite& ask)
{
    // Written and Replaced hold the same dates in the same order.
    std::vector<QDate> dates;
    dates.reserve(put.size());
    for (const LeaveRecord& r : put)
        dates.push_back(DateOf(r));
    const std::vector<LeaveStore::Entry> now = LeaveStore::FindEntries(dates);
    std::vector<LeaveRecord> writes;
    writes.reserve(put.size());
    for (size_t i = 0; i < put.size(); ++i) {
        const LeaveStore::Entry wanted = EntryOf(put[i]);
        if (!Same(now[i], EntryOf(found[i])) && !Same(now[i], wanted)) {
            const Answer answer = ask ? ask(dates[i], now[i], wanted) : Answer::Keep;
            if (answer == Answer::Cancel)
                return std::nullopt;
            if (answer == Answer::Keep)
                continue;
        }
        writes.push_back(put[i]);
    }
    if (!writes.empty())
        LeaveStore::SaveRecords(writes);
    return ChangeOf(std::move(writes));
}

std::optional<SaveHistory::Change> SaveHistory::Undo(const AskOverwrite& ask)
{
    const Step& step = steps_.at(done_ - 1);
    std::optional<Change> change = Apply(step.Written, step.Replaced, ask);
    if (change)
        --done_; // only once the records are on the disk
    return change;
}

std::optional<SaveHistory::Change> SaveHistory::Redo(const AskOverwrite& ask)
{
    const Step& step = steps_.at(done_);
    std::optional<Change> change = Apply(step.Replaced, step.Written, ask);
    if (change)
        ++done_;
    return change;
}

void SaveHistory::Clear()
{
    steps_.clear();
    done_ = 0;
}
