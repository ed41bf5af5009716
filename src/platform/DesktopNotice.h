#pragma once

// A notification on the desktop, through the freedesktop notification
// service (org.freedesktop.Notifications) on the session bus.

#include <functional>

#include <QString>

namespace DesktopNotice {

// Asks the service to show `title` and `body` and returns at once. When no
// service answers (no session bus, no service on it, an error, or no reply
// within a few seconds) `unanswered` runs, always later from the event loop.
// `clicked`, when given, runs when the user clicks the notification (its
// default action).
void Send(
    const QString& title, const QString& body, std::function<void()> unanswered, std::function<void()> clicked = {});

// Whether a session bus is there to connect to: its address in the
// environment, or the socket in the user's runtime folder. Without one, a
// connection would launch a bus daemon of its own that outlives the program.
bool SessionBusRunning();
// Keeps the program from launching a session bus of its own where none runs:
// Qt asks the bus for the desktop's theme and accessibility as it starts, and
// the daemon that libdbus would launch for that outlives the program. Called
// before the application object is made.
void KeepFromLaunchingASessionBus();

// For tests: the name of a connection made with QDBusConnection::connectToBus
// to use instead of the session bus; empty for the session bus again.
void SetConnectionName(const QString& name);

} // namespace DesktopNotice
