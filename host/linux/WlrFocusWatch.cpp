// The focused window on wlroots compositors (sway, Hyprland, niri, labwc,
// Wayfire): zwlr_foreign_toplevel_manager_v1 lists every toplevel with its
// app_id, title and state, and "activated" in the state marks the focused
// one. The watch keeps a connection of its own to the compositor, apart
// from the toolkit's, and reads it when its socket wakes the event loop.
#include "host/linux/LinuxFocusWatches.h"

#include "wlr-foreign-toplevel-management-unstable-v1-client-protocol.h"

#include <QCoreApplication>
#include <QDebug>
#include <QFileInfo>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <cstring>
#include <wayland-client.h>

namespace {

class WlrFocusWatch : public FocusWatch
{
public:
    using FocusWatch::FocusWatch;

    ~WlrFocusWatch() override { close(); }

    // False when the compositor cannot be reached or does not offer the
    // toplevel list to this program.
    bool connectToCompositor()
    {
        m_display = wl_display_connect(nullptr);
        if (!m_display)
            return false;
        wl_registry *registry = wl_display_get_registry(m_display);
        wl_registry_add_listener(registry, &RegistryListener, this);
        wl_display_roundtrip(m_display);
        wl_registry_destroy(registry);
        if (!m_manager) {
            close();
            return false;
        }
        zwlr_foreign_toplevel_manager_v1_add_listener(m_manager, &ManagerListener, this);
        wl_display_flush(m_display);
        m_notifier = new QSocketNotifier(wl_display_get_fd(m_display), QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, [this] { readEvents(); });
        // The toplevels that exist now arrive at once; the focused one among
        // them counts as a focus change.
        QMetaObject::invokeMethod(this, [this] { readEvents(); }, Qt::QueuedConnection);
        return true;
    }

    bool available() const override { return m_display != nullptr; }
    QString unavailableReason() const override
    {
        return tr("The compositor stopped telling which window has the focus.");
    }

private:
    struct Toplevel {
        WlrFocusWatch *watch = nullptr;
        zwlr_foreign_toplevel_handle_v1 *handle = nullptr;
        QString appId;
        bool activated = false;
    };

    void close()
    {
        delete m_notifier;
        m_notifier = nullptr;
        for (Toplevel *t : std::as_const(m_toplevels)) {
            zwlr_foreign_toplevel_handle_v1_destroy(t->handle);
            delete t;
        }
        m_toplevels.clear();
        m_focused = nullptr;
        if (m_manager)
            zwlr_foreign_toplevel_manager_v1_destroy(m_manager);
        m_manager = nullptr;
        if (m_display)
            wl_display_disconnect(m_display);
        m_display = nullptr;
    }

    void readEvents()
    {
        if (!m_display)
            return;
        while (wl_display_prepare_read(m_display) != 0)
            wl_display_dispatch_pending(m_display);
        // The socket is readable, so this does not wait.
        const int read = wl_display_read_events(m_display);
        if (read < 0 || wl_display_dispatch_pending(m_display) < 0 || wl_display_get_error(m_display)) {
            qDebug() << "focus watch: the connection to the compositor was lost";
            close();
            return;
        }
        wl_display_flush(m_display);
    }

    // A toplevel's title, app_id and state come in any order and are
    // complete at its done event; a new toplevel sends its app_id last.
    void done(Toplevel *t)
    {
        if (!t->activated) {
            if (m_focused == t)
                m_focused = nullptr;
            return;
        }
        if (m_focused == t && t->appId == m_focusedAppId)
            return;
        m_focused = t;
        m_focusedAppId = t->appId;
        // The program's own windows are where bindings are edited; focusing
        // them must not switch away from the profile being looked at.
        if (t->appId.isEmpty() || ownAppIds().contains(t->appId))
            return;
        emit focusChanged(QString(), t->appId);
    }

    static QStringList ownAppIds()
    {
        QStringList ids{QFileInfo(QCoreApplication::applicationFilePath()).fileName()};
        const QString desktop = QGuiApplication::desktopFileName();
        if (!desktop.isEmpty())
            ids << desktop << desktop + QLatin1String(".desktop");
        return ids;
    }

