// kelda-vmouse-system: the virtual mouse behind the real hidapi, libudev and
// the kernel's answers. The firmware model of the preload front is served as
// emulated hidraw nodes in a umockdev testbed; a program run with
// LD_PRELOAD=libumockdev-preload.so.0 and UMOCKDEV_DIR=<testbed> enumerates
// them through udev, opens them, and its reads, writes and feature report
// ioctls arrive here. See README.md ("The system front").
//
//   kelda-vmouse-system [--env-file FILE]
//
// Configuration, transcript and control socket are those of the preload
// front (KELDA_VMOUSE_CONFIG, KELDA_VMOUSE_*, KELDA_VMOUSE_TRANSCRIPT,
// KELDA_VMOUSE_SOCKET). Ends on SIGTERM or SIGINT and removes its testbed.
#include "sim/Bus.h"

#include <umockdev.h>

#include <gio/gio.h>
#include <glib-unix.h>

#include <linux/hidraw.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <thread>

namespace vmouse {
void startControlServer();
void stopControlServer();
}

using namespace vmouse;

namespace {

// The host's time-out for a control transfer the device leaves unanswered.
constexpr int ControlTimeoutMs = 5000;
// hidraw minors of the emulated nodes: far above those of real devices, so
// that a path of a pulled-out node never reaches a real one.
constexpr int FirstMinor = 100;
constexpr int HidrawMajor = 247;

// One hidraw node: a USB interface with its HID device.
struct Node
{
    int minor = 0;
    int device = 0;            // index into the bus's devices
    Iface iface = Iface::Other;
    int interfaceNumber = 0;
    size_t collection = 0;     // index into the bus's collections
    std::string devPath;       // /dev/hidrawN
    std::vector<uint8_t> descriptor;
    UMockdevIoctlBase *handler = nullptr;
    // The node is a pseudo-terminal, so that poll() on it is real: one byte
    // waits in it while input reports are queued, and closing the master
    // end hangs it up, as a removed hidraw node is.
    int master = -1;
    int slave = -1;
    bool token = false;
    std::string sysInterface, sysHid, sysHidraw;
};

struct Client
{
    UMockdevIoctlClient *client = nullptr;
    Node *node = nullptr;
    hid_device_ *handle = nullptr;
    GSocket *socket = nullptr; // our end of the client's request socket
    bool closed = false;
    enum class Wait { None, Read, Feature } wait = Wait::None;
    std::chrono::steady_clock::time_point deadline;
    UMockdevIoctlData *buffer = nullptr; // where a pending answer goes
};

struct System
{
    UMockdevTestbed *testbed = nullptr;
    std::string root;
    std::vector<std::unique_ptr<Node>> nodes;
    std::map<UMockdevIoctlClient *, std::unique_ptr<Client>> clients;
    std::vector<std::string> usbDevices; // per bus device
    std::vector<bool> shownPlugged;
    bool shownDeny = false;
    std::atomic<bool> stopping{false};
};

System sys;

std::string hex4(unsigned v)
{
    char buf[8];
    std::snprintf(buf, sizeof buf, "%04x", v);
    return buf;
}

std::string upperHex(unsigned v, int width)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", width, v);
    return buf;
}

void item(std::vector<uint8_t> &d, uint8_t tag, unsigned value, int bytes)
{
    d.push_back(uint8_t(tag | (bytes == 4 ? 3 : bytes)));
    for (int i = 0; i < bytes; ++i)
        d.push_back(uint8_t(value >> (8 * i)));
}

// The command collection: an 8-byte feature report, and output and input
// reports of the report length, without report IDs.
std::vector<uint8_t> commandDescriptor(uint16_t page, uint16_t usage, int reportLength)
{
    std::vector<uint8_t> d;
    item(d, 0x04, page, 2);    // Usage Page
    item(d, 0x08, usage, 2);   // Usage
    item(d, 0xa0, 0x01, 1);    // Collection (Application)
    item(d, 0x14, 0, 1);       //   Logical Minimum 0
    item(d, 0x24, 255, 2);     //   Logical Maximum 255
    item(d, 0x74, 8, 1);       //   Report Size 8
    item(d, 0x94, 8, 1);       //   Report Count 8
    item(d, 0x08, 0x01, 1);    //   Usage 1
    item(d, 0xb0, 0x02, 1);    //   Feature (Data, Var, Abs)
    item(d, 0x94, unsigned(reportLength), reportLength > 255 ? 2 : 1);
    item(d, 0x08, 0x02, 1);    //   Usage 2
    item(d, 0x90, 0x02, 1);    //   Output (Data, Var, Abs)
    item(d, 0x08, 0x03, 1);    //   Usage 3
    item(d, 0x80, 0x02, 1);    //   Input (Data, Var, Abs)
    d.push_back(0xc0);         // End Collection
    return d;
}

