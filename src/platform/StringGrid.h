#pragma once

// The string grid: a table of text cells with fixed header rows and columns,
// a current cell and a selection, keyboard and mouse navigation, column and
// row sizing and an in-place editor. The program's grids (the colour string
// grid of the calendars and totals, the combo grid) derive from it and take
// over the drawing of cells through the virtual operations below.
//
// The grid is kept as four concerns: the cells (plain data), the geometry
// (widths and heights with cached cumulative offsets), painting (only the
// visible rows and columns, into an off-screen image that is then shown at
// once) and input (a point or a key becomes a cell, the state changes, the
// changed cells are repainted).

#include <cstdint>
#include <exception>
#include <functional>
#include <vector>

#include <QAbstractScrollArea>
#include <QFlags>
#include <QImage>
#include <QLineEdit>
#include <QPointF>
#include <QString>

#include "platform/Canvas.h"
#include "platform/Colors.h"
#include "platform/ControlTypes.h"

class TReader;
class TWriter;
class TStringGrid;

enum TGridOption : std::uint16_t {
    goFixedVertLine = 1 << 0,
    goFixedHorzLine = 1 << 1,
    goVertLine = 1 << 2,
    goHorzLine = 1 << 3,
    goRangeSelect = 1 << 4,
    goDrawFocusSelected = 1 << 5,
    goRowSizing = 1 << 6,
    goColSizing = 1 << 7,
    goRowMoving = 1 << 8,
    goColMoving = 1 << 9,
    goEditing = 1 << 10,
    goTabs = 1 << 11,
    goRowSelect = 1 << 12,
    goAlwaysShowEditor = 1 << 13,
    goThumbTracking = 1 << 14,
};
Q_DECLARE_FLAGS(TGridOptions, TGridOption)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridOptions)

// How a cell is to be drawn: it lies in the selection, it is the current
// cell of the grid that has the keyboard focus, it is a fixed (header) cell.
enum TGridDrawStateFlag { gdSelected = 0x1, gdFocused = 0x2, gdFixed = 0x4 };
Q_DECLARE_FLAGS(TGridDrawState, TGridDrawStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TGridDrawState)

// Keys and mouse buttons held during an input event.
enum TShiftStateFlag {
    ssShift = 0x1,
    ssAlt = 0x2,
    ssCtrl = 0x4,
    ssLeft = 0x8,
    ssRight = 0x10,
    ssMiddle = 0x20,
    ssDouble = 0x40,
};
Q_DECLARE_FLAGS(TShiftState, TShiftStateFlag)
Q_DECLARE_OPERATORS_FOR_FLAGS(TShiftState)

TShiftState ShiftStateOf(Qt::KeyboardModifiers modifiers, Qt::MouseButtons buttons = Qt::NoButton);

// TImeMode and ApplyImeMode are in ControlTypes.h.

struct TGridCoord {
    int X = 0; // column
    int Y = 0; // row
    friend bool operator==(const TGridCoord&, const TGridCoord&) = default;
};

// A rectangle of cells, inclusive on all sides.
struct TGridRect {
    int Left = 0;
    int Top = 0;
    int Right = 0;
    int Bottom = 0;
    bool Contains(int col, int row) const { return col >= Left && col <= Right && row >= Top && row <= Bottom; }
    friend bool operator==(const TGridRect&, const TGridRect&) = default;
};

// What keyboard navigation needs to know of a grid.
struct TGridNavigation {
    int ColCount = 0;
    int RowCount = 0;
    int FixedCols = 0;
    int FixedRows = 0;
    int PageRows = 1; // scrolling rows that fit the window, at least 1
    bool Tabs = false; // goTabs: Tab and Shift+Tab move between cells
};

// The cell a key moves the current cell to: arrows one cell, Page Up/Down
// one page of rows, Home/End the first/last column, Ctrl+Home/Ctrl+End the
// first/last cell, Tab/Shift+Tab the next/previous cell (wrapping to the
// next/previous row) when Tabs. Movement stops at the edges and never
// enters a fixed cell; a key that does not navigate answers current.
TGridCoord NavigateKey(TGridCoord current, int key, Qt::KeyboardModifiers modifiers, const TGridNavigation& grid);

