#include "core/Backups.h"

#include <algorithm>
#include <cstring>
#include <optional>
#include <unordered_set>

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
#include "platform/RecordFile.h"

namespace Backups {

namespace {

// The data directory and day of the last try of BeforeSave or AtStart: one
// try a day, so that a save costs no more than a lookup.
QString triedFolder;
QDate triedDay;

QString DayStamp(const QDate& day) { return day.toString(QStringLiteral("yyyyMMdd")); }

QString DataCopy(const QString& stamp) { return Folder() + QStringLiteral("Holiday-%1.d00").arg(stamp); }
QString SettingsCopy(const QString& stamp) { return Folder() + QStringLiteral("orbelund-%1.ini").arg(stamp); }

// The file's bytes, or nothing when it cannot be read.
std::optional<QByteArray> Read(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return std::nullopt;
    return bytes;
}

// Copies the settings file and then the data file under `stamp`; a copy
// already there stays. Returns 0 or the error number.
int Copy(const QString& stamp)
{
    if (!QDir().mkpath(Folder()))
        return EACCES;
    if (Files::Exists(Settings::FilePath()) && !Files::Exists(SettingsCopy(stamp))) {
        if (const int error = Files::CopyNew(Settings::FilePath(), SettingsCopy(stamp)))
            return error;
    }
    if (Files::Exists(DataCopy(stamp)))
        return 0;
    return Files::CopyNew(LeaveStore::FilePath(), DataCopy(stamp));
}

// Removes every copy of the days older than the kept ones.
void Prune(const std::vector<Backup>& backups)
{
    std::vector<QDate> days;
    for (const Backup& b : backups) {
        if (days.empty() || days.back() != b.Day)
            days.push_back(b.Day);
    }
    if (days.size() <= size_t(KeptDays))
        return;
    const QDate oldestKept = days[KeptDays - 1];
    for (const Backup& b : backups) {
        if (b.Day < oldestKept) {
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
    const int error = Copy(DayStamp(triedDay));
    Prune(List());
    return error;
}

// The stamp of a backup's file name "Holiday-<8 digits>[-<6 digits>].d00",
// or empty for any other name. Compared by hand: a regular expression, or
// a name filter of QDir (one inside), would load the expression engine at
// every start.
QString StampOf(const QString& name)
{
    const QLatin1StringView head("Holiday-"), tail(".d00");
    if (!name.startsWith(head) || !name.endsWith(tail))
        return {};
    const QStringView stamp = QStringView(name).mid(head.size(), name.size() - head.size() - tail.size());
    const auto digits
        = [](QStringView text) { return std::all_of(text.begin(), text.end(), [](QChar c) { return c.isDigit(); }); };
    if (stamp.size() == 8 && digits(stamp))
        return stamp.toString();
    if (stamp.size() == 15 && digits(stamp.left(8)) && stamp[8] == u'-' && digits(stamp.mid(9)))
        return stamp.toString();
    return {};
}

bool TriedToday() { return triedFolder == DataDirectory() && triedDay == Dates::Today(); }

} // namespace

QString Folder() { return DataDirectory() + QStringLiteral("backup/"); }

std::vector<Backup> List()
{
    std::vector<Backup> backups;
    const QDir folder(Folder());
    for (const QString& file : folder.entryList(QDir::Files)) {
        const QString stamp = StampOf(file);
        if (stamp.isEmpty())
            continue;
        const QDate day = QDate::fromString(stamp.left(8), QStringLiteral("yyyyMMdd"));
        if (!day.isValid())
            continue;
        backups.push_back({ stamp, day, DataCopy(stamp), SettingsCopy(stamp) });
    }
    // The stamps sort as their times do.
    std::sort(backups.begin(), backups.end(), [](const Backup& a, const Backup& b) { return a.Stamp > b.Stamp; });
    return backups;
}

int BeforeSave() { return TriedToday() ? 0 : MakeDaysCopy(); }

int AtStart()
{
    if (TriedToday() || !LeaveStore::Exists())
        return 0;
    const std::vector<Backup> backups = List();
    if (!backups.empty() && Read(backups.front().DataPath) == Read(LeaveStore::FilePath()))
        return 0;
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

Summary Summarize(const QString& dataPath)
{
    Summary summary;
    const std::optional<QByteArray> bytes = Read(dataPath);
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
    const std::optional<QByteArray> bytes = Read(backup.DataPath);
    if (!bytes)
        RaiseInOutError(EIO);
    // The current file is read and replaced with no write of another copy
    // of the program in between, which the backup would miss.
    const LeaveStore::WriteLock lock;
    if (LeaveStore::Exists()) {
        const QDate today = Dates::Today();
        QString stamp = DayStamp(today);
        const std::optional<QByteArray> current = Read(LeaveStore::FilePath());
        if (!current)
            RaiseInOutError(EACCES);
        if (Files::Exists(DataCopy(stamp)) && Read(DataCopy(stamp)) != current)
            stamp += QDateTime::currentDateTime().toString(QStringLiteral("-HHmmss"));
        if (const int error = Copy(stamp))
            RaiseInOutError(error);
        Prune(List());
    }
    if (const int error = Files::Replace(LeaveStore::FilePath(), *bytes))
        RaiseInOutError(error);
}

} // namespace Backups