    static void global(void *data, wl_registry *registry, uint32_t name, const char *interface, uint32_t version)
    {
        auto *self = static_cast<WlrFocusWatch *>(data);
        if (std::strcmp(interface, zwlr_foreign_toplevel_manager_v1_interface.name) == 0 && !self->m_manager) {
            // Version 2 brought the destroy request that lets a handle go.
            if (version < 2)
                return;
            self->m_manager = static_cast<zwlr_foreign_toplevel_manager_v1 *>(
                wl_registry_bind(registry, name, &zwlr_foreign_toplevel_manager_v1_interface, std::min(version, 3u)));
        }
    }
    static void globalRemove(void *, wl_registry *, uint32_t) {}
    static constexpr wl_registry_listener RegistryListener{global, globalRemove};

    static void toplevel(void *data, zwlr_foreign_toplevel_manager_v1 *, zwlr_foreign_toplevel_handle_v1 *handle)
    {
        auto *self = static_cast<WlrFocusWatch *>(data);
        auto *t = new Toplevel{self, handle, {}, false};
        self->m_toplevels.append(t);
        zwlr_foreign_toplevel_handle_v1_add_listener(handle, &HandleListener, t);
    }
    static void finished(void *data, zwlr_foreign_toplevel_manager_v1 *)
    {
        auto *self = static_cast<WlrFocusWatch *>(data);
        qDebug() << "focus watch: the compositor closed its toplevel list";
        QMetaObject::invokeMethod(self, [self] { self->close(); }, Qt::QueuedConnection);
    }
    static constexpr zwlr_foreign_toplevel_manager_v1_listener ManagerListener{toplevel, finished};

    static void title(void *, zwlr_foreign_toplevel_handle_v1 *, const char *) {}
    static void appId(void *data, zwlr_foreign_toplevel_handle_v1 *, const char *id)
    {
        static_cast<Toplevel *>(data)->appId = QString::fromUtf8(id);
    }
    static void outputEnter(void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {}
    static void outputLeave(void *, zwlr_foreign_toplevel_handle_v1 *, wl_output *) {}
    static void state(void *data, zwlr_foreign_toplevel_handle_v1 *, wl_array *states)
    {
        auto *t = static_cast<Toplevel *>(data);
        t->activated = false;
        const auto *values = static_cast<const uint32_t *>(states->data);
        for (size_t i = 0; i < states->size / sizeof(uint32_t); ++i)
            t->activated |= values[i] == ZWLR_FOREIGN_TOPLEVEL_HANDLE_V1_STATE_ACTIVATED;
    }
    static void handleDone(void *data, zwlr_foreign_toplevel_handle_v1 *)
    {
        auto *t = static_cast<Toplevel *>(data);
        t->watch->done(t);
    }
    static void closed(void *data, zwlr_foreign_toplevel_handle_v1 *handle)
    {
        auto *t = static_cast<Toplevel *>(data);
        WlrFocusWatch *self = t->watch;
        if (self->m_focused == t)
            self->m_focused = nullptr;
        self->m_toplevels.removeOne(t);
        zwlr_foreign_toplevel_handle_v1_destroy(handle);
        delete t;
    }
    static void parent(void *, zwlr_foreign_toplevel_handle_v1 *, zwlr_foreign_toplevel_handle_v1 *) {}
    static constexpr zwlr_foreign_toplevel_handle_v1_listener HandleListener{
        title, appId, outputEnter, outputLeave, state, handleDone, closed, parent};

    wl_display *m_display = nullptr;
    zwlr_foreign_toplevel_manager_v1 *m_manager = nullptr;
    QList<Toplevel *> m_toplevels;
    const Toplevel *m_focused = nullptr;
    QString m_focusedAppId;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace

FocusWatch *focuswatch::createWlr(QObject *parent)
{
    auto *watch = new WlrFocusWatch(parent);
    if (watch->connectToCompositor())
        return watch;
    delete watch;
    return nullptr;
}
