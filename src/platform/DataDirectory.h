#pragma once

// The directory that holds the program's files (Holiday.d00, orbelund.ini,
// orbelund.chm), with a trailing '/'.
//
// A copy of the program that lies in a folder its user can write keeps its
// files there, next to the executable. An installed program (its folder
// cannot be written, or it lies in an installation prefix beside
// share/valdemor/) keeps them in the user's data folder,
// ~/.local/share/Valdemor (under $XDG_DATA_HOME when that is set), which is
// created on first use; the start-up copies the data of the program's folder
// there when it has none yet. The choice is made once per run.
//
// The user may keep the files in another folder (one that a sync client or
// a network drive shares between machines): the default folder then holds
// a small pointer file, DataFolder.txt, naming that folder, which is read
// before any other file. A pointer that does not hold exactly one absolute
// path of a folder that is there (a network drive not mounted, a file cut
// short or grown too long) is not followed; DataPointerProblem() says why.

#include <QString>

QString DataDirectory();

// The folder chosen above, or the one set for tests: where the pointer file
// lives.
QString DefaultDataDirectory();

// The pointer file in DefaultDataDirectory().
QString DataPointerPath();

// The folder the pointer file names, with a trailing '/', whether it is
// there or not; empty when there is no pointer or it names no absolute path.
QString PointedDataDirectory();

// Why the pointer file is not followed, in words for the user ("…が見つかり
// ません"); empty when it is followed or there is none.
QString DataPointerProblem();

// Keeps the files in `directory` from now on, this run and the next ones:
// the pointer file is replaced through the checked write path, or removed
// when `directory` is the default folder. Returns 0 or the error number of
// the step that failed; DataDirectory() is then as it was.
int StoreDataDirectory(const QString& directory);

// Files go to `directory` from now on (a trailing '/' is added when
// missing): the start-up's way back to the program's folder when its data
// could not be copied to the user's, and the tests' own folders (where it
// stands for the default folder: a pointer file in it is followed). An
// empty text returns to the folder chosen above.
void SetDataDirectory(const QString& directory);

// The folder of the running executable, with a trailing '/'.
QString ProgramDirectory();

// For tests: the program lies in `directory`, which decides where the
// installed user guide is looked for; an empty text returns to the real one.
void SetProgramDirectory(const QString& directory);

// The user's own data folder for the program: Valdemor in the XDG data home,
// with a trailing '/'. Not created here.
QString UserDataDirectory();

// The choice behind DataDirectory(): `programDirectory` when its user may
// write there and it is no installation prefix, otherwise
// `userDataDirectory`, which is then created (readable by its owner only).
// Both with a trailing '/'.
QString ChooseDataDirectory(const QString& programDirectory, const QString& userDataDirectory);

// The installed Japanese user guide (share/valdemor/help/index.html of the
// prefix the program is installed in; for a built copy help/index.html beside
// the program), or an empty text when there is none.
QString InstalledUserGuide();
