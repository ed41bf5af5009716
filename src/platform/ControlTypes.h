#pragma once

// Small enumerations shared by the grid widgets. Their numeric values are
// the ones stored in window layouts; the names are how a component stream
// writes them.

#include <QString>

class QWidget;

#include <cstdint>

enum TAlignment : std::uint8_t { taLeftJustify = 0, taRightJustify = 1, taCenter = 2 };

enum TTextLayout : std::uint8_t { tlTop = 0, tlCenter = 1, tlBottom = 2 };

// The input-method state an edit field asks for (Japanese input on or off,
// and which kind of characters it produces).
enum TImeMode : std::uint8_t {
    imDisable = 0,
    imClose = 1,
    imOpen = 2,
    imDontCare = 3,
    imSAlpha = 4,
    imAlpha = 5,
    imHira = 6,
    imSKata = 7,
    imKata = 8,
    imChinese = 9,
    imSHanguel = 10,
    imHanguel = 11,
};

// Gives window the input-method behaviour closest to mode (see the table in
// ControlTypes.cpp). Every mode sets both the input-method attribute and the
// hints, so that switching a window from one mode to another never leaves a
// setting of the former behind.
void ApplyImeMode(QWidget& window, TImeMode mode);

// Stream names of the values above; the lookups answer false for a name
// that is not one of them.
QString AlignmentName(TAlignment value);
bool AlignmentFromName(const QString& name, TAlignment& value);
QString TextLayoutName(TTextLayout value);
bool TextLayoutFromName(const QString& name, TTextLayout& value);
QString ImeModeName(TImeMode value);
bool ImeModeFromName(const QString& name, TImeMode& value);
