#include "reports/PaidLeaveNotice.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QButtonGroup>
#include <QDBusVirtualObject>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QStatusBar>

#include "core/LeaveStore.h"
#include "platform/DesktopNotice.h"
#include "reports/PaidLeaveField.h"
#include "reports/PaidLeaveSettingsDialog.h"
#include "reports/PaidLeaveWindow.h"
#include "views/ViewsTestSupport.h"

namespace {

const QByteArray Hired = "[Paid]\r\nHired=2020/10/01\r\n";

// A session bus of its own for the life of the object, from
// dbus-run-session: it lasts while the shell's `cat` waits for input.
class PrivateBus {
public:
    PrivateBus()
    {
        process_.start(QStringLiteral("dbus-run-session"),
            { QStringLiteral("--"), QStringLiteral("sh"), QStringLiteral("-c"),
                QStringLiteral("echo \"$DBUS_SESSION_BUS_ADDRESS\"; exec cat") });
        if (QTest::qWaitFor([this] { return process_.canReadLine(); }, 10000))
            address_ = QString::fromUtf8(process_.readLine()).trimmed();
    }
    ~PrivateBus()
    {
        for (const QString& name : names_)
            QDBusConnection::disconnectFromBus(name);
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000))
            process_.kill();
    }
    const QString& Address() const { return address_; }
    QDBusConnection Connect(const QString& name)
    {
        names_ << name;
        return QDBusConnection::connectToBus(address_, name);
    }

private:
    QProcess process_;
    QString address_;
    QStringList names_;
};

// The desktop's notification service as far as the program uses it: it
// keeps what it is asked to show.
class FakeNotifications final : public QDBusVirtualObject {
public:
    struct Shown {
        QString application, title, body;
        QStringList actions;
    };
    std::vector<Shown> shown;

    QString introspect(const QString&) const override { return {}; }
    bool handleMessage(const QDBusMessage& message, const QDBusConnection& connection) override
    {
        const QList<QVariant> arguments = message.arguments();
        if (message.member() != QStringLiteral("Notify") || arguments.size() != 8)
            return false;
        shown.push_back(
            { arguments[0].toString(), arguments[3].toString(), arguments[4].toString(), arguments[5].toStringList() });
        return connection.send(message.createReply(QVariant::fromValue(uint(shown.size()))));
    }
};

class PaidLeaveNoticeTest : public ::testing::Test {
protected:
    TempDataDirectory data;
    ScriptedDialogs dialogs;

    ~PaidLeaveNoticeTest() override { DesktopNotice::SetConnectionName(QString()); }

    QByteArray Ini() const { return data.Bytes(QStringLiteral("orbelund.ini")); }
    static QLabel& Field(const ProgramWindows& program)
    {
        return *program.Main().StatusBar1->findChild<QLabel*>(QStringLiteral("PaidLeaveField"));
    }
    static bool IsRed(const QLabel& label) { return label.palette().color(QPalette::WindowText) == QColor(255, 0, 0); }
    // The program's notices go to a bus nobody is on.
    static void NoBus()
    {
        QDBusConnection::connectToBus(QStringLiteral("unix:path=/nonexistent/bus"), QStringLiteral("no-bus"));
        DesktopNotice::SetConnectionName(QStringLiteral("no-bus"));
    }
};

// On 2024/03/01, for a hire of 2020/10/01 who took no leave: the grant of
// 2022/04/01 and the five-day year of 2023/04/01 both end in 30 days.
const QString DueSentences = QStringLiteral("2024/03/31 までに使わないと 11.0日が失効します。\n"
                                            "年5日の取得: 2023/04/01 付与分は 0.0日取得済み（期限 2024/03/31）\n"
                                            "期限まで3か月を切りました。あと 5.0日取得してください。");

} // namespace