// A property a grid adds to the stored form, read and written by the form
// streaming code in declaration order.
struct TExtraProperty {
    QString Name;
    std::function<void(TReader&)> Read;
    std::function<void(TWriter&)> Write;
};
using TExtraProperties = std::vector<TExtraProperty>;

// The editor shown over the current cell while a cell is edited.
class TInplaceEdit : public QLineEdit {
    Q_OBJECT
public:
    explicit TInplaceEdit(TStringGrid& grid);
    TStringGrid& Grid() const { return grid_; }

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    TStringGrid& grid_;
};

class TStringGrid : public QAbstractScrollArea {
    Q_OBJECT
public:
    explicit TStringGrid(QWidget* parent = nullptr);
    ~TStringGrid() override;

    // ---- cells (column first) ----
    // Reading outside the grid answers an empty text; writing there raises
    // ERangeError "Grid index out of range".
    QString Cells(int col, int row) const;
    void SetCells(int col, int row, const QString& text);

    // ---- counts; they include the fixed rows and columns ----
    // A count below 1 becomes 1; a count not above the fixed count lowers the
    // fixed count, so one scrolling column and row always remain. Texts of the
    // cells that remain are kept.
    int ColCount() const { return colCount_; }
    void SetColCount(int count);
    int RowCount() const { return rowCount_; }
    void SetRowCount(int count);
    // ERangeError "Fixed column count must be less than column count" (and
    // the row variant) when not below the count; negative values likewise.
    int FixedCols() const { return fixedCols_; }
    void SetFixedCols(int count);
    int FixedRows() const { return fixedRows_; }
    void SetFixedRows(int count);

    // ---- geometry, in pixels; each column and row is followed by a 1-pixel grid line ----
    int DefaultColWidth() const { return defaultColWidth_; }
    void SetDefaultColWidth(int width); // resets every column's width
    int DefaultRowHeight() const { return defaultRowHeight_; }
    void SetDefaultRowHeight(int height); // resets every row's height
    int ColWidths(int col) const;
    void SetColWidths(int col, int width);
    int RowHeights(int row) const;
    void SetRowHeights(int row, int height);
    static constexpr int GridLineWidth = 1;

    // The cell's rectangle in window coordinates, without its grid line;
    // empty when the cell is scrolled out of view or lies outside the grid.
    TRect CellRect(int col, int row) const;
    // The cell under a window point; -1 for a coordinate past the last
    // column or row.
    void MouseToCell(int x, int y, int& col, int& row) const;

