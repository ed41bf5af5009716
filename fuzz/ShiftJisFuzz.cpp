// Shift-JIS both ways, on any bytes and any text. Decoding never drops a
// byte silently, encoding always gives bytes that decode without a
// replacement character, a decoded text encodes and decodes back to itself,
// and the cut to N bytes gives the longest prefix that does not split a
// double-byte character.

#include <fuzzer/FuzzedDataProvider.h>

#include "FuzzSupport.h"
#include "platform/ShiftJis.h"

namespace {

constexpr QChar Replacement(0xFFFD);

void CheckCut(const QByteArray& bytes, int maxBytes)
{
    const QByteArray cut = ShiftJis::CutToBytes(bytes, maxBytes);
    const qsizetype limit = std::clamp<qsizetype>(maxBytes, 0, bytes.size());
    FUZZ_CHECK(bytes.startsWith(cut));
    FUZZ_CHECK(cut.size() <= limit);
    // Walk the characters from the start: the cut ends on a character
    // boundary, and only a double-byte character that would be split is left out.
    qsizetype boundary = 0;
    while (boundary < limit) {
        const qsizetype width = ShiftJis::IsLeadByte(uchar(bytes[boundary])) ? 2 : 1;
        if (boundary + width > limit)
            break;
        boundary += width;
    }
    FUZZ_CHECK(cut.size() == boundary || cut.size() == limit);
    FUZZ_CHECK(cut.size() >= limit - 1);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const int maxBytes = in.ConsumeIntegralInRange(-2, 80);
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QByteArray bytes(rest.data(), qsizetype(rest.size()));

    // Bytes to text and back.
    const QString text = ShiftJis::ToUnicode(bytes);
    FUZZ_CHECK(bytes.isEmpty() == text.isEmpty());
    const QByteArray encoded = ShiftJis::FromUnicode(text);
    FUZZ_CHECK(ShiftJis::ByteLength(text) == encoded.size());
    FUZZ_CHECK(!ShiftJis::ToUnicode(encoded).contains(Replacement));
    if (!text.contains(Replacement))
        FUZZ_CHECK(ShiftJis::ToUnicode(encoded) == text);

    // Any text (the same bytes read as UTF-8 and as UTF-16) to bytes.
    for (const QString& any : { QString::fromUtf8(bytes),
             QString::fromUtf16(reinterpret_cast<const char16_t*>(bytes.constData()), bytes.size() / 2) }) {
        const QByteArray sjis = ShiftJis::FromUnicode(any);
        FUZZ_CHECK(ShiftJis::ByteLength(any) == sjis.size());
        FUZZ_CHECK(!ShiftJis::ToUnicode(sjis).contains(Replacement));
        CheckCut(sjis, maxBytes);
    }
    CheckCut(bytes, maxBytes);
    return 0;
}
