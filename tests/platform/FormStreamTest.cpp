#include "platform/FormStream.h"

#include <gtest/gtest.h>

#include "platform/ShiftJis.h"

namespace {

QByteArray Bytes(std::initializer_list<int> values)
{
    QByteArray bytes;
    for (int v : values)
        bytes.append(char(v));
    return bytes;
}

struct IntegerCase {
    qint32 value;
    QByteArray bytes;
};

class FormStreamIntegerTest : public ::testing::TestWithParam<IntegerCase> { };

TEST_P(FormStreamIntegerTest, WritesTheSmallestFormAndReadsItBack)
{
    TWriter writer;
    writer.WriteInteger(GetParam().value);
    EXPECT_EQ(writer.Data().toHex(), GetParam().bytes.toHex());
    TReader reader(writer.Data());
    EXPECT_EQ(reader.ReadInteger(), GetParam().value);
    EXPECT_TRUE(reader.AtEnd());
}

INSTANTIATE_TEST_SUITE_P(Boundaries, FormStreamIntegerTest,
    ::testing::Values(IntegerCase { 0, Bytes({ 2, 0 }) }, IntegerCase { 127, Bytes({ 2, 0x7F }) },
        IntegerCase { -128, Bytes({ 2, 0x80 }) }, IntegerCase { 128, Bytes({ 3, 0x80, 0 }) },
        IntegerCase { -129, Bytes({ 3, 0x7F, 0xFF }) }, IntegerCase { 32767, Bytes({ 3, 0xFF, 0x7F }) },
        IntegerCase { 32768, Bytes({ 4, 0, 0x80, 0, 0 }) },
        IntegerCase { -2147483647 - 1, Bytes({ 4, 0, 0, 0, 0x80 }) },
        IntegerCase { int(0x8000000D), Bytes({ 4, 0x0D, 0, 0, 0x80 }) }),
    [](const ::testing::TestParamInfo<IntegerCase>& info) {
        const qint64 v = info.param.value;
        return (v < 0 ? std::string("Minus") : std::string()) + std::to_string(v < 0 ? -v : v);
    });

TEST(FormStreamTest, TextFormsCarryTheirTagsAndRoundTrip)
{
    const QString japanese = QStringLiteral("パラメータ1");
    TWriter writer;
    writer.WriteString(QStringLiteral("Caption"));
    writer.WriteShortString(ShiftJis::FromUnicode(japanese));
    writer.WriteLongString(QByteArray(300, 'x'));
    writer.WriteWideString(japanese);
    writer.WriteUtf8String(japanese);
    writer.WriteString(japanese);
    writer.WriteString(QString(256, QLatin1Char('y')));

    const QByteArray& data = writer.Data();
    EXPECT_EQ(data.left(2).toHex(), Bytes({ 6, 7 }).toHex());
    TReader reader(data);
    EXPECT_EQ(reader.NextValue(), TValueType::vaString);
    EXPECT_EQ(reader.ReadString(), QStringLiteral("Caption"));
    EXPECT_EQ(reader.ReadString(), japanese);
    EXPECT_EQ(reader.NextValue(), TValueType::vaLString);
    EXPECT_EQ(reader.ReadString(), QString(300, QLatin1Char('x')));
    EXPECT_EQ(reader.NextValue(), TValueType::vaWString);
    EXPECT_EQ(reader.ReadString(), japanese);
    EXPECT_EQ(reader.NextValue(), TValueType::vaUTF8String);
    EXPECT_EQ(reader.ReadString(), japanese);
    // Texts beyond ASCII are never squeezed through a code page.
    EXPECT_EQ(reader.NextValue(), TValueType::vaUTF8String);
    EXPECT_EQ(reader.ReadString(), japanese);
    EXPECT_EQ(reader.NextValue(), TValueType::vaLString);
    EXPECT_EQ(reader.ReadString(), QString(256, QLatin1Char('y')));
    EXPECT_TRUE(reader.AtEnd());
}

TEST(FormStreamTest, WideStringHoldsUnitCountAndLittleEndianUnits)
{
    TWriter writer;
    writer.WriteWideString(QStringLiteral("A\u3042"));
    EXPECT_EQ(writer.Data().toHex(), Bytes({ 18, 2, 0, 0, 0, 0x41, 0, 0x42, 0x30 }).toHex());
}

TEST(FormStreamTest, ShortStringRefusesMoreThan255Bytes)
{
    TWriter writer;
    EXPECT_THROW(writer.WriteShortString(QByteArray(256, 'a')), EGeneralError);
    EXPECT_TRUE(writer.Data().isEmpty());
}

TEST(FormStreamTest, PropertiesListsSetsAndCollectionsRoundTrip)
{
    TWriter writer;
    writer.WritePropName(QStringLiteral("Options"));
    writer.WriteSet({ QStringLiteral("goVertLine"), QStringLiteral("goRangeSelect") });
    writer.WritePropName(QStringLiteral("Empty"));
    writer.WriteSet({});
    writer.WritePropName(QStringLiteral("Alignment"));
    writer.WriteIdent(QStringLiteral("taCenter"));
    writer.WritePropName(QStringLiteral("CellParams"));
    writer.WriteCollectionBegin();
    writer.WriteListBegin();
    writer.WritePropName(QStringLiteral("Tag"));
    writer.WriteInteger(5);
    writer.WritePropName(QStringLiteral("RangeEnabled"));
    writer.WriteBoolean(true);
    writer.WriteListEnd();
    writer.WriteListBegin();
    writer.WriteListEnd();
    writer.WriteListEnd();
    writer.WritePropName(QStringLiteral("Data"));
    writer.WriteBinary(Bytes({ 1, 2, 3 }));
    writer.WritePropName(QStringLiteral("Off"));
    writer.WriteBoolean(false);

    TReader reader(writer.Data());
    EXPECT_EQ(reader.ReadPropName(), QStringLiteral("Options"));
    EXPECT_EQ(reader.ReadSet(), QStringList({ QStringLiteral("goVertLine"), QStringLiteral("goRangeSelect") }));
    EXPECT_EQ(reader.ReadPropName(), QStringLiteral("Empty"));
    EXPECT_TRUE(reader.ReadSet().isEmpty());
    EXPECT_EQ(reader.ReadPropName(), QStringLiteral("Alignment"));
    EXPECT_EQ(reader.ReadIdent(), QStringLiteral("taCenter"));
    EXPECT_EQ(reader.ReadPropName(), QStringLiteral("CellParams"));
    reader.ReadCollectionBegin();
    reader.ReadListBegin();
    EXPECT_EQ(reader.ReadPropName(), QStringLiteral("Tag"));
    EXPECT_EQ(reader.ReadInteger(), 5);
    EXPECT_EQ(reader.ReadPropName(), QStringLiteral("RangeEnabled"));
    EXPECT_TRUE(reader.ReadBoolean());
    EXPECT_TRUE(reader.EndOfList());
    reader.ReadListEnd();
    reader.ReadListBegin();
    reader.ReadListEnd();
    reader.ReadListEnd();
    EXPECT_EQ(reader.ReadPropName(), QStringLiteral("Data"));
    EXPECT_EQ(reader.ReadBinary(), Bytes({ 1, 2, 3 }));
    EXPECT_EQ(reader.ReadPropName(), QStringLiteral("Off"));
    EXPECT_FALSE(reader.ReadBoolean());
    EXPECT_TRUE(reader.AtEnd());
}

TEST(FormStreamTest, SkipValuePassesOverNestedValues)
{
    TWriter writer;
    writer.WriteCollectionBegin();
    writer.WriteInteger(0); // an item's order number
    writer.WriteListBegin();
    writer.WritePropName(QStringLiteral("Caption"));
    writer.WriteUtf8String(QStringLiteral("見出し"));
    writer.WriteListEnd();
    writer.WriteListEnd();
    writer.WriteListBegin();
    writer.WriteListBegin();
    writer.WriteInteger(100000);
    writer.WriteListEnd();
    writer.WriteListEnd();
    writer.WriteIdent(QStringLiteral("after"));

    TReader reader(writer.Data());
    reader.SkipValue();
    reader.SkipValue();
    EXPECT_EQ(reader.ReadIdent(), QStringLiteral("after"));
}

struct BadStream {
    const char* what;
    QByteArray bytes;
};

class FormStreamBadTest : public ::testing::TestWithParam<BadStream> { };

// Every read of a damaged stream fails with EReadError and leaves the
// reader inside its data; none of these may crash or read beyond the end.
TEST_P(FormStreamBadTest, RaisesReadError)
{
    TReader reader(GetParam().bytes);
    EXPECT_THROW(reader.SkipValue(), EReadError) << GetParam().what;
    EXPECT_LE(reader.Position(), GetParam().bytes.size());
}

INSTANTIATE_TEST_SUITE_P(Damaged, FormStreamBadTest,
    ::testing::Values(BadStream { "empty", {} }, BadStream { "int16 cut", Bytes({ 3, 1 }) },
        BadStream { "int32 cut", Bytes({ 4, 1, 2, 3 }) }, BadStream { "short string cut", Bytes({ 6, 5, 'a', 'b' }) },
        BadStream { "long string length beyond data", Bytes({ 12, 0xFF, 0xFF, 0, 0, 'a' }) },
        BadStream { "negative length", Bytes({ 20, 0xFF, 0xFF, 0xFF, 0xFF }) },
        BadStream { "wide string odd", Bytes({ 18, 2, 0, 0, 0, 'a', 0, 'b' }) },
        BadStream { "huge wide count", Bytes({ 18, 0xFF, 0xFF, 0xFF, 0x7F }) },
        BadStream { "set without end", Bytes({ 11, 2, 'g', 'o' }) },
        BadStream { "list without end", Bytes({ 1, 2, 5 }) }, BadStream { "unknown tag", Bytes({ 99 }) },
        BadStream { "collection item without list", Bytes({ 14, 6, 0 }) },
        BadStream { "deep nesting", QByteArray(100000, char(1)) }),
    [](const ::testing::TestParamInfo<BadStream>& info) {
        std::string name = info.param.what;
        for (char& c : name)
            c = c == ' ' ? '_' : c;
        return name;
    });

TEST(FormStreamTest, ReadingTheWrongKindIsInvalidPropertyValue)
{
    const QByteArray data = Bytes({ 6, 1, 'a' });
    TReader reader(data);
    try {
        reader.ReadInteger();
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Invalid property value"));
    }
    TReader shortReader(Bytes({ 2 }));
    try {
        shortReader.ReadInteger();
        FAIL() << "no error";
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("Stream read error"));
    }
    EXPECT_THROW(TReader(Bytes({ 9 })).ReadString(), EReadError);
    EXPECT_THROW(TReader(Bytes({ 2, 1 })).ReadBoolean(), EReadError);
    EXPECT_THROW(TReader(Bytes({ 0 })).ReadPropName(), EReadError);
}

} // namespace
