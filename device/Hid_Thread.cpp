#include "device/Hid_Thread.h"

#include "device/DeviceGate.h"
#include "device/HidOwner.h"
#include "device/Pause.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDebug>
#include <QSet>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <hidapi.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <mutex>
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
// The read loop waits this long for an event report in each turn.
constexpr int EventWait = 500;
// Bound on the wait for all data reports of a block read together, so that
// a device that sends its reports slowly cannot hold the GUI thread longer
// than one missing report would.
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

// Opens an interface path; on a permission failure logs one line naming the
// node and tells the owner, once per node.
hid_device *openPath(const QString &path, HidOwner *owner)
{
    const QByteArray raw = path.toLatin1();
    errno = 0;
    hid_device *h = hid_open_path(raw.constData());
    if (h || !permissionDenied(errno))
        return h;
    {
        std::lock_guard<std::mutex> lock(deniedMutex);
        if (deniedNodes.contains(path))
            return nullptr;
        deniedNodes.insert(path);
    }
    qDebug().noquote() << QStringLiteral("cannot open %1: permission denied (the udev rule "
                                         "70-kelda-x7.rules is not installed)").arg(path);
    if (owner)
        owner->deviceAccessDenied(path);
    return nullptr;
}

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

// Step 1 and 2 of every command: take the channel, then build the command
// block (code, six parameters, checksum) behind report ID 0.
bool beginCommand(Hid_Thread &h, const char *tag, uchar code, std::array<uchar, 6> params = {})
{
    if (!h.waitChannelFree()) {
        logFailure(tag);
        return false;
    }
    uchar block[8] = {code};
    std::copy(params.begin(), params.end(), block + 1);
    block[7] = Hid_Thread::hidCS(block);
    h.outReport[0] = 0x00;
    std::memcpy(h.outReport + 1, block, 8);
    return true;
}

// A set command: the block, then the payload (if any) as data reports.
void setCommand(Hid_Thread &h, const char *tag, uchar code, std::array<uchar, 6> params,
                bool settle, const uchar *payload = nullptr, int length = 0, bool pauseAfter = false)
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

// A query without data: the out-parameters preset the response area, so a
// device that does not answer hands them back unchanged.
bool query(Hid_Thread &h, const char *tag, uchar code, std::initializer_list<uchar *> outs,
           std::array<uchar, 6> params = {})
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

// Closes the handle on one interface of the entry and opens it afresh. An
// interface that cannot be opened has its path emptied, so that the entry
// counts as absent there until discovery finds it again.
hid_device *reopen(Hid_Thread &h, hid_device *&handle, int index, QString DeviceEntry::*path)
{
    if (index < 0 || index >= h.devices.size() || (h.devices.at(index).*path).isEmpty())
        return nullptr;
    if (handle) {
        hid_close(handle);
        handle = nullptr;
    }
    handle = openPath(h.devices.at(index).*path, h.owner);
    if (!handle) {
        (h.devices[index].*path).clear();
        return nullptr;
    }
    hid_set_nonblocking(handle, 0);
    return handle;
}

// Every way out of a transfer: the command handle closed, the channel given back.
bool endTransfer(Hid_Thread &h, bool result)
{
    if (h.cmdHandle) {
        hid_close(h.cmdHandle);
        h.cmdHandle = nullptr;
    }
    h.channelFree = true;
    return result;
}

uchar profileNumber(const HidOwner *owner)
{
    return uchar((owner ? owner->currentProfileIndex() : 0) + 1);
}

} // namespace

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent) {}

Hid_Thread::~Hid_Thread()
{
    stopReadLoop();
    readLoopFuture.waitForFinished();
    if (cmdHandle) {
        hid_close(cmdHandle);
        cmdHandle = nullptr;
    }
    if (readHandle) {
        hid_close(readHandle);
        readHandle = nullptr;
    }
}

