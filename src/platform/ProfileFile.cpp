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

void ProfileFile::WriteString(const QString& section, const QString& key, const QString& value)
{
    // Every line but the one written keeps its bytes, so a line that is not
    // Shift-JIS (edited by hand, or by another program) comes through as it was.
    QList<QByteArray> raw = ReadRawLines(path_, true);
    QStringList lines;
    for (const QByteArray& line : raw)
        lines << ShiftJis::ToUnicode(line);
    const QByteArray newLine = ShiftJis::FromUnicode(key + u'=' + value);

    qsizetype sectionStart = -1; // index of the header line
    qsizetype lastInSection = -1; // last key line of the section
    bool inSection = false;
    bool written = false;
    for (qsizetype i = 0; i < lines.size() && !written; ++i) {
        if (const auto name = SectionName(lines[i])) {
            if (inSection)
                break; // the section ended without the key
            inSection = SameName(*name, section);
            if (inSection) {
                sectionStart = i;
                lastInSection = i;
            }
        } else if (inSection) {
            const auto entry = KeyLine(lines[i]);
            if (entry && SameName(entry->first, key)) {
                raw[i] = newLine;
                written = true;
            } else if (!lines[i].trimmed().isEmpty()) {
                lastInSection = i;
            }
        }
    }
    if (!written) {
        if (sectionStart >= 0) {
            raw.insert(lastInSection + 1, newLine);
        } else {
            raw << ShiftJis::FromUnicode(u'[' + section + u']') << newLine;
        }
    }

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
