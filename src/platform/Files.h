#pragma once

// Whole-file operations beside RecordFile.

#include <optional>

#include <QDateTime>
#include <QString>

namespace Files {

bool Exists(const QString& path);
// False when the file system refuses.
bool Remove(const QString& path);
// Renames `from` to `to`, replacing `to` in one step; false when refused.
bool Rename(const QString& from, const QString& to);
// Makes a rename or removal in `directory` durable.
void SyncDirectory(const QString& directory);
// Last modification in local time; nothing when the file does not exist.
std::optional<QDateTime> LastModified(const QString& path);

} // namespace Files
