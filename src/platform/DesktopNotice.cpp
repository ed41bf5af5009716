#include "platform/DesktopNotice.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QStringList>
#include <QTimer>
#include <QVariantMap>

#include "platform/Application.h"

namespace DesktopNotice {

namespace {

QString& ConnectionName()
{
    static QString name;
    return name;
}

// Long enough for a service the bus starts on demand, short enough that a
// hung one does not keep the user waiting for the words.
constexpr int ReplyTimeoutMs = 5000;

} // namespace

void Send(const QString& title, const QString& body, std::function<void()> unanswered)
{
    const QDBusConnection bus
        = ConnectionName().isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(ConnectionName());
    if (!bus.isConnected()) {
        QTimer::singleShot(0, qApp, std::move(unanswered));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("/org/freedesktop/Notifications"), QStringLiteral("org.freedesktop.Notifications"),
        QStringLiteral("Notify"));
    // Application name, no notification to replace, no icon, the texts, no
    // actions, no hints, and the service's own display time.
    call << Application::Title() << 0u << QString() << title << body << QStringList() << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, ReplyTimeoutMs), qApp);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
        [unanswered = std::move(unanswered)](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            if (finished->isError())
                unanswered();
        });
}

void SetConnectionName(const QString& name) { ConnectionName() = name; }

} // namespace DesktopNotice