// The read collection: 4-byte input reports inside a nested logical
// collection, as real mice nest theirs; hidapi lists the nested collection
// as an entry of its own with the same path.
std::vector<uint8_t> readDescriptor(uint16_t page, uint16_t usage)
{
    std::vector<uint8_t> d;
    item(d, 0x04, page, 2);
    item(d, 0x08, usage, 2);
    item(d, 0xa0, 0x01, 1);    // Collection (Application)
    item(d, 0x08, 0x20, 1);    //   Usage 0x20
    item(d, 0xa0, 0x02, 1);    //   Collection (Logical)
    item(d, 0x14, 0, 1);
    item(d, 0x24, 255, 2);
    item(d, 0x74, 8, 1);
    item(d, 0x94, 4, 1);       //     Report Count 4
    item(d, 0x08, 0x21, 1);    //     Usage 0x21
    item(d, 0x80, 0x02, 1);    //     Input (Data, Var, Abs)
    d.push_back(0xc0);
    d.push_back(0xc0);
    return d;
}

// ---- clients ----

// The client's request socket, for its peer's credentials and to see a
// close before its end-of-file is dispatched. The private data of a
// UMockdevIoctlClient begins with its handler and its stream (umockdev
// 0.17); the handler is checked before the stream is touched.
GSocket *clientSocket(UMockdevIoctlClient *client, UMockdevIoctlBase *handler)
{
    struct Head
    {
        gpointer handler;
        gpointer stream;
    };
    auto *head = reinterpret_cast<Head *>(client->priv);
    if (!head || head->handler != handler || !G_IS_SOCKET_CONNECTION(head->stream))
        return nullptr;
    return G_SOCKET(g_object_ref(g_socket_connection_get_socket(G_SOCKET_CONNECTION(head->stream))));
}

int peerPid(GSocket *socket)
{
    ucred cred{};
    socklen_t len = sizeof cred;
    if (!socket || ::getsockopt(g_socket_get_fd(socket), SOL_SOCKET, SO_PEERCRED, &cred, &len) != 0)
        return 0;
    return int(cred.pid);
}

// Requires the bus mutex.
void closeClientLocked(Client &c)
{
    if (c.closed)
        return;
    c.closed = true;
    Bus &b = Bus::instance();
    b.record(c.handle, "close", nullptr, 0, 0);
    b.handles.erase(c.handle);
    delete c.handle;
    c.handle = nullptr;
    c.wait = Client::Wait::None;
    if (c.buffer)
        g_object_unref(c.buffer);
    c.buffer = nullptr;
    if (c.socket)
        g_object_unref(c.socket);
    c.socket = nullptr;
}

// A program closes a node and opens it again at once; the end-of-file of
// the old request socket may be dispatched after the new one's first
// request. Closes are taken note of first, so the transcript keeps the
// program's order. Requires the bus mutex.
void reapClosedLocked()
{
    for (auto &[key, c] : sys.clients) {
        if (c->closed || !c->socket || c->wait != Client::Wait::None)
            continue;
        bool gone = g_socket_is_closed(c->socket);
        if (!gone) {
            pollfd p{g_socket_get_fd(c->socket), POLLRDHUP, 0};
            gone = ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLNVAL));
        }
        if (gone)
            closeClientLocked(*c);
    }
}

Client *clientOf(UMockdevIoctlClient *client)
{
    auto it = sys.clients.find(client);
    return it == sys.clients.end() || it->second->closed ? nullptr : it->second.get();
}

void onConnectedChanged(UMockdevIoctlClient *client, GParamSpec *, gpointer)
{
    if (umockdev_ioctl_client_get_connected(client))
        return;
    {
        Bus &b = Bus::instance();
        std::lock_guard<std::mutex> lock(b.mutex);
        auto it = sys.clients.find(client);
        if (it != sys.clients.end()) {
            closeClientLocked(*it->second);
            sys.clients.erase(it);
        }
    }
    g_object_unref(client);
}

