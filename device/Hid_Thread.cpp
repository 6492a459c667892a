#include "device/Hid_Thread.h"

#include "device/HidOwner.h"

#include <QDebug>

#include <hidapi.h>

uchar Hid_Thread::secrecyKey[8] = {};
const uchar Hid_Thread::cipherAddTable[8] = {'D', 'u', 'K', 'e', 's', 'V', 'a', 'm'};

Hid_Thread::Hid_Thread(QObject *parent) : QThread(parent) {}

Hid_Thread::~Hid_Thread()
{
    stopReadLoop();
    readLoopFuture.waitForFinished();
}

void Hid_Thread::selectDevice(int index)
{
    currentIndex = index;
}

void Hid_Thread::stopReadLoop()
{
    readLoopRunning = false;
}

void Hid_Thread::hid553_01H_SetReportRate(uchar rate)
{
    qDebug() << "hid553_01H_SetReportRate: not available yet";
}

void Hid_Thread::hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix)
{
    qDebug() << "hid553_02H_SetCurrentKeyMatrix: not available yet";
}

void Hid_Thread::hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    qDebug() << "hid553_03H_SetKeyboardoption: not available yet";
}

void Hid_Thread::hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    qDebug() << "hid553_04H_SetGunData: not available yet";
}

void Hid_Thread::hid553_0BH_SetCurrentDPI(uchar stage)
{
    qDebug() << "hid553_0BH_SetCurrentDPI: not available yet";
}

void Hid_Thread::hid553_0CH_SetFixLEDColor(uchar *src3)
{
    qDebug() << "hid553_0CH_SetFixLEDColor: not available yet";
}

void Hid_Thread::hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2)
{
    qDebug() << "hid553_0DH_SetRGBLedEffect: not available yet";
}

void Hid_Thread::hid553_10H_SetLED8StageColor(uchar type, uchar *src24)
{
    qDebug() << "hid553_10H_SetLED8StageColor: not available yet";
}

void Hid_Thread::hid553_11H_SetDPISet(uchar dpiStage, uchar *src8)
{
    qDebug() << "hid553_11H_SetDPISet: not available yet";
}

void Hid_Thread::hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    qDebug() << "hid553_12H_SetKeyMatrix: not available yet";
}

void Hid_Thread::hid553_13H_SetMacroKey(uchar macroId, uchar *src128)
{
    qDebug() << "hid553_13H_SetMacroKey: not available yet";
}

void Hid_Thread::hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    qDebug() << "hid553_83H_GetKeyboardoption: not available yet";
}

void Hid_Thread::hid553_8BH_GetCurrentDPI(uchar &byte1)
{
    qDebug() << "hid553_8BH_GetCurrentDPI: not available yet";
}

void Hid_Thread::hid553_8BH_GetRight(uchar &byte1)
{
    qDebug() << "hid553_8BH_GetRight: not available yet";
}

void Hid_Thread::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2)
{
    qDebug() << "hid560_01H_SetKeyboardoption: not available yet";
}

void Hid_Thread::hid560_02H_SetCurrentProfile(uchar profile)
{
    qDebug() << "hid560_02H_SetCurrentProfile: not available yet";
}

void Hid_Thread::hid560_03H_SetReportRate(uchar rate)
{
    qDebug() << "hid560_03H_SetReportRate: not available yet";
}

void Hid_Thread::hid560_04H_SetCurrentDPI(uchar stage)
{
    qDebug() << "hid560_04H_SetCurrentDPI: not available yet";
}

void Hid_Thread::hid560_0CH_setProfile(uchar *src128, uchar profileData)
{
    qDebug() << "hid560_0CH_setProfile: not available yet";
}

void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    qDebug() << "hid560_0DH_SetKeyMatrix: not available yet";
}

void Hid_Thread::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128)
{
    qDebug() << "hid560_0FH_SetMacroKey: not available yet";
}

void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2)
{
    qDebug() << "hid560_81H_GetKeyboardoption: not available yet";
}

void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &byte1)
{
    qDebug() << "hid560_82H_GetCurrentProfile: not available yet";
}

void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2)
{
    qDebug() << "hid560_84H_GetCurrentDPI: not available yet";
}

void Hid_Thread::hid560_8CH_readProfile(uchar *src128, uchar profileNo)
{
    qDebug() << "hid560_8CH_readProfile: not available yet";
}

hid_device *Hid_Thread::openCommandHandle(int)
{
    return nullptr;
}

hid_device *Hid_Thread::openReadHandle(int)
{
    return nullptr;
}

uchar Hid_Thread::hidCS(const uchar *block)
{
    uchar sum = 0;
    for (int i = 0; i < 7; ++i)
        sum = uchar(sum + block[i]);
    return uchar(~sum);
}

void Hid_Thread::USBDataEncryption(uchar *, uchar *)
{
}

void Hid_Thread::USBDataDecipher(uchar *, uchar *)
{
}

bool Hid_Thread::waitChannelFree()
{
    return false;
}

void Hid_Thread::settleDelay()
{
}

bool Hid_Thread::sendCommand(int, bool)
{
    return false;
}

bool Hid_Thread::queryCommand(int)
{
    return false;
}

void Hid_Thread::connectDevice(int)
{
    qDebug() << "connectDevice: not available yet";
}

void Hid_Thread::readLoop(uint)
{
}
