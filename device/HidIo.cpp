#include "device/HidIo.h"

#include "device/DeviceGate.h"
#include "device/Pause.h"

#include <QEventLoop>
#include <QMetaObject>

HidIo::~HidIo()
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wakeThread.notify_all();
    if (m_thread.joinable())
        m_thread.join();
}

void HidIo::runJob(std::function<void()> call, bool turnEvents)
{
    if (!Pause::waitsInEventLoop()) {
        call();
        return;
    }
    // The thread is started and joined by the thread that owns this object.
    if (!m_thread.joinable()) {
        // Nothing was ever handed over, so nothing is open over there.
        if (!turnEvents) {
            call();
            return;
        }
        m_thread = std::thread([this] { serve(); });
    }
    auto job = std::make_shared<Job>();
    job->call = std::move(call);
    if (turnEvents) {
        // Device work is under way for the whole call, as in a pause.
        DeviceGate::Hold hold;
        QEventLoop loop;
        job->wake = [&loop] { QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection); };
        hand(job);
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        // The loop also ends early when the program is told to quit; the
        // call still has to end (within its own time-out) before its
        // buffers and the handle may be touched again.
        waitFor(*job);
        return;
    }
    hand(job);
    waitFor(*job);
}

void HidIo::hand(const std::shared_ptr<Job> &job)
{
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_queue.push_back(job);
    }
    m_wakeThread.notify_one();
}

void HidIo::waitFor(const Job &job)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_jobDone.wait(lock, [&] { return job.done; });
}

void HidIo::serve()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    for (;;) {
        m_wakeThread.wait(lock, [this] { return m_quit || !m_queue.empty(); });
        if (m_queue.empty())
            return;
        std::shared_ptr<Job> job = m_queue.front();
        m_queue.pop_front();
        lock.unlock();
        job->call();
        lock.lock();
        // Woken under the lock: the waiter sees done only afterwards, so its
        // event loop is still there when the wake-up is posted to it.
        job->done = true;
        if (job->wake)
            job->wake();
        m_jobDone.notify_all();
    }
}
