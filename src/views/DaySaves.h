#pragma once

// Every save of days that the user makes, and its undo and redo, goes through
// here: the main window's history keeps each save as one step, and the
// program's events tell the open windows which days changed (daySaved for
// one day, daysSaved for several) and that the history did. Failures raise
// the store's error with nothing written and the history as it was.

#include <span>

#include <QString>

#include "core/ConflictCopies.h"
#include "core/LeaveStore.h"

namespace DaySaves {

// Saves the entries as one step named `name` ("2026/08/12～08/16 夏休み").
void Save(const QString& name, std::span<const LeaveStore::DayEntry> entries);

// Takes the last step back, or makes the last undone one again; nothing
// when there is none. A day that was written elsewhere since (another copy,
// another program) is asked about first, naming what it holds now and what
// would replace it: いいえ keeps it, キャンセル writes nothing.
void Undo();
void Redo();

// Merges the conflict copies of the data file that a sync client left, each
// as one step ("別のPCの変更を取り込み 3日") that 元に戻す takes back, and
// tells the open windows which days changed.
std::vector<ConflictCopies::DataMerge> MergeConflictCopies();

} // namespace DaySaves
