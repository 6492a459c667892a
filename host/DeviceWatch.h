#pragma once

#include <QObject>

// Tells the main window that the system's set of devices changed, so that it
// can schedule a device check.
class DeviceWatch : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;

    // The watcher of this platform, or null where device changes arrive by
    // another route (Windows delivers them to the window as messages).
    static DeviceWatch *create(QObject *parent);

    // Reports a change as if the system had sent one; tests use it.
    void inject() { emit deviceChanged(); }

signals:
    void deviceChanged();
};
