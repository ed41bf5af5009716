#include "core/SaveHistory.h"

#include <unordered_map>

namespace {

QDate DateOf(const LeaveRecord& r) { return QDate(r.Year(), r.Month(), r.Day()); }

// What the store reads from a record.
LeaveStore::Entry EntryOf(const LeaveRecord& r) { return { r.Kind(), r.Memo() }; }

bool Same(const LeaveStore::Entry& a, const LeaveStore::Entry& b) { return a.Kind == b.Kind && a.Memo == b.Memo; }

} // namespace

// The dates the records span and the records themselves.
SaveHistory::Change SaveHistory::Change::Of(std::vector<LeaveRecord> records)
{
    Change change;
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

bool ShowsOtherwise(const LeaveRecord& a, const LeaveRecord& b)
{
    if (a.Cleared() || b.Cleared())
        return a.Cleared() != b.Cleared();
    return a.Kind() != b.Kind() || a.MemoBytes() != b.MemoBytes();
}

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

    Push({ name, onDisk, std::move(replaced) });
    return Change::Of(std::move(onDisk));
}

void SaveHistory::Push(Step step)
{
    steps_.erase(steps_.begin() + qsizetype(done_), steps_.end());
    steps_.push_back(std::move(step));
    if (steps_.size() > Capacity)
        steps_.pop_front();
    done_ = steps_.size();
}

std::vector<LeaveStore::Merged> SaveHistory::Merge(
    const std::function<QString(int days)>& name, std::span<const LeaveRecord> records)
{
    std::vector<LeaveStore::Merged> merged = LeaveStore::MergeRecords(records);
    Step step;
    for (const LeaveStore::Merged& day : merged) {
        if (ShowsOtherwise(day.Before, day.After)) {
            step.Written.push_back(day.After);
            step.Replaced.push_back(day.Before);
        }
    }
    if (!step.Written.empty()) {
        step.Name = name(int(step.Written.size()));
        Push(std::move(step));
    }
    return merged;
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
    return Change::Of(std::move(writes));
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
