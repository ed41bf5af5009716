#include "platform/DesktopNotice.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QFileInfo>
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

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");

// Waits for the service to say that the user clicked the notification `id`,
// then runs what the program asked for it; gone once the notification is.
class Clicks final : public QObject {
    Q_OBJECT

public:
    static void Expect(QDBusConnection bus, uint id, std::function<void()> clicked)
    {
        auto* clicks = new Clicks(id, std::move(clicked));
        bus.connect(
            Service, Path, Service, QStringLiteral("ActionInvoked"), clicks, SLOT(ActionInvoked(uint, QString)));
        bus.connect(
            Service, Path, Service, QStringLiteral("NotificationClosed"), clicks, SLOT(NotificationClosed(uint, uint)));
    }

private slots:
    void ActionInvoked(uint id, const QString& action)
    {
        if (id != id_ || action != QStringLiteral("default"))
            return;
        deleteLater();
        Application::Guard(clicked_);
    }
    void NotificationClosed(uint id, uint)
    {
        if (id == id_)
            deleteLater();
    }

private:
    Clicks(uint id, std::function<void()> clicked)
        : QObject(qApp)
        , id_(id)
        , clicked_(std::move(clicked))
    {
    }

    const uint id_;
    const std::function<void()> clicked_;
};

} // namespace

namespace {
// libdbus's address for "no bus": every connection fails at once.
constexpr char NoBus[] = "disabled:";
} // namespace

bool SessionBusRunning()
{
    if (!qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        return qgetenv("DBUS_SESSION_BUS_ADDRESS") != NoBus;
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    return !runtime.isEmpty() && QFileInfo::exists(runtime + QStringLiteral("/bus"));
}

void KeepFromLaunchingASessionBus()
{
    if (!SessionBusRunning())
        qputenv("DBUS_SESSION_BUS_ADDRESS", NoBus);
}

void Send(const QString& title, const QString& body, std::function<void()> unanswered, std::function<void()> clicked)
{
    if (ConnectionName().isEmpty() && !SessionBusRunning()) {
        QTimer::singleShot(0, qApp, std::move(unanswered));
        return;
    }
    QDBusConnection bus
        = ConnectionName().isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(ConnectionName());
    if (!bus.isConnected()) {
        QTimer::singleShot(0, qApp, std::move(unanswered));
        return;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(Service, Path, Service, QStringLiteral("Notify"));
    // A click on the notification is its default action; a service that
    // shows actions as buttons names it 開く.
    QStringList actions;
    if (clicked)
        actions << QStringLiteral("default") << QStringLiteral("開く");
    // Application name, no notification to replace, no icon, the texts, the
    // actions, no hints, and the service's own display time.
    call << Application::Title() << 0u << QString() << title << body << actions << QVariantMap() << -1;
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, ReplyTimeoutMs), qApp);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher,
        [bus, unanswered = std::move(unanswered), clicked = std::move(clicked)](QDBusPendingCallWatcher* finished) {
            finished->deleteLater();
            const QDBusPendingReply<uint> reply = *finished;
            if (reply.isError()) {
                unanswered();
                return;
            }
            if (clicked)
                Clicks::Expect(bus, reply.value(), clicked);
        });
}

void SetConnectionName(const QString& name) { ConnectionName() = name; }

} // namespace DesktopNotice

#include "DesktopNotice.moc"
