// Sees from outside when a program has drawn its first frame: it starts the
// program itself (so the clock starts at exec) and polls the X screen with
// XGetImage until a set of probe pixels shows the program's known scene, as
// captured in a reference screenshot of the settled window.
//
//   frame_probe shot FILE            grab the screen into FILE (raw 32-bit)
//   frame_probe wait REF LOG -- CMD  run CMD (output to LOG), print
//                                    "first_frame_ms N settled_ms S poll_ms P
//                                    pid PID" and leave it running (the
//                                    caller ends it)
//   frame_probe trace REF LOG -- CMD as wait, but print "T FRACTION" for
//                                    every poll over the first 5 s
//
// The first frame is the first grab in which the program has drawn into its
// own window: a top-level window of the started process (_NET_WM_PID) is
// mapped, and at least 20 sample pixels inside it differ from the screen
// before the exec (a window that is mapped but not yet painted still shows
// the empty screen). Pixels elsewhere do not count: a window of an earlier
// run going away changes the screen too. The settled frame is the first in
// which 80% of the probe pixels show the reference.
//
// scripts/bench compiles it with g++ -lX11.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <fcntl.h>
#include <unistd.h>
#include <vector>

namespace {

struct Shot {
    int width = 0, height = 0;
    std::vector<uint32_t> pixels;
};

Shot grab(Display *d)
{
    const int screen = DefaultScreen(d);
    Shot s;
    s.width = DisplayWidth(d, screen);
    s.height = DisplayHeight(d, screen);
    XImage *img = XGetImage(d, RootWindow(d, screen), 0, 0, s.width, s.height, AllPlanes, ZPixmap);
    if (!img)
        return s;
    s.pixels.resize(size_t(s.width) * s.height);
    for (int y = 0; y < s.height; ++y)
        std::memcpy(&s.pixels[size_t(y) * s.width], img->data + size_t(y) * img->bytes_per_line,
                    size_t(s.width) * 4);
    XDestroyImage(img);
    return s;
}

bool alike(uint32_t a, uint32_t b)
{
    for (int shift = 0; shift < 24; shift += 8)
        if (std::abs(int((a >> shift) & 0xff) - int((b >> shift) & 0xff)) > 24)
            return false;
    return true;
}

// One poll: how many probe pixels show the reference, and how many of the
// window's sample pixels differ from the screen as it was before the exec.
// Only the rows the probes span are fetched, so that a poll costs as little
// as it can.
struct Poll {
    size_t same = 0, drawn = 0;
};

struct Rect {
    int x = 0, y = 0, w = 0, h = 0;
    bool contains(int px, int py) const { return px >= x && py >= y && px < x + w && py < y + h; }
};

// The mapped top-level window (at least 200 px wide) of process pid, if any.
bool mappedWindow(Display *d, long pid, Rect &rect)
{
    const Atom pidAtom = XInternAtom(d, "_NET_WM_PID", False);
    Window root, parent, *children = nullptr;
    unsigned int n = 0;
    if (!XQueryTree(d, DefaultRootWindow(d), &root, &parent, &children, &n))
        return false;
    bool found = false;
    for (unsigned int i = 0; i < n && !found; ++i) {
        Atom type;
        int format;
        unsigned long count, after;
        unsigned char *data = nullptr;
        long owner = -1;
        if (XGetWindowProperty(d, children[i], pidAtom, 0, 1, False, XA_CARDINAL, &type, &format, &count,
                               &after, &data) == Success && data && count == 1 && format == 32)
            owner = long(*reinterpret_cast<unsigned long *>(data));
        if (data)
            XFree(data);
        XWindowAttributes a;
        if (owner == pid && XGetWindowAttributes(d, children[i], &a) && a.map_state == IsViewable
            && a.width >= 200) {
            rect = {a.x, a.y, a.width, a.height};
            found = true;
        }
    }
    if (children)
        XFree(children);
    return found;
}

Poll poll(Display *d, const Shot &ref, const std::vector<size_t> &probes, const std::vector<size_t> &samples,
          const Shot &before, int top, int bottom, const Rect *window)
{
    const int screen = DefaultScreen(d);
    Poll r;
    XImage *img = XGetImage(d, RootWindow(d, screen), 0, top, ref.width, bottom - top + 1, AllPlanes, ZPixmap);
    if (!img)
        return r;
    auto at = [&](size_t i) {
        const int x = int(i % size_t(ref.width)), y = int(i / size_t(ref.width)) - top;
        uint32_t p;
        std::memcpy(&p, img->data + size_t(y) * img->bytes_per_line + size_t(x) * 4, 4);
        return p;
    };
    for (size_t i : probes)
        r.same += alike(at(i), ref.pixels[i]);
    if (window)
        for (size_t i : samples)
            if (window->contains(int(i % size_t(ref.width)), int(i / size_t(ref.width))))
                r.drawn += !alike(at(i), before.pixels[i]);
    XDestroyImage(img);
    return r;
}

double nowMs()
{
    using namespace std::chrono;
    return duration<double, std::milli>(steady_clock::now().time_since_epoch()).count();
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
    if (argc < 3) {
        std::fprintf(stderr, "usage: frame_probe shot FILE | wait REF LOG -- CMD ...\n");
        return 2;
    }
    // A busy X server may turn a connection away now and then: try again.
    Display *d = nullptr;
    for (int attempt = 0; attempt < 20 && !d; ++attempt) {
        d = XOpenDisplay(nullptr);
        if (!d)
            usleep(50000);
    }
    if (!d) {
        std::fprintf(stderr, "frame_probe: no X display\n");
        return 2;
    }
    if (std::strcmp(argv[1], "shot") == 0) {
        Shot s = grab(d);
        std::ofstream out(argv[2], std::ios::binary);
        out.write(reinterpret_cast<const char *>(&s.width), sizeof s.width);
        out.write(reinterpret_cast<const char *>(&s.height), sizeof s.height);
        out.write(reinterpret_cast<const char *>(s.pixels.data()), std::streamsize(s.pixels.size() * 4));
        return out ? 0 : 1;
    }
    const bool trace = std::strcmp(argv[1], "trace") == 0;
    if ((!trace && std::strcmp(argv[1], "wait") != 0) || argc < 6 || std::strcmp(argv[4], "--") != 0)
        return 2;

    // Probe pixels: every 7th pixel of the reference that is neither the
    // empty screen (black) nor a blank widget (Qt's default window grey).
    Shot ref;
    std::ifstream in(argv[2], std::ios::binary);
    in.read(reinterpret_cast<char *>(&ref.width), sizeof ref.width);
    in.read(reinterpret_cast<char *>(&ref.height), sizeof ref.height);
    ref.pixels.resize(size_t(ref.width) * ref.height);
    in.read(reinterpret_cast<char *>(ref.pixels.data()), std::streamsize(ref.pixels.size() * 4));
    std::vector<size_t> probes;
    for (size_t i = 0; i < ref.pixels.size(); i += 7) {
        const uint32_t p = ref.pixels[i] & 0xffffff;
        if (!alike(p, 0) && !alike(p, 0xefefef))
            probes.push_back(i);
    }
    if (!in || probes.size() < 100) {
        std::fprintf(stderr, "frame_probe: the reference shows no scene\n");
        return 2;
    }

    const int top = int(probes.front() / size_t(ref.width));
    const int bottom = int(probes.back() / size_t(ref.width));
    Shot before = grab(d);
    if (before.width != ref.width || before.height != ref.height) {
        std::fprintf(stderr, "frame_probe: the screen is not the reference's size\n");
        return 2;
    }
    // Every 7th pixel of the box the probes span: where the window lands.
    int left = ref.width, right = 0;
    for (size_t i : probes) {
        left = std::min(left, int(i % size_t(ref.width)));
        right = std::max(right, int(i % size_t(ref.width)));
    }
    std::vector<size_t> samples;
    for (int y = top; y <= bottom; ++y)
        for (int x = left + y % 7; x <= right; x += 7)
            samples.push_back(size_t(y) * size_t(ref.width) + size_t(x));

    const double start = nowMs();
    const pid_t pid = fork();
    if (pid == 0) {
        const int log = open(argv[3], O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (log >= 0) {
            dup2(log, 1);
            dup2(log, 2);
        }
        execvp(argv[5], argv + 5);
        _exit(127);
    }
    int polls = 0;
    double first = -1;
    Rect window;
    bool mapped = false;
    while (nowMs() - start < (trace ? 5000 : 60000)) {
        if (!mapped)
            mapped = mappedWindow(d, long(pid), window);
        const Poll p = poll(d, ref, probes, samples, before, top, bottom, mapped ? &window : nullptr);
        const double t = nowMs() - start;
        ++polls;
        if (trace) {
            std::printf("%.1f same %.3f drawn %zu\n", t, double(p.same) / double(probes.size()), p.drawn);
            continue;
        }
        // The first frame: the window shows something of its own (the
        // smallest thing a scene draws first, a line of text, is a few
        // dozen samples).
        if (first < 0 && p.drawn >= 20)
            first = t;
        // Most of the scene is there: later frames (connection state,
        // animations) may still change a part of it.
        if (mapped && p.same * 10 >= probes.size() * 8) {
            if (first < 0)
                first = t;
            std::printf("first_frame_ms %.1f settled_ms %.1f poll_ms %.1f pid %d\n", first, t,
                        t / polls, int(pid));
            return 0;
        }
    }
    if (trace) {
        std::printf("pid %d\n", int(pid));
        return 0;
    }
    std::printf("first_frame_ms none pid %d\n", int(pid));
    return 1;
}
