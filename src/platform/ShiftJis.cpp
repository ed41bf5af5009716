#include "platform/ShiftJis.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

#include <QList>

#include "platform/Errors.h"

namespace ShiftJis {

namespace {

QByteArray& CodePageName()
{
    static QByteArray name = DefaultCodePage;
    return name;
}

// One conversion through iconv. On an unconvertible sequence the
// replacement is written and one input unit is skipped. Without a converter
// nothing can stand in for the text: an empty one would wipe a settings file
// or a memo on the next save.
//
// Opening a converter costs more than converting a memo, and a file of many
// lines converts one memo after another: each thread keeps the converter of
// each direction open until the code page changes.
struct Converter {
    QByteArray to, from;
    iconv_t cd = iconv_t(-1);
    ~Converter()
    {
        if (cd != iconv_t(-1))
            iconv_close(cd);
    }
};

iconv_t Open(const char* to, const char* from)
{
    thread_local Converter converters[2];
    for (Converter& c : converters) {
        if (c.cd != iconv_t(-1) && c.to == to && c.from == from) {
            iconv(c.cd, nullptr, nullptr, nullptr, nullptr);
            return c.cd;
        }
    }
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        throw EConvertError(QStringLiteral("文字コード %1 に変換できません").arg(QString::fromLatin1(CodePageName())));
    // One slot per direction: the one that converts into UTF-8 or out of UTF-32.
    Converter& slot = converters[qstrcmp(to, "UTF-8") == 0 ? 1 : 0];
    if (slot.cd != iconv_t(-1))
        iconv_close(slot.cd);
    slot.to = to;
    slot.from = from;
    slot.cd = cd;
    return cd;
}

QByteArray Convert(
    const char* to, const char* from, const QByteArray& input, int inputUnit, const QByteArray& replacement)
{
    iconv_t cd = Open(to, from);
    QByteArray out;
    out.resize(input.size() * 2 + 16);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = size_t(input.size());
    char* outPtr = out.data();
    size_t outLeft = size_t(out.size());
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG) {
            const qsizetype used = outPtr - out.data();
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = size_t(out.size() - used);
            continue;
        }
        // EILSEQ or EINVAL: replace one unit and go on.
        const qsizetype used = outPtr - out.data();
        if (outLeft < size_t(replacement.size())) {
            out.resize(out.size() * 2);
            outPtr = out.data() + used;
            outLeft = size_t(out.size() - used);
        }
        memcpy(outPtr, replacement.constData(), size_t(replacement.size()));
        outPtr += replacement.size();
        outLeft -= size_t(replacement.size());
        const size_t skip = std::min(inLeft, size_t(inputUnit));
        in += skip;
        inLeft -= skip;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
    }
    out.resize(outPtr - out.data());
    return out;
}

} // namespace

QByteArray FromUnicode(const QString& text)
{
    // UTF-32 input keeps the "skip one unit" of Convert at one character.
    QByteArray utf32;
    const QList<uint> codes = text.toUcs4();
    utf32.resize(codes.size() * 4);
    if (!codes.isEmpty()) // an empty list has no data to copy from
        memcpy(utf32.data(), codes.constData(), size_t(utf32.size()));
    return Convert(CodePageName().constData(), "UTF-32LE", utf32, 4, QByteArrayLiteral("?"));
}

QString ToUnicode(const QByteArray& bytes)
{
    return QString::fromUtf8(Convert("UTF-8", CodePageName().constData(), bytes, 1, QByteArrayLiteral("\xEF\xBF\xBD")));
}

void SetCodePage(const QByteArray& name) { CodePageName() = name.isEmpty() ? QByteArray(DefaultCodePage) : name; }

int ByteLength(const QString& text) { return int(FromUnicode(text).size()); }

bool IsLeadByte(unsigned char byte) { return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC); }

QByteArray CutToBytes(const QByteArray& bytes, int maxBytes)
{
    if (maxBytes <= 0)
        return {};
    if (bytes.size() <= maxBytes)
        return bytes;
    // Walk character by character so a trail byte that looks like a lead
    // byte is never mistaken for one.
    int i = 0;
    while (i < maxBytes) {
        const int width = IsLeadByte(uchar(bytes[i])) ? 2 : 1;
        if (i + width > maxBytes)
            break;
        i += width;
    }
    return bytes.left(i);
}

} // namespace ShiftJis
