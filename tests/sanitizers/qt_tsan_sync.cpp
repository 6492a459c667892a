// Preloaded into the ThreadSanitizer test run (tests/sanitizers/run tsan).
//
// Qt from Debian is not built with ThreadSanitizer, and its QMutex waits on
// futexes directly, so the happens-before edges a QFuture gives are invisible:
// every write of a task before it finished looks like a race with the thread
// that waited for it, and every write of the starting thread like a race with
// the task. This library wraps the QFutureInterfaceBase calls our own
// (instrumented) code makes and tells ThreadSanitizer about exactly the edges
// Qt documents:
//   - reportStarted(), made by QtConcurrent before the task is queued,
//     happens before the task's first isCanceled() on the pool thread;
//   - reportFinished() at the end of the task happens before
//     waitForFinished() returns, and before isFinished() returns true.
// Each edge is keyed on the future's shared state, so a promise and all its
// futures meet. Built without sanitizers: in processes without the
// ThreadSanitizer runtime (ctest, the shell, Python) the wrappers only
// forward.
#include <dlfcn.h>

extern "C" void __tsan_acquire(void *addr) __attribute__((weak));
extern "C" void __tsan_release(void *addr) __attribute__((weak));

namespace {

// QFutureInterfaceBase is { vtable pointer, QFutureInterfaceBasePrivate *d }.
char *sharedState(const void *future)
{
    return *reinterpret_cast<char *const *>(static_cast<const char *>(future) + sizeof(void *));
}

// Two keys per shared state, so that the start edge never stands in for the
// finish edge.
void release(const void *future, int key)
{
    if (char *d = sharedState(future); d && __tsan_release)
        __tsan_release(d + key);
}

void acquire(const void *future, int key)
{
    if (char *d = sharedState(future); d && __tsan_acquire)
        __tsan_acquire(d + key);
}

constexpr int Started = 0;
constexpr int Finished = 1;

template <typename Fn>
Fn next(const char *symbol)
{
    return reinterpret_cast<Fn>(dlsym(RTLD_NEXT, symbol));
}

} // namespace

extern "C" {

// void QFutureInterfaceBase::reportStarted()
void _ZN20QFutureInterfaceBase13reportStartedEv(void *self)
{
    static const auto real = next<void (*)(void *)>("_ZN20QFutureInterfaceBase13reportStartedEv");
    real(self);
    release(self, Started);
}

// bool QFutureInterfaceBase::isCanceled() const
bool _ZNK20QFutureInterfaceBase10isCanceledEv(const void *self)
{
    static const auto real = next<bool (*)(const void *)>("_ZNK20QFutureInterfaceBase10isCanceledEv");
    const bool result = real(self);
    acquire(self, Started);
    return result;
}

// void QFutureInterfaceBase::reportFinished()
void _ZN20QFutureInterfaceBase14reportFinishedEv(void *self)
{
    static const auto real = next<void (*)(void *)>("_ZN20QFutureInterfaceBase14reportFinishedEv");
    release(self, Finished);
    real(self);
}

// void QFutureInterfaceBase::waitForFinished()
void _ZN20QFutureInterfaceBase15waitForFinishedEv(void *self)
{
    static const auto real = next<void (*)(void *)>("_ZN20QFutureInterfaceBase15waitForFinishedEv");
    real(self);
    acquire(self, Finished);
}

// bool QFutureInterfaceBase::isFinished() const
bool _ZNK20QFutureInterfaceBase10isFinishedEv(const void *self)
{
    static const auto real = next<bool (*)(const void *)>("_ZNK20QFutureInterfaceBase10isFinishedEv");
    const bool result = real(self);
    if (result)
        acquire(self, Finished);
    return result;
}

} // extern "C"
