#pragma once

// The component stream: how a window's stored properties are laid out in
// bytes. Every value starts with a one-byte tag (TValueType) followed by its
// data, little-endian. A component writes its properties as a property name
// (a length byte and the name's bytes, no tag) followed by one value; a list
// or a collection ends with a vaNull tag.
//
// Texts: vaString (one length byte) and vaLString (four length bytes) hold
// code page 932 bytes, vaWString a count of UTF-16 units followed by them,
// vaUTF8String a byte count and UTF-8. The reader accepts all four wherever a
// text is expected.
//
// The reader never reads past the end of its data: a short stream raises
// EReadError "Stream read error", a value of an unexpected kind raises
// EReadError "Invalid property value".

#include <QByteArray>
#include <QString>
#include <QStringList>

#include "platform/Errors.h"

enum class TValueType : quint8 {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaExtended = 5,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaBinary = 10,
    vaSet = 11,
    vaLString = 12,
    vaNil = 13,
    vaCollection = 14,
    vaSingle = 15,
    vaCurrency = 16,
    vaDate = 17,
    vaWString = 18,
    vaInt64 = 19,
    vaUTF8String = 20,
    vaDouble = 21,
};

// A stream that cannot be read: too short, or a value of the wrong kind.
class EReadError : public Exception {
public:
    using Exception::Exception;
};

class TWriter {
public:
    const QByteArray& Data() const { return data_; }

    void WriteListBegin();
    void WriteListEnd();
    // In the smallest of the 8, 16 and 32-bit forms that holds the value.
    void WriteInteger(qint32 value);
    void WriteBoolean(bool value);
    // Plain ASCII as vaString (vaLString beyond 255 bytes), anything else as
    // vaUTF8String, so that no character is lost.
    void WriteString(const QString& value);
    // The four text forms one by one. The first two take code page 932 bytes;
    // WriteShortString refuses more than 255 of them.
    void WriteShortString(const QByteArray& bytes);
    void WriteLongString(const QByteArray& bytes);
    void WriteWideString(const QString& value);
    void WriteUtf8String(const QString& value);
    // A name such as an enumeration value (vaIdent); at most 255 bytes.
    void WriteIdent(const QString& name);
    // A set as the names of its members (vaSet), ended by an empty name.
    void WriteSet(const QStringList& names);
    void WriteBinary(const QByteArray& bytes);
    // A property name: length byte and the name, without a tag.
    void WritePropName(const QString& name);
    // A collection: vaCollection, then per item WriteListBegin, the item's
    // properties, WriteListEnd; then WriteListEnd for the collection.
    void WriteCollectionBegin();

private:
    void Tag(TValueType type);
    void Raw(const void* bytes, int count);
    void ShortBytes(const QByteArray& bytes);
    void Int32(qint32 value);

    QByteArray data_;
};

class TReader {
public:
    explicit TReader(const QByteArray& data);

    bool AtEnd() const { return position_ >= data_.size(); }
    qsizetype Position() const { return position_; }
    // The tag of the next value, without reading it.
    TValueType NextValue() const;
    // True when the next tag ends a list or collection (vaNull).
    bool EndOfList() const;

    void ReadListBegin();
    void ReadListEnd();
    qint32 ReadInteger();
    bool ReadBoolean();
    QString ReadString();
    QString ReadIdent();
    QStringList ReadSet();
    QByteArray ReadBinary();
    QString ReadPropName();
    void ReadCollectionBegin();
    // Reads past the next value of any kind, lists and collections included.
    void SkipValue();

private:
    class Nesting;

    void SkipList();
    void SkipCollection();
    TValueType ReadTag();
    void Expect(TValueType type);
    const char* Take(qsizetype count);
    quint8 Byte();
    qint32 Int32();
    qsizetype Length();
    QByteArray ShortBytes();
    [[noreturn]] static void Invalid();

    static constexpr int MaxNesting = 64;

    QByteArray data_;
    qsizetype position_ = 0;
    int depth_ = 0;
};
