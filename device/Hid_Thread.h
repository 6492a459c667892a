#pragma once

#include "device/DeviceEntry.h"
#include "device/DeviceLock.h"
#include "device/HidIo.h"
#include "device/WireMirror.h"

#include <QFuture>
#include <QThread>

#include <atomic>

struct hid_device_;
typedef struct hid_device_ hid_device;

class HidOwner;

// The single object through which the program talks to the mouse: the device
// list, the handles on the two interfaces, the command transport with its
// checksum and cipher (Transport.cpp), both command families
// (Commands553.cpp, Commands560.cpp) and the read loop (ReadLoop.cpp).
//
// It derives from QThread for the meta-object system but never runs as a
// thread: commands run on the caller's (GUI) thread and make their hidapi
// calls through io, which on the GUI thread runs them on the link's I/O
// thread while the event loop turns; the read loop runs on the global
// thread pool.
class Hid_Thread : public QThread
{
    Q_OBJECT
public:
    explicit Hid_Thread(QObject *parent = nullptr);
    ~Hid_Thread() override;

    HidOwner *owner = nullptr;
    // Where the hidapi calls of this link are made; ends after the handles
    // below are closed.
    HidIo io;
    DeviceList devices;
    int currentIndex = 1;
    hid_device *cmdHandle = nullptr;
    hid_device *readHandle = nullptr;
    // Shared with the read loop's thread, hence atomic.
    std::atomic<bool> channelFree{true};
    std::atomic<bool> readLoopRunning{false};
    // Set once the program is quitting: transfers in progress stop at their
    // next report and new ones fail at once, so the event loop can end.
    std::atomic<bool> shuttingDown{false};
    // Whether the last 8CH block read brought its whole block.
    bool lastBlockReadOk = false;
    // Tag of the command in progress, for its failure line.
    const char *commandTag = nullptr;
    QFuture<void> readLoopFuture;
    uchar outReport[9] = {};
    uchar inReport[9] = {};
    uchar bulkBuffer[512] = {};

    // Report key of the cipher; bytes 1..6 come from the entry's code.
    static uchar secrecyKey[8];
    static const uchar cipherAddTable[8];

    // The claim on the mouse against other processes; the transport sends
    // nothing without it.
    DeviceLock deviceLock;
    // What the connected mouse holds; set commands it holds already are not sent.
    WireMirror mirror;

    // ---- transport ----
    // Discovery: fills in path and path2 of every entry from the interfaces
    // the HID layer lists for its vendor and product (the last matching
    // record wins); empty where absent.
    void findInterfaces(DeviceList &list);
    void selectDevice(int index);
    hid_device *openCommandHandle(int index);
    hid_device *openReadHandle(int index);
    static uchar hidCS(const uchar *block);
    static void USBDataEncryption(uchar FIFOBuf[], uchar SecrecyCode[]);
    static void USBDataDecipher(uchar FIFOBuf[], uchar SecrecyCode[]);
    // Claims the command node of entry index (waiting up to waitMs for
    // another process); false when another process keeps it.
    bool holdDeviceLock(int index, int waitMs = 0);
    // Without the lock another process may change the mouse.
    void releaseDeviceLock()
    {
        deviceLock.release();
        mirror.forgetAll();
    }
    bool waitChannelFree();
    void settleDelay();
    bool sendCommand(int length, bool settle);
    bool queryCommand(int length);

    // ---- connection and read loop ----
    void connectDevice(int index);
    void readLoop(uint index);
    // What one read of the read interface means: a 4-byte event report
    // (ID 06) with a DPI stage (07) or key-layer change (0D) goes to owner;
    // anything else, including a failed or short read, is ignored.
    static void handleEventReport(const uchar *report, int length, HidOwner *owner);
    void stopReadLoop();
    void shutDown();

    // ---- 553 family ----
    Q_INVOKABLE void hid553_01H_SetReportRate(uchar rate);
    Q_INVOKABLE void hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix);
    Q_INVOKABLE void hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    Q_INVOKABLE void hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4);
    Q_INVOKABLE void hid553_0BH_SetCurrentDPI(uchar stage);
    Q_INVOKABLE void hid553_0CH_SetFixLEDColor(uchar *src3);
    Q_INVOKABLE void hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2);
    Q_INVOKABLE void hid553_10H_SetLED8StageColor(uchar type, uchar *src24);
    Q_INVOKABLE void hid553_11H_SetDPISet(uchar dpiStage, uchar *src8);
    Q_INVOKABLE void hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    Q_INVOKABLE void hid553_13H_SetMacroKey(uchar macroId, uchar *src128);
    Q_INVOKABLE void hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4);
    Q_INVOKABLE void hid553_8BH_GetCurrentDPI(uchar &byte1);
    Q_INVOKABLE void hid553_8BH_GetRight(uchar &byte1);

    // ---- 560 family ----
    Q_INVOKABLE void hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2);
    Q_INVOKABLE void hid560_02H_SetCurrentProfile(uchar profile);
    Q_INVOKABLE void hid560_03H_SetReportRate(uchar rate);
    Q_INVOKABLE void hid560_04H_SetCurrentDPI(uchar stage);
    Q_INVOKABLE void hid560_0CH_setProfile(uchar *src128, uchar profileData);
    Q_INVOKABLE void hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne);
    Q_INVOKABLE void hid560_0FH_SetMacroKey(uchar macroId, uchar *src128);
    Q_INVOKABLE void hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2);
    Q_INVOKABLE void hid560_82H_GetCurrentProfile(uchar &byte1);
    Q_INVOKABLE void hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2);
    Q_INVOKABLE void hid560_8CH_readProfile(uchar *src128, uchar profileNo);
};
