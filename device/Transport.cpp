// The report transport: opening the interfaces, the channel, the command and
// query cores with their pauses, the checksum and the cipher, and the steps
// every command is built from.
#include "device/Transport.h"

#include "device/DeviceGate.h"
#include "device/HidOwner.h"
#include "device/Pause.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QSet>

#include <hidapi.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <mutex>
#include <utility>
#include <vector>

uchar Hid_Thread::secrecyKey[8] = {};
const uchar Hid_Thread::cipherAddTable[8] = {'D', 'u', 'K', 'e', 's', 'V', 'a', 'm'};

namespace {

// Pauses of the transport, in milliseconds.
constexpr int DataReportPause = 120;
constexpr int SettleHalf = 64;
constexpr int AfterCommandPause = 8;
constexpr int ChannelPollPause = 8;
constexpr int ChannelPolls = 255;
// Bound on the wait for all data reports of a block read together, so that
// a device that sends its reports slowly cannot hold a command longer than
// one missing report would.
constexpr int BulkReadWait = 1000;

constexpr int BulkBufferSize = 512;

// Interfaces this process was refused, so that each is reported once.
std::mutex deniedMutex;
QSet<QString> deniedNodes;

bool permissionDenied(int err)
{
    if (err == EACCES || err == EPERM)
        return true;
    const wchar_t *text = hid_error(nullptr);
    return text && std::wcsstr(text, L"Permission denied");
}

struct Opened
{
    hid_device *handle = nullptr;
    bool denied = false;
};

// Runs where the handle's calls run: errno and the HID layer's error text
// belong to that thread.
Opened openBlocking(const QByteArray &path)
{
    errno = 0;
    Opened o;
    o.handle = hid_open_path(path.constData());
    if (o.handle)
        hid_set_nonblocking(o.handle, 0);
    else
        o.denied = permissionDenied(errno);
    return o;
}

// A permission failure is logged with the node's name and told to the
// owner, once per node.
void reportDenied(const QString &path, HidOwner *owner)
{
    {
        std::lock_guard<std::mutex> lock(deniedMutex);
        if (deniedNodes.contains(path))
            return;
        deniedNodes.insert(path);
    }
    qDebug().noquote() << QStringLiteral("cannot open %1: permission denied (the udev rule "
                                         "70-kelda-x7.rules is not installed)").arg(path);
    if (owner)
        owner->deviceAccessDenied(path);
}

// Closes the handle on one interface of the entry and opens it afresh. An
// interface that cannot be opened has its path emptied, so that the entry
// counts as absent there until discovery finds it again.
hid_device *reopen(Hid_Thread &h, hid_device *&handle, int index, QString DeviceEntry::*path)
{
    if (index < 0 || index >= h.devices.size() || (h.devices.at(index).*path).isEmpty())
        return nullptr;
    const QString node = h.devices.at(index).*path;
    hid_device *old = std::exchange(handle, nullptr);
    const Opened o = h.io.run([&] {
        if (old)
            hid_close(old);
        return openBlocking(node.toLatin1());
    });
    if (!o.handle) {
        if (o.denied)
            reportDenied(node, h.owner);
        (h.devices[index].*path).clear();
        return nullptr;
    }
    handle = o.handle;
    return handle;
}

// A report the device did not take or did not give (an error, its time-out,
// data that never came): the command says so and ends as every transfer
// ends.
bool reportFailed(Hid_Thread &h)
{
    if (h.commandTag)
        transport::logFailure(h.commandTag);
    return transport::endTransfer(h, false);
}

} // namespace

// ---- the steps of every command ----

