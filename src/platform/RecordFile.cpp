#include "platform/RecordFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Errors.h"
#include "platform/Files.h"

namespace {
// The error numbers the messages have always carried.
constexpr int FileNotFound = 2;
constexpr int AccessDenied = 5;
constexpr int ReadBeyondEnd = 100;
constexpr int DiskFull = 101;
} // namespace

void RaiseInOutError(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        throw EInOutError(QStringLiteral("File not found"), FileNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EISDIR:
        throw EInOutError(QStringLiteral("File access denied"), AccessDenied);
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        throw EInOutError(QStringLiteral("Disk full"), DiskFull);
    default:
        throw EInOutError(QStringLiteral("I/O error %1").arg(error), error);
    }
}

RecordFile::RecordFile(const QString& path, Mode mode, int recordSize)
    : path_(path)
    , recordSize_(recordSize)
{
    const QByteArray name = path.toLocal8Bit();
    const bool reading = mode == Mode::ReadOnly || mode == Mode::ReadIfPresent;
    const int flags = mode == Mode::Create ? O_RDWR | O_CREAT | O_TRUNC : reading ? O_RDONLY : O_RDWR;
    fd_ = ::open(name.constData(), flags | O_CLOEXEC, 0644);
    if (mode != Mode::ReadIfPresent) {
        if (fd_ < 0)
            RaiseInOutError(errno);
        return;
    }
    // One open instead of a look first: a file that is not there is simply
    // not opened, and a folder of its name is no file either.
    if (fd_ < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return;
        RaiseInOutError(errno);
    }
    struct stat info;
    const int error = ::fstat(fd_, &info) != 0 ? errno : 0;
    if (error != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        if (error != 0)
            RaiseInOutError(error);
    }
}

RecordFile::~RecordFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void RecordFile::Fail(int error) const { RaiseInOutError(error); }

qint64 RecordFile::Size() const { return Bytes() / recordSize_; }

qint64 RecordFile::Bytes() const
{
    struct stat info;
    if (::fstat(fd_, &info) != 0)
        Fail(errno);
    return qint64(info.st_size);
}

void RecordFile::Seek(qint64 record)
{
    if (record < 0)
        Fail(EINVAL);
    position_ = record;
}

void RecordFile::Read(void* record)
{
    if (ReadMany(record, 1) != 1)
        throw EInOutError(QStringLiteral("Read beyond end of file"), ReadBeyondEnd);
}

qint64 RecordFile::ReadMany(void* records, qint64 count)
{
    char* out = static_cast<char*>(records);
    const qint64 wanted = count * recordSize_;
    qint64 done = 0;
    while (done < wanted) {
        const ssize_t got = ::pread(fd_, out + done, size_t(wanted - done), off_t(position_ * recordSize_ + done));
        if (got < 0) {
            if (errno == EINTR)
                continue;
            Fail(errno);
        }
        if (got == 0)
            break;
        done += got;
    }
    const qint64 whole = done / recordSize_;
    position_ += whole;
    return whole;
}

void RecordFile::Write(const void* record)
{
    if (const int error = Files::WriteAt(fd_, record, recordSize_, position_ * recordSize_))
        Fail(error);
    ++position_;
}

void RecordFile::WriteMany(const void* records, qint64 count)
{
    if (const int error = Files::WriteAt(fd_, records, count * recordSize_, position_ * recordSize_))
        Fail(error);
    position_ += count;
}

void RecordFile::Truncate(qint64 bytes)
{
    while (::ftruncate(fd_, off_t(bytes)) != 0) {
        if (errno != EINTR)
            Fail(errno);
    }
}

void RecordFile::Flush()
{
    if (const int error = Files::SyncData(fd_))
        Fail(error);
}

void RecordFile::Close()
{
    if (fd_ < 0)
        return;
    const int fd = fd_;
    fd_ = -1;
    if (const int error = Files::Close(fd))
        Fail(error);
}
