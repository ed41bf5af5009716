#include "app/WindowFont.h"

#include <QApplication>

#include "platform/Canvas.h"

QFont WindowFont()
{
    QFont font(WindowFontFamily());
    font.setPixelSize(12);
    return font;
}

void InstallWindowFont()
{
    InstallFontSubstitutions();
    QApplication::setFont(WindowFont());
}
