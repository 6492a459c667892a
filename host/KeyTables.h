#pragma once

// Key-code vocabulary of the input capture, shared by every platform and
// free of Qt so that the Windows hooks use the very same tables.
//
// A keyboard event is described the way the Windows low-level keyboard hook
// reports it: a PC scan code of set 1, the extended flag (the key was sent
// with an E0 prefix) and the event flags. Two tables turn it into a USB HID
// keyboard usage code: scan code -> Windows virtual key -> HID usage.

#include <cstdint>
#include <map>

namespace keys {

// Flags of a low-level keyboard event.
constexpr unsigned FlagExtended = 0x01;
constexpr unsigned FlagAltDown = 0x20;

// Mouse messages of the low-level mouse hook.
constexpr unsigned LButtonDown = 0x201;
constexpr unsigned LButtonUp = 0x202;
constexpr unsigned LButtonDblClk = 0x203;
constexpr unsigned RButtonDown = 0x204;
constexpr unsigned RButtonUp = 0x205;
constexpr unsigned RButtonDblClk = 0x206;
constexpr unsigned MButtonDown = 0x207;
constexpr unsigned MButtonUp = 0x208;

// Button codes of the key-code vocabulary.
constexpr uint8_t LeftButton = 0xF0;
constexpr uint8_t RightButton = 0xF1;
constexpr uint8_t MiddleButton = 0xF2;

struct KeyTables
{
    // Key: scan code * 256 + extended flag; value: virtual-key code.
    std::map<uint16_t, uint8_t> scanToVirtualKey;
    // Key: virtual-key code; value: HID usage code.
    std::map<uint8_t, uint8_t> virtualKeyToHid;

    // The backslash key (virtual key DC) reports HID 0x32 instead of 0x31
    // when alternateBackslash is set.
    static KeyTables build(bool alternateBackslash);
};

// HID usage code of one keyboard event, 0 when the key has none.
// scanCode is what the hook reports; codes above 255 count as 0.
uint8_t translateKey(const KeyTables &tables, unsigned scanCode, bool extended, unsigned flags);

struct MouseButtonEvent
{
    uint8_t code = 0;
    bool pressed = false;
};

// The button event of a mouse message; false for messages that are not
// reported (double clicks, movement, wheel, other buttons).
bool mouseButtonForMessage(unsigned message, MouseButtonEvent *event);

// Which keys are down, by HID usage code, so that a held key's auto-repeat
// gives one press.
class KeyState
{
public:
    // True when the event changes the key's state and must be reported.
    bool change(uint8_t hid, bool pressed)
    {
        if (m_down[hid] == uint8_t(pressed))
            return false;
        m_down[hid] = uint8_t(pressed);
        return true;
    }
    bool isDown(uint8_t hid) const { return m_down[hid] != 0; }

private:
    uint8_t m_down[256] = {};
};

// Where a key of the Linux input layer (its evdev code, which is the X
// keycode minus 8) sits in PC scan set 1, as the Windows low-level hook
// reports the same physical key.
struct ScanCode
{
    uint8_t code = 0;
    bool extended = false;
};

// False for keys that have no scan code on a PC keyboard.
bool scanCodeForLinuxKey(unsigned evdevCode, ScanCode *scan);

} // namespace keys