void onClientConnected(UMockdevIoctlBase *handler, UMockdevIoctlClient *client, gpointer data)
{
    auto *node = static_cast<Node *>(data);
    Bus &b = Bus::instance();
    std::lock_guard<std::mutex> lock(b.mutex);
    reapClosedLocked();
    auto c = std::make_unique<Client>();
    c->client = client;
    c->node = node;
    if (node->master < 0) {
        // umockdev's preload library connects even when the open itself
        // failed (the node is gone): no handle, nothing to record.
        c->closed = true;
        g_object_ref(client);
        g_signal_connect(client, "notify::connected", G_CALLBACK(onConnectedChanged), nullptr);
        sys.clients[client] = std::move(c);
        return;
    }
    c->socket = clientSocket(client, handler);
    c->handle = new hid_device_;
    c->handle->device = node->device;
    c->handle->iface = node->iface;
    c->handle->pid = peerPid(c->socket);
    c->handle->dead = !b.devices[size_t(node->device)].plugged;
    b.handles.insert(c->handle);
    b.recordOpen(&b.collections[node->collection], 0, c->handle->pid);
    // Two programs that drive one interface at once garble each other's
    // exchanges: flag an open while another process holds it.
    for (const auto &[key, o] : sys.clients) {
        if (o->closed || o->node->device != node->device || o->node->iface != node->iface)
            continue;
        if (o->handle->pid && c->handle->pid && o->handle->pid != c->handle->pid)
            b.addViolation("two processes drive the " + std::string(ifaceName(node->iface))
                           + " interface: " + std::to_string(c->handle->pid) + " opened it while "
                           + std::to_string(o->handle->pid) + " has it open");
    }
    g_object_ref(client);
    g_signal_connect(client, "notify::connected", G_CALLBACK(onConnectedChanged), nullptr);
    sys.clients[client] = std::move(c);
}

// ---- input reports and the pseudo-terminal's readiness ----

std::deque<std::vector<uint8_t>> *inputQueue(const Node &n)
{
    Firmware *fw = Bus::instance().devices[size_t(n.device)].firmware.get();
    return n.iface == Iface::Cmd ? &fw->cmdInput : n.iface == Iface::Read ? &fw->readInput : nullptr;
}

// Hands one queued input report to a waiting read. Requires the bus mutex.
void deliverLocked(Client &c, std::deque<std::vector<uint8_t>> &queue)
{
    Bus &b = Bus::instance();
    std::vector<uint8_t> report = std::move(queue.front());
    queue.pop_front();
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(c.client);
    const size_t n = std::min(report.size(), size_t(arg->data_len));
    std::memcpy(arg->data, report.data(), n);
    b.record(c.handle, "read", report.data(), n, int(n));
    c.wait = Client::Wait::None;
    umockdev_ioctl_client_complete(c.client, long(n), 0);
    if (c.node->iface == Iface::Cmd && c.node->device == 0 && b.unplugAfterReads > 0
        && --b.unplugAfterReads == 0)
        b.setPluggedLocked(false);
}

void drainToken(Node &n)
{
    pollfd p{n.slave, POLLIN, 0};
    ::poll(&p, 1, 100); // the byte is written by us just before; give the tty a moment
    char buf[64];
    while (::read(n.slave, buf, sizeof buf) > 0) {
    }
    n.token = false;
}

// Answers waiting reads, fails calls of handles whose device went away,
// times out unanswered feature reads, and keeps each node's readiness in
// step with its queue. Requires the bus mutex.
void reconcileLocked()
{
    Bus &b = Bus::instance();
    const auto now = std::chrono::steady_clock::now();
    for (auto &[key, c] : sys.clients) {
        if (c->closed || c->wait == Client::Wait::None)
            continue;
        // A program killed in the middle of a call: umockdev reads its
        // socket again only after the answer, so its end is seen here.
        pollfd p{c->socket ? g_socket_get_fd(c->socket) : -1, POLLRDHUP, 0};
        if (c->socket && ::poll(&p, 1, 0) > 0 && (p.revents & (POLLRDHUP | POLLHUP))) {
            closeClientLocked(*c);
            continue;
        }
        if (!b.alive(c->handle)) {
            const bool read = c->wait == Client::Wait::Read;
            b.record(c->handle, read ? "read" : "get_feature", nullptr, 0, -1);
            c->wait = Client::Wait::None;
            umockdev_ioctl_client_complete(c->client, -1, read ? EIO : ENODEV);
        } else if (c->wait == Client::Wait::Feature && now >= c->deadline) {
            b.record(c->handle, "get_feature", nullptr, 0, -1);
            c->wait = Client::Wait::None;
            umockdev_ioctl_client_complete(c->client, -1, ETIMEDOUT);
        }
        if (c->wait == Client::Wait::None && c->buffer) {
            g_object_unref(c->buffer);
            c->buffer = nullptr;
        }
    }
    for (auto &n : sys.nodes) {
        auto *queue = inputQueue(*n);
        if (!queue)
            continue;
        for (auto &[key, c] : sys.clients) {
            if (queue->empty())
                break;
            if (!c->closed && c->node == n.get() && c->wait == Client::Wait::Read)
                deliverLocked(*c, *queue);
        }
        if (n->master < 0)
            continue;
        if (!queue->empty() && !n->token) {
            const char one = 1;
            n->token = ::write(n->master, &one, 1) == 1;
        } else if (queue->empty() && n->token) {
            drainToken(*n);
        }
    }
}

// ---- the kernel's answers ----

