#pragma once

#include "device/HidOwner.h"
#include "device/Hid_Thread.h"
#include "sim/VirtualMouse.h"

#include <QList>
#include <QMutex>
#include <QStringList>

// Replaces the transport's pauses for its lifetime: each pause is recorded
// and advances the virtual mouse's clock instead of sleeping, so the mouse
// still sees the program keep its protocol times.
class PauseRecorder
{
public:
    // With install false the real pauses stay in force (real-time tests).
    explicit PauseRecorder(bool install = true);
    ~PauseRecorder();

    QList<int> pauses() const;
    int total() const;
    void clear();

private:
    mutable QMutex m_mutex;
    QList<int> m_pauses;
    bool m_installed;
};

// A stand-in for the main window: answers the worker's questions and
// records the events the read loop reports (from the loop's thread).
class TestOwner : public HidOwner
{
public:
    QString family = QStringLiteral("560");
    int profileIndex = 0;

    QString icType() const override { return family; }
    int currentProfileIndex() const override { return profileIndex; }
    void deviceDpiStage(int stage) override;
    void deviceKeyLayer(bool on) override;
    void deviceRemoved() override;
    void deviceAccessDenied(const QString &node) override;

    // "dpi 5", "layer 1", "removed", "denied <node>" in arrival order.
    QStringList events() const;
    void clear();
    bool waitForEvents(int count, int timeoutMs = 3000) const;

private:
    void add(const QString &event);
    mutable QMutex m_mutex;
    QStringList m_events;
};

// The virtual mouse configured as asked, and a worker whose device list
// holds the entry that discovery would build for it, selected, with the
// channel free. Pauses are recorded, not slept.
class HidFixture
{
public:
    explicit HidFixture(const vmouse::Config &config = vmouse::Config(), bool realPauses = false);
    ~HidFixture();

    static DeviceEntry entryFor(const vmouse::Config &config);

    Hid_Thread hid;
    TestOwner owner;
    PauseRecorder pauses;
};

// The transfers on the command interface since the transcript was last
// cleared, one "op data" string each (open and close left out): the wire as
// the program saw it.
QStringList wire(const QString &dev = QStringLiteral("mouse"));
// The same with the deciphered block in place of the wire bytes for the
// command and response reports of an enciphered device.
QStringList plainWire(const QString &dev = QStringLiteral("mouse"));
// Every record of one interface, "op ret" for opens and closes included.
QStringList ifaceOps(const QString &iface, const QString &dev = QStringLiteral("mouse"));

// "00" + the block + its checksum, as a command report's hex.
QString commandHex(std::initializer_list<int> blockWithoutChecksum);
// A data report's hex: report ID 0, the bytes, zero padding to reportLength.
QString dataHex(const QByteArray &payload, int reportLength);
