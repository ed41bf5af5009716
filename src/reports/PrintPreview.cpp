#include "reports/PrintPreview.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>

#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

#include "platform/Application.h"
#include "platform/Printer.h"
#include "platform/StringGrid.h"
#include "widgets/GridPrn.h"

namespace {

// The zoom choices, in percent; 0 is the whole page.
constexpr int ZoomLevels[] = { 0, 50, 75, 100, 125, 150, 200, 300 };

// The grid printer's own conversion: screen units times a single-precision
// scale, truncated.
std::int64_t Scaled(std::int64_t v, float scale) { return std::int64_t(std::trunc(double(v) * double(scale))); }

float ScaleOf(int targetDpi, int screenDpi)
{
    if (targetDpi <= 0 || screenDpi <= 0)
        return 1.0f;
    return float(targetDpi) / float(screenDpi);
}

int ClampedInt(std::int64_t v) { return int(std::clamp<std::int64_t>(v, 1, std::numeric_limits<int>::max() / 4)); }

} // namespace

QSize PreviewPageSize(const TPrinter& printer, int screenDpiX, int screenDpiY, int bottomMargin)
{
    const float scaleX = ScaleOf(printer.PixelsPerInchX(), screenDpiX);
    const float scaleY = ScaleOf(printer.PixelsPerInchY(), screenDpiY);
    const std::int64_t width = std::int64_t(std::trunc(double(printer.PageWidth()) / double(scaleX)));
    // The printer ends a page when (page bottom - bottom margin) < the row's
    // bottom, both in dots; the image does the same in screen units. The
    // image's height is the lowest row bottom the paper still takes.
    const std::int64_t room = std::int64_t(printer.PageHeight()) - Scaled(bottomMargin, scaleY);
    // Rounding puts the estimate within a unit of the answer; the steps are
    // bounded all the same.
    std::int64_t y = std::clamp<std::int64_t>(
        std::int64_t(std::floor(double(room) / double(scaleY))), 0, std::numeric_limits<int>::max());
    for (int step = 0; step < 8 && Scaled(y + 1, scaleY) <= room; ++step)
        ++y;
    for (int step = 0; step < 8 && y > 0 && Scaled(y, scaleY) > room; ++step)
        --y;
    return QSize(ClampedInt(width), ClampedInt(y + bottomMargin));
}

TPrintPreview::TPrintPreview(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint)
{
    setupUi();
    connectHandlers();
}

TPrintPreview::~TPrintPreview() = default;

void TPrintPreview::setupUi()
{
    setObjectName(QStringLiteral("PrintPreview"));
    setWindowTitle(QStringLiteral("印刷プレビュー"));
    resize(720, 760);

    auto* bar = new QHBoxLayout;
    PreviousButton = new QPushButton(QStringLiteral("前のページ(&B)"), this);
    PreviousButton->setObjectName(QStringLiteral("PreviousButton"));
    NextButton = new QPushButton(QStringLiteral("次のページ(&N)"), this);
    NextButton->setObjectName(QStringLiteral("NextButton"));
    PageLabel = new QLabel(this);
    PageLabel->setObjectName(QStringLiteral("PageLabel"));
    PageLabel->setMinimumWidth(90);
    PageLabel->setAlignment(Qt::AlignCenter);
    ZoomBox = new QComboBox(this);
    ZoomBox->setObjectName(QStringLiteral("ZoomBox"));
    for (const int level : ZoomLevels)
        ZoomBox->addItem(level == 0 ? QStringLiteral("ページ全体") : QStringLiteral("%1%").arg(level), level);
    PrintButton = new QPushButton(QStringLiteral("印刷(&P)"), this);
    PrintButton->setObjectName(QStringLiteral("PrintButton"));
    CloseButton = new QPushButton(QStringLiteral("閉じる(&C)"), this);
    CloseButton->setObjectName(QStringLiteral("CloseButton"));
    bar->addWidget(PreviousButton);
    bar->addWidget(PageLabel);
    bar->addWidget(NextButton);
    bar->addSpacing(16);
    bar->addWidget(ZoomBox);
    bar->addStretch(1);
    bar->addWidget(PrintButton);
    bar->addWidget(CloseButton);

    PageView = new QLabel;
    PageView->setObjectName(QStringLiteral("PageView"));
    PageView->setAlignment(Qt::AlignCenter);
    PageArea = new QScrollArea(this);
    PageArea->setObjectName(QStringLiteral("PageArea"));
    PageArea->setAlignment(Qt::AlignCenter);
    PageArea->setBackgroundRole(QPalette::Dark);
    PageArea->setWidget(PageView);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 6);
    layout->addLayout(bar);
    layout->addWidget(PageArea, 1);
}