gboolean onRead(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer)
{
    Bus &b = Bus::instance();
    std::lock_guard<std::mutex> lock(b.mutex);
    reapClosedLocked();
    Client *c = clientOf(client);
    if (!c || !b.alive(c->handle)) {
        if (c)
            b.record(c->handle, "read", nullptr, 0, -1);
        umockdev_ioctl_client_complete(client, -1, EIO);
        return TRUE;
    }
    b.checkSingleHandle(c->handle);
    // hidraw reads block until a report comes; the program polls first.
    c->wait = Client::Wait::Read;
    reconcileLocked();
    return TRUE;
}

gboolean onWrite(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer)
{
    Bus &b = Bus::instance();
    std::lock_guard<std::mutex> lock(b.mutex);
    reapClosedLocked();
    Client *c = clientOf(client);
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    const size_t len = size_t(arg->data_len);
    if (!c) {
        umockdev_ioctl_client_complete(client, -1, ENODEV);
        return TRUE;
    }
    int ret = -1, err = 0;
    if (!b.alive(c->handle)) {
        err = ENODEV;
    } else if (c->node->iface != Iface::Cmd) {
        b.addViolation(std::string("write on the ") + ifaceName(c->node->iface) + " interface");
        err = EPIPE;
    } else {
        b.checkSingleHandle(c->handle);
        // usbhid leaves out report ID 0 on the wire and counts it again in
        // the result: the whole buffer is reported written.
        ret = b.firmware(c->handle)->write(arg->data, len, b.now());
        if (ret < 0)
            err = EPIPE;
        else if (c->node->device == 0 && b.unplugAfterWrites > 0 && --b.unplugAfterWrites == 0)
            b.setPluggedLocked(false);
    }
    b.record(c->handle, "write", arg->data, len, ret);
    umockdev_ioctl_client_complete(client, ret, ret < 0 ? err : 0);
    reconcileLocked();
    return TRUE;
}

void copyString(UMockdevIoctlData *arg, size_t size, const std::string &text, long *ret, int *err)
{
    GError *error = nullptr;
    UMockdevIoctlData *out = umockdev_ioctl_data_resolve(arg, 0, size, &error);
    if (!out) {
        g_clear_error(&error);
        *err = EFAULT;
        return;
    }
    const size_t n = std::min(text.size() + 1, size);
    std::memcpy(out->data, text.c_str(), n);
    *ret = long(n);
}

