#include "widgets/StrCGridParams.h"

#include "platform/Errors.h"
#include "platform/FormStream.h"
#include "widgets/StrCGrid.h"
#include "widgets/StreamNames.h"

// ---- TSCGCellParam ----

TSCGCellParam::TSCGCellParam(TSCGCellParams& collection)
    : collection_(collection)
    , options_(collection.Grid().Options())
{
}

TStrColGrid& TSCGCellParam::Grid() const { return collection_.Grid(); }

int TSCGCellParam::Index() const { return collection_.IndexOf(this); }

QString TSCGCellParam::DisplayName() const
{
    // Filled in one pass, so that a '%' in the name stays as it is.
    const auto padded = [](int value) { return QStringLiteral("%1").arg(value, 3); };
    return QStringLiteral("%1 (%2,%3)-(%4,%5)")
        .arg(name_, padded(col_), padded(row_), padded(colMax_), padded(rowMax_));
}

void TSCGCellParam::Changed() { collection_.Update(); }

void TSCGCellParam::PositionChanged() { collection_.PositionChanged(*this); }

void TSCGCellParam::CopyFrom(const TSCGCellParam& source)
{
    if (&source == this)
        return;
    alignment_ = source.alignment_;
    col_ = source.col_;
    colMax_ = source.colMax_;
    caption_ = source.caption_;
    captionType_ = source.captionType_;
    cellColor_ = source.cellColor_;
    cellColorEnabled_ = source.cellColorEnabled_;
    brush_ = source.brush_;
    brushEnabled_ = source.brushEnabled_;
    fontName_ = source.fontName_;
    fontColor_ = source.fontColor_;
    fontColorEnabled_ = source.fontColorEnabled_;
    fontWidth_ = source.fontWidth_;
    imeMode_ = source.imeMode_;
    imeModeEnabled_ = source.imeModeEnabled_;
    layout_ = source.layout_;
    name_ = source.name_;
    options_ = source.options_;
    optionsEnabled_ = source.optionsEnabled_;
    rangeEnabled_ = source.rangeEnabled_;
    row_ = source.row_;
    rowMax_ = source.rowMax_;
    tag_ = source.tag_;
    OnEnterCell = source.OnEnterCell;
    OnExitCell = source.OnExitCell;
    OnEnterCol = source.OnEnterCol;
    OnExitCol = source.OnExitCol;
    OnEnterRow = source.OnEnterRow;
    OnExitRow = source.OnExitRow;
    OnOutCellText = source.OnOutCellText;
    OnDrawTextOneLine = source.OnDrawTextOneLine;
    OnDrawCell = source.OnDrawCell;
    // Not a change of the styling, but the position index must learn it.
    PositionChanged();
}

void TSCGCellParam::SetAlignment(TAlignment value)
{
    alignment_ = value;
    Changed();
}

void TSCGCellParam::SetCol(int value)
{
    if (value < 0)
        throw ERangeError(DisplayName() + QStringLiteral(".Col の値が 0 を下まわりました"));
    const int old = col_;
    col_ = value;
    PositionChanged();
    try {
        SetColMax(colMax_);
    } catch (...) {
        col_ = old;
        PositionChanged();
        throw;
    }
}

void TSCGCellParam::SetColMax(int value)
{
    const int old = colMax_;
    colMax_ = value;
    try {
        SetRangeEnabled(rangeEnabled_);
    } catch (...) {
        colMax_ = old;
        throw;
    }
}

void TSCGCellParam::SetRow(int value)
{
    if (value < 0)
        throw ERangeError(DisplayName() + QStringLiteral(".Row の値が 0 を下まわりました"));
    const int old = row_;
    row_ = value;
    PositionChanged();
    try {
        SetRowMax(rowMax_);
    } catch (...) {
        row_ = old;
        PositionChanged();
        throw;
    }
}

void TSCGCellParam::SetRowMax(int value)
{
    const int old = rowMax_;
    rowMax_ = value;
    try {
        SetRangeEnabled(rangeEnabled_);
    } catch (...) {
        rowMax_ = old;
        throw;
    }
}

void TSCGCellParam::SetRangeEnabled(bool value)
{
    if (value && !Grid().Loading() && (colMax_ < col_ || rowMax_ < row_))
        throw ERangeError(QStringLiteral("範囲が不正です"));
    if (rangeEnabled_ != value) {
        rangeEnabled_ = value;
        PositionChanged();
    }
    Changed();
}

