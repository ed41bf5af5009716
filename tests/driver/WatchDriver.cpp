// Preloaded (LD_PRELOAD) into the real program by tests that watch it from
// outside while something else changes its files: every 100 ms it reports on
// standard output, a line each time a thing changes:
//   cell <date> <text>   what the fiscal-year calendar shows on a day that
//                        DRIVE_WATCH_DAYS names ("2026年12月14日,…"), read as
//                        a screen reader reads it
//   status <text>        the status line
//   modal <name> <title> a modal window came up (a question, a message)

#include <cstdio>

#include <QAccessible>
#include <QApplication>
#include <QHash>
#include <QLabel>
#include <QTimer>
#include <QWidget>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

namespace {

void Say(const QString& line)
{
    std::fputs((line + u'\n').toUtf8().constData(), stdout);
    std::fflush(stdout);
}

QHash<QString, QString>& Said()
{
    static QHash<QString, QString> said;
    return said;
}

// Says `text` under `key` when it differs from what was said last.
void Tell(const QString& key, const QString& text)
{
    auto it = Said().find(key);
    if (it != Said().end() && *it == text)
        return;
    Said()[key] = text;
    Say(key + u' ' + text);
}

// The visible widget named `name`, inside a widget named `inside` when given.
QWidget* Named(const QString& name, const QString& inside = {})
{
    for (QWidget* widget : QApplication::allWidgets()) {
        if (widget->objectName() != name || !widget->isVisible())
            continue;
        QWidget* up = widget;
        while (up && !inside.isEmpty() && up->objectName() != inside)
            up = up->parentWidget();
        if (up)
            return widget;
    }
    return nullptr;
}

void Look()
{
    if (QWidget* modal = QApplication::activeModalWidget())
        Tell(QStringLiteral("modal"), modal->objectName() + u' ' + modal->windowTitle());
    if (auto* status = qobject_cast<QLabel*>(Named(QStringLiteral("SimplePanel"))))
        Tell(QStringLiteral("status"), status->text());
    QWidget* grid = Named(QStringLiteral("StrColGrid1"), QStringLiteral("YcalForm"));
    QAccessibleInterface* table = grid ? QAccessible::queryAccessibleInterface(grid) : nullptr;
    if (!table)
        return;
    const QStringList days = qEnvironmentVariable("DRIVE_WATCH_DAYS").split(u',', Qt::SkipEmptyParts);
    for (int i = 0; i < table->childCount(); ++i) {
        QAccessibleInterface* cell = table->child(i);
        const QString description = cell ? cell->text(QAccessible::Description) : QString();
        for (const QString& day : days) {
            if (description.startsWith(day + u' '))
                Tell(QStringLiteral("cell ") + day, cell->text(QAccessible::Name));
        }
    }
}

void Start()
{
    // What an assistive technology does when it starts listening.
    if (QPlatformIntegration* platform = QGuiApplicationPrivate::platformIntegration())
        if (QPlatformAccessibility* accessibility = platform->accessibility())
            accessibility->setActive(true);
    auto* timer = new QTimer(qApp);
    QObject::connect(timer, &QTimer::timeout, Look);
    timer->start(100);
}

} // namespace

Q_COREAPP_STARTUP_FUNCTION(Start)
