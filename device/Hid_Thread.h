#pragma once

#include "device/DeviceEntry.h"

#include <QFuture>
#include <QThread>

#include <atomic>

class HidOwner;

// The single object through which the program talks to the mouse.
class Hid_Thread : public QThread
{
    Q_OBJECT
public:
    explicit Hid_Thread(QObject *parent = nullptr);
    ~Hid_Thread() override;

    HidOwner *owner = nullptr;
    DeviceList devices;
    int currentIndex = 1;
    std::atomic<bool> channelFree{true};
    std::atomic<bool> readLoopRunning{false};
    QFuture<void> readLoopFuture;

    void selectDevice(int index);
    void connectDevice(int index);
    void stopReadLoop();
};
