#include "platform/Text.h"

#include <cmath>
#include <cstdio>
#include <limits>
#include <vector>

#include "platform/Errors.h"

namespace Text {

bool TryStrToInt(const QString& text, int& value)
{
    int i = 0;
    const int n = int(text.size());
    while (i < n && text[i] == u' ')
        ++i;
    bool negative = false;
    if (i < n && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    int base = 10;
    if (i < n && text[i] == u'$') {
        base = 16;
        ++i;
    } else if (i + 1 < n && text[i] == u'0' && (text[i + 1] == u'x' || text[i + 1] == u'X')) {
        base = 16;
        i += 2;
    }
    if (i >= n)
        return false;
    qint64 magnitude = 0;
    for (; i < n; ++i) {
        const char16_t c = text[i].unicode();
        int digit;
        if (c >= u'0' && c <= u'9')
            digit = c - u'0';
        else if (base == 16 && c >= u'a' && c <= u'f')
            digit = c - u'a' + 10;
        else if (base == 16 && c >= u'A' && c <= u'F')
            digit = c - u'A' + 10;
        else
            return false;
        magnitude = magnitude * base + digit;
        // Hexadecimal may fill all 32 bits (e.g. $FFFFFFFF is -1); decimal
        // must fit a signed 32-bit value.
        const qint64 limit
            = base == 16 ? qint64(0xFFFFFFFF) : qint64(std::numeric_limits<int>::max()) + (negative ? 1 : 0);
        if (magnitude > limit)
            return false;
    }
    qint64 result = negative ? -magnitude : magnitude;
    value = base == 16 ? int(quint32(result)) : int(result);
    return true;
}

int StrToInt(const QString& text)
{
    int value = 0;
    if (!TryStrToInt(text, value))
        throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
    return value;
}

int StrToIntDef(const QString& text, int defaultValue)
{
    int value = 0;
    return TryStrToInt(text, value) ? value : defaultValue;
}

QChar DecimalSeparator() { return u'.'; }

namespace {

struct Token {
    enum Kind { Zero, Hash, Point, Literal, Exponent } kind;
    QString text; // literal text, or the sign ("+"/"-") of an exponent
    int exponentDigits = 0;
};

std::vector<QString> SplitSections(const QString& pattern)
{
    std::vector<QString> sections(1);
    QChar quote;
    for (QChar c : pattern) {
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"') {
            quote = c;
        } else if (c == u';') {
            sections.emplace_back();
            continue;
        }
        sections.back().append(c);
    }
    return sections;
}

std::vector<Token> Tokenize(const QString& section, bool& grouping)
{
    std::vector<Token> tokens;
    bool seenPoint = false;
    grouping = false;
    for (int i = 0; i < section.size(); ++i) {
        const QChar c = section[i];
        if (c == u'\'' || c == u'"') {
            const int end = int(section.indexOf(c, i + 1));
            const int stop = end < 0 ? int(section.size()) : end;
            tokens.push_back({ Token::Literal, section.mid(i + 1, stop - i - 1) });
            i = stop;
        } else if (c == u'0') {
            tokens.push_back({ Token::Zero, {} });
        } else if (c == u'#') {
            tokens.push_back({ Token::Hash, {} });
        } else if (c == u'.' && !seenPoint) {
            seenPoint = true;
            tokens.push_back({ Token::Point, {} });
        } else if (c == u',' && !seenPoint) {
            grouping = true;
        } else if ((c == u'E' || c == u'e') && i + 1 < section.size()
            && (section[i + 1] == u'+' || section[i + 1] == u'-')) {
            Token t { Token::Exponent, QString(section[i + 1]) };
            i += 2;
            while (i < section.size() && section[i] == u'0') {
                ++t.exponentDigits;
                ++i;
            }
            --i;
            tokens.push_back(t);
        } else {
            tokens.push_back({ Token::Literal, QString(c) });
        }
    }
    return tokens;
}

// The decimal digits of |value| rounded half away from zero at `decimals`
// places, taken from the value's 15 significant digits so that 1.005
// counts as the 1.005 the user sees, not as 1.00499999....
void RoundDecimal(double value, int decimals, QString& intDigits, QString& fracDigits)
{
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%.14e", std::fabs(value));
    QString mantissa;
    int exponent = 0;
    {
        const QString s = QString::fromLatin1(buffer);
        const int e = int(s.indexOf(u'e'));
        mantissa = s.left(e).remove(u'.');
        exponent = s.mid(e + 1).toInt();
    }
    // digits of the number with the decimal point after position pointPos
    QString digits = mantissa;
    int pointPos = exponent + 1;
    if (pointPos < 0) {
        digits = QString(-pointPos, u'0') + digits;
        pointPos = 0;
    }
    const int keep = pointPos + decimals;
    if (keep < int(digits.size())) {
        const bool roundUp = keep >= 0 && digits[keep] >= u'5';
        digits.truncate(std::max(keep, 0));
        if (roundUp) {
            int i = int(digits.size()) - 1;
            while (i >= 0 && digits[i] == u'9') {
                digits[i] = u'0';
                --i;
            }
            if (i >= 0) {
                digits[i] = QChar(digits[i].unicode() + 1);
            } else {
                digits.prepend(u'1');
                ++pointPos;
            }
        }
    }
    while (int(digits.size()) < pointPos + decimals)
        digits.append(u'0');
    intDigits = digits.left(pointPos);
    fracDigits = digits.mid(pointPos, decimals);
    while (intDigits.size() > 1 && intDigits[0] == u'0')
        intDigits.remove(0, 1);
    if (intDigits.isEmpty())
        intDigits = QStringLiteral("0");
}

// How many digit places a section has and how many of them always show.
struct Places {
    int intPlaces = 0;
    int fracPlaces = 0;
    int minInt = 0; // integer places from the first '0' on
    const Token* exponent = nullptr;
};

Places CountPlaces(const std::vector<Token>& tokens)
{
    Places p;
    bool afterPoint = false, seenZero = false;
    for (const Token& t : tokens) {
        if (t.kind == Token::Point)
            afterPoint = true;
        else if (t.kind == Token::Exponent)
            p.exponent = &t;
        else if ((t.kind == Token::Zero || t.kind == Token::Hash) && !p.exponent) {
            if (afterPoint) {
                ++p.fracPlaces;
            } else {
                ++p.intPlaces;
                seenZero = seenZero || t.kind == Token::Zero;
                if (seenZero)
                    ++p.minInt;
            }
        }
    }
    return p;
}

// For scientific form: the power of ten that leaves as many integer digits
// as the section has places (at least one), and the magnitude scaled by it.
int ScaleForExponent(const Places& p, double& magnitude)
{
    if (!p.exponent || magnitude == 0)
        return 0;
    const int leading = std::max(p.intPlaces, 1);
    int exponentValue = int(std::floor(std::log10(magnitude))) - (leading - 1);
    magnitude /= std::pow(10.0, exponentValue);
    QString i, f;
    RoundDecimal(magnitude, p.fracPlaces, i, f);
    if (int(i.size()) > leading) { // rounding carried into a new digit
        ++exponentValue;
        magnitude /= 10;
    }
    return exponentValue;
}

// Leading zeros up to the '0' places, and the thousands separators.
void PadIntegerDigits(const Places& p, bool grouping, QString& intDigits)
{
    if (intDigits == u"0" && p.minInt == 0)
        intDigits.clear();
    while (int(intDigits.size()) < p.minInt)
        intDigits.prepend(u'0');
    if (grouping) {
        for (int i = int(intDigits.size()) - 3; i > 0; i -= 3)
            intDigits.insert(i, u',');
    }
}

// Trailing '#' places of the fraction drop trailing zeros.
void DropOptionalFractionZeros(const std::vector<Token>& tokens, QString& fracDigits)
{
    int optional = 0;
    bool inFraction = false;
    for (const Token& t : tokens) {
        if (t.kind == Token::Point)
            inFraction = true;
        else if (t.kind == Token::Exponent)
            break;
        else if (inFraction && t.kind == Token::Zero)
            optional = 0;
        else if (inFraction && t.kind == Token::Hash)
            ++optional;
    }
    while (optional-- > 0 && fracDigits.endsWith(u'0'))
        fracDigits.chop(1);
}

QString ExponentText(const Token& t, int exponentValue)
{
    QString out(u'E');
    if (exponentValue < 0)
        out.append(u'-');
    else if (t.text == u"+")
        out.append(u'+');
    QString e = QString::number(std::abs(exponentValue));
    while (int(e.size()) < t.exponentDigits)
        e.prepend(u'0');
    return out + e;
}

// Walks the section's tokens and puts the digits into its places.
QString Assemble(const std::vector<Token>& tokens, const Places& p, const QString& intDigits, const QString& fracDigits,
    int exponentValue)
{
    QString out;
    int intIndex = 0, fracIndex = 0;
    bool afterPoint = false;
    bool exponentDone = false;
    for (const Token& t : tokens) {
        switch (t.kind) {
        case Token::Literal:
            out.append(t.text);
            break;
        case Token::Point:
            afterPoint = true;
            if (!fracDigits.isEmpty())
                out.append(DecimalSeparator());
            break;
        case Token::Zero:
        case Token::Hash:
            if (exponentDone)
                break;
            if (!afterPoint) {
                // The first place takes every digit beyond the places.
                const int total = int(intDigits.size());
                const int start = intIndex == 0 ? 0 : total - (p.intPlaces - intIndex);
                const int end = total - (p.intPlaces - intIndex - 1);
                if (end > 0)
                    out.append(intDigits.mid(std::max(start, 0), end - std::max(start, 0)));
                ++intIndex;
            } else {
                if (fracIndex < fracDigits.size())
                    out.append(fracDigits[fracIndex]);
                ++fracIndex;
            }
            break;
        case Token::Exponent:
            out.append(ExponentText(t, exponentValue));
            exponentDone = true;
            break;
        }
    }
    return out;
}

QString FormatSection(const QString& section, double value, bool withSign)
{
    bool grouping = false;
    const std::vector<Token> tokens = Tokenize(section, grouping);
    const Places places = CountPlaces(tokens);
    double magnitude = std::fabs(value);
    const int exponentValue = ScaleForExponent(places, magnitude);
    QString intDigits, fracDigits;
    RoundDecimal(magnitude, places.fracPlaces, intDigits, fracDigits);
    PadIntegerDigits(places, grouping, intDigits);
    DropOptionalFractionZeros(tokens, fracDigits);
    const QString digits = Assemble(tokens, places, intDigits, fracDigits, exponentValue);
    return withSign ? QStringLiteral("-") + digits : digits;
}

} // namespace

QString FormatFloat(const QString& pattern, double value)
{
    // No picture has digits for these (a rate of 0 days out of 0, say).
    if (std::isnan(value))
        return QStringLiteral("NAN");
    if (std::isinf(value))
        return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
    const std::vector<QString> sections = SplitSections(pattern);
    if (value < 0 && sections.size() >= 2 && !sections[1].isEmpty())
        return FormatSection(sections[1], value, false);
    if (value == 0 && sections.size() >= 3 && !sections[2].isEmpty())
        return FormatSection(sections[2], value, false);
    QString result = FormatSection(sections[0], value, false);
    // A negative value that rounds to zero shows without its sign.
    bool anyDigit = false;
    for (QChar c : result)
        anyDigit = anyDigit || (c.isDigit() && c != u'0');
    if (value < 0 && anyDigit)
        result = FormatSection(sections[0], value, true);
    return result;
}

} // namespace Text