    // ---- appearance ----
    TColor Color() const { return color_; }
    void SetColor(TColor color);
    TColor FixedColor() const { return fixedColor_; }
    void SetFixedColor(TColor color);
    TFont& Font() { return font_; } // call InvalidateGrid after changing it
    const TFont& Font() const { return font_; }
    void SetFont(const TFont& font);
    bool Ctl3D() const { return ctl3D_; }
    void SetCtl3D(bool on);
    bool DefaultDrawing() const { return defaultDrawing_; }
    void SetDefaultDrawing(bool on);
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions options);

    // ---- current cell, selection, scrolling ----
    int Col() const { return current_.X; }
    int Row() const { return current_.Y; }
    // Both ask AcceptCellMove first; ERangeError "Grid index out of range"
    // for a fixed or absent cell.
    void SetCol(int col);
    void SetRow(int row);
    void FocusCell(int col, int row);
    TGridRect Selection() const { return selection_; }
    void SetSelection(const TGridRect& selection);
    int TopRow() const { return topLeft_.Y; }
    void SetTopRow(int row);
    int LeftCol() const { return topLeft_.X; }
    void SetLeftCol(int col);
    // Scrolling rows/columns that fit the window completely (at least 1).
    int VisibleRowCount() const;
    int VisibleColCount() const;

    // ---- in-place editor ----
    TInplaceEdit* InplaceEditor() const { return editor_; }
    bool EditorMode() const { return editorMode_; }
    // True opens the editor over the current cell when EditorMayShow allows;
    // false commits its text and closes it.
    void SetEditorMode(bool on);
    void ShowEditor();
    void HideEditor();
    // Writes the editor's text to the current cell (OnSetEditText) and closes it.
    void CommitEditor();
    // Puts back the text the cell had when the editor opened and closes it.
    void CancelEditor();

    // ---- repainting ----
    void InvalidateCell(int col, int row);
    void InvalidateRow(int row);
    void InvalidateCol(int col);
    void InvalidateGrid();

    // The canvas the grid paints with. It keeps its brush, pen and font
    // between paints and is attached to a device only while painting.
    TCanvas& Canvas() { return canvas_; }

    // Paints the grid as it is scrolled now into image, whose top-left is the
    // grid window's top-left; only the cells within the image are painted.
    void PaintTo(QImage& image);

    // ---- state flags ----
    // True while the stored properties of the grid are being read.
    bool Loading() const { return loading_; }
    void BeginLoad();
    // Ends loading and runs AfterFormLoad.
    void EndLoad();

    // ---- events; raised only when set, the grid first ----
    // A press in a scrolling cell (raised at the release) or a key that moved
    // the current cell.
    std::function<void(QObject* sender)> OnClick;
    std::function<void(QObject* sender)> OnDblClick;
    std::function<void(QObject* sender)> OnEnter;
    std::function<void(QObject* sender)> OnExit;
    std::function<void(QObject* sender, Qt::MouseButton button, TShiftState shift, int x, int y)> OnMouseDown;
    std::function<void(QObject* sender, Qt::MouseButton button, TShiftState shift, int x, int y)> OnMouseUp;
    std::function<void(QObject* sender, TShiftState shift, int x, int y)> OnMouseMove;
    // key is a Qt::Key; setting it to 0 stops the grid from handling it.
    std::function<void(QObject* sender, int& key, TShiftState shift)> OnKeyDown;
    std::function<void(QObject* sender, int& key, TShiftState shift)> OnKeyUp;
    // A typed character; setting it to a null QChar drops it.
    std::function<void(QObject* sender, QChar& key)> OnKeyPress;
    std::function<void(QObject* sender, int col, int row, const TRect& rect, TGridDrawState state)> OnDrawCell;
    std::function<void(QObject* sender, int col, int row, bool& canSelect)> OnSelectCell;
    std::function<void(QObject* sender, int col, int row, QString& mask)> OnGetEditMask;
    std::function<void(QObject* sender, int col, int row, const QString& value)> OnSetEditText;
    std::function<void(QObject* sender)> OnTopLeftChanged;
    std::function<void(QObject* sender, int index)> OnColumnResized;
    std::function<void(QObject* sender, int index)> OnRowResized;

    // What assistive technology reads of a cell after its text (a calendar
    // gives the day's date); unset or empty, nothing. It is asked from
    // outside the program: an exception it raises leaves the text empty.
    std::function<QString(int col, int row)> AccessibleCellDescription;

