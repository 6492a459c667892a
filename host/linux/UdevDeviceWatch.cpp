#include "host/DeviceWatch.h"

#include <QDebug>
#include <QSocketNotifier>

#include <libudev.h>

namespace {

// Listens to udev for hidraw nodes coming and going. The "udev" source is
// used rather than the kernel's: its events arrive after the rules ran, so
// the node already carries the permissions the user will open it with.
class UdevDeviceWatch : public DeviceWatch
{
public:
    explicit UdevDeviceWatch(QObject *parent) : DeviceWatch(parent)
    {
        m_udev = udev_new();
        if (!m_udev)
            return;
        m_monitor = udev_monitor_new_from_netlink(m_udev, "udev");
        if (!m_monitor) {
            qDebug() << "device watch: no udev monitor; plugging in is noticed only at start";
            return;
        }
        udev_monitor_filter_add_match_subsystem_devtype(m_monitor, "hidraw", nullptr);
        if (udev_monitor_enable_receiving(m_monitor) < 0) {
            qDebug() << "device watch: udev monitor cannot receive events";
            return;
        }
        const int fd = udev_monitor_get_fd(m_monitor);
        m_notifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { drain(); });
    }

    ~UdevDeviceWatch() override
    {
        delete m_notifier;
        if (m_monitor)
            udev_monitor_unref(m_monitor);
        if (m_udev)
            udev_unref(m_udev);
    }

private:
    void drain()
    {
        bool any = false;
        while (udev_device *dev = udev_monitor_receive_device(m_monitor)) {
            any = true;
            udev_device_unref(dev);
        }
        if (any)
            emit deviceChanged();
    }

    udev *m_udev = nullptr;
    udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace

DeviceWatch *DeviceWatch::create(QObject *parent)
{
    return new UdevDeviceWatch(parent);
}
