#include "core/Backups.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_set>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include "core/LeaveRecord.h"
#include "core/LeaveStore.h"
#include "core/Settings.h"
#include "platform/DataDirectory.h"
#include "platform/Dates.h"
#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/MachineId.h"
#include "platform/RecordFile.h"

namespace Backups {

namespace {

// The data directory and day of the last try of BeforeSave or AtStart: one
// try a day, so that a save costs no more than a lookup.
QString triedFolder;
QDate triedDay;

QString DayStamp(const QDate& day) { return day.toString(QStringLiteral("yyyyMMdd")); }

QString ThisMachine() { return MachineIdText(ThisMachineId()); }

// "<stamp>-<machine>", or the stamp alone for a copy of no known machine.
QString NamePart(const QString& stamp, const QString& machine)
{
    return machine.isEmpty() ? stamp : stamp + u'-' + machine;
}

// The names of the copies under `stamp`: this machine's unless told.
QString DataCopyIn(const QString& backup, const QString& stamp, const QString& machine = ThisMachine())
{
    return backup + QStringLiteral("Holiday-%1.d00").arg(NamePart(stamp, machine));
}
QString SettingsCopyIn(const QString& backup, const QString& stamp, const QString& machine = ThisMachine())
{
    return backup + QStringLiteral("orbelund-%1.ini").arg(NamePart(stamp, machine));
}
QString DataCopy(const QString& stamp) { return DataCopyIn(Folder(), stamp); }

// Something is at `path`, a link that leads nowhere too.
bool Taken(const QString& path)
{
    struct stat info;
    return ::lstat(path.toLocal8Bit().constData(), &info) == 0;
}

// A regular file is at `path` itself, not through a link.
bool IsRegular(const QString& path)
{
    struct stat info;
    return ::lstat(path.toLocal8Bit().constData(), &info) == 0 && S_ISREG(info.st_mode);
}

// The bytes of the regular file at `path`, or nothing when it cannot be
// read, is no regular file or holds more than a data file can. A link is
// followed only with `followLink`. Opening does not wait: a pipe would
// block an open for reading until a writer comes.
std::optional<QByteArray> Read(const QString& path, bool followLink)
{
    const int fd
        = ::open(path.toLocal8Bit().constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | (followLink ? 0 : O_NOFOLLOW));
    if (fd < 0)
        return std::nullopt;
    std::optional<QByteArray> result;
    struct stat info;
    if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size <= MaxDataBytes) {
        // The file may grow while it is read: never past the limit.
        QByteArray bytes(qsizetype(info.st_size) + 1, Qt::Uninitialized);
        qint64 got = 0;
        for (;;) {
            if (got == bytes.size()) {
                if (got > MaxDataBytes)
                    break;
                bytes.resize(std::min<qint64>(got * 2 + 4096, MaxDataBytes + 1));
            }
            const ssize_t n = ::read(fd, bytes.data() + got, size_t(bytes.size() - got));
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0)
                break;
            if (n == 0) {
                bytes.truncate(got);
                result = std::move(bytes);
                break;
            }
            got += n;
        }
    }
    ::close(fd);
    return result;
}

// Copies the settings file and then the data file into `backup` under
// `stamp`; a copy already there stays. Returns 0 or the error number.
int Copy(const QString& backup, const QString& stamp, const QString& dataPath, const QString& settingsPath)
{
    if (!QDir().mkpath(backup))
        return EACCES;
    if (!settingsPath.isEmpty() && Files::Exists(settingsPath) && !Taken(SettingsCopyIn(backup, stamp))) {
        if (const int error = Files::CopyNew(settingsPath, SettingsCopyIn(backup, stamp)))
            return error;
    }
    if (Taken(DataCopyIn(backup, stamp)) || !Files::Exists(dataPath))
        return 0;
    return Files::CopyNew(dataPath, DataCopyIn(backup, stamp));
}

int Copy(const QString& stamp) { return Copy(Folder(), stamp, LeaveStore::FilePath(), Settings::FilePath()); }

// Today's stamp, or with the time when today's copy in `backup` holds
// something other than `bytes`; empty when a copy holding them is there.
QString FreeStamp(const QString& backup, const QByteArray& bytes)
{
    const QString day = DayStamp(Dates::Today());
    for (const QString& stamp : { day, day + QDateTime::currentDateTime().toString(QStringLiteral("-HHmmss")) }) {
        if (!Taken(DataCopyIn(backup, stamp)))
            return stamp;
        if (Read(DataCopyIn(backup, stamp), false) == bytes)
            return {};
    }
    // Taken by something else twice within a second: KeepIn refuses.
    return day;
}

// This machine's copies, and those made before copies carried a machine:
// the ones it looks at and prunes. Another machine's copies are its own.
bool Ours(const Backup& b) { return !b.NotACopy && (b.Machine.isEmpty() || b.Machine == ThisMachine()); }

