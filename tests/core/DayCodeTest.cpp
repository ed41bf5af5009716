#include "core/DayCode.h"

#include <gtest/gtest.h>

#include "platform/ShiftJis.h"

struct CodeCase {
    int code;
    const char16_t* text;
    DayColour colour;
};

void PrintTo(const CodeCase& c, std::ostream* os)
{
    *os << "code " << c.code;
}

class DayCodeTest : public testing::TestWithParam<CodeCase>
{
};

// The totals count cells by these texts, so a changed character loses days.
TEST_P(DayCodeTest, ShowsItsTextInItsColour)
{
    const CodeCase& c = GetParam();
    EXPECT_EQ(DayCodeText(c.code), QString::fromUtf16(c.text));
    EXPECT_EQ(DayCodeColour(c.code), c.colour);
    EXPECT_LE(ShiftJis::FromUnicode(DayCodeText(c.code)).size(), 2);
}

INSTANTIATE_TEST_SUITE_P(LeaveKinds, DayCodeTest,
    testing::Values(CodeCase { 0, u"", DayBlack }, CodeCase { 1, u"全", DayGreen },
        CodeCase { 2, u"AM", DayGreen }, CodeCase { 3, u"PM", DayGreen }, CodeCase { 4, u"定", DayGreen },
        CodeCase { 5, u"夏", DayGreen }, CodeCase { 6, u"冬", DayGreen }, CodeCase { 7, u"GW", DayGreen },
        CodeCase { 8, u"特", DayGreen }, CodeCase { 9, u"代", DayBlack }, CodeCase { 10, u"出", DayBlack }));

INSTANTIATE_TEST_SUITE_P(DaysOff, DayCodeTest,
    testing::Values(CodeCase { 100, u"日", DayRed }, CodeCase { 101, u"月", DayBlack },
        CodeCase { 102, u"火", DayBlack }, CodeCase { 103, u"水", DayBlack },
        CodeCase { 104, u"木", DayBlack }, CodeCase { 105, u"金", DayBlack },
        CodeCase { 106, u"土", DayBlue }, CodeCase { 107, u"祝", DayRed }, CodeCase { 108, u"振", DayRed },
        CodeCase { 109, u"／", DayBlack }));

INSTANTIATE_TEST_SUITE_P(Unlisted, DayCodeTest,
    testing::Values(CodeCase { -1, u"", DayBlack }, CodeCase { 11, u"", DayBlack },
        CodeCase { 99, u"", DayBlack }, CodeCase { 110, u"", DayBlack }));

TEST(DayCodeColourTest, ColoursAreBgrValues)
{
    EXPECT_EQ(DayGreen, 0x008000u);
    EXPECT_EQ(DayRed, 0x0000FFu);
    EXPECT_EQ(DayBlue, 0xFF0000u);
    EXPECT_EQ(DayBlack, 0x000000u);
}

TEST(LeaveDayCodeTest, OnlyLeaveKindsShowACode)
{
    for (int kind = 0; kind <= 10; ++kind)
        EXPECT_EQ(LeaveDayCode(kind), DayCode(kind));
    for (const int kind : { -1, 11, 100, 107, 109, 127 })
        EXPECT_EQ(LeaveDayCode(kind), DayCode::Normal) << kind;
}
