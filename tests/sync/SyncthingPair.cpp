#include "sync/SyncthingPair.h"

#include <csignal>
#include <cstdio>
#include <sys/prctl.h>

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QHostAddress>
#include <QJsonArray>
#include <QJsonObject>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <QStandardPaths>
#include <QTcpServer>
#include <QThread>
#include <QTimer>

namespace {

constexpr auto ApiKey = "valdemor-sync-test";
const QString FolderId = QStringLiteral("valdemor");

QString Syncthing() { return QStandardPaths::findExecutable(QStringLiteral("syncthing")); }

// Distinct free ports: all are held open until the last is found.
std::array<int, 4> FreePorts()
{
    std::array<QTcpServer, 4> servers;
    std::array<int, 4> ports {};
    for (size_t i = 0; i < servers.size(); ++i) {
        servers[i].listen(QHostAddress::LocalHost, 0);
        ports[i] = servers[i].serverPort();
    }
    return ports;
}

QString RunSyncthing(const QStringList& arguments, bool* ok)
{
    QProcess process;
    process.start(Syncthing(), arguments);
    *ok = process.waitForFinished(30000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
    return QString::fromUtf8(process.readAllStandardOutput() + process.readAllStandardError()).trimmed();
}

QByteArray Config(const QString& self, const QString& other, int guiPort, int listenPort, const QString& otherAddress,
    const QString& folder)
{
    // What a user's folder has by default: ten conflict copies kept (with
    // none, Syncthing would drop the losing version without a copy).
    return QStringLiteral(R"(<configuration version="36">
  <folder id="%6" label="%6" path="%5" type="sendreceive" rescanIntervalS="1" fsWatcherEnabled="true" fsWatcherDelayS="1" ignorePerms="false" autoNormalize="true">
    <filesystemType>basic</filesystemType>
    <device id="%1"></device>
    <device id="%2"></device>
    <minDiskFree unit="%">1</minDiskFree>
    <maxConflicts>10</maxConflicts>
    <markerName>.stfolder</markerName>
  </folder>
  <device id="%1" name="self" compression="metadata"><address>dynamic</address></device>
  <device id="%2" name="other" compression="metadata"><address>%4</address></device>
  <gui enabled="true" tls="false"><address>127.0.0.1:%3</address><apikey>%7</apikey></gui>
  <options>
    <listenAddress>tcp://127.0.0.1:%8</listenAddress>
    <globalAnnounceEnabled>false</globalAnnounceEnabled>
    <localAnnounceEnabled>false</localAnnounceEnabled>
    <relaysEnabled>false</relaysEnabled>
    <natEnabled>false</natEnabled>
    <startBrowser>false</startBrowser>
    <urAccepted>-1</urAccepted>
    <autoUpgradeIntervalH>0</autoUpgradeIntervalH>
    <crashReportingEnabled>false</crashReportingEnabled>
    <reconnectionIntervalS>1</reconnectionIntervalS>
  </options>
</configuration>
)")
        .arg(self, other, QString::number(guiPort), otherAddress, folder, FolderId, QString::fromLatin1(ApiKey),
            QString::number(listenPort))
        .toUtf8();
}

QString Tail(const QString& path, int lines)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    const QStringList all = QString::fromUtf8(file.readAll()).split(u'\n');
    return all.mid(std::max<qsizetype>(0, all.size() - lines)).join(u'\n');
}

QByteArray Bytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

bool WaitUntil(int timeoutMs, const std::function<bool()>& condition)
{
    QElapsedTimer timer;
    timer.start();
    for (;;) {
        if (condition())
            return true;
        if (timer.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(100);
    }
}

SyncthingPair::SyncthingPair()
    : network_(std::make_unique<QNetworkAccessManager>())
{
}

SyncthingPair::~SyncthingPair() { Stop(); }

void SyncthingPair::Stop()
{
    for (Side& side : sides_) {
        if (side.Process && side.Process->state() != QProcess::NotRunning) {
            side.Process->kill();
            side.Process->waitForFinished(5000);
        }
    }
}

QString SyncthingPair::Start()
{
    if (Syncthing().isEmpty())
        return QStringLiteral("syncthing is not installed (scripts/install-deps installs it)");
    // VALDEMOR_SYNC_KEEP keeps both homes, logs and folders for a look afterwards.
    if (qEnvironmentVariableIsSet("VALDEMOR_SYNC_KEEP")) {
        root_.setAutoRemove(false);
        std::fprintf(stderr, "kept: %s\n", qPrintable(root_.path()));
    }
    if (!root_.isValid())
        return QStringLiteral("cannot make a temporary folder");
    const std::array<int, 4> ports = FreePorts();
    for (int i = 0; i < 2; ++i) {
        Side& side = sides_[size_t(i)];
        const QString name = i == 0 ? QStringLiteral("a") : QStringLiteral("b");
        side.Home = root_.filePath(QStringLiteral("home-") + name);
        side.Folder = root_.filePath(QStringLiteral("data-") + name) + u'/';
        side.Log = root_.filePath(QStringLiteral("syncthing-") + name + QStringLiteral(".log"));
        side.GuiPort = ports[size_t(2 * i)];
        side.ListenPort = ports[size_t(2 * i + 1)];
        // The marker that tells Syncthing the folder is there (and mounted).
        if (!QDir().mkpath(side.Folder + QStringLiteral(".stfolder")))
            return QStringLiteral("cannot make ") + side.Folder;
        bool ok = false;
        const QString generated = RunSyncthing({ QStringLiteral("generate"), QStringLiteral("--home=") + side.Home,
                                                   QStringLiteral("--no-default-folder") },
            &ok);
        if (!ok)
            return QStringLiteral("syncthing generate failed: ") + generated;
        side.DeviceId = RunSyncthing(
            { QStringLiteral("serve"), QStringLiteral("--home=") + side.Home, QStringLiteral("--device-id") }, &ok);
        if (!ok || side.DeviceId.size() != 63)
            return QStringLiteral("no device id: ") + side.DeviceId;
    }
    for (int i = 0; i < 2; ++i) {
        Side& side = sides_[size_t(i)];
        const Side& other = sides_[size_t(1 - i)];
        QFile config(side.Home + QStringLiteral("/config.xml"));
        // Only side 0 dials: when both dial at once, Syncthing 1.19 at times
        // drops both connections and takes half a minute to try again.
        const QString otherAddress
            = i == 0 ? QStringLiteral("tcp://127.0.0.1:%1").arg(other.ListenPort) : QStringLiteral("dynamic");
        const QByteArray text
            = Config(side.DeviceId, other.DeviceId, side.GuiPort, side.ListenPort, otherAddress, side.Folder);
        if (!config.open(QIODevice::WriteOnly | QIODevice::Truncate) || config.write(text) != text.size()
            || !config.flush())
            return QStringLiteral("cannot write ") + config.fileName();
    }
    for (Side& side : sides_) {
        side.Process = std::make_unique<QProcess>();
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("STNOUPGRADE"), QStringLiteral("1"));
        // Without this, "serve" forks a monitor even with --no-restart, and
        // the process the test holds is not the one that syncs.
        environment.insert(QStringLiteral("STMONITORED"), QStringLiteral("yes"));
        side.Process->setProcessEnvironment(environment);
        side.Process->setProcessChannelMode(QProcess::MergedChannels);
        side.Process->setStandardOutputFile(side.Log);
        // Killed with the test program, however it ends.
        side.Process->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
        side.Process->start(Syncthing(),
            { QStringLiteral("serve"), QStringLiteral("--home=") + side.Home, QStringLiteral("--no-browser"),
                QStringLiteral("--no-restart") });
        if (!side.Process->waitForStarted(10000))
            return QStringLiteral("syncthing does not start: ") + side.Process->errorString();
    }
    if (!WaitFor(30000, [this] { return Connected(0) && Connected(1); }))
        return QStringLiteral("the two instances did not connect within 30 s\n") + LogTails();
    return QString();
}

QString SyncthingPair::Folder(int side) const { return sides_[size_t(side)].Folder; }

QJsonDocument SyncthingPair::Rest(int side, const QByteArray& method, const QString& pathAndQuery, bool* ok)
{
    if (ok)
        *ok = false;
    QNetworkRequest request(
        QUrl(QStringLiteral("http://127.0.0.1:%1%2").arg(sides_[size_t(side)].GuiPort).arg(pathAndQuery)));
    request.setRawHeader("X-API-Key", ApiKey);
    request.setTransferTimeout(5000);
    QNetworkReply* reply = network_->sendCustomRequest(request, method);
    QEventLoop loop;
    QObject::connect(reply, &QNetworkReply::finished, &loop, &QEventLoop::quit);
    loop.exec();
    const QByteArray body = reply->readAll();
    const bool fine = reply->error() == QNetworkReply::NoError;
    reply->deleteLater();
    if (ok)
        *ok = fine;
    return fine ? QJsonDocument::fromJson(body) : QJsonDocument();
}

bool SyncthingPair::Connected(int side)
{
    bool ok = false;
    const QJsonDocument reply = Rest(side, "GET", QStringLiteral("/rest/system/connections"), &ok);
    return ok
        && reply[QStringLiteral("connections")][sides_[size_t(1 - side)].DeviceId][QStringLiteral("connected")]
               .toBool();
}

bool SyncthingPair::WaitFor(int timeoutMs, const std::function<bool()>& condition)
{
    return WaitUntil(timeoutMs, condition);
}

bool SyncthingPair::Disconnect()
{
    bool ok = false;
    Rest(0, "POST", QStringLiteral("/rest/system/pause?device=") + sides_[1].DeviceId, &ok);
    return ok && WaitFor(15000, [this] { return !Connected(0) && !Connected(1); });
}

bool SyncthingPair::Reconnect()
{
    bool ok = false;
    Rest(0, "POST", QStringLiteral("/rest/system/resume?device=") + sides_[1].DeviceId, &ok);
    return ok && WaitFor(30000, [this] { return Connected(0) && Connected(1); });
}

QStringList SyncthingPair::Files(int side) const
{
    const QString folder = Folder(side);
    QStringList files;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::NoDotAndDotDot, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next().mid(folder.size());
        if (path.startsWith(QStringLiteral(".stfolder"))
            || path.section(u'/', -1).startsWith(QStringLiteral(".syncthing.")))
            continue;
        files << path;
    }
    files.sort();
    return files;
}

