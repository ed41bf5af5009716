#pragma once

// After the entry dialog saved a day: the open calendar shows it, when the day
// lies in the period it shows; a day elsewhere leaves it as it is. The
// fiscal-year and month calendars change the one cell (and refill what they
// show when the day was cleared, so that the cell falls back to its weekday or
// holiday code); the holiday list is rebuilt. Which calendar is open is read from the main
// window's marks Y1, M1 and H2.

#include <functional>

#include <QString>

void RefreshAfterSave(int year, int month, int day, int kind, const QString& memo);

// Windows above the calendars that show what the data file holds register
// here and are called after the calendars, on every save, in the order they
// registered. The id removes the listener again.
int AddSaveListener(std::function<void()> listener);
void RemoveSaveListener(int id);
