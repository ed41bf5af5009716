#include "platform/GlyphButton.h"

TGlyphButton::TGlyphButton(QStyle::StandardPixmap glyph, const QString& text, QWidget* parent)
    : QPushButton(text, parent)
    , glyph_(glyph)
{
}

void TGlyphButton::showEvent(QShowEvent* event)
{
    if (icon().isNull())
        setIcon(style()->standardIcon(glyph_, nullptr, this));
    QPushButton::showEvent(event);
}