namespace transport {

void logFailure(const char *tag)
{
    qDebug().noquote() << QStringLiteral("cmd Failed ") + QLatin1String(tag);
}

// The transport turns the event loop while it waits, so code run from there
// (a timer, a queued call) could start a command inside a running one. That
// command would wait for a channel that cannot come free before it gives up,
// or cut the pause after a command short; it is refused at once instead.
// Work that may start device traffic asks DeviceGate::runWhenIdle().
bool nestedInDeviceWork(const char *tag)
{
    if (!DeviceGate::instance().busy())
        return false;
    qDebug().noquote() << QStringLiteral("command %1 asked for during another command; refused")
                              .arg(QLatin1String(tag));
    logFailure(tag);
    return true;
}

bool beginCommand(Hid_Thread &h, const char *tag, uchar code, std::array<uchar, 6> params)
{
    if (!h.waitChannelFree()) {
        logFailure(tag);
        return false;
    }
    h.commandTag = tag;
    uchar block[8] = {code};
    std::copy(params.begin(), params.end(), block + 1);
    block[7] = Hid_Thread::hidCS(block);
    h.outReport[0] = 0x00;
    std::memcpy(h.outReport + 1, block, 8);
    return true;
}

void setCommand(Hid_Thread &h, const char *tag, uchar code, std::array<uchar, 6> params,
                bool settle, const uchar *payload, int length, bool pauseAfter)
{
    if (nestedInDeviceWork(tag))
        return;
    // ---- wire mirror: skip what the mouse holds ----
    const WireMirror::Ticket ticket = h.mirror.before(code, params, payload, payload ? length : 0);
    if (ticket.skip)
        return;
    DeviceGate::Hold hold;
    if (!beginCommand(h, tag, code, params))
        return;
    if (payload && length > 0)
        std::memcpy(h.bulkBuffer, payload, size_t(length));
    const bool sent = h.sendCommand(payload ? length : 0, settle);
    h.mirror.after(ticket, code, params, payload, payload ? length : 0, sent);
    if (pauseAfter)
        Pause::pause(AfterCommandPause);
}

bool query(Hid_Thread &h, const char *tag, uchar code, std::initializer_list<uchar *> outs,
           std::array<uchar, 6> params)
{
    if (nestedInDeviceWork(tag))
        return false;
    DeviceGate::Hold hold;
    if (!beginCommand(h, tag, code, params))
        return false;
    std::memset(h.inReport, 0, sizeof h.inReport);
    h.inReport[1] = code;
    int i = 2;
    for (uchar *o : outs)
        h.inReport[i++] = *o;
    if (!h.queryCommand(0))
        return false;
    i = 2;
    for (uchar *o : outs)
        *o = h.inReport[i++];
    return true;
}

bool endTransfer(Hid_Thread &h, bool result)
{
    if (hid_device *handle = std::exchange(h.cmdHandle, nullptr))
        h.io.run([handle] { hid_close(handle); });
    h.commandTag = nullptr;
    h.channelFree = true;
    return result;
}

uchar profileNumber(const HidOwner *owner)
{
    return uchar((owner ? owner->currentProfileIndex() : 0) + 1);
}

} // namespace transport

using transport::endTransfer;

// ---- transport ----

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent) {}

Hid_Thread::~Hid_Thread()
{
    stopReadLoop();
    readLoopFuture.waitForFinished();
    // Closed where they were used, but without turning the event loop: the
    // owner may be half gone.
    hid_device *cmd = std::exchange(cmdHandle, nullptr);
    hid_device *read = std::exchange(readHandle, nullptr);
    if (cmd || read)
        io.runBlocking([cmd, read] {
            if (cmd)
                hid_close(cmd);
            if (read)
                hid_close(read);
        });
}

void Hid_Thread::findInterfaces(DeviceList &list)
{
    for (DeviceEntry &e : list) {
        e.path.clear();
        e.path2.clear();
        io.run([&e] {
            hid_device_info *all = hid_enumerate(e.vid, e.pid);
            for (hid_device_info *d = all; d; d = d->next) {
                if (d->usage_page == e.usagePage && d->usage == e.usage)
                    e.path = QString::fromLatin1(d->path);
                if (d->usage_page == e.usagePage2 && d->usage == e.usage2)
                    e.path2 = QString::fromLatin1(d->path);
            }
            hid_free_enumeration(all);
        });
    }
}

void Hid_Thread::selectDevice(int index)
{
    currentIndex = index;
    if (index < 0 || index >= devices.size())
        return;
    const QString &code = devices.at(index).sCode;
    if (code.size() != 6)
        return;
    for (int i = 0; i < 6; ++i)
        secrecyKey[i + 1] = uchar(code.at(i).toLatin1());
}

hid_device *Hid_Thread::openCommandHandle(int index)
{
    return reopen(*this, cmdHandle, index, &DeviceEntry::path);
}

hid_device *Hid_Thread::openReadHandle(int index)
{
    return reopen(*this, readHandle, index, &DeviceEntry::path2);
}

uchar Hid_Thread::hidCS(const uchar *block)
{
    uchar sum = 0;
    for (int i = 0; i < 7; ++i)
        sum = uchar(sum + block[i]);
    return uchar(~sum);
}

static uchar swapNibbles(uchar x)
{
    return uchar((x << 4) | (x >> 4));
}

void Hid_Thread::USBDataEncryption(uchar FIFOBuf[], uchar SecrecyCode[])
{
    uchar *b = FIFOBuf;
    std::swap(b[0], b[5]);
    std::swap(b[1], b[4]);
    std::swap(b[2], b[7]);
    std::swap(b[3], b[6]);
    for (int i = 1; i <= 6; ++i)
        b[i] ^= SecrecyCode[i];
    const uchar first = b[0];
    for (int i = 0; i < 7; ++i)
        b[i] = uchar((b[i] << 3) | (b[i + 1] >> 5));
    b[7] = uchar((b[7] << 3) | (first >> 5));
    for (int i = 0; i < 8; ++i)
        b[i] = uchar(b[i] + swapNibbles(cipherAddTable[i]));
}

void Hid_Thread::USBDataDecipher(uchar FIFOBuf[], uchar SecrecyCode[])
{
    uchar *b = FIFOBuf;
    for (int i = 0; i < 8; ++i)
        b[i] = uchar(b[i] - swapNibbles(cipherAddTable[i]));
    const uchar last = b[7];
    for (int i = 7; i > 0; --i)
        b[i] = uchar((b[i] >> 3) | (b[i - 1] << 5));
    b[0] = uchar((b[0] >> 3) | (last << 5));
    for (int i = 1; i <= 6; ++i)
        b[i] ^= SecrecyCode[i];
    std::swap(b[0], b[5]);
    std::swap(b[1], b[4]);
    std::swap(b[2], b[7]);
    std::swap(b[3], b[6]);
}

