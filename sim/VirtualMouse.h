#pragma once

// The virtual mouse: a firmware model of the KELDA X7 (both firmware
// families) behind the hidapi C functions. Test executables link it in place
// of hidapi; the real program runs against it by preloading
// libkelda-virtual-mouse.so. This header is its C++ control API for tests
// that run in the same process; the preloaded case is driven through the
// control socket and the kelda-vmouse tool (see README.md).

#include <array>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace vmouse {

// What the virtual bus presents. The defaults match the shipped device list.
struct Config
{
    int family = 560;              // 553 or 560
    bool encoded = false;          // command and response blocks enciphered
    std::string code = "482916";   // secrecy code, six characters
    int reportLength = 32;         // length of the long data reports
    bool colourful = true;         // a mouse without lighting ignores colour commands
    bool keyboard = false;         // the keyboard 04d9:8008 is attached as well
    bool duplicateCommand = false; // the command collection is listed twice
    bool denyOpen = false;         // opens fail with EACCES (no udev rule)

    // Reads KELDA_VMOUSE_CONFIG (a file of key = value lines), then the
    // KELDA_VMOUSE_* variables, which win over the file. Problems are written
    // to standard error and leave the default in place.
    static Config fromEnvironment();
    // Applies one key = value pair (the file's keys); false with a reason.
    bool set(const std::string &key, const std::string &value, std::string *error);
};

// One hidapi call on an interface, as the transcript holds it.
struct Record
{
    double tMs = 0;        // since the library loaded, virtual time included
    std::string dev;       // "mouse" or "keyboard"
    std::string iface;     // "cmd" or "read"
    std::string op;        // open, close, send_feature, get_feature, write, read
    std::string data;      // lowercase hex, as the program passed or received it
    int ret = 0;
    std::string plain;     // deciphered command/response block of an enciphered device
    std::string toJson() const;
};

// The settings the firmware keeps, as commands set them and queries report
// them. Fields of the family not in use keep their start values.
struct FirmwareState
{
    // 553 family
    uint8_t reportRate = 1;
    std::array<uint8_t, 4> options553{};
    uint8_t currentKeyMatrix = 1;
    uint8_t currentDpi = 2;
    uint8_t dpiStageCount = 6;
    std::array<uint8_t, 8> dpiCodes{};
    std::array<uint8_t, 3> fixedColour{};
    uint8_t ledEffect = 0, ledOption1 = 0, ledOption2 = 0;
    uint8_t stageColourType = 0;
    std::vector<uint8_t> stageColours;
    std::array<uint8_t, 4> gunData{};
    // 560 family (profile numbers 1..5 index the per-profile arrays)
    std::array<uint8_t, 2> options560{};
    uint8_t currentProfile = 1;
    std::array<uint8_t, 6> profileReportRate{};
    std::array<uint8_t, 6> profileCurrentDpi{};
    std::array<std::array<uint8_t, 128>, 5> profileBlocks{};
    // both families
    std::map<int, std::vector<uint8_t>> keyMatrices;
    std::map<int, std::vector<uint8_t>> macros;
    bool keyLayer = false;
    int commands = 0;        // command reports accepted
    int ignoredCommands = 0; // codes the family does not know

    std::string toJson() const;
};

// ---- set-up ----
// Fresh devices and firmware state; transcript and violations cleared.
void configure(const Config &config);
Config config();

// ---- what happened ----
std::vector<Record> transcript();
void clearTranscript();
// Off: calls are no longer kept in memory (the transcript file, if any, is
// still written), so that a long test measures the program's memory only.
void setRecording(bool on);
std::vector<std::string> violations();
void clearViolations();
FirmwareState state(int device = 0);           // 0 mouse, 1 keyboard
void editState(const std::function<void(FirmwareState &)> &edit, int device = 0);
int openHandles();                             // handles not yet closed
std::string commandPath(int device = 0);       // path of the command collection
std::string readPath(int device = 0);

// ---- events and faults ----
void pressDpi(int stage);          // event 06 07 00 stage on the read interface
void setLayer(bool on);            // event 06 0D state 00
void sendEvent(const std::vector<uint8_t> &report); // any report on the read interface
void unplug();                     // opens fail, open handles error, not enumerated
void plug();
bool isPlugged();
void setMuted(bool muted);         // queries get no answer
// A feature report read is left unanswered: the host gives up after 5 s
// with ETIMEDOUT (with virtual time: the clock advances 5000 ms at once).
void setStalled(bool on);
void dropInputReports(int count);  // the next count input reports on cmd are lost
void corruptNextReport();          // one byte of the next report sent is changed
void setDenyOpen(bool deny);
// The mouse is pulled out right after the Nth data report of block writes
// has been taken (counted from now), or right after the Nth input report of
// block reads has been handed to the program.
void unplugAfterDataReports(int count);
void unplugAfterBlockReports(int count);
// The next response feature report is exactly these bytes (garbage, or a
// report of the wrong length; empty: a read of 0 bytes), and a block read it
// answers sends no data.
void forceNextResponse(const std::vector<uint8_t> &bytes);
// The data reports of the next block read are this many bytes long.
void setNextBlockReportLength(int length);

// ---- event flood ----
// Sends perSecond events for the given time from a thread of its own, paced
// on the real clock: DPI stages 1..8 in turn alternating with the key layer
// switched on and off. False if one is running already.
struct FloodStatus
{
    bool running = false;
    int sent = 0;
    int total = 0;
    int lastDpi = -1;   // stage of the last DPI event sent, -1 none
    int lastLayer = -1; // state of the last layer event sent, -1 none
};
bool flood(int perSecond, double seconds);
FloodStatus floodStatus();
void stopFlood(); // ends a running flood and waits for its thread

// ---- clock ----
// Milliseconds since the library loaded plus all virtual advances.
double nowMs();
// Tests replace the program's pauses with advances of this clock.
void advanceClock(double ms);
// With virtual time, a read on the command interface that nothing can answer
// returns at once (after advancing the clock) instead of waiting.
void setVirtualTime(bool on);

// ---- control ----
// One line of the control protocol ("press-dpi 3", "state", ...); the
// control socket and in-process tests share it. Replies start with "error:"
// on failure.
std::string control(const std::string &line);
// Path of the control socket: KELDA_VMOUSE_SOCKET or a per-user default.
std::string socketPath();

// ---- cipher (the firmware's own) ----
void encipher(uint8_t block[8], const std::string &code);
void decipher(uint8_t block[8], const std::string &code);

std::string toHex(const uint8_t *data, size_t len);

} // namespace vmouse
