// Measures from outside how long a program's GUI thread goes without
// turning its event loop: it sends the window manager's ping
// (_NET_WM_PING) to the program's window every 5 ms and records when the
// answers come back, as a desktop does before it offers "Force Quit".
//
//   loop_probe PID SECONDS    print "pings N answers M longest_gap_ms G
//                             max_round_trip_ms R" after SECONDS
//
// The longest gap is the longest time between two answers (and from the
// start to the first one): with a ping every 5 ms it is the longest stretch
// in which the GUI thread handled no window-system events.
//
// scripts/bench compiles it with g++ -lX11.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <map>

namespace {

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
}

long windowPid(Display *d, Window w, Atom pidAtom)
{
    Atom type;
    int format;
    unsigned long count, after;
    unsigned char *data = nullptr;
    long pid = -1;
    if (XGetWindowProperty(d, w, pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count, &after, &data)
            == Success
        && data && count == 1 && format == 32)
        pid = long(*reinterpret_cast<unsigned long *>(data));
    if (data)
        XFree(data);
    return pid;
}

// The program's mapped top-level window of at least 200 px width.
Window findWindow(Display *d, long pid)
{
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    Window root, parent, *children = nullptr, found = 0;
    unsigned int n = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n))
        return 0;
    for (unsigned int i = 0; i < n && !found; ++i) {
        XWindowAttributes a;
        if (windowPid(d, children[i], pidAtom) == pid && XGetWindowAttributes(d, children[i], &a)
            && a.map_state == IsViewable && a.width >= 200)
            found = children[i];
    }
    if (children)
        XFree(children);
    return found;
}

} // namespace

// A window listed by XQueryTree may be gone by the time its properties are
// read (a program starting or ending); such requests fail and are ignored.
int ignoreXError(Display *, XErrorEvent *)
{
    return 0;
}

int main(int argc, char *argv[])
{
    XSetErrorHandler(ignoreXError);
    if (argc != 3) {
        std::fprintf(stderr, "usage: loop_probe PID SECONDS\n");
        return 2;
    }
    const long pid = std::atol(argv[1]);
    const double seconds = std::atof(argv[2]);
    Display *d = XOpenDisplay(nullptr);
    if (!d) {
        std::fprintf(stderr, "loop_probe: no X display\n");
        return 2;
    }
    Window w = 0;
    for (int i = 0; i < 200 && !w; ++i) {
        w = findWindow(d, pid);
        if (!w)
            usleep(50000);
    }
    if (!w) {
        std::fprintf(stderr, "loop_probe: no mapped window of pid %ld\n", pid);
        return 2;
    }
    const Atom protocols = XInternAtom(d, "WM_PROTOCOLS", False);
    const Atom ping = XInternAtom(d, "_NET_WM_PING", False);
    // Answers go to the root window with StructureNotify and SubstructureRedirect.
    XSelectInput(d, DefaultRootWindow(d), StructureNotifyMask);

    std::map<unsigned long, double> sent;
    unsigned long serial = 1;
    int answers = 0;
    const double start = nowMs();
    double last = start, longest = 0, maxTrip = 0, nextPing = start;
    while (nowMs() - start < seconds * 1000) {
        const double now = nowMs();
        if (now >= nextPing) {
            XEvent e = {};
            e.xclient.type = ClientMessage;
            e.xclient.window = w;
            e.xclient.message_type = protocols;
            e.xclient.format = 32;
            e.xclient.data.l[0] = long(ping);
            e.xclient.data.l[1] = long(serial);
            e.xclient.data.l[2] = long(w);
            XSendEvent(d, w, False, NoEventMask, &e);
            XFlush(d);
            sent[serial++] = now;
            nextPing = now + 5;
        }
        pollfd p = {ConnectionNumber(d), POLLIN, 0};
        if (!XPending(d))
            poll(&p, 1, std::max(1, int(nextPing - nowMs())));
        while (XPending(d)) {
            XEvent e;
            XNextEvent(d, &e);
            if (e.type != ClientMessage || e.xclient.message_type != protocols
                || Atom(e.xclient.data.l[0]) != ping)
                continue;
            const double t = nowMs();
            auto it = sent.find(static_cast<unsigned long>(e.xclient.data.l[1]));
            if (it != sent.end()) {
                maxTrip = std::max(maxTrip, t - it->second);
                sent.erase(sent.begin(), std::next(it));
            }
            longest = std::max(longest, t - last);
            last = t;
            ++answers;
        }
    }
    longest = std::max(longest, nowMs() - last);
    std::printf("pings %lu answers %d longest_gap_ms %.1f max_round_trip_ms %.1f\n", serial - 1, answers,
                longest, maxTrip);
    std::fflush(stdout);
    XCloseDisplay(d);
    return answers > 0 ? 0 : 1;
}
