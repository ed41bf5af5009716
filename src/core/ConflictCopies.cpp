#include "core/ConflictCopies.h"

#include <cerrno>

#include <QDir>
#include <QFileInfo>

#include "core/Backups.h"
#include "platform/DataDirectory.h"
#include "platform/Errors.h"
#include "platform/Files.h"

namespace {
// Whether `name` is a sync client's conflict copy of `stem` + `suffix`
// ("Holiday", ".d00"). By hand rather than by a regular expression, which
// would load its engine at every start.
bool IsCopyOf(const QString& name, QStringView stem, QStringView suffix)
{
    if (!name.startsWith(stem, Qt::CaseInsensitive) || !name.endsWith(suffix, Qt::CaseInsensitive))
        return false;
    const QStringView middle = QStringView(name).sliced(stem.size(), name.size() - stem.size() - suffix.size());
    // Syncthing, ownCloud: a mark, then the time and the machine
    for (const QStringView mark : { QStringView(u".sync-conflict-"), QStringView(u"_conflict-") }) {
        if (middle.startsWith(mark, Qt::CaseInsensitive))
            return middle.size() > mark.size();
    }
    // Nextcloud, Dropbox (also in Japanese)
    return middle.startsWith(u" (") && middle.endsWith(u")")
        && (middle.contains(u"conflicted copy", Qt::CaseInsensitive) || middle.contains(u"競合コピー"));
}

QStringList CopiesIn(bool (*isCopy)(const QString&))
{
    QStringList copies;
    const QDir folder(DataDirectory());
    // Regular files only: a link or a pipe under such a name is left alone.
    for (const QString& name : folder.entryList(QDir::Files | QDir::NoSymLinks | QDir::Hidden, QDir::Name)) {
        if (isCopy(name))
            copies.append(folder.filePath(name));
    }
    return copies;
}
} // namespace

namespace ConflictCopies {

bool IsDataCopy(const QString& fileName) { return IsCopyOf(fileName, u"Holiday", u".d00"); }

bool IsSettingsCopy(const QString& fileName) { return IsCopyOf(fileName, u"orbelund", u".ini"); }

QStringList DataCopies() { return CopiesIn(IsDataCopy); }

QStringList SettingsCopies() { return CopiesIn(IsSettingsCopy); }

QString MoveToBackup(const QString& path)
{
    const QString folder = Backups::Folder();
    if (!QDir().mkpath(folder))
        RaiseFileError(FileTask::Move, folder, EACCES);
    const QFileInfo info(path);
    const QString base = info.completeBaseName();
    const QString suffix = info.suffix().isEmpty() ? QString() : QLatin1Char('.') + info.suffix();
    QString target = folder + info.fileName();
    for (int n = 2; QFileInfo::exists(target) || QFileInfo(target).isSymLink(); ++n)
        target = folder + base + QStringLiteral("-%1").arg(n) + suffix;
    if (!Files::Rename(path, target))
        RaiseFileError(FileTask::Move, path, errno);
    Files::SyncDirectory(folder);
    Files::SyncDirectory(DataDirectory());
    return target;
}

std::vector<DataMerge> MergeDataCopies(const MergeSave& save)
{
    std::vector<DataMerge> merges;
    for (const QString& copy : DataCopies()) {
        DataMerge merge;
        merge.Copy = copy;
        try {
            if (QFileInfo(copy).size() > Backups::MaxDataBytes)
                throw EInOutError(
                    FileErrorMessage(FileTask::Read, copy, QStringLiteral("データファイルとしては大きすぎます")), 0);
            const LeaveStore::Records records = LeaveStore::ReadAllOf(copy);
            merge.Days = save(std::span<const LeaveRecord>(records.data(), records.size()));
            merge.Backup = MoveToBackup(copy);
        } catch (const Exception& error) {
            merge.Error = error.Message();
        }
        merges.push_back(std::move(merge));
    }
    return merges;
}

} // namespace ConflictCopies
