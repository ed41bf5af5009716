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

#include <QString>

QString DataDirectory();

// Files go to `directory` from now on (a trailing '/' is added when
// missing): the start-up's way back to the program's folder when its data
// could not be copied to the user's, and the tests' own folders. An empty
// text returns to the folder chosen above.
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
// prefix the program is installed in), or an empty text when there is none.
QString InstalledUserGuide();
