#pragma once

// The grid printer lays the cells of a grid out as a ruled table on pages:
// the grid's fixed rows open every page, every row has the one LineHeight,
// the columns keep their screen widths, and callbacks add a page header and
// footer, a report start and end, or replace a cell's text or drawing. The
// same engine draws the table page by page onto an image at screen scale.
//
// Units: every setting and every position handed to a callback (margins,
// LineHeight, column widths, rule widths, YPos, Width, a cell's Rect) is in
// screen units, the pixels of the source grid's canvas. Drawing converts them
// with ToDeviceX/ToDeviceY into the target's dots, so a printed page gets its
// text and rules at the printer's full resolution, not a scaled screen image.

#include <cstdint>
#include <functional>

#include <QObject>
#include <QPointer>
#include <QString>

#include "platform/Canvas.h"

class QImage;
class TPrinter;
class TStringGrid;

// Page: the number of the page being produced, which the handler may change.
// Width: the printable width less LeftMargin and RightMargin. YPos: the y the
// event is about (see the events).
using THeaderDrawEvent = std::function<void(QObject* Sender, int& Page, int Width, int YPos)>;
using TGetPrintTextEvent = std::function<void(QObject* Sender, int ACol, int ARow, QString& Text)>;
using TPrintCellEvent = std::function<void(QObject* Sender, TRect& Rect, int ACol, int ARow, const QString& Text)>;

// How the text of a column's cells is placed: the alignment bits below and
// the distance from the cell's left (or, right-aligned, right) edge.
struct TColumnLayout {
    std::uint8_t Align = 0x11;
    int Margin = 2;
};

class TCustomGridPrinter : public QObject {
    Q_OBJECT
public:
    // Alignment bits of a printed cell; a horizontal and a vertical one may
    // be combined. Right wins over centre, bottom over top.
    static constexpr std::uint8_t caLeft = 0x01;
    static constexpr std::uint8_t caCenter = 0x02;
    static constexpr std::uint8_t caRight = 0x04;
    static constexpr std::uint8_t caTop = 0x08;
    static constexpr std::uint8_t caVCenter = 0x10;
    static constexpr std::uint8_t caBottom = 0x20;

    // The longest cell text drawn, in Shift-JIS bytes; a longer one is cut
    // at a character boundary.
    static constexpr int MaxCellTextBytes = 254;

    explicit TCustomGridPrinter(QObject* owner = nullptr);
    ~TCustomGridPrinter() override;

    // Prints every row as one new print job and answers the number of pages.
    // EInvalidOperation "印刷対象グリッドが指定されていません" without a grid,
    // "印刷中です。" while a run is in progress; EGeneralError when a page
    // cannot hold a single row below its fixed rows. An error of the printer
    // or of a callback ends the job unfinished and is passed on; the next
    // DrawPage then starts again from page 1.
    int Print();
    // Draws the next page of the table onto image at screen scale and answers
    // its number; restart starts again from page 1. After the last page it
    // draws nothing and answers -1. Errors as Print.
    int DrawPage(QImage& image, bool restart);

    // For the page callbacks: draws text in the target's current font, its
    // top-left corner at (ToDeviceX(x), ToDeviceY(y)). Nothing outside a run.
    void PrintText(int x, int y, const QString& text);
    // Screen units to the target's dots, truncated toward zero; -1 outside a run.
    int ToDeviceX(int v) const;
    int ToDeviceY(int v) const;

    // The printer Print uses; by default the program's printer. Not owned.
    TPrinter& Printer() const;
    void SetPrinter(TPrinter* printer) { printer_ = printer; }

