#include "sim/Bus.h"

#include <atomic>
#include <cctype>
#include <cstdlib>
#include <sstream>
#include <thread>
#include <unistd.h>

namespace vmouse {

namespace {

// Enough for a long demo session; older records are dropped first.
constexpr size_t MaxRecords = 200000;

std::string jsonString(const std::string &s)
{
    std::string out = "\"";
    for (unsigned char c : s) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += char(c);
        } else if (c < 0x20) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\u%04x", c);
            out += buf;
        } else {
            out += char(c);
        }
    }
    return out + "\"";
}

template<typename Container>
std::string jsonBytes(const Container &bytes)
{
    std::string out = "[";
    bool first = true;
    for (auto b : bytes) {
        if (!first)
            out += ",";
        first = false;
        out += std::to_string(int(b));
    }
    return out + "]";
}

std::string jsonByteMap(const std::map<int, std::vector<uint8_t>> &m)
{
    std::string out = "{";
    bool first = true;
    for (const auto &[k, v] : m) {
        if (!first)
            out += ",";
        first = false;
        out += "\"" + std::to_string(k) + "\":" + jsonString(toHex(v.data(), v.size()));
    }
    return out + "}";
}

} // namespace

const char *ifaceName(Iface iface)
{
    switch (iface) {
    case Iface::Cmd: return "cmd";
    case Iface::Read: return "read";
    case Iface::Other: return "other";
    }
    return "other";
}

std::string toHex(const uint8_t *data, size_t len)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(len * 2);
    for (size_t i = 0; i < len; ++i) {
        s += digits[data[i] >> 4];
        s += digits[data[i] & 15];
    }
    return s;
}

std::string Record::toJson() const
{
    char t[32];
    std::snprintf(t, sizeof t, "%.3f", tMs);
    std::string s = std::string("{\"t_ms\":") + t + ",\"dev\":" + jsonString(dev) + ",\"iface\":"
                    + jsonString(iface) + ",\"op\":" + jsonString(op) + ",\"data\":" + jsonString(data)
                    + ",\"ret\":" + std::to_string(ret);
    if (!plain.empty())
        s += ",\"plain\":" + jsonString(plain);
    // Several programs may append to one transcript file.
    static const std::string pid = std::to_string(::getpid());
    return s + ",\"pid\":" + pid + "}";
}

std::string FirmwareState::toJson() const
{
    std::ostringstream o;
    o << "{\"reportRate\":" << int(reportRate) << ",\"options553\":" << jsonBytes(options553)
      << ",\"currentKeyMatrix\":" << int(currentKeyMatrix) << ",\"currentDpi\":" << int(currentDpi)
      << ",\"dpiStageCount\":" << int(dpiStageCount) << ",\"dpiCodes\":" << jsonBytes(dpiCodes)
      << ",\"fixedColour\":" << jsonBytes(fixedColour) << ",\"ledEffect\":[" << int(ledEffect) << ","
      << int(ledOption1) << "," << int(ledOption2) << "],\"stageColourType\":" << int(stageColourType)
      << ",\"stageColours\":" << jsonString(toHex(stageColours.data(), stageColours.size()))
      << ",\"gunData\":" << jsonBytes(gunData) << ",\"options560\":" << jsonBytes(options560)
      << ",\"currentProfile\":" << int(currentProfile)
      << ",\"profileReportRate\":" << jsonBytes(profileReportRate)
      << ",\"profileCurrentDpi\":" << jsonBytes(profileCurrentDpi) << ",\"profileBlocks\":[";
    for (size_t i = 0; i < profileBlocks.size(); ++i)
        o << (i ? "," : "") << jsonString(toHex(profileBlocks[i].data(), profileBlocks[i].size()));
    o << "],\"keyMatrices\":" << jsonByteMap(keyMatrices) << ",\"macros\":" << jsonByteMap(macros)
      << ",\"keyLayer\":" << (keyLayer ? "true" : "false") << ",\"commands\":" << commands
      << ",\"ignoredCommands\":" << ignoredCommands << "}";
    return o.str();
}

