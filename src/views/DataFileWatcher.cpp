#include "views/DataFileWatcher.h"

#include <QDir>

#include "core/LeaveStore.h"
#include "platform/Application.h"
#include "platform/DataDirectory.h"
#include "platform/Dialogs.h"
#include "views/MainFrame.h"
#include "views/ProgramEvents.h"

namespace {
// The names sync clients give a conflict copy of the data file, compared
// without case as QDir's name filters would. By hand: a name filter would
// load the regular expression engine at every start.
bool IsConflictCopy(const QString& name)
{
    const auto between = [&name](QLatin1StringView head, QLatin1StringView tail) {
        return name.size() >= head.size() + tail.size() && name.startsWith(head, Qt::CaseInsensitive)
            && name.endsWith(tail, Qt::CaseInsensitive);
    };
    return between(QLatin1StringView("Holiday.sync-conflict-"), QLatin1StringView(".d00"))
        || between(QLatin1StringView("Holiday (conflicted copy"), QLatin1StringView(").d00"));
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
    askAboutConflictCopies();
}

void TDataFileWatcher::askAboutConflictCopies()
{
    // The question's own event loop may run another check.
    if (asking_)
        return;
    for (const QString& name : QDir(folder_).entryList(QDir::Files, QDir::Name)) {
        if (!IsConflictCopy(name) || told_.contains(name))
            continue;
        told_.insert(name);
        const QString path = folder_ + name;
        asking_ = true;
        const MsgAnswer answer = Dialogs::MessageBox(nullptr,
            QStringLiteral(
                "データファイルの競合コピー %1 が見つかりました。\n"
                "同期ツールが別のパソコンでの変更を保存したファイルです。このファイルの内容を読み込みますか？")
                .arg(QDir::toNativeSeparators(path)),
            QStringLiteral("確認"), MsgIcon::Question, MsgButtons::YesNo);
        asking_ = false;
        if (answer == MsgAnswer::Yes)
            emit ProgramEvents().conflictCopyFound(path);
    }
}
