#pragma once

// The leave data file Holiday.d00 in the data directory: a flat sequence of
// 64-byte LeaveRecords without a header. This module is the only code that
// touches it. Nothing is kept in memory between calls: every operation opens
// the file, walks it and closes it, so each sees the file as the last write
// left it. Readers open the file read-only, so a read-only file or medium
// shows its data and only a save is refused. Failures raise EInOutError; the
// file is closed either way.

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <utility>
#include <vector>

#include <QDate>
#include <QDateTime>
#include <QString>

#include "core/LeaveRecord.h"
#include "platform/FileLock.h"
#include "platform/Files.h"
#include "platform/RecordFile.h"

namespace LeaveStore {

// Records per read: large enough that a million-record file streams at
// the speed of a plain read, small enough to stay in the cache.
inline constexpr qint64 BatchRecords = 4096;

QString FilePath();
// Where Compact builds the new file before it replaces Holiday.d00.
QString TempFilePath();
bool Exists();
// Holiday.lck beside the data file: the lock of the writers.
QString LockFilePath();

// Held by every write of the data file (saves, compaction, a restore), so
// that two copies of the program sharing the data folder write one after
// the other; a writer opens and reads the file only once it holds this, so
// it sees what the other copy appended or compacted before. Raises
// EInOutError when the other copy holds it longer than FileLock::Wait().
// On release the write observer hears how the file looked before and after.
class WriteLock {
public:
    WriteLock();
    ~WriteLock();
    WriteLock(const WriteLock&) = delete;
    WriteLock& operator=(const WriteLock&) = delete;

private:
    FileLock lock_;
    std::optional<Files::Stamp> before_;
};

// Told of every write of this process, so that a watcher of the file can
// tell them from the changes of other programs. Empty: nobody listens.
using WriteObserver
    = std::function<void(const std::optional<Files::Stamp>& before, const std::optional<Files::Stamp>& after)>;
void SetWriteObserver(WriteObserver observer);

// Reads the file front to back in batches; nothing when it does not exist.
class Reader {
public:
    Reader();
    bool IsOpen() const { return file_.has_value(); }
    // The next records in file order, valid until the next call; empty at
    // the end. Trailing bytes that do not fill a whole record are not a
    // record.
    std::span<const LeaveRecord> NextBatch();

private:
    std::optional<RecordFile> file_;
    // Raw bytes that the reads fill: nothing is cleared before a read, and
    // the records in them begin their lifetime as the bytes arrive.
    std::unique_ptr<unsigned char[]> batch_;
    bool atEnd_ = false;
};

// Calls visit(record, index) for every record in file order.
template <class Visit> void ForEach(Visit&& visit)
{
    Reader reader;
    qint64 index = 0;
    for (;;) {
        const std::span<const LeaveRecord> batch = reader.NextBatch();
        if (batch.empty())
            return;
        for (const LeaveRecord& record : batch)
            visit(record, index++);
    }
}

// Records as a whole-file read returns them: making room for them leaves
// their bytes to the read instead of zeroing them first.
template <typename T> struct UnfilledAllocator : std::allocator<T> {
    template <typename U> struct rebind {
        using other = UnfilledAllocator<U>;
    };
    template <typename U> void construct(U* place) { ::new (static_cast<void*>(place)) U(typename U::Unfilled {}); }
    template <typename U, typename... Args> void construct(U* place, Args&&... args)
    {
        ::new (static_cast<void*>(place)) U(std::forward<Args>(args)...);
    }
};
using Records = std::vector<LeaveRecord, UnfilledAllocator<LeaveRecord>>;

Records ReadAll();

// Every record of another file of the same format (a copy that a sync
// client left beside the data file); raises EInOutError when it cannot be
// read. Trailing bytes that do not fill a whole record are not a record.
Records ReadAllOf(const QString& path);

// The records at the given 0-based positions, in the order asked.
std::vector<LeaveRecord> ReadRecords(const std::vector<qint64>& positions);

struct Entry {
    int Kind = 0;
    QString Memo;
};

// The first record of the date, cleared or not; kind 0 and no memo when none.
Entry FindEntry(int year, int month, int day);

// Writes one record for the date over the date's first record, or at the end,
// and flushes it to the disk before returning. Kind 0 (Normal) marks the
// record cleared. The memo is cut to 30 bytes. A failed write leaves the file
// as it was (SaveEntries below).
void SaveEntry(int year, int month, int day, int kind, const QString& memo);

// One entry of a save of several days.
struct DayEntry {
    int Year = 0;
    int Month = 0;
    int Day = 0;
    int Kind = 0;
    QString Memo;
};

// Saves the entries in one pass over the file, with the result of a SaveEntry
// for each in turn: a date keeps its first record, a new date is appended in
// the order of its first entry, and the last entry of a date decides what its
// record holds. Kind 0 clears the day, also a day that had no record. Flushed
// once before it returns. All or nothing: when a write or the flush fails (a
// read-only file, a full disk, a file that may not grow) the file is left as
// it was and the error SaveEntry would raise is raised.
//
// Returns what the save replaced, one record per date in the order saved:
// the date's first record as it was, byte for byte, or a cleared record where
// the date had none. Saved with SaveRecords, they take the save back.
std::vector<LeaveRecord> SaveEntries(std::span<const DayEntry> entries);

// Every record a save writes carries the time of the save and this
// machine's id (LeaveRecord::Stamp), so that a copy of the file from another
// machine can be merged date by date; records merged in from such a copy
// keep the time and writer they came with.
enum class Stamping { Now, AsGiven };

// The same save for records (what SaveEntries returned, or the records it
// wrote); the last record of a date decides.
std::vector<LeaveRecord> SaveRecords(std::span<const LeaveRecord> records, Stamping stamping = Stamping::Now);

// What a merge did to one date: the date's record before (a cleared record
// of unknown time when it had none) and the record it holds now.
struct Merged {
    LeaveRecord Before, After;
};

// Brings in the records of a copy of the file from another machine, in one
// all-or-nothing save under the write lock: a date takes the copy's record
// where it wins over the date's record in the file (LeaveRecord::WinsOver;
// a date with no record takes it too), and keeps its own otherwise. The
// records keep their time and writer. Records of impossible dates or kinds
// are passed over. Returns the dates written, in the order given.
std::vector<Merged> MergeRecords(std::span<const LeaveRecord> records);

// FindEntry for several dates in one pass over the file, in the order asked.
std::vector<Entry> FindEntries(std::span<const QDate> dates);

// How long a cleared day stays in the file as a cleared record, so that
// the clear reaches a copy of the file on another machine and is not undone
// when that copy is merged back.
inline constexpr int KeptClearDays = 400;

// Removes the cleared records older than KeptClearDays (and those of unknown
// time), reading the file under the write lock. The kept records go to Holiday.tmp$$, which is
// flushed to disk and then renamed over Holiday.d00 in one step, so at every
// moment one of the two files holds every record that is kept.
void Compact();

// The start-up check: takes back Holiday.tmp$$ as Holiday.d00 when an
// interrupted compaction left only the former, removes it when Holiday.d00 is
// there too, then opens the file and reads its first record, so that a file
// that cannot be read is reported at once. Reading needs no write access.
void CheckOnStartup();

// Last modification in local time; nothing when the file does not exist.
std::optional<QDateTime> LastModified();

} // namespace LeaveStore
