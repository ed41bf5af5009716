#pragma once

// Moving the program's files to a folder the user chose (for example one that
// a sync client keeps in step between machines): the data file and the
// settings file are copied there through the checked write path, and only
// when both copies are complete does the program switch to that folder, for
// this run and the next ones. The files in the old folder stay as they were,
// so that a failure at any step leaves the program where it was.

#include <QString>
#include <QStringList>

namespace DataFolderMove {

// The names of the files a move to `folder` would copy that are there already.
QStringList Existing(const QString& folder);

// Copies the files to `folder` and switches to it; files of the same name
// there are replaced only with `replace` (the user agreed), otherwise they
// are kept and used. Raises EInOutError when the folder is not there or a
// step fails: the copies made so far are removed and DataDirectory() is
// unchanged. Choosing the folder in use does nothing.
void Move(const QString& folder, bool replace);

} // namespace DataFolderMove
