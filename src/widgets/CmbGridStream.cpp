#include "widgets/CmbGridStream.h"

#include <limits>

#include "platform/FormStream.h"
#include "platform/StringGrid.h"

namespace ComboGridStream {

namespace {

[[noreturn]] void InvalidValue() { throw EReadError(QStringLiteral("Invalid property value")); }

qint32 ReadInRange(TReader& reader, qint32 lowest, qint32 highest)
{
    const qint32 value = reader.ReadInteger();
    if (value < lowest || value > highest)
        InvalidValue();
    return value;
}

std::unique_ptr<TCellKind> ReadRecord(TReader& reader)
{
    auto kind = std::make_unique<TCellKind>();
    const auto type = TCellKindType(ReadInRange(reader, ckEdit, ckCheck));
    kind->SetKind(type);
    // The setters, as a stored kind belongs to no grid yet nothing repaints.
    kind->SetFixedAlign(CellAlign::fromInt(ReadInRange(reader, 0, 255)));
    kind->SetAlign(CellAlign::fromInt(ReadInRange(reader, 0, 255)));
    // The count is only trusted as far as items actually follow: a short
    // stream ends in a read error long before a large count is reached.
    const qint32 count = ReadInRange(reader, 0, std::numeric_limits<qint32>::max());
    for (qint32 i = 0; i < count; ++i) {
        const QString text = reader.ReadString();
        const qint32 mark = type == ckCheck ? reader.ReadInteger() : 0;
        kind->Items().Add(text, mark);
    }
    kind->SetDropDownWidth(reader.ReadInteger());
    kind->SetMargin(qint8(ReadInRange(reader, -128, 127)));
    kind->SetEditLimit(reader.ReadInteger());
    kind->SetEditable(reader.ReadBoolean());
    return kind;
}

} // namespace

void WriteCellData(TWriter& writer, const TStringGrid& grid)
{
    writer.WriteListBegin();
    for (int row = 0; row < grid.RowCount(); ++row) {
        for (int col = 0; col < grid.ColCount(); ++col) {
            const QString text = grid.Cells(col, row);
            if (text.isEmpty())
                continue;
            writer.WriteInteger(col);
            writer.WriteInteger(row);
            writer.WriteString(text);
        }
    }
    writer.WriteListEnd();
}

std::vector<CellText> ReadCellData(TReader& reader)
{
    std::vector<CellText> cells;
    reader.ReadListBegin();
    while (!reader.EndOfList()) {
        CellText cell;
        cell.Col = ReadInRange(reader, 0, std::numeric_limits<qint32>::max());
        cell.Row = ReadInRange(reader, 0, std::numeric_limits<qint32>::max());
        cell.Text = reader.ReadString();
        cells.push_back(std::move(cell));
    }
    reader.ReadListEnd();
    return cells;
}

void WriteCellKindRecord(TWriter& writer, const TCellKind& kind)
{
    writer.WriteInteger(kind.Kind());
    writer.WriteInteger(kind.FixedAlign().toInt());
    writer.WriteInteger(kind.Align().toInt());
    const TCellKindItems& items = kind.Items();
    writer.WriteInteger(items.Count());
    for (const TCellKindItems::Item& item : items.Items()) {
        writer.WriteString(item.Text);
        if (kind.Kind() == ckCheck)
            writer.WriteInteger(item.Mark);
    }
    writer.WriteInteger(kind.DropDownWidth());
    writer.WriteInteger(kind.Margin());
    writer.WriteInteger(kind.EditLimit());
    writer.WriteBoolean(kind.Editable());
}

void WriteCellKinds(TWriter& writer, const std::vector<const TCellKind*>& kinds)
{
    writer.WriteListBegin();
    for (const TCellKind* kind : kinds)
        WriteCellKindRecord(writer, *kind);
    writer.WriteListEnd();
}

std::vector<std::unique_ptr<TCellKind>> ReadCellKinds(TReader& reader)
{
    std::vector<std::unique_ptr<TCellKind>> kinds;
    reader.ReadListBegin();
    while (!reader.EndOfList())
        kinds.push_back(ReadRecord(reader));
    reader.ReadListEnd();
    return kinds;
}

} // namespace ComboGridStream
