#pragma once

// The directory that holds the program's files (Holiday.d00, orbelund.ini,
// orbelund.chm): the executable's own directory, with a trailing '/'.

#include <QString>

QString DataDirectory();

// For tests: files go to `directory` (a trailing '/' is added when missing);
// an empty text returns to the executable's directory.
void SetDataDirectory(const QString& directory);
