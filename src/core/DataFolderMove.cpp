#include "core/DataFolderMove.h"

#include <optional>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "platform/DataDirectory.h"
#include "platform/Errors.h"
#include "platform/Files.h"

namespace DataFolderMove {

namespace {

QString WithSlash(const QString& folder)
{
    const QString clean = QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
    return clean.endsWith(u'/') ? clean : clean + u'/';
}

// The files that go along: the data file, then the settings file.
QStringList Names()
{
    return { QFileInfo(LeaveStore::FilePath()).fileName(), QFileInfo(Settings::FilePath()).fileName() };
}

// Copies `from` to `to`, over a file there only with `replace`. Returns 0 or
// the error number.
int CopyOne(const QString& from, const QString& to, bool replace)
{
    if (!Files::Exists(to))
        return Files::CopyNew(from, to);
    if (!replace)
        return 0;
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return EACCES;
    const QByteArray bytes = source.readAll();
    if (source.error() != QFileDevice::NoError)
        return EIO;
    return Files::Replace(to, bytes);
}

} // namespace

QStringList Existing(const QString& folder)
{
    QStringList names;
    for (const QString& name : Names()) {
        if (Files::Exists(WithSlash(folder) + name))
            names << name;
    }
    return names;
}

void Move(const QString& folder, bool replace)
{
    const QString target = WithSlash(folder);
    const QString source = DataDirectory();
    if (target == source)
        return;
    if (!QFileInfo(target).isDir())
        RaiseInOutError(ENOENT);
    // No other copy of the program writes the data file while it is copied.
    // A folder that may not be written cannot hold the lock file, and no
    // copy can write there: that is the folder a user moves away from.
    std::optional<LeaveStore::WriteLock> lock;
    try {
        lock.emplace();
    } catch (const EInOutError& e) {
        if (e.ErrorCode() == EWOULDBLOCK)
            throw;
    }
    std::vector<QString> created;
    const auto undo = [&created] {
        for (const QString& path : created)
            Files::Remove(path);
    };
    for (const QString& name : Names()) {
        if (!Files::Exists(source + name))
            continue;
        const bool isNew = !Files::Exists(target + name);
        if (const int error = CopyOne(source + name, target + name, replace)) {
            undo();
            RaiseInOutError(error);
        }
        if (isNew)
            created.push_back(target + name);
    }
    if (const int error = StoreDataDirectory(target)) {
        undo();
        RaiseInOutError(error);
    }
}

} // namespace DataFolderMove
