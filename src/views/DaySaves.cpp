#include "views/DaySaves.h"

#include "core/Backups.h"

#include "views/MainFrame.h"
#include "views/ProgramEvents.h"

namespace DaySaves {

namespace {

void Announce(const SaveHistory::Change& change)
{
    if (change.Records.size() == 1) {
        const LeaveRecord& r = change.Records.front();
        emit ProgramEvents().daySaved(change.First, r.Cleared() ? int(LeaveKind::Normal) : r.Kind(), r.Memo());
    } else if (!change.Records.empty()) {
        emit ProgramEvents().daysSaved(change.First, change.Last);
    }
    emit ProgramEvents().historyChanged();
}

// The day's backup before its first save. A backup that cannot be written
// is told once in the status bar and never stops the save.
void BackUpFirst()
{
    if (const int error = Backups::BeforeSave(); error != 0 && MainFrame)
        MainFrame->SetStatusText(Backups::FailureText(error));
}

} // namespace

void Save(const QString& name, std::span<const LeaveStore::DayEntry> entries)
{
    BackUpFirst();
    if (!MainFrame) {
        LeaveStore::SaveEntries(entries);
        return;
    }
    Announce(MainFrame->History.Save(name, entries));
}

void Undo()
{
    if (MainFrame && MainFrame->History.CanUndo()) {
        BackUpFirst();
        Announce(MainFrame->History.Undo());
    }
}

void Redo()
{
    if (MainFrame && MainFrame->History.CanRedo()) {
        BackUpFirst();
        Announce(MainFrame->History.Redo());
    }
}

} // namespace DaySaves
