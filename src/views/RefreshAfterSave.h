#pragma once

// After the entry dialog saved a day: the open calendar shows it, when the day
// lies in the period it shows; a day elsewhere leaves it as it is. The
// fiscal-year and month calendars change the one cell (and refill what they
// show when the day was cleared, so that the cell falls back to its weekday or
// holiday code); the holiday list is rebuilt. Which calendar is open is read from the main
// window's marks Y1, M1 and H2.

#include <QString>

void RefreshAfterSave(int year, int month, int day, int kind, const QString& memo);
