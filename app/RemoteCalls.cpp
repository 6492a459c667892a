#include "app/RemoteCalls.h"

#include "app/SingleInstance.h"
#include "app/SlotCaller.h"
#include "app/Widget.h"
#include "app/myQQuickView.h"
#include "device/DeviceGate.h"

#include <QDebug>
#include <QElapsedTimer>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QQuickItem>

namespace {

// Profile slots the scene can switch to.
constexpr int ProfileSlots = 10;

QByteArray jsonText(const QJsonValue &v)
{
    const QByteArray text = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return text.mid(1, text.size() - 2);
}

} // namespace

RemoteCalls::RemoteCalls(Widget &window, SingleInstance &instance, QObject *parent)
    : QObject(parent), m_window(window), m_instance(instance)
{
    connect(&instance, &SingleInstance::callReceived, this, &RemoteCalls::receive);
}

void RemoteCalls::receive(quint64 callId, const QByteArray &payload)
{
    auto refuse = [&](const QString &why) {
        qDebug().noquote() << "kelda-ctl call refused:" << why;
        m_instance.answerCall(callId, false, why.toUtf8());
    };
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(payload, &parseError);
    const QJsonObject call = doc.object();
    if (parseError.error != QJsonParseError::NoError || !doc.isObject() || !call.value("slot").isString()
        || !call.value("args").isArray()) {
        refuse(QStringLiteral("not a call: expected {\"slot\": NAME, \"args\": [...]}"));
        return;
    }
    const QString name = call.value("slot").toString();
    const QJsonArray rawArgs = call.value("args").toArray();
    const QMetaObject &contract = myQQuickView::staticMetaObject;
    QMetaMethod slot;
    QString error;
    if (!SlotCaller::findSlot(contract, name, int(rawArgs.size()), &slot, &error)) {
        refuse(error);
        return;
    }
    QList<QVariant> args;
    for (int i = 0; i < rawArgs.size(); ++i) {
        QVariant v;
        if (!SlotCaller::convertArgument(jsonText(rawArgs.at(i)), slot.parameterMetaType(i), &v, &error)) {
            refuse(QStringLiteral("argument %1 of %2: %3").arg(i + 1).arg(name, error));
            return;
        }
        args.append(v);
    }

    DeviceGate::instance().runWhenIdle(this, [this, callId, name, slot, args]() mutable {
        myQQuickView *view = m_window.view();
        if (!view) {
            m_instance.answerCall(callId, false, "the program has no view");
            return;
        }
        QElapsedTimer clock;
        clock.start();
        QVariant result;
        bool invoked = false;
        bool waiting = false;
        QObject *root = view->rootObject();
        const int profile = args.value(0).toInt();
        if (name == QLatin1String("setCurrentProfile") && root && profile >= 0
            && profile < ProfileSlots) {
            // The title bar's profile list takes this way: the scene notes the
            // profile, the view switches, and every panel is filled anew from
            // the profile and sent to the mouse. Unsaved edits in the window
            // are not dropped: the switch then waits until the user saves or
            // discards them, and the answer says so at once.
            QVariant switched;
            invoked = QMetaObject::invokeMethod(root, "requestProfile", Qt::DirectConnection,
                                                Q_RETURN_ARG(QVariant, switched),
                                                Q_ARG(QVariant, QVariant(profile)), Q_ARG(QVariant, QVariant(true)));
            waiting = invoked && !switched.toBool();
        } else {
            invoked = SlotCaller::invoke(view, slot, args, &result);
        }
        const qint64 ms = clock.elapsed();
        if (!invoked) {
            m_instance.answerCall(callId, false, QStringLiteral("%1 could not be called").arg(name).toUtf8());
            return;
        }
        const QByteArray answer = "{\"connected\":" + QByteArray(deviceConnected ? "true" : "false")
                                  + ",\"ms\":" + QByteArray::number(ms)
                                  + (waiting ? ",\"waiting\":true" : "")
                                  + ",\"result\":" + SlotCaller::resultJson(result) + "}";
        m_instance.answerCall(callId, true, answer);
    });
}
