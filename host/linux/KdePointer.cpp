#include "host/linux/KdePointer.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <QStandardPaths>
#include <QStringList>

namespace pointer::kde {

namespace {

const QString KWinService = QStringLiteral("org.kde.KWin");
const QString DevicesPath = QStringLiteral("/org/kde/KWin/InputDevice");
const QString DeviceInterface = QStringLiteral("org.kde.KWin.InputDevice");

QString kdeglobals()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) + QLatin1String("/kdeglobals");
}

bool isGroupLine(const QString &line)
{
    const QString t = line.trimmed();
    return t.startsWith(QLatin1Char('[')) && t.endsWith(QLatin1Char(']'));
}

// The key of a "key=value" line (KDE also writes "key[$e]=value"), or empty.
QString keyOf(const QString &line)
{
    const int eq = line.indexOf(QLatin1Char('='));
    if (eq <= 0 || line.trimmed().startsWith(QLatin1Char('#')))
        return {};
    QString key = line.left(eq).trimmed();
    const int bracket = key.indexOf(QLatin1Char('['));
    if (bracket > 0)
        key.truncate(bracket);
    return key;
}

QStringList readLines(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QStringList lines = QString::fromUtf8(file.readAll()).split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.constLast().isEmpty())
        lines.removeLast();
    return lines;
}

// Plasma's programs reload their mouse settings on this signal
// (KGlobalSettings: SettingsChanged for the mouse category).
void notifyMouseSettings()
{
    QDBusMessage signal = QDBusMessage::createSignal(QStringLiteral("/KGlobalSettings"),
                                                     QStringLiteral("org.kde.KGlobalSettings"),
                                                     QStringLiteral("notifyChange"));
    const int settingsChanged = 3, mouseCategory = 0;
    signal.setArguments({settingsChanged, mouseCategory});
    QDBusConnection::sessionBus().send(signal);
}

bool writeGlobal(const QString &key, unsigned value)
{
    const QString path = kdeglobals();
    const QString text = QString::number(value);
    if (!setIniKey(path, QStringLiteral("KDE"), key, text) || iniKey(path, QStringLiteral("KDE"), key) != text) {
        qDebug() << "pointer settings: could not write" << key << "to" << path;
        return false;
    }
    notifyMouseSettings();
    return true;
}

QVariant deviceProperty(const QString &device, const QString &name)
{
    QDBusMessage get = QDBusMessage::createMethodCall(KWinService, DevicesPath + QLatin1Char('/') + device,
                                                      QStringLiteral("org.freedesktop.DBus.Properties"),
                                                      QStringLiteral("Get"));
    get.setArguments({DeviceInterface, name});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 1000);
    if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty())
        return {};
    return reply.arguments().constFirst().value<QDBusVariant>().variant();
}

} // namespace

bool isPlasma()
{
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").split(QLatin1Char(':'));
    return desktops.contains(QLatin1String("KDE"), Qt::CaseInsensitive);
}

bool applyPointerSpeed(double acceleration)
{
    const QVariant names = [] {
        QDBusMessage get = QDBusMessage::createMethodCall(KWinService, DevicesPath,
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Get"));
        get.setArguments({QStringLiteral("org.kde.KWin.InputDeviceManager"), QStringLiteral("devicesSysNames")});
        const QDBusMessage reply = QDBusConnection::sessionBus().call(get, QDBus::Block, 1000);
        return reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty()
            ? reply.arguments().constFirst().value<QDBusVariant>().variant()
            : QVariant();
    }();
    if (!names.isValid()) {
        qDebug() << "pointer settings: KWin offers no input devices on the bus (Plasma on X11 keeps the pointer"
                    " speed to itself)";
        return false;
    }
    int kept = 0;
    for (const QString &device : names.toStringList()) {
        if (!deviceProperty(device, QStringLiteral("pointer")).toBool()
            || deviceProperty(device, QStringLiteral("touchpad")).toBool())
            continue;
        QDBusMessage set = QDBusMessage::createMethodCall(KWinService, DevicesPath + QLatin1Char('/') + device,
                                                          QStringLiteral("org.freedesktop.DBus.Properties"),
                                                          QStringLiteral("Set"));
        set.setArguments({DeviceInterface, QStringLiteral("pointerAcceleration"),
                          QVariant::fromValue(QDBusVariant(acceleration))});
        QDBusConnection::sessionBus().call(set, QDBus::Block, 1000);
        // KWin stores what a device accepted; the value read back says
        // whether it did.
        const QVariant now = deviceProperty(device, QStringLiteral("pointerAcceleration"));
        if (now.isValid() && qAbs(now.toDouble() - acceleration) < 0.01)
            ++kept;
        else
            qDebug() << "pointer settings: KWin did not take the pointer speed for" << device;
    }
    if (kept == 0)
        qDebug() << "pointer settings: KWin lists no mouse whose speed it could set";
    return kept > 0;
}

bool applyDoubleClickTime(unsigned ms)
{
    return writeGlobal(QStringLiteral("DoubleClickInterval"), ms);
}

bool applyScrollLines(unsigned lines)
{
    return writeGlobal(QStringLiteral("WheelScrollLines"), lines);
}

bool setIniKey(const QString &path, const QString &group, const QString &key, const QString &value)
{
    QStringList lines = readLines(path);
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    const QString entry = key + QLatin1Char('=') + value;
    int start = -1;
    for (int i = 0; i < lines.size() && start < 0; ++i)
        if (lines.at(i).trimmed() == header)
            start = i;
    if (start < 0) {
        if (!lines.isEmpty() && !lines.constLast().trimmed().isEmpty())
            lines << QString();
        lines << header << entry;
    } else {
        int end = start + 1;
        while (end < lines.size() && !isGroupLine(lines.at(end)))
            ++end;
        int found = -1;
        for (int i = start + 1; i < end && found < 0; ++i)
            if (keyOf(lines.at(i)) == key)
                found = i;
        if (found >= 0) {
            lines[found] = entry;
        } else {
            // After the group's last entry, before the blank lines that part
            // it from the next group.
            int at = end;
            while (at > start + 1 && lines.at(at - 1).trimmed().isEmpty())
                --at;
            lines.insert(at, entry);
        }
    }
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write((lines.join(QLatin1Char('\n')) + QLatin1Char('\n')).toUtf8());
    return file.commit();
}

QString iniKey(const QString &path, const QString &group, const QString &key)
{
    const QString header = QLatin1Char('[') + group + QLatin1Char(']');
    bool inGroup = false;
    for (const QString &line : readLines(path)) {
        if (isGroupLine(line))
            inGroup = line.trimmed() == header;
        else if (inGroup && keyOf(line) == key)
            return line.mid(line.indexOf(QLatin1Char('=')) + 1).trimmed();
    }
    return {};
}

} // namespace pointer::kde
