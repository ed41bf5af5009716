#include "reports/TotalsWindow.h"

#include <QKeyEvent>
#include <QPushButton>
#include <QRect>
#include <QStyle>

#include "platform/GlyphButton.h"
#include "platform/Text.h"
#include "views/Inputf.h"
#include "widgets/StrCGrid.h"

namespace {

// Esc that no control of the window took closes it, as its 閉じる does.
class CloseOnEscape final : public QObject {
public:
    explicit CloseOnEscape(QWidget& window)
        : QObject(&window)
    {
        window.installEventFilter(this);
    }

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::KeyPress)
            return false;
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() != Qt::Key_Escape)
            return false;
        static_cast<QWidget*>(watched)->close();
        return true;
    }
};

} // namespace

QPushButton* MakeCloseButton(QWidget& window)
{
    new CloseOnEscape(window);
    auto* button = new TGlyphButton(QStyle::SP_DialogCloseButton, QStringLiteral("閉じる"), &window);
    button->setObjectName(QStringLiteral("BitBtn1"));
    button->setGeometry(8, 8, 75, 25);
    QObject::connect(button, &QPushButton::clicked, &window, &QWidget::close);
    return button;
}

TStrColGrid* MakeTotalsGrid(QWidget& window, const QString& name, const QRect& geometry, int rowCount)
{
    auto* grid = new TStrColGrid(&window);
    grid->setObjectName(name);
    grid->setGeometry(geometry);
    grid->SetDefaultDrawing(false);
    grid->SetOptions(goFixedVertLine | goFixedHorzLine | goVertLine | goHorzLine);
    grid->SetColCount(2);
    grid->SetRowCount(rowCount);
    grid->SetFixedCols(1);
    grid->SetFixedRows(1);
    grid->SetDefaultRowHeight(24);
    grid->SetColWidths(0, 80);
    grid->SetColWidths(1, 68);
    grid->SetFixedAlignment(taLeftJustify);
    grid->SetAlignment(taRightJustify);
    grid->SetFixedLayout(tlCenter);
    grid->SetLayout(tlCenter);
    grid->SetFocusCellColor(clHighlightText);
    return grid;
}

int CaptionFiscalYear(const QString& caption, const QString& prefix)
{
    return Text::StrToInt(caption.mid(prefix.size(), 4));
}

void ShowForRequest(QWidget& window)
{
    if (!window.isVisible())
        CentreOnMainWindow(window);
    window.show();
    window.raise();
    window.activateWindow();
}
