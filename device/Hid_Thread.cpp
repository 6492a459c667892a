#include "device/Hid_Thread.h"

#include <QDebug>

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent) {}

Hid_Thread::~Hid_Thread()
{
    stopReadLoop();
    readLoopFuture.waitForFinished();
}

void Hid_Thread::selectDevice(int index)
{
    currentIndex = index;
}

void Hid_Thread::connectDevice(int)
{
    qDebug() << "connectDevice: not available yet";
}

void Hid_Thread::stopReadLoop()
{
    readLoopRunning = false;
}
