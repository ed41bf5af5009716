#include "core/SettingsMerge.h"

#include <cerrno>
#include <optional>

#include <QFile>

#include "core/Settings.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/ProfileFile.h"

namespace {

bool Same(const QString& a, QStringView b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

// The value a read gives: the first line of the key.
std::optional<QString> ValueIn(const QList<ProfileFile::Entry>& entries, const QString& section, const QString& key)
{
    for (const ProfileFile::Entry& entry : entries) {
        if (Same(entry.section, section) && Same(entry.key, key))
            return entry.value;
    }
    return std::nullopt;
}

// When the key was last written, from the file's [Written] lines; 0 when
// the file does not tell (the first-run set, or an older version wrote it).
qint64 TimeIn(const QList<ProfileFile::Entry>& entries, const QString& section, const QString& key)
{
    const std::optional<QString> time
        = ValueIn(entries, Settings::WrittenSection(), Settings::WrittenKey(section, key));
    return time ? time->toLongLong() : 0;
}

// The words the user knows for a key; empty for keys written for
// information only, or unknown to this version.
QString NameOf(const QString& section, const QString& key)
{
    if (Same(section, u"Holiday")) {
        static const QStringView days[] = { u"日", u"月", u"火", u"水", u"木", u"金", u"土" };
        bool ok = false;
        const int day = key.toInt(&ok);
        if (ok && day >= 0 && day < 7)
            return QStringLiteral("休日設定（%1）").arg(days[day]);
        if (ok && day == 7)
            return QStringLiteral("祝日も休日とする");
        if (Same(key, u"CurrentLaw"))
            return QStringLiteral("祝日は現行の祝日法で求める");
        return {};
    }
    if (Same(section, u"Start") && Same(key, u"Show"))
        return QStringLiteral("起動時に表示するカレンダー");
    if (Same(section, u"End") && Same(key, u"Saiteki"))
        return QStringLiteral("終了時にデータファイルの最適化");
    if (Same(section, u"Paid"))
        return QStringLiteral("有給休暇の設定");
    if (Same(section, u"View")) {
        if (Same(key, u"Flat"))
            return QStringLiteral("ツールバーをフラットタイプにする");
        if (Same(key, u"ToolBar"))
            return QStringLiteral("ツールバーの表示");
        if (Same(key, u"StatusBar"))
            return QStringLiteral("ステータスバーの表示");
        return {};
    }
    if (Same(section, u"Location") || (Same(section, u"Size") && (Same(key, u"Width") || Same(key, u"Heighth"))))
        return QStringLiteral("ウィンドウの位置と大きさ");
    if (Same(section, u"Size"))
        return QStringLiteral("表の幅");
    if (Same(section, u"Chart"))
        return QStringLiteral("休暇のグラフの位置と大きさ");
    return {};
}

} // namespace

QStringList MergeSettingsCopy(const QString& copyPath)
{
    {
        // A copy that cannot be read would merge as one without keys.
        QFile copy(copyPath);
        errno = 0;
        if (!copy.open(QIODevice::ReadOnly))
            RaiseFileError(FileTask::Read, copyPath, errno ? errno : EIO);
    }
    const QList<ProfileFile::Entry> theirs = ProfileFile(copyPath).ReadAll();
    ProfileFile shared = Settings::SharedFile();
    const QList<ProfileFile::Entry> ours = shared.ReadAll();

    const std::optional<QDateTime> copyTime = Files::LastModified(copyPath);
    const std::optional<QDateTime> sharedTime = Files::LastModified(shared.Path());
    const bool copyIsNewer = copyTime && (!sharedTime || *copyTime > *sharedTime);
    const bool moved = Settings::Moved();

    QList<ProfileFile::Entry> writes;
    QStringList changed;
    for (const ProfileFile::Entry& entry : theirs) {
        // The times of the keys go with the values that win.
        if (Same(entry.section, Settings::WrittenSection()))
            continue;
        if (moved && Settings::IsMachineKey(entry.section, entry.key))
            continue;
        // Only the first line of a key counts, as in a read.
        if (ValueIn(theirs, entry.section, entry.key) != entry.value)
            continue;
        const std::optional<QString> current = ValueIn(ours, entry.section, entry.key);
        if (current == entry.value)
            continue;
        // The value changed last wins; between values of unknown or equal
        // times, the file written last.
        const qint64 theirTime = TimeIn(theirs, entry.section, entry.key);
        if (current) {
            const qint64 ourTime = TimeIn(ours, entry.section, entry.key);
            if (theirTime < ourTime || (theirTime == ourTime && !copyIsNewer))
                continue;
        }
        writes.append(entry);
        if (theirTime != 0)
            writes.append({ Settings::WrittenSection(), Settings::WrittenKey(entry.section, entry.key),
                QString::number(theirTime) });
        const QString name = NameOf(entry.section, entry.key);
        if (!name.isEmpty() && !changed.contains(name))
            changed.append(name);
    }
    shared.WriteStrings(writes);
    return changed;
}
