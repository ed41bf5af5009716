#include "platform/Files.h"

#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

#include <QFileInfo>

namespace Files {

bool Exists(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
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

} // namespace Files
