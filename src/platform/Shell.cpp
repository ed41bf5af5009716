#include "platform/Shell.h"

#include <QDesktopServices>
#include <QUrl>

namespace Shell {

namespace {
std::function<bool(const QString&, const QString&)>& Opener()
{
    static std::function<bool(const QString&, const QString&)> opener;
    return opener;
}
} // namespace

bool Open(const QString& path, const QString& workingDirectory)
{
    if (Opener())
        return Opener()(path, workingDirectory);
    // The desktop starts the viewer itself; the working directory is only
    // meaningful to programs that the desktop starts with our environment.
    return QDesktopServices::openUrl(QUrl::fromLocalFile(path));
}

void SetOpener(std::function<bool(const QString&, const QString&)> opener) { Opener() = std::move(opener); }

} // namespace Shell