    // ---- settings (screen units) ----
    // Y of the table's top on every page.
    int TopMargin() const { return topMargin_; }
    void SetTopMargin(int value) { topMargin_ = value; }
    // X of the table's left edge.
    int LeftMargin() const { return leftMargin_; }
    void SetLeftMargin(int value) { leftMargin_ = value; }
    // Kept free at the bottom of the page.
    int BottomMargin() const { return bottomMargin_; }
    void SetBottomMargin(int value) { bottomMargin_ = value; }
    // Only narrows the Width handed to the callbacks.
    int RightMargin() const { return rightMargin_; }
    void SetRightMargin(int value) { rightMargin_ = value; }
    // YPos of OnHeader.
    int HeaderMargin() const { return headerMargin_; }
    void SetHeaderMargin(int value) { headerMargin_ = value; }
    // OnFooter's YPos is the page height less this.
    int FooterMargin() const { return footerMargin_; }
    void SetFooterMargin(int value) { footerMargin_ = value; }
    // Height of every row; 0 takes the grid's row height on binding.
    int LineHeight() const { return lineHeight_; }
    void SetLineHeight(int value) { lineHeight_ = value; }
    // Horizontal rules.
    bool HKeisen() const { return hKeisen_; }
    void SetHKeisen(bool value) { hKeisen_ = value; }
    // Vertical rules.
    bool VKeisen() const { return vKeisen_; }
    void SetVKeisen(bool value) { vKeisen_ = value; }
    // Also the rules between two fixed rows or columns.
    bool FixedLineDraw() const { return fixedLineDraw_; }
    void SetFixedLineDraw(bool value) { fixedLineDraw_ = value; }
    // Left and right borders.
    int LineWidthX1() const { return lineWidthX1_; }
    void SetLineWidthX1(int value) { lineWidthX1_ = value; }
    // Vertical rules up to the one after the last fixed column.
    int LineWidthX2() const { return lineWidthX2_; }
    void SetLineWidthX2(int value) { lineWidthX2_ = value; }
    // Other vertical rules.
    int LineWidthX3() const { return lineWidthX3_; }
    void SetLineWidthX3(int value) { lineWidthX3_ = value; }
    // Top and bottom borders.
    int LineWidthY1() const { return lineWidthY1_; }
    void SetLineWidthY1(int value) { lineWidthY1_ = value; }
    // Horizontal rules up to the one under the last fixed row.
    int LineWidthY2() const { return lineWidthY2_; }
    void SetLineWidthY2(int value) { lineWidthY2_ = value; }
    // Other horizontal rules.
    int LineWidthY3() const { return lineWidthY3_; }
    void SetLineWidthY3(int value) { lineWidthY3_ = value; }

    // ---- events; raised only when set, the printer first ----
    THeaderDrawEvent OnHeader; // start of every page, YPos = HeaderMargin
    THeaderDrawEvent OnFooter; // end of every page
    THeaderDrawEvent OnReportStart; // start of the first page, YPos = 0
    THeaderDrawEvent OnReportEnd; // after the last row, YPos = the table's bottom
    TGetPrintTextEvent OnGetPrintText; // may replace a cell's text
    TPrintCellEvent OnPrintCell; // draws a cell instead of the printer
    std::function<void(QObject* Sender)> OnKeisen; // after a page's rules

    // ---- run state, valid while a run is in progress ----
    bool Active() const { return active_; }
    bool ToPrinter() const { return toPrinter_; }
    bool Finished() const { return finished_; }
    bool PrintingFixedRows() const { return printingFixedRows_; }
    float ScaleX() const { return scaleX_; }
    float ScaleY() const { return scaleY_; }
    TCanvas* TargetCanvas() const { return target_; }
    int PageNo() const { return pageNo_; }
    int NextRow() const { return nextRow_; }
    int CurY() const { return curY_; }
    int TableTop() const { return tableTop_; }
    int TableBottom() const { return tableBottom_; }
    int TableWidth() const { return tableWidth_; }

protected:
    // Lays out one grid row at CurY.
    virtual void PrintRow(int row);
    virtual bool HasGrid() const = 0;
    // Draws one cell's text into rect (screen units) after the rules
    // lineLeft and lineTop that the cell starts with.
    virtual void PrintCellText(
        const TRect& rect, const QString& text, int lineLeft, int lineTop, std::uint8_t align, int margin);
    virtual int GetColCount() const = 0;
    virtual int GetColWidth(int col) const = 0;
    virtual void GetCellText(int col, int row, QString& text) const = 0;
    virtual void GetColAlignment(int col, std::uint8_t& align, int& margin) const = 0;
    virtual int GetFixedRows() const = 0;
    virtual int GetFixedCols() const = 0;
    virtual const TFont& GetFont() const = 0;
    // The canvas whose resolution defines a screen unit.
    virtual TCanvas& GetScreenCanvas() const = 0;
    virtual bool HasMoreRows() const = 0;
    virtual void EndImagePage() = 0;
    // Lets pending window messages run when printing, then PrintRow.
    virtual void PrintDataRow(int row);
    virtual void DrawRules();
    // Page callbacks and the fixed rows.
    virtual void StartPage();
    virtual void PrintPages();
    // Back to before the first page.
    virtual void Reset();

