#pragma once

#include "sim/VirtualMouse.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

namespace vmouse {

// The firmware of one device: it takes the reports the program sends on the
// command interface, keeps the state the commands set, answers queries, and
// checks the protocol as it goes (checksums, announced data reports, pauses).
// Not thread-safe: the bus calls it under its lock.
class Firmware
{
public:
    struct Identity
    {
        std::string name;   // "mouse" or "keyboard"
        int family = 560;
        bool encoded = false;
        std::string code;
        int reportLength = 32;
        bool colourful = true;
    };

    using ViolationSink = std::function<void(const std::string &)>;

    Firmware(Identity identity, ViolationSink sink);

    const Identity &identity() const { return m_id; }
    FirmwareState state;

    // Command interface. Each returns what hidapi would: bytes moved or -1.
    // plain receives the deciphered block of an enciphered device.
    int sendFeature(const uint8_t *data, size_t len, double t, std::string *plain);
    int getFeature(uint8_t *data, size_t len, std::string *plain);
    int write(const uint8_t *data, size_t len, double t);

    // Input reports waiting on each interface.
    std::deque<std::vector<uint8_t>> cmdInput;
    std::deque<std::vector<uint8_t>> readInput;

    // Events the user makes on the mouse.
    void pressDpi(int stage);
    void setLayer(bool on);
    void sendEvent(std::vector<uint8_t> report) { queueInput(readInput, std::move(report)); }

    // Faults.
    bool muted = false;
    // Feature report reads are left unanswered until the host gives up.
    bool stalled = false;
    int dropCount = 0;
    bool corruptNext = false;
    // The next response feature report is these bytes, whatever was asked.
    bool haveForcedResponse = false;
    std::vector<uint8_t> forcedResponse;
    // The data reports of the next block read are this long (0: as usual).
    int nextBlockReportLength = 0;

    // Forgets a transfer in progress (the device was unplugged).
    void resetTransfer();

private:
    struct PendingBlock
    {
        bool active = false;
        uint8_t code = 0;
        uint8_t param1 = 0;
        int expected = 0;          // announced payload bytes
        int reportsExpected = 0;
        int reportsReceived = 0;
        double lastT = 0;
        std::vector<uint8_t> data;
    };

    void checkGap(double t, const char *what);
    void execute(const uint8_t b[8], double t);
    void beginBlock(const uint8_t b[8], int length, double t);
    void finishBlock();
    bool needsSettle(uint8_t code) const;
    void respond(std::initializer_list<uint8_t> values);
    void queueInput(std::deque<std::vector<uint8_t>> &queue, std::vector<uint8_t> report);
    void violation(const std::string &text) { m_sink(text); }

    Identity m_id;
    ViolationSink m_sink;
    PendingBlock m_block;
    // The earliest moment the next command report may come, and why.
    double m_notBefore = -1e300;
    std::string m_notBeforeReason;
    bool m_haveResponse = false;
    uint8_t m_response[8] = {};
    std::vector<uint8_t> m_bulkAfterResponse;
};

} // namespace vmouse
