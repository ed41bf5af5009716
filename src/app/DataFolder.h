#pragma once

// The start-up steps on the folder of the program's files, taken before any
// window reads them.
//
// A copy of the program whose own folder holds its data but may not be
// written keeps its files in the user's data folder instead, which is empty
// at first: the data would look lost. So when that folder has no data file
// yet, the data file and the settings file are copied into it (never over a
// file that is there), and a message says once where the data lives now. When
// the copy fails, nothing half-written stays behind, a warning says why, and
// the program shows the data of its own folder for this run.
//
// A folder the user chose for the files (DataDirectory.h) that is not there,
// or a pointer file that names no folder, is told of first, with the reason
// and the folder used instead; the data is then not taken over from the
// program's folder either.
//
// Then the new files that a write, a copy or a move of the data folder left
// behind when the program was ended half-way are removed, in the folder in
// use and in the one the move was going to.

void PrepareDataFolder();
