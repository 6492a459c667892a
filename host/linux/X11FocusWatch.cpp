// The focused window under X11: the window manager keeps it in the root
// window's _NET_ACTIVE_WINDOW property, so the watch asks the X server for
// property changes of the root window and reads the property when it
// changes. Nothing runs between events: the connection's socket wakes the
// event loop.
#include "host/linux/LinuxFocusWatches.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSocketNotifier>

#include <cstdlib>
#include <cstring>

#include <xcb/xcb.h>

namespace {

xcb_atom_t internAtom(xcb_connection_t *c, const char *name)
{
    xcb_intern_atom_reply_t *reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, uint16_t(std::strlen(name)), name), nullptr);
    const xcb_atom_t atom = reply ? reply->atom : XCB_ATOM_NONE;
    std::free(reply);
    return atom;
}

// The property's bytes, or empty when it is missing or not of format.
QByteArray readProperty(xcb_connection_t *c, xcb_window_t window, xcb_atom_t name, uint8_t format,
                    uint32_t maxLongs)
{
    xcb_get_property_reply_t *reply = xcb_get_property_reply(
        c, xcb_get_property(c, 0, window, name, XCB_GET_PROPERTY_TYPE_ANY, 0, maxLongs), nullptr);
    QByteArray bytes;
    // The value's length is counted in bytes already, whatever the format.
    if (reply && reply->format == format)
        bytes = QByteArray(static_cast<const char *>(xcb_get_property_value(reply)),
                           xcb_get_property_value_length(reply));
    std::free(reply);
    return bytes;
}

uint32_t firstLong(const QByteArray &bytes)
{
    uint32_t value = 0;
    if (bytes.size() >= 4)
        std::memcpy(&value, bytes.constData(), 4);
    return value;
}

class X11FocusWatch : public FocusWatch
{
public:
    explicit X11FocusWatch(QObject *parent) : FocusWatch(parent)
    {
        if (qEnvironmentVariableIsEmpty("DISPLAY")) {
            m_reason = tr("No X display is running, so the focused window cannot be learnt.");
            return;
        }
        m_c = xcb_connect(nullptr, nullptr);
        if (!m_c || xcb_connection_has_error(m_c)) {
            m_reason = tr("The X display could not be reached, so the focused window cannot be learnt.");
            close();
            return;
        }
        m_root = xcb_setup_roots_iterator(xcb_get_setup(m_c)).data->root;
        m_active = internAtom(m_c, "_NET_ACTIVE_WINDOW");
        m_pid = internAtom(m_c, "_NET_WM_PID");
        const uint32_t mask = XCB_EVENT_MASK_PROPERTY_CHANGE;
        xcb_change_window_attributes(m_c, m_root, XCB_CW_EVENT_MASK, &mask);
        xcb_flush(m_c);
        m_notifier = new QSocketNotifier(xcb_get_file_descriptor(m_c), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { readEvents(); });
        // The window focused before the program started counts too.
        QMetaObject::invokeMethod(this, [this] { report(); }, Qt::QueuedConnection);
    }

    ~X11FocusWatch() override { close(); }

    bool available() const override { return m_c != nullptr; }
    QString unavailableReason() const override { return m_reason; }

private:
    void close()
    {
        delete m_notifier;
        m_notifier = nullptr;
        if (m_c)
            xcb_disconnect(m_c);
        m_c = nullptr;
    }

    // Events that arrive while report() waits for its replies are queued
    // inside xcb, where the socket no longer shows them, so the queue is
    // drained again after each report.
    void readEvents()
    {
        bool changed = true;
        while (changed && m_c) {
            changed = false;
            while (xcb_generic_event_t *event = xcb_poll_for_event(m_c)) {
                if ((event->response_type & 0x7f) == XCB_PROPERTY_NOTIFY) {
                    const auto *notify = reinterpret_cast<xcb_property_notify_event_t *>(event);
                    changed |= notify->window == m_root && notify->atom == m_active;
                }
                std::free(event);
            }
            if (xcb_connection_has_error(m_c)) {
                qDebug() << "focus watch: the X connection was lost";
                close();
                return;
            }
            if (changed)
                report();
        }
    }

    void report()
    {
        if (!m_c)
            return;
        const xcb_window_t window = firstLong(readProperty(m_c, m_root, m_active, 32, 1));
        if (window == m_lastWindow)
            return;
        m_lastWindow = window;
        if (window == XCB_WINDOW_NONE)
            return;
        const uint32_t pid = firstLong(readProperty(m_c, window, m_pid, 32, 1));
        // The program's own window is where bindings are edited; focusing
        // it must not switch away from the profile being looked at.
        if (pid != 0 && pid == uint32_t(QCoreApplication::applicationPid()))
            return;
        const QString exe = focuswatch::exeNameOf(pid);
        // WM_CLASS holds two NUL-terminated strings: instance, then class.
        const QList<QByteArray> parts = readProperty(m_c, window, XCB_ATOM_WM_CLASS, 8, 256).split('\0');
        const QString windowClass = parts.size() >= 2 ? QString::fromUtf8(parts.at(1)) : QString();
        emit focusChanged(exe, windowClass);
    }

    xcb_connection_t *m_c = nullptr;
    xcb_window_t m_root = 0;
    xcb_atom_t m_active = 0;
    xcb_atom_t m_pid = 0;
    xcb_window_t m_lastWindow = XCB_WINDOW_NONE;
    QSocketNotifier *m_notifier = nullptr;
    QString m_reason;
};

} // namespace

namespace focuswatch {

FocusWatch *createX11(QObject *parent)
{
    return new X11FocusWatch(parent);
}

// The executable's name for a process: the file /proc/<pid>/exe links to,
// or the process's own name where that link may not be read.
QString exeNameOf(uint pid)
{
    if (pid == 0)
        return {};
    const QString dir = QStringLiteral("/proc/%1/").arg(pid);
    const QString target = QFileInfo(dir + QLatin1String("exe")).symLinkTarget();
    if (!target.isEmpty()) {
        QString name = QFileInfo(target).fileName();
        // A program replaced on disk while running still shows its old name.
        if (name.endsWith(QLatin1String(" (deleted)")))
            name.chop(10);
        return name;
    }
    QFile comm(dir + QLatin1String("comm"));
    if (comm.open(QIODevice::ReadOnly))
        return QString::fromUtf8(comm.readAll()).trimmed();
    return {};
}

} // namespace focuswatch
