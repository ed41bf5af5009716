#include "platform/RecordFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/Errors.h"
#include "platform/Files.h"

namespace {
// The number a short read has always carried.
constexpr int ReadBeyondEnd = 100;
} // namespace

RecordFile::RecordFile(const QString& path, Mode mode, int recordSize)
    : path_(path)
    , recordSize_(recordSize)
{
    const QByteArray name = path.toLocal8Bit();
    const bool reading = mode == Mode::ReadOnly || mode == Mode::ReadIfPresent;
    const int flags = mode == Mode::Create ? O_RDWR | O_CREAT | O_TRUNC : reading ? O_RDONLY : O_RDWR;
    fd_ = ::open(name.constData(), flags | O_CLOEXEC, 0644);
    const FileTask task = reading ? FileTask::Read : FileTask::Write;
    if (mode != Mode::ReadIfPresent) {
        if (fd_ < 0)
            Fail(task, errno);
        return;
    }
    // One open instead of a look first: a file that is not there is simply
    // not opened, and a folder of its name is no file either.
    if (fd_ < 0) {
        if (errno == ENOENT || errno == ENOTDIR)
            return;
        Fail(task, errno);
    }
    struct stat info;
    const int error = ::fstat(fd_, &info) != 0 ? errno : 0;
    if (error != 0 || S_ISDIR(info.st_mode)) {
        ::close(fd_);
        fd_ = -1;
        if (error != 0)
            Fail(task, error);
    }
}

RecordFile::~RecordFile()
{
    if (fd_ >= 0)
        ::close(fd_);
}

void RecordFile::Fail(FileTask task, int error) const { RaiseFileError(task, path_, error); }

qint64 RecordFile::Size() const { return Bytes() / recordSize_; }

qint64 RecordFile::Bytes() const
{
    struct stat info;
    if (::fstat(fd_, &info) != 0)
        Fail(FileTask::Read, errno);
    return qint64(info.st_size);
}

void RecordFile::Seek(qint64 record)
{
    if (record < 0)
        Fail(FileTask::Read, EINVAL);
    position_ = record;
}

void RecordFile::Read(void* record)
{
    if (ReadMany(record, 1) != 1) {
        const QString reason = QStringLiteral("ファイルが途中で終わっています");
        throw EInOutError(FileErrorMessage(FileTask::Read, path_, reason), ReadBeyondEnd, reason);
    }
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
            Fail(FileTask::Read, errno);
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
        Fail(FileTask::Write, error);
    ++position_;
}

void RecordFile::WriteMany(const void* records, qint64 count)
{
    if (const int error = Files::WriteAt(fd_, records, count * recordSize_, position_ * recordSize_))
        Fail(FileTask::Write, error);
    position_ += count;
}

void RecordFile::Truncate(qint64 bytes)
{
    while (::ftruncate(fd_, off_t(bytes)) != 0) {
        if (errno != EINTR)
            Fail(FileTask::Write, errno);
    }
}

void RecordFile::Flush()
{
    if (const int error = Files::SyncData(fd_))
        Fail(FileTask::Write, error);
}

void RecordFile::Close()
{
    if (fd_ < 0)
        return;
    const int fd = fd_;
    fd_ = -1;
    if (const int error = Files::Close(fd))
        Fail(FileTask::Write, error);
}

bool RecordFile::IsAt(const QString& path) const
{
    struct stat open, named;
    return fd_ >= 0 && ::fstat(fd_, &open) == 0 && ::stat(path.toLocal8Bit().constData(), &named) == 0
        && open.st_dev == named.st_dev && open.st_ino == named.st_ino;
}
