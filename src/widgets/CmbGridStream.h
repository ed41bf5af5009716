#pragma once

// The two lists a combo grid adds to its stored form:
//
// CellData: list begin; for every non-empty cell, row by row and within a
// row column by column, the integers column and row and the cell's text;
// list end.
//
// CellKind: list begin; one record per column, in column order: the
// integers Kind, FixedAlign, Align and the item count N; N item texts (in a
// check column each followed by its integer mark); the integers
// DropDownWidth, Margin and EditLimit; the Boolean Editable; list end.
//
// Readers check every value before anything is handed back, so a stream
// that is short, has a value of the wrong kind or one out of its range
// raises EReadError and leaves nothing half-read behind.

#include <memory>
#include <vector>

#include <QString>

#include "widgets/CmbGridKind.h"

class TReader;
class TWriter;
class TStringGrid;

namespace ComboGridStream {

struct CellText {
    int Col = 0;
    int Row = 0;
    QString Text;
};

void WriteCellData(TWriter& writer, const TStringGrid& grid);
// The cells of one CellData list, in stream order. Negative positions are
// refused; the caller checks them against its grid.
std::vector<CellText> ReadCellData(TReader& reader);

void WriteCellKindRecord(TWriter& writer, const TCellKind& kind);
void WriteCellKinds(TWriter& writer, const std::vector<const TCellKind*>& kinds);
// The kinds of one CellKind list, for columns 0, 1, 2, ... in order.
std::vector<std::unique_ptr<TCellKind>> ReadCellKinds(TReader& reader);

} // namespace ComboGridStream
