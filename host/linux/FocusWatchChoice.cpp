// Picks the focus watch for the running session: X11 where an X11 session
// runs; on Wayland, the desktop's own way (KWin's scripts, the GNOME Shell
// extension, the wlroots toplevel list), tried in that order.
#include "host/linux/LinuxFocusWatches.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDebug>

namespace {

bool waylandSession()
{
    const QByteArray session = qgetenv("XDG_SESSION_TYPE");
    return session == "wayland" || (!qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") && session != "x11");
}

bool onSessionBus(const QString &service)
{
    QDBusConnectionInterface *bus = QDBusConnection::sessionBus().interface();
    return bus && bus->isServiceRegistered(service).value();
}

// The desktop's name for the sentence that says it offers no way.
QString desktopName()
{
    const QString current = qEnvironmentVariable("XDG_CURRENT_DESKTOP");
    const QString first = current.section(QLatin1Char(':'), 0, 0).trimmed();
    return first.isEmpty() ? qEnvironmentVariable("XDG_SESSION_DESKTOP").trimmed() : first;
}

FocusWatch *choose(QObject *parent)
{
    using namespace focuswatch;
    if (!waylandSession())
        return createX11(parent);
    if (onSessionBus(QStringLiteral("org.kde.KWin")))
        if (FocusWatch *watch = createKWin(parent))
            return watch;
    if (onSessionBus(QStringLiteral("org.gnome.Shell")))
        if (FocusWatch *watch = createGnome(parent))
            return watch;
    if (FocusWatch *watch = createWlr(parent))
        return watch;
    const QString name = desktopName();
    const QString reason = name.isEmpty()
        ? QCoreApplication::translate("FocusWatch", "This Wayland desktop does not tell programs which window has the focus.")
        : QCoreApplication::translate("FocusWatch", "The %1 desktop on Wayland does not tell programs which window has the focus.").arg(name);
    return new UnavailableFocusWatch(reason, parent);
}

} // namespace

FocusWatch *FocusWatch::create(QObject *parent)
{
    FocusWatch *watch = choose(parent);
    if (!watch->available())
        qDebug().noquote() << "per-program profiles are off:" << watch->unavailableReason();
    return watch;
}
