#pragma once

// A push button with one of the style's standard glyphs (OK, close …).
//
// The style looks such a glyph up in the desktop's icon theme, a walk of
// the theme's folders that costs more than the rest of a dialog. Dialogs
// that are made at every start but seldom opened would pay it before the
// main window could show, so the glyph is looked up when the button is
// first shown.

#include <QPushButton>
#include <QStyle>

class TGlyphButton : public QPushButton {
public:
    TGlyphButton(QStyle::StandardPixmap glyph, const QString& text, QWidget* parent);

protected:
    void showEvent(QShowEvent* event) override;

private:
    QStyle::StandardPixmap glyph_;
};
