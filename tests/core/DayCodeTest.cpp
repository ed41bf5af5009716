#include "core/DayCode.h"

#include <gtest/gtest.h>

#include "platform/ShiftJis.h"

// Colours as the grid takes them: 0x00BBGGRR.
constexpr DayColour Black = 0x000000, Green = 0x008000, Red = 0x0000FF, Blue = 0xFF0000;

struct CodeCase {
    int code;
    const char16_t* text;
    DayColour colour;
};

void PrintTo(const CodeCase& c, std::ostream* os) { *os << "code " << c.code; }

// "Code100", "CodeMinus1"
std::string CodeName(const testing::TestParamInfo<CodeCase>& info)
{
    const int code = info.param.code;
    return code < 0 ? "CodeMinus" + std::to_string(-code) : "Code" + std::to_string(code);
}

class DayCodeTest : public testing::TestWithParam<CodeCase> { };

// The totals count cells by these texts, so a changed character loses days.
TEST_P(DayCodeTest, ShowsItsTextInItsColour)
{
    const CodeCase& c = GetParam();
    EXPECT_EQ(DayCodeText(c.code), QString::fromUtf16(c.text));
    EXPECT_EQ(DayCodeColour(c.code), c.colour);
    EXPECT_LE(ShiftJis::FromUnicode(DayCodeText(c.code)).size(), 2);
}

INSTANTIATE_TEST_SUITE_P(LeaveKinds, DayCodeTest,
    testing::Values(CodeCase { 0, u"", Black }, CodeCase { 1, u"全", Green }, CodeCase { 2, u"AM", Green },
        CodeCase { 3, u"PM", Green }, CodeCase { 4, u"定", Green }, CodeCase { 5, u"夏", Green },
        CodeCase { 6, u"冬", Green }, CodeCase { 7, u"GW", Green }, CodeCase { 8, u"特", Green },
        CodeCase { 9, u"代", Black }, CodeCase { 10, u"出", Black }),
    CodeName);

INSTANTIATE_TEST_SUITE_P(DaysOff, DayCodeTest,
    testing::Values(CodeCase { 100, u"日", Red }, CodeCase { 101, u"月", Black }, CodeCase { 102, u"火", Black },
        CodeCase { 103, u"水", Black }, CodeCase { 104, u"木", Black }, CodeCase { 105, u"金", Black },
        CodeCase { 106, u"土", Blue }, CodeCase { 107, u"祝", Red }, CodeCase { 108, u"振", Red },
        CodeCase { 109, u"／", Black }),
    CodeName);

INSTANTIATE_TEST_SUITE_P(Unlisted, DayCodeTest,
    testing::Values(CodeCase { -1, u"", Black }, CodeCase { 11, u"", Black }, CodeCase { 99, u"", Black },
        CodeCase { 110, u"", Black }),
    CodeName);

TEST(LeaveDayCodeTest, OnlyLeaveKindsShowACode)
{
    for (int kind = 0; kind <= 10; ++kind)
        EXPECT_EQ(LeaveDayCode(kind), DayCode(kind));
    for (const int kind : { -1, 11, 100, 107, 109, 127 })
        EXPECT_EQ(LeaveDayCode(kind), DayCode::Normal) << kind;
}
