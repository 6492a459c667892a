// The focused window on KDE Plasma: KWin runs scripts that any program may
// load over D-Bus. The script this watch loads connects KWin's activation
// signal (windowActivated on Plasma 6, clientActivated on Plasma 5) and
// calls this program back on its own bus connection with the window's
// resource class and name, caption and process id. The script is unloaded
// when the watch goes, and loaded again when KWin comes back after a restart.
#include "host/linux/LinuxFocusWatches.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusServiceWatcher>
#include <QDBusVirtualObject>
#include <QDebug>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

namespace {

const QString KWinService = QStringLiteral("org.kde.KWin");
const QString ScriptName = QStringLiteral("kelda-config-focus");
const QString CallbackPath = QStringLiteral("/com/zorvant/KeldaConfig/KWinFocus");
const QString CallbackInterface = QStringLiteral("com.zorvant.KeldaConfig.KWinFocus");

// The script. The activation signal also fires with no window on every
// switch (the old window losing the focus first); that carries nothing.
QString scriptText(const QString &service)
{
    return QStringLiteral(R"JS(
function report(window) {
    if (!window)
        return;
    callDBus("%1", "%2", "%3", "Activated",
             String(window.resourceClass), String(window.resourceName),
             String(window.caption), Number(window.pid) || 0);
}
if (workspace.windowActivated) {
    workspace.windowActivated.connect(report);
    report(workspace.activeWindow);
} else {
    workspace.clientActivated.connect(report);
    report(workspace.activeClient);
}
)JS")
        .arg(service, CallbackPath, CallbackInterface);
}

class KWinFocusWatch : public FocusWatch
{
public:
    explicit KWinFocusWatch(QObject *parent)
        : FocusWatch(parent), m_bus(QDBusConnection::sessionBus()), m_callback(this)
    {
        m_ok = m_dir.isValid() && m_bus.isConnected()
            && m_bus.registerVirtualObject(CallbackPath, &m_callback);
        if (!m_ok)
            return;
        m_watcher = new QDBusServiceWatcher(KWinService, m_bus, QDBusServiceWatcher::WatchForRegistration, this);
        connect(m_watcher, &QDBusServiceWatcher::serviceRegistered, this, [this] {
            qDebug() << "focus watch: KWin came back; loading the script again";
            m_attempts = 0;
            loadSoon();
        });
        // The bus may be gone by the time the watch is destroyed.
        connect(qApp, &QCoreApplication::aboutToQuit, this, [this] { stop(); });
        load();
    }

    ~KWinFocusWatch() override { stop(); }

    bool available() const override { return m_ok; }
    QString unavailableReason() const override
    {
        return tr("KWin could not be asked to report the focused window.");
    }

private:
    class Callback : public QDBusVirtualObject
    {
    public:
        explicit Callback(KWinFocusWatch *watch) : m_watch(watch) {}
        QString introspect(const QString &) const override
        {
            return QStringLiteral("<interface name=\"%1\"><method name=\"Activated\">"
                                  "<arg name=\"resourceClass\" type=\"s\" direction=\"in\"/>"
                                  "<arg name=\"resourceName\" type=\"s\" direction=\"in\"/>"
                                  "<arg name=\"caption\" type=\"s\" direction=\"in\"/>"
                                  "<arg name=\"pid\" type=\"i\" direction=\"in\"/>"
                                  "</method></interface>")
                .arg(CallbackInterface);
        }
        bool handleMessage(const QDBusMessage &message, const QDBusConnection &connection) override
        {
            if (message.interface() != CallbackInterface || message.member() != QLatin1String("Activated"))
                return false;
            const QVariantList args = message.arguments();
            if (args.size() == 4)
                m_watch->activated(args.at(0).toString(), args.at(1).toString(), args.at(3).toUInt());
            if (!message.isReplyRequired())
                return true;
            connection.send(message.createReply());
            return true;
        }

    private:
        KWinFocusWatch *m_watch;
    };

    QDBusMessage call(const QString &path, const QString &interface, const QString &method,
                      const QVariantList &args = {})
    {
        QDBusMessage message = QDBusMessage::createMethodCall(KWinService, path, interface, method);
        message.setArguments(args);
        return m_bus.call(message, QDBus::Block, 2000);
    }

    // KWin takes its name on the bus before its scripting object is there,
    // so after a restart loading is tried again for a while.
    void loadSoon()
    {
        if (load() || ++m_attempts >= 40)
            return;
        QTimer::singleShot(250, this, [this] {
            if (m_ok)
                loadSoon();
        });
    }

    // Loads the script and starts it. The script object is /Scripting/Script<id>
    // on Plasma 6 and /<id> on Plasma 5.
    bool load()
    {
        const QString path = m_dir.filePath(QStringLiteral("focus.js"));
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)
            || file.write(scriptText(m_bus.baseService()).toUtf8()) < 0 || !file.flush()) {
            qWarning() << "focus watch: could not write the KWin script to" << path;
            return true;
        }
        file.close();
        const QString scripting = QStringLiteral("org.kde.kwin.Scripting");
        // A script of this name left by an earlier run would make loading fail.
        call(QStringLiteral("/Scripting"), scripting, QStringLiteral("unloadScript"), {ScriptName});
        const QDBusMessage loaded = call(QStringLiteral("/Scripting"), scripting, QStringLiteral("loadScript"),
                                         {path, ScriptName});
        const int id = loaded.arguments().value(0, -1).toInt();
        if (loaded.type() != QDBusMessage::ReplyMessage || id < 0) {
            qWarning() << "focus watch: KWin did not load the script:" << loaded.errorMessage();
            return false;
        }
        const QString script = QStringLiteral("org.kde.kwin.Script");
        for (const QString &object : {QStringLiteral("/Scripting/Script%1").arg(id), QStringLiteral("/%1").arg(id)}) {
            if (call(object, script, QStringLiteral("run")).type() == QDBusMessage::ReplyMessage) {
                qDebug() << "focus watch: KWin script running at" << object;
                return true;
            }
        }
        qWarning() << "focus watch: KWin loaded the script but would not run it";
        return false;
    }

    void stop()
    {
        if (!m_ok)
            return;
        m_ok = false;
        delete m_watcher;
        m_watcher = nullptr;
        unload();
        m_bus.unregisterObject(CallbackPath);
    }

    void unload()
    {
        call(QStringLiteral("/Scripting"), QStringLiteral("org.kde.kwin.Scripting"), QStringLiteral("unloadScript"),
             {ScriptName});
    }

    void activated(const QString &resourceClass, const QString &resourceName, uint pid)
    {
        if (resourceClass.isEmpty() && resourceName.isEmpty() && pid == 0)
            return;
        // The program's own windows are where bindings are edited.
        if (pid != 0 && pid == uint(QCoreApplication::applicationPid()))
            return;
        const QString exe = focuswatch::exeNameOf(pid);
        emit focusChanged(exe.isEmpty() ? resourceName : exe, resourceClass);
    }

    QDBusConnection m_bus;
    Callback m_callback;
    QTemporaryDir m_dir;
    QDBusServiceWatcher *m_watcher = nullptr;
    bool m_ok = false;
    int m_attempts = 0;
};

} // namespace

FocusWatch *focuswatch::createKWin(QObject *parent)
{
    return new KWinFocusWatch(parent);
}
