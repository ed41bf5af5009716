#include "platform/DataDirectory.h"

#include <cerrno>
#include <climits>
#include <cstring>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QStringDecoder>

#include "platform/Files.h"

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

// The folder the files are in, for the default folder it was worked out
// for: the pointer file is read once, not at every file the program opens.
struct Resolved {
    QString base;
    QString directory;
};

Resolved& Current()
{
    static Resolved current;
    return current;
}

// What the pointer file in `base` says: the folder it names (empty when
// none) and why it is not followed (empty when it is, or there is none).
struct Pointer {
    QString folder;
    QString problem;
};

// The longest path the system takes, and a line end.
constexpr qint64 MaxPointerBytes = PATH_MAX + 2;

Pointer ReadPointer(const QString& base)
{
    const QByteArray path = (base + QStringLiteral("DataFolder.txt")).toLocal8Bit();
    // Opening does not wait: a pipe of that name would block the start.
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return {};
        return { {}, QStringLiteral("読み取れません（%1）").arg(QString::fromLocal8Bit(::strerror(errno))) };
    }
    QByteArray bytes(MaxPointerBytes + 1, Qt::Uninitialized);
    qint64 got = 0;
    struct stat info;
    bool regular = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode);
    while (regular && got < bytes.size()) {
        const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            regular = false;
        if (n <= 0)
            break;
        got += n;
    }
    ::close(fd);
    if (!regular)
        return { {}, QStringLiteral("通常のファイルとして読み取れません") };
    if (got > MaxPointerBytes)
        return { {}, QStringLiteral("パスとして長すぎます") };
    bytes.truncate(got);
    QStringDecoder utf8(QStringDecoder::Utf8);
    const QString text = utf8.decode(bytes);
    if (utf8.hasError() || text.contains(QChar(0)))
        return { {}, QStringLiteral("パスとして読めない文字があります") };
    const QString folder = text.trimmed();
    if (folder.isEmpty())
        return { {}, QStringLiteral("フォルダーが書かれていません") };
    if (folder.contains(u'\n') || folder.contains(u'\r'))
        return { {}, QStringLiteral("パスが 1 行ではありません") };
    if (!QDir::isAbsolutePath(folder))
        return { {}, QStringLiteral("%1 は絶対パスではありません").arg(folder) };
    const QString clean = WithSlash(QDir::cleanPath(folder));
    const QFileInfo there(clean);
    if (!there.exists())
        return { clean, QStringLiteral("%1 が見つかりません").arg(QDir::toNativeSeparators(clean)) };
    if (!there.isDir())
        return { clean, QStringLiteral("%1 はフォルダーではありません").arg(QDir::toNativeSeparators(clean)) };
    return { clean, {} };
}
} // namespace

QString DefaultDataDirectory()
{
    if (!DataOverride().isEmpty())
        return DataOverride();
    static const QString chosen = ChooseDataDirectory(ExecutableDirectory(), UserDataDirectory());
    return chosen;
}

QString DataPointerPath() { return DefaultDataDirectory() + QStringLiteral("DataFolder.txt"); }

QString PointedDataDirectory() { return ReadPointer(DefaultDataDirectory()).folder; }

QString DataPointerProblem() { return ReadPointer(DefaultDataDirectory()).problem; }

QString DataDirectory()
{
    const QString base = DefaultDataDirectory();
    Resolved& current = Current();
    if (current.base != base) {
        const Pointer pointed = ReadPointer(base);
        current = { base, !pointed.folder.isEmpty() && pointed.problem.isEmpty() ? pointed.folder : base };
    }
    return current.directory;
}

int StoreDataDirectory(const QString& directory)
{
    const QString base = DefaultDataDirectory();
    const QString target = WithSlash(QDir::cleanPath(directory));
    if (target == base) {
        if (Files::Exists(DataPointerPath()) && !Files::Remove(DataPointerPath()))
            return errno;
        Files::SyncDirectory(base);
    } else if (const int error = Files::Replace(DataPointerPath(), target.toUtf8() + '\n')) {
        return error;
    }
    Current() = { base, target };
    return 0;
}

void SetDataDirectory(const QString& directory)
{
    DataOverride() = directory.isEmpty() ? QString() : WithSlash(directory);
    // Its pointer file is read anew.
    Current() = {};
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
    // A program run from its build folder has the guide beside it.
    for (const QString& guide : { ProgramDirectory() + QStringLiteral("../share/valdemor/help/index.html"),
             ProgramDirectory() + QStringLiteral("help/index.html") })
        if (QFileInfo(guide).isFile())
            return QFileInfo(guide).absoluteFilePath();
    return QString();
}
