#include "app/Widget.h"

#include "app/Ui_Controler.h"
#include "app/myQQuickView.h"
#include "device/DeviceGate.h"
#include "device/DeviceListReader.h"
#include "host/DeviceWatch.h"
#include "store/DpiSwitchMessages.h"

#include <QAction>
#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDebug>
#include <QIcon>
#include <QMenu>
#include <QPixmapCache>
#include <QQmlEngine>
#include <QQuickWindow>
#include <QSettings>

#include <utility>

#ifdef __GLIBC__
#include <malloc.h>
#endif

#ifdef Q_OS_WIN
#include <windows.h>
#include <dbt.h>
#endif

bool deviceConnected = false;

static const char *const TrayMenuStyle =
    "QMenu { border: 1px solid rgb(100, 100, 100); background: rgb(68, 69, 73); } "
    "QMenu::item { height: 22px; padding: 0px 25px 0px 20px; } "
    "QMenu::item:enabled { color: rgb(225, 225, 225); } "
    "QMenu::item:!enabled { color: rgb(155, 155, 155); } "
    "QMenu::item:enabled:selected { color: rgb(230, 230, 230); background: rgba(255, 255, 255, 40); } "
    "QMenu::separator { height: 1px; background: rgb(100, 100, 100); } "
    "QMenu::indicator { width: 13px; height: 13px; } "
    "QMenu::icon { padding-left: 2px; padding-right: 2px; } ";

Widget::Widget(QWidget *parent, bool loadScene) : QWidget(parent)
{
    hid.owner = this;
    ctl = new Ui_Controler(this, loadScene);
    if (ctl->view) {
        ctl->view->setHidThread(&hid);
        // The program spends most of its life hidden in the tray: the scene
        // graph (nodes, textures, glyph caches) is dropped with the window
        // and built again when it is shown, which takes a few milliseconds.
        if (QQuickWindow *w = ctl->view->quickWindow()) {
            w->setPersistentSceneGraph(false);
            w->setPersistentGraphics(false);
        }
    }

    dpiBalloonTimer.setInterval(DpiBalloonInterval);
    dpiBalloonTimer.setSingleShot(true);
    connect(&dpiBalloonTimer, &QTimer::timeout, this, [this] {
        if (pendingDpiBalloon.isEmpty())
            return;
        showBalloon(std::exchange(pendingDpiBalloon, QString()));
        dpiBalloonTimer.start();
    });

    checkTimer.setInterval(2048);
    checkTimer.setSingleShot(true);
    // A device check replaces the device list and may connect: never in the
    // middle of a command whose pauses let the timer fire.
    connect(&checkTimer, &QTimer::timeout, this, [this] {
        DeviceGate::instance().runWhenIdle(this, [this] { checkDevice(); });
    });

    buildTray();
    followPrograms();

    m_watch = DeviceWatch::create(this);
    if (m_watch)
        connect(m_watch, &DeviceWatch::deviceChanged, this, &Widget::onDeviceChange);
}

Widget::~Widget()
{
    hid.stopReadLoop();
    hid.readLoopFuture.waitForFinished();
    if (ctl)
        ctl->deleteLater();
}

myQQuickView *Widget::view() const
{
    return ctl ? ctl->view : nullptr;
}

void Widget::buildTray()
{
    trayIcon = new QSystemTrayIcon(this);
    auto *quitAction = new QAction(tr("Quit (&Q)"), this);
    connect(quitAction, &QAction::triggered, this, &Widget::exitSYS);
    auto *menu = new QMenu(this);
    menu->addAction(quitAction);
    menu->setStyleSheet(QString::fromLatin1(TrayMenuStyle));
    trayIcon->setContextMenu(menu);
    trayIcon->setToolTip(QStringLiteral("ZORVANT KELDA MOUSE X7"));
    trayIcon->setIcon(QIcon(QStringLiteral("./modules/img/logo.ico")));
    connect(trayIcon, &QSystemTrayIcon::activated, this, &Widget::trayIconActivated);
    trayIcon->setVisible(true);
    if (!QSystemTrayIcon::isSystemTrayAvailable())
        qDebug() << "no system tray: closing the window minimises it, and notices go to"
                    " the desktop's notification service";
}