TEST_F(PaidLeaveNoticeTest, TheFieldShowsTheBalanceAndItsReasonsForRed)
{
    NoBus();
    FixedToday today(QDate(2024, 1, 15));
    // Four days in the present grant year; the grant of 2022 set to none.
    for (int day = 1; day <= 4; ++day)
        LeaveStore::SaveEntry(2023, 5, day, 1, QString());
    ProgramWindows program(data);
    QLabel& field = Field(program);
    EXPECT_TRUE(field.isHidden());

    // Saved settings show it: the five-day rule is at risk.
    program.Main().B1->trigger();
    QTest::mouseClick(PaidLeaveForm->Button1, Qt::LeftButton);
    TPaidLeaveSettingsForm& settings = *PaidLeaveForm->SettingsForm;
    QTest::keyClicks(settings.Edit1, QStringLiteral("2020/10/01"));
    settings.Memo1->setPlainText(QStringLiteral("2022/04/01 0"));
    QTest::mouseClick(settings.Button1, Qt::LeftButton);
    PaidLeaveForm->close();
    ASSERT_TRUE(field.isVisible());
    EXPECT_GT(field.x(), program.Main().StatusBar1->width() / 2);
    EXPECT_EQ(field.text(), QStringLiteral("有給 8.0日"));
    EXPECT_TRUE(IsRed(field));
    EXPECT_EQ(field.toolTip(),
        QStringLiteral("年5日の取得: 2023/04/01 付与分は 4.0日取得済み（期限 2024/03/31）\n"
                       "期限まで3か月を切りました。あと 1.0日取得してください。"));

    // A saved day meets it.
    InputForm->OpenEntryDialog(2023, 6, 1);
    InputForm->RadioButtons->button(1)->setChecked(true);
    QTest::mouseClick(InputForm->Button1, Qt::LeftButton);
    EXPECT_EQ(field.text(), QStringLiteral("有給 7.0日"));
    EXPECT_FALSE(IsRed(field));
    EXPECT_TRUE(field.toolTip().isEmpty());

    // Without the grant set to none, its days expire in 76 days: red, yet
    // too far off for a notice at start.
    data.Write(QStringLiteral("orbelund.ini"), Hired);
    program.Restart();
    EXPECT_EQ(Field(program).text(), QStringLiteral("有給 18.0日"));
    EXPECT_TRUE(IsRed(Field(program)));
    EXPECT_EQ(Field(program).toolTip(), QStringLiteral("2024/03/31 までに使わないと 6.0日が失効します。"));
    EXPECT_FALSE(Ini().contains("LastNotice"));

    // A click opens the window.
    QTest::mouseClick(&Field(program), Qt::LeftButton);
    EXPECT_TRUE(PaidLeaveForm->isVisible());
}

TEST_F(PaidLeaveNoticeTest, WithoutASessionBusTheStatusLineSaysIt)
{
    NoBus();
    FixedToday today(QDate(2024, 3, 1));
    ProgramWindows program(data, Hired);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !program.Main().StatusText().isEmpty(); }));
    EXPECT_EQ(program.Main().StatusText(), QString(DueSentences).replace(u'\n', QStringLiteral("　")));
    EXPECT_TRUE(Ini().contains("LastNotice=2024/03/01\r\n"));
}

