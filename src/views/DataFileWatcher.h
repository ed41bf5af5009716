#pragma once

// Follows the data file while the program runs. When another program (a
// sync client, another copy of this program sharing the folder) changes or
// replaces Holiday.d00, every open window is told as after a restore
// (dataReplaced). The undo history stays: an undo or redo asks before it
// writes over a day that changed meanwhile. The program's own writes are
// told apart by the stamps LeaveStore reports around each of them: a write
// that found the file as this watcher last knew it is ours; one that found
// it changed, or a file that differs from what our last write left, means
// another program wrote.
//
// A sync client's conflict copy beside the data file is merged into it by
// itself, date by date (DaySaves::MergeConflictCopies), and moved into
// backup/; the status line says so once, with the days in 詳細. A conflict
// copy of the settings file is merged key by key (MergeSettingsCopy) and
// moved there too; the status line names the options it changed. Nothing
// is asked: a question would take the keys typed into an open dialog.
//
// A settings file changed by another program redraws what shows the
// options.
//
// Changes are looked at a moment after the last signal of the file system,
// so that the many signals of one replace give one refresh.

#include <optional>

#include <QFileSystemWatcher>
#include <QObject>
#include <QSet>
#include <QTimer>

#include "platform/Files.h"

class TDataFileWatcher final : public QObject {
    Q_OBJECT

public:
    explicit TDataFileWatcher(QObject* parent = nullptr);
    ~TDataFileWatcher() override;

    // How long after the last signal the folder is looked at.
    static constexpr int SettleMs = 250;

private:
    void watch();
    void check();
    void mergeConflictCopies();
    void tellOnce(const QString& copy, const QString& error);
    void ownWrite(const std::optional<Files::Stamp>& before, const std::optional<Files::Stamp>& after);

    QFileSystemWatcher watcher_;
    QTimer settle_;
    QString folder_; // the data folder watched, as DataDirectory() gave it
    std::optional<Files::Stamp> known_; // the file as last seen or written here
    bool changedElsewhere_ = false; // one of our writes found the file changed
    std::optional<Files::Stamp> settingsKnown_; // the settings file as last seen
    QSet<QString> told_; // the conflict copies whose failure was told
};
