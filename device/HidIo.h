#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <type_traits>

// The thread on which one device link makes its hidapi calls.
//
// A call to the mouse can block for a long time inside the kernel: a feature
// report the device does not answer waits for the USB time-out (5 s on
// Linux), a read waits for its own time-out. On the GUI thread of a GUI
// program such a call must not stop the event loop, so run() hands it to the
// I/O thread and waits the way the transport's pauses wait: in a local event
// loop that lets repaints, timers and the desktop's ping through and keeps
// clicks and keys queued, with DeviceGate held, so work that would talk to
// the mouse waits until the operation is over. run() returns when the call
// is done, so calls keep their order and every command still ends before
// the slot that issued it returns.
//
// Anywhere else (the read loop on its pool thread, a worker, a program
// without a GUI) run() makes the call at once on the calling thread.
//
// The thread starts with the first call handed to it and ends with the
// object; a call in progress then runs to its end (bounded by its own
// time-out) before the thread is joined.
class HidIo
{
public:
    HidIo() = default;
    ~HidIo();
    HidIo(const HidIo &) = delete;
    HidIo &operator=(const HidIo &) = delete;

    template <typename F>
    auto run(F &&call) -> std::invoke_result_t<F &>
    {
        using R = std::invoke_result_t<F &>;
        if constexpr (std::is_void_v<R>) {
            runJob(std::function<void()>(std::ref(call)), true);
        } else {
            R result{};
            runJob([&] { result = call(); }, true);
            return result;
        }
    }

    // The same, but the GUI thread waits without turning its event loop:
    // for the last calls of an object that is being destroyed.
    void runBlocking(const std::function<void()> &call) { runJob(call, false); }

private:
    struct Job
    {
        std::function<void()> call;
        bool done = false;
        std::function<void()> wake; // tells the waiting event loop, if any
    };

    void runJob(std::function<void()> call, bool turnEvents);
    void hand(const std::shared_ptr<Job> &job);
    void waitFor(const Job &job);
    void serve();

    std::mutex m_mutex;
    std::condition_variable m_wakeThread;
    std::condition_variable m_jobDone;
    std::deque<std::shared_ptr<Job>> m_queue;
    bool m_quit = false;
    std::thread m_thread;
};
