#include "platform/DataDirectory.h"

#include <QFileInfo>

namespace {
QString& Override()
{
    static QString value;
    return value;
}

QString WithSlash(QString path) { return path.endsWith(u'/') ? path : path + u'/'; }
} // namespace

QString DataDirectory()
{
    if (!Override().isEmpty())
        return Override();
    static const QString executableDirectory
        = WithSlash(QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath());
    return executableDirectory;
}

void SetDataDirectory(const QString& directory) { Override() = directory.isEmpty() ? QString() : WithSlash(directory); }
