// The hidapi C functions the program uses, answered by the virtual bus.
#include "sim/Bus.h"

#include <hidapi.h>

#include <cerrno>
#include <csignal>
#include <dirent.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <cstdlib>
#include <cstring>
#include <cwchar>

using vmouse::Bus;
using vmouse::Collection;
using vmouse::Iface;

namespace vmouse {
void startControlServer();
void stopControlServer();
}

namespace {

std::wstring widen(const std::string &s)
{
    return std::wstring(s.begin(), s.end());
}

wchar_t *wdup(const std::wstring &s)
{
    auto *p = static_cast<wchar_t *>(std::malloc((s.size() + 1) * sizeof(wchar_t)));
    if (p)
        std::wmemcpy(p, s.c_str(), s.size() + 1);
    return p;
}

// A transfer on a handle whose device went away fails as hidraw does.
int gone(hid_device *dev)
{
    dev->error = L"Input/output error";
    return -1;
}

// A report exchanged on the command interface: fails on a handle whose
// device went away, flags a second open handle, hands the report to the
// firmware and records the call (what was passed, or what was received).
template<typename Transfer>
int commandTransfer(hid_device *dev, const char *op, const unsigned char *data, size_t length,
                    bool received, Transfer transfer)
{
    if (!dev || !data)
        return -1;
    Bus &b = Bus::instance();
    std::lock_guard<std::mutex> lock(b.mutex);
    int ret = -1;
    std::string plain;
    if (!b.alive(dev)) {
        ret = gone(dev);
    } else if (dev->iface == Iface::Cmd) {
        b.checkSingleHandle(dev);
        ret = transfer(*b.firmware(dev), b.now(), &plain);
    } else {
        b.addViolation(std::string(op) + " on the " + vmouse::ifaceName(dev->iface) + " interface");
        dev->error = L"Broken pipe";
    }
    if (received)
        b.record(dev, op, ret > 0 ? data : nullptr, ret > 0 ? size_t(ret) : 0, ret, plain);
    else
        b.record(dev, op, data, length, ret, plain);
    return ret;
}

// Each process marks the interfaces it has open with a file
// <control socket>.d/<device>-<interface>/<pid>, so that a second process
// opening one that another live process holds is flagged; every process has
// its own virtual mouse, so this is the only way two of them can meet. On
// only while the control socket is (hid_init).
bool markersOn = false;

std::string markerFolder(const hid_device_ *dev)
{
    Bus &b = Bus::instance();
    const std::string name = dev->device < int(b.devices.size())
                                 ? b.devices[size_t(dev->device)].firmware->identity().name
                                 : std::string("device");
    return vmouse::socketPath() + ".d/" + name + "-" + vmouse::ifaceName(dev->iface);
}

bool samePlace(const hid_device_ *a, const hid_device_ *b)
{
    return a->device == b->device && a->iface == b->iface;
}

// Requires the bus mutex; dev is already among the handles.
void markOpen(const hid_device_ *dev)
{
    if (!markersOn || (dev->iface != Iface::Cmd && dev->iface != Iface::Read))
        return;
    const std::string folder = markerFolder(dev);
    ::mkdir((vmouse::socketPath() + ".d").c_str(), 0700);
    ::mkdir(folder.c_str(), 0700);
    const std::string own = std::to_string(::getpid());
    if (FILE *f = std::fopen((folder + "/" + own).c_str(), "w"))
        std::fclose(f);
    DIR *d = ::opendir(folder.c_str());
    if (!d)
        return;
    while (dirent *e = ::readdir(d)) {
        const std::string other = e->d_name;
        if (other == own || other.find_first_not_of("0123456789") != std::string::npos)
            continue;
        const long pid = std::strtol(other.c_str(), nullptr, 10);
        // A marker of a process that died (kill -9) means nothing.
        if (pid <= 0 || (::kill(pid_t(pid), 0) != 0 && errno != EPERM))
            continue;
        Bus::instance().addViolation("two processes drive the " + std::string(vmouse::ifaceName(dev->iface))
                                     + " interface: " + own + " opened it while " + other
                                     + " has it open");
    }
    ::closedir(d);
}

// Requires the bus mutex; dev is no longer among the handles.
void markClosed(const hid_device_ *dev)
{
    if (!markersOn || (dev->iface != Iface::Cmd && dev->iface != Iface::Read))
        return;
    for (const hid_device_ *o : Bus::instance().handles)
        if (samePlace(o, dev))
            return;
    ::unlink((markerFolder(dev) + "/" + std::to_string(::getpid())).c_str());
}

} // namespace

