#pragma once

// The print preview: the pages of a print, drawn one at a time by the grid
// printer's own engine at screen scale (one unit a pixel at 96 dpi, so 100 %
// is the paper's real size on a usual screen). The page breaks are the
// printer's: the page image is as high as the printable area, converted so
// that a row fits on the image exactly when it fits on the paper.
//
// The preview keeps its own copy of the grid and its printer, so a print
// started meanwhile (which reshapes the print dialog's grid) never changes
// what it shows.

#include <functional>
#include <memory>

#include <QImage>
#include <QWidget>

#include "platform/StringGrid.h"
#include "widgets/GridPrn.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollArea;
class TPrinter;

// What a preview shows: a grid and the printer engine bound to it, and the
// size of one page in screen units.
struct TPreviewSource {
    std::unique_ptr<TStringGrid> grid;
    std::unique_ptr<TCustomGridPrinter> engine; // declared after grid: let go of first
    QSize pageSize;
};

// The printable area of printer in the units of a screen of screenDpi dots
// per inch, such that a row whose bottom (screen units, page top at 0) is at
// most the answer's height fits on the image exactly when it fits on the
// printed page. bottomMargin is the engine's, in screen units.
QSize PreviewPageSize(const TPrinter& printer, int screenDpiX, int screenDpiY, int bottomMargin);

class TPrintPreview final : public QWidget {
    Q_OBJECT

public:
    explicit TPrintPreview(QWidget* parent = nullptr);
    ~TPrintPreview() override;

    // Takes the source over, counts its pages and shows page 1. A source the
    // engine cannot lay out raises its error and the preview stays as it was.
    void ShowPages(TPreviewSource source, const QString& title);

    int PageCount() const { return pageCount_; }
    int CurrentPage() const { return currentPage_; }
    // Page numbers outside 1 to PageCount are brought into it.
    void ShowPage(int page);
    void NextPage() { ShowPage(currentPage_ + 1); }
    void PreviousPage() { ShowPage(currentPage_ - 1); }
    // The current page at screen scale, as the engine drew it.
    const QImage& PageImage() const { return page_; }

    // Percent of the real size; 0 fits the whole page into the window.
    int Zoom() const { return zoom_; }
    void SetZoom(int percent);
    // Shown pixels per screen unit right now.
    double Scale() const;

    // The print button: runs this; the preview closes when it answers that
    // the pages were printed.
    std::function<bool()> OnPrint;

    QPushButton* PreviousButton = nullptr;
    QPushButton* NextButton = nullptr;
    QLabel* PageLabel = nullptr;
    QComboBox* ZoomBox = nullptr;
    QPushButton* PrintButton = nullptr;
    QPushButton* CloseButton = nullptr;
    QScrollArea* PageArea = nullptr;
    QLabel* PageView = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void setupUi();
    void connectHandlers();
    // Draws page n (1-based) into page_ through the engine; the engine can
    // only go forward, so going back starts again at page 1.
    void RenderPage(int page);
    void UpdateView();
    void PrintClick();

    TPreviewSource source_;
    QImage page_;
    int pageCount_ = 0;
    int currentPage_ = 0;
    int zoom_ = 0;
    bool placed_ = false;
};