void TSCGCellParam::SetCaption(const QString& value)
{
    caption_ = value;
    Changed();
}

void TSCGCellParam::SetCaptionType(TSCGCellCaptionType value)
{
    captionType_ = value;
    Changed();
}

void TSCGCellParam::SetCellColor(TColor value)
{
    cellColor_ = value;
    Changed();
}

void TSCGCellParam::SetCellColorEnabled(bool value)
{
    cellColorEnabled_ = value;
    Changed();
}

void TSCGCellParam::SetBrush(const TBrush& value)
{
    brush_ = value;
    Changed();
}

void TSCGCellParam::SetBrushEnabled(bool value)
{
    brushEnabled_ = value;
    Changed();
}

void TSCGCellParam::SetFontName(const QString& value)
{
    // A name the Fonts do not know is dropped rather than refused, so that
    // a cell never points at a missing font through this setter.
    bool known = true;
    if (!value.isEmpty() && !Grid().Loading()) {
        try {
            Grid().Fonts().IndexOfName(value);
        } catch (const EGeneralError&) {
            known = false;
        }
    }
    fontName_ = known ? value : QString();
    Changed();
}

void TSCGCellParam::SetFontColor(TColor value)
{
    fontColor_ = value;
    Changed();
}

void TSCGCellParam::SetFontColorEnabled(bool value)
{
    fontColorEnabled_ = value;
    Changed();
}

void TSCGCellParam::SetFontWidth(int value)
{
    if (value < 0)
        throw ERangeError(DisplayName() + QStringLiteral(".FontWidth の値が範囲を超えました"));
    fontWidth_ = value;
    Changed();
}

void TSCGCellParam::SetLayout(TTextLayout value)
{
    layout_ = value;
    Changed();
}

void TSCGCellParam::SetOptions(TGridOptions value)
{
    options_ = value;
    Changed();
}

void TSCGCellParam::SetOptionsEnabled(bool value)
{
    optionsEnabled_ = value;
    Changed();
}

void TSCGCellParam::WriteProperties(TWriter& writer) const
{
    using namespace StreamNames;
    if (alignment_ != taLeftJustify)
        WriteIdentProperty(writer, QStringLiteral("Alignment"), AlignmentName(alignment_));
    WriteStringProperty(writer, QStringLiteral("Caption"), caption_);
    if (captionType_ != ctCellText)
        WriteIdentProperty(writer, QStringLiteral("CaptionType"), CaptionTypeName(captionType_));
    WriteColorProperty(writer, QStringLiteral("CellColor"), cellColor_);
    if (cellColorEnabled_)
        WriteBooleanProperty(writer, QStringLiteral("CellColorEnabled"), true);
    WriteIntegerProperty(writer, QStringLiteral("Col"), col_);
    WriteIntegerProperty(writer, QStringLiteral("ColMax"), colMax_);
    WriteColorProperty(writer, QStringLiteral("Brush.Color"), brush_.Color());
    WriteIdentProperty(writer, QStringLiteral("Brush.Style"), BrushStyleName(brush_.Style()));
    if (brushEnabled_)
        WriteBooleanProperty(writer, QStringLiteral("BrushEnabled"), true);
    WriteStringProperty(writer, QStringLiteral("FontName"), fontName_);
    WriteColorProperty(writer, QStringLiteral("FontColor"), fontColor_);
    if (fontColorEnabled_)
        WriteBooleanProperty(writer, QStringLiteral("FontColorEnabled"), true);
    WriteIntegerProperty(writer, QStringLiteral("FontWidth"), fontWidth_);
    if (imeMode_ != imDontCare)
        WriteIdentProperty(writer, QStringLiteral("ImeMode"), ImeModeName(imeMode_));
    WriteBooleanProperty(writer, QStringLiteral("ImeModeEnabled"), imeModeEnabled_);
    if (layout_ != tlTop)
        WriteIdentProperty(writer, QStringLiteral("Layout"), TextLayoutName(layout_));
    WriteStringProperty(writer, QStringLiteral("Name"), name_);
    writer.WritePropName(QStringLiteral("Options"));
    writer.WriteSet(GridOptionNames(options_));
    if (optionsEnabled_)
        WriteBooleanProperty(writer, QStringLiteral("OptionsEnabled"), true);
    if (rangeEnabled_)
        WriteBooleanProperty(writer, QStringLiteral("RangeEnabled"), true);
    WriteIntegerProperty(writer, QStringLiteral("Row"), row_);
    WriteIntegerProperty(writer, QStringLiteral("RowMax"), rowMax_);
    WriteIntegerProperty(writer, QStringLiteral("Tag"), tag_);
}