bool SyncthingPair::InSync()
{
    for (int side = 0; side < 2; ++side) {
        bool ok = false;
        const QJsonDocument status = Rest(side, "GET", QStringLiteral("/rest/db/status?folder=") + FolderId, &ok);
        if (!ok || status[QStringLiteral("state")].toString() != u"idle"
            || status[QStringLiteral("needTotalItems")].toInt() != 0)
            return false;
        const QJsonDocument completion = Rest(side, "GET",
            QStringLiteral("/rest/db/completion?folder=%1&device=%2").arg(FolderId, sides_[size_t(1 - side)].DeviceId),
            &ok);
        if (!ok || completion[QStringLiteral("completion")].toDouble() < 100.0)
            return false;
    }
    const QStringList files = Files(0);
    if (files != Files(1))
        return false;
    for (const QString& file : files)
        if (Bytes(Folder(0) + file) != Bytes(Folder(1) + file))
            return false;
    return true;
}

bool SyncthingPair::WaitInSync(int timeoutMs)
{
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < timeoutMs) {
        if (!WaitFor(int(timeoutMs - timer.elapsed()), [this] { return InSync(); }))
            return false;
        // A change written just now is seen only after the watcher's delay.
        QThread::msleep(1500);
        if (InSync())
            return true;
    }
    return false;
}

QString SyncthingPair::LogTails() const
{
    QString text;
    for (const Side& side : sides_)
        text += QStringLiteral("--- %1\n%2\n").arg(side.Log, Tail(side.Log, 25));
    return text;
}
