#include "platform/FixedDialog.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QFontMetrics>
#include <QKeyEvent>
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

void LetButtonsTakeEnter(QWidget& form)
{
    for (QPushButton* button : form.findChildren<QPushButton*>())
        button->setAutoDefault(true);
}
