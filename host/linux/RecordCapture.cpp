#include "host/linux/LinuxCapture.h"

#include "host/InputHookManager.h"

#include <QDebug>
#include <QMetaObject>
#include <QObject>

#include <memory>

#ifdef KELDA_HAVE_XRECORD

#include <cerrno>
#include <thread>

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

// Xlib last: its macros (KeyPress, None, Status...) clash with Qt's names.
#include <X11/Xlib.h>
#include <X11/Xproto.h>
#include <X11/extensions/record.h>

struct RecordCapture::Private
{
    InputHookManager *manager = nullptr;
    // Lives on the GUI thread; the queued calls are addressed to it, so
    // that calls still queued when capture stops are dropped with it.
    std::unique_ptr<QObject> receiver;
    // control: creates and frees the context (GUI thread);
    // data: carries the recorded events (capture thread only, once started).
    Display *control = nullptr;
    Display *data = nullptr;
    XRecordContext context = 0;
    bool enabled = false;
    int stopFd = -1;
    std::thread thread;

    ~Private()
    {
        if (thread.joinable()) {
            const uint64_t one = 1;
            if (write(stopFd, &one, sizeof one) < 0)
                qDebug() << "input capture: cannot wake the record thread";
            thread.join();
        }
        if (context) {
            if (enabled)
                XRecordDisableContext(control, context);
            XRecordFreeContext(control, context);
            XSync(control, False);
        }
        if (data)
            XCloseDisplay(data);
        if (control)
            XCloseDisplay(control);
        if (stopFd >= 0)
            close(stopFd);
        receiver.reset();
    }

    // Runs on the capture thread, inside XRecordProcessReplies.
    static void intercepted(XPointer closure, XRecordInterceptData *record)
    {
        auto *self = reinterpret_cast<Private *>(closure);
        if (record->category == XRecordFromServer && record->data_len * 4 >= sizeof(xEvent))
            self->post(*reinterpret_cast<const xEvent *>(record->data));
        XRecordFreeData(record);
    }

    void post(const xEvent &event)
    {
        const int type = event.u.u.type & 0x7F;
        const unsigned detail = event.u.u.detail;
        const bool alt = (event.u.keyButtonPointer.state & Mod1Mask) != 0;
        const int x = event.u.keyButtonPointer.rootX;
        const int y = event.u.keyButtonPointer.rootY;
        InputHookManager *m = manager;
        switch (type) {
        case KeyPress:
        case KeyRelease: {
            const bool pressed = type == KeyPress;
            QMetaObject::invokeMethod(receiver.get(), [m, detail, alt, pressed] {
                linuxinput::keyFromKeycode(*m, detail, alt, pressed);
            }, Qt::QueuedConnection);
            break;
        }
        case ButtonPress:
        case ButtonRelease: {
            const bool pressed = type == ButtonPress;
            QMetaObject::invokeMethod(receiver.get(), [m, detail, pressed, x, y] {
                linuxinput::buttonFromX(*m, detail, pressed, x, y);
            }, Qt::QueuedConnection);
            break;
        }
        default:
            break;
        }
    }

    void run()
    {
        const int xfd = ConnectionNumber(data);
        for (;;) {
            // Handles whatever is already buffered before sleeping on the socket.
            XRecordProcessReplies(data);
            pollfd fds[2] = {{xfd, POLLIN, 0}, {stopFd, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) {
                if (errno == EINTR)
                    continue;
                break;
            }
            if (fds[1].revents)
                return;
            if (fds[0].revents & (POLLERR | POLLHUP | POLLNVAL)) {
                qDebug() << "input capture: the X server closed the record connection";
                return;
            }
        }
    }
};

std::unique_ptr<RecordCapture> RecordCapture::start(InputHookManager &manager)
{
    auto d = std::make_unique<Private>();
    d->manager = &manager;
    d->receiver = std::make_unique<QObject>();
    d->control = XOpenDisplay(nullptr);
    if (!d->control)
        return nullptr;
    int major = 0, minor = 0;
    if (!XRecordQueryVersion(d->control, &major, &minor))
        return nullptr;
    d->data = XOpenDisplay(nullptr);
    if (!d->data)
        return nullptr;

    XRecordRange *range = XRecordAllocRange();
    if (!range)
        return nullptr;
    range->device_events.first = KeyPress;
    range->device_events.last = ButtonRelease;
    XRecordClientSpec clients = XRecordAllClients;
    d->context = XRecordCreateContext(d->control, 0, &clients, 1, &range, 1);
    XFree(range);
    if (!d->context)
        return nullptr;
    // The context must exist on the server before the other connection
    // enables it.
    XSync(d->control, False);

    d->stopFd = eventfd(0, EFD_CLOEXEC);
    if (d->stopFd < 0)
        return nullptr;
    if (!XRecordEnableContextAsync(d->data, d->context, &Private::intercepted,
                                   reinterpret_cast<XPointer>(d.get())))
        return nullptr;
    d->enabled = true;
    Private *p = d.get();
    d->thread = std::thread([p] { p->run(); });
    return std::unique_ptr<RecordCapture>(new RecordCapture(std::move(d)));
}

#else // no Xlib/Xtst at build time

struct RecordCapture::Private
{
};

std::unique_ptr<RecordCapture> RecordCapture::start(InputHookManager &)
{
    return nullptr;
}

#endif

RecordCapture::RecordCapture(std::unique_ptr<Private> p) : d(std::move(p)) {}

RecordCapture::~RecordCapture() = default;
