#pragma once

#include <QString>

// What the HID worker needs from the program around it. The main window
// implements it; tests and the command-line tool provide their own. Calls
// made from the read loop's thread must reach the GUI thread queued and in
// order, which is the implementer's duty.
class HidOwner
{
public:
    virtual ~HidOwner() = default;

    // Firmware family text ("560" selects the 560 commands).
    virtual QString icType() const = 0;
    // Current profile slot (0-based) of the view.
    virtual int currentProfileIndex() const = 0;

    // Effects of device events, called from the read loop's thread.
    virtual void deviceDpiStage(int stage) = 0;   // scene update, then balloon
    virtual void deviceKeyLayer(bool on) = 0;     // layer flag, then scene run()
    virtual void deviceRemoved() = 0;             // view disabled

    // An interface that enumeration lists may not be opened by this user
    // (no udev rule yet). Called from either thread, once per node; the
    // worker has already logged it.
    virtual void deviceAccessDenied(const QString &node) { Q_UNUSED(node); }
};
