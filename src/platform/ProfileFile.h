#pragma once

// A private-profile settings file: "[Section]" lines and "Key=Value" lines,
// Shift-JIS, CR LF. Names compare without regard to case; blanks around names
// and values are ignored; lines starting with ';' are comments.
//
// Nothing is cached: every read loads the file as the last write left it.
// Every write replaces the whole file in one step (Files::Replace: a new file,
// written and flushed, renamed over it), so neither a crash nor a full disk
// ever leaves half a settings file or an empty one.

#include <utility>

#include <QList>
#include <QString>

class ProfileFile {
public:
    explicit ProfileFile(const QString& path);

    const QString& Path() const { return path_; }
    bool Exists() const;

    // A missing file, section or key gives the default.
    QString ReadString(const QString& section, const QString& key, const QString& defaultValue) const;
    // A value that is not an integer gives the default too.
    int ReadInteger(const QString& section, const QString& key, int defaultValue) const;
    // An integer read with default 1 or 0; any non-zero value is true.
    bool ReadBool(const QString& section, const QString& key, bool defaultValue) const;
    // Every key and value of the section in file order, from one reading of
    // the file, for callers that need several keys as one consistent set.
    QList<std::pair<QString, QString>> ReadSection(const QString& section) const;

    struct Entry {
        QString section, key, value;
    };
    // Every key line of every section in file order, from one reading.
    QList<Entry> ReadAll() const;

    // Creates the file, section or key as needed: a new section goes at the
    // end of the file, a new key at the end of its section, an existing key
    // is replaced in place. A key that already holds the value (as a read
    // gives it) leaves the file untouched, bytes and time, and a write of
    // nothing new writes nothing. Raises EIniFileError "<path> に書き込めません".
    void WriteString(const QString& section, const QString& key, const QString& value);
    void WriteInteger(const QString& section, const QString& key, int value);
    void WriteBool(const QString& section, const QString& key, bool value);
    // Several keys, in this order, in one replace of the file (none when
    // every key already holds its value): all are written or none.
    void WriteStrings(const QList<Entry>& writes);

private:
    QString path_;
};
