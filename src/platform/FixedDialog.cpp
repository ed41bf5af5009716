#include "platform/FixedDialog.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QKeySequence>
#include <QPushButton>

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
