#pragma once

#include "device/HidOwner.h"
#include "device/Hid_Thread.h"

#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

class DeviceWatch;
class Ui_Controler;
class myQQuickView;

// Set by a device check that connects a device, cleared by one that connects
// nothing; only while it is set may the window be brought back.
extern bool deviceConnected;

// The top-level window: owner of the HID worker, the view, the tray icon and
// the timer that runs the device check.
class Widget : public QWidget, public HidOwner
{
    Q_OBJECT
public:
    // loadScene false builds everything but the scene (command-line tool).
    explicit Widget(QWidget *parent = nullptr, bool loadScene = true);
    ~Widget() override;

    QTimer checkTimer;
    Ui_Controler *ctl = nullptr;
    Hid_Thread hid;
    QSystemTrayIcon *trayIcon = nullptr;

    myQQuickView *view() const;

    // How long a device check waits for another process to let go of the
    // mouse (the GUI does not wait: it tries again at its next check).
    int lockWaitMs = 0;
    // Set by a device check that found the mouse claimed by another process.
    bool mouseBusy = false;

    // A tray balloon (title "Info", information icon, 10 s), or a desktop
    // notification where no tray exists.
    void showBalloon(const QString &text);
    // The balloon of a DPI event; at most one per DpiBalloonInterval, the
    // latest text winning.
    void showDpiBalloon(const QString &text);
    static constexpr int DpiBalloonInterval = 400;

    // The window was not shown at start (--hidden). Until it is shown once,
    // a second launch or the tray brings it back even without a mouse, or
    // a program started at login without its mouse could never be opened.
    void startedHidden() { m_neverShown = true; }

    // Called for every device-change event of the system.
    void onDeviceChange();

    // HidOwner
    QString icType() const override;
    int currentProfileIndex() const override;
    void deviceDpiStage(int stage) override;
    void deviceKeyLayer(bool on) override;
    void deviceRemoved() override;
    void deviceAccessDenied(const QString &node) override;

    // Makes slot the current profile as the title bar's drop-down does, and
    // says so in the tray; false when no profile lives in that slot.
    bool switchProfile(int slot);

public slots:
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void checkDevice();
    void exitSYS();
    void receiveMessage(QString message);

protected:
    void customEvent(QEvent *event) override;
    void hideEvent(QHideEvent *event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;
#endif

private:
    void buildTray();
    // Hands the profile follower its hooks (WidgetPrograms.cpp).
    void followPrograms();
    void restoreWindow();
    void connectSequence();
    void lockRefused();
    void disconnectSequence();
    void releaseWhileHidden();

    DeviceWatch *m_watch = nullptr;
    bool m_neverShown = false;
    QTimer dpiBalloonTimer;
    QString pendingDpiBalloon;
    bool toldMouseBusy = false;
};
