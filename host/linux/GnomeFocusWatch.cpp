// The focused window on GNOME: the shell tells ordinary programs nothing
// itself, so the extension shipped with this program (Kelda focus) exports
// the focused window on the session bus and signals each change. Without
// it, the watch is unavailable and its reason says how to turn it on.
#include "host/linux/LinuxFocusWatches.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDebug>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

namespace {

const QString ShellService = QStringLiteral("org.gnome.Shell");
const QString ExtensionUuid = QStringLiteral("kelda-focus@zorvant.example");
const QString FocusPath = QStringLiteral("/com/zorvant/KeldaConfig/Focus");
const QString FocusInterface = QStringLiteral("com.zorvant.KeldaConfig.Focus");

// Whether the extension's files are in a folder GNOME Shell reads.
bool installedOnDisk()
{
    const QStringList dirs = QStandardPaths::standardLocations(QStandardPaths::GenericDataLocation);
    for (const QString &dir : dirs)
        if (QFileInfo::exists(dir + QLatin1String("/gnome-shell/extensions/") + ExtensionUuid + QLatin1String("/metadata.json")))
            return true;
    return false;
}

class GnomeFocusWatch : public FocusWatch
{
    Q_OBJECT
public:
    explicit GnomeFocusWatch(QObject *parent) : FocusWatch(parent), m_bus(QDBusConnection::sessionBus())
    {
        QDBusMessage ask = QDBusMessage::createMethodCall(ShellService, FocusPath, FocusInterface, QStringLiteral("Focused"));
        const QDBusMessage reply = m_bus.call(ask, QDBus::Block, 2000);
        if (reply.type() != QDBusMessage::ReplyMessage) {
            m_reason = reasonWithoutExtension();
            return;
        }
        m_available = m_bus.connect(ShellService, FocusPath, FocusInterface, QStringLiteral("FocusChanged"), this,
                                    SLOT(changed(QString, QString, QString, uint)));
        if (!m_available) {
            m_reason = tr("GNOME's focus reports could not be received.");
            return;
        }
        const QVariantList args = reply.arguments();
        if (args.size() == 4)
            QMetaObject::invokeMethod(this, [this, args] {
                changed(args[0].toString(), args[1].toString(), args[2].toString(), args[3].toUInt());
            }, Qt::QueuedConnection);
    }

    bool available() const override { return m_available; }
    QString unavailableReason() const override { return m_reason; }

private slots:
    void changed(const QString &appId, const QString &wmClass, const QString &, uint pid)
    {
        if (appId.isEmpty() && wmClass.isEmpty() && pid == 0)
            return;
        // The program's own windows are where bindings are edited.
        if (pid != 0 && pid == uint(QCoreApplication::applicationPid()))
            return;
        QString windowClass = wmClass;
        if (windowClass.isEmpty() && !appId.startsWith(QLatin1String("window:")))
            windowClass = appId.endsWith(QLatin1String(".desktop")) ? appId.chopped(8) : appId;
        emit focusChanged(focuswatch::exeNameOf(pid), windowClass);
    }

private:
    // What the user has to do, by what the shell says of the extension.
    QString reasonWithoutExtension()
    {
        QDBusMessage ask = QDBusMessage::createMethodCall(ShellService, QStringLiteral("/org/gnome/Shell"),
                                                          QStringLiteral("org.gnome.Shell.Extensions"),
                                                          QStringLiteral("GetExtensionInfo"));
        ask.setArguments({ExtensionUuid});
        const QDBusReply<QVariantMap> info = m_bus.call(ask, QDBus::Block, 2000);
        const bool known = info.isValid() && !info.value().isEmpty();
        const int state = known ? info.value().value(QStringLiteral("state")).toInt() : 0;
        if (!known && !installedOnDisk())
            return tr("GNOME tells the focused window only to the \"Kelda focus\" extension, which is not installed: "
                      "install this program again (make install or its package), log out and in, then turn the "
                      "extension on in Extensions.");
        if (!known)
            return tr("Log out and in again, then turn on the \"Kelda focus\" extension in Extensions: GNOME on "
                      "Wayland loads a newly installed extension only at login.");
        // 1 is enabled; 3 an error, 4 out of date.
        if (state == 3 || state == 4)
            return tr("GNOME could not run the \"Kelda focus\" extension (an error, or a GNOME version it does "
                      "not support).");
        if (state == 1)
            return tr("The \"Kelda focus\" extension is on but not running yet: log out and in again (GNOME on "
                      "Wayland loads a new extension only at login).");
        return tr("The \"Kelda focus\" extension is off. Turn it on in Extensions (or run: gnome-extensions "
                  "enable %1), then start this program again.")
            .arg(ExtensionUuid);
    }

    QDBusConnection m_bus;
    bool m_available = false;
    QString m_reason;
};

} // namespace

FocusWatch *focuswatch::createGnome(QObject *parent)
{
    return new GnomeFocusWatch(parent);
}

#include "GnomeFocusWatch.moc"
