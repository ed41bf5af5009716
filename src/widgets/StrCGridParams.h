#pragma once

// The two collections a colour string grid owns: CellParams, whose items
// style one cell or a rectangle of cells, and Fonts, whose items are named
// fonts that cell items refer to by name. Items validate what they are
// given; a refused change leaves the item as it was. While the grid reads
// its stored properties (its loading state) the checks that look at other
// items or at the range are skipped, so that properties may arrive in any
// order.

#include <functional>
#include <memory>
#include <vector>

#include <QHash>
#include <QObject>
#include <QString>

#include "platform/Canvas.h"
#include "platform/ControlTypes.h"
#include "platform/StringGrid.h"

class TReader;
class TWriter;
class TStrColGrid;
class TSCGCellParam;
class TSCGCellParams;
class TSCGCellFonts;

// How an item's Caption and the cell's own text make up the text drawn.
enum TSCGCellCaptionType : std::uint8_t {
    ctCaption = 0, // Caption, or the cell text when Caption is empty
    ctCellText = 1, // the cell text, or Caption when the cell text is empty
    ctHeader = 2, // Caption then the cell text
    ctFooter = 3, // the cell text then Caption
    ctTop = 4, // Caption above the cell text, two lines
    ctBottom = 5, // the cell text above Caption, two lines
};

// The current cell moved into or out of a cell of the item (Sender).
using TSCGParamsCellChangedEvent = std::function<void(
    TSCGCellParam* Sender, TStrColGrid* AGrid, int AOldCol, int AOldRow, int ANewCol, int ANewRow)>;
using TSCGParamsColChangedEvent
    = std::function<void(TSCGCellParam* Sender, TStrColGrid* AGrid, int AOldCol, int ANewCol)>;
using TSCGParamsRowChangedEvent
    = std::function<void(TSCGCellParam* Sender, TStrColGrid* AGrid, int AOldRow, int ANewRow)>;
// A cell of the item has been drawn.
using TSCGDrawCellEvent = std::function<void(
    TSCGCellParam* Sender, TStrColGrid* AGrid, int ACol, int ARow, const TRect& Rect, TGridDrawState State)>;

// The text of a cell is about to be drawn; AValue may be changed. With
// ADoCanvasReset left true the canvas changes the handler makes are undone
// afterwards; set to false they stay for the cell. Sender is the grid for
// the grid's own event and the item for an item's event.
using TSCGOutCellTextEvent = std::function<void(QObject* Sender, TStrColGrid* AGrid, const TRect& ARect, int ACol,
    int ARow, const QString& ACaption, QString& AValue, bool& ADoCanvasReset)>;
// One line of a cell's text is about to be drawn, into ARect; the handler
// may change the text, its placement, whether an inner line separates it
// from the line above, and the canvas's font and colours.
using TSCGDrawTextOneLineEvent
    = std::function<void(QObject* Sender, TStrColGrid* AGrid, const TRect& ARect, int ACol, int ARow, int AIndex,
        TGridDrawState AState, QString& AText, TAlignment& AAlignment, TTextLayout& ALayout, bool& AInnerHorzLine)>;

// The styling of one cell, or of the rectangle Col..ColMax x Row..RowMax
// when RangeEnabled.
class TSCGCellParam final : public QObject {
    Q_OBJECT
public:
    explicit TSCGCellParam(TSCGCellParams& collection);
    TSCGCellParam(const TSCGCellParam&) = delete;
    TSCGCellParam& operator=(const TSCGCellParam&) = delete;

    TSCGCellParams& Collection() const { return collection_; }
    int Index() const;
    // "Name (Col,Row)-(ColMax,RowMax)", each number in three places.
    QString DisplayName() const;
    // Takes every property and event of source, without checks and without
    // reporting a change.
    void CopyFrom(const TSCGCellParam& source);

