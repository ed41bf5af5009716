#pragma once

// The colour string grid on which the calendars and the totals are drawn.
// It paints every cell itself: a cell, or a rectangle of cells, can carry
// its own background, text colour, named font, alignment, layout, fill
// pattern, grid options, IME mode, caption and events through an item of
// CellParams; cells without an item are drawn with the grid's own settings.
// It also reports every move of the current cell to the items left and
// entered and to the grid's change events, and lets a raising handler
// refuse the move.

#include <functional>

#include <QPoint>
#include <QStringList>

#include "platform/Canvas.h"
#include "platform/ControlTypes.h"
#include "platform/StringGrid.h"
#include "widgets/StrCGridParams.h"

using TSCGCellChangedEvent = std::function<void(QObject* Sender, int AOldCol, int AOldRow, int ANewCol, int ANewRow)>;
using TSCGColChangedEvent = std::function<void(QObject* Sender, int AOldCol, int ANewCol)>;
using TSCGRowChangedEvent = std::function<void(QObject* Sender, int AOldRow, int ANewRow)>;

class TStrColGrid : public TStringGrid {
    Q_OBJECT
public:
    explicit TStrColGrid(QWidget* parent = nullptr);
    ~TStrColGrid() override;

    TSCGCellParams& CellParams() { return *cellParams_; }
    const TSCGCellParams& CellParams() const { return *cellParams_; }
    TSCGCellFonts& Fonts() { return *fonts_; }
    const TSCGCellFonts& Fonts() const { return *fonts_; }

    // Placement of the text of cells without an item (Alignment, Layout)
    // and of fixed cells without an item (FixedAlignment, FixedLayout).
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment value) { alignment_ = value; }
    TAlignment FixedAlignment() const { return fixedAlignment_; }
    void SetFixedAlignment(TAlignment value) { fixedAlignment_ = value; }
    TTextLayout FixedLayout() const { return fixedLayout_; }
    void SetFixedLayout(TTextLayout value) { fixedLayout_ = value; }
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout value) { layout_ = value; }
    // Selected cells stay highlighted while the grid does not have the focus.
    bool FocusDraw() const { return focusDraw_; }
    void SetFocusDraw(bool value) { focusDraw_ = value; }
    TColor FocusCellColor() const { return focusCellColor_; }
    void SetFocusCellColor(TColor value);
    TColor FocusCellFontColor() const { return focusCellFontColor_; }
    void SetFocusCellFontColor(TColor value);
    bool FocusCellFontColorEnabled() const { return focusCellFontColorEnabled_; }
    void SetFocusCellFontColorEnabled(bool value);
    TImeMode ImeMode() const { return imeMode_; }
    // Applies at once to the grid's window and to the editor, if there is one.
    void SetImeMode(TImeMode value);
    // True: the text is split into lines, each placed by alignment and
    // layout in its own band of the cell; false: word-wrapped into the cell.
    bool CellDivide() const { return cellDivide_; }
    void SetCellDivide(bool value) { cellDivide_ = value; }
    // The grid's own options. While the current cell has an item with
    // OptionsEnabled the base grid runs with that item's options, but this
    // property still reads the value set here.
    TGridOptions Options() const { return options_; }
    void SetOptions(TGridOptions value);

    // The item that styles (col, row): the last item of CellParams covering
    // it. With create, a cell without one gets a new single-cell item in the
    // cell's present colours.
    TSCGCellParam* FindCellParam(int ACol, int ARow, bool ACreate);
    // ERangeError "ｾﾙ位置がｸﾞﾘｯﾄﾞの範囲を超えました。" for a negative position or
    // one beyond ColCount/RowCount. ColCount and RowCount themselves pass:
    // callers may style the position one past the last row.
    void CheckCellPosition(int ACol, int ARow) const;
    // Give the cell (through its item, created when needed) an alignment or
    // a text colour; the grid repaints.
    void SetCellAlignment(int ACol, int ARow, TAlignment AAlignment);
    void SetCellFontColor(int ACol, int ARow, TColor AColor);

    // The stored form of the properties above, in declaration order, each
    // only when it differs from its stream default; the two collections and
    // Layout and Options are always written. The inherited DefaultDrawing
    // comes first, written when it is off.
    void WriteProperties(TWriter& writer) const;
    // Reads one stored property; false for a name that is not one of them.
    bool ReadProperty(const QString& name, TReader& reader);
    // Reads stored properties up to the end of their list, as the grid does
    // when its window is loaded: in the loading state, skipping names it
    // does not know, then AfterFormLoad.
    void LoadProperties(TReader& reader);

    TSCGCellChangedEvent OnCellChanged;
    TSCGColChangedEvent OnColChanged;
    TSCGRowChangedEvent OnRowChanged;
    TSCGOutCellTextEvent OnOutCellText;
    TSCGDrawTextOneLineEvent OnDrawTextOneLine;
    std::function<void(QObject* Sender)> BeforeDraw;

    // The colour a pixel of the dotted focus frame becomes over colour c:
    // its complement, or white/black where the complement is too close to c.
    static TColor InvertedPixel(TColor c);