bool TSCGCellParam::ReadProperty(const QString& name, TReader& reader)
{
    using namespace StreamNames;
    if (name == QStringLiteral("Alignment"))
        SetAlignment(ReadAlignment(reader));
    else if (name == QStringLiteral("Caption"))
        SetCaption(reader.ReadString());
    else if (name == QStringLiteral("CaptionType"))
        SetCaptionType(ReadCaptionType(reader));
    else if (name == QStringLiteral("CellColor"))
        SetCellColor(ReadColor(reader));
    else if (name == QStringLiteral("CellColorEnabled"))
        SetCellColorEnabled(reader.ReadBoolean());
    else if (name == QStringLiteral("Col"))
        SetCol(reader.ReadInteger());
    else if (name == QStringLiteral("ColMax"))
        SetColMax(reader.ReadInteger());
    else if (name == QStringLiteral("Brush.Color")) {
        TBrush brush = brush_;
        brush.SetColor(ReadColor(reader));
        SetBrush(brush);
    } else if (name == QStringLiteral("Brush.Style")) {
        TBrush brush = brush_;
        brush.SetStyle(ReadBrushStyle(reader));
        SetBrush(brush);
    } else if (name == QStringLiteral("BrushEnabled"))
        SetBrushEnabled(reader.ReadBoolean());
    else if (name == QStringLiteral("FontName"))
        SetFontName(reader.ReadString());
    else if (name == QStringLiteral("FontColor"))
        SetFontColor(ReadColor(reader));
    else if (name == QStringLiteral("FontColorEnabled"))
        SetFontColorEnabled(reader.ReadBoolean());
    else if (name == QStringLiteral("FontWidth"))
        SetFontWidth(reader.ReadInteger());
    else if (name == QStringLiteral("ImeMode"))
        SetImeMode(ReadImeMode(reader));
    else if (name == QStringLiteral("ImeModeEnabled"))
        SetImeModeEnabled(reader.ReadBoolean());
    else if (name == QStringLiteral("Layout"))
        SetLayout(ReadTextLayout(reader));
    else if (name == QStringLiteral("Name"))
        SetName(reader.ReadString());
    else if (name == QStringLiteral("Options"))
        SetOptions(ReadGridOptions(reader));
    else if (name == QStringLiteral("OptionsEnabled"))
        SetOptionsEnabled(reader.ReadBoolean());
    else if (name == QStringLiteral("RangeEnabled"))
        SetRangeEnabled(reader.ReadBoolean());
    else if (name == QStringLiteral("Row"))
        SetRow(reader.ReadInteger());
    else if (name == QStringLiteral("RowMax"))
        SetRowMax(reader.ReadInteger());
    else if (name == QStringLiteral("Tag"))
        SetTag(reader.ReadInteger());
    else
        return false;
    return true;
}

// ---- TSCGCellParams ----

TSCGCellParams::TSCGCellParams(TStrColGrid& grid)
    : grid_(grid)
{
}

TSCGCellParams::~TSCGCellParams() = default;

TSCGCellParam* TSCGCellParams::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return items_[std::size_t(index)].get();
}

TSCGCellParam* TSCGCellParams::Add()
{
    items_.push_back(std::make_unique<TSCGCellParam>(*this));
    TSCGCellParam* item = items_.back().get();
    item->SetName(QStringLiteral("パラメータ%1").arg(Count()));
    Update();
    return item;
}

void TSCGCellParams::Delete(int index)
{
    Items(index);
    std::unique_ptr<TSCGCellParam> item = std::move(items_[std::size_t(index)]);
    items_.erase(items_.begin() + index);
    indexed_ = 0;
    singles_.clear();
    ranges_.clear();
    item.reset();
    Update();
}

void TSCGCellParams::Clear()
{
    items_.clear();
    indexed_ = 0;
    singles_.clear();
    ranges_.clear();
    Update();
}

