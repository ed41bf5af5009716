#include "platform/SingleInstance.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QStandardPaths>

SingleInstance::SingleInstance(const QString& name)
{
    // The user's runtime folder is private to the user and emptied at log
    // out. Without one, the shared temporary folder holds one lock per user
    // (another user's lock file there cannot be opened), and a link planted
    // in its place is not followed.
    QString path = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (!path.isEmpty())
        path += u'/' + name + QStringLiteral(".lock");
    else
        path = QDir::tempPath() + u'/' + name + QStringLiteral("-%1.lock").arg(::getuid());
    fd_ = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600);
    // Without a lock file no second copy can be detected; the program then
    // runs rather than refusing to start at all.
    if (fd_ < 0)
        return;
    if (::flock(fd_, LOCK_EX | LOCK_NB) != 0) {
        first_ = errno != EWOULDBLOCK;
        ::close(fd_);
        fd_ = -1;
    }
}

SingleInstance::~SingleInstance() { Release(); }

void SingleInstance::Release()
{
    if (fd_ >= 0) {
        ::flock(fd_, LOCK_UN);
        ::close(fd_);
        fd_ = -1;
    }
}
