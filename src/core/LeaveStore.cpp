#include "core/LeaveStore.h"

#include <new>

#include "platform/DataDirectory.h"
#include "platform/Files.h"

namespace LeaveStore {

QString FilePath() { return DataDirectory() + QStringLiteral("Holiday.d00"); }

QString TempFilePath() { return DataDirectory() + QStringLiteral("Holiday.tmp$$"); }

bool Exists() { return Files::Exists(FilePath()); }

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

std::vector<LeaveRecord> ReadAll()
{
    std::vector<LeaveRecord> records;
    if (!Exists())
        return records;
    RecordFile file(FilePath(), RecordFile::Mode::ReadOnly, LeaveRecord::Size);
    records.resize(size_t(file.Size()));
    records.resize(size_t(file.ReadMany(records.data(), qint64(records.size()))));
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
    const LeaveRecord record = LeaveRecord::Make(year, month, day, kind, memo);
    // Once this returns the entry is on the disk: a power cut afterwards
    // must not take back what the user was told is saved.
    if (!Exists()) {
        RecordFile file(FilePath(), RecordFile::Mode::Create, LeaveRecord::Size);
        file.Write(record.Data());
        file.Flush();
        file.Close();
        Files::SyncDirectory(DataDirectory());
        return;
    }
    RecordFile file(FilePath(), RecordFile::Mode::OpenExisting, LeaveRecord::Size);
    file.Seek(PositionOf(file, year, month, day));
    file.Write(record.Data());
    file.Flush();
    file.Close();
}

void Compact()
{
    if (!Exists())
        return;
    {
        RecordFile source(FilePath(), RecordFile::Mode::OpenExisting, LeaveRecord::Size);
        RecordFile target(TempFilePath(), RecordFile::Mode::Create, LeaveRecord::Size);
        try {
            std::vector<LeaveRecord> batch(BatchRecords);
            for (;;) {
                const qint64 got = source.ReadMany(batch.data(), BatchRecords);
                for (qint64 i = 0; i < got; ++i) {
                    if (!batch[size_t(i)].Cleared())
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
