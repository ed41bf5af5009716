#include "core/LeaveStore.h"

#include <algorithm>
#include <array>
#include <iterator>
#include <limits>
#include <new>
#include <unordered_map>

#include "platform/DataDirectory.h"
#include "platform/MachineId.h"
#include "platform/Files.h"
#include "platform/Memory.h"

namespace LeaveStore {

QString FilePath() { return DataDirectory() + QStringLiteral("Holiday.d00"); }

QString TempFilePath() { return DataDirectory() + QStringLiteral("Holiday.tmp$$"); }

bool Exists() { return Files::Exists(FilePath()); }

QString LockFilePath() { return DataDirectory() + QStringLiteral("Holiday.lck"); }

namespace {
WriteObserver& Observer()
{
    static WriteObserver observer;
    return observer;
}
} // namespace

void SetWriteObserver(WriteObserver observer) { Observer() = std::move(observer); }

WriteLock::WriteLock()
    : lock_(LockFilePath())
    , before_(Files::StampOf(FilePath()))
{
}

WriteLock::~WriteLock()
{
    if (Observer())
        Observer()(before_, Files::StampOf(FilePath()));
}

Reader::Reader()
{
    file_.emplace(FilePath(), RecordFile::Mode::ReadIfPresent, LeaveRecord::Size);
    if (!file_->IsOpen())
        file_.reset();
}

std::span<const LeaveRecord> Reader::NextBatch()
{
    if (!file_ || atEnd_)
        return {};
    if (!batch_)
        batch_.reset(new unsigned char[BatchRecords * LeaveRecord::Size]);
    const qint64 got = file_->ReadMany(batch_.get(), BatchRecords);
    // A short batch ends the file: no further read is needed to learn it.
    atEnd_ = got < BatchRecords;
    return { std::launder(reinterpret_cast<const LeaveRecord*>(batch_.get())), size_t(got) };
}

Records ReadAll()
{
    if (!Exists())
        return {};
    return ReadAllOf(FilePath());
}

Records ReadAllOf(const QString& path)
{
    RecordFile file(path, RecordFile::Mode::ReadOnly, LeaveRecord::Size);
    const qint64 count = file.Size();
    Records records;
    records.reserve(size_t(count));
    // advised before the resize below first touches the memory
    Memory::PreferLargePages(records.data(), count * LeaveRecord::Size);
    records.resize(size_t(count));
    records.resize(size_t(file.ReadMany(records.data(), count)));
    return records;
}

std::vector<LeaveRecord> ReadRecords(const std::vector<qint64>& positions)
{
    std::vector<LeaveRecord> records;
    if (positions.empty())
        return records;
    RecordFile file(FilePath(), RecordFile::Mode::ReadOnly, LeaveRecord::Size);
    records.resize(positions.size());
    for (size_t i = 0; i < positions.size(); ++i) {
        file.Seek(positions[i]);
        file.Read(records[i].Data());
    }
    return records;
}

namespace {
// Position of the date's first record, or the record count when it has none.
qint64 PositionOf(RecordFile& file, int year, int month, int day, LeaveRecord* record = nullptr, bool* found = nullptr)
{
    const uint32_t key = LeaveRecord::DateKeyOf(year, month, day);
    std::vector<LeaveRecord> batch(BatchRecords);
    qint64 index = 0;
    file.Seek(0);
    for (;;) {
        const qint64 got = file.ReadMany(batch.data(), BatchRecords);
        for (qint64 i = 0; i < got; ++i) {
            if (batch[size_t(i)].DateKey() == key) {
                if (record)
                    *record = batch[size_t(i)];
                if (found)
                    *found = true;
                return index + i;
            }
        }
        index += got;
        if (got < BatchRecords)
            return index;
    }
}
} // namespace

Entry FindEntry(int year, int month, int day)
{
    if (!Exists())
        return {};
    RecordFile file(FilePath(), RecordFile::Mode::ReadOnly, LeaveRecord::Size);
    LeaveRecord record;
    bool found = false;
    PositionOf(file, year, month, day, &record, &found);
    if (!found)
        return {};
    return { record.Kind(), record.Memo() };
}

void SaveEntry(int year, int month, int day, int kind, const QString& memo)
{
    // One day is a save of several days with one in it: the same scan, the
    // same checked writes, and the same way back when one fails.
    const DayEntry entry { year, month, day, kind, memo };
    SaveEntries(std::span(&entry, 1));
}

namespace {
// One record per date, in the order of the date's first record, holding its
// last one: what saving the records one by one leaves.
std::vector<LeaveRecord> OnePerDate(std::span<const LeaveRecord> all)
{
    std::vector<LeaveRecord> records;
    std::unordered_map<uint32_t, size_t> indexOfKey;
    for (const LeaveRecord& record : all) {
        const auto [at, added] = indexOfKey.try_emplace(record.DateKey(), records.size());
        if (added)
            records.push_back(record);
        else
            records[at->second] = record;
    }
    return records;
}

struct FirstRecord {
    qint64 Position = -1; // none in the file
    LeaveRecord Held; // what it holds before the save
};

// The first record of each date in one scan, which stops once every date is
// found. A million records pass through here, so most are turned away by one
// bit of a 64-kbit filter before the sorted keys are searched.
std::vector<FirstRecord> FindFirstRecords(RecordFile& file, const std::vector<LeaveRecord>& records)
{
    std::vector<FirstRecord> found(records.size());
    std::vector<std::pair<uint32_t, size_t>> keys;
    keys.reserve(records.size());
    std::array<uint64_t, 1024> filter {};
    const auto bitOf = [](uint32_t key) { return (key * 0x9E3779B1u) >> 16; };
    for (size_t i = 0; i < records.size(); ++i) {
        const uint32_t key = records[i].DateKey();
        keys.emplace_back(key, i);
        filter[bitOf(key) >> 6] |= uint64_t(1) << (bitOf(key) & 63);
    }
    std::sort(keys.begin(), keys.end());

    size_t missing = records.size();
    std::vector<LeaveRecord> batch(BatchRecords);
    qint64 index = 0;
    file.Seek(0);
    for (;;) {
        const qint64 got = file.ReadMany(batch.data(), BatchRecords);
        for (qint64 i = 0; i < got; ++i) {
            const uint32_t key = batch[size_t(i)].DateKey();
            if (!(filter[bitOf(key) >> 6] >> (bitOf(key) & 63) & 1))
                continue;
            const auto at = std::lower_bound(keys.begin(), keys.end(), std::pair<uint32_t, size_t>(key, 0));
            if (at == keys.end() || at->first != key || found[at->second].Position >= 0)
                continue;
            found[at->second] = { index + i, batch[size_t(i)] };
            if (--missing == 0)
                return found;
        }
        index += got;
        if (got < BatchRecords)
            return found;
    }
}

// Bytes after the last whole record are no record, and the first new record
// covers them; a failed save puts them back.
QByteArray TailOf(qint64 length)
{
    QByteArray tail(length % LeaveRecord::Size, '\0');
    if (!tail.isEmpty()) {
        RecordFile bytes(FilePath(), RecordFile::Mode::ReadOnly, 1);
        bytes.Seek(length - tail.size());
        bytes.ReadMany(tail.data(), tail.size());
    }
    return tail;
}

// Puts back what a failed save may have changed: the dates' old records, the
// old length and the bytes after the last record. Runs while another error
// is on its way out, so its own failures are swallowed; each step is tried
// whatever the one before gave.
void TakeBack(RecordFile& file, const std::vector<FirstRecord>& found, qint64 length, const QByteArray& tail)
{
    for (const FirstRecord& first : found) {
        if (first.Position < 0)
            continue;
        try {
            file.Seek(first.Position);
            file.Write(first.Held.Data());
        } catch (...) {
        }
    }
    try {
        file.Truncate(length);
        if (!tail.isEmpty()) {
            RecordFile bytes(FilePath(), RecordFile::Mode::OpenExisting, 1);
            bytes.Seek(length - tail.size());
            bytes.WriteMany(tail.constData(), tail.size());
        }
    } catch (...) {
    }
}
} // namespace

std::vector<LeaveRecord> SaveEntries(std::span<const DayEntry> entries)
{
    // Every record is built before the file is touched: a memo that cannot
    // be converted stops the save with nothing written.
    std::vector<LeaveRecord> records;
    records.reserve(entries.size());
    for (const DayEntry& e : entries)
        records.push_back(LeaveRecord::Make(e.Year, e.Month, e.Day, e.Kind, e.Memo));
    return SaveRecords(records);
}

namespace {
// The file opened for a save under the write lock, with what a failed save
// must put back.
struct OpenForSave {
    bool Created;
    RecordFile File;
    qint64 Length;
    QByteArray Tail;

