#include "platform/ShiftJis.h"

#include <gtest/gtest.h>

#include "platform/Errors.h"

TEST(ShiftJis, EncodesJapaneseAsCodePage932)
{
    EXPECT_EQ(ShiftJis::FromUnicode(QStringLiteral("通常")), QByteArray("\x92\xCA\x8F\xED"));
    EXPECT_EQ(ShiftJis::FromUnicode(QStringLiteral("AM休暇")), QByteArray("AM\x8B\x78\x89\xC9"));
    // characters of code page 932 beyond JIS X 0208: NEC specials and the wave dash form
    EXPECT_EQ(ShiftJis::FromUnicode(QStringLiteral("①～")), QByteArray("\x87\x40\x81\x60"));
    EXPECT_EQ(ShiftJis::ByteLength(QStringLiteral("１日休暇")), 8);
}

TEST(ShiftJis, RoundTripsAndReplacesWhatItCannotHold)
{
    const QString text = QStringLiteral("ＧＷ特別休暇 abc ﾊﾝｶｸ");
    EXPECT_EQ(ShiftJis::ToUnicode(ShiftJis::FromUnicode(text)), text);
    EXPECT_EQ(ShiftJis::FromUnicode(QStringLiteral("a😀b")), QByteArray("a?b"));
    // a lone lead byte at the end of damaged data is shown, not dropped
    EXPECT_EQ(ShiftJis::ToUnicode(QByteArray("a\x82")), QStringLiteral("a\uFFFD"));
}

TEST(ShiftJis, CutsWithoutSplittingADoubleByteCharacter)
{
    const QByteArray kanji = ShiftJis::FromUnicode(QStringLiteral("休暇休暇休暇休暇休暇休暇休暇休暇")); // 32 bytes
    EXPECT_EQ(ShiftJis::CutToBytes(kanji, 30).size(), 30);
    const QByteArray mixed = "a" + kanji; // the 30th byte is the first half of a character
    EXPECT_EQ(ShiftJis::CutToBytes(mixed, 30), mixed.left(29));
    // 0x95 0x9F is one character whose second byte lies in the lead-byte range
    const QByteArray trailLooksLikeLead = QByteArray("\x95\x9F\x95\x9F") + "xyz";
    EXPECT_EQ(ShiftJis::CutToBytes(trailLooksLikeLead, 5), trailLooksLikeLead.left(5));
    EXPECT_EQ(ShiftJis::CutToBytes(trailLooksLikeLead, 3), trailLooksLikeLead.left(2));
    EXPECT_EQ(ShiftJis::CutToBytes("abc", 30), QByteArray("abc"));
    EXPECT_TRUE(ShiftJis::CutToBytes("abc", 0).isEmpty());
}

TEST(ShiftJis, EmptyTextsConvertToEmptyTexts)
{
    EXPECT_TRUE(ShiftJis::FromUnicode(QString()).isEmpty());
    EXPECT_TRUE(ShiftJis::FromUnicode(QStringLiteral("")).isEmpty());
    EXPECT_TRUE(ShiftJis::ToUnicode(QByteArray()).isEmpty());
    EXPECT_EQ(ShiftJis::ByteLength(QString()), 0);
}

TEST(ShiftJis, WithoutAConverterBothDirectionsRaise)
{
    // An empty text in place of the real one would be saved over the user's data.
    struct Restore {
        ~Restore() { ShiftJis::SetCodePage({}); }
    } restore;
    ShiftJis::SetCodePage("NO-SUCH-CODE-PAGE");
    EXPECT_THROW(ShiftJis::FromUnicode(QStringLiteral("通常")), EConvertError);
    EXPECT_THROW(ShiftJis::ToUnicode(QByteArray("\x92\xCA")), EConvertError);
    EXPECT_THROW(ShiftJis::FromUnicode(QString()), EConvertError);
    ShiftJis::SetCodePage({});
    EXPECT_EQ(ShiftJis::FromUnicode(QStringLiteral("通常")), QByteArray("\x92\xCA\x8F\xED"));
}
