#pragma once

// A binary file of fixed-size records, opened for reading and writing.
// Every failure raises EInOutError naming the file, what was being done
// and the system's reason ("ディスクがいっぱいです", or "ファイルが途中で
// 終わっています" for a read of less than a whole record). The file is
// closed when the object goes.

#include <QString>

#include "platform/Errors.h"

class RecordFile {
public:
    enum class Mode {
        ReadOnly, // read an existing file; needs no write access
        ReadIfPresent, // as ReadOnly, but a missing file (or a folder of its name) leaves it closed
        OpenExisting, // read and write an existing file
        Create // create the file, or empty an existing one
    };

    RecordFile(const QString& path, Mode mode, int recordSize);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    bool IsOpen() const { return fd_ >= 0; }
    int RecordSize() const { return recordSize_; }
    // Whole records in the file; trailing bytes that do not fill one are not counted.
    qint64 Size() const;
    // The file's length in bytes, a trailing part of a record included.
    qint64 Bytes() const;
    void Seek(qint64 record);
    qint64 Position() const { return position_; }
    // Reads the record at the position and moves past it.
    void Read(void* record);
    // Reads up to `count` records from the position into `records`, moving
    // past them; returns how many whole records were read (fewer only at the
    // end of the file).
    qint64 ReadMany(void* records, qint64 count);
    void Write(const void* record);
    // Writes `count` records from the position in one step and moves past them.
    void WriteMany(const void* records, qint64 count);
    // Cuts the file to `bytes` (a length it had before it grew).
    void Truncate(qint64 bytes);
    // Forces the written records, and the file's size, onto the disk.
    void Flush();
    // Whether `path` still names the file this object has open: another
    // program may have renamed a new file over it since it was opened.
    bool IsAt(const QString& path) const;
    // Raises when the system reports a failure; the destructor closes
    // without a word, so a writer closes explicitly.
    void Close();

private:
    [[noreturn]] void Fail(FileTask task, int error) const;

    QString path_;
    int fd_ = -1;
    int recordSize_;
    qint64 position_ = 0;
};