    OpenForSave()
        : Created(!Exists())
        // Opened for writing before anything else, so that a read-only file
        // or folder is refused before a byte changes.
        , File(FilePath(), Created ? RecordFile::Mode::Create : RecordFile::Mode::OpenExisting, LeaveRecord::Size)
        , Length(File.Bytes())
        , Tail(TailOf(Length))
    {
    }
};

// Writes records[i] where write[i] says so: over the date's first record
// found[i], or at the end when the date has none. All or nothing. Returns
// whether the file written is still Holiday.d00: a sync client renames the
// other machine's file over it without asking for the lock, and a save that
// went into the file it replaced is in no file the user sees.
bool WriteRecords(OpenForSave& open, const std::vector<LeaveRecord>& records, const std::vector<FirstRecord>& found,
    const std::vector<bool>& write)
{
    std::vector<LeaveRecord> appended;
    for (size_t i = 0; i < records.size(); ++i) {
        if (write[i] && found[i].Position < 0)
            appended.push_back(records[i]);
    }

    // The order makes every failure a user meets undoable. The new records go
    // first, in one write at the end: a full disk or a size limit can only
    // stop that write, and cutting the file back to its old length takes back
    // whatever part of it arrived. Rewrites in place need no new room; they
    // follow, and the old records from the scan are written back if one or
    // the single flush fails. A kill at any instant leaves whole records:
    // every write starts at a record boundary, the system copies a write
    // page by page and a page holds whole records; no date gets a second one.
    RecordFile& file = open.File;
    try {
        if (!appended.empty()) {
            file.Seek(open.Length / LeaveRecord::Size);
            file.WriteMany(appended.data(), qint64(appended.size()));
        }
        // In place in runs of neighbouring records, one write a run: a
        // merge rewrites thousands of dates that lie next to each other.
        std::vector<std::pair<qint64, size_t>> inPlace;
        for (size_t i = 0; i < records.size(); ++i) {
            if (write[i] && found[i].Position >= 0)
                inPlace.emplace_back(found[i].Position, i);
        }
        std::sort(inPlace.begin(), inPlace.end());
        std::vector<LeaveRecord> run;
        for (size_t i = 0; i < inPlace.size(); ++i) {
            run.push_back(records[inPlace[i].second]);
            if (i + 1 == inPlace.size() || inPlace[i + 1].first != inPlace[i].first + 1) {
                file.Seek(inPlace[i].first + 1 - qint64(run.size()));
                file.WriteMany(run.data(), qint64(run.size()));
                run.clear();
            }
        }
        // Once this returns the range is on the disk, as with a single save.
        file.Flush();
    } catch (...) {
        TakeBack(file, found, open.Length, open.Tail);
        // A file this save created goes again: there was none before.
        if (open.Created)
            Files::Remove(FilePath());
        throw;
    }
    const bool stillThere = file.IsAt(FilePath());
    file.Close();
    if (open.Created)
        Files::SyncDirectory(DataDirectory());
    return stillThere;
}

// How often a save is made again on the file that another program put in
// place of the one it wrote, before it stands as it is.
constexpr int SaveAttempts = 5;

// What a date held before a save: its first record, or a cleared record of
// unknown time where it had none.
LeaveRecord HeldBefore(const LeaveRecord& written, const FirstRecord& found)
{
    return found.Position >= 0 ? found.Held : LeaveRecord::Make(written.Year(), written.Month(), written.Day(), 0, {});
}

bool IsPossible(const LeaveRecord& r)
{
    return r.Kind() >= 0 && r.Kind() < LeaveKindCount && QDate::isValid(r.Year(), r.Month(), r.Day());
}
} // namespace

std::vector<LeaveRecord> SaveRecords(std::span<const LeaveRecord> all, Stamping stamping)
{
    if (all.empty())
        return {};
    std::vector<LeaveRecord> records = OnePerDate(all);
    // Everything below, the scan for the dates' records included, sees the
    // file as the other copies' writes left it.
    const WriteLock lock;
    if (stamping == Stamping::Now) {
        // Taken under the lock, so that of two saves on this machine the
        // later one carries the later time.
        const qint64 now = QDateTime::currentMSecsSinceEpoch();
        for (LeaveRecord& record : records)
            record.Stamp(now, ThisMachineId());
    }
    for (int attempt = 1;; ++attempt) {
        OpenForSave open;
        const std::vector<FirstRecord> found
            = open.Created ? std::vector<FirstRecord>(records.size()) : FindFirstRecords(open.File, records);
        if (stamping == Stamping::Now) {
            // A save wins over the record it replaces, also when that one was
            // stamped within the same millisecond or by a clock ahead of ours:
            // otherwise a copy of the file from before the save could win it
            // back when the two are merged.
            for (size_t i = 0; i < records.size(); ++i) {
                const qint64 held = found[i].Held.WriteTime();
                if (found[i].Position >= 0 && !records[i].WinsOver(found[i].Held)
                    && held < std::numeric_limits<qint64>::max())
                    records[i].Stamp(held + 1, ThisMachineId());
            }
        }
        if (!WriteRecords(open, records, found, std::vector<bool>(records.size(), true)) && attempt < SaveAttempts)
            continue; // written into a file that is gone: once more, on the one now there

        std::vector<LeaveRecord> replaced;
        replaced.reserve(records.size());
        for (size_t i = 0; i < records.size(); ++i)
            replaced.push_back(HeldBefore(records[i], found[i]));
        return replaced;
    }
}

std::vector<Merged> MergeRecords(std::span<const LeaveRecord> all)
{
    std::vector<LeaveRecord> possible;
    possible.reserve(all.size());
    std::copy_if(all.begin(), all.end(), std::back_inserter(possible), IsPossible);
    if (possible.empty())
        return {};
    const std::vector<LeaveRecord> records = OnePerDate(possible);
    // The comparison and the write see the file as one: a save of this
    // machine between them would be written over by an older record.
    const WriteLock lock;
    for (int attempt = 1;; ++attempt) {
        OpenForSave open;
        const std::vector<FirstRecord> found
            = open.Created ? std::vector<FirstRecord>(records.size()) : FindFirstRecords(open.File, records);
        std::vector<bool> write(records.size());
        std::vector<Merged> merged;
        merged.reserve(records.size());
        for (size_t i = 0; i < records.size(); ++i) {
            write[i] = found[i].Position < 0 || records[i].WinsOver(found[i].Held);
            if (write[i])
                merged.push_back({ HeldBefore(records[i], found[i]), records[i] });
        }
        if (merged.empty() || WriteRecords(open, records, found, write) || attempt == SaveAttempts)
            return merged;
    }
}

std::vector<Entry> FindEntries(std::span<const QDate> dates)
{
    std::vector<Entry> entries(dates.size());
    if (dates.empty() || !Exists())
        return entries;
    std::vector<LeaveRecord> keys;
    keys.reserve(dates.size());
    for (const QDate& date : dates)
        keys.push_back(LeaveRecord::Make(date.year(), date.month(), date.day(), 0, {}));
    RecordFile file(FilePath(), RecordFile::Mode::ReadOnly, LeaveRecord::Size);
    const std::vector<FirstRecord> found = FindFirstRecords(file, keys);
    for (size_t i = 0; i < found.size(); ++i) {
        if (found[i].Position >= 0)
            entries[i] = { found[i].Held.Kind(), found[i].Held.Memo() };
    }
    return entries;
}

void Compact()
{
    if (!Exists())
        return;
    // Read under the lock: a record another copy appended before is kept,
    // and none can arrive in the old file between the copy and the rename.
    const WriteLock lock;
    if (!Exists())
        return;
    {
        RecordFile source(FilePath(), RecordFile::Mode::OpenExisting, LeaveRecord::Size);
        RecordFile target(TempFilePath(), RecordFile::Mode::Create, LeaveRecord::Size);
        const qint64 keptFrom = QDateTime::currentMSecsSinceEpoch() - qint64(KeptClearDays) * 24 * 60 * 60 * 1000;
        const auto kept = [keptFrom](const LeaveRecord& r) { return !r.Cleared() || r.WriteTime() > keptFrom; };
        try {
            std::vector<LeaveRecord> batch(BatchRecords);
            for (;;) {
                const qint64 got = source.ReadMany(batch.data(), BatchRecords);
                for (qint64 i = 0; i < got; ++i) {
                    if (kept(batch[size_t(i)]))
                        target.Write(batch[size_t(i)].Data());
                }
                if (got < BatchRecords)
                    break;
            }
            target.Flush();
            target.Close();
        } catch (...) {
            // Holiday.d00 is untouched; the half-written copy must not be
            // mistaken for it later.
            target.Close();
            Files::Remove(TempFilePath());
            throw;
        }
    }
    // One step: Holiday.d00 is either the old file or the compacted one. When
    // the file system refuses, the old file stays whole and nothing is lost.
    if (!Files::Rename(TempFilePath(), FilePath())) {
        Files::Remove(TempFilePath());
        return;
    }
    Files::SyncDirectory(DataDirectory());
}

void CheckOnStartup()
{
    if (Files::Exists(TempFilePath())) {
        // Another copy of the program may be compacting right now: its new
        // file is then no leftover.
        const WriteLock lock;
        if (!Exists()) {
            // Compaction stopped after removing the old file: the copy holds
            // every kept record.
            if (Files::Rename(TempFilePath(), FilePath()))
                Files::SyncDirectory(DataDirectory());
        } else {
            // Compaction stopped before the rename: the data file is whole
            // and the copy may be half written; it must never be taken for data.
            if (Files::Remove(TempFilePath()))
                Files::SyncDirectory(DataDirectory());
        }
    }
    if (!Exists())
        return;
    RecordFile file(FilePath(), RecordFile::Mode::ReadOnly, LeaveRecord::Size);
    if (file.Size() > 0) {
        LeaveRecord first;
        file.Read(first.Data());
    }
}

std::optional<QDateTime> LastModified() { return Files::LastModified(FilePath()); }

} // namespace LeaveStore