extern "C" {

int HID_API_EXPORT hid_init(void)
{
    Bus::instance();
    vmouse::startControlServer();
    markersOn = vmouse::socketPath() != "off";
    return 0;
}

int HID_API_EXPORT hid_exit(void)
{
    vmouse::stopControlServer();
    return 0;
}

struct hid_device_info HID_API_EXPORT *hid_enumerate(unsigned short vendor_id, unsigned short product_id)
{
    Bus &b = Bus::instance();
    std::lock_guard<std::mutex> lock(b.mutex);
    hid_device_info *head = nullptr;
    hid_device_info **tail = &head;
    for (const Collection &c : b.collections) {
        const vmouse::DeviceSlot &d = b.devices[size_t(c.device)];
        if (!d.plugged)
            continue;
        if ((vendor_id && vendor_id != d.vid) || (product_id && product_id != d.pid))
            continue;
        auto *info = static_cast<hid_device_info *>(std::calloc(1, sizeof(hid_device_info)));
        if (!info)
            break;
        info->path = strdup(c.path.c_str());
        info->vendor_id = d.vid;
        info->product_id = d.pid;
        info->serial_number = wdup(L"");
        info->release_number = 0x0100;
        info->manufacturer_string = wdup(L"ZORVANT");
        info->product_string = wdup(d.product);
        info->usage_page = c.usagePage;
        info->usage = c.usage;
        info->interface_number = c.interfaceNumber;
        info->bus_type = HID_API_BUS_USB;
        *tail = info;
        tail = &info->next;
    }
    return head;
}

void HID_API_EXPORT hid_free_enumeration(struct hid_device_info *devs)
{
    while (devs) {
        hid_device_info *next = devs->next;
        std::free(devs->path);
        std::free(devs->serial_number);
        std::free(devs->manufacturer_string);
        std::free(devs->product_string);
        std::free(devs);
        devs = next;
    }
}

hid_device HID_API_EXPORT *hid_open_path(const char *path)
{
    Bus &b = Bus::instance();
    std::lock_guard<std::mutex> lock(b.mutex);
    const Collection *found = nullptr;
    for (const Collection &c : b.collections)
        if (path && c.path == path)
            found = &c;
    const std::string p = path ? path : "";
    if (!found || !b.devices[size_t(found->device)].plugged) {
        b.globalError = widen("Failed to open a device with path '" + p + "': No such file or directory");
        b.recordOpen(found, -1);
        errno = ENOENT;
        return nullptr;
    }
    if (b.denyOpen) {
        b.globalError = widen("Failed to open a device with path '" + p + "': Permission denied");
        b.recordOpen(found, -1);
        errno = EACCES;
        return nullptr;
    }
    auto *dev = new hid_device_;
    dev->device = found->device;
    dev->iface = found->iface;
    b.handles.insert(dev);
    b.globalError = L"Success";
    b.recordOpen(found, 0);
    markOpen(dev);
    return dev;
}

void HID_API_EXPORT hid_close(hid_device *dev)
{
    if (!dev)
        return;
    Bus &b = Bus::instance();
    std::lock_guard<std::mutex> lock(b.mutex);
    b.record(dev, "close", nullptr, 0, 0);
    b.handles.erase(dev);
    markClosed(dev);
    delete dev;
    b.inputArrived.notify_all();
}

int HID_API_EXPORT hid_set_nonblocking(hid_device *dev, int nonblock)
{
    if (!dev)
        return -1;
    Bus &b = Bus::instance();
    std::lock_guard<std::mutex> lock(b.mutex);
    dev->nonblocking = nonblock != 0;
    return 0;
}

int HID_API_EXPORT hid_send_feature_report(hid_device *dev, const unsigned char *data, size_t length)
{
    return commandTransfer(dev, "send_feature", data, length, false,
                           [&](vmouse::Firmware &fw, double t, std::string *plain) {
                               return fw.sendFeature(data, length, t, plain);
                           });
}

// How long the host waits for a device to answer a control transfer.
constexpr int ControlTimeoutMs = 5000;

// A stalled mouse leaves a feature report read unanswered: the host gives up
// after its control time-out, or at once when the mouse goes away. Called
// with the bus locked; true when it handled the call.
static bool stalledFeatureRead(hid_device *dev, std::unique_lock<std::mutex> &lock, int *ret)
{
    Bus &b = Bus::instance();
    if (!b.alive(dev) || dev->iface != Iface::Cmd || !b.firmware(dev)->stalled)
        return false;
    b.checkSingleHandle(dev);
    if (b.virtualTime) {
        b.advance(ControlTimeoutMs);
    } else {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(ControlTimeoutMs);
        while (b.alive(dev) && std::chrono::steady_clock::now() < deadline)
            b.inputArrived.wait_until(lock, deadline);
    }
    if (b.alive(dev)) {
        dev->error = L"ioctl (GFEATURE): Connection timed out";
        errno = ETIMEDOUT;
    } else {
        gone(dev);
        errno = EIO;
    }
    *ret = -1;
    b.record(dev, "get_feature", nullptr, 0, -1);
    return true;
}

int HID_API_EXPORT hid_get_feature_report(hid_device *dev, unsigned char *data, size_t length)
{
    if (dev && data) {
        Bus &b = Bus::instance();
        std::unique_lock<std::mutex> lock(b.mutex);
        int ret = 0;
        if (stalledFeatureRead(dev, lock, &ret))
            return ret;
    }
    return commandTransfer(dev, "get_feature", data, length, true,
                           [&](vmouse::Firmware &fw, double, std::string *plain) {
                               const int n = fw.getFeature(data, length, plain);
                               if (n < 0)
                                   dev->error = L"Connection timed out";
                               return n;
                           });
}

int HID_API_EXPORT hid_write(hid_device *dev, const unsigned char *data, size_t length)
{
    return commandTransfer(dev, "write", data, length, false,
                           [&](vmouse::Firmware &fw, double t, std::string *) {
                               const int n = fw.write(data, length, t);
                               Bus &b = Bus::instance();
                               if (n > 0 && dev->device == 0 && b.unplugAfterWrites > 0
                                   && --b.unplugAfterWrites == 0)
                                   b.setPluggedLocked(false);
                               return n;
                           });
}

int HID_API_EXPORT hid_read_timeout(hid_device *dev, unsigned char *data, size_t length, int milliseconds)
{
    if (!dev || !data)
        return -1;
    Bus &b = Bus::instance();
    std::unique_lock<std::mutex> lock(b.mutex);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    bool checked = false;
    int ret = 0;
    std::vector<uint8_t> got;
    for (;;) {
        if (!b.alive(dev)) {
            ret = gone(dev);
            break;
        }
        if (!checked) {
            b.checkSingleHandle(dev);
            checked = true;
        }
        vmouse::Firmware *fw = b.firmware(dev);
        auto *queue = dev->iface == Iface::Cmd ? &fw->cmdInput : dev->iface == Iface::Read ? &fw->readInput : nullptr;
        if (queue && !queue->empty()) {
            got = std::move(queue->front());
            queue->pop_front();
            if (got.size() > length)
                got.resize(length);
            std::memcpy(data, got.data(), got.size());
            ret = int(got.size());
            if (dev->iface == Iface::Cmd && dev->device == 0 && b.unplugAfterReads > 0
                && --b.unplugAfterReads == 0)
                b.setPluggedLocked(false);
            break;
        }
        if (milliseconds == 0)
            break;
        // Only the program's own commands put reports on the command
        // interface, so with virtual time an empty one stays empty: let the
        // time pass at once.
        if (dev->iface != Iface::Read && b.virtualTime) {
            if (milliseconds > 0)
                b.advance(milliseconds);
            ret = milliseconds > 0 ? 0 : -1;
            break;
        }
        if (milliseconds < 0)
            b.inputArrived.wait(lock);
        else if (b.inputArrived.wait_until(lock, deadline) == std::cv_status::timeout
                 && std::chrono::steady_clock::now() >= deadline) {
            // One last look, then time out.
            milliseconds = 0;
        }
    }
    b.record(dev, "read", got.empty() ? nullptr : got.data(), got.size(), ret);
    return ret;
}

int HID_API_EXPORT hid_read(hid_device *dev, unsigned char *data, size_t length)
{
    if (!dev)
        return -1;
    bool nonblocking = false;
    {
        Bus &b = Bus::instance();
        std::lock_guard<std::mutex> lock(b.mutex);
        nonblocking = dev->nonblocking;
    }
    return hid_read_timeout(dev, data, length, nonblocking ? 0 : -1);
}

const wchar_t HID_API_EXPORT *hid_error(hid_device *dev)
{
    Bus &b = Bus::instance();
    std::lock_guard<std::mutex> lock(b.mutex);
    // The text lives as long as the handle or until the next global error;
    // like hidapi, callers copy it before the next call.
    return dev ? dev->error.c_str() : b.globalError.c_str();
}

} // extern "C"