protected:
    // Draws one cell. The base grid, with DefaultDrawing, has already filled
    // the background and chosen the font colour; it then draws the text at
    // (left + 2, top + 2) clipped to the cell, the raised frame of a fixed
    // cell (Ctl3D) and the focus rectangle. In both modes it finishes with
    // OnDrawCell, which so draws over all of that.
    virtual void PaintCell(int col, int row, const TRect& rect, TGridDrawState state);
    // Asked before the current cell moves; false keeps everything as it is.
    // The base answers through OnSelectCell (true when unset).
    virtual bool AcceptCellMove(int col, int row);
    // Creates the in-place editor the first time a cell is edited.
    virtual TInplaceEdit* MakeEditor();
    // Runs when the stored properties have been read (EndLoad).
    virtual void AfterFormLoad();
    // Paints every visible cell that meets the canvas's clip rectangle, then
    // the grid lines. Canvas() is attached while it runs.
    virtual void PaintControl();
    // The grid received the keyboard focus; the base raises OnEnter.
    virtual void FocusEntered();
    // Whether the editor may be shown on the current cell: with goEditing,
    // without goRowSelect, and while in editor mode or with goAlwaysShowEditor.
    virtual bool EditorMayShow();
    // Qt input mask for the cell's editor; the base answers OnGetEditMask's
    // mask, empty when unset.
    virtual QString EditorMaskFor(int col, int row);
    // Longest text the cell's editor accepts; 0 means no limit.
    virtual int EditorLimitFor(int col, int row);
    // After TopRow or LeftCol changed; the base moves (or hides) the editor
    // with its cell and raises OnTopLeftChanged.
    virtual void AfterScroll();
    // Properties a grid adds to the stored form. The base adds none.
    virtual void DeclareExtraProperties(TExtraProperties& properties);

    // The background and font colour that the base sets up before PaintCell
    // when DefaultDrawing is on: fixed colour, highlight or window colour.
    void DrawDefaultBackground(const TRect& rect, TGridDrawState state);
    TGridDrawState DrawStateOf(int col, int row) const;
    // Moves the current cell (asking AcceptCellMove); with extend and
    // goRangeSelect the selection runs from the anchor to the new cell,
    // otherwise it becomes the new cell. Answers whether the cell moved.
    bool MoveCurrent(int col, int row, bool extend);
    TGridNavigation Navigation() const;

    // The image the grid paints into before showing it; it never grows past
    // the part of the window that is repainted at once. It has the device
    // pixel ratio of the screen the grid is shown on.
    const QImage& PaintBuffer() const { return buffer_; }

    // Qt events; every one passes an exception to Application::HandleException,
    // except the paint, which finishes its frame and reports the failure
    // afterwards through the event loop.
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    friend class TInplaceEdit;

    enum class Sizing { None, Column, Row };

    void ResizeCells(int colCount, int rowCount);
    void UpdateOffsets() const;
    // Offsets are 64-bit: any number of columns of any width adds up without
    // overflow. Window coordinates made from them are clamped (WindowCoord).
    qint64 ColLeft(int col) const; // x of a column in a grid scrolled to the top-left
    qint64 RowTop(int row) const;
    qint64 ScrolledX(int col) const; // x in the window as scrolled now, or -1 when hidden
    qint64 ScrolledY(int row) const;
    void ClampTopLeft();
    void UpdateScrollBars();
    void ScrollIntoView(int col, int row);
    void SetTopLeft(int col, int row);
    void PaintCells(TCanvas& canvas, const TRect& area);
    void PaintGridLines(TCanvas& canvas, const TRect& area);
    // Paints region (window coordinates) into the buffer, whose top-left is
    // the window's point origin (logical, a fraction at fractional scales).
    void PaintBufferPart(const QPointF& origin, const QRegion& region, bool& failed);
    void ReportPaintError(const std::exception& error);
    // The grid stopped being the active control of its window.
    void FocusLeft();
    void ApplyThumbTracking();
    bool HandleKey(int key, Qt::KeyboardModifiers modifiers);
    void PlaceEditor();
    void InvalidateSelection(const TGridRect& selection);
    int ColumnBorderAt(int x, int y) const;
    int RowBorderAt(int x, int y) const;

    std::vector<QString> cells_; // row by row, colCount_ per row
    int colCount_ = 5;
    int rowCount_ = 5;
    int fixedCols_ = 1;
    int fixedRows_ = 1;
    int defaultColWidth_ = 64;
    int defaultRowHeight_ = 24;
    std::vector<int> colWidths_;
    std::vector<int> rowHeights_;
    mutable std::vector<qint64> colLefts_; // colCount_ + 1 entries, cumulative widths + lines
    mutable std::vector<qint64> rowTops_;
    mutable bool offsetsValid_ = false;

    TColor color_ = clWindow;
    TColor fixedColor_ = clBtnFace;
    TFont font_;
    bool ctl3D_ = true;
    bool defaultDrawing_ = true;
    TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

    TGridCoord current_ { 1, 1 };
    TGridCoord anchor_ { 1, 1 };
    TGridRect selection_ { 1, 1, 1, 1 };
    TGridCoord topLeft_ { 1, 1 };

    TInplaceEdit* editor_ = nullptr;
    bool editorMode_ = false;
    QString editorOriginal_;
    TGridCoord editorCell_;

    bool loading_ = false;
    bool wholeGridPending_ = false; // an update of the whole grid waits for its paint
    bool focusFromEditor_ = false; // the editor handed the focus back
    bool activeControl_ = false; // the focus is the grid's (or its editor's) within its window
    bool selecting_ = false; // left button pressed in a scrolling cell and held
    bool settingBars_ = false; // the grid itself is moving its scroll bars
    Sizing sizing_ = Sizing::None;
    int sizingIndex_ = -1;
    qint64 sizingStart_ = 0; // left (or top) edge of the column (row) being sized

    TCanvas canvas_;
    QImage buffer_;
    // The failure of a paint last reported; the same one is not reported
    // again until the whole grid has been painted without it.
    QString paintError_;
};
