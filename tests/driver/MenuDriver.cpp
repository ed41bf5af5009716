// Preloaded (LD_PRELOAD) into the real program by tests that run it: once the
// main window is up, it chooses the menu command whose object name is in
// DRIVE_COMMAND, as a person would, closes the message box the command may
// bring up with OK, and reports on standard output, a line each:
//   before <0|1>    whether the library DRIVE_LIBRARY names (Qt Charts when
//                   unset) was loaded before the command
//   box <text>      the text of the message box, if one came up
//   shown <names>   the object names of the visible windows after the command, sorted
//   after <0|1>     whether that library was loaded after it
//   done
// The program then goes on running.

#include <cstdio>

#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QTimer>
#include <QWidget>

namespace {

void Say(const QString& line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

QString LibraryLoaded()
{
    const QByteArray library = qgetenv("DRIVE_LIBRARY");
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library.isEmpty() ? "libQt6Charts" : library)
        ? QStringLiteral("1")
        : QStringLiteral("0");
}

QAction* Command()
{
    const QString name = qEnvironmentVariable("DRIVE_COMMAND");
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            if (auto* command = window->findChild<QAction*>(name); command && command->isEnabled())
                return command;
    return nullptr;
}

void Drive()
{
    QAction* command = Command();
    if (!command) {
        QTimer::singleShot(50, Drive);
        return;
    }
    Say(QStringLiteral("before ") + LibraryLoaded());
    QTimer answer;
    QObject::connect(&answer, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            Say(QStringLiteral("box ") + box->text());
            box->accept();
        }
    });
    answer.start(50);
    command->trigger();
    answer.stop();
    QStringList shown;
    for (QWidget* window : QApplication::topLevelWidgets())
        if (window->isVisible())
            shown << window->objectName();
    shown.sort();
    Say(QStringLiteral("shown ") + shown.join(u' '));
    Say(QStringLiteral("after ") + LibraryLoaded());
    Say(QStringLiteral("done"));
}

void Start() { QTimer::singleShot(0, Drive); }

} // namespace

Q_COREAPP_STARTUP_FUNCTION(Start)
