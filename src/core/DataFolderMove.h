#pragma once

// Moving the program's files to a folder the user chose (for example one that
// a sync client keeps in step between machines): the data file and the
// settings file are copied there through the checked write path, and only
// when both copies are complete does the program switch to that folder, for
// this run and the next ones. The files in the old folder stay as they were,
// so that a failure at any step leaves the program where it was.
//
// Where the new folder holds files of those names already, one side's data
// is kept and the other's goes to backup/ of the new folder first (named as
// the backups are, so that a restore lists it): replacing copies the
// folder's own files there, keeping copies this folder's.
//
// While a move runs, a note beside the pointer file names its target, so
// that the next start can remove the new files a move that was ended
// half-way left there.

#include <QString>
#include <QStringList>

namespace DataFolderMove {

// The names of the files a move to `folder` would copy that are there already.
QStringList Existing(const QString& folder);

// Copies the files to `folder` and switches to it; files of the same name
// there are replaced only with `replace` (the user agreed), otherwise they
// are kept and used. Either way the side not kept is copied to backup/ of
// `folder` first. Raises EInOutError when the folder is not there or a step
// fails: the copies made so far are removed, the files replaced get their
// old bytes back and DataDirectory() is unchanged. Choosing the folder in
// use does nothing.
//
// Once moved, .stignore in `folder` names the files a sync client must not
// copy between machines (Syncthing reads it; the help lists them for other
// clients): the lines missing are added, every line there is kept. When it
// cannot be written the move stands all the same, and the words for the
// status bar are returned; otherwise nothing.
QString Move(const QString& folder, bool replace);

// Removes the new files that the program's own writes (a save, a copy, a
// backup) left in the data folder `folder` when it was ended half-way; only
// names of exactly that form are touched.
void RemoveLeftovers(const QString& folder);

// At start: removes the leftovers of a move that was ended half-way in the
// folder it was moving to, and the note that names it.
void CleanUpInterruptedMove();

} // namespace DataFolderMove
