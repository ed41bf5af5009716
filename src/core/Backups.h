#pragma once

// Copies of the data file and the settings file in backup/ of the data
// directory, one pair a day for each machine that uses the folder:
// Holiday-YYYYMMDD-<machine>.d00 and orbelund-YYYYMMDD-<machine>.ini, where
// <machine> is MachineIdText(ThisMachineId()). A sync client that keeps
// backup/ in step between machines so brings each machine's copies to the
// others without one overwriting another's.
//
// The copy of a day is made before the first save of that day, or at a start
// whose data file differs from this machine's newest copy, and is never
// overwritten, so it keeps the records as the day found them. A copy taken
// just before a restore, when the day's copy holds something else, carries
// the time too (Holiday-YYYYMMDD-HHMMSS-<machine>.d00). The copies of the 14
// newest days are kept; older ones are removed. Whether there is a copy of
// the day, and which are old, is asked of this machine's copies only, and
// of those named without a machine (Holiday-YYYYMMDD[-HHMMSS].d00), which
// earlier versions made; another machine's copies are listed and restore
// like any, but are never removed here. Every copy goes through the checked
// write path: written beside its name, flushed, and only then given it.
//
// A sync tool may bring anything into backup/ under such a name: a link, a
// pipe, a device. Only a regular file of at most MaxDataBytes is read; the
// rest is listed as no copy and never opened, chosen or removed.

#include <vector>

#include <QDate>
#include <QString>

namespace Backups {

inline constexpr int KeptDays = 14;

// More than any data file holds: a record for every day of the years 1 to
// 9999 takes some 234 MB. A file beyond it is not read.
inline constexpr qint64 MaxDataBytes = qint64(256) << 20;

// backup/ in the data directory, with a trailing '/'.
QString Folder();

struct Backup {
    QString Stamp; // "YYYYMMDD" or "YYYYMMDD-HHMMSS"
    QDate Day;
    QString DataPath; // the copy of the data file
    QString SettingsPath; // the copy of the settings file; it may be missing
    bool NotACopy = false; // the name of a copy on a link, pipe, device, ...
    QString Machine; // the id of the machine that made it; empty in an old name
};

// The copies of the data file in the folder, every machine's, newest first
// (of one stamp this machine's first), with the entries that only bear such
// a name.
std::vector<Backup> List();

// Copies `dataPath` and `settingsPath`, those of them that are there, into
// backup/ of the data directory `folder` (another than the one in use,
// too), as its copy of today, or with the time when today's copy holds
// something else. Nothing is pruned. Returns 0 or the error number.
int KeepIn(const QString& folder, const QString& dataPath, const QString& settingsPath);

// Removes the new files that a copy into backup/ of `folder` left when the
// program was ended half-way.
void RemoveLeftovers(const QString& folder);

// Once a day per data directory, before a save: makes the day's copy unless
// there is one, and removes the copies of days beyond the kept ones. Returns
// 0, or the error number when the copy could not be written; only the first
// try of a day does anything.
int BeforeSave();

// At start: when the data file differs from the newest copy (or there is
// none), makes the day's copy as BeforeSave does. Returns 0 or the error number.
int AtStart();

// The words for a copy that could not be written, for the status bar.
QString FailureText(int error);

// What a copy holds: the days with an entry and the latest of them. A copy
// that cannot be read (no regular file, or larger than MaxDataBytes), does
// not end on a whole record, or holds a record of an impossible date or kind
// is damaged.
struct Summary {
    bool Damaged = false;
    int Days = 0;
    QDate Latest;
};
// A link is followed only with `followLink` (a data file in use may be one).
Summary Summarize(const QString& dataPath, bool followLink = false);

// Puts the copy in place of the data file: the current data file is copied
// first (as the day's copy, or with the time when the day's copy differs),
// then the data file is replaced in one step by the copy's bytes, all under
// the writers' lock. Raises
// EInOutError when the copy cannot be read, is damaged, or a write fails;
// the data file is then as it was.
void Restore(const Backup& backup);

} // namespace Backups