int TSCGCellParams::IndexOf(const TSCGCellParam* item) const
{
    // From the end: the items touched most are the ones just added.
    for (int i = Count() - 1; i >= 0; --i)
        if (items_[std::size_t(i)].get() == item)
            return i;
    return -1;
}

void TSCGCellParams::Assign(const TSCGCellParams& source)
{
    if (&source == this)
        return;
    BeginUpdate();
    try {
        Clear();
        for (const auto& item : source.items_)
            Add()->CopyFrom(*item);
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

void TSCGCellParams::EndUpdate()
{
    if (updateCount_ > 0 && --updateCount_ == 0)
        Update();
}

void TSCGCellParams::Update()
{
    if (updateCount_ == 0)
        grid_.InvalidateGrid();
}

void TSCGCellParams::PositionChanged(const TSCGCellParam& item)
{
    if (indexed_ > 0 && IndexOf(&item) < indexed_) {
        indexed_ = 0;
        singles_.clear();
        ranges_.clear();
    }
}

namespace {
quint64 PositionKey(int col, int row) { return quint64(quint32(col)) << 32 | quint32(row); }
} // namespace

void TSCGCellParams::IndexTail() const
{
    // Items added since the last lookup come after every indexed item, so
    // they override whatever the index holds for their cells.
    for (int i = indexed_; i < Count(); ++i) {
        const TSCGCellParam& item = *items_[std::size_t(i)];
        if (item.RangeEnabled())
            ranges_.push_back(i);
        else
            singles_.insert(PositionKey(item.Col(), item.Row()), i);
    }
    indexed_ = Count();
}

TSCGCellParam* TSCGCellParams::Find(int col, int row) const
{
    IndexTail();
    const auto found = singles_.constFind(PositionKey(col, row));
    const int single = found == singles_.cend() ? -1 : *found;
    // A range item decides only when it comes after the single-cell item.
    for (auto range = ranges_.rbegin(); range != ranges_.rend() && *range > single; ++range)
        if (items_[std::size_t(*range)]->Covers(col, row))
            return items_[std::size_t(*range)].get();
    return single >= 0 ? items_[std::size_t(single)].get() : nullptr;
}

void TSCGCellParams::Write(TWriter& writer) const
{
    writer.WriteCollectionBegin();
    for (const auto& item : items_) {
        writer.WriteListBegin();
        item->WriteProperties(writer);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

void TSCGCellParams::Read(TReader& reader)
{
    BeginUpdate();
    try {
        Clear();
        StreamNames::ReadCollection(reader, [this](TReader& r) {
            TSCGCellParam* item = Add();
            while (!r.EndOfList()) {
                const QString name = r.ReadPropName();
                if (!item->ReadProperty(name, r))
                    r.SkipValue();
            }
        });
    } catch (...) {
        EndUpdate();
        throw;
    }
    EndUpdate();
}

// ---- TSCGCellFont ----

TSCGCellFont::TSCGCellFont(TSCGCellFonts& collection)
    : collection_(collection)
    , font_(collection.Grid().Font())
{
}

TSCGCellFont::~TSCGCellFont()
{
    TSCGCellParams& params = collection_.Grid().CellParams();
    for (int i = 0; i < params.Count(); ++i) {
        TSCGCellParam* param = params.Items(i);
        if (param->FontName() == name_)
            param->SetFontName(QString());
    }
}

int TSCGCellFont::Index() const { return collection_.IndexOf(this); }

QString TSCGCellFont::DisplayName() const
{
    return QStringLiteral("%1( %2, %3 )").arg(name_, font_.Name(), QString::number(font_.Size()));
}

void TSCGCellFont::CopyFrom(const TSCGCellFont& source)
{
    font_ = source.font_;
    name_ = source.name_;
}

void TSCGCellFont::SetFont(const TFont& value)
{
    font_ = value;
    // The cells whose items name this font show it at once.
    collection_.Grid().InvalidateGrid();
}

void TSCGCellFont::SetName(const QString& value)
{
    if (value.isEmpty())
        throw EGeneralError(QStringLiteral("フォント名は空にできません"));
    TStrColGrid& grid = collection_.Grid();
    const bool loading = grid.Loading();
    if (!loading) {
        for (int i = 0; i < collection_.Count(); ++i)
            if (collection_.Items(i)->Name() == value)
                throw EGeneralError(QStringLiteral("このフォント名はすでに使用されています"));
    }
    const QString old = name_;
    name_ = value;
    if (!loading) {
        TSCGCellParams& params = grid.CellParams();
        for (int i = 0; i < params.Count(); ++i) {
            TSCGCellParam* param = params.Items(i);
            if (param->FontName() == old)
                param->SetFontName(value);
        }
    }
}

void TSCGCellFont::WriteProperties(TWriter& writer) const
{
    using namespace StreamNames;
    WriteIntegerProperty(writer, QStringLiteral("Font.Charset"), font_.Charset());
    WriteColorProperty(writer, QStringLiteral("Font.Color"), font_.Color());
    WriteIntegerProperty(writer, QStringLiteral("Font.Height"), font_.Height());
    WriteStringProperty(writer, QStringLiteral("Font.Name"), font_.Name());
    writer.WritePropName(QStringLiteral("Font.Style"));
    writer.WriteSet(FontStyleNames(font_.Style()));
    WriteStringProperty(writer, QStringLiteral("Name"), name_);
}

bool TSCGCellFont::ReadProperty(const QString& name, TReader& reader)
{
    if (name == QStringLiteral("Font.Charset"))
        font_.SetCharset(reader.ReadInteger());
    else if (name == QStringLiteral("Font.Color"))
        font_.SetColor(StreamNames::ReadColor(reader));
    else if (name == QStringLiteral("Font.Height"))
        font_.SetHeight(reader.ReadInteger());
    else if (name == QStringLiteral("Font.Name"))
        font_.SetName(reader.ReadString());
    else if (name == QStringLiteral("Font.Style"))
        font_.SetStyle(StreamNames::ReadFontStyles(reader));
    else if (name == QStringLiteral("Name"))
        SetName(reader.ReadString());
    else
        return false;
    return true;
}

// ---- TSCGCellFonts ----

TSCGCellFonts::TSCGCellFonts(TStrColGrid& grid)
    : grid_(grid)
{
}

TSCGCellFonts::~TSCGCellFonts() = default;

TSCGCellFont* TSCGCellFonts::Items(int index) const
{
    if (index < 0 || index >= Count())
        throw EListError(QStringLiteral("List index out of bounds (%1)").arg(index));
    return items_[std::size_t(index)].get();
}

TSCGCellFont* TSCGCellFonts::Add()
{
    items_.push_back(std::make_unique<TSCGCellFont>(*this));
    TSCGCellFont* item = items_.back().get();
    // The default name is not checked against the others: after deletions
    // it may repeat one, and the user renames it.
    item->name_ = QStringLiteral("フォント%1").arg(Count());
    return item;
}

void TSCGCellFonts::Delete(int index)
{
    Items(index);
    std::unique_ptr<TSCGCellFont> item = std::move(items_[std::size_t(index)]);
    items_.erase(items_.begin() + index);
    item.reset();
}

void TSCGCellFonts::Clear()
{
    while (!items_.empty())
        Delete(Count() - 1);
}

int TSCGCellFonts::IndexOf(const TSCGCellFont* item) const
{
    for (int i = 0; i < Count(); ++i)
        if (items_[std::size_t(i)].get() == item)
            return i;
    return -1;
}

void TSCGCellFonts::Assign(const TSCGCellFonts& source)
{
    if (&source == this)
        return;
    Clear();
    for (const auto& item : source.items_)
        Add()->CopyFrom(*item);
}

int TSCGCellFonts::IndexOfName(const QString& name) const
{
    for (int i = 0; i < Count(); ++i)
        if (items_[std::size_t(i)]->Name() == name)
            return i;
    throw EGeneralError(QStringLiteral("CellParams で指定されたフォント名が Fonts に登録されていません"));
}

void TSCGCellFonts::Write(TWriter& writer) const
{
    writer.WriteCollectionBegin();
    for (const auto& item : items_) {
        writer.WriteListBegin();
        item->WriteProperties(writer);
        writer.WriteListEnd();
    }
    writer.WriteListEnd();
}

void TSCGCellFonts::Read(TReader& reader)
{
    Clear();
    StreamNames::ReadCollection(reader, [this](TReader& r) {
        TSCGCellFont* item = Add();
        while (!r.EndOfList()) {
            const QString name = r.ReadPropName();
            if (!item->ReadProperty(name, r))
                r.SkipValue();
        }
    });
}
