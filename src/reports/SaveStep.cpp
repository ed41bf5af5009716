#include "reports/SaveStep.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFile>
#include <QFileInfo>

#include "platform/Dialogs.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/RecordFile.h"

namespace SaveStep {

namespace {

void WriteAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            RaiseInOutError(errno);
        }
        if (written == 0)
            RaiseInOutError(EIO);
        data += written;
        left -= written;
    }
}

void CloseChecked(int fd)
{
    if (::close(fd) != 0 && errno != EINTR)
        RaiseInOutError(errno);
}

// A character device or a pipe (/dev/stdout, a terminal) has no old content
// to keep, and must never be replaced by a renamed file.
void WriteInPlace(const QByteArray& name, const QByteArray& bytes)
{
    // Non-blocking open: a pipe without a reader fails instead of hanging.
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        RaiseInOutError(errno);
    try {
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
        WriteAll(fd, bytes);
    } catch (...) {
        ::close(fd);
        throw;
    }
    CloseChecked(fd);
}

// A new, hidden file in `directory` that no one else uses.
int CreateTemporary(const QString& directory, QByteArray& name)
{
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        name = QFile::encodeName(
            QStringLiteral("%1/.valdemor-%2-%3.tmp").arg(directory).arg(qint64(::getpid())).arg(++counter));
        // 0666 less the umask: the mode a plainly created file gets.
        const int fd = ::open(name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return fd;
        if (errno != EEXIST)
            RaiseInOutError(errno);
    }
    RaiseInOutError(EEXIST);
}

} // namespace

QString WithExtension(const QString& path, int filterIndex, const QString& extension)
{
    if (filterIndex != TypedFilterIndex)
        return path;
    const qsizetype nameStart = path.lastIndexOf(u'/') + 1;
    if (path.indexOf(u'.', nameStart) >= 0)
        return path;
    return path + extension;
}

std::optional<QString> AskPath(
    QWidget* owner, const QString& filter, const QString& proposedName, const QString& extension)
{
    SaveDialogRequest request;
    request.filter = filter;
    request.filterIndex = TypedFilterIndex;
    request.fileName = proposedName;
    request.title = QString(); // the system's own title
    request.kind = extension; // each kind of file in the folder of the last one
    const std::optional<SaveDialogAnswer> answer = Dialogs::SaveDialog(owner, request);
    if (!answer)
        return std::nullopt;
    const QString path = WithExtension(answer->path, answer->filterIndex, extension);
    if (Files::Exists(path)
        && Dialogs::MessageBox(owner, QStringLiteral("同名のファイルが存在します。上書きしてもよろしいですか？"),
               QStringLiteral("確認"), MsgIcon::Warning, MsgButtons::ReplaceOrKeep)
            != MsgAnswer::Yes)
        return std::nullopt;
    return path;
}

void WriteFile(const QString& path, const QByteArray& bytes)
{
    // A link is followed, so the file it names is replaced, not the link.
    QString target = path;
    if (const QFileInfo info(path); info.exists() && !info.canonicalFilePath().isEmpty())
        target = info.canonicalFilePath();
    const QByteArray targetName = QFile::encodeName(target);

    struct stat old;
    const bool exists = ::stat(targetName.constData(), &old) == 0;
    if (exists && !S_ISREG(old.st_mode) && !S_ISDIR(old.st_mode)) {
        WriteInPlace(targetName, bytes);
        return;
    }
    if (exists && S_ISDIR(old.st_mode))
        RaiseInOutError(EISDIR);

    const QString directory = QFileInfo(target).absolutePath();
    QByteArray tempName;
    int fd = CreateTemporary(directory, tempName);
    try {
        WriteAll(fd, bytes);
        if (exists) {
            // The replaced file keeps its owner and mode where the system
            // lets us; a refusal leaves the mode of a new file.
            [[maybe_unused]] const int owner = ::fchown(fd, old.st_uid, old.st_gid);
            [[maybe_unused]] const int mode = ::fchmod(fd, old.st_mode & 07777);
        }
        if (::fsync(fd) != 0)
            RaiseInOutError(errno);
        const int closing = fd;
        fd = -1;
        CloseChecked(closing);
        if (::rename(tempName.constData(), targetName.constData()) != 0)
            RaiseInOutError(errno);
    } catch (...) {
        if (fd >= 0)
            ::close(fd);
        ::unlink(tempName.constData());
        throw;
    }
    Files::SyncDirectory(directory);
}

} // namespace SaveStep