protected:
    void AfterFormLoad() override;
    void PaintControl() override;
    TInplaceEdit* MakeEditor() override;
    void PaintCell(int ACol, int ARow, const TRect& ARect, TGridDrawState AState) override;
    bool AcceptCellMove(int ACol, int ARow) override;
    void FocusEntered() override;
    // Fills the cell's background and sets the canvas font and text colour
    // for it.
    virtual void DrawCellBackground(int ACol, int ARow, TGridDrawState AState, TSCGCellParam* AParam, bool AHighlight);

    // Sets the highlight brush and text colour when the cell is drawn
    // highlighted, and answers whether it is.
    bool ApplyFocusColors(TSCGCellParam* AParam, TGridDrawState AState);
    // The dotted frame of the current cell, with or without its left and
    // right sides; never on a fixed cell.
    void DrawFocusFrame(int ACol, int ARow, const TRect& R, bool ALeft, bool ARight);
    // The raised frame of a fixed cell, with Ctl3D.
    void DrawFixedFrame(const TRect& R);

private:
    // What the steps of painting one cell share.
    struct CellPaint {
        int col;
        int row;
        TRect rect;
        TGridDrawState state;
        TSCGCellParam* param;
        TGridOptions options; // the item's own, when it has them, else the grid's
        bool fixed;
    };
    // The text of a cell and its placement.
    struct CellText {
        QString text;
        TAlignment alignment = taLeftJustify;
        TTextLayout layout = tlTop;
        int passes = 1; // drawn that many times, each one pixel further right
    };

    // The text from the item or the grid, as the OnOutCellText events leave it.
    CellText TextOfCell(const CellPaint& cell);
    // Each line of the text in its own band of the cell.
    void DrawTextLines(const CellPaint& cell, const CellText& text);
    void DrawTextLine(const CellPaint& cell, const TRect& band, int index, int count, const CellText& text);
    QPoint TextOrigin(const TRect& band, const QString& line, TAlignment alignment, TTextLayout layout);
    void DrawOverstruck(const TRect& band, QPoint origin, const QString& line, int passes);
    // The lines between the bands: above every band but the first, and in
    // fixed cells the shadow below every band but the last.
    void DrawInnerLines(const TRect& band, int index, int count, bool fixed);
    // The dotted frame of the current cell, or of the current row with
    // goRowSelect.
    void DrawCurrentCellFrame(const CellPaint& cell);
    void SaveCanvasState();
    void RestoreCanvasState();
    // The font of the Fonts item named by the item, or the grid's font.
    const TFont& FontFor(const TSCGCellParam* param) const;
    QString CellTextFor(const TSCGCellParam& param, int ACol, int ARow) const;
    void SplitLines(const QString& text);
    void ApplyCellSettings(const TSCGCellParam* param);
    bool RaiseMoveEvents(TSCGCellParam* oldParam, TSCGCellParam* newParam, int ACol, int ARow);

    std::unique_ptr<TSCGCellParams> cellParams_;
    std::unique_ptr<TSCGCellFonts> fonts_;
    TAlignment alignment_ = taLeftJustify;
    TAlignment fixedAlignment_ = taLeftJustify;
    TTextLayout fixedLayout_ = tlTop;
    bool focusDraw_ = true;
    TColor focusCellColor_ = clHighlight;
    TColor focusCellFontColor_ = clHighlightText;
    bool focusCellFontColorEnabled_ = false;
    TImeMode imeMode_ = imDontCare;
    bool cellDivide_ = true;
    TTextLayout layout_ = tlTop;
    TGridOptions options_ = goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine | goRangeSelect;

    // Canvas state saved while a cell is painted, reused for every cell.
    TBrush savedBrush_;
    TPen savedPen_;
    TFont savedFont_;
    QStringList lineList_;
    // The cell the last completed move reported.
    int lastCol_ = 0;
    int lastRow_ = 0;
};
