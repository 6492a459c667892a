#include "app/myQQuickView.h"

#include "device/DeviceGate.h"
#include "device/Hid_Thread.h"

#include <QDebug>
#include <QFocusEvent>
#include <QMetaObject>
#include <QQuickItem>
#include <QThread>

myQQuickView::myQQuickView(QWidget *parent, const QString &dataRoot)
    : QQuickWidget(parent), store(dataRoot)
{
    icType = store.getGlobalData(QStringLiteral("mouse/icType")).toString();
    isColorful = store.getGlobalData(QStringLiteral("mouse/isColorful")).toBool();
    isGun = store.getGlobalData(QStringLiteral("mouse/isGun")).toBool();
    is55328 = store.getGlobalData(QStringLiteral("mouse/is55328")).toBool();
    altKeyLayer = false;
}

myQQuickView::~myQQuickView()
{
    store.syncAll();
}

// Repaints at once, and hands the focus on to the scene, whose controls
// take the keyboard (without it no item of the scene ever has the focus).
void myQQuickView::focusInEvent(QFocusEvent *event)
{
    update();
    QQuickWidget::focusInEvent(event);
    event->accept();
}

void myQQuickView::invokeRoot(const char *function, Qt::ConnectionType type,
                              const QVariantList &args)
{
    QObject *root = rootObject();
    if (!root)
        return;
    // A direct call asked for from another thread would run the scene off
    // the GUI thread; it is delivered queued instead.
    if (type == Qt::DirectConnection && QThread::currentThread() != root->thread())
        type = Qt::QueuedConnection;
    QGenericArgument a[4];
    for (int i = 0; i < args.size() && i < 4; ++i)
        a[i] = QGenericArgument("QVariant", &args.at(i));
    QMetaObject::invokeMethod(root, function, type, a[0], a[1], a[2], a[3]);
}

void myQQuickView::setDeviceConnected(bool connected)
{
    invokeRoot("setDeviceConnected", Qt::DirectConnection, {QVariant(connected)});
}

void myQQuickView::detectKeyboard(bool isDown, int usbCode)
{
    invokeRoot("detectKeyboard", Qt::QueuedConnection, {QVariant(isDown), QVariant(usbCode)});
}

void myQQuickView::detectMouse(bool isDown, int code, int x, int y)
{
    invokeRoot("detectMouse", Qt::QueuedConnection,
               {QVariant(isDown), QVariant(code), QVariant(x), QVariant(y)});
}

// ---- window and scene control ----

void myQQuickView::clearHidBusy()
{
    if (m_hid)
        m_hid->channelFree = true;
}

// Both run the scene from the event loop, and only between device
// operations: initUI sends the stored settings to the mouse.
void myQQuickView::initUI()
{
    QMetaObject::invokeMethod(this, [this] {
        DeviceGate::instance().runWhenIdle(this, [this] { invokeRoot("initUI", Qt::DirectConnection); });
    }, Qt::QueuedConnection);
}

void myQQuickView::runUI()
{
    QMetaObject::invokeMethod(this, [this] {
        DeviceGate::instance().runWhenIdle(this, [this] { invokeRoot("run", Qt::DirectConnection); });
    }, Qt::QueuedConnection);
}

void myQQuickView::setBusy(int busyTime)
{
    invokeRoot("setProtectUI", Qt::DirectConnection, {QVariant(busyTime)});
}

void myQQuickView::setCurrentDPI(int dpiValue)
{
    invokeRoot("setCurrentDPI", Qt::DirectConnection, {QVariant(dpiValue)});
}

void myQQuickView::openUpdateExe() {}

// ---- settings store ----

void myQQuickView::resetApconfig()
{
    store.resetGlobal();
}

QVariant myQQuickView::getData(QVariant key, bool isRecovery)
{
    return store.getData(key, isRecovery);
}

QVariant myQQuickView::getGlobalData(QVariant key)
{
    return store.getGlobalData(key);
}

QVariantList myQQuickView::getDataList(QVariant key, bool isRecovery)
{
    return store.getDataList(key, isRecovery);
}

void myQQuickView::setData(QVariant key, QVariant data)
{
    store.setData(key, data);
}

void myQQuickView::setGlobalData(QVariant key, QVariant tmpdata)
{
    store.setGlobalData(key, tmpdata);
}

void myQQuickView::setDataList(QVariant key, QVariantList datalist)
{
    store.setDataList(key, datalist);
}
