#include "platform/Files.h"

#include <algorithm>
#include <cstdio>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDir>
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

bool IsReadOnly(const QString& path)
{
    const QByteArray name = path.toLocal8Bit();
    struct stat info;
    if (::stat(name.constData(), &info) != 0 || S_ISDIR(info.st_mode))
        return false;
    return (info.st_mode & 0222) == 0 || ::access(name.constData(), W_OK) != 0;
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

std::optional<Stamp> StampOf(const QString& path)
{
    struct stat info;
    if (::stat(path.toLocal8Bit().constData(), &info) != 0)
        return std::nullopt;
    const auto nanoseconds = [](const timespec& t) { return qint64(t.tv_sec) * 1000000000 + t.tv_nsec; };
    return Stamp { quint64(info.st_dev), quint64(info.st_ino), qint64(info.st_size), nanoseconds(info.st_mtim),
        nanoseconds(info.st_ctim) };
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

namespace {
// The file a replacement of `path` writes: through a link, the file it points to.
QString ReplacedFile(const QString& path)
{
    const QFileInfo link(path);
    return link.isSymLink() ? link.symLinkTarget() : path;
}

// Opens a new file beside `name`, so that the final rename or link stays
// within one file system: the name, a dot, a random number in base 36 and
// ".new". Returns 0 or the error number.
int CreateNewFile(const QByteArray& name, QByteArray& temp, int& fd)
{
    for (int attempt = 0;; ++attempt) {
        temp = name + '.' + QByteArray::number(QRandomGenerator::global()->generate(), 36) + ".new";
        fd = ::open(temp.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0)
            return 0;
        if (errno != EEXIST || attempt == 100)
            return errno;
    }
}

// Flushes and closes the new file, whose writing ended with `error`, and
// when all went well puts it in place as `target`: over the old file, or only
// where no file is. Otherwise the new file is removed. Returns 0 or the
// error number of the first step that failed.
int PutInPlace(int fd, const QByteArray& temp, const QString& target, int error, bool overwrite)
{
    const QByteArray name = target.toLocal8Bit();
    if (error == 0)
        error = SyncData(fd);
    const int closeError = Close(fd);
    if (error == 0)
        error = closeError;
    if (error == 0) {
        // A link fails when the name is taken, where a rename would replace.
        if (overwrite ? ::rename(temp.constData(), name.constData()) != 0
                      : ::link(temp.constData(), name.constData()) != 0)
            error = errno;
        else if (!overwrite)
            ::unlink(temp.constData());
    }
    if (error != 0) {
        ::unlink(temp.constData());
        return error;
    }
    SyncDirectory(QFileInfo(target).absolutePath());
    return 0;
}
} // namespace

int Replace(const QString& path, const QByteArray& bytes)
{
    // Through a link, the file it points to is replaced and the link stays.
    const QString target = ReplacedFile(path);
    const QByteArray name = target.toLocal8Bit();
    struct stat old;
    const bool existed = ::stat(name.constData(), &old) == 0;
    // A file the user made read-only stays as it is.
    if (existed && IsReadOnly(target))
        return EACCES;

    QByteArray temp;
    int fd = -1;
    if (const int error = CreateNewFile(name, temp, fd))
        return error;
    if (existed)
        ::fchmod(fd, old.st_mode & 07777);
    return PutInPlace(fd, temp, target, WriteAt(fd, bytes.constData(), bytes.size(), 0), true);
}

int CopyNew(const QString& from, const QString& to)
{
    const int in = ::open(from.toLocal8Bit().constData(), O_RDONLY | O_CLOEXEC);
    if (in < 0)
        return errno;
    QByteArray temp;
    int fd = -1;
    if (const int error = CreateNewFile(to.toLocal8Bit(), temp, fd)) {
        ::close(in);
        return error;
    }
    int error = 0;
    std::vector<char> buffer(1 << 20);
    for (qint64 offset = 0;;) {
        const ssize_t got = ::read(in, buffer.data(), buffer.size());
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0) {
            error = got < 0 ? errno : 0;
            break;
        }
        error = WriteAt(fd, buffer.data(), got, offset);
        if (error != 0)
            break;
        offset += got;
    }
    ::close(in);
    return PutInPlace(fd, temp, to, error, false);
}

namespace {
// Exactly what CreateNewFile names for `base`: "<base>.<number>.new", the
// number below 2^32 in base 36, so one to seven of [0-9a-z]. Compared by
// hand: a regular expression here would load the expression engine at
// every start.
bool IsNewFileOf(const QString& name, const QString& base)
{
    const QLatin1StringView suffix(".new");
    const qsizetype digits = name.size() - base.size() - 1 - suffix.size();
    if (digits < 1 || digits > 7 || !name.startsWith(base) || name[base.size()] != u'.' || !name.endsWith(suffix))
        return false;
    const QStringView number = QStringView(name).mid(base.size() + 1, digits);
    return std::all_of(
        number.begin(), number.end(), [](QChar c) { return (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'z'); });
}
} // namespace

void RemoveLeftovers(const QString& path)
{
    const QFileInfo file(ReplacedFile(path));
    const QString base = file.fileName();
    const QDir folder = file.absoluteDir();
    bool removed = false;
    for (const QFileInfo& entry : folder.entryInfoList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!entry.isSymLink() && IsNewFileOf(entry.fileName(), base))
            removed = Remove(entry.absoluteFilePath()) || removed;
    }
    if (removed)
        SyncDirectory(folder.absolutePath());
}

} // namespace Files
