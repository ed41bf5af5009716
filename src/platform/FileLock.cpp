#include "platform/FileLock.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "platform/Errors.h"

namespace {
constexpr std::chrono::milliseconds UsualWait { 5000 };
std::chrono::milliseconds waitOverride { 0 };
} // namespace

std::chrono::milliseconds FileLock::Wait() { return waitOverride.count() > 0 ? waitOverride : UsualWait; }

void FileLock::SetWait(std::chrono::milliseconds wait) { waitOverride = wait; }

FileLock::FileLock(const QString& path)
{
    const QByteArray name = QFile::encodeName(path);
    // Readable by everyone who may use the folder: two users of one machine
    // share the data, so both must be able to open the lock file.
    fd_ = ::open(name.constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0666);
    if (fd_ < 0) {
        const int error = errno;
        // A lock file made by another user, or a folder that may not be
        // written: flock needs no write access.
        if (error == EACCES || error == EROFS)
            fd_ = ::open(name.constData(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
        if (fd_ < 0)
            RaiseFileError(FileTask::Lock, path, error);
    }

    const auto deadline = std::chrono::steady_clock::now() + Wait();
    for (;;) {
        if (::flock(fd_, LOCK_EX | LOCK_NB) == 0)
            return;
        const int error = errno;
        if (error != EWOULDBLOCK && error != EINTR) {
            ::close(fd_);
            RaiseFileError(FileTask::Lock, path, error);
        }
        if (std::chrono::steady_clock::now() >= deadline)
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ::close(fd_);
    throw EInOutError(QStringLiteral("ほかのプログラムが %1 のデータに書き込んでいるため、保存できませんでした。"
                                     "しばらくしてからもう一度実行してください。")
                          .arg(QDir::toNativeSeparators(QFileInfo(path).absolutePath())),
        EWOULDBLOCK);
}

FileLock::~FileLock()
{
    ::flock(fd_, LOCK_UN);
    ::close(fd_);
}
