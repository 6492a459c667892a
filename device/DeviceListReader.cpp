#include "device/DeviceListReader.h"

#include <QDebug>
#include <QSettings>

namespace DeviceListReader {

namespace {

quint16 hex16(const QSettings &store, const QString &key)
{
    bool ok = false;
    const uint v = store.value(key).toString().trimmed().toUInt(&ok, 16);
    return ok ? quint16(v) : quint16(0);
}

} // namespace

DeviceList read(QSettings &store)
{
    DeviceList list;
    for (int i = 0;; ++i) {
        const int count = store.value(QStringLiteral("common/deviceCount")).toInt();
        if (i >= count)
            break;
        if (i >= MaxEntries) {
            qDebug() << "device list: deviceCount" << count << "is implausible, reading"
                     << MaxEntries << "entries";
            break;
        }
        const QString g = QString::number(i, 10) + QLatin1Char('/');
        DeviceEntry e;
        const QVariant type = store.value(g + QStringLiteral("type"));
        if (type.isValid()) {
            bool ok = false;
            const int t = type.toString().trimmed().toInt(&ok, 16);
            e.type = ok ? t : 0;
        }
        e.vid = hex16(store, g + QStringLiteral("vid"));
        e.pid = hex16(store, g + QStringLiteral("pid"));
        e.usagePage = hex16(store, g + QStringLiteral("usagePage"));
        e.usage = hex16(store, g + QStringLiteral("usage"));
        e.usagePage2 = hex16(store, g + QStringLiteral("usagePage2"));
        e.usage2 = hex16(store, g + QStringLiteral("usage2"));
        e.reportLength = store.value(g + QStringLiteral("reportLength"), 32).toInt();
        // A length of zero or less would make every bulk transfer loop
        // forever; such an entry is read with the usual length instead.
        if (e.reportLength < 1 || e.reportLength > MaxReportLength)
            e.reportLength = 32;
        e.isEncode = store.value(g + QStringLiteral("isEncode"), false).toBool();
        e.sCode = store.value(g + QStringLiteral("sCode"), QStringLiteral("482916")).toString();
        list.append(e);
    }
    return list;
}

DeviceList readFile(const QString &path)
{
    QSettings store(path, QSettings::IniFormat);
    return read(store);
}

} // namespace DeviceListReader