bool Hid_Thread::holdDeviceLock(int index, int waitMs)
{
    if (index < 0 || index >= devices.size() || devices.at(index).path.isEmpty())
        return false;
    return deviceLock.acquire(devices.at(index).path, waitMs);
}

bool Hid_Thread::waitChannelFree()
{
    for (int poll = 0; poll < ChannelPolls; ++poll) {
        if (shuttingDown)
            return false;
        bool expected = true;
        if (channelFree.compare_exchange_strong(expected, false))
            return true;
        Pause::pause(ChannelPollPause);
        QCoreApplication::processEvents();
    }
    return false;
}

void Hid_Thread::settleDelay()
{
    Pause::pause(SettleHalf);
    Pause::pause(SettleHalf);
}

void Hid_Thread::shutDown()
{
    shuttingDown = true;
    stopReadLoop();
}

bool Hid_Thread::sendCommand(int length, bool settle)
{
    QCoreApplication::processEvents();
    // The program may have been told to quit from inside that call.
    if (shuttingDown || !holdDeviceLock(currentIndex) || !openCommandHandle(currentIndex))
        return endTransfer(*this, false);
    const int reportLength = devices.at(currentIndex).reportLength;
    if (devices.at(currentIndex).isEncode)
        USBDataEncryption(outReport + 1, secrecyKey);
    if (!openCommandHandle(currentIndex))
        return endTransfer(*this, false);
    if (io.run([this] { return hid_send_feature_report(cmdHandle, outReport, 9); }) < 0)
        return reportFailed(*this);
    if (settle)
        settleDelay();
    length = std::clamp(length, 0, BulkBufferSize);
    if (length == 0 || reportLength < 1)
        return endTransfer(*this, length == 0);

    const int chunk = std::min(length, reportLength);
    std::vector<uchar> report(size_t(reportLength) + 1, 0);
    for (int offset = 0; offset < length; offset += chunk) {
        // A short final chunk carries only payload bytes and zero padding.
        std::fill(report.begin(), report.end(), 0);
        std::memcpy(report.data() + 1, bulkBuffer + offset, size_t(std::min(chunk, length - offset)));
        if (shuttingDown || !openCommandHandle(currentIndex))
            return endTransfer(*this, false);
        if (io.run([&] { return hid_write(cmdHandle, report.data(), report.size()); }) < 0)
            return reportFailed(*this);
        Pause::pause(DataReportPause);
    }
    if (settle)
        settleDelay();
    return endTransfer(*this, true);
}

bool Hid_Thread::queryCommand(int length)
{
    if (shuttingDown || !holdDeviceLock(currentIndex) || !openCommandHandle(currentIndex))
        return endTransfer(*this, false);
    const bool encoded = devices.at(currentIndex).isEncode;
    const int reportLength = devices.at(currentIndex).reportLength;
    const uchar code = outReport[1];
    if (encoded)
        USBDataEncryption(outReport + 1, secrecyKey);
    if (!openCommandHandle(currentIndex))
        return endTransfer(*this, false);
    if (io.run([this] { return hid_send_feature_report(cmdHandle, outReport, 9); }) < 0)
        return reportFailed(*this);
    if (!openCommandHandle(currentIndex))
        return endTransfer(*this, false);
    const int got = io.run([this] { return hid_get_feature_report(cmdHandle, inReport, 9); });
    if (got < 0)
        return reportFailed(*this);
    length = std::clamp(length, 0, BulkBufferSize);
    if (length == 0) {
        endTransfer(*this, true);
        // Not an answer to this query: no code byte, a block too short to
        // decipher, or another code echoed. The caller's values stay.
        if (got < 2 || (encoded && got < 8))
            return false;
        if (encoded)
            USBDataDecipher(inReport + 1, secrecyKey);
        return inReport[1] == code;
    }
    if (reportLength < 1)
        return endTransfer(*this, false);

    const int chunk = std::min(length, reportLength);
    std::vector<uchar> report(size_t(reportLength) + 1, 0);
    QDeadlineTimer deadline(BulkReadWait);
    for (int offset = 0; offset < length; offset += chunk) {
        std::fill(report.begin(), report.end(), 0);
        // A device that sends fewer reports than announced, or sends them too
        // slowly, fails the read instead of hanging it; so does a report too
        // short to hold its chunk, whose missing bytes would read as zeros.
        const int want = std::min(chunk, length - offset);
        if (shuttingDown || !openCommandHandle(currentIndex))
            return endTransfer(*this, false);
        const int wait = std::max(1, int(deadline.remainingTime()));
        const int n = io.run([&] { return hid_read_timeout(cmdHandle, report.data(), report.size(), wait); });
        if (n < want)
            return reportFailed(*this);
        std::memcpy(bulkBuffer + offset, report.data(), size_t(want));
    }
    return endTransfer(*this, true);
}
