#include "platform/FormStream.h"

#include <QtEndian>

#include "platform/ShiftJis.h"

namespace {

bool IsAscii(const QString& text)
{
    for (QChar c : text)
        if (c.unicode() > 0x7F)
            return false;
    return true;
}

} // namespace

// ---- TWriter ----

void TWriter::Tag(TValueType type) { data_.append(char(type)); }

void TWriter::Raw(const void* bytes, int count) { data_.append(static_cast<const char*>(bytes), count); }

void TWriter::Int32(qint32 value)
{
    const qint32 le = qToLittleEndian(value);
    Raw(&le, 4);
}

void TWriter::ShortBytes(const QByteArray& bytes)
{
    if (bytes.size() > 255)
        throw EGeneralError(QStringLiteral("A short string holds at most 255 bytes"));
    data_.append(char(quint8(bytes.size())));
    data_.append(bytes);
}

void TWriter::WriteListBegin() { Tag(TValueType::vaList); }

void TWriter::WriteListEnd() { Tag(TValueType::vaNull); }

void TWriter::WriteInteger(qint32 value)
{
    if (value >= -128 && value <= 127) {
        Tag(TValueType::vaInt8);
        data_.append(char(qint8(value)));
    } else if (value >= -32768 && value <= 32767) {
        Tag(TValueType::vaInt16);
        const qint16 le = qToLittleEndian(qint16(value));
        Raw(&le, 2);
    } else {
        Tag(TValueType::vaInt32);
        Int32(value);
    }
}

void TWriter::WriteBoolean(bool value) { Tag(value ? TValueType::vaTrue : TValueType::vaFalse); }

void TWriter::WriteString(const QString& value)
{
    if (!IsAscii(value))
        WriteUtf8String(value);
    else if (value.size() <= 255)
        WriteShortString(value.toLatin1());
    else
        WriteLongString(value.toLatin1());
}

void TWriter::WriteShortString(const QByteArray& bytes)
{
    if (bytes.size() > 255)
        throw EGeneralError(QStringLiteral("A short string holds at most 255 bytes"));
    Tag(TValueType::vaString);
    ShortBytes(bytes);
}

void TWriter::WriteLongString(const QByteArray& bytes)
{
    Tag(TValueType::vaLString);
    Int32(qint32(bytes.size()));
    data_.append(bytes);
}

void TWriter::WriteWideString(const QString& value)
{
    Tag(TValueType::vaWString);
    Int32(qint32(value.size()));
    for (QChar c : value) {
        const quint16 le = qToLittleEndian(c.unicode());
        Raw(&le, 2);
    }
}

void TWriter::WriteUtf8String(const QString& value)
{
    const QByteArray bytes = value.toUtf8();
    Tag(TValueType::vaUTF8String);
    Int32(qint32(bytes.size()));
    data_.append(bytes);
}

void TWriter::WriteIdent(const QString& name)
{
    Tag(TValueType::vaIdent);
    ShortBytes(name.toLatin1());
}

void TWriter::WriteSet(const QStringList& names)
{
    Tag(TValueType::vaSet);
    for (const QString& name : names)
        ShortBytes(name.toLatin1());
    data_.append('\0');
}

void TWriter::WriteBinary(const QByteArray& bytes)
{
    Tag(TValueType::vaBinary);
    Int32(qint32(bytes.size()));
    data_.append(bytes);
}

void TWriter::WritePropName(const QString& name) { ShortBytes(name.toLatin1()); }

void TWriter::WriteCollectionBegin() { Tag(TValueType::vaCollection); }

// ---- TReader ----

TReader::TReader(const QByteArray& data)
    : data_(data)
{
}

void TReader::Invalid() { throw EReadError(QStringLiteral("Invalid property value")); }

const char* TReader::Take(qsizetype count)
{
    if (count < 0 || count > data_.size() - position_)
        throw EReadError(QStringLiteral("Stream read error"));
    const char* at = data_.constData() + position_;
    position_ += count;
    return at;
}

quint8 TReader::Byte() { return quint8(*Take(1)); }

qint32 TReader::Int32() { return qFromLittleEndian<qint32>(Take(4)); }

qsizetype TReader::Length()
{
    const qint32 length = Int32();
    if (length < 0)
        Invalid();
    return length;
}

QByteArray TReader::ShortBytes()
{
    const quint8 length = Byte();
    return QByteArray(Take(length), length);
}

TValueType TReader::NextValue() const
{
    if (AtEnd())
        throw EReadError(QStringLiteral("Stream read error"));
    return TValueType(quint8(data_[position_]));
}

bool TReader::EndOfList() const { return NextValue() == TValueType::vaNull; }

TValueType TReader::ReadTag() { return TValueType(Byte()); }

void TReader::Expect(TValueType type)
{
    if (ReadTag() != type)
        Invalid();
}

void TReader::ReadListBegin() { Expect(TValueType::vaList); }

void TReader::ReadListEnd() { Expect(TValueType::vaNull); }

