#pragma once

// How the grid widgets store their property values in a component stream:
// enumerations and sets by the names of their values, colours by their
// identifier where they have one (clWindow, clRed) and otherwise, like
// numbers, as integers. A name that is not one of the values raises
// EReadError.

#include <functional>

#include <QString>
#include <QStringList>

#include "platform/Canvas.h"
#include "platform/ControlTypes.h"
#include "platform/StringGrid.h"
#include "widgets/StrCGridParams.h"

class TReader;
class TWriter;

namespace StreamNames {

QString CaptionTypeName(TSCGCellCaptionType value);
QString BrushStyleName(TBrushStyle value);
QStringList GridOptionNames(TGridOptions options);
QStringList FontStyleNames(TFontStyles styles);

TAlignment ReadAlignment(TReader& reader);
TTextLayout ReadTextLayout(TReader& reader);
TImeMode ReadImeMode(TReader& reader);
TSCGCellCaptionType ReadCaptionType(TReader& reader);
TBrushStyle ReadBrushStyle(TReader& reader);
TGridOptions ReadGridOptions(TReader& reader);
TFontStyles ReadFontStyles(TReader& reader);
// A colour stored either way, by identifier or as an integer.
TColor ReadColor(TReader& reader);

// A property name followed by its value.
void WriteIntegerProperty(TWriter& writer, const QString& name, qint32 value);
void WriteBooleanProperty(TWriter& writer, const QString& name, bool value);
void WriteStringProperty(TWriter& writer, const QString& name, const QString& value);
void WriteIdentProperty(TWriter& writer, const QString& name, const QString& ident);
void WriteColorProperty(TWriter& writer, const QString& name, TColor color);

// Reads a stored collection: readItem is called once per item, positioned
// on the item's first property, and must read up to the end of its list.
void ReadCollection(TReader& reader, const std::function<void(TReader&)>& readItem);

} // namespace StreamNames