void TPrintPreview::connectHandlers()
{
    connect(PreviousButton, &QPushButton::clicked, this, [this] { Application::Guard([this] { PreviousPage(); }); });
    connect(NextButton, &QPushButton::clicked, this, [this] { Application::Guard([this] { NextPage(); }); });
    connect(ZoomBox, &QComboBox::activated, this, [this](int index) { SetZoom(ZoomBox->itemData(index).toInt()); });
    connect(PrintButton, &QPushButton::clicked, this, [this] { Application::Guard([this] { PrintClick(); }); });
    connect(CloseButton, &QPushButton::clicked, this, &QWidget::close);
}

void TPrintPreview::ShowPages(TPreviewSource source, const QString& title)
{
    if (!source.engine || source.pageSize.isEmpty())
        return;
    // Count the pages first: an engine that fails leaves the old pages shown.
    QImage image(source.pageSize, QImage::Format_RGB32);
    int count = 0;
    for (int page = source.engine->DrawPage(image, true); page > 0; page = source.engine->DrawPage(image, false))
        count = page;
    source_ = std::move(source);
    pageCount_ = count;
    currentPage_ = 0;
    setWindowTitle(QStringLiteral("印刷プレビュー－") + title);
    RenderPage(1);
}

void TPrintPreview::ShowPage(int page)
{
    if (pageCount_ == 0)
        return;
    page = std::clamp(page, 1, pageCount_);
    if (page != currentPage_)
        RenderPage(page);
}

void TPrintPreview::RenderPage(int page)
{
    if (page_.size() != source_.pageSize)
        page_ = QImage(source_.pageSize, QImage::Format_RGB32);
    int drawn = currentPage_;
    if (page <= currentPage_ || currentPage_ == 0)
        drawn = source_.engine->DrawPage(page_, true);
    while (drawn > 0 && drawn < page)
        drawn = source_.engine->DrawPage(page_, false);
    currentPage_ = page;
    UpdateView();
}

void TPrintPreview::SetZoom(int percent)
{
    zoom_ = std::clamp(percent, 0, 800);
    const int index = ZoomBox->findData(zoom_);
    if (index >= 0)
        ZoomBox->setCurrentIndex(index);
    UpdateView();
}

double TPrintPreview::Scale() const
{
    if (zoom_ > 0 || page_.isNull())
        return zoom_ / 100.0;
    // The whole page inside the visible area, with a small border around it.
    const QSize room = PageArea->maximumViewportSize() - QSize(16, 16);
    const double scale = std::min(double(room.width()) / page_.width(), double(room.height()) / page_.height());
    return std::max(scale, 0.05);
}

void TPrintPreview::UpdateView()
{
    PageLabel->setText(QStringLiteral("%1 / %2 ページ").arg(currentPage_).arg(pageCount_));
    PreviousButton->setEnabled(currentPage_ > 1);
    NextButton->setEnabled(currentPage_ < pageCount_);
    PrintButton->setEnabled(pageCount_ > 0);
    if (page_.isNull()) {
        PageView->clear();
        return;
    }
    const double scale = Scale();
    const QSize shown(
        std::max(1, int(std::lround(page_.width() * scale))), std::max(1, int(std::lround(page_.height() * scale))));
    // Smoothing keeps thin rules visible when the page is made smaller; a
    // larger page keeps its pixels square and crisp.
    const Qt::TransformationMode mode = scale < 1.0 ? Qt::SmoothTransformation : Qt::FastTransformation;
    PageView->setPixmap(QPixmap::fromImage(scale == 1.0 ? page_ : page_.scaled(shown, Qt::IgnoreAspectRatio, mode)));
    PageView->resize(shown);
}

void TPrintPreview::PrintClick()
{
    if (OnPrint && OnPrint())
        close();
}

void TPrintPreview::showEvent(QShowEvent* event)
{
    // The first time: as tall as the screen allows, in the middle of the
    // screen the program's window is on.
    if (!placed_) {
        placed_ = true;
        const QWidget* anchor = parentWidget() != nullptr ? parentWidget()->window() : this;
        if (const QScreen* screen = anchor->screen()) {
            const QRect room = screen->availableGeometry();
            const QSize size(std::min(720, room.width() - 40), std::min(900, room.height() - 60));
            resize(size.expandedTo(QSize(320, 240)));
            move(room.center() - QPoint(width() / 2, height() / 2));
        }
    }
    QWidget::showEvent(event);
}

void TPrintPreview::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (zoom_ == 0)
        UpdateView();
}

void TPrintPreview::keyPressEvent(QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Escape:
        close();
        return;
    case Qt::Key_PageDown:
        Application::Guard([this] { NextPage(); });
        return;
    case Qt::Key_PageUp:
        Application::Guard([this] { PreviousPage(); });
        return;
    default:
        QWidget::keyPressEvent(event);
    }
}
