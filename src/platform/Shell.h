#pragma once

// The desktop's "open" of a document: the file opens in the program the
// user's desktop associates with it.

#include <functional>

#include <QString>

namespace Shell {

// True when the desktop accepted the request.
bool Open(const QString& path, const QString& workingDirectory);

// Tests replace the desktop with `opener`; an empty function brings it back.
void SetOpener(std::function<bool(const QString& path, const QString& workingDirectory)> opener);

} // namespace Shell