// Removes every copy of ours of the days older than the kept ones.
void Prune(const std::vector<Backup>& backups)
{
    std::vector<QDate> days;
    for (const Backup& b : backups) {
        if (Ours(b) && (days.empty() || days.back() != b.Day))
            days.push_back(b.Day);
    }
    if (days.size() <= size_t(KeptDays))
        return;
    const QDate oldestKept = days[KeptDays - 1];
    for (const Backup& b : backups) {
        if (Ours(b) && b.Day < oldestKept) {
            Files::Remove(b.DataPath);
            Files::Remove(b.SettingsPath);
        }
    }
    Files::SyncDirectory(Folder());
}

// The day's copy, then the pruning. Returns 0 or the error number.
int MakeDaysCopy()
{
    triedFolder = DataDirectory();
    triedDay = Dates::Today();
    if (!LeaveStore::Exists())
        return 0;
    // A name taken by something that is no copy: the copy carries the time.
    QString stamp = DayStamp(triedDay);
    if (Taken(DataCopy(stamp)) && !IsRegular(DataCopy(stamp)))
        stamp += QDateTime::currentDateTime().toString(QStringLiteral("-HHmmss"));
    const int error = Copy(stamp);
    Prune(List());
    return error;
}

struct CopyName {
    QString Stamp, Machine;
};

// The stamp and machine of a backup's file name
// "Holiday-<8 digits>[-<6 digits>][-<12 hex digits>].d00", or nothing for
// any other name. Compared by hand: a regular expression, or a name filter
// of QDir (one inside), would load the expression engine at every start.
std::optional<CopyName> ParseName(const QString& name)
{
    const QLatin1StringView head("Holiday-"), tail(".d00");
    if (!name.startsWith(head) || !name.endsWith(tail))
        return std::nullopt;
    QStringView rest = QStringView(name).mid(head.size(), name.size() - head.size() - tail.size());
    const auto all = [](QStringView text, auto is) { return std::all_of(text.begin(), text.end(), is); };
    const auto digit = [](QChar c) { return c >= u'0' && c <= u'9'; };
    const auto hex = [&](QChar c) { return digit(c) || (c >= u'a' && c <= u'f'); };
    CopyName parsed;
    constexpr qsizetype MachineChars = 12;
    if (rest.size() > MachineChars && rest[rest.size() - MachineChars - 1] == u'-'
        && all(rest.right(MachineChars), hex)) {
        parsed.Machine = rest.right(MachineChars).toString();
        rest.chop(MachineChars + 1);
    }
    if ((rest.size() == 8 && all(rest, digit))
        || (rest.size() == 15 && all(rest.left(8), digit) && rest[8] == u'-' && all(rest.mid(9), digit))) {
        parsed.Stamp = rest.toString();
        return parsed;
    }
    return std::nullopt;
}

bool TriedToday() { return triedFolder == DataDirectory() && triedDay == Dates::Today(); }

} // namespace

QString Folder() { return DataDirectory() + QStringLiteral("backup/"); }

std::vector<Backup> List()
{
    std::vector<Backup> backups;
    const QDir folder(Folder());
    // Pipes, devices and links that lead nowhere are "system" entries.
    for (const QString& file : folder.entryList(QDir::Files | QDir::System)) {
        const std::optional<CopyName> name = ParseName(file);
        if (!name)
            continue;
        const QDate day = QDate::fromString(name->Stamp.left(8), QStringLiteral("yyyyMMdd"));
        if (!day.isValid())
            continue;
        const QString dataPath = DataCopyIn(Folder(), name->Stamp, name->Machine);
        backups.push_back({ name->Stamp, day, dataPath, SettingsCopyIn(Folder(), name->Stamp, name->Machine),
            !IsRegular(dataPath), name->Machine });
    }
    // The stamps sort as their times do; of one stamp, this machine's copy first.
    const QString mine = ThisMachine();
    std::sort(backups.begin(), backups.end(), [&mine](const Backup& a, const Backup& b) {
        if (a.Stamp != b.Stamp)
            return a.Stamp > b.Stamp;
        if ((a.Machine == mine) != (b.Machine == mine))
            return a.Machine == mine;
        return a.Machine < b.Machine;
    });
    return backups;
}

int BeforeSave() { return TriedToday() ? 0 : MakeDaysCopy(); }

int AtStart()
{
    if (TriedToday() || !LeaveStore::Exists())
        return 0;
    const std::vector<Backup> backups = List();
    const auto newest = std::find_if(backups.begin(), backups.end(), Ours);
    if (newest != backups.end()) {
        const std::optional<QByteArray> copy = Read(newest->DataPath, false);
        if (copy && copy == Read(LeaveStore::FilePath(), true))
            return 0;
    }
    return MakeDaysCopy();
}

