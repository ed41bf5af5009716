#include "platform/DataDirectory.h"

#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {
QString& DataOverride()
{
    static QString value;
    return value;
}

QString& ProgramOverride()
{
    static QString value;
    return value;
}

QString WithSlash(QString path) { return path.endsWith(u'/') ? path : path + u'/'; }

QString ExecutableDirectory()
{
    static const QString directory
        = WithSlash(QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath());
    return directory;
}

// The user may create, replace and remove files in `directory`. access()
// asks with the real user's rights and knows read-only file systems.
bool Writable(const QString& directory) { return ::access(QFile::encodeName(directory).constData(), W_OK | X_OK) == 0; }

// A program in <prefix>/bin beside <prefix>/share/valdemor was installed:
// its folder belongs to the installation, not to one user's data, even where
// that user may write it (root, or a prefix in the home folder).
bool InstalledPrefix(const QString& programDirectory)
{
    return QFileInfo(programDirectory + QStringLiteral("../share/valdemor")).isDir();
}

// Creates `directory` and any missing parents; the last level is private to
// its owner, as the XDG rules ask of the folders a program makes there.
void MakeUserFolder(const QString& directory)
{
    const QString path = QDir::cleanPath(directory);
    if (QFileInfo(path).isDir())
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    // A failure shows later, as the error of the first file the program
    // cannot create there.
    ::mkdir(QFile::encodeName(path).constData(), 0700);
}
} // namespace

QString DataDirectory()
{
    if (!DataOverride().isEmpty())
        return DataOverride();
    static const QString chosen = ChooseDataDirectory(ExecutableDirectory(), UserDataDirectory());
    return chosen;
}

void SetDataDirectory(const QString& directory)
{
    DataOverride() = directory.isEmpty() ? QString() : WithSlash(directory);
}

QString ProgramDirectory() { return ProgramOverride().isEmpty() ? ExecutableDirectory() : ProgramOverride(); }

void SetProgramDirectory(const QString& directory)
{
    ProgramOverride() = directory.isEmpty() ? QString() : WithSlash(directory);
}

QString UserDataDirectory()
{
    QString home = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    // The XDG rules ignore a relative XDG_DATA_HOME: the files must not
    // follow the working folder.
    if (!QDir::isAbsolutePath(home))
        home = QDir::homePath() + QStringLiteral("/.local/share");
    return WithSlash(home) + QStringLiteral("Valdemor/");
}

QString ChooseDataDirectory(const QString& programDirectory, const QString& userDataDirectory)
{
    const QString program = WithSlash(programDirectory);
    if (Writable(program) && !InstalledPrefix(program))
        return program;
    MakeUserFolder(userDataDirectory);
    return WithSlash(userDataDirectory);
}

QString InstalledUserGuide()
{
    const QString guide = ProgramDirectory() + QStringLiteral("../share/valdemor/help/index.html");
    return QFileInfo(guide).isFile() ? QFileInfo(guide).absoluteFilePath() : QString();
}
