#include "widgets/StreamNames.h"

#include <array>

#include "platform/FormStream.h"

namespace StreamNames {

namespace {

const std::array<QString, 6> CaptionTypeNames = { QStringLiteral("ctCaption"), QStringLiteral("ctCellText"),
    QStringLiteral("ctHeader"), QStringLiteral("ctFooter"), QStringLiteral("ctTop"), QStringLiteral("ctBottom") };

const std::array<QString, 8> BrushStyleNames = { QStringLiteral("bsSolid"), QStringLiteral("bsClear"),
    QStringLiteral("bsHorizontal"), QStringLiteral("bsVertical"), QStringLiteral("bsFDiagonal"),
    QStringLiteral("bsBDiagonal"), QStringLiteral("bsCross"), QStringLiteral("bsDiagCross") };

// In bit order.
const std::array<QString, 15> GridOptionBitNames
    = { QStringLiteral("goFixedVertLine"), QStringLiteral("goFixedHorzLine"), QStringLiteral("goVertLine"),
          QStringLiteral("goHorzLine"), QStringLiteral("goRangeSelect"), QStringLiteral("goDrawFocusSelected"),
          QStringLiteral("goRowSizing"), QStringLiteral("goColSizing"), QStringLiteral("goRowMoving"),
          QStringLiteral("goColMoving"), QStringLiteral("goEditing"), QStringLiteral("goTabs"),
          QStringLiteral("goRowSelect"), QStringLiteral("goAlwaysShowEditor"), QStringLiteral("goThumbTracking") };

const std::array<QString, 4> FontStyleBitNames = { QStringLiteral("fsBold"), QStringLiteral("fsItalic"),
    QStringLiteral("fsUnderline"), QStringLiteral("fsStrikeOut") };

[[noreturn]] void Invalid() { throw EReadError(QStringLiteral("Invalid property value")); }

template <std::size_t N> int IndexOfIdent(const std::array<QString, N>& names, const QString& ident)
{
    for (std::size_t i = 0; i < N; ++i)
        if (names[i] == ident)
            return int(i);
    Invalid();
}

template <std::size_t N> QStringList BitNames(const std::array<QString, N>& names, unsigned bits)
{
    QStringList result;
    for (std::size_t i = 0; i < N; ++i)
        if (bits & (1u << i))
            result.append(names[i]);
    return result;
}

template <std::size_t N> unsigned ReadBits(const std::array<QString, N>& names, TReader& reader)
{
    unsigned bits = 0;
    for (const QString& name : reader.ReadSet())
        bits |= 1u << IndexOfIdent(names, name);
    return bits;
}

} // namespace

QString CaptionTypeName(TSCGCellCaptionType value) { return CaptionTypeNames.at(std::size_t(value)); }
QString BrushStyleName(TBrushStyle value) { return BrushStyleNames.at(std::size_t(value)); }
QStringList GridOptionNames(TGridOptions options) { return BitNames(GridOptionBitNames, unsigned(options.toInt())); }
QStringList FontStyleNames(TFontStyles styles) { return BitNames(FontStyleBitNames, unsigned(styles.toInt())); }

TAlignment ReadAlignment(TReader& reader)
{
    TAlignment value = taLeftJustify;
    if (!AlignmentFromName(reader.ReadIdent(), value))
        Invalid();
    return value;
}

TTextLayout ReadTextLayout(TReader& reader)
{
    TTextLayout value = tlTop;
    if (!TextLayoutFromName(reader.ReadIdent(), value))
        Invalid();
    return value;
}

TImeMode ReadImeMode(TReader& reader)
{
    TImeMode value = imDontCare;
    if (!ImeModeFromName(reader.ReadIdent(), value))
        Invalid();
    return value;
}

TSCGCellCaptionType ReadCaptionType(TReader& reader)
{
    return TSCGCellCaptionType(IndexOfIdent(CaptionTypeNames, reader.ReadIdent()));
}

TBrushStyle ReadBrushStyle(TReader& reader) { return TBrushStyle(IndexOfIdent(BrushStyleNames, reader.ReadIdent())); }

TGridOptions ReadGridOptions(TReader& reader)
{
    return TGridOptions::fromInt(int(ReadBits(GridOptionBitNames, reader)));
}

TFontStyles ReadFontStyles(TReader& reader) { return TFontStyles::fromInt(int(ReadBits(FontStyleBitNames, reader))); }

TColor ReadColor(TReader& reader)
{
    if (reader.NextValue() != TValueType::vaIdent)
        return TColor(reader.ReadInteger());
    TColor color = clBlack;
    if (!IdentToColor(reader.ReadIdent(), color))
        Invalid();
    return color;
}

void WriteIntegerProperty(TWriter& writer, const QString& name, qint32 value)
{
    writer.WritePropName(name);
    writer.WriteInteger(value);
}

void WriteBooleanProperty(TWriter& writer, const QString& name, bool value)
{
    writer.WritePropName(name);
    writer.WriteBoolean(value);
}

void WriteStringProperty(TWriter& writer, const QString& name, const QString& value)
{
    writer.WritePropName(name);
    writer.WriteString(value);
}

void WriteIdentProperty(TWriter& writer, const QString& name, const QString& ident)
{
    writer.WritePropName(name);
    writer.WriteIdent(ident);
}

void WriteColorProperty(TWriter& writer, const QString& name, TColor color)
{
    const QString ident = ColorToIdent(color);
    if (ident.isEmpty())
        WriteIntegerProperty(writer, name, qint32(color));
    else
        WriteIdentProperty(writer, name, ident);
}

void ReadCollection(TReader& reader, const std::function<void(TReader&)>& readItem)
{
    reader.ReadCollectionBegin();
    while (!reader.EndOfList()) {
        // An item may be preceded by its order number, which says nothing here.
        const TValueType next = reader.NextValue();
        if (next == TValueType::vaInt8 || next == TValueType::vaInt16 || next == TValueType::vaInt32)
            reader.ReadInteger();
        reader.ReadListBegin();
        readItem(reader);
        reader.ReadListEnd();
    }
    reader.ReadListEnd();
}

} // namespace StreamNames
