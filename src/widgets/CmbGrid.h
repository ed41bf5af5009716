#pragma once

// The combo grid: a string grid in which every column has a kind
// (TCellKind) deciding how its cells look and are edited: text with an edit
// mask, a length limit and a number format; text with a drop-down list of
// choices; a push button; a check box that steps through values. The kind
// also places the text of the column's fixed and other cells.
//
// Cell texts and column kinds are kept with the window's stored form as the
// CellData and CellKind lists (CmbGridStream.h); LoadCellData and
// LoadCellKind take those bytes as they were stored.

#include <functional>
#include <memory>
#include <vector>

#include <QByteArray>
#include <QEvent>

#include "platform/StringGrid.h"
#include "widgets/CmbGridKind.h"
#include "widgets/CmbGridStream.h"

class TComboInplaceEdit;

// A push-button face over rect, raised or sunken (pressed); the face is
// filled with clBtnFace.
void DrawButtonFace(TCanvas& canvas, const TRect& rect, bool pressed);

using TGridBtnClick = std::function<void(QObject* Sender, int ACol, int ARow)>;

class TComboGrid : public TStringGrid {
    Q_OBJECT
public:
    explicit TComboGrid(QWidget* parent = nullptr);
    ~TComboGrid() override;

    // The kind of column ACol, made with the defaults (and this grid as its
    // Grid) the first time it is asked for. ERangeError "Grid index out of
    // range" for a negative column or one beyond MaxColumnKinds.
    TCellKind& ColumnKind(int ACol);
    static constexpr int MaxColumnKinds = 65536;
    // Length of the kinds list; it may differ from ColCount (kinds belong to
    // column indexes and are read from the stored form as they were saved).
    int ColumnKindCount() const { return int(columnKinds_.size()); }
    // The kind of a column if it has one yet, else none; never makes one.
    const TCellKind* ExistingColumnKind(int ACol) const;

    // What the grid printer reads of a column, without making a kind: the
    // alignments of its other and its fixed cells and its text inset. A
    // column without a kind answers the defaults.
    CellAlign ColumnAlign(int ACol) const;
    CellAlign ColumnFixedAlign(int ACol) const;
    int ColumnMargin(int ACol) const;

    // The button or check cell held down with the mouse (or Space), -1 when
    // none; PressedFocus is 2 when it was the current cell when pressed.
    int PressedCol() const { return pressedCol_; }
    int PressedRow() const { return pressedRow_; }
    int PressedFocus() const { return pressedFocus_; }

    // The value a check cell holding text steps to: item 0 after an "on"
    // value (mark 1) or a text outside the list, otherwise the first "on"
    // value; a list without one keeps the text's item.
    static QString NextCheckValue(const QString& text, const TCellKind& kind);

    // ---- the stored lists ----
    void WriteCellData(TWriter& writer) const;
    // Sets every cell the list names; other cells keep their texts. A cell
    // outside the grid or a broken list raises EReadError and changes no cell.
    void ReadCellData(TReader& reader);
    // Columns without a kind are given a default one first.
    void WriteCellKind(TWriter& writer);
    // Replaces all kinds by the ones stored, for columns 0, 1, 2, ...; fewer
    // records than columns leave the others to get defaults, more are kept
    // for columns added later. A broken list raises EReadError and keeps the
    // kinds as they were.
    void ReadCellKind(TReader& reader);
    // The same on whole stored byte lists, as a window keeps them; trailing
    // bytes after the list are refused as well.
    QByteArray CellDataBytes() const;
    void LoadCellData(const QByteArray& bytes);
    QByteArray CellKindBytes();
    void LoadCellKind(const QByteArray& bytes);

    // The two lists as stored properties ("CellData", "CellKind").
    void WriteProperties(TWriter& writer);
    // Reads one stored property; false for a name that is not one of them.
    bool ReadProperty(const QString& name, TReader& reader);

    // The platform tells the grid to end modal states (its window lost the
    // activation or the focus went elsewhere): the drop-down list closes
    // unless cause is the editor or the list itself.
    void CancelMode(QObject* cause);

    // Raised by PaintCell after the cell is drawn (DefaultDrawing or not).
    std::function<void(QObject* sender, int col, int row, const TRect& rect, TGridDrawState state)> OnDrawCell;
    // A button or check cell was clicked, Enter was pressed on a button
    // cell, or a choice of the drop-down list was clicked.
    TGridBtnClick OnGridBtnClick;

protected:
    void DeclareExtraProperties(TExtraProperties& properties) override;
    void PaintControl() override;
    TInplaceEdit* MakeEditor() override;
    bool EditorMayShow() override;
    void PaintCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    QString EditorMaskFor(int ACol, int ARow) override;
    int EditorLimitFor(int ACol, int ARow) override;
    void AfterScroll() override;

    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void changeEvent(QEvent* event) override;

    void DoGridBtnClick(int ACol, int ARow);
    void DrawFixedText(int ACol, int ARow, const TRect& ARect, const TCellKind& K);
    void DrawCellText(int ACol, int ARow, const TRect& ARect, const TCellKind& K);
    void DrawCellFace(const TRect& ARect, bool pressed, bool focused, const QString& caption, const TCellKind& K);
    void DrawButtonCell(const TRect& ARect, bool pressed, const QString& caption);
    void DrawCheckCell(const TRect& ARect, bool pressed, const QString& caption, const TCellKind& K);
    // The cell's text steps to its next check value.
    void ToggleCheckCell(int ACol, int ARow);

private:
    friend class TComboInplaceEdit;
    friend class TInplaceListBox;

    std::vector<ComboGridStream::CellText> ParseCellData(TReader& reader) const;
    void ApplyCellData(const std::vector<ComboGridStream::CellText>& cells);
    void DrawText(int ACol, int ARow, const TRect& ARect, const TCellKind& K, bool fixed);
    // The caption of a button or check cell: item 0, or the cell's text.
    QString FaceCaption(int ACol, int ARow, const TCellKind& K, bool fixed) const;
    TComboInplaceEdit* ComboEditor() const;
    void LeftButtonDown(int x, int y);
    void LeftButtonUp(int x, int y);
    void SendLeftButton(QEvent::Type type);

    std::vector<std::unique_ptr<TCellKind>> columnKinds_;
    int pressedCol_ = -1;
    int pressedRow_ = -1;
    int pressedFocus_ = 0;
    bool leftHeld_ = false; // the left button (or Space) is down on the grid
    QMetaObject::Connection focusWatch_;
};
