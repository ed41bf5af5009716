#pragma once

// Plugs the three calendar windows into the main window's open-calendar
// operations.

class TMainform;

void InstallCalendarWindows(TMainform& mainform);
