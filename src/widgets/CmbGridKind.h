#pragma once

// The kind of a combo grid column: how its cells are shown and edited (text
// with an edit mask, a length limit and a number format; text with a list of
// choices; a push button; a check box that steps through values) and where
// the text sits in its fixed and its other cells.

#include <cstdint>
#include <vector>

#include <QFlags>
#include <QString>

class TComboGrid;

// Where a text sits in its cell. Several flags may be set: right wins over
// centre, bottom over top; no horizontal flag is left, no vertical flag is
// centred. The set is stored as one byte, so the values are fixed.
enum TCellAlignFlag : std::uint8_t {
    caLeft = 1,
    caCenter = 2,
    caRight = 4,
    caTop = 8,
    caVCenter = 16,
    caBottom = 32,
};
Q_DECLARE_FLAGS(CellAlign, TCellAlignFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(CellAlign)

// The default of both alignments: left and vertically centred (17).
inline constexpr CellAlign DefaultCellAlign = CellAlign(caLeft | caVCenter);

// How a column's cells are shown and edited; the values are stored.
enum TCellKindType : std::uint8_t {
    ckEdit = 0, // text with edit mask, length limit and number format
    ckCombo = 1, // text with a drop-down list of choices
    ckButton = 2, // push button
    ckCheck = 3, // check box stepping through the items
};

// The texts of a column kind, each with an integer mark (used by check
// columns: 1 marks an "on" value).
class TCellKindItems {
public:
    struct Item {
        QString Text;
        qint32 Mark = 0;
        friend bool operator==(const Item&, const Item&) = default;
    };

    int Count() const { return int(items_.size()); }
    bool IsEmpty() const { return items_.empty(); }
    // EListError "List index out of bounds (<index>)" outside the list.
    const QString& Strings(int index) const;
    qint32 Marks(int index) const;
    void Add(const QString& text, qint32 mark = 0);
    void Clear() { items_.clear(); }
    // The first item equal to text, letter case ignored; -1 when none is.
    int IndexOf(const QString& text) const;
    const std::vector<Item>& Items() const { return items_; }

    friend bool operator==(const TCellKindItems&, const TCellKindItems&) = default;

private:
    const Item& At(int index) const;

    std::vector<Item> items_;
};

// Item 0 of a button or check column with this text shows the cell's own
// text as the caption.
inline const QString UseCellData = QStringLiteral("%%USECELLDATA%%");

class TCellKind {
public:
    TCellKind() = default;
    TCellKind(const TCellKind&) = delete;
    TCellKind& operator=(const TCellKind&) = delete;

    // Alignment in the column's other cells and in its fixed cells. A change
    // repaints the owning grid, if the kind has one.
    CellAlign Align() const { return align_; }
    void SetAlign(CellAlign value);
    CellAlign FixedAlign() const { return fixedAlign_; }
    void SetFixedAlign(CellAlign value);

    TCellKindType Kind() const { return kind_; }
    void SetKind(TCellKindType value) { kind_ = value; }

    // The grid that made this kind for one of its columns; none for kinds
    // read from a stored form and for the editor's copy.
    TComboGrid* Grid() const { return grid_; }
    void SetGrid(TComboGrid* grid) { grid_ = grid; }

    // By kind: ckEdit item 0 the edit mask, item 1 the number format;
    // ckCombo the choices; ckButton item 0 the caption; ckCheck the values
    // stepped through, with their marks.
    TCellKindItems& Items() { return items_; }
    const TCellKindItems& Items() const { return items_; }
    // A copy of source, or an empty list for none.
    void SetItems(const TCellKindItems* source);

    bool Editable() const { return editable_; }
    void SetEditable(bool value) { editable_ = value; }
    // Width of the drop-down list in pixels; never narrower than the editor.
    int DropDownWidth() const { return dropDownWidth_; }
    void SetDropDownWidth(int value) { dropDownWidth_ = value; }
    // Text inset in pixels for left and right alignment.
    qint8 Margin() const { return margin_; }
    void SetMargin(qint8 value) { margin_ = value; }
    // Longest text the editor of a ckEdit column takes; 0 for no limit.
    int EditLimit() const { return editLimit_; }
    void SetEditLimit(int value) { editLimit_ = value; }

    // Everything but Grid.
    void CopyFrom(const TCellKind& source);

private:
    void Changed();

    CellAlign align_ = DefaultCellAlign;
    TCellKindType kind_ = ckEdit;
    CellAlign fixedAlign_ = DefaultCellAlign;
    TComboGrid* grid_ = nullptr;
    TCellKindItems items_;
    bool editable_ = true;
    int dropDownWidth_ = 0;
    qint8 margin_ = 2;
    int editLimit_ = 0;
};
