#pragma once

// What the totals windows share: the close button at the top left, their
// grids, the fiscal year read back from their caption and how a request
// shows them.

#include <QString>

class QPushButton;
class QRect;
class QWidget;
class TStrColGrid;

// "閉じる" at the top left; it hides the window, and so does Esc.
QPushButton* MakeCloseButton(QWidget& window);

// A two-column grid of labels and figures, one fixed row and column, rows 24
// pixels high, labels left and figures right, not editable.
TStrColGrid* MakeTotalsGrid(QWidget& window, const QString& name, const QRect& geometry, int rowCount);

// The four characters right after the prefix as a number: a year of fewer
// digits raises EConvertError, one of more is read as its first four.
int CaptionFiscalYear(const QString& caption, const QString& prefix);

// Shows a hidden window centred on the main window; a visible one comes to
// the front.
void ShowForRequest(QWidget& window);
