#pragma once

#include <QObject>
#include <QPointer>

#include <functional>
#include <vector>

// Tells whether the GUI thread is inside device work, and holds back work
// that would start device traffic of its own until it is over.
//
// Device commands run on the GUI thread, and the transport turns the event
// loop while it waits (the channel poll, the pauses between reports). Events
// that arrive then (a call handed over by kelda-ctl, a profile switch that
// follows the focused program, a timer) must not start a second operation
// in the middle of the first: they ask runWhenIdle(), which runs them at
// once when no device work is under way, and otherwise as soon as the last
// Hold is released and control is back in an event loop.
//
// A Hold spans every stretch in which device code may turn the event loop:
// each command from taking the channel to giving it back, and each pause
// that processes events. GUI thread only.
class DeviceGate : public QObject
{
    Q_OBJECT
public:
    static DeviceGate &instance();

    bool busy() const { return m_depth > 0; }

    // Runs job now when idle, else queues it (in order) for the moment the
    // gate is idle again. A job whose context object is gone is dropped.
    void runWhenIdle(QObject *context, std::function<void()> job);

    class Hold
    {
    public:
        Hold();
        ~Hold();
        Hold(const Hold &) = delete;
        Hold &operator=(const Hold &) = delete;
    };

signals:
    // The last Hold was released.
    void idle();

private:
    DeviceGate() = default;
    void enter();
    void leave();
    void drain();

    struct Job
    {
        QPointer<QObject> context;
        std::function<void()> run;
    };
    int m_depth = 0;
    bool m_drainQueued = false;
    std::vector<Job> m_jobs;
};
