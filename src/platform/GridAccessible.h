#pragma once

// What assistive technology (a screen reader, a magnifier) learns of a
// string grid. The grid is a table whose rows and columns are its scrolling
// ones; the fixed cells are the row and column headers. A cell's name is its
// text and its description what the grid's AccessibleCellDescription says of
// it (a calendar gives the day's date); the current cell is the focused
// child and the selection rectangle the selected cells.
//
// The grid's accessible children are all its cells, fixed ones included,
// row by row: cell (col, row) is child row × ColCount + col. Events name
// their cell by that index.
//
// The grid reports its changes through the functions below. Each returns at
// once while no assistive technology listens (QAccessible::isActive), so a
// grid costs nothing more when accessibility is off.

class TStringGrid;

namespace GridAccessible {

// Lets every string grid (and every grid built on it) answer through these
// interfaces. A grid calls it when it is created; further calls do nothing.
void Install();

// The accessible child index of a cell; -1 outside the grid.
int ChildIndex(const TStringGrid& grid, int col, int row);

// A cell's text changed: its name, and so its value, changed.
void CellChanged(TStringGrid& grid, int col, int row);
// The current cell or the selection changed: the focus moves to the current
// cell when the grid has the keyboard focus, and the selection is reported.
void CurrentCellChanged(TStringGrid& grid);
// The grid received the keyboard focus: the current cell is focused.
void FocusEntered(TStringGrid& grid);
// The counts of rows, columns or fixed ones changed: the table is rebuilt.
void LayoutChanged(TStringGrid& grid);

} // namespace GridAccessible
