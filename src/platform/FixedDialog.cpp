#include "platform/FixedDialog.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>
#include <QScreen>
#include <QWindow>

namespace {
// The window icon, three buttons and the spacing round the caption: openbox's
// default theme needs 110 pixels beside a caption measured in the bold window
// font (its own title font is narrower, its margins wider), xfwm4's about 70.
constexpr int TitleBarControls = 110;
} // namespace

int TitleBarWidthFor(const QString& caption)
{
    // The desktop's title-bar font when it names one, else the window font;
    // never smaller than the window font.
    QFont font = QApplication::font("QMdiSubWindowTitleBar");
    const QFont windowFont = QApplication::font();
    if (QFontMetrics(font).height() < QFontMetrics(windowFont).height())
        font = windowFont;
    font.setBold(true);
    return QFontMetrics(font).horizontalAdvance(caption) + TitleBarControls;
}

bool ClickForEnterOrEsc(const QKeyEvent& event, QAbstractButton& ok, QAbstractButton& cancel)
{
    switch (event.key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        ok.click();
        return true;
    case Qt::Key_Escape:
        cancel.click();
        return true;
    default:
        return false;
    }
}

namespace {

// Qt hands the keys of a tool window to its owner's shortcuts too, and the
// main window's menu has a 集計(&C) of its own: Alt+C in a dialog would open
// that menu, or with two claims on the key only move the focus to CANCEL.
// Claiming the key before any shortcut is looked up lets the dialog's own
// button win.
class OwnMnemonics final : public QObject {
public:
    explicit OwnMnemonics(QWidget& form)
        : QObject(&form)
        , form_(form)
    {
    }

    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() != QEvent::ShortcutOverride && event->type() != QEvent::KeyPress)
            return false;
        auto* key = static_cast<QKeyEvent*>(event);
        QAbstractButton* button = ButtonFor(QKeySequence(key->keyCombination()));
        if (button == nullptr)
            return false;
        key->accept();
        if (event->type() == QEvent::KeyPress)
            button->click();
        return true;
    }

private:
    QAbstractButton* ButtonFor(const QKeySequence& pressed) const
    {
        for (QAbstractButton* button : form_.findChildren<QAbstractButton*>()) {
            if (button->isVisible() && button->isEnabled() && QKeySequence::mnemonic(button->text()) == pressed)
                return button;
        }
        return nullptr;
    }

    QWidget& form_;
};

} // namespace

void SetUpDialogKeys(QWidget& form)
{
    for (QPushButton* button : form.findChildren<QPushButton*>())
        button->setAutoDefault(true);
    auto* mnemonics = new OwnMnemonics(form);
    form.installEventFilter(mnemonics);
    for (QWidget* control : form.findChildren<QWidget*>())
        control->installEventFilter(mnemonics);
}

namespace {

QList<QRect>& AreasForTests()
{
    static QList<QRect> areas;
    return areas;
}

// The window manager's frame once the window has one; before that a title
// bar's worth above and a thin border on the other sides.
QMargins FrameOf(const QWidget& window)
{
    const QWindow* handle = window.windowHandle();
    const QMargins frame = handle ? handle->frameMargins() : QMargins();
    return frame.isNull() ? QMargins(4, 28, 4, 4) : frame;
}

// The area of the screen that holds the middle of `outer`, else the one of
// the window's owner, else the primary's.
QRect AreaFor(const QWidget& window, const QRect& outer)
{
    const QList<QRect> areas = ScreenAreas();
    for (const QPoint point : { outer.center(),
             window.parentWidget() ? window.parentWidget()->window()->frameGeometry().center() : outer.center() })
        for (const QRect& area : areas)
            if (area.contains(point))
                return area;
    return areas.isEmpty() ? QRect() : areas.first();
}

class ScreenFitter final : public QObject {
public:
    using QObject::QObject;

    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() != QEvent::Show || !watched->isWidgetType())
            return false;
        auto& widget = static_cast<QWidget&>(*watched);
        const Qt::WindowType type = widget.windowType();
        if (widget.isWindow() && widget.parentWidget()
            && (type == Qt::Window || type == Qt::Dialog || type == Qt::Tool))
            FitToScreen(widget);
        return false;
    }
};

} // namespace

QList<QRect> ScreenAreas()
{
    if (!AreasForTests().isEmpty())
        return AreasForTests();
    QList<QRect> areas;
    for (const QScreen* screen : QGuiApplication::screens()) // the primary first
        areas << screen->availableGeometry();
    return areas;
}

void SetScreenAreas(const QList<QRect>& areas) { AreasForTests() = areas; }

void FitToScreen(QWidget& window)
{
    const QMargins frame = FrameOf(window);
    const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    // A window's position is where its frame's corner stands, once it has a
    // frame; before it is mapped, X11 puts the inside there and the frame
    // around it, its title bar above.
    const bool framed = window.windowHandle() && !window.windowHandle()->frameMargins().isNull();
    const QPoint at = framed ? window.pos() : window.pos() - QPoint(frame.left(), frame.top());
    const QRect outer(at, window.size() + frameSize);
    const QRect area = AreaFor(window, outer);
    if (area.isEmpty())
        return;
    const QSize room = (area.size() - frameSize).expandedTo(QSize(1, 1));
    if (window.width() > room.width() || window.height() > room.height()) {
        window.setMinimumSize(window.minimumSize().boundedTo(room));
        window.resize(window.size().boundedTo(room));
    }
    const QSize whole = window.size() + frameSize;
    const QPoint corner(std::clamp(outer.left(), area.left(), std::max(area.left(), area.right() + 1 - whole.width())),
        std::clamp(outer.top(), area.top(), std::max(area.top(), area.bottom() + 1 - whole.height())));
    // Placed by its inside, which X11 takes as such before and after mapping.
    if (corner != outer.topLeft())
        window.setGeometry(QRect(corner + QPoint(frame.left(), frame.top()), window.size()));
}

void FitWindowsToScreen()
{
    static ScreenFitter* fitter = nullptr;
    if (fitter)
        return;
    fitter = new ScreenFitter(qApp);
    qApp->installEventFilter(fitter);
}
