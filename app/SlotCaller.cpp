#include "app/SlotCaller.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonValue>

#include <cmath>
#include <limits>

namespace SlotCaller {

namespace {

// Whole numbers of a JSON tree become int (or long long), as a script
// engine hands them to a slot; other values keep their JSON types.
QVariant normalised(const QJsonValue &v)
{
    switch (v.type()) {
    case QJsonValue::Double: {
        const double d = v.toDouble();
        if (std::floor(d) == d && std::abs(d) < 9.0e15) {
            const qlonglong n = qlonglong(d);
            if (n >= std::numeric_limits<int>::min() && n <= std::numeric_limits<int>::max())
                return int(n);
            return n;
        }
        return d;
    }
    case QJsonValue::Array: {
        QVariantList out;
        for (const QJsonValue &e : v.toArray())
            out.append(normalised(e));
        return out;
    }
    case QJsonValue::Object: {
        QVariantMap out;
        const QJsonObject o = v.toObject();
        for (auto it = o.begin(); it != o.end(); ++it)
            out.insert(it.key(), normalised(it.value()));
        return out;
    }
    case QJsonValue::Null:
        return QVariant();
    default:
        return v.toVariant();
    }
}

bool wholeNumber(const QJsonValue &v, double lo, double hi, qlonglong *out)
{
    if (!v.isDouble())
        return false;
    const double d = v.toDouble();
    if (std::floor(d) != d || d < lo || d > hi)
        return false;
    *out = qlonglong(d);
    return true;
}

QString describe(QMetaType type)
{
    switch (type.id()) {
    case QMetaType::Int:
        return QStringLiteral("a whole number");
    case QMetaType::UInt:
        return QStringLiteral("a whole number from 0 to 4294967295");
    case QMetaType::UChar:
        return QStringLiteral("a whole number from 0 to 255");
    case QMetaType::Bool:
        return QStringLiteral("true or false");
    case QMetaType::QString:
        return QStringLiteral("a JSON string, such as '\"3360\"'");
    case QMetaType::QStringList:
        return QStringLiteral("a JSON array of strings");
    case QMetaType::QVariantList:
        return QStringLiteral("a JSON array");
    default:
        return QStringLiteral("a JSON value");
    }
}

} // namespace

QList<QMetaMethod> contractSlots(const QMetaObject &mo)
{
    QList<QMetaMethod> out;
    for (int i = mo.methodOffset(); i < mo.methodCount(); ++i) {
        const QMetaMethod m = mo.method(i);
        if (m.methodType() == QMetaMethod::Slot && m.access() == QMetaMethod::Public)
            out.append(m);
    }
    return out;
}

QString signatureText(const QMetaMethod &m)
{
    QStringList params;
    const QList<QByteArray> types = m.parameterTypes();
    const QList<QByteArray> names = m.parameterNames();
    for (int i = 0; i < types.size(); ++i) {
        QString p = QString::fromLatin1(types.at(i));
        if (!names.value(i).isEmpty())
            p += QLatin1Char(' ') + QString::fromLatin1(names.at(i));
        params.append(p);
    }
    return QStringLiteral("%1 %2(%3)")
        .arg(QString::fromLatin1(m.typeName()), QString::fromLatin1(m.name()),
             params.join(QStringLiteral(", ")));
}

bool findSlot(const QMetaObject &mo, const QString &name, int argCount, QMetaMethod *slot,
              QString *error)
{
    QStringList candidates;
    for (const QMetaMethod &m : contractSlots(mo)) {
        if (QString::fromLatin1(m.name()) != name)
            continue;
        if (m.parameterCount() == argCount) {
            *slot = m;
            return true;
        }
        candidates.append(signatureText(m));
    }
    if (candidates.isEmpty()) {
        *error = QStringLiteral("unknown slot '%1' (kelda-ctl list shows every slot)").arg(name);
        return false;
    }
    *error = QStringLiteral("%1 needs other arguments than the %2 given: %3")
                 .arg(name).arg(argCount).arg(candidates.join(QStringLiteral("; ")));
    return false;
}

bool convertArgument(const QByteArray &jsonText, QMetaType type, QVariant *out, QString *error)
{
    // Wrapped in an array so that a bare number, string or literal parses;
    // the array must then hold exactly one value.
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson("[" + jsonText + "]", &parseError);
    if (parseError.error != QJsonParseError::NoError || doc.array().size() != 1) {
        *error = QStringLiteral("not valid JSON: %1").arg(QString::fromUtf8(jsonText));
        return false;
    }
    const QJsonValue v = doc.array().at(0);
    qlonglong n = 0;
    bool ok = false;
    switch (type.id()) {
    case QMetaType::Int:
        ok = wholeNumber(v, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), &n);
        *out = QVariant::fromValue(int(n));
        break;
    case QMetaType::UInt:
        ok = wholeNumber(v, 0, std::numeric_limits<uint>::max(), &n);
        *out = QVariant::fromValue(uint(n));
        break;
    case QMetaType::UChar:
        ok = wholeNumber(v, 0, 255, &n);
        *out = QVariant::fromValue(uchar(n));
        break;
    case QMetaType::Bool:
        ok = v.isBool();
        *out = QVariant::fromValue(v.toBool());
        break;
    case QMetaType::QString:
        ok = v.isString();
        *out = QVariant::fromValue(v.toString());
        break;
    case QMetaType::QStringList: {
        ok = v.isArray();
        QStringList list;
        for (const QJsonValue &e : v.toArray()) {
            ok = ok && e.isString();
            list.append(e.toString());
        }
        *out = QVariant::fromValue(list);
        break;
    }
    case QMetaType::QVariantList:
        ok = v.isArray();
        *out = QVariant::fromValue(normalised(v).toList());
        break;
    case QMetaType::QVariant:
        ok = true;
        *out = QVariant::fromValue(normalised(v));
        break;
    default:
        *error = QStringLiteral("parameter type %1 cannot be given on the command line")
                     .arg(QString::fromLatin1(type.name()));
        return false;
    }
    if (!ok) {
        *error = QStringLiteral("%1 is not %2").arg(QString::fromUtf8(jsonText), describe(type));
        return false;
    }
    return true;
}

bool invoke(QObject *object, const QMetaMethod &slot, QList<QVariant> &args, QVariant *result)
{
    QGenericArgument a[10];
    for (int i = 0; i < args.size() && i < 10; ++i)
        a[i] = QGenericArgument(slot.parameterMetaType(i).name(), args[i].data());
    if (slot.returnMetaType().id() == QMetaType::Void) {
        *result = QVariant();
        return slot.invoke(object, Qt::DirectConnection, a[0], a[1], a[2], a[3], a[4], a[5],
                           a[6], a[7], a[8], a[9]);
    }
    QVariant ret(slot.returnMetaType());
    const bool ok = slot.invoke(object, Qt::DirectConnection,
                                QGenericReturnArgument(slot.typeName(), ret.data()), a[0], a[1],
                                a[2], a[3], a[4], a[5], a[6], a[7], a[8], a[9]);
    // A slot that returns QVariant gives it wrapped once more.
    *result = ret.metaType().id() == QMetaType::QVariant ? ret.value<QVariant>() : ret;
    return ok;
}

QByteArray resultJson(const QVariant &result)
{
    const QJsonArray wrapped{QJsonValue::fromVariant(result)};
    const QByteArray text = QJsonDocument(wrapped).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

} // namespace SlotCaller
