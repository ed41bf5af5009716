#include "platform/Files.h"

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QFileInfo>
#include <QRandomGenerator>

namespace Files {

namespace {
int faultCountdown = 0;
int faultError = ENOSPC;
std::optional<Faults::Step> faultFailed;

// True when the step is the one a test asked to fail.
bool Injected(Faults::Step step)
{
    if (faultCountdown <= 0 || --faultCountdown > 0)
        return false;
    faultFailed = step;
    return true;
}
} // namespace

namespace Faults {
void FailNth(int n, int error)
{
    faultCountdown = n;
    faultError = error;
    faultFailed.reset();
}

std::optional<Step> Failed() { return faultFailed; }
} // namespace Faults

bool Exists(const QString& path)
{
    struct stat info;
    return ::stat(path.toLocal8Bit().constData(), &info) == 0 && !S_ISDIR(info.st_mode);
}

bool Remove(const QString& path) { return ::unlink(path.toLocal8Bit().constData()) == 0; }

bool Rename(const QString& from, const QString& to)
{
    return std::rename(from.toLocal8Bit().constData(), to.toLocal8Bit().constData()) == 0;
}

void SyncDirectory(const QString& directory)
{
    const int fd = ::open(directory.toLocal8Bit().constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        ::fsync(fd);
        ::close(fd);
    }
}

std::optional<QDateTime> LastModified(const QString& path)
{
    const QFileInfo info(path);
    if (!info.exists() || info.isDir())
        return std::nullopt;
    return info.lastModified().toLocalTime();
}

int WriteAt(int fd, const void* data, qint64 size, qint64 offset)
{
    if (Injected(Faults::Step::Write))
        return faultError;
    const char* in = static_cast<const char*>(data);
    qint64 done = 0;
    while (done < size) {
        const ssize_t put = ::pwrite(fd, in + done, size_t(size - done), off_t(offset + done));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            return errno;
        }
        if (put == 0)
            return ENOSPC;
        done += put;
    }
    return 0;
}

int SyncData(int fd)
{
    if (Injected(Faults::Step::Flush))
        return faultError;
    return ::fdatasync(fd) == 0 ? 0 : errno;
}

int Close(int fd)
{
    // The descriptor is gone whatever close answers; retrying would close
    // another file's.
    const int result = ::close(fd) == 0 ? 0 : errno;
    if (Injected(Faults::Step::Close))
        return faultError;
    return result;
}

int Replace(const QString& path, const QByteArray& bytes)
{
    // Through a link, the file it points to is replaced and the link stays.
    const QFileInfo link(path);
    const QString target = link.isSymLink() ? link.symLinkTarget() : path;
    const QByteArray name = target.toLocal8Bit();
    struct stat old;
    const bool existed = ::stat(name.constData(), &old) == 0;
    // A file the user made read-only stays as it is.
    if (existed && ::access(name.constData(), W_OK) != 0)
        return errno;

    // A new name beside the file, so that the rename stays within one file system.
    QByteArray temp;
    int fd = -1;
    for (int attempt = 0; fd < 0; ++attempt) {
        temp = name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".new";
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && (errno != EEXIST || attempt == 100))
            return errno;
    }
    if (existed)
        ::fchmod(fd, old.st_mode & 07777);

    int error = WriteAt(fd, bytes.constData(), bytes.size(), 0);
    if (error == 0)
        error = SyncData(fd);
    const int closeError = Close(fd);
    if (error == 0)
        error = closeError;
    if (error == 0 && ::rename(temp.constData(), name.constData()) != 0)
        error = errno;
    if (error != 0) {
        ::unlink(temp.constData());
        return error;
    }
    SyncDirectory(QFileInfo(target).absolutePath());
    return 0;
}

} // namespace Files