// ---- transport ----

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
    if (!openCommandHandle(currentIndex) || hid_send_feature_report(cmdHandle, outReport, 9) < 0)
        return endTransfer(*this, false);
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
        if (shuttingDown || !openCommandHandle(currentIndex)
            || hid_write(cmdHandle, report.data(), report.size()) < 0)
            return endTransfer(*this, false);
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
    if (!openCommandHandle(currentIndex) || hid_send_feature_report(cmdHandle, outReport, 9) < 0)
        return endTransfer(*this, false);
    if (!openCommandHandle(currentIndex))
        return endTransfer(*this, false);
    const int got = hid_get_feature_report(cmdHandle, inReport, 9);
    if (got < 0)
        return endTransfer(*this, false);
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
        const int n = hid_read_timeout(cmdHandle, report.data(), report.size(),
                                       std::max(1, int(deadline.remainingTime())));
        if (n < want)
            return endTransfer(*this, false);
        std::memcpy(bulkBuffer + offset, report.data(), size_t(want));
    }
    return endTransfer(*this, true);
}

// ---- connection and read loop ----

void Hid_Thread::connectDevice(int index)
{
    readLoopRunning = false;
    mirror.connected(owner && owner->icType() == QLatin1String("560"));
    // Turn on the option bit that makes the mouse report its own events. The
    // option bytes are written back only when they could be read: writing
    // back the presets would wipe the device's other options.
    if (owner && owner->icType() == QLatin1String("560")) {
        uchar byte1 = 0, byte2 = 0;
        if (query(*this, "81", 0x81, {&byte1, &byte2}))
            hid560_01H_SetKeyboardoption(uchar(byte1 | 0x08), byte2);
    } else {
        uchar byte1 = 0, byte2 = 0, byte3 = 0, byte4 = 0;
        if (query(*this, "83", 0x83, {&byte1, &byte2, &byte3, &byte4}))
            hid553_03H_SetKeyboardoption(byte1, byte2, byte3, uchar(byte4 | 0x40));
    }
    // Two loops must never share readHandle: the previous one ends within
    // one turn of seeing readLoopRunning cleared.
    readLoopFuture.waitForFinished();
    readLoopRunning = true;
    readLoopFuture = QtConcurrent::run(QThreadPool::globalInstance(),
                                       [this, index] { readLoop(uint(index)); });
}

void Hid_Thread::readLoop(uint index)
{
    const int i = int(index);
    if (i >= devices.size() || devices.at(i).path2.isEmpty())
        return;
    while (readLoopRunning) {
        // The interface is opened afresh every turn, so that removal shows
        // as a failed open within one turn.
        if (!openReadHandle(i)) {
            qDebug() << "Device removed";
            if (owner)
                owner->deviceRemoved();
            devices[i].path2.clear();
            mirror.forgetAll();
            readLoopRunning = false;
            return;
        }
        uchar report[4] = {};
        const int n = hid_read_timeout(readHandle, report, sizeof report, EventWait);
        mirror.eventReport(report, n);
        handleEventReport(report, n, owner);
        hid_close(readHandle);
        readHandle = nullptr;
    }
}

void Hid_Thread::handleEventReport(const uchar *report, int length, HidOwner *owner)
{
    if (length != 4 || report[0] != 0x06)
        return;
    if (report[1] == 0x07) {
        if (owner)
            owner->deviceDpiStage(report[3]);
    } else if (report[1] == 0x0D) {
        if (owner)
            owner->deviceKeyLayer(report[2] != 0);
        qDebug() << "test" << int(report[2]);
    }
}

void Hid_Thread::stopReadLoop()
{
    if (readLoopRunning)
        readLoopRunning = false;
}

// ---- 553 family ----

void Hid_Thread::hid553_01H_SetReportRate(uchar rate)
{
    setCommand(*this, "01", 0x01, {rate}, true);
}

void Hid_Thread::hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix)
{
    setCommand(*this, "02", 0x02, {currentKeyMatrix}, true);
}

void Hid_Thread::hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    setCommand(*this, "03", 0x03, {byte1, byte2, byte3, byte4}, false, nullptr, 0, true);
}

void Hid_Thread::hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    setCommand(*this, "04", 0x04, {0x00, byte1, byte2, byte3, byte4}, false, nullptr, 0, true);
}

void Hid_Thread::hid553_0BH_SetCurrentDPI(uchar stage)
{
    setCommand(*this, "0B", 0x0B, {stage}, true);
}

