#pragma once

// The program's set-up between the single-instance check and the event loop:
// the application title, the Japanese locale, the window font, the data
// folder made ready and the long-lived windows, created in their fixed order;
// the calendars are plugged into the main window.

class TMainform;

// Returns the main window (also Mainform); it owns the other windows.
TMainform* CreateProgramWindows();