// ---- the bus ----

Bus &Bus::instance()
{
    static Bus bus;
    return bus;
}

Bus::Bus() : m_start(std::chrono::steady_clock::now())
{
    if (const char *file = std::getenv("KELDA_VMOUSE_TRANSCRIPT"); file && *file) {
        m_transcriptFile = std::fopen(file, "a");
        if (!m_transcriptFile)
            std::fprintf(stderr, "kelda-virtual-mouse: cannot append to %s\n", file);
    }
    configureLocked(Config::fromEnvironment());
}

void Bus::configureLocked(const Config &config)
{
    for (hid_device_ *h : handles)
        h->dead = true; // handles of the old devices stay valid until closed
    cfg = config;
    devices.clear();
    collections.clear();
    violationList.clear();
    records.clear();
    denyOpen = config.denyOpen;
    unplugAfterWrites = 0;
    unplugAfterReads = 0;
    keepRecords = true;

    auto sink = [this](const std::string &text) { addViolation(text); };
    int node = 0;
    auto path = [&node] { return "/dev/vmouse/hidraw" + std::to_string(node++); };

    DeviceSlot mouse;
    mouse.vid = 0x04d9;
    mouse.pid = 0xa1ee;
    mouse.product = L"ZORVANT KELDA MOUSE X7 (virtual)";
    mouse.firmware = std::make_unique<Firmware>(
        Firmware::Identity{"mouse", config.family, config.encoded, config.code, config.reportLength,
                           config.colourful},
        sink);
    devices.push_back(std::move(mouse));
    // The pointer collection every mouse has, then the vendor collections.
    collections.push_back({path(), 0x0001, 0x0002, 0, Iface::Other, 0});
    collections.push_back({path(), 0xff00, 0xff00, 0, Iface::Cmd, 1});
    collections.push_back({path(), 0xff01, 0xff01, 0, Iface::Read, 2});
    if (config.duplicateCommand)
        collections.push_back({path(), 0xff00, 0xff00, 0, Iface::Cmd, 3});

    if (config.keyboard) {
        DeviceSlot kb;
        kb.vid = 0x04d9;
        kb.pid = 0x8008;
        kb.product = L"ZORVANT keyboard (virtual)";
        kb.firmware = std::make_unique<Firmware>(
            Firmware::Identity{"keyboard", config.family, config.encoded, config.code, 64, config.colourful},
            sink);
        devices.push_back(std::move(kb));
        collections.push_back({path(), 0x0001, 0x0006, 1, Iface::Other, 0});
        collections.push_back({path(), 0xff01, 0x0001, 1, Iface::Cmd, 1});
        collections.push_back({path(), 0xff02, 0x0001, 1, Iface::Read, 2});
    }
    inputArrived.notify_all();
}

double Bus::now()
{
    std::lock_guard<std::mutex> lock(m_clockMutex);
    const auto real = std::chrono::steady_clock::now() - m_start;
    return std::chrono::duration<double, std::milli>(real).count() + m_virtualMs;
}

void Bus::advance(double ms)
{
    std::lock_guard<std::mutex> lock(m_clockMutex);
    if (ms > 0)
        m_virtualMs += ms;
}

void Bus::appendRecord(Record r)
{
    if (m_transcriptFile) {
        const std::string line = r.toJson() + "\n";
        std::fwrite(line.data(), 1, line.size(), m_transcriptFile);
        std::fflush(m_transcriptFile);
    }
    if (!keepRecords)
        return;
    if (records.size() >= MaxRecords)
        records.pop_front();
    records.push_back(std::move(r));
}

void Bus::record(const hid_device_ *h, const char *op, const uint8_t *data, size_t len, int ret,
                 const std::string &plain)
{
    Record r;
    r.tMs = now();
    r.dev = h && h->device < int(devices.size()) ? devices[size_t(h->device)].firmware->identity().name
                                                 : std::string();
    r.iface = h ? ifaceName(h->iface) : "";
    r.op = op;
    r.data = data ? toHex(data, len) : std::string();
    r.ret = ret;
    r.plain = plain;
    appendRecord(std::move(r));
}

