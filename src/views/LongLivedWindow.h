#pragma once

// A window that, once made, lives as long as the main window and only hides
// when closed: the entry dialog, the options, the about box, the print
// dialog and the like. Each is reached through a global of this type, which
// makes the window, a child of the main window, the first time it is
// asked for: most are seldom opened, and none is in the first picture, so
// the program starts without them. While there is no main window (before
// it is made and after it is gone) the global is null.
//
// The window's constructor points the global at itself and its destructor
// resets it, so a window made directly (a test, a benchmark) is the one the
// global gives.

class QWidget;

// The main window as the parent of the long-lived windows; null while there
// is none.
QWidget* LongLivedWindowOwner();

template <typename Window> class LongLivedWindow {
public:
    // The window, made now if it was not yet; null without a main window.
    Window* Get() const
    {
        if (!window_) {
            if (QWidget* owner = LongLivedWindowOwner())
                new Window(owner); // its constructor sets window_
        }
        return window_;
    }
    Window* operator->() const { return Get(); }
    operator Window*() const { return Get(); }

    // The window if it was made, without making it.
    Window* Existing() const { return window_; }

    LongLivedWindow& operator=(Window* window)
    {
        window_ = window;
        return *this;
    }

private:
    // Set by the window itself; a made window is still "the" window, so
    // Get() may make it on a const global.
    mutable Window* window_ = nullptr;
};
