#include "platform/Application.h"

#include <QApplication>
#include <QCursor>
#include <QGuiApplication>

#include "platform/Dialogs.h"
#include "platform/Errors.h"

namespace Application {

namespace {
QString& TitleText()
{
    static QString title;
    return title;
}
} // namespace

QString Title() { return TitleText(); }

// Kept apart from Qt's application display name, which the desktop would
// append to the caption of every window and message box.
void SetTitle(const QString& title) { TitleText() = title; }

namespace {
QString MessageOf(const std::exception& error)
{
    const auto* own = dynamic_cast<const Exception*>(&error);
    return own ? own->Message() : QString::fromUtf8(error.what());
}
} // namespace

void HandleException(const std::exception& error)
{
    // Owned by the window in front, so that it comes up over a dialog that
    // stays on top and has just failed.
    Dialogs::MessageBox(Dialogs::TopWindow(), MessageOf(error), Title(), MsgIcon::Error, MsgButtons::Ok);
}

void PostException(const std::exception& error)
{
    // Only the message travels: the exception itself ends with its handler.
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [message = MessageOf(error)] { HandleException(Exception(message)); },
        Qt::QueuedConnection);
}

void ProcessMessages() { QCoreApplication::processEvents(); }

BusyCursor::BusyCursor() { QGuiApplication::setOverrideCursor(QCursor(Qt::WaitCursor)); }

BusyCursor::~BusyCursor() { QGuiApplication::restoreOverrideCursor(); }

} // namespace Application