qint32 TReader::ReadInteger()
{
    switch (ReadTag()) {
    case TValueType::vaInt8:
        return qint8(Byte());
    case TValueType::vaInt16:
        return qFromLittleEndian<qint16>(Take(2));
    case TValueType::vaInt32:
        return Int32();
    default:
        Invalid();
    }
}

bool TReader::ReadBoolean()
{
    switch (ReadTag()) {
    case TValueType::vaFalse:
        return false;
    case TValueType::vaTrue:
        return true;
    default:
        Invalid();
    }
}

QString TReader::ReadString()
{
    switch (ReadTag()) {
    case TValueType::vaString:
        return ShiftJis::ToUnicode(ShortBytes());
    case TValueType::vaLString: {
        const qsizetype length = Length();
        return ShiftJis::ToUnicode(QByteArray(Take(length), length));
    }
    case TValueType::vaWString: {
        const qsizetype count = Length();
        if (count > (data_.size() - position_) / 2)
            throw EReadError(QStringLiteral("Stream read error"));
        const char* units = Take(count * 2);
        QString text(count, Qt::Uninitialized);
        for (qsizetype i = 0; i < count; ++i)
            text[i] = QChar(qFromLittleEndian<quint16>(units + 2 * i));
        return text;
    }
    case TValueType::vaUTF8String: {
        const qsizetype length = Length();
        return QString::fromUtf8(Take(length), length);
    }
    default:
        Invalid();
    }
}

QString TReader::ReadIdent()
{
    // The four tags that stand for well-known names read as those names.
    switch (ReadTag()) {
    case TValueType::vaIdent:
        return QString::fromLatin1(ShortBytes());
    case TValueType::vaFalse:
        return QStringLiteral("False");
    case TValueType::vaTrue:
        return QStringLiteral("True");
    case TValueType::vaNil:
        return QStringLiteral("nil");
    case TValueType::vaNull:
        return QStringLiteral("Null");
    default:
        Invalid();
    }
}

QStringList TReader::ReadSet()
{
    Expect(TValueType::vaSet);
    QStringList names;
    for (;;) {
        const QByteArray name = ShortBytes();
        if (name.isEmpty())
            return names;
        names.append(QString::fromLatin1(name));
    }
}

QByteArray TReader::ReadBinary()
{
    Expect(TValueType::vaBinary);
    const qsizetype length = Length();
    return QByteArray(Take(length), length);
}

QString TReader::ReadPropName()
{
    const QByteArray name = ShortBytes();
    if (name.isEmpty())
        Invalid();
    return QString::fromLatin1(name);
}

void TReader::ReadCollectionBegin() { Expect(TValueType::vaCollection); }

// Nested lists are skipped recursively; a stream of nothing but list tags
// must not exhaust the stack.
class TReader::Nesting {
public:
    explicit Nesting(int& depth)
        : depth_(depth)
    {
        if (depth_ >= MaxNesting)
            Invalid();
        ++depth_;
    }
    ~Nesting() { --depth_; }
    Nesting(const Nesting&) = delete;
    Nesting& operator=(const Nesting&) = delete;

private:
    int& depth_;
};

void TReader::SkipValue()
{
    switch (NextValue()) {
    case TValueType::vaList:
        SkipList();
        return;
    case TValueType::vaCollection:
        SkipCollection();
        return;
    case TValueType::vaInt8:
    case TValueType::vaInt16:
    case TValueType::vaInt32:
        ReadInteger();
        return;
    case TValueType::vaFalse:
    case TValueType::vaTrue:
    case TValueType::vaNil:
    case TValueType::vaNull:
        ReadTag();
        return;
    case TValueType::vaString:
    case TValueType::vaLString:
    case TValueType::vaWString:
    case TValueType::vaUTF8String:
        ReadString();
        return;
    case TValueType::vaIdent:
        ReadIdent();
        return;
    case TValueType::vaSet:
        ReadSet();
        return;
    case TValueType::vaBinary:
        ReadBinary();
        return;
    case TValueType::vaExtended:
        ReadTag();
        Take(10);
        return;
    case TValueType::vaSingle:
        ReadTag();
        Take(4);
        return;
    case TValueType::vaCurrency:
    case TValueType::vaDate:
    case TValueType::vaInt64:
    case TValueType::vaDouble:
        ReadTag();
        Take(8);
        return;
    }
    Invalid();
}

void TReader::SkipList()
{
    const Nesting nesting(depth_);
    ReadListBegin();
    while (!EndOfList())
        SkipValue();
    ReadListEnd();
}

void TReader::SkipCollection()
{
    const Nesting nesting(depth_);
    ReadCollectionBegin();
    while (!EndOfList()) {
        // An item may start with its index.
        const TValueType next = NextValue();
        if (next == TValueType::vaInt8 || next == TValueType::vaInt16 || next == TValueType::vaInt32)
            ReadInteger();
        ReadListBegin();
        while (!EndOfList()) {
            ReadPropName();
            SkipValue();
        }
        ReadListEnd();
    }
    ReadListEnd();
}
