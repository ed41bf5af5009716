#pragma once

// Two Syncthing instances on the loopback that keep two folders in step, as
// two machines sharing one data folder would: each has its own home (keys,
// configuration, database) under a temporary folder and talks only to the
// other, side 0 dialling side 1 at its 127.0.0.1 address (no discovery,
// relays, NAT, usage reports or upgrades), and shares one send-and-receive folder that it scans
// every second and watches for changes. Both are killed when the object
// goes, and by the system when the test program dies first.

#include <array>
#include <functional>
#include <memory>

#include <QJsonDocument>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

class QNetworkAccessManager;

class SyncthingPair {
public:
    SyncthingPair();
    ~SyncthingPair();
    SyncthingPair(const SyncthingPair&) = delete;
    SyncthingPair& operator=(const SyncthingPair&) = delete;

    // Starts both and waits until they are connected. Empty when all went
    // well, otherwise what failed (with the ends of both logs).
    QString Start();

    // The shared folder of side 0 or 1, with a trailing '/'.
    QString Folder(int side) const;

    // Side 0 pauses the other device, so both are offline until Reconnect.
    // Each waits until both sides see the change; false on the deadline.
    bool Disconnect();
    bool Reconnect();

    // Both instances are idle with nothing to pull, each says the other is
    // complete, and both folders hold the same files with the same bytes.
    bool InSync();

    // Waits until InSync holds twice in a row, a watcher delay apart.
    bool WaitInSync(int timeoutMs);

    // The relative paths of the files in the folder of `side` (Syncthing's
    // own marker and temporary files left out), sorted.
    QStringList Files(int side) const;

    // The last lines of both logs, for a failure message.
    QString LogTails() const;

private:
    struct Side {
        QString Home, Folder, DeviceId, Log;
        int GuiPort = 0, ListenPort = 0;
        std::unique_ptr<QProcess> Process;
    };

    QJsonDocument Rest(int side, const QByteArray& method, const QString& pathAndQuery, bool* ok = nullptr);
    bool Connected(int side);
    bool WaitFor(int timeoutMs, const std::function<bool()>& condition);
    void Stop();

    QTemporaryDir root_;
    std::array<Side, 2> sides_;
    std::unique_ptr<QNetworkAccessManager> network_;
};

// Polls `condition` every 100 ms while Qt's events run, until it holds or
// `timeoutMs` pass; says whether it held.
bool WaitUntil(int timeoutMs, const std::function<bool()>& condition);
