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

namespace SaveStep {

namespace {

// The refusal of the save of `path`, with the system's reason.
[[noreturn]] void Fail(const QString& path, int error) { RaiseFileError(FileTask::Save, path, error); }

// Returns 0 or the error number.
int WriteAll(int fd, const QByteArray& bytes)
{
    const char* data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, size_t(left));
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (written == 0)
            return EIO;
        data += written;
        left -= written;
    }
    return 0;
}

int CloseChecked(int fd) { return ::close(fd) != 0 && errno != EINTR ? errno : 0; }

// A character device or a pipe (/dev/stdout, a terminal) has no old content
// to keep, and must never be replaced by a renamed file.
void WriteInPlace(const QString& path, const QByteArray& name, const QByteArray& bytes)
{
    // Non-blocking open: a pipe without a reader fails instead of hanging.
    const int fd = ::open(name.constData(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0)
        Fail(path, errno);
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    int error = WriteAll(fd, bytes);
    const int closeError = CloseChecked(fd);
    if (error == 0)
        error = closeError;
    if (error != 0)
        Fail(path, error);
}

// A new, hidden file in `directory` that no one else uses; returns its
// descriptor, or minus the error number.
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
            return -errno;
    }
    return -EEXIST;
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
        WriteInPlace(path, targetName, bytes);
        return;
    }
    if (exists && S_ISDIR(old.st_mode))
        Fail(path, EISDIR);
    // A file the user made read-only keeps its bytes, as the data file does:
    // the rename below would replace it without asking the file.
    if (exists && Files::IsReadOnly(target))
        Fail(path, EACCES);

    const QString directory = QFileInfo(target).absolutePath();
    QByteArray tempName;
    const int fd = CreateTemporary(directory, tempName);
    if (fd < 0)
        Fail(path, -fd);
    int error = Files::WriteAt(fd, bytes.constData(), bytes.size(), 0);
    if (error == 0 && exists) {
        // The replaced file keeps its owner and mode where the system
        // lets us; a refusal leaves the mode of a new file.
        [[maybe_unused]] const int owner = ::fchown(fd, old.st_uid, old.st_gid);
        [[maybe_unused]] const int mode = ::fchmod(fd, old.st_mode & 07777);
    }
    if (error == 0)
        error = Files::SyncData(fd);
    const int closeError = Files::Close(fd);
    if (error == 0)
        error = closeError;
    if (error == 0 && ::rename(tempName.constData(), targetName.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(tempName.constData());
        Fail(path, error);
    }
    Files::SyncDirectory(directory);
}

} // namespace SaveStep
