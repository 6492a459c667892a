#include "device/DeviceGate.h"

#include <QMetaObject>

DeviceGate &DeviceGate::instance()
{
    static DeviceGate gate;
    return gate;
}

void DeviceGate::runWhenIdle(QObject *context, std::function<void()> job)
{
    if (!busy() && m_jobs.empty()) {
        job();
        return;
    }
    m_jobs.push_back({context, std::move(job)});
}

void DeviceGate::enter()
{
    ++m_depth;
}

void DeviceGate::leave()
{
    if (--m_depth > 0)
        return;
    emit idle();
    // The jobs run from the event loop, not from inside the code that just
    // released its hold: that code may go on with the next command of the
    // same operation, and then the queued drain finds the gate busy again.
    if (!m_jobs.empty() && !m_drainQueued) {
        m_drainQueued = true;
        QMetaObject::invokeMethod(this, [this] { drain(); }, Qt::QueuedConnection);
    }
}

void DeviceGate::drain()
{
    m_drainQueued = false;
    while (!busy() && !m_jobs.empty()) {
        Job job = std::move(m_jobs.front());
        m_jobs.erase(m_jobs.begin());
        if (job.context)
            job.run();
    }
}

DeviceGate::Hold::Hold()
{
    DeviceGate::instance().enter();
}

DeviceGate::Hold::~Hold()
{
    DeviceGate::instance().leave();
}
