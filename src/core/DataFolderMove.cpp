#include "core/DataFolderMove.h"

#include <optional>
#include <utility>
#include <vector>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include "core/Backups.h"
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

// The note that names the target of a move under way.
QString NotePath() { return DefaultDataDirectory() + QStringLiteral("DataFolderMove.txt"); }

// Syncthing's list of the files it leaves alone, in the folder it syncs.
const QString StignoreName = QStringLiteral(".stignore");
const QByteArray StignoreHeading = "// Valdemor: files of one machine, not to be synced";

// The file's bytes, or nothing when it cannot be read.
std::optional<QByteArray> ReadAll(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// Removes the note when the move ends, whichever way.
struct Note {
    Note(const QString& target)
    {
        if (const int error = Files::Replace(NotePath(), target.toUtf8() + '\n'))
            RaiseInOutError(error);
    }
    ~Note()
    {
        Files::Remove(NotePath());
        Files::SyncDirectory(DefaultDataDirectory());
    }
    Note(const Note&) = delete;
    Note& operator=(const Note&) = delete;
};

// The lines of .stignore in `target` for the files that belong to one
// machine: the writers' lock, the copy a compaction writes, the new files of
// the checked writes beside the data, settings and backup files (and beside
// .stignore itself), and the pointer to the data folder and the move's note
// where they live. A sync client that copied them would hand one machine's
// lock or half-written file to another.
QStringList IgnoredLines(const QString& target)
{
    const auto name = [](const QString& path) { return QStringLiteral("/") + QFileInfo(path).fileName(); };
    // What Files::Replace and Files::CopyNew write first: "<name>.<number>.new".
    const auto newFiles = [](const QString& line) { return line + QStringLiteral(".*.new"); };
    QStringList lines { name(LeaveStore::LockFilePath()), name(LeaveStore::TempFilePath()),
        newFiles(name(LeaveStore::FilePath())), newFiles(name(Settings::FilePath())),
        newFiles(QStringLiteral("/") + StignoreName), QStringLiteral("/backup/*.new") };
    if (target == WithSlash(DefaultDataDirectory())) {
        for (const QString& path : { DataPointerPath(), NotePath() })
            lines << name(path) << newFiles(name(path));
    }
    return lines;
}

// Adds the lines a sync client needs to .stignore in `target`, keeping every
// line that is there; all or nothing. Returns 0 or the error number.
int WriteStignore(const QString& target)
{
    const QString path = target + StignoreName;
    QByteArray bytes;
    if (QFileInfo::exists(path) || QFileInfo(path).isSymLink()) {
        const std::optional<QByteArray> read = ReadAll(path);
        if (!read)
            return EACCES;
        bytes = *read;
    }
    QSet<QByteArray> present;
    for (const QByteArray& line : bytes.split('\n'))
        present.insert(line.trimmed());
    const QByteArray newline = bytes.contains("\r\n") ? "\r\n" : "\n";
    QByteArray added;
    for (const QString& line : IgnoredLines(target)) {
        if (!present.contains(line.toLatin1()))
            added += line.toLatin1() + newline;
    }
    if (added.isEmpty())
        return 0;
    if (!bytes.isEmpty() && !bytes.endsWith('\n'))
        bytes += newline;
    if (!present.contains(StignoreHeading))
        bytes += StignoreHeading + newline;
    return Files::Replace(path, bytes + added);
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

void RemoveLeftovers(const QString& folder)
{
    const QString at = WithSlash(folder);
    for (const QString& name : Names())
        Files::RemoveLeftovers(at + name);
    Backups::RemoveLeftovers(at);
}

void CleanUpInterruptedMove()
{
    Files::RemoveLeftovers(DataPointerPath());
    Files::RemoveLeftovers(NotePath());
    if (!Files::Exists(NotePath()))
        return;
    QFile note(NotePath());
    // A path, and no more than a path can be.
    if (note.open(QIODevice::ReadOnly) && note.size() <= 4098) {
        const QString target = QString::fromUtf8(note.readAll()).trimmed();
        if (QDir::isAbsolutePath(target) && QFileInfo(target).isDir())
            RemoveLeftovers(target);
    }
    Files::Remove(NotePath());
    Files::SyncDirectory(DefaultDataDirectory());
}

QString Move(const QString& folder, bool replace)
{
    const QString target = WithSlash(folder);
    const QString source = DataDirectory();
    if (target == source)
        return {};
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
    RemoveLeftovers(source);
    RemoveLeftovers(target);
    const Note note(target);

    const QStringList names = Names();
    if (!Existing(target).isEmpty()) {
        const QString kept = replace ? target : source;
        if (const int error = Backups::KeepIn(target, kept + names[0], kept + names[1]))
            RaiseInOutError(error);
    }

    std::vector<QString> created;
    std::vector<std::pair<QString, QByteArray>> replaced;
    const auto undo = [&] {
        for (const QString& path : created)
            Files::Remove(path);
        for (const auto& [path, bytes] : replaced)
            Files::Replace(path, bytes);
    };
    const auto fail = [&](int error) {
        undo();
        RaiseInOutError(error);
    };
    for (const QString& name : names) {
        const QString from = source + name, to = target + name;
        if (!Files::Exists(from))
            continue;
        if (!Files::Exists(to)) {
            if (const int error = Files::CopyNew(from, to))
                fail(error);
            created.push_back(to);
        } else if (replace) {
            const std::optional<QByteArray> old = ReadAll(to), bytes = ReadAll(from);
            if (!old || !bytes)
                fail(EACCES);
            if (const int error = Files::Replace(to, *bytes))
                fail(error);
            replaced.emplace_back(to, *old);
        }
    }
    if (const int error = StoreDataDirectory(target))
        fail(error);

    // The move is done: a .stignore that cannot be written is only told.
    if (const int error = WriteStignore(target)) {
        QString reason;
        try {
            RaiseInOutError(error);
        } catch (const EInOutError& e) {
            reason = e.Reason().isEmpty() ? e.Message() : e.Reason();
        }
        return QStringLiteral("%1 に書き込めませんでした（%2）。")
                   .arg(QDir::toNativeSeparators(target + StignoreName), reason)
            + QStringLiteral("同期ソフトで除外するファイルは、ヘルプの「データの保存先」をご覧ください。");
    }
    return {};
}

} // namespace DataFolderMove
