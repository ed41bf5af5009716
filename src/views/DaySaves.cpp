#include "views/DaySaves.h"

#include "core/Backups.h"
#include "platform/Dialogs.h"
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

// What a day holds, as the question shows it: "夏休み（帰省）".
QString Holding(const LeaveStore::Entry& entry)
{
    const QString label = LeaveKindLabel(entry.Kind);
    QString text = label.isEmpty() ? QString::number(entry.Kind) : label;
    if (!entry.Memo.isEmpty())
        text += QStringLiteral("（%1）").arg(entry.Memo);
    return text;
}

// A day written elsewhere since the step is put back only when the user
// says so; Enter keeps it.
SaveHistory::AskOverwrite Asker(const QString& command)
{
    return [command](const QDate& day, const LeaveStore::Entry& now, const LeaveStore::Entry& put) {
        const QString text = QStringLiteral("%1 はほかで変更されています。\n今の内容: %2\n%3: %4\n"
                                            "今の内容を置き換えますか？（いいえ: この日は今のままにします）")
                                 .arg(day.toString(QStringLiteral("yyyy/MM/dd")), Holding(now), command, Holding(put));
        switch (
            Dialogs::MessageBox(nullptr, text, QStringLiteral("確認"), MsgIcon::Question, MsgButtons::ReplaceOrKeep)) {
        case MsgAnswer::Yes:
            return SaveHistory::Answer::Overwrite;
        case MsgAnswer::Cancel:
            return SaveHistory::Answer::Cancel;
        default:
            return SaveHistory::Answer::Keep;
        }
    };
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

std::vector<ConflictCopies::DataMerge> MergeConflictCopies()
{
    if (ConflictCopies::DataCopies().isEmpty())
        return {};
    BackUpFirst();
    const auto save = [](std::span<const LeaveRecord> records) {
        if (!MainFrame)
            return LeaveStore::MergeRecords(records);
        return MainFrame->History.Merge(
            [](int days) { return QStringLiteral("別のPCの変更を取り込み %1日").arg(days); }, records);
    };
    std::vector<ConflictCopies::DataMerge> merges = ConflictCopies::MergeDataCopies(save);
    for (const ConflictCopies::DataMerge& merge : merges) {
        std::vector<LeaveRecord> shown;
        for (const LeaveStore::Merged& day : merge.Days) {
            if (ShowsOtherwise(day.Before, day.After))
                shown.push_back(day.After);
        }
        if (!shown.empty())
            Announce(SaveHistory::Change::Of(std::move(shown)));
    }
    return merges;
}

void Undo()
{
    if (MainFrame && MainFrame->History.CanUndo()) {
        BackUpFirst();
        if (const auto change = MainFrame->History.Undo(Asker(QStringLiteral("元に戻すと"))))
            Announce(*change);
    }
}

void Redo()
{
    if (MainFrame && MainFrame->History.CanRedo()) {
        BackUpFirst();
        if (const auto change = MainFrame->History.Redo(Asker(QStringLiteral("やり直すと"))))
            Announce(*change);
    }
}

} // namespace DaySaves
