#include "platform/Text.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <iterator>
#include <string>
#include <utility>

#include <QByteArray>

#include <gtest/gtest.h>

#include "platform/Errors.h"

namespace {

// A test name for a text: letters and digits as they are, other characters
// as words ("-$10" is "MinusDollar10"), bytes beyond ASCII in hexadecimal.
std::string NameOf(const char* text)
{
    static const std::pair<char, const char*> words[] = { { ' ', "Blank" }, { '+', "Plus" }, { '-', "Minus" },
        { '$', "Dollar" }, { '.', "Point" }, { ',', "Comma" }, { '#', "Hash" }, { '%', "Percent" },
        { ';', "Semicolon" }, { '(', "Open" }, { ')', "Close" }, { '\'', "Quote" } };
    std::string name;
    for (const char* c = text; *c; ++c) {
        const auto word
            = std::find_if(std::begin(words), std::end(words), [c](const auto& w) { return w.first == *c; });
        if (std::isalnum(static_cast<unsigned char>(*c)))
            name += *c;
        else if (word != std::end(words))
            name += word->second;
        else
            name += "X" + QByteArray(1, *c).toHex().toUpper().toStdString();
    }
    return name.empty() ? "Empty" : name;
}

} // namespace

struct IntCase {
    const char* text;
    int value;
};

class TextStrToInt : public ::testing::TestWithParam<IntCase> { };

TEST_P(TextStrToInt, ReadsDecimalAndHexadecimal)
{
    EXPECT_EQ(Text::StrToInt(QString::fromUtf8(GetParam().text)), GetParam().value);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextStrToInt,
    ::testing::Values(IntCase { "0", 0 }, IntCase { "42", 42 }, IntCase { "  7", 7 }, IntCase { "+15", 15 },
        IntCase { "-3", -3 }, IntCase { "$1F", 31 }, IntCase { "0x10", 16 }, IntCase { "-$10", -16 },
        IntCase { "2147483647", 2147483647 }, IntCase { "-2147483648", -2147483647 - 1 }, IntCase { "$FFFFFFFF", -1 }),
    [](const ::testing::TestParamInfo<IntCase>& info) { return NameOf(info.param.text); });

class TextStrToIntRefuses : public ::testing::TestWithParam<const char*> { };

TEST_P(TextStrToIntRefuses, WithTheWholeTextInTheMessage)
{
    const QString text = QString::fromUtf8(GetParam());
    try {
        Text::StrToInt(text);
        FAIL() << "accepted " << GetParam();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'%1' is not a valid integer value").arg(text));
    }
    EXPECT_EQ(Text::StrToIntDef(text, -99), -99);
}

INSTANTIATE_TEST_SUITE_P(Texts, TextStrToIntRefuses,
    ::testing::Values(
        "", " ", "12a", "7 ", "abc", "--1", "2147483648", "-2147483649", "$", "0x", "$100000000", "１２", "1.5"),
    [](const ::testing::TestParamInfo<const char*>& info) { return NameOf(info.param); });

struct FloatCase {
    const char* pattern;
    double value;
    const char* text;
};

class TextFormatFloat : public ::testing::TestWithParam<FloatCase> { };

TEST_P(TextFormatFloat, FormatsByPicture)
{
    EXPECT_EQ(
        Text::FormatFloat(QString::fromUtf8(GetParam().pattern), GetParam().value), QString::fromUtf8(GetParam().text));
}

INSTANTIATE_TEST_SUITE_P(Pictures, TextFormatFloat,
    ::testing::Values(FloatCase { "0.0", 12, "12.0" }, FloatCase { "0.0", 63.2876712, "63.3" },
        FloatCase { "0.0", 0, "0.0" }, FloatCase { "0.0", 0.05, "0.1" }, FloatCase { "0.0", 2.25, "2.3" },
        FloatCase { "0.0", -2.25, "-2.3" }, FloatCase { "0.0", -0.01, "0.0" }, FloatCase { "0.00", 1.005, "1.01" },
        FloatCase { "0.00", 1.12, "1.12" }, FloatCase { "0.0%", 97.5, "97.5%" }, FloatCase { "#,##0", 1234, "1,234" },
        FloatCase { "#,##0", 1234567.5, "1,234,568" }, FloatCase { "#,##0", 12, "12" }, FloatCase { "0", 2.5, "3" },
        FloatCase { "000", 7, "007" }, FloatCase { "#.##", 0.5, ".5" }, FloatCase { "0.##", 1, "1" },
        FloatCase { "0.##", 1.2, "1.2" }, FloatCase { "0.0;(0.0)", -4, "(4.0)" },
        FloatCase { "0.0;(0.0);'zero'", 0, "zero" }, FloatCase { "'¥'#,##0", 1500, "¥1,500" },
        FloatCase { "0.00E+00", 1234, "1.23E+03" }, FloatCase { "0.0", 99.96, "100.0" },
        FloatCase { "0.0", NAN, "NAN" }, FloatCase { "0.00E+00", NAN, "NAN" },
        FloatCase { "0.00E+00", INFINITY, "INF" }, FloatCase { "#,##0", -INFINITY, "-INF" }),
    [](const ::testing::TestParamInfo<FloatCase>& info) {
        char value[32];
        std::snprintf(value, sizeof value, "%.10g", info.param.value);
        return NameOf(info.param.pattern) + "_Of_" + NameOf(value);
    });
