#include "widgets/CmbGridEdit.h"

#include <algorithm>

#include <QApplication>
#include <QCoreApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "widgets/CmbGrid.h"

// ---------------------------------------------------------------- list

TInplaceListBox::TInplaceListBox(TComboInplaceEdit& editor)
    : QListWidget(&editor)
    , editor_(editor)
{
    // A window of its own floats above the form and may reach beyond the
    // grid. It never takes the focus from the editor, which passes the
    // list its keys, so it shows its selection as if it had the focus.
    setWindowFlags(Qt::Tool | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint | Qt::WindowDoesNotAcceptFocus);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    setSelectionMode(QAbstractItemView::SingleSelection);
    QPalette colours = palette();
    for (const QPalette::ColorRole role : { QPalette::Highlight, QPalette::HighlightedText })
        colours.setColor(QPalette::Inactive, role, colours.color(QPalette::Active, role));
    setPalette(colours);
    resize(DefaultWidth, DefaultHeight);
    hide();
}

void TInplaceListBox::PickItem()
{
    QListWidgetItem* item = currentItem();
    if (item == nullptr || !item->isSelected())
        return;
    editor_.setText(item->text());
    // The cell follows the editor's text at once.
    if (!editor_.detached_)
        editor_.ComboGrid().CommitEditor();
}

void TInplaceListBox::keyPressEvent(QKeyEvent* event)
{
    Application::Guard([&] {
        const int key = event->key();
        if (key != Qt::Key_Up && key != Qt::Key_Down) {
            QListWidget::keyPressEvent(event);
            return;
        }
        if (count() == 0)
            return;
        const int row = currentRow();
        const int next = row < 0 ? 0 : std::clamp(row + (key == Qt::Key_Down ? 1 : -1), 0, count() - 1);
        setCurrentRow(next);
    });
}

void TInplaceListBox::keyReleaseEvent(QKeyEvent* event)
{
    QListWidget::keyReleaseEvent(event);
    Application::Guard([&] { PickItem(); });
}

void TInplaceListBox::mouseReleaseEvent(QMouseEvent* event)
{
    QListWidget::mouseReleaseEvent(event);
    Application::Guard([&] {
        const bool onItem = itemAt(event->position().toPoint()) != nullptr;
        PickItem();
        hide();
        // The click is reported once the cell holds the choice.
        if (onItem && event->button() == Qt::LeftButton)
            editor_.DropDownClick();
    });
}

// ---------------------------------------------------------------- editor

TComboInplaceEdit::TComboInplaceEdit(TComboGrid& grid)
    : TInplaceEdit(grid)
{
    setMouseTracking(true);
}

TComboInplaceEdit::~TComboInplaceEdit() = default;

TComboGrid& TComboInplaceEdit::ComboGrid() const { return static_cast<TComboGrid&>(Grid()); }

int TComboInplaceEdit::DropButtonWidth()
{
    static const int width = std::max(1, QApplication::style()->pixelMetric(QStyle::PM_ScrollBarExtent));
    return width;
}

void TComboInplaceEdit::SetCellKind(const TCellKind* K)
{
    if (K == nullptr) {
        cellKind_.SetKind(ckEdit);
    } else {
        cellKind_.CopyFrom(*K);
        if (cellKind_.Kind() == ckCombo) {
            if (dropDown_ == nullptr)
                dropDown_ = new TInplaceListBox(*this);
            dropDown_->clear();
            dropDown_->resize(std::max(0, cellKind_.DropDownWidth()), dropDown_->height());
            for (const TCellKindItems::Item& item : cellKind_.Items().Items())
                dropDown_->addItem(item.Text);
        }
    }
    if (cellKind_.Kind() != ckCombo)
        CloseDropDown();
    UpdateTextArea();
    update();
}

void TComboInplaceEdit::UpdateTextArea()
{
    // The text stops short of the drop-down button.
    setTextMargins(0, 0, cellKind_.Kind() == ckCombo ? DropButtonWidth() : 0, 0);
}

void TComboInplaceEdit::CloseDropDown()
{
    if (dropDown_ != nullptr && dropDown_->isVisible()) {
        dropDown_->hide();
        update();
    }
}

void TComboInplaceEdit::ToggleDropDown()
{
    if (dropDown_ == nullptr)
        return;
    const bool open = dropDown_->isVisible();
    if (!open) {
        dropDown_->clearSelection();
        dropDown_->setCurrentItem(nullptr);
        const QString current = text();
        for (int i = 0; i < dropDown_->count(); ++i) {
            if (dropDown_->item(i)->text().compare(current, Qt::CaseInsensitive) == 0) {
                dropDown_->setCurrentRow(i);
                break;
            }
        }
        // Under the editor, right edges lined up, never narrower than it.
        const int w = std::max(cellKind_.DropDownWidth(), width());
        const QPoint bottomRight = mapToGlobal(QPoint(width(), height()));
        dropDown_->setGeometry(bottomRight.x() - w, bottomRight.y(), w, dropDown_->height());
        selectAll();
    }
    dropDown_->setVisible(!open);
    update();
}

