#pragma once

#include <QByteArray>
#include <QList>
#include <QMetaMethod>
#include <QString>
#include <QStringList>
#include <QVariant>

// Calls the public slots of an object by name with arguments given as JSON
// text, the way kelda-ctl drives the view. Every failure is a message for
// the user; nothing here throws or touches a device.
namespace SlotCaller {

// The public slots that the class itself declares, in declaration order.
QList<QMetaMethod> contractSlots(const QMetaObject &mo);

// "void mouseSetDpi(int dpiCount, QString sensorType, QVariantList dpiValueArray)"
QString signatureText(const QMetaMethod &m);

// The slot named name whose parameter count is argCount. When none fits,
// error says why (unknown name, or the counts the name accepts).
bool findSlot(const QMetaObject &mo, const QString &name, int argCount, QMetaMethod *slot,
              QString *error);

// One JSON value converted to a parameter type of the slot table: int,
// uint, uchar, bool, QString, QStringList, QVariantList or QVariant. Whole
// numbers arrive as int inside lists, as they would from the scene.
bool convertArgument(const QByteArray &jsonText, QMetaType type, QVariant *out, QString *error);

// Invokes the slot directly with converted arguments. result is invalid for
// a slot that returns nothing.
bool invoke(QObject *object, const QMetaMethod &slot, QList<QVariant> &args, QVariant *result);

// The result as one line of JSON: "null" for nothing.
QByteArray resultJson(const QVariant &result);

} // namespace SlotCaller
