#pragma once

// Whole-file operations beside RecordFile, and the checked steps through
// which every file the program writes reaches the disk.

#include <cerrno>
#include <optional>

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace Files {

bool Exists(const QString& path);
// True for an existing file that the user made read-only: this process may
// not write it, or no one may (no write permission bit at all, which even
// the administrator's rights do not override here).
bool IsReadOnly(const QString& path);
// False when the file system refuses.
bool Remove(const QString& path);
// Renames `from` to `to`, replacing `to` in one step; false when refused.
bool Rename(const QString& from, const QString& to);
// Makes a rename or removal in `directory` durable.
void SyncDirectory(const QString& directory);
// Last modification in local time; nothing when the file does not exist.
std::optional<QDateTime> LastModified(const QString& path);

// What tells one version of a file from another without reading it: the
// file (device and inode, which a replace changes), its size and the times
// of its last change, to the nanosecond.
struct Stamp {
    quint64 Device = 0, Inode = 0;
    qint64 Size = 0, Modified = 0, Changed = 0;
    bool operator==(const Stamp&) const = default;
};
// Nothing when the file does not exist.
std::optional<Stamp> StampOf(const QString& path);

// Replaces the file at `path` (the target, when it is a link) by `bytes`: they
// go to a new file beside it, which is written, flushed to the disk and closed,
// each step checked, and only then renamed over it. Returns 0, or the error
// number of the step that failed; the old file is then as it was and the new
// one is gone.
int Replace(const QString& path, const QByteArray& bytes);

// Copies the file `from` to `to` where no file of that name is: the copy is
// written to a new file beside `to`, flushed and closed, each step checked,
// and only then given the name, which fails when the name is taken. Returns
// 0, or the error number of the step that failed; nothing is left at `to`.
int CopyNew(const QString& from, const QString& to);

// Removes the new files that a Replace or CopyNew of `path` left beside it
// when the program was ended before it could rename or remove them. Only
// names of exactly their form are touched.
void RemoveLeftovers(const QString& path);

// The checked steps. Each returns 0 or the error number; WriteAt writes all
// of `size` bytes (retrying short writes) or fails.
int WriteAt(int fd, const void* data, qint64 size, qint64 offset);
// The file's data and size onto the disk (fdatasync).
int SyncData(int fd);
int Close(int fd);

// A full disk on demand, for tests: the n-th checked step from now (1 = the
// next) fails with `error` and nothing is written in it; 0 turns it off.
namespace Faults {
enum class Step { Write, Flush, Close };
void FailNth(int n, int error = ENOSPC);
// The step that failed since the last FailNth; nothing while none did.
std::optional<Step> Failed();
} // namespace Faults

} // namespace Files
