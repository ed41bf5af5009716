#pragma once

// The window kind of the program's small dialogs in app/: a fixed border with
// a title and a close box but no minimise or maximise box, above every other
// window. Without the customised hints the window manager is told to offer
// minimise and maximise; some window managers (openbox) draw their buttons
// whatever the window asks for.

#include <Qt>

inline constexpr Qt::WindowFlags FixedDialogFlags = Qt::Tool | Qt::WindowStaysOnTopHint | Qt::CustomizeWindowHint
    | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;
