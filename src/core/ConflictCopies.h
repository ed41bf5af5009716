#pragma once

// The copies that sync clients leave beside a file that two machines changed
// at once, and their merge into the data file.
//
// Names, compared without case:
//   Syncthing         Holiday.sync-conflict-20261208-065234-ZJXGB42.d00
//   Nextcloud         Holiday (conflicted copy 2026-12-08 065234).d00
//   ownCloud          Holiday_conflict-20261208-065234.d00
//   Dropbox           Holiday (Taro's conflicted copy 2026-12-08).d00,
//                     Holiday (Taro の競合コピー 2026-12-08).d00
// and the same forms of orbelund.ini.
//
// A copy is merged date by date: the newer write wins (LeaveRecord::WinsOver),
// so that both machines, merging each other's copies, reach the same file.
// A merged copy is moved into backup/ of the data folder, never deleted, and
// so is never merged again.

#include <functional>
#include <span>
#include <vector>

#include <QString>
#include <QStringList>

#include "core/LeaveStore.h"

namespace ConflictCopies {

bool IsDataCopy(const QString& fileName);
bool IsSettingsCopy(const QString& fileName);

// The conflict copies of the data file and of the settings file in the
// data folder, oldest name first.
QStringList DataCopies();
QStringList SettingsCopies();

// Moves the copy at `path` into backup/ of the data folder under its own
// name (with "-2", "-3", ... before the suffix when that is taken) and
// returns its new path. Raises EInOutError; the copy then stays where it was.
QString MoveToBackup(const QString& path);

// What the merge of one copy of the data file did.
struct DataMerge {
    QString Copy; // the copy's path as it was found
    QString Backup; // where it went; empty when it could not be moved
    std::vector<LeaveStore::Merged> Days; // every date the data file took from it
    QString Error; // why the copy could not be read, merged or moved; empty when all went well
};

// Writes the records of a copy that win into the data file and says what
// each date held before and after: LeaveStore::MergeRecords, or the
// session's history, which keeps the merge as one step.
using MergeSave = std::function<std::vector<LeaveStore::Merged>(std::span<const LeaveRecord>)>;

// Merges every conflict copy of the data file, one after the other, each
// as one all-or-nothing save, and moves each into backup/. A copy that
// cannot be read is left where it is, with the reason; the next copies are
// merged all the same.
std::vector<DataMerge> MergeDataCopies(const MergeSave& save = LeaveStore::MergeRecords);

} // namespace ConflictCopies
