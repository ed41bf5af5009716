#pragma once

// Application-wide services: the title, the standard error box that ends a
// failed command, the busy cursor and pending-message processing.

#include <exception>
#include <utility>

#include <QString>

namespace Application {

QString Title();
void SetTitle(const QString& title);

// The standard error box: caption = the title, error icon, the message, OK.
// The program then carries on.
void HandleException(const std::exception& error);

// The same box, shown later from the event loop: for failures inside a
// paint, which must not open a modal window while the frame is drawn.
void PostException(const std::exception& error);

// Runs a command; an exception it raises ends the command and is shown in
// the standard error box. Every handler called by Qt runs through this, so no
// exception ever enters the event loop.
template <class Command> void Guard(Command&& command)
{
    try {
        std::forward<Command>(command)();
    } catch (const std::exception& error) {
        HandleException(error);
    }
}

// Lets queued window events run.
void ProcessMessages();

// The hourglass for as long as the object lives.
class BusyCursor {
public:
    BusyCursor();
    ~BusyCursor();
    BusyCursor(const BusyCursor&) = delete;
    BusyCursor& operator=(const BusyCursor&) = delete;
};

} // namespace Application
