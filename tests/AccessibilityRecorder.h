#pragma once

// Switches accessibility on and records every event the program raises, as
// a screen reader would receive it, for as long as the recorder lives.

#include <vector>

#include <QAccessible>
#include <QObject>
#include <QString>
#include <QVariant>
#include <private/qguiapplication_p.h>
#include <qpa/qplatformaccessibility.h>
#include <qpa/qplatformintegration.h>

class AccessibilityRecorder {
public:
    struct Event {
        QAccessible::Event type;
        const QObject* object;
        int child;
        QString name; // the name of the cell an event names, when it was raised
        QVariant value;
    };

    AccessibilityRecorder()
    {
        instance_ = this;
        previous_ = QAccessible::installUpdateHandler(&Record);
        SetActive(true);
    }
    ~AccessibilityRecorder()
    {
        SetActive(false);
        QAccessible::installUpdateHandler(previous_);
        instance_ = nullptr;
    }
    AccessibilityRecorder(const AccessibilityRecorder&) = delete;
    AccessibilityRecorder& operator=(const AccessibilityRecorder&) = delete;

    // The events of one type raised for one object, in order.
    std::vector<Event> Of(QAccessible::Event type, const QObject* object) const
    {
        std::vector<Event> found;
        for (const Event& event : events)
            if (event.type == type && event.object == object)
                found.push_back(event);
        return found;
    }

    std::vector<Event> events;

private:
    // What an assistive technology does when it starts listening: without
    // one (the offscreen platform) QAccessible::setActive alone does not.
    static void SetActive(bool on)
    {
        if (QPlatformIntegration* platform = QGuiApplicationPrivate::platformIntegration())
            if (QPlatformAccessibility* accessibility = platform->accessibility())
                accessibility->setActive(on);
    }

    static void Record(QAccessibleEvent* event)
    {
        if (!instance_)
            return;
        Event recorded { event->type(), event->object(), event->child(), {}, {} };
        // Only events that name a child are looked into: the others may come
        // from an object that is being destroyed.
        if (event->child() >= 0)
            if (QAccessibleInterface* target = event->accessibleInterface())
                recorded.name = target->text(QAccessible::Name);
        if (event->type() == QAccessible::ValueChanged)
            recorded.value = static_cast<QAccessibleValueChangeEvent*>(event)->value();
        instance_->events.push_back(recorded);
    }

    static inline AccessibilityRecorder* instance_ = nullptr;
    QAccessible::UpdateHandler previous_ = nullptr;
};
