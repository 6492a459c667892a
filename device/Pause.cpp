#include "device/Pause.h"

#include <QThread>

#include <mutex>

namespace Pause {

namespace {

std::mutex handlerMutex;
Handler currentHandler;

} // namespace

void pause(int ms)
{
    Handler h;
    {
        std::lock_guard<std::mutex> lock(handlerMutex);
        h = currentHandler;
    }
    if (h)
        h(ms);
    else if (ms > 0)
        QThread::msleep(ulong(ms));
}

void setHandler(Handler handler)
{
    std::lock_guard<std::mutex> lock(handlerMutex);
    currentHandler = std::move(handler);
}

} // namespace Pause