void Hid_Thread::hid553_0CH_SetFixLEDColor(uchar *src3)
{
    if (!src3)
        return;
    setCommand(*this, "0C", 0x0C, {src3[0], src3[1], src3[2]}, true);
}

void Hid_Thread::hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2)
{
    setCommand(*this, "0D", 0x0D, {effect, option1, option2}, true);
}

void Hid_Thread::hid553_10H_SetLED8StageColor(uchar type, uchar *src24)
{
    if (!src24)
        return;
    const uchar length = type == 2 ? 4 : 24;
    setCommand(*this, "10", 0x10, {type, length}, true, src24, length);
}

void Hid_Thread::hid553_11H_SetDPISet(uchar dpiStage, uchar *src8)
{
    if (!src8)
        return;
    setCommand(*this, "11", 0x11, {dpiStage, 0x08}, true, src8, 8);
}

void Hid_Thread::hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    if (!src64)
        return;
    setCommand(*this, "12", 0x12, {indexAddOne, 0x40, 0x08}, true, src64, 64);
}

void Hid_Thread::hid553_13H_SetMacroKey(uchar macroId, uchar *src128)
{
    if (!src128)
        return;
    setCommand(*this, "13", 0x13, {macroId, 0x80}, true, src128, 128);
}

void Hid_Thread::hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    query(*this, "83", 0x83, {&byte1, &byte2, &byte3, &byte4});
}

// Both 8BH operations send code 0x82; only their tags differ.
void Hid_Thread::hid553_8BH_GetCurrentDPI(uchar &byte1)
{
    query(*this, "8BH", 0x82, {&byte1});
}

void Hid_Thread::hid553_8BH_GetRight(uchar &byte1)
{
    query(*this, "82H", 0x82, {&byte1});
}

// ---- 560 family ----

void Hid_Thread::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2)
{
    setCommand(*this, "01", 0x01, {byte1, byte2}, false, nullptr, 0, true);
}

void Hid_Thread::hid560_02H_SetCurrentProfile(uchar profile)
{
    setCommand(*this, "02", 0x02, {profile}, false, nullptr, 0, true);
}

void Hid_Thread::hid560_03H_SetReportRate(uchar rate)
{
    setCommand(*this, "03", 0x03, {profileNumber(owner), rate}, true);
}

void Hid_Thread::hid560_04H_SetCurrentDPI(uchar stage)
{
    setCommand(*this, "04", 0x04, {profileNumber(owner), stage}, true);
}

void Hid_Thread::hid560_0CH_setProfile(uchar *src128, uchar profileData)
{
    if (!src128)
        return;
    setCommand(*this, "0C", 0x0C, {profileData, 0x80}, true, src128, 128);
}

void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    if (!src64)
        return;
    // The 64-byte matrix travels as a 128-byte block whose second half is zero.
    uchar block[128] = {};
    std::memcpy(block, src64, 64);
    setCommand(*this, "0D", 0x0D, {indexAddOne, 0x80}, true, block, 128);
}

void Hid_Thread::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128)
{
    if (!src128)
        return;
    setCommand(*this, "0F", 0x0F, {macroId, 0x80}, true, src128, 128);
}

void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2)
{
    query(*this, "81", 0x81, {&byte1, &byte2});
}

void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &byte1)
{
    query(*this, "82", 0x82, {&byte1});
}

void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2)
{
    // The only query with a parameter: the profile number in byte1.
    query(*this, "84", 0x84, {&byte1, &byte2}, {byte1});
}

void Hid_Thread::hid560_8CH_readProfile(uchar *src128, uchar profileNo)
{
    lastBlockReadOk = false;
    if (!src128 || nestedInDeviceWork("8c"))
        return;
    DeviceGate::Hold hold;
    if (!beginCommand(*this, "8c", 0x8C, {profileNo}))
        return;
    std::memset(inReport, 0, sizeof inReport);
    std::memcpy(bulkBuffer, src128, 128);
    // The block replaces the caller's bytes only when all of it arrived: a
    // read cut short would leave new bytes followed by stale ones, which the
    // next block write would send back to the mouse as if they were its own.
    lastBlockReadOk = queryCommand(128);
    if (lastBlockReadOk) {
        std::memcpy(src128, bulkBuffer, 128);
        mirror.blockRead(profileNo, src128);
    }
}