gboolean onIoctl(UMockdevIoctlBase *, UMockdevIoctlClient *client, gpointer)
{
    Bus &b = Bus::instance();
    std::unique_lock<std::mutex> lock(b.mutex);
    reapClosedLocked();
    Client *c = clientOf(client);
    const unsigned long request = umockdev_ioctl_client_get_request(client);
    UMockdevIoctlData *arg = umockdev_ioctl_client_get_arg(client);
    const unsigned nr = _IOC_NR(request);
    const size_t size = _IOC_SIZE(request);
    long ret = -1;
    int err = 0;
    GError *error = nullptr;
    if (!c || !b.alive(c->handle) || _IOC_TYPE(request) != 'H') {
        err = (!c || !b.alive(c->handle)) ? ENODEV : ENOTTY;
        if (c && _IOC_TYPE(request) == 'H' && (nr == 0x06 || nr == 0x07))
            b.record(c->handle, nr == 0x06 ? "send_feature" : "get_feature", nullptr, 0, -1);
        umockdev_ioctl_client_complete(client, -1, err);
        return TRUE;
    }
    Node &node = *c->node;
    const DeviceSlot &slot = b.devices[size_t(node.device)];
    const std::string name(slot.product.begin(), slot.product.end());
    switch (nr) {
    case 0x01: // HIDIOCGRDESCSIZE
        if (UMockdevIoctlData *out = umockdev_ioctl_data_resolve(arg, 0, sizeof(int), &error)) {
            const int n = int(node.descriptor.size());
            std::memcpy(out->data, &n, sizeof n);
            ret = 0;
        } else {
            err = EFAULT;
        }
        break;
    case 0x02: // HIDIOCGRDESC
        if (UMockdevIoctlData *out = umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_report_descriptor), &error)) {
            auto *d = reinterpret_cast<hidraw_report_descriptor *>(out->data);
            if (d->size > HID_MAX_DESCRIPTOR_SIZE - 1) {
                err = EINVAL;
            } else {
                std::memcpy(d->value, node.descriptor.data(), std::min<size_t>(d->size, node.descriptor.size()));
                ret = 0;
            }
        } else {
            err = EFAULT;
        }
        break;
    case 0x03: // HIDIOCGRAWINFO
        if (UMockdevIoctlData *out = umockdev_ioctl_data_resolve(arg, 0, sizeof(hidraw_devinfo), &error)) {
            hidraw_devinfo info{};
            info.bustype = 0x03;
            info.vendor = __s16(slot.vid);
            info.product = __s16(slot.pid);
            std::memcpy(out->data, &info, sizeof info);
            ret = 0;
        } else {
            err = EFAULT;
        }
        break;
    case 0x04: // HIDIOCGRAWNAME
        copyString(arg, size, name, &ret, &err);
        break;
    case 0x05: // HIDIOCGRAWPHYS
        copyString(arg, size, "usb-0000:00:14.0-" + std::to_string(node.device + 1) + "/input"
                                  + std::to_string(node.interfaceNumber), &ret, &err);
        break;
    case 0x08: // HIDIOCGRAWUNIQ
        copyString(arg, size, "", &ret, &err);
        break;
    case 0x06:   // HIDIOCSFEATURE
    case 0x07: { // HIDIOCGFEATURE
        const bool send = nr == 0x06;
        const char *op = send ? "send_feature" : "get_feature";
        UMockdevIoctlData *buf = size ? umockdev_ioctl_data_resolve(arg, 0, size, &error) : nullptr;
        if (!buf) {
            err = size ? EFAULT : EINVAL;
            b.record(c->handle, op, nullptr, 0, -1);
            break;
        }
        if (node.iface != Iface::Cmd) {
            // The device has no feature report there and stalls the request.
            b.addViolation(std::string(op) + " on the " + ifaceName(node.iface) + " interface");
            err = EPIPE;
            b.record(c->handle, op, send ? buf->data : nullptr, send ? size : 0, -1);
            break;
        }
        b.checkSingleHandle(c->handle);
        Firmware &fw = *b.firmware(c->handle);
        std::string plain;
        if (send) {
            // Report ID 0 is left out on the wire and counted in the result.
            ret = fw.sendFeature(buf->data, size, b.now(), &plain);
            if (ret < 0)
                err = EPIPE;
            b.record(c->handle, op, buf->data, size, int(ret), plain);
            break;
        }
        if (fw.stalled) {
            // No answer: the control transfer times out, meanwhile every
            // other node and the control socket are served.
            c->wait = Client::Wait::Feature;
            c->deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ControlTimeoutMs);
            c->buffer = G_TYPE_CHECK_INSTANCE_CAST(g_object_ref(buf), UMOCKDEV_TYPE_IOCTL_DATA, UMockdevIoctlData);
            b.inputArrived.notify_all();
            return TRUE;
        }
        const uint8_t reportNumber = buf->data[0];
        const bool forced = fw.haveForcedResponse;
        std::vector<uint8_t> answer(size, 0);
        const int n = fw.getFeature(answer.data(), size, &plain);
        if (n < 0) {
            err = EPIPE; // a device that does not answer stalls the request
        } else if (forced) {
            // The device's bytes follow the report number the kernel puts
            // in front; nothing at all comes back as 0.
            ret = n > 1 ? n : 0;
            answer[0] = reportNumber;
        } else {
            ret = n;
        }
        if (ret > 0)
            std::memcpy(buf->data, answer.data(), size_t(ret));
        b.record(c->handle, op, ret > 0 ? buf->data : nullptr, ret > 0 ? size_t(ret) : 0, int(ret), plain);
        break;
    }
    default:
        err = ENOTTY;
    }
    g_clear_error(&error);
    umockdev_ioctl_client_complete(client, ret, ret < 0 ? err : 0);
    reconcileLocked();
    return TRUE;
}

// ---- sysfs, nodes and uevents ----

// Adds one sysfs device in umockdev's description format (its parents may
// be given by path before they exist); returns the sysfs path.
std::string addDevice(const char *subsystem, const std::string &name, const std::string &parent,
                      const std::vector<std::string> &attributes, const std::vector<std::string> &properties,
                      const std::vector<std::string> &links = {})
{
    const std::string devpath = (parent.empty() ? std::string("/devices") : parent.substr(4)) + "/" + name;
    std::string text = "P: " + devpath + "\nE: SUBSYSTEM=" + subsystem + "\n";
    for (size_t i = 0; i + 1 < properties.size(); i += 2)
        text += "E: " + properties[i] + "=" + properties[i + 1] + "\n";
    for (size_t i = 0; i + 1 < attributes.size(); i += 2)
        text += "A: " + attributes[i] + "=" + attributes[i + 1] + "\n";
    for (size_t i = 0; i + 1 < links.size(); i += 2)
        text += "L: " + links[i] + "=" + links[i + 1] + "\n";
    GError *error = nullptr;
    if (!umockdev_testbed_add_from_string(sys.testbed, text.c_str(), &error)) {
        std::fprintf(stderr, "kelda-vmouse-system: %s: %s\n", devpath.c_str(), error->message);
        g_clear_error(&error);
    }
    return "/sys" + devpath;
}

std::string nodeFile(const Node &n)
{
    return sys.root + n.devPath;
}