    // Whether (col, row) lies in the cells of the item.
    bool Covers(int col, int row) const
    {
        return rangeEnabled_ ? col >= col_ && col <= colMax_ && row >= row_ && row <= rowMax_
                             : col == col_ && row == row_;
    }

    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value);
    int Col() const { return col_; }
    void SetCol(int value);
    int ColMax() const { return colMax_; }
    void SetColMax(int value);
    QString Caption() const { return caption_; }
    void SetCaption(const QString& value);
    TSCGCellCaptionType CaptionType() const { return captionType_; }
    void SetCaptionType(TSCGCellCaptionType value);
    TColor CellColor() const { return cellColor_; }
    void SetCellColor(TColor value);
    bool CellColorEnabled() const { return cellColorEnabled_; }
    void SetCellColorEnabled(bool value);
    const TBrush& Brush() const { return brush_; }
    void SetBrush(const TBrush& value);
    bool BrushEnabled() const { return brushEnabled_; }
    void SetBrushEnabled(bool value);
    QString FontName() const { return fontName_; }
    // A name that no item of the grid's Fonts has becomes an empty name.
    void SetFontName(const QString& value);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor value);
    bool FontColorEnabled() const { return fontColorEnabled_; }
    void SetFontColorEnabled(bool value);
    int FontWidth() const { return fontWidth_; }
    void SetFontWidth(int value);
    TImeMode ImeMode() const { return imeMode_; }
    void SetImeMode(TImeMode value) { imeMode_ = value; }
    bool ImeModeEnabled() const { return imeModeEnabled_; }
    void SetImeModeEnabled(bool value) { imeModeEnabled_ = value; }
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value);
    QString Name() const { return name_; }
    void SetName(const QString& value) { name_ = value; }
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions value);
    bool OptionsEnabled() const { return optionsEnabled_; }
    void SetOptionsEnabled(bool value);
    bool RangeEnabled() const { return rangeEnabled_; }
    void SetRangeEnabled(bool value);
    int Row() const { return row_; }
    void SetRow(int value);
    int RowMax() const { return rowMax_; }
    void SetRowMax(int value);
    int Tag() const { return tag_; }
    void SetTag(int value) { tag_ = value; }

    TSCGParamsCellChangedEvent OnEnterCell;
    TSCGParamsCellChangedEvent OnExitCell;
    TSCGParamsColChangedEvent OnEnterCol;
    TSCGParamsColChangedEvent OnExitCol;
    TSCGParamsRowChangedEvent OnEnterRow;
    TSCGParamsRowChangedEvent OnExitRow;
    TSCGOutCellTextEvent OnOutCellText;
    TSCGDrawTextOneLineEvent OnDrawTextOneLine;
    TSCGDrawCellEvent OnDrawCell;

    // The stored form of the item: every property that differs from its
    // stream default, in declaration order.
    void WriteProperties(TWriter& writer) const;
    // Reads one stored property; false for a name the item does not know.
    bool ReadProperty(const QString& name, TReader& reader);

private:
    void Changed();
    void PositionChanged();
    TStrColGrid& Grid() const;

    TSCGCellParams& collection_;
    TAlignment alignment_ = taLeftJustify;
    int col_ = 0;
    int colMax_ = 0;
    QString caption_;
    TSCGCellCaptionType captionType_ = ctCellText;
    TColor cellColor_ = clWindow;
    bool cellColorEnabled_ = false;
    TBrush brush_;
    bool brushEnabled_ = false;
    QString fontName_;
    TColor fontColor_ = clWindowText;
    bool fontColorEnabled_ = false;
    int fontWidth_ = 1;
    TImeMode imeMode_ = imDontCare;
    bool imeModeEnabled_ = false;
    TTextLayout layout_ = tlTop;
    QString name_;
    TGridOptions options_;
    bool optionsEnabled_ = false;
    bool rangeEnabled_ = false;
    int row_ = 0;
    int rowMax_ = 0;
    int tag_ = 0;
};

// The cell items of a grid, in order: where items overlap, the later one
// decides.
class TSCGCellParams {
public:
    explicit TSCGCellParams(TStrColGrid& grid);
    ~TSCGCellParams();
    TSCGCellParams(const TSCGCellParams&) = delete;
    TSCGCellParams& operator=(const TSCGCellParams&) = delete;

