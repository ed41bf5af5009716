#pragma once

// The program's set-up between the single-instance check and the event loop:
// the application title, the Japanese locale, the window font, the data
// folder made ready, the main window with the calendars plugged in, shown,
// and then the long-lived windows, created in their fixed order.

class TMainform;

// Returns the main window (also Mainform), shown; it owns the other windows.
TMainform* CreateProgramWindows();
