#pragma once

// What the exports share between choosing a file and having it on the disk:
// the save dialog with the typed filter chosen, the extension that filter
// adds, the question before an existing file is replaced, and a write that
// never leaves a file half written.

#include <optional>

#include <QByteArray>
#include <QString>

class QWidget;

namespace SaveStep {

// The position (from 1) of the export's own file type in the dialog's
// filter, after "すべてのファイル(*.*)".
inline constexpr int TypedFilterIndex = 2;

// With the typed filter chosen, a path whose file name has no "." gets
// `extension` (".csv"); with any other filter the path stays as typed.
QString WithExtension(const QString& path, int filterIndex, const QString& extension);

// Runs the save dialog (system title, the typed filter, the proposed name),
// applies the extension rule and, when the file exists, asks before it is
// replaced. Nothing when the user cancels or does not answer Yes.
std::optional<QString> AskPath(
    QWidget* owner, const QString& filter, const QString& proposedName, const QString& extension);

// Writes the bytes as the file's whole content. A regular file (or a new
// one) is written to a temporary file beside it, flushed to the disk and
// then renamed over it, so a failure leaves the old file whole and no
// partial new file behind. A device or pipe is written in place. A file
// the user made read-only is refused and keeps its bytes. Failures raise
// EInOutError naming the file and the system's reason.
void WriteFile(const QString& path, const QByteArray& bytes);

} // namespace SaveStep