    TStrColGrid& Grid() const { return grid_; }
    int Count() const { return int(items_.size()); }
    // EListError for an index outside the collection.
    TSCGCellParam* Items(int index) const;
    // Appends a new item named "パラメータ<count>".
    TSCGCellParam* Add();
    void Delete(int index);
    void Clear();
    int IndexOf(const TSCGCellParam* item) const;
    // Replaces the items with copies of source's items.
    void Assign(const TSCGCellParams& source);

    // Changes between BeginUpdate and EndUpdate are reported once, at the end.
    void BeginUpdate() { ++updateCount_; }
    void EndUpdate();
    // An item (or the collection) changed: the grid repaints, so that a
    // shown grid shows the change at once.
    void Update();

    // The last item that covers (col, row), or none. Answers exactly what a
    // scan from the last item to the first would, but keeps an index of the
    // single-cell items by position so that a grid with an item per cell
    // does not pay for a full scan per painted cell.
    TSCGCellParam* Find(int col, int row) const;

    void Write(TWriter& writer) const;
    // Replaces the items with those read; call while the grid is loading.
    void Read(TReader& reader);

private:
    friend class TSCGCellParam;
    // An item's Col, Row or RangeEnabled changed.
    void PositionChanged(const TSCGCellParam& item);
    void IndexTail() const;

    TStrColGrid& grid_;
    std::vector<std::unique_ptr<TSCGCellParam>> items_;
    int updateCount_ = 0;

    // The position index covers items [0, indexed_): single-cell items by
    // position (the last one of each position), range items in order.
    mutable int indexed_ = 0;
    mutable QHash<quint64, int> singles_;
    mutable std::vector<int> ranges_;
};

// A named font for cell items.
class TSCGCellFont final : public QObject {
    Q_OBJECT
public:
    // The item is created with a copy of the grid's font.
    explicit TSCGCellFont(TSCGCellFonts& collection);
    // Cell items that use this font fall back to the grid's font.
    ~TSCGCellFont() override;
    TSCGCellFont(const TSCGCellFont&) = delete;
    TSCGCellFont& operator=(const TSCGCellFont&) = delete;

    TSCGCellFonts& Collection() const { return collection_; }
    int Index() const;
    // "Name( face, size )".
    QString DisplayName() const;
    // Takes source's font and name, without the name checks.
    void CopyFrom(const TSCGCellFont& source);

    const TFont& Font() const { return font_; }
    // The grid repaints with the new font.
    void SetFont(const TFont& value);
    QString Name() const { return name_; }
    // Refuses an empty name and a name some font of the collection (this one
    // included) already has; cell items using the old name follow the new one.
    void SetName(const QString& value);

    void WriteProperties(TWriter& writer) const;
    bool ReadProperty(const QString& name, TReader& reader);

private:
    friend class TSCGCellFonts;

    TSCGCellFonts& collection_;
    TFont font_;
    QString name_;
};

class TSCGCellFonts {
public:
    explicit TSCGCellFonts(TStrColGrid& grid);
    ~TSCGCellFonts();
    TSCGCellFonts(const TSCGCellFonts&) = delete;
    TSCGCellFonts& operator=(const TSCGCellFonts&) = delete;

    TStrColGrid& Grid() const { return grid_; }
    int Count() const { return int(items_.size()); }
    TSCGCellFont* Items(int index) const;
    // Appends a new item named "フォント<count>".
    TSCGCellFont* Add();
    void Delete(int index);
    void Clear();
    int IndexOf(const TSCGCellFont* item) const;
    void Assign(const TSCGCellFonts& source);
    // The index of the first font called name (exact comparison); raises
    // EGeneralError when there is none.
    int IndexOfName(const QString& name) const;

    void Write(TWriter& writer) const;
    void Read(TReader& reader);

private:
    TStrColGrid& grid_;
    std::vector<std::unique_ptr<TSCGCellFont>> items_;
};
