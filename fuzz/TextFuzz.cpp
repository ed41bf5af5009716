// Number and caption texts as a user types them or a file holds them: any
// text. StrToInt and its two variants agree with each other and with plain
// decimal arithmetic, FormatFloat takes any picture and any number, and the
// caption parsers read back every caption the program writes.

#include <fuzzer/FuzzedDataProvider.h>

#include <cmath>

#include <QRegularExpression>

#include "FuzzSupport.h"
#include "core/Julius.h"
#include "platform/Errors.h"
#include "platform/Text.h"

namespace {

void CheckStrToInt(const QString& text)
{
    int tried = 0;
    const bool ok = Text::TryStrToInt(text, tried);
    FUZZ_CHECK(Text::StrToIntDef(text, ok ? tried + 1 : 7) == (ok ? tried : 7));
    try {
        FUZZ_CHECK(Text::StrToInt(text) == tried && ok);
    } catch (const EConvertError& e) {
        FUZZ_CHECK(!ok);
        FUZZ_CHECK(e.Message() == u'\'' + text + QStringLiteral("' is not a valid integer value"));
    }
    // Plain decimal texts by arithmetic.
    static const QRegularExpression decimal(QRegularExpression::anchoredPattern(QStringLiteral(" *([+-]?)([0-9]+)")));
    const QRegularExpressionMatch m = decimal.match(text);
    if (m.hasMatch()) {
        long double value = 0;
        for (const QChar digit : m.capturedView(2))
            value = std::min<long double>(value * 10 + digit.digitValue(), 1e30L);
        if (m.capturedView(1) == u"-")
            value = -value;
        const bool fits = value >= -2147483648.0L && value <= 2147483647.0L;
        FUZZ_CHECK(ok == fits);
        if (fits)
            FUZZ_CHECK(tried == int(value));
    }
    if (ok)
        FUZZ_CHECK(Text::StrToInt(QString::number(tried)) == tried);
}

void CheckFormatFloat(const QString& pattern, double value)
{
    const QString text = Text::FormatFloat(pattern, value);
    FUZZ_CHECK(text.size() < 4096 + 8 * pattern.size());
    value += 0.0; // no negative zero
    if (std::isfinite(value) && std::abs(value) < 1e15 && value == std::trunc(value)) {
        const QString plain = Text::FormatFloat(QStringLiteral("0"), value);
        FUZZ_CHECK(plain == QString::number(qint64(value)));
        QString grouped = Text::FormatFloat(QStringLiteral("#,##0"), value);
        FUZZ_CHECK(grouped.remove(u',') == plain);
    }
}

void CheckCaptions(const QString& text, int year, int month)
{
    try {
        (void)Julius::ParseFiscalYearCaption(text);
    } catch (const EConvertError&) {
    }
    try {
        (void)Julius::ParseMonthCaption(text);
    } catch (const EConvertError&) {
    }
    FUZZ_CHECK(Julius::ParseFiscalYearCaption(Julius::FiscalYearCaption(year)) == year);
    if (year >= 1000 && year <= 9999) {
        const Julius::YearMonth back = Julius::ParseMonthCaption(Julius::MonthCaption(year, month));
        FUZZ_CHECK(back.Year == year && back.Month == month);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FuzzedDataProvider in(data, size);
    const double value = in.ConsumeFloatingPoint<double>();
    const int year = in.ConsumeIntegralInRange(1, 9999);
    const int month = in.ConsumeIntegralInRange(1, 12);
    const QString pattern = QString::fromUtf8(in.ConsumeRandomLengthString(64));
    const std::string rest = in.ConsumeRemainingBytesAsString();
    const QString text = QString::fromUtf8(rest.data(), qsizetype(rest.size()));

    CheckStrToInt(text);
    CheckFormatFloat(pattern, value);
    CheckFormatFloat(text, value);
    CheckCaptions(text, year, month);
    return 0;
}
