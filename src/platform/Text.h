#pragma once

// Conversions between numbers and texts, as the program shows and reads them.

#include <QString>

namespace Text {

// Decimal with optional blanks and sign; "$" or "0x" introduces hexadecimal.
// Anything else, or a value beyond 32 bits, raises EConvertError
// "'<text>' is not a valid integer value".
int StrToInt(const QString& text);
int StrToIntDef(const QString& text, int defaultValue);
bool TryStrToInt(const QString& text, int& value);

// Formats value by a picture such as "0.0", "0.0%", "#,##0" or
// "0.00;(0.00);zero". '0' always shows a digit, '#' only a significant one,
// ',' before the point groups thousands, "E+"/"E-" give scientific form,
// quoted text and any other character are literal. Rounds half away from zero.
// Not-a-number gives "NAN" and infinities "INF" and "-INF", whatever the picture.
QString FormatFloat(const QString& pattern, double value);

// The decimal separator of the program's number texts.
QChar DecimalSeparator();

} // namespace Text
