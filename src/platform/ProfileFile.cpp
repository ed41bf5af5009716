#include "platform/ProfileFile.h"

#include <optional>

#include <QFile>
#include <QFileInfo>
#include <QStringList>

#include "platform/Errors.h"
#include "platform/Files.h"
#include "platform/ShiftJis.h"
#include "platform/Text.h"

namespace {

// The file's lines as stored, without their line ends (CR LF, CR or LF);
// none when it cannot be read. With forWriting, a file that exists but
// cannot be read raises the write error instead: writing would otherwise
// replace every setting in it by the one key written.
QList<QByteArray> ReadRawLines(const QString& path, bool forWriting = false)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        if (forWriting && file.exists())
            throw EIniFileError(QStringLiteral("%1 に書き込めません").arg(path));
        return {};
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        if (forWriting)
            throw EIniFileError(QStringLiteral("%1 に書き込めません").arg(path));
        return {};
    }
    // CR and LF are never part of a double-byte Shift-JIS character, so the
    // bytes split into lines as the text does.
    bytes.replace("\r\n", "\n");
    bytes.replace('\r', '\n');
    QList<QByteArray> lines = bytes.split('\n');
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast(); // the line end of the last line
    return lines;
}

QStringList ReadLines(const QString& path)
{
    QStringList lines;
    for (const QByteArray& line : ReadRawLines(path))
        lines << ShiftJis::ToUnicode(line);
    return lines;
}

std::optional<QString> SectionName(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (!trimmed.startsWith(u'['))
        return std::nullopt;
    const qsizetype close = trimmed.indexOf(u']');
    if (close < 0)
        return std::nullopt;
    return trimmed.mid(1, close - 1).trimmed();
}

// The key and value of a "Key=Value" line; nothing for comments and others.
std::optional<std::pair<QString, QString>> KeyLine(const QString& line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(u';'))
        return std::nullopt;
    const qsizetype equals = trimmed.indexOf(u'=');
    if (equals <= 0)
        return std::nullopt;
    return std::make_pair(trimmed.left(equals).trimmed(), trimmed.mid(equals + 1).trimmed());
}

bool SameName(const QString& a, const QString& b) { return a.compare(b, Qt::CaseInsensitive) == 0; }

} // namespace

ProfileFile::ProfileFile(const QString& path)
    : path_(path)
{
}

bool ProfileFile::Exists() const { return QFileInfo::exists(path_); }

QString ProfileFile::ReadString(const QString& section, const QString& key, const QString& defaultValue) const
{
    bool inSection = false;
    for (const QString& line : ReadLines(path_)) {
        if (const auto name = SectionName(line)) {
            inSection = SameName(*name, section);
        } else if (inSection) {
            const auto entry = KeyLine(line);
            if (entry && SameName(entry->first, key))
                return entry->second;
        }
    }
    return defaultValue;
}

int ProfileFile::ReadInteger(const QString& section, const QString& key, int defaultValue) const
{
    const QString text = ReadString(section, key, QString());
    return Text::StrToIntDef(text, defaultValue);
}

bool ProfileFile::ReadBool(const QString& section, const QString& key, bool defaultValue) const
{
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

QList<std::pair<QString, QString>> ProfileFile::ReadSection(const QString& section) const
{
    QList<std::pair<QString, QString>> entries;
    bool inSection = false;
    for (const QString& line : ReadLines(path_)) {
        if (const auto name = SectionName(line)) {
            inSection = SameName(*name, section);
        } else if (inSection) {
            if (auto entry = KeyLine(line))
                entries.append(std::move(*entry));
        }
    }
    return entries;
}

QList<ProfileFile::Entry> ProfileFile::ReadAll() const
{
    QList<Entry> entries;
    QString section;
    bool inSection = false;
    for (const QString& line : ReadLines(path_)) {
        if (const auto name = SectionName(line)) {
            section = *name;
            inSection = true;
        } else if (inSection) {
            if (auto entry = KeyLine(line))
                entries.append({ section, std::move(entry->first), std::move(entry->second) });
        }
    }
    return entries;
}

namespace {

// Writes one key into the lines (raw bytes and their text side by side);
// false when the key already reads as that value, and nothing changed.
bool WriteKey(QList<QByteArray>& raw, QStringList& lines, const ProfileFile::Entry& write)
{
    const QByteArray newLine = ShiftJis::FromUnicode(write.key + u'=' + write.value);
    const QString newText = ShiftJis::ToUnicode(newLine);
    // What a read would give after the write: blanks around the value and
    // characters Shift-JIS cannot hold do not count as a change.
    const auto after = KeyLine(newText);

    qsizetype sectionStart = -1; // index of the header line
    qsizetype lastInSection = -1; // last key line of the section
    bool inSection = false;
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (const auto name = SectionName(lines[i])) {
            if (inSection)
                break; // the section ended without the key
            inSection = SameName(*name, write.section);
            if (inSection) {
                sectionStart = i;
                lastInSection = i;
            }
        } else if (inSection) {
            const auto entry = KeyLine(lines[i]);
            if (entry && SameName(entry->first, write.key)) {
                if (after && SameName(after->first, entry->first) && after->second == entry->second)
                    return false;
                raw[i] = newLine;
                lines[i] = newText;
                return true;
            }
            if (!lines[i].trimmed().isEmpty())
                lastInSection = i;
        }
    }
    if (sectionStart >= 0) {
        raw.insert(lastInSection + 1, newLine);
        lines.insert(lastInSection + 1, newText);
    } else {
        const QByteArray header = ShiftJis::FromUnicode(u'[' + write.section + u']');
        raw << header << newLine;
        lines << ShiftJis::ToUnicode(header) << newText;
    }
    return true;
}

} // namespace

void ProfileFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    WriteStrings({ { section, key, value } });
}

void ProfileFile::WriteStrings(const QList<Entry>& writes)
{
    // Every line but the ones written keeps its bytes, so a line that is not
    // Shift-JIS (edited by hand, or by another program) comes through as it was.
    QList<QByteArray> raw = ReadRawLines(path_, true);
    QStringList lines;
    for (const QByteArray& line : raw)
        lines << ShiftJis::ToUnicode(line);
    bool changed = false;
    for (const Entry& write : writes)
        changed = WriteKey(raw, lines, write) || changed;
    // A file whose keys already hold the values is left alone, its time
    // included: a sync client sees no change to pass on.
    if (!changed)
        return;

    QByteArray bytes;
    for (const QByteArray& line : raw)
        bytes += line + "\r\n";
    if (Files::Replace(path_, bytes) != 0)
        throw EIniFileError(QStringLiteral("%1 に書き込めません").arg(path_));
}

void ProfileFile::WriteInteger(const QString& section, const QString& key, int value)
{
    WriteString(section, key, QString::number(value));
}

void ProfileFile::WriteBool(const QString& section, const QString& key, bool value)
{
    WriteString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}