void Widget::showBalloon(const QString &text)
{
    if (QSystemTrayIcon::isSystemTrayAvailable() && trayIcon && trayIcon->isVisible()) {
        trayIcon->showMessage(QStringLiteral("Info"), text, QSystemTrayIcon::Information, 10000);
        return;
    }
    QDBusMessage notify = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("/org/freedesktop/Notifications"),
        QStringLiteral("org.freedesktop.Notifications"), QStringLiteral("Notify"));
    notify << QStringLiteral("kelda-config") << uint(0) << QStringLiteral("dialog-information")
           << QStringLiteral("Info") << text << QStringList() << QVariantMap() << int(10000);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected() || !bus.send(notify))
        qDebug().noquote() << "Info:" << text;
}

void Widget::customEvent(QEvent *) {}

void Widget::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    // After the view has handled its own hide event, which drops its scene graph.
    QTimer::singleShot(0, this, [this] {
        if (!isVisible() || isMinimized())
            releaseWhileHidden();
    });
}

// Gives back what a hidden window does not need: the scene graph's leftovers,
// cached pixmaps, unreferenced QML components and garbage, and the freed heap
// pages. The scene itself and everything the user has edited stay.
void Widget::releaseWhileHidden()
{
    if (myQQuickView *v = view()) {
        if (QQuickWindow *w = v->quickWindow())
            w->releaseResources();
        if (QQmlEngine *e = v->engine()) {
            e->collectGarbage();
            e->trimComponentCache();
        }
    }
    QPixmapCache::clear();
#ifdef __GLIBC__
    malloc_trim(0);
#endif
}

void Widget::restoreWindow()
{
    if (!deviceConnected && !m_neverShown)
        return;
    m_neverShown = false;
    // Posted, not sent, so the window is shown from the event loop.
    QMetaObject::invokeMethod(this, [this] {
        if (isMinimized())
            showNormal();
        setVisible(true);
        raise();
        activateWindow();
    }, Qt::QueuedConnection);
}

void Widget::trayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick)
        restoreWindow();
}

void Widget::receiveMessage(QString)
{
    restoreWindow();
}

void Widget::exitSYS()
{
    // The menu can be used while a transfer is in progress (transfers let
    // events through); it ends at its next report and those still queued
    // behind it fail at once, so the event loop returns promptly.
    hid.shutDown();
    QCoreApplication::exit(0);
}

void Widget::onDeviceChange()
{
    if (!hid.readLoopRunning)
        checkTimer.start();
}

#ifdef Q_OS_WIN
bool Widget::nativeEvent(const QByteArray &eventType, void *message, qintptr *result)
{
    Q_UNUSED(eventType);
    Q_UNUSED(result);
    MSG *msg = static_cast<MSG *>(message);
    if (msg->message == WM_SYSCOMMAND && msg->wParam == SC_RESTORE)
        setVisible(true);
    else if (msg->message == WM_DEVICECHANGE)
        onDeviceChange();
    return false;
}
#endif

void Widget::checkDevice()
{
    QSettings apConfig(QStringLiteral("./modules/setting/apConfig.bin"), QSettings::IniFormat);
    DeviceList list = DeviceListReader::read(apConfig);

    hid.findInterfaces(list);
    // The read loop reads its entry from this list; one still running (a
    // direct call, not the timer) is ended before the list is replaced.
    if (!hid.readLoopFuture.isFinished()) {
        hid.stopReadLoop();
        hid.readLoopFuture.waitForFinished();
    }
    hid.devices = std::move(list);

    for (int j = 0; j < hid.devices.size(); ++j) {
        if (hid.devices[j].path.isEmpty())
            continue;
        hid.selectDevice(j);
        if (!hid.holdDeviceLock(j)) {
            if (lockWaitMs > 0)
                qDebug().noquote() << "another program is using the mouse; waiting for it";
            if (lockWaitMs == 0 || !hid.holdDeviceLock(j, lockWaitMs)) {
                lockRefused();
                return;
            }
        }
        mouseBusy = false;
        toldMouseBusy = false;
        connectSequence();
        return;
    }
    hid.releaseDeviceLock();
    disconnectSequence();
}

