#pragma once

#include "device/Hid_Thread.h"

#include <array>
#include <initializer_list>

// The steps every command of both families is built from. Internal to the
// device link: the command files and the connect operation use them.
namespace transport {

// Writes "cmd Failed " + tag to the debug log.
void logFailure(const char *tag);

// Refuses (with the failure line) a command asked for while device work is
// under way on this thread: see DeviceGate.
bool nestedInDeviceWork(const char *tag);

// Step 1 and 2 of every command: take the channel, then build the command
// block (code, six parameters, checksum) behind report ID 0.
bool beginCommand(Hid_Thread &h, const char *tag, uchar code, std::array<uchar, 6> params = {});

// A set command: the block, then the payload (if any) as data reports; an
// 8 ms pause after it when pauseAfter.
void setCommand(Hid_Thread &h, const char *tag, uchar code, std::array<uchar, 6> params,
                bool settle, const uchar *payload = nullptr, int length = 0, bool pauseAfter = false);

// A query without data: the out-parameters preset the response area, so a
// device that does not answer hands them back unchanged. True when an
// answer to this query came.
bool query(Hid_Thread &h, const char *tag, uchar code, std::initializer_list<uchar *> outs,
           std::array<uchar, 6> params = {});

// Every way out of a transfer: the command handle closed, the channel given
// back; returns result.
bool endTransfer(Hid_Thread &h, bool result);

// The view's current profile as the 560 commands number it (1-based).
uchar profileNumber(const HidOwner *owner);

} // namespace transport
