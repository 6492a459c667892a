// The connect operation and the read loop: the option bit that makes the
// mouse report its own events, then one task on the global thread pool that
// listens on the read interface until the device goes or the loop is told
// to stop.
#include "device/Transport.h"

#include "device/HidOwner.h"

#include <QDebug>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <hidapi.h>

#include <utility>

namespace {

// The read loop waits this long for an event report in each turn.
constexpr int EventWait = 500;

} // namespace

using transport::query;

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
        // On the loop's own thread these calls are made there and then.
        uchar report[4] = {};
        const int n = io.run([&] { return hid_read_timeout(readHandle, report, sizeof report, EventWait); });
        mirror.eventReport(report, n);
        handleEventReport(report, n, owner);
        hid_device *handle = std::exchange(readHandle, nullptr);
        io.run([handle] { hid_close(handle); });
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