void Bus::recordOpen(const Collection *c, int ret)
{
    Record r;
    r.tMs = now();
    r.dev = c && c->device < int(devices.size()) ? devices[size_t(c->device)].firmware->identity().name
                                                 : std::string();
    r.iface = c ? ifaceName(c->iface) : "";
    r.op = "open";
    r.ret = ret;
    appendRecord(std::move(r));
}

void Bus::addViolation(const std::string &text)
{
    violationList.push_back(text);
    if (m_transcriptFile) {
        const std::string line = "{\"t_ms\":" + std::to_string(now()) + ",\"violation\":" + jsonString(text) + "}\n";
        std::fwrite(line.data(), 1, line.size(), m_transcriptFile);
        std::fflush(m_transcriptFile);
    }
}

void Bus::checkSingleHandle(const hid_device_ *h)
{
    int open = 0;
    for (const hid_device_ *o : handles)
        if (!o->dead && o->device == h->device && o->iface == h->iface)
            ++open;
    if (open > 1)
        addViolation(std::string("two handles in use at once on the ") + ifaceName(h->iface)
                     + " interface of the " + devices[size_t(h->device)].firmware->identity().name);
}

void Bus::setPluggedLocked(bool plugged)
{
    DeviceSlot &mouse = devices[0];
    mouse.plugged = plugged;
    if (!plugged) {
        for (hid_device_ *h : handles)
            if (h->device == 0)
                h->dead = true;
        mouse.firmware->resetTransfer();
        mouse.firmware->readInput.clear();
        unplugAfterWrites = 0;
        unplugAfterReads = 0;
    }
    inputArrived.notify_all();
}

bool Bus::alive(const hid_device_ *h) const
{
    return h && !h->dead && h->device < int(devices.size()) && devices[size_t(h->device)].plugged;
}

Firmware *Bus::firmware(const hid_device_ *h) const
{
    return h && h->device < int(devices.size()) ? devices[size_t(h->device)].firmware.get() : nullptr;
}

// ---- control API ----

namespace {

Bus &bus()
{
    return Bus::instance();
}

Firmware *deviceFirmware(int device)
{
    Bus &b = bus();
    return device >= 0 && device < int(b.devices.size()) ? b.devices[size_t(device)].firmware.get() : nullptr;
}

void setPlugged(bool plugged)
{
    Bus &b = bus();
    std::lock_guard<std::mutex> lock(b.mutex);
    b.setPluggedLocked(plugged);
}

// The event flood: one generator thread at a time, paced on the real clock
// (each event is due at start + i / rate; a late thread catches up at once,
// so the count per second holds on a busy machine too).
class Flood
{
public:
    static Flood &instance()
    {
        bus(); // constructed first, so it outlives the generator
        static Flood flood;
        return flood;
    }
    ~Flood() { stop(); }

    bool start(int perSecond, double seconds)
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        if (m_running)
            return false;
        if (m_thread.joinable())
            m_thread.join();
        m_stop = false;
        m_running = true;
        m_sent = 0;
        m_lastDpi = -1;
        m_lastLayer = -1;
        m_total = int(perSecond * seconds + 0.5);
        m_thread = std::thread([this, perSecond] { run(perSecond); });
        return true;
    }

    void stop()
    {
        std::lock_guard<std::mutex> lock(m_mutex);
        m_stop = true;
        if (m_thread.joinable())
            m_thread.join();
        m_running = false;
    }

