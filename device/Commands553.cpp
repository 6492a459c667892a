// The commands of the 553 firmware family: one command per setting.
#include "device/Transport.h"

using transport::query;
using transport::setCommand;

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
