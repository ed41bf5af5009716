#include "views/DataFileWatcher.h"

#include <QDir>
#include <QFileInfo>

#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "core/SettingsMerge.h"
#include "platform/Application.h"
#include "platform/DataDirectory.h"
#include "platform/Errors.h"
#include "views/DaySaves.h"
#include "views/MainFrame.h"
#include "views/ProgramEvents.h"

namespace {
QString DateText(const LeaveRecord& r)
{
    return QDate(r.Year(), r.Month(), r.Day()).toString(QStringLiteral("yyyy/MM/dd"));
}

// What a record shows: "夏休み（帰省）", or "なし" when it is cleared.
QString Shown(const LeaveRecord& r)
{
    if (r.Cleared())
        return QStringLiteral("なし");
    const QString label = LeaveKindLabel(r.Kind());
    const QString memo = r.Memo();
    return memo.isEmpty() ? label : QStringLiteral("%1（%2）").arg(label, memo);
}

// One line a day that now shows something else, then where each copy went.
QString Details(const std::vector<ConflictCopies::DataMerge>& merges)
{
    QStringList lines;
    for (const ConflictCopies::DataMerge& merge : merges) {
        if (merge.Days.empty())
            continue;
        lines.append(QStringLiteral("%1 から取り込んだ日:").arg(QFileInfo(merge.Copy).fileName()));
        for (const LeaveStore::Merged& day : merge.Days) {
            if (!ShowsOtherwise(day.Before, day.After))
                continue;
            const QString what = day.Before.Cleared() ? QStringLiteral("追加")
                : day.After.Cleared()                 ? QStringLiteral("消去")
                                                      : QStringLiteral("置き換え");
            lines.append(day.Before.Cleared()
                    ? QStringLiteral("  %1 %2: %3").arg(DateText(day.After), what, Shown(day.After))
                    : QStringLiteral("  %1 %2: %3 → %4")
                          .arg(DateText(day.After), what, Shown(day.Before), Shown(day.After)));
        }
        if (!merge.Backup.isEmpty())
            lines.append(QStringLiteral("  このファイルは backup フォルダーに %1 として移しました。")
                             .arg(QFileInfo(merge.Backup).fileName()));
    }
    return lines.join(QLatin1Char('\n'));
}
} // namespace

TDataFileWatcher::TDataFileWatcher(QObject* parent)
    : QObject(parent)
{
    settle_.setSingleShot(true);
    settle_.setInterval(SettleMs);
    connect(&settle_, &QTimer::timeout, this, [this] { Application::Guard([this] { check(); }); });
    connect(&watcher_, &QFileSystemWatcher::fileChanged, &settle_, qOverload<>(&QTimer::start));
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, &settle_, qOverload<>(&QTimer::start));
    // A restore or a move of the data folder replaced the file on purpose:
    // what it left is the file as the windows now show it.
    connect(&ProgramEvents(), &TProgramEvents::dataReplaced, this, [this] { watch(); });
    LeaveStore::SetWriteObserver([this](const auto& before, const auto& after) { ownWrite(before, after); });
    watch();
    // Conflict copies that arrived while the program was not running.
    settle_.start();
}

TDataFileWatcher::~TDataFileWatcher() { LeaveStore::SetWriteObserver({}); }

void TDataFileWatcher::watch()
{
    if (folder_ != DataDirectory()) {
        if (!watcher_.files().isEmpty())
            watcher_.removePaths(watcher_.files());
        if (!watcher_.directories().isEmpty())
            watcher_.removePaths(watcher_.directories());
        folder_ = DataDirectory();
        told_.clear();
        // The folder tells of a file that is created, removed or renamed
        // over; the file of changes made in place.
        watcher_.addPath(folder_);
    }
    // A file replaced by a rename is a new file: the old one's watch is gone.
    if (!watcher_.files().contains(LeaveStore::FilePath()) && LeaveStore::Exists())
        watcher_.addPath(LeaveStore::FilePath());
    known_ = Files::StampOf(LeaveStore::FilePath());
    changedElsewhere_ = false;
    settingsKnown_ = Files::StampOf(Settings::FilePath());
}

void TDataFileWatcher::ownWrite(const std::optional<Files::Stamp>& before, const std::optional<Files::Stamp>& after)
{
    if (before != known_)
        changedElsewhere_ = true;
    known_ = after;
}

void TDataFileWatcher::check()
{
    if (folder_ != DataDirectory()) {
        watch();
        return;
    }
    if (!watcher_.files().contains(LeaveStore::FilePath()) && LeaveStore::Exists())
        watcher_.addPath(LeaveStore::FilePath());
    if (changedElsewhere_ || Files::StampOf(LeaveStore::FilePath()) != known_) {
        watch();
        if (MainFrame)
            MainFrame->SetStatusText(
                QStringLiteral("ほかのプログラムがデータファイルを更新したため、表示を更新しました。"));
        emit ProgramEvents().dataReplaced();
    }
    mergeConflictCopies();
    // The options as another program (a sync client) or another copy left
    // them: what shows them is drawn again. Our own writes pass here too,
    // which costs one more drawing.
    if (const auto settings = Files::StampOf(Settings::FilePath()); settings != settingsKnown_) {
        settingsKnown_ = settings;
        emit ProgramEvents().daysOffChanged();
        emit ProgramEvents().paidLeaveSettingsChanged();
    }
}

void TDataFileWatcher::tellOnce(const QString& copy, const QString& error)
{
    // A copy that cannot be read or moved stays where it is and is tried
    // again at the next change; it is told of once.
    if (told_.contains(copy))
        return;
    told_.insert(copy);
    if (MainFrame)
        MainFrame->SetStatusText(error.split(QLatin1Char('\n')).join(QLatin1Char(' ')));
}

void TDataFileWatcher::mergeConflictCopies()
{
    const std::vector<ConflictCopies::DataMerge> merges = DaySaves::MergeConflictCopies();
    int days = 0;
    for (const ConflictCopies::DataMerge& merge : merges) {
        for (const LeaveStore::Merged& day : merge.Days)
            days += ShowsOtherwise(day.Before, day.After) ? 1 : 0;
        if (!merge.Error.isEmpty())
            tellOnce(merge.Copy, merge.Error);
    }

    // The settings file's copies, key by key; what shows the options is
    // drawn again once the stamp of the file is seen to change.
    QStringList options;
    for (const QString& copy : ConflictCopies::SettingsCopies()) {
        try {
            for (const QString& option : MergeSettingsCopy(copy)) {
                if (!options.contains(option))
                    options.append(option);
            }
            ConflictCopies::MoveToBackup(copy);
        } catch (const Exception& error) {
            tellOnce(copy, error.Message());
        }
    }

    QString text = days > 0 ? QStringLiteral("別のPCの変更を取り込みました（%1日）。").arg(days) : QString();
    if (!options.isEmpty())
        text += QStringLiteral("別のPCの設定を取り込みました: %1").arg(options.join(QStringLiteral("、")));
    if (!MainFrame || text.isEmpty())
        return;
    if (days > 0)
        MainFrame->ShowNotice(text, Details(merges));
    else
        MainFrame->SetStatusText(text);
}