    FloodStatus status() const
    {
        return {m_running, m_sent, m_total, m_lastDpi, m_lastLayer};
    }

private:
    void run(int perSecond)
    {
        using clock = std::chrono::steady_clock;
        const auto start = clock::now();
        for (int i = 0; i < m_total && !m_stop; ++i) {
            std::this_thread::sleep_until(start + std::chrono::microseconds(int64_t(i) * 1000000 / perSecond));
            // Even events choose DPI stages 1..8 in turn, odd ones switch the
            // key layer on and off.
            Bus &b = bus();
            std::lock_guard<std::mutex> lock(b.mutex);
            if (!b.devices[0].plugged)
                continue;
            if (i % 2 == 0) {
                const int stage = 1 + (i / 2) % 8;
                b.devices[0].firmware->pressDpi(stage);
                m_lastDpi = stage;
            } else {
                const bool on = (i / 2) % 2 == 0;
                b.devices[0].firmware->setLayer(on);
                m_lastLayer = on ? 1 : 0;
            }
            ++m_sent;
            b.inputArrived.notify_all();
        }
        m_running = false;
    }

    std::mutex m_mutex;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_running{false};
    std::atomic<int> m_sent{0};
    std::atomic<int> m_total{0};
    std::atomic<int> m_lastDpi{-1};
    std::atomic<int> m_lastLayer{-1};
};

} // namespace

bool flood(int perSecond, double seconds)
{
    if (perSecond < 1 || seconds <= 0)
        return false;
    return Flood::instance().start(perSecond, seconds);
}

FloodStatus floodStatus()
{
    return Flood::instance().status();
}

void stopFlood()
{
    Flood::instance().stop();
}

void unplugAfterDataReports(int count)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    bus().unplugAfterWrites = count;
}

void unplugAfterBlockReports(int count)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    bus().unplugAfterReads = count;
}

void forceNextResponse(const std::vector<uint8_t> &bytes)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    Firmware &fw = *bus().devices[0].firmware;
    fw.haveForcedResponse = true;
    fw.forcedResponse = bytes;
}

void setNextBlockReportLength(int length)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    bus().devices[0].firmware->nextBlockReportLength = length;
}

void configure(const Config &config)
{
    stopFlood();
    std::lock_guard<std::mutex> lock(bus().mutex);
    bus().configureLocked(config);
}

Config config()
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    return bus().cfg;
}

std::vector<Record> transcript()
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    return {bus().records.begin(), bus().records.end()};
}

void setRecording(bool on)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    bus().keepRecords = on;
}

void clearTranscript()
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    bus().records.clear();
}

std::vector<std::string> violations()
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    return bus().violationList;
}

void clearViolations()
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    bus().violationList.clear();
}

FirmwareState state(int device)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    Firmware *fw = deviceFirmware(device);
    return fw ? fw->state : FirmwareState();
}

void editState(const std::function<void(FirmwareState &)> &edit, int device)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    if (Firmware *fw = deviceFirmware(device))
        edit(fw->state);
}

int openHandles()
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    return int(bus().handles.size());
}

static std::string collectionPath(int device, Iface iface)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    std::string found;
    for (const Collection &c : bus().collections)
        if (c.device == device && c.iface == iface)
            found = c.path;
    return found;
}

std::string commandPath(int device)
{
    return collectionPath(device, Iface::Cmd);
}

std::string readPath(int device)
{
    return collectionPath(device, Iface::Read);
}

void pressDpi(int stage)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    if (bus().devices[0].plugged)
        bus().devices[0].firmware->pressDpi(stage);
    bus().inputArrived.notify_all();
}

void setLayer(bool on)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    if (bus().devices[0].plugged)
        bus().devices[0].firmware->setLayer(on);
    bus().inputArrived.notify_all();
}

void sendEvent(const std::vector<uint8_t> &report)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    if (bus().devices[0].plugged)
        bus().devices[0].firmware->sendEvent(report);
    bus().inputArrived.notify_all();
}

void unplug()
{
    setPlugged(false);
}

void plug()
{
    setPlugged(true);
}

bool isPlugged()
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    return bus().devices[0].plugged;
}

void setMuted(bool muted)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    for (DeviceSlot &d : bus().devices)
        d.firmware->muted = muted;
}

void setStalled(bool on)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    for (DeviceSlot &d : bus().devices)
        d.firmware->stalled = on;
}

void dropInputReports(int count)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    bus().devices[0].firmware->dropCount = count;
}

void corruptNextReport()
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    bus().devices[0].firmware->corruptNext = true;
}