void applyPermissions(Node &n, bool deny)
{
    // Without the udev rule only root may open a hidraw node.
    if (n.slave >= 0)
        ::fchmod(n.slave, deny ? 0600 : 0666);
}

bool openTerminal(Node &n)
{
    char name[128] = {};
    if (::openpty(&n.master, &n.slave, name, nullptr, nullptr) != 0) {
        std::fprintf(stderr, "kelda-vmouse-system: openpty: %s\n", std::strerror(errno));
        return false;
    }
    termios t{};
    ::tcgetattr(n.slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(n.slave, TCSANOW, &t);
    ::fcntl(n.slave, F_SETFL, ::fcntl(n.slave, F_GETFL) | O_NONBLOCK);
    ::fcntl(n.master, F_SETFD, FD_CLOEXEC);
    ::fcntl(n.slave, F_SETFD, FD_CLOEXEC);
    applyPermissions(n, Bus::instance().denyOpen);
    ::unlink(nodeFile(n).c_str());
    if (::symlink(name, nodeFile(n).c_str()) != 0) {
        std::fprintf(stderr, "kelda-vmouse-system: node %s: %s\n", n.devPath.c_str(), std::strerror(errno));
        return false;
    }
    n.token = false;
    return true;
}

void closeTerminal(Node &n)
{
    ::unlink(nodeFile(n).c_str());
    if (n.master >= 0)
        ::close(n.master);
    if (n.slave >= 0)
        ::close(n.slave);
    n.master = n.slave = -1;
    n.token = false;
}

// Puts one device on the bus: the USB device, each interface with its HID
// device and hidraw node, then the add events in the kernel's order.
// Requires the bus mutex.
void plugLocked(int device)
{
    Bus &b = Bus::instance();
    const DeviceSlot &slot = b.devices[size_t(device)];
    const std::string product(slot.product.begin(), slot.product.end());
    const std::string port = "1-" + std::to_string(device + 1);
    std::vector<std::string> events;
    sys.usbDevices[size_t(device)] = addDevice(
        "usb", port, "",
        {"idVendor", hex4(slot.vid), "idProduct", hex4(slot.pid), "manufacturer", "ZORVANT", "product",
         product, "bcdDevice", "0100", "busnum", "1", "devnum", std::to_string(device + 2), "serial", ""},
        {"DEVTYPE", "usb_device", "PRODUCT", hex4(slot.vid) + "/" + hex4(slot.pid) + "/100", "BUSNUM", "001",
         "DEVNUM", "00" + std::to_string(device + 2)});
    events.push_back(sys.usbDevices[size_t(device)]);
    int hidSerial = 1;
    for (auto &n : sys.nodes) {
        if (n->device != device)
            continue;
        const std::string id = upperHex(slot.vid, 4) + ":" + upperHex(slot.pid, 4);
        n->sysInterface = addDevice("usb", port + ":1." + std::to_string(n->interfaceNumber),
                                    sys.usbDevices[size_t(device)],
                                    {"bInterfaceNumber", upperHex(unsigned(n->interfaceNumber), 2),
                                     "bInterfaceClass", "03", "bInterfaceSubClass", "00", "bInterfaceProtocol", "00"},
                                    {"DEVTYPE", "usb_interface", "INTERFACE", "3/0/0"});
        const std::string hidName = "0003:" + id + "." + upperHex(unsigned(device * 16 + hidSerial++), 4);
        n->sysHid = addDevice("hid", hidName, n->sysInterface, {},
                              {"HID_ID", "0003:0000" + upperHex(slot.vid, 4) + ":0000" + upperHex(slot.pid, 4),
                               "HID_NAME", product, "HID_PHYS",
                               "usb-0000:00:14.0-" + std::to_string(device + 1) + "/input"
                                   + std::to_string(n->interfaceNumber),
                               "HID_UNIQ", "", "MODALIAS",
                               "hid:b0003g0001v0000" + upperHex(slot.vid, 4) + "p0000" + upperHex(slot.pid, 4)});
        umockdev_testbed_set_attribute_binary(sys.testbed, n->sysHid.c_str(), "report_descriptor",
                                              n->descriptor.data(), gssize(n->descriptor.size()));
        openTerminal(*n);
        const std::string minor = std::to_string(n->minor);
        // hidapi finds the HID device through the node's "device" link.
        n->sysHidraw = addDevice("hidraw", "hidraw/hidraw" + minor, n->sysHid,
                                 {"dev", std::to_string(HidrawMajor) + ":" + minor},
                                 {"DEVNAME", n->devPath, "MAJOR", std::to_string(HidrawMajor), "MINOR", minor},
                                 {"device", "../../../" + hidName});
        events.push_back(n->sysInterface);
        events.push_back(n->sysHid);
        events.push_back(n->sysHidraw);
    }
    // Inside the testbed's own view of /sys (see main) each device's add
    // event went out as it was added.
    if (!umockdev_in_mock_environment())
        for (const auto &e : events)
            umockdev_testbed_uevent(sys.testbed, e.c_str(), "add");
}

// Takes a device off the bus: remove events (nodes first), the nodes hang
// up, and the sysfs entries go. Requires the bus mutex.
void unplugLocked(int device)
{
    for (auto &n : sys.nodes) {
        if (n->device != device)
            continue;
        umockdev_testbed_uevent(sys.testbed, n->sysHidraw.c_str(), "remove");
        umockdev_testbed_uevent(sys.testbed, n->sysHid.c_str(), "remove");
        umockdev_testbed_uevent(sys.testbed, n->sysInterface.c_str(), "remove");
    }
    umockdev_testbed_uevent(sys.testbed, sys.usbDevices[size_t(device)].c_str(), "remove");
    for (auto &n : sys.nodes) {
        if (n->device != device)
            continue;
        closeTerminal(*n);
        umockdev_testbed_remove_device(sys.testbed, n->sysHidraw.c_str());
        umockdev_testbed_remove_device(sys.testbed, n->sysHid.c_str());
        umockdev_testbed_remove_device(sys.testbed, n->sysInterface.c_str());
    }
    umockdev_testbed_remove_device(sys.testbed, sys.usbDevices[size_t(device)].c_str());
}

// Follows the bus: plug and unplug from the control socket or a fault,
// opens refused or allowed, input reports, stalled reads running out.
void pump()
{
    Bus &b = Bus::instance();
    std::unique_lock<std::mutex> lock(b.mutex);
    while (!sys.stopping) {
        for (size_t d = 0; d < b.devices.size(); ++d) {
            if (b.devices[d].plugged == sys.shownPlugged[d])
                continue;
            sys.shownPlugged[d] = b.devices[d].plugged;
            if (b.devices[d].plugged)
                plugLocked(int(d));
            else
                unplugLocked(int(d));
        }
        if (b.denyOpen != sys.shownDeny) {
            sys.shownDeny = b.denyOpen;
            for (auto &n : sys.nodes)
                applyPermissions(*n, sys.shownDeny);
        }
        // umockdev does not always tell of a socket its program closed by
        // dying; look for those too.
        reapClosedLocked();
        reconcileLocked();
        b.inputArrived.wait_for(lock, std::chrono::milliseconds(50));
    }
}

void buildNodes()
{
    Bus &b = Bus::instance();
    const Config &cfg = b.cfg;
    b.collections.clear();
    int minor = FirstMinor;
    auto add = [&](int device, Iface iface, int number, uint16_t page, uint16_t usage, std::vector<uint8_t> desc) {
        auto n = std::make_unique<Node>();
        n->minor = minor++;
        n->device = device;
        n->iface = iface;
        n->interfaceNumber = number;
        n->devPath = "/dev/hidraw" + std::to_string(n->minor);
        n->descriptor = std::move(desc);
        n->collection = b.collections.size();
        b.collections.push_back({n->devPath, page, usage, device, iface, number});
        sys.nodes.push_back(std::move(n));
    };
    add(0, Iface::Cmd, 0, 0xff00, 0xff00, commandDescriptor(0xff00, 0xff00, cfg.reportLength));
    add(0, Iface::Read, 1, 0xff01, 0xff01, readDescriptor(0xff01, 0xff01));
    if (cfg.duplicateCommand)
        add(0, Iface::Cmd, 2, 0xff00, 0xff00, commandDescriptor(0xff00, 0xff00, cfg.reportLength));
    if (cfg.keyboard) {
        add(1, Iface::Cmd, 0, 0xff01, 0x0001, commandDescriptor(0xff01, 0x0001, 64));
        add(1, Iface::Read, 1, 0xff02, 0x0001, readDescriptor(0xff02, 0x0001));
    }
}

bool writeEnvFile(const std::string &file)
{
    const std::string text = "UMOCKDEV_DIR=" + sys.root + "\nLD_PRELOAD=libumockdev-preload.so.0\n";
    if (file.empty()) {
        std::fputs(text.c_str(), stdout);
        std::fflush(stdout);
        return true;
    }
    const std::string tmp = file + ".tmp";
    FILE *f = std::fopen(tmp.c_str(), "w");
    if (!f)
        return false;
    std::fputs(text.c_str(), f);
    return std::fclose(f) == 0 && std::rename(tmp.c_str(), file.c_str()) == 0;
}

gboolean quit(gpointer loop)
{
    g_main_loop_quit(static_cast<GMainLoop *>(loop));
    return G_SOURCE_REMOVE;
}

} // namespace