void TComboInplaceEdit::DropDownClick()
{
    if (detached_)
        return;
    TComboGrid& grid = ComboGrid();
    grid.DoGridBtnClick(grid.Col(), grid.Row());
}

void TComboInplaceEdit::DrawDropButton(bool pressed)
{
    QPainter painter(this);
    TCanvas canvas(painter);
    const int w = width();
    const int h = height();
    const int bw = DropButtonWidth();
    DrawButtonFace(canvas, { w - bw, 0, w, h - 1 }, pressed);
    // A downward triangle of four shrinking lines.
    canvas.Pen().SetColor(clBtnText);
    canvas.Pen().SetWidth(1);
    for (int i = 0; i < 4; ++i) {
        const int x = w + i - bw / 2 - 4;
        const int y = h / 2 + i - 2;
        canvas.MoveTo(x, y);
        canvas.LineTo(x + 7 - 2 * i, y);
    }
    if (pressed)
        canvas.DrawFocusRect({ w - bw, 0, w, h });
}

void TComboInplaceEdit::paintEvent(QPaintEvent* event)
{
    QLineEdit::paintEvent(event);
    Application::Guard([&] {
        if (cellKind_.Kind() == ckCombo)
            DrawDropButton(buttonDownX_ >= 0);
    });
}

void TComboInplaceEdit::focusInEvent(QFocusEvent* event)
{
    QLineEdit::focusInEvent(event);
    UpdateTextArea();
}

void TComboInplaceEdit::focusOutEvent(QFocusEvent* event)
{
    if (cellKind_.Kind() == ckCombo)
        CloseDropDown();
    if (detached_)
        QLineEdit::focusOutEvent(event);
    else
        TInplaceEdit::focusOutEvent(event);
}

void TComboInplaceEdit::hideEvent(QHideEvent* event)
{
    // The list never outlives the editor on the screen.
    CloseDropDown();
    TInplaceEdit::hideEvent(event);
}

void TComboInplaceEdit::mousePressEvent(QMouseEvent* event)
{
    QLineEdit::mousePressEvent(event);
    buttonDownX_ = -1;
    const int x = event->position().toPoint().x();
    if (cellKind_.Kind() == ckCombo && event->button() == Qt::LeftButton && x > width() - DropButtonWidth()) {
        buttonDownX_ = x;
        update();
    }
}

void TComboInplaceEdit::mouseMoveEvent(QMouseEvent* event)
{
    QLineEdit::mouseMoveEvent(event);
    if (cellKind_.Kind() == ckCombo && event->position().toPoint().x() > width() - DropButtonWidth())
        setCursor(Qt::ArrowCursor);
    else
        unsetCursor();
}

void TComboInplaceEdit::mouseReleaseEvent(QMouseEvent* event)
{
    QLineEdit::mouseReleaseEvent(event);
    Application::Guard([&] {
        // A press and release on the editor make a click, handled before
        // the button comes up again.
        if (rect().contains(event->position().toPoint()) && cellKind_.Kind() == ckCombo && buttonDownX_ >= 0)
            ToggleDropDown();
    });
    if (cellKind_.Kind() == ckCombo)
        update();
    buttonDownX_ = -1;
}

void TComboInplaceEdit::keyPressEvent(QKeyEvent* event)
{
    if (cellKind_.Kind() == ckCombo) {
        const int key = event->key();
        if (key == Qt::Key_Escape) {
            CloseDropDown();
            return;
        }
        if (key == Qt::Key_Up || key == Qt::Key_Down) {
            if (dropDown_ != nullptr) {
                QKeyEvent passed(QEvent::KeyPress, key, event->modifiers(), event->text(), event->isAutoRepeat());
                QCoreApplication::sendEvent(dropDown_, &passed);
            }
            return;
        }
    }
    TInplaceEdit::keyPressEvent(event);
}

void TComboInplaceEdit::keyReleaseEvent(QKeyEvent* event)
{
    const int key = event->key();
    if (cellKind_.Kind() == ckCombo && (key == Qt::Key_Up || key == Qt::Key_Down)) {
        if (dropDown_ != nullptr) {
            QKeyEvent passed(QEvent::KeyRelease, key, event->modifiers(), event->text(), event->isAutoRepeat());
            QCoreApplication::sendEvent(dropDown_, &passed);
        }
        return;
    }
    TInplaceEdit::keyReleaseEvent(event);
}