QString FailureText(int error)
{
    QString reason;
    try {
        RaiseInOutError(error);
    } catch (const EInOutError& e) {
        reason = e.Message();
    }
    return QStringLiteral("バックアップを %1 に書き込めませんでした（%2）。")
        .arg(QDir::toNativeSeparators(Folder()), reason);
}

Summary Summarize(const QString& dataPath, bool followLink)
{
    Summary summary;
    const std::optional<QByteArray> bytes = Read(dataPath, followLink);
    if (!bytes || bytes->size() % LeaveRecord::Size != 0) {
        summary.Damaged = true;
        return summary;
    }
    // The first record of a date is the one the calendars show.
    std::unordered_set<uint32_t> seen;
    for (qsizetype at = 0; at < bytes->size(); at += LeaveRecord::Size) {
        LeaveRecord r;
        std::memcpy(r.Data(), bytes->constData() + at, LeaveRecord::Size);
        if (!QDate::isValid(r.Year(), r.Month(), r.Day()) || r.Kind() < 0 || r.Kind() >= LeaveKindCount) {
            summary.Damaged = true;
            return summary;
        }
        if (!seen.insert(r.DateKey()).second || r.Cleared() || r.Kind() == int(LeaveKind::Normal))
            continue;
        ++summary.Days;
        summary.Latest = std::max(summary.Latest, QDate(r.Year(), r.Month(), r.Day()));
    }
    return summary;
}

void Restore(const Backup& backup)
{
    if (Summarize(backup.DataPath).Damaged)
        throw EInOutError(QStringLiteral("%1 は壊れています。").arg(QDir::toNativeSeparators(backup.DataPath)), EIO);
    // Read before the current file is copied, which may prune it.
    const std::optional<QByteArray> bytes = Read(backup.DataPath, false);
    if (!bytes)
        RaiseInOutError(EIO);
    // The current file is read and replaced with no write of another copy
    // of the program in between, which the backup would miss.
    const LeaveStore::WriteLock lock;
    if (LeaveStore::Exists()) {
        const QDate today = Dates::Today();
        QString stamp = DayStamp(today);
        const std::optional<QByteArray> current = Read(LeaveStore::FilePath(), true);
        if (!current)
            RaiseInOutError(EACCES);
        if (Taken(DataCopy(stamp)) && Read(DataCopy(stamp), false) != current)
            stamp += QDateTime::currentDateTime().toString(QStringLiteral("-HHmmss"));
        if (const int error = Copy(stamp))
            RaiseInOutError(error);
        Prune(List());
    }
    if (const int error = Files::Replace(LeaveStore::FilePath(), *bytes))
        RaiseInOutError(error);
}

int KeepIn(const QString& folder, const QString& dataPath, const QString& settingsPath)
{
    const QString backup = QDir::cleanPath(folder) + QStringLiteral("/backup/");
    if (!Files::Exists(dataPath)) {
        // The settings alone.
        QString stamp = DayStamp(Dates::Today());
        if (Taken(SettingsCopyIn(backup, stamp)))
            stamp += QDateTime::currentDateTime().toString(QStringLiteral("-HHmmss"));
        return Copy(backup, stamp, dataPath, settingsPath);
    }
    const std::optional<QByteArray> bytes = Read(dataPath, true);
    if (!bytes)
        return EIO;
    const QString stamp = FreeStamp(backup, *bytes);
    if (stamp.isEmpty())
        return 0;
    if (Taken(DataCopyIn(backup, stamp)))
        return EEXIST;
    return Copy(backup, stamp, dataPath, settingsPath);
}

void RemoveLeftovers(const QString& folder)
{
    const QString backup = QDir::cleanPath(folder) + QStringLiteral("/backup/");
    const QLatin1StringView suffix(".new");
    QStringList bases;
    for (const QString& file : QDir(backup).entryList(QDir::Files | QDir::Hidden | QDir::System)) {
        if (!file.endsWith(suffix))
            continue;
        const QString rest = file.chopped(suffix.size());
        const QString base = rest.left(rest.lastIndexOf(u'.'));
        // The copies' own names only, and none that is a link: the new
        // files of a link's target lie elsewhere.
        const bool copyName = ParseName(base)
            || (base.startsWith(QLatin1StringView("orbelund-")) && base.endsWith(QLatin1StringView(".ini"))
                && ParseName(QStringLiteral("Holiday-") + base.mid(9).chopped(4) + QStringLiteral(".d00")));
        if (copyName && !bases.contains(base) && (IsRegular(backup + base) || !Taken(backup + base)))
            bases << base;
    }
    for (const QString& base : bases)
        Files::RemoveLeftovers(backup + base);
}

} // namespace Backups