    // The grid printer's state, for the subclass.
    void SetNextRow(int row) { nextRow_ = row; }
    void CheckGrid() const;

private:
    int PageWidthForCallbacks() const;
    int PageHeightOnScreen() const;
    // Converts with a clamp, so no margin or width overflows.
    int DevX(std::int64_t v) const;
    int DevY(std::int64_t v) const;
    void ComputeTableWidth();
    void RaiseFooter();
    // Ends a run after an error: the job is dropped, the printer idle again.
    void EndRun();

    TPrinter* printer_ = nullptr;
    int topMargin_ = 0;
    int leftMargin_ = 0;
    int bottomMargin_ = 0;
    int rightMargin_ = 0;
    int headerMargin_ = 0;
    int footerMargin_ = 0;
    int lineHeight_ = 0;
    bool hKeisen_ = true;
    bool vKeisen_ = true;
    bool fixedLineDraw_ = true;
    int lineWidthX1_ = 2;
    int lineWidthX2_ = 2;
    int lineWidthX3_ = 1;
    int lineWidthY1_ = 2;
    int lineWidthY2_ = 2;
    int lineWidthY3_ = 1;
    bool active_ = false;
    bool toPrinter_ = false;
    bool finished_ = false;
    bool printingFixedRows_ = false;
    float scaleX_ = 1.0f;
    float scaleY_ = 1.0f;
    TCanvas* target_ = nullptr;
    int pageNo_ = 0;
    int nextRow_ = 0;
    int curY_ = 0;
    int tableTop_ = 0;
    int tableBottom_ = 0;
    int tableWidth_ = 0;
    int dataRowsOnPage_ = 0;
    // The text of the cell being drawn; reserved once per run.
    QString cellText_;
};

class TGridPrinter : public TCustomGridPrinter {
    Q_OBJECT
public:
    explicit TGridPrinter(QObject* owner = nullptr);

    // The grid printed. Setting it during a run raises EInvalidOperation
    // "印刷中です。"; anything but a string grid (none included) raises
    // EInvalidOperation "TStringGridだけ指定できます". Either way the binding
    // stays. A grid that is destroyed is let go of by itself.
    TStringGrid* Grid() const { return grid_; }
    void SetGrid(QObject* grid);
    bool IsComboGrid() const { return isComboGrid_; }

    // Where the text of a column's cells goes. A plain string grid prints
    // every cell left-aligned, vertically centred, 2 units from the left.
    TColumnLayout ColumnLayout(int col) const;

protected:
    bool HasGrid() const override;
    int GetColCount() const override;
    int GetColWidth(int col) const override;
    void GetCellText(int col, int row, QString& text) const override;
    void GetColAlignment(int col, std::uint8_t& align, int& margin) const override;
    int GetFixedRows() const override;
    int GetFixedCols() const override;
    const TFont& GetFont() const override;
    TCanvas& GetScreenCanvas() const override;
    bool HasMoreRows() const override;
    void EndImagePage() override { }
    void Reset() override;

private:
    TStringGrid& BoundGrid() const;

    QPointer<TStringGrid> grid_;
    bool isComboGrid_ = false;
};
