// The commands of the 560 firmware family: most settings live in 128-byte
// blocks per profile.
#include "device/Transport.h"

#include "device/DeviceGate.h"

#include <cstring>

using transport::beginCommand;
using transport::nestedInDeviceWork;
using transport::profileNumber;
using transport::query;
using transport::setCommand;

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
