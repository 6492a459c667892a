#pragma once

// The virtual bus: the attached devices with their HID collections, the open
// handles, the clock, the transcript and the list of protocol violations.
// One instance per process, shared by the hidapi functions and the control
// API; every access holds its mutex.

#include "sim/Firmware.h"
#include "sim/VirtualMouse.h"

#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <deque>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

namespace vmouse {

enum class Iface { Cmd, Read, Other };

struct Collection
{
    std::string path;
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    int device = 0;
    Iface iface = Iface::Other;
    int interfaceNumber = 0;
};

struct DeviceSlot
{
    std::unique_ptr<Firmware> firmware;
    uint16_t vid = 0;
    uint16_t pid = 0;
    std::wstring product;
    bool plugged = true;
};

} // namespace vmouse

// The handle type of the hidapi ABI.
struct hid_device_
{
    int device = 0;
    vmouse::Iface iface = vmouse::Iface::Other;
    bool dead = false;        // the device went away while this was open
    bool nonblocking = false;
    std::wstring error = L"Success";
    int pid = 0;              // the calling process, when not this one (0)
};

namespace vmouse {

class Bus
{
public:
    static Bus &instance();

    std::mutex mutex;
    std::condition_variable inputArrived;

    Config cfg;
    std::vector<DeviceSlot> devices;
    std::vector<Collection> collections;
    std::set<hid_device_ *> handles;
    bool denyOpen = false;
    std::vector<std::string> violationList;
    std::deque<Record> records;
    std::wstring globalError = L"Success";
    bool virtualTime = false;
    bool keepRecords = true;
    // Faults armed by the control protocol: the mouse is pulled out right
    // after the Nth data report of a block write is taken, or after the Nth
    // input report of a block read is handed over (0: not armed).
    int unplugAfterWrites = 0;
    int unplugAfterReads = 0;

    // Both require the mutex.
    void configureLocked(const Config &config);
    void record(const hid_device_ *h, const char *op, const uint8_t *data, size_t len, int ret,
                const std::string &plain = std::string());
    void recordOpen(const Collection *c, int ret, int pid = 0);
    void addViolation(const std::string &text);
    void checkSingleHandle(const hid_device_ *h);
    void setPluggedLocked(bool plugged);
    bool alive(const hid_device_ *h) const;
    Firmware *firmware(const hid_device_ *h) const;

    double now();
    void advance(double ms);

private:
    Bus();
    void appendRecord(Record r);

    std::chrono::steady_clock::time_point m_start;
    double m_virtualMs = 0;
    std::mutex m_clockMutex;
    FILE *m_transcriptFile = nullptr;
};

const char *ifaceName(Iface iface);

} // namespace vmouse