TEST_F(PaidLeaveNoticeTest, OnceADayThroughTheDesktopsNotificationService)
{
    PrivateBus bus;
    ASSERT_FALSE(bus.Address().isEmpty()) << "dbus-run-session gave no bus";
    ASSERT_TRUE(bus.Connect(QStringLiteral("program")).isConnected());
    DesktopNotice::SetConnectionName(QStringLiteral("program"));
    const auto quietStart = [](ProgramWindows& program) {
        program.Restart();
        QTest::qWait(300);
        return program.Main().StatusText().isEmpty();
    };

    // 31 days before: nothing yet.
    FixedToday today(QDate(2024, 2, 29));
    ProgramWindows program(data, Hired);
    QTest::qWait(300);
    EXPECT_TRUE(program.Main().StatusText().isEmpty());
    EXPECT_FALSE(Ini().contains("LastNotice"));

    // 30 days before, with nobody on the bus to show it: the status line.
    Dates::SetToday(QDate(2024, 3, 1));
    program.Restart();
    EXPECT_TRUE(QTest::qWaitFor([&] { return !program.Main().StatusText().isEmpty(); }));
    EXPECT_TRUE(Ini().contains("LastNotice=2024/03/01\r\n"));

    // The service comes; a second start the same day stays quiet.
    FakeNotifications service;
    QDBusConnection desktop = bus.Connect(QStringLiteral("desktop"));
    ASSERT_TRUE(desktop.registerVirtualObject(QStringLiteral("/org/freedesktop/Notifications"), &service));
    ASSERT_TRUE(desktop.registerService(QStringLiteral("org.freedesktop.Notifications")));
    EXPECT_TRUE(quietStart(program));
    EXPECT_TRUE(service.shown.empty());

    // The next day it tells once more, on the desktop.
    Dates::SetToday(QDate(2024, 3, 2));
    program.Restart();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !service.shown.empty(); }));
    EXPECT_EQ(service.shown[0].application, QStringLiteral("Valdemor"));
    EXPECT_EQ(service.shown[0].title, QStringLiteral("有給休暇"));
    EXPECT_EQ(service.shown[0].body, DueSentences);
    QTest::qWait(100);
    EXPECT_TRUE(program.Main().StatusText().isEmpty());
    EXPECT_TRUE(Ini().contains("LastNotice=2024/03/02\r\n"));

    // A click on it opens the balance window.
    EXPECT_TRUE(service.shown[0].actions.contains(QStringLiteral("default")));
    EXPECT_FALSE(PaidLeaveForm->isVisible());
    QDBusMessage click = QDBusMessage::createSignal(QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("ActionInvoked"));
    click << 1u << QStringLiteral("default");
    ASSERT_TRUE(desktop.send(click));
    EXPECT_TRUE(QTest::qWaitFor([] { return PaidLeaveForm->isVisible(); }));

    // Turned off in the settings: quiet.
    data.Write(
        QStringLiteral("orbelund.ini"), Ini().replace("Hired=2020/10/01\r\n", "Hired=2020/10/01\r\nNotice=0\r\n"));
    Dates::SetToday(QDate(2024, 3, 3));
    EXPECT_TRUE(quietStart(program));
    EXPECT_EQ(service.shown.size(), 1u);
    desktop.unregisterService(QStringLiteral("org.freedesktop.Notifications"));
    desktop.unregisterObject(QStringLiteral("/org/freedesktop/Notifications"));
}

// Connecting where no session bus runs would start a bus daemon that stays
// after the program: there the notice goes straight to the status line.
TEST_F(PaidLeaveNoticeTest, NoSessionBusIsStartedWhereNoneRuns)
{
    QTemporaryDir runtime;
    const QByteArray address = qgetenv("DBUS_SESSION_BUS_ADDRESS"), folder = qgetenv("XDG_RUNTIME_DIR");
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    qputenv("XDG_RUNTIME_DIR", runtime.path().toUtf8());
    EXPECT_FALSE(DesktopNotice::SessionBusRunning());
    bool unanswered = false;
    DesktopNotice::Send(QStringLiteral("t"), QStringLiteral("b"), [&] { unanswered = true; });
    EXPECT_TRUE(QTest::qWaitFor([&] { return unanswered; }));
    // The start tells libdbus that there is no bus, which then launches none.
    DesktopNotice::KeepFromLaunchingASessionBus();
    EXPECT_EQ(qgetenv("DBUS_SESSION_BUS_ADDRESS"), "disabled:");
    EXPECT_FALSE(DesktopNotice::SessionBusRunning());
    qunsetenv("DBUS_SESSION_BUS_ADDRESS");
    QFile(runtime.filePath(QStringLiteral("bus"))).open(QIODevice::WriteOnly);
    EXPECT_TRUE(DesktopNotice::SessionBusRunning());
    qputenv("XDG_RUNTIME_DIR", QByteArray());
    qputenv("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/bus");
    EXPECT_TRUE(DesktopNotice::SessionBusRunning());
    address.isNull() ? qunsetenv("DBUS_SESSION_BUS_ADDRESS") : qputenv("DBUS_SESSION_BUS_ADDRESS", address);
    folder.isNull() ? qunsetenv("XDG_RUNTIME_DIR") : qputenv("XDG_RUNTIME_DIR", folder);
}
