#pragma once

// Shift-JIS (code page 932), the encoding of every text the program writes.

#include <QByteArray>
#include <QString>

namespace ShiftJis {

// Characters without a code page 932 form become '?'. Both directions raise
// EConvertError when the system has no converter for the code page.
QByteArray FromUnicode(const QString& text);
// Bytes that are not valid Shift-JIS become U+FFFD; nothing is dropped silently.
QString ToUnicode(const QByteArray& bytes);

// The system's name of the code page, as iconv knows it. Tests choose another
// (one the system lacks); an empty name returns to the default.
inline constexpr char DefaultCodePage[] = "CP932";
void SetCodePage(const QByteArray& name);

int ByteLength(const QString& text);

// The longest prefix of `bytes` of at most maxBytes bytes that does not end in
// the first half of a double-byte character.
QByteArray CutToBytes(const QByteArray& bytes, int maxBytes);

// True for a byte that starts a double-byte character.
bool IsLeadByte(unsigned char byte);

} // namespace ShiftJis
