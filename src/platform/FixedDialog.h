#pragma once

// The frame of the program's small dialogs of fixed size: a title and a close
// button, no minimise or maximise button, above the main window, and wide
// enough that the title bar shows the caption whole.

#include <QList>
#include <QRect>
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

// The available areas of the screens, the primary first; where the program
// places its windows. Tests may set larger ones than the offscreen
// platform's; an empty list means the real screens again.
QList<QRect> ScreenAreas();
void SetScreenAreas(const QList<QRect>& areas);

// Keeps `window` within the available area of the screen it stands on (or
// the primary): made no larger than that area, frame included, and moved in
// where it stands out. A frame not yet known is allowed for as a title bar's
// worth.
void FitToScreen(QWidget& window);

// From now on every window the program opens over its main window is fitted
// to its screen as it is shown, whatever size and place its own code gave
// it. The main window places itself on the screens.
void FitWindowsToScreen();
