#pragma once

// The frame of the program's small dialogs of fixed size: a title and a close
// button, no minimise or maximise button, above the main window, and wide
// enough that the title bar shows the caption whole.

#include <Qt>

class QAbstractButton;
class QKeyEvent;
class QString;
class QWidget;

inline constexpr Qt::WindowFlags FixedToolDialogFlags = Qt::Tool | Qt::WindowStaysOnTopHint
    | Qt::MSWindowsFixedSizeDialogHint | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint;

// The narrowest frame at which a window manager's title bar shows `caption`
// whole: the caption in a bold title font, with room for the window icon and
// three buttons. Some window managers (openbox) draw minimise and maximise
// buttons whatever the window asks for, and most set titles in bold type
// larger than a dialog's text.
int TitleBarWidthFor(const QString& caption);

// Enter clicks `ok` and Esc clicks `cancel`, for a dialog whose controls leave
// those keys to it; true when the key was one of them.
bool ClickForEnterOrEsc(const QKeyEvent& event, QAbstractButton& ok, QAbstractButton& cancel);

// The keys of a dialog, set up once its controls exist: Enter on a focused
// push button presses that button, so that the form's own Enter rule never
// sees the key (Qt lets a button take Enter only inside a QDialog, and the
// program's dialogs are plain windows); and Alt with a button's underlined
// letter presses that button, whatever the main window's menu has on the
// same letter.
void SetUpDialogKeys(QWidget& form);