int main(int argc, char **argv)
{
    std::string envFile;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--env-file" && i + 1 < argc) {
            envFile = argv[++i];
        } else {
            std::fprintf(stderr, "usage: kelda-vmouse-system [--env-file FILE]\n"
                                 "Serves the virtual mouse as hidraw nodes of a umockdev testbed until\n"
                                 "SIGTERM or SIGINT. Run a program against it with the lines it writes\n"
                                 "to FILE (or prints): UMOCKDEV_DIR=... and LD_PRELOAD=....\n");
            return a == "--help" || a == "-h" ? 0 : 2;
        }
    }
    // umockdev sends uevents with libudev, which must see the testbed's
    // /sys: the daemon runs under umockdev's preload library itself.
    const char *preload = std::getenv("LD_PRELOAD");
    if (!preload || !std::strstr(preload, "libumockdev-preload")) {
        std::string value = "libumockdev-preload.so.0";
        if (preload && *preload)
            value += std::string(":") + preload;
        ::setenv("LD_PRELOAD", value.c_str(), 1);
        // A sanitizer build must not insist on coming first.
        ::setenv("ASAN_OPTIONS", (std::string(std::getenv("ASAN_OPTIONS") ? std::getenv("ASAN_OPTIONS") : "")
                                  + ":verify_asan_link_order=0").c_str(), 1);
        ::execv("/proc/self/exe", argv);
        std::fprintf(stderr, "kelda-vmouse-system: cannot restart under libumockdev-preload: %s\n",
                     std::strerror(errno));
        return 1;
    }
    ::signal(SIGPIPE, SIG_IGN);

    Bus &b = Bus::instance();
    sys.testbed = umockdev_testbed_new();
    gchar *root = umockdev_testbed_get_root_dir(sys.testbed);
    sys.root = root;
    g_free(root);
    // Programs run as another user (a permission test) must reach it.
    ::chmod(sys.root.c_str(), 0755);
    ::mkdir((sys.root + "/dev").c_str(), 0755);

    {
        std::lock_guard<std::mutex> lock(b.mutex);
        buildNodes();
        sys.usbDevices.resize(b.devices.size());
        sys.shownPlugged.assign(b.devices.size(), false);
        sys.shownDeny = b.denyOpen;
        for (auto &n : sys.nodes) {
            n->handler = umockdev_ioctl_base_new();
            g_signal_connect(n->handler, "client-connected", G_CALLBACK(onClientConnected), n.get());
            g_signal_connect(n->handler, "handle-ioctl", G_CALLBACK(onIoctl), n.get());
            g_signal_connect(n->handler, "handle-read", G_CALLBACK(onRead), n.get());
            g_signal_connect(n->handler, "handle-write", G_CALLBACK(onWrite), n.get());
            GError *error = nullptr;
            if (!umockdev_testbed_attach_ioctl(sys.testbed, n->devPath.c_str(), n->handler, &error)) {
                std::fprintf(stderr, "kelda-vmouse-system: %s: %s\n", n->devPath.c_str(), error->message);
                return 1;
            }
            const std::string sock = sys.root + "/ioctl" + n->devPath;
            ::chmod(sock.c_str(), 0777);
            ::chmod((sys.root + "/ioctl").c_str(), 0755);
            ::chmod((sys.root + "/ioctl/dev").c_str(), 0755);
        }
        for (size_t d = 0; d < b.devices.size(); ++d) {
            sys.shownPlugged[d] = b.devices[d].plugged;
            if (sys.shownPlugged[d])
                plugLocked(int(d));
        }
    }
    startControlServer();
    std::thread pumpThread(pump);

    GMainLoop *loop = g_main_loop_new(nullptr, FALSE);
    g_unix_signal_add(SIGTERM, quit, loop);
    g_unix_signal_add(SIGINT, quit, loop);
    if (!writeEnvFile(envFile)) {
        std::fprintf(stderr, "kelda-vmouse-system: cannot write %s\n", envFile.c_str());
        sys.stopping = true;
    } else {
        g_main_loop_run(loop);
    }

    sys.stopping = true;
    b.inputArrived.notify_all();
    pumpThread.join();
    stopControlServer();
    {
        std::lock_guard<std::mutex> lock(b.mutex);
        for (auto &[key, c] : sys.clients)
            if (!c->closed && c->wait != Client::Wait::None) {
                c->wait = Client::Wait::None;
                umockdev_ioctl_client_complete(c->client, -1, ENODEV);
            }
        for (size_t d = 0; d < b.devices.size(); ++d)
            if (sys.shownPlugged[d])
                unplugLocked(int(d));
    }
    for (auto &n : sys.nodes)
        umockdev_testbed_detach_ioctl(sys.testbed, n->devPath.c_str(), nullptr);
    g_object_unref(sys.testbed); // removes the testbed folder
    g_main_loop_unref(loop);
    if (!envFile.empty())
        ::unlink(envFile.c_str());
    return 0;
}
