#include "device/Pause.h"

#include "device/DeviceGate.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <QTimer>

#include <chrono>
#include <mutex>
#include <thread>

namespace Pause {

namespace {

std::mutex handlerMutex;
Handler currentHandler;

void waitTurningEvents(int ms)
{
    // Device work is under way for the whole wait: whatever the events start
    // that would talk to the mouse waits for the gate.
    DeviceGate::Hold hold;
    QElapsedTimer clock;
    clock.start();
    QEventLoop loop;
    QTimer timer;
    timer.setTimerType(Qt::PreciseTimer);
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    timer.start(ms);
    // Clicks and keys wait in the queue until the operation is over, as they
    // did while the thread slept; repaints, animations, timers and the
    // desktop's ping go on.
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    // The device must never see a shorter pause: a timer rounded down, or a
    // loop told to end early (the program quitting), sleeps the rest.
    const qint64 left = qint64(ms) * 1000000 - clock.nsecsElapsed();
    if (left > 0)
        std::this_thread::sleep_for(std::chrono::nanoseconds(left));
}

} // namespace

// The GUI thread of a GUI program waits in an event loop, so the window
// repaints, animates and answers the desktop while the device takes its
// time. Elsewhere (worker threads, a program without a GUI) a plain sleep is
// enough.
bool waitsInEventLoop()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && !QCoreApplication::closingDown() && QThread::currentThread() == app->thread()
        && app->inherits("QGuiApplication");
}

void pause(int ms)
{
    Handler h;
    {
        std::lock_guard<std::mutex> lock(handlerMutex);
        h = currentHandler;
    }
    if (h)
        h(ms);
    else if (ms <= 0)
        return;
    else if (waitsInEventLoop())
        waitTurningEvents(ms);
    else
        QThread::msleep(ulong(ms));
}

void setHandler(Handler handler)
{
    std::lock_guard<std::mutex> lock(handlerMutex);
    currentHandler = std::move(handler);
}

} // namespace Pause