void setDenyOpen(bool deny)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    bus().denyOpen = deny;
}

double nowMs()
{
    return bus().now();
}

void advanceClock(double ms)
{
    bus().advance(ms);
}

void setVirtualTime(bool on)
{
    std::lock_guard<std::mutex> lock(bus().mutex);
    bus().virtualTime = on;
}

std::string socketPath()
{
    if (const char *p = std::getenv("KELDA_VMOUSE_SOCKET"); p && *p)
        return p;
    return "/tmp/kelda-vmouse-" + std::to_string(getuid()) + ".sock";
}

// Hex digits in pairs; "-" is no bytes at all.
static bool parseHex(const std::string &text, std::vector<uint8_t> *out)
{
    out->clear();
    if (text == "-")
        return true;
    if (text.empty() || text.size() % 2)
        return false;
    for (size_t i = 0; i < text.size(); i += 2) {
        if (!std::isxdigit(static_cast<unsigned char>(text[i]))
            || !std::isxdigit(static_cast<unsigned char>(text[i + 1])))
            return false;
        out->push_back(uint8_t(std::stoi(text.substr(i, 2), nullptr, 16)));
    }
    return true;
}

std::string control(const std::string &line)
{
    std::istringstream in(line);
    std::string cmd, arg, extra;
    in >> cmd >> arg >> extra;
    auto onOff = [&](bool *value) {
        if (arg == "on")
            *value = true;
        else if (arg == "off")
            *value = false;
        else
            return false;
        return extra.empty();
    };
    auto number = [&](int lo, int hi, int *value) {
        char *end = nullptr;
        const long n = std::strtol(arg.c_str(), &end, 10);
        if (arg.empty() || *end || n < lo || n > hi || !extra.empty())
            return false;
        *value = int(n);
        return true;
    };
    bool flag = false;
    int n = 0;
    if (cmd == "press-dpi") {
        if (!number(0, 255, &n))
            return "error: press-dpi takes a stage from 0 to 255";
        pressDpi(n);
        return "ok";
    }
    if (cmd == "layer") {
        if (!onOff(&flag))
            return "error: layer takes on or off";
        setLayer(flag);
        return "ok";
    }
    if (cmd == "event") {
        std::vector<uint8_t> report;
        if (!parseHex(arg, &report) || report.empty() || report.size() > 64 || !extra.empty())
            return "error: event takes the report as hex, e.g. 06070003";
        sendEvent(report);
        return "ok";
    }
    if ((cmd == "unplug" || cmd == "plug") && arg.empty()) {
        setPlugged(cmd == "plug");
        return "ok";
    }
    if (cmd == "mute") {
        if (!onOff(&flag))
            return "error: mute takes on or off";
        setMuted(flag);
        return "ok";
    }
    if (cmd == "stall") {
        if (!onOff(&flag))
            return "error: stall takes on or off";
        setStalled(flag);
        return "ok";
    }
    if (cmd == "record") {
        if (!onOff(&flag))
            return "error: record takes on or off";
        setRecording(flag);
        return "ok";
    }
    if (cmd == "deny") {
        if (!onOff(&flag))
            return "error: deny takes on or off";
        setDenyOpen(flag);
        return "ok";
    }
    if (cmd == "drop") {
        if (!number(1, 1000, &n))
            return "error: drop takes a count from 1 to 1000";
        dropInputReports(n);
        return "ok";
    }
    if (cmd == "unplug-after-write") {
        if (!number(1, 1000, &n))
            return "error: unplug-after-write takes a count of data reports from 1 to 1000";
        unplugAfterDataReports(n);
        return "ok";
    }
    if (cmd == "unplug-after-read") {
        if (!number(1, 1000, &n))
            return "error: unplug-after-read takes a count of input reports from 1 to 1000";
        unplugAfterBlockReports(n);
        return "ok";
    }
    if (cmd == "response") {
        std::vector<uint8_t> bytes;
        if (!parseHex(arg, &bytes) || bytes.size() > 64 || !extra.empty())
            return "error: response takes up to 64 bytes as hex (\"-\" for none)";
        forceNextResponse(bytes);
        return "ok";
    }
    if (cmd == "block-length") {
        if (!number(1, 1024, &n))
            return "error: block-length takes a report length from 1 to 1024";
        setNextBlockReportLength(n);
        return "ok";
    }
    if (cmd == "flood") {
        char *end = nullptr;
        const long rate = std::strtol(arg.c_str(), &end, 10);
        const bool rateOk = !arg.empty() && !*end && rate >= 1 && rate <= 100000;
        std::string more;
        in >> more;
        const double secs = std::strtod(extra.c_str(), &end);
        if (!rateOk || extra.empty() || *end || !(secs > 0 && secs <= 3600) || !more.empty())
            return "error: flood takes events per second (1-100000) and seconds";
        if (!flood(int(rate), secs))
            return "error: a flood is already running";
        return "ok";
    }
    if (cmd == "flood-state" && arg.empty()) {
        const FloodStatus f = floodStatus();
        return std::string("{\"running\":") + (f.running ? "true" : "false") + ",\"sent\":" + std::to_string(f.sent)
               + ",\"total\":" + std::to_string(f.total) + ",\"lastDpi\":" + std::to_string(f.lastDpi)
               + ",\"lastLayer\":" + std::to_string(f.lastLayer) + "}";
    }
    if (cmd == "corrupt" && arg.empty()) {
        corruptNextReport();
        return "ok";
    }
    if (cmd == "state" && arg.empty()) {
        std::lock_guard<std::mutex> lock(bus().mutex);
        Bus &b = bus();
        std::string s = "{\"family\":" + std::to_string(b.cfg.family) + ",\"encoded\":"
                        + (b.cfg.encoded ? "true" : "false") + ",\"reportLength\":"
                        + std::to_string(b.cfg.reportLength) + ",\"plugged\":"
                        + (b.devices[0].plugged ? "true" : "false") + ",\"muted\":"
                        + (b.devices[0].firmware->muted ? "true" : "false") + ",\"stalled\":"
                        + (b.devices[0].firmware->stalled ? "true" : "false") + ",\"denyOpen\":"
                        + (b.denyOpen ? "true" : "false") + ",\"openHandles\":"
                        + std::to_string(b.handles.size()) + ",\"violations\":"
                        + std::to_string(b.violationList.size()) + ",\"devices\":[";
        for (size_t i = 0; i < b.devices.size(); ++i)
            s += (i ? "," : "") + std::string("{\"name\":") + jsonString(b.devices[i].firmware->identity().name)
                 + ",\"state\":" + b.devices[i].firmware->state.toJson() + "}";
        return s + "]}";
    }
    if (cmd == "violations" && arg.empty()) {
        std::lock_guard<std::mutex> lock(bus().mutex);
        std::string s = "[";
        for (size_t i = 0; i < bus().violationList.size(); ++i)
            s += (i ? "," : "") + jsonString(bus().violationList[i]);
        return s + "]";
    }
    if (cmd == "transcript") {
        if (arg.empty())
            n = 20;
        else if (!number(1, 100000, &n))
            return "error: transcript takes a count";
        std::lock_guard<std::mutex> lock(bus().mutex);
        const auto &r = bus().records;
        std::string s;
        for (size_t i = r.size() > size_t(n) ? r.size() - size_t(n) : 0; i < r.size(); ++i)
            s += r[i].toJson() + (i + 1 < r.size() ? "\n" : "");
        return s;
    }
    if (cmd == "clear" && arg.empty()) {
        clearTranscript();
        clearViolations();
        return "ok";
    }
    return "error: unknown command '" + line + "'; known: press-dpi N, layer on|off, unplug, plug, "
           "mute on|off, stall on|off, deny on|off, record on|off, drop N, corrupt, event HEX, response HEX, block-length N, "
           "unplug-after-write N, unplug-after-read N, flood N_PER_S SECONDS, flood-state, state, "
           "violations, transcript [N], clear";
}

} // namespace vmouse