void Widget::lockRefused()
{
    // Another process drives the mouse. It is told once, and the next check
    // tries again, so the window connects as soon as the other one is done.
    mouseBusy = true;
    if (!toldMouseBusy) {
        toldMouseBusy = true;
        qDebug().noquote() << "another program is using the mouse";
        showBalloon(QStringLiteral("another program is using the mouse"));
        disconnectSequence();
    } else if (deviceConnected) {
        disconnectSequence();
    }
    if (lockWaitMs == 0)
        checkTimer.start();
}

void Widget::connectSequence()
{
    myQQuickView *v = view();
    qDebug() << "Device Connect";
    if (v)
        v->clearHidBusy();
    deviceConnected = true;
    showBalloon(QStringLiteral("Detect Device"));
    hid.connectDevice(hid.currentIndex);
    if (v) {
        if (v->icType == QLatin1String("560")) {
            // All five blocks, so that every profile's first save starts
            // from the mouse's bytes. A mouse that answers but sends no
            // block data would hold the window for a second per block; the
            // first failed read ends them, and a block not read here is
            // read before it is first written.
            v->deviceBlockRead.fill(false);
            for (uint n = 0; n < 5; ++n) {
                v->mouseReadProfile(n);
                if (!hid.lastBlockReadOk)
                    break;
            }
        }
        v->setEnabled(true);
        v->setDeviceConnected(true);
        v->initUI();
    }
}

void Widget::disconnectSequence()
{
    qDebug() << "Device DisConnect";
    deviceConnected = false;
    if (myQQuickView *v = view()) {
        v->setDeviceConnected(false);
        v->initUI();
    }
}

// ---- HidOwner: effects of the read loop, delivered on the GUI thread ----

QString Widget::icType() const
{
    myQQuickView *v = view();
    return v ? v->icType : QString();
}

int Widget::currentProfileIndex() const
{
    myQQuickView *v = view();
    return v ? v->currentProfileIndex() : 0;
}

// The read loop's reports reach the scene between device operations, in
// order: the scene reacts to them as to any input, and may talk to the mouse.
void Widget::deviceDpiStage(int stage)
{
    QMetaObject::invokeMethod(this, [this, stage] {
        DeviceGate::instance().runWhenIdle(this, [this, stage] {
            if (myQQuickView *v = view())
                v->setCurrentDPI(stage);
            const int entry = (stage >= 1 && stage <= 7) ? stage - 1 : 7;
            showDpiBalloon(dpiSwitchMessages[entry] + QLatin1Char(' '));
        });
    }, Qt::QueuedConnection);
}

void Widget::showDpiBalloon(const QString &text)
{
    // A burst of DPI events (a button held or bouncing) must not become a
    // burst of desktop notifications: one is shown at once, and the last of
    // those that follow within the interval is shown when it ends.
    if (!dpiBalloonTimer.isActive()) {
        showBalloon(text);
        dpiBalloonTimer.start();
    } else {
        pendingDpiBalloon = text;
    }
}

void Widget::deviceKeyLayer(bool on)
{
    QMetaObject::invokeMethod(this, [this, on] {
        DeviceGate::instance().runWhenIdle(this, [this, on] {
            if (myQQuickView *v = view()) {
                v->altKeyLayer = on;
                v->runUI();
            }
        });
    }, Qt::QueuedConnection);
}

void Widget::deviceAccessDenied(const QString &node)
{
    Q_UNUSED(node); // the worker's log line names it
    QMetaObject::invokeMethod(this, [this] {
        static bool told = false;
        if (told)
            return;
        told = true;
        showBalloon(tr("The mouse is connected, but this user may not use it yet. Install the "
                       "device rule 70-kelda-x7.rules (in the program's source folder run: "
                       "sudo make install-udev-rule), then unplug the mouse and plug it in again."));
    }, Qt::QueuedConnection);
}

void Widget::deviceRemoved()
{
    QMetaObject::invokeMethod(this, [this] {
        hid.releaseDeviceLock();
        if (myQQuickView *v = view()) {
            v->setEnabled(false);
            v->setDeviceConnected(false);
        }
    }, Qt::QueuedConnection);
}
