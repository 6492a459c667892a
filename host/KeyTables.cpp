#include "host/KeyTables.h"

namespace keys {

namespace {

constexpr uint16_t E = 1; // extended flag in a scan-table key

constexpr uint16_t scan(unsigned code, uint16_t extended = 0)
{
    return uint16_t(code * 256 + extended);
}

} // namespace

KeyTables KeyTables::build(bool alternateBackslash)
{
    KeyTables t;
    t.scanToVirtualKey = {
        {scan(0x01), 0x1B}, {scan(0x02), 0x31}, {scan(0x03), 0x32}, {scan(0x04), 0x33},
        {scan(0x05), 0x34}, {scan(0x06), 0x35}, {scan(0x07), 0x36}, {scan(0x08), 0x37},
        {scan(0x09), 0x38}, {scan(0x0A), 0x39}, {scan(0x0B), 0x30}, {scan(0x0C), 0xBD},
        {scan(0x0D), 0xBB}, {scan(0x0E), 0x08}, {scan(0x0F), 0x09}, {scan(0x10), 0x51},
        {scan(0x11), 0x57}, {scan(0x12), 0x45}, {scan(0x13), 0x52}, {scan(0x14), 0x54},
        {scan(0x15), 0x59}, {scan(0x16), 0x55}, {scan(0x17), 0x49}, {scan(0x18), 0x4F},
        {scan(0x19), 0x50}, {scan(0x1A), 0xDB}, {scan(0x1B), 0xDD}, {scan(0x1C), 0x0D},
        // Keypad Enter: virtual key 0E is unassigned by Windows; it stands
        // for Keypad Enter in the second table.
        {scan(0x1C, E), 0x0E},
        {scan(0x1D), 0xA2}, {scan(0x1D, E), 0xA3}, {scan(0x1E), 0x41}, {scan(0x1F), 0x53},
        {scan(0x20), 0x44}, {scan(0x21), 0x46}, {scan(0x22), 0x47}, {scan(0x23), 0x48},
        {scan(0x24), 0x4A}, {scan(0x25), 0x4B}, {scan(0x26), 0x4C}, {scan(0x27), 0xBA},
        {scan(0x28), 0xDE}, {scan(0x29), 0xC0}, {scan(0x2A), 0xA0}, {scan(0x2B), 0xDC},
        {scan(0x2C), 0x5A}, {scan(0x2D), 0x58}, {scan(0x2E), 0x43}, {scan(0x2F), 0x56},
        {scan(0x30), 0x42}, {scan(0x31), 0x4E}, {scan(0x32), 0x4D}, {scan(0x33), 0xBC},
        {scan(0x34), 0xBE}, {scan(0x35), 0xBF}, {scan(0x35, E), 0x6F},
        // Right Shift is reported with the extended flag only.
        {scan(0x36, E), 0xA1},
        {scan(0x37), 0x6A}, {scan(0x37, E), 0x2C}, {scan(0x38), 0xA4}, {scan(0x38, E), 0xA5},
        {scan(0x39), 0x20}, {scan(0x3A), 0x14}, {scan(0x3B), 0x70}, {scan(0x3C), 0x71},
        {scan(0x3D), 0x72}, {scan(0x3E), 0x73}, {scan(0x3F), 0x74}, {scan(0x40), 0x75},
        {scan(0x41), 0x76}, {scan(0x42), 0x77}, {scan(0x43), 0x78}, {scan(0x44), 0x79},
        // 45 is Pause and 45e Num Lock, as the low-level hook reports them.
        {scan(0x45), 0x13}, {scan(0x45, E), 0x90},
        {scan(0x46), 0x91}, {scan(0x47), 0x67}, {scan(0x47, E), 0x24}, {scan(0x48), 0x68},
        {scan(0x48, E), 0x26}, {scan(0x49), 0x69}, {scan(0x49, E), 0x21}, {scan(0x4A), 0x6D},
        {scan(0x4B), 0x64}, {scan(0x4B, E), 0x25}, {scan(0x4C), 0x65}, {scan(0x4D), 0x66},
        {scan(0x4D, E), 0x27}, {scan(0x4E), 0x6B}, {scan(0x4F), 0x61}, {scan(0x4F, E), 0x23},
        {scan(0x50), 0x62}, {scan(0x50, E), 0x28}, {scan(0x51), 0x63}, {scan(0x51, E), 0x22},
        {scan(0x52), 0x60}, {scan(0x52, E), 0x2D}, {scan(0x53), 0x6E}, {scan(0x53, E), 0x2E},
        {scan(0x56), 0xE2}, {scan(0x57), 0x7A}, {scan(0x58), 0x7B},
        // Left Windows and Menu; right Windows (5Ce) is deliberately absent.
        {scan(0x5B, E), 0x5B}, {scan(0x5D, E), 0x5D},
        {scan(0x6E), 0x86},
    };

    auto &h = t.virtualKeyToHid;
    h = {
        {0x08, 0x2A}, {0x09, 0x2B}, {0x0D, 0x28}, {0x0E, 0x58}, {0x13, 0x48}, {0x14, 0x39},
        {0x1B, 0x29}, {0x20, 0x2C}, {0x21, 0x4B}, {0x22, 0x4E}, {0x23, 0x4D}, {0x24, 0x4A},
        {0x25, 0x50}, {0x26, 0x52}, {0x27, 0x4F}, {0x28, 0x51}, {0x2C, 0x46}, {0x2D, 0x49},
        {0x2E, 0x4C}, {0x30, 0x27},
        {0x5B, 0xE3}, {0x5C, 0xE7}, {0x5D, 0x65}, {0x60, 0x62},
        {0x6A, 0x55}, {0x6B, 0x57}, {0x6D, 0x56}, {0x6E, 0x63}, {0x6F, 0x54},
        {0x90, 0x53}, {0x91, 0x47},
        {0xA0, 0xE1}, {0xA1, 0xE5}, {0xA2, 0xE0}, {0xA3, 0xE4}, {0xA4, 0xE2}, {0xA5, 0xE6},
        {0xBA, 0x33}, {0xBB, 0x2E}, {0xBC, 0x36}, {0xBD, 0x2D}, {0xBE, 0x37}, {0xBF, 0x38},
        {0xC0, 0x35}, {0xC1, 0x87}, {0xC2, 0x85},
        {0xDB, 0x2F}, {0xDC, uint8_t(alternateBackslash ? 0x32 : 0x31)}, {0xDD, 0x30}, {0xDE, 0x34},
        {0xE2, 0x64}, {0xEB, 0x8B}, {0xFF, 0x66},
    };
    auto range = [&h](unsigned firstVk, unsigned lastVk, unsigned firstHid) {
        for (unsigned vk = firstVk; vk <= lastVk; ++vk)
            h[uint8_t(vk)] = uint8_t(firstHid + (vk - firstVk));
    };
    range(0x31, 0x39, 0x1E); // digits 1-9
    range(0x41, 0x5A, 0x04); // A-Z
    range(0x61, 0x69, 0x59); // keypad 1-9
    range(0x70, 0x7B, 0x3A); // F1-F12
    range(0x7C, 0x87, 0x68); // F13-F24
    return t;
}

uint8_t translateKey(const KeyTables &tables, unsigned scanCode, bool extended, unsigned flags)
{
    const unsigned s = scanCode <= 255 ? scanCode : 0;
    const auto found = tables.scanToVirtualKey.find(scan(s, extended ? E : 0));
    uint8_t v = found == tables.scanToVirtualKey.end() ? 0 : found->second;

    // Ctrl+Pause arrives as 46e; Alt+Print Screen as 54 with Alt down.
    if (s == 0x46 && extended)
        v = 0x13;
    if (s == 0x54 && (flags & FlagAltDown))
        v = 0x2C;
    if (v == 0)
        return 0;

    const auto hid = tables.virtualKeyToHid.find(v);
    return hid == tables.virtualKeyToHid.end() ? 0 : hid->second;
}

bool mouseButtonForMessage(unsigned message, MouseButtonEvent *event)
{
    switch (message) {
    case LButtonDown: *event = {LeftButton, true}; return true;
    case LButtonUp: *event = {LeftButton, false}; return true;
    case RButtonDown: *event = {RightButton, true}; return true;
    case RButtonUp: *event = {RightButton, false}; return true;
    case MButtonDown: *event = {MiddleButton, true}; return true;
    case MButtonUp: *event = {MiddleButton, false}; return true;
    default: return false; // double clicks and everything else
    }
}

bool scanCodeForLinuxKey(unsigned evdevCode, ScanCode *result)
{
    // Codes 1 to 88 of the Linux input layer were laid out after scan set 1,
    // with two exceptions: the low-level hook of Windows reports Num Lock
    // with the extended flag (plain 45 is Pause there) and right Shift as 36e.
    if ((evdevCode >= 1 && evdevCode <= 83) || (evdevCode >= 86 && evdevCode <= 88)) {
        *result = {uint8_t(evdevCode), evdevCode == 69 || evdevCode == 54};
        return true;
    }

    // Everything above 88 was numbered later and needs a table.
    struct Entry { uint16_t evdev; uint8_t code; bool extended; };
    static constexpr Entry table[] = {
        {89, 0x73, false},  // KEY_RO
        {92, 0x79, false},  // KEY_HENKAN
        {93, 0x70, false},  // KEY_KATAKANAHIRAGANA
        {94, 0x7B, false},  // KEY_MUHENKAN
        {96, 0x1C, true},   // KEY_KPENTER
        {97, 0x1D, true},   // KEY_RIGHTCTRL
        {98, 0x35, true},   // KEY_KPSLASH
        {99, 0x37, true},   // KEY_SYSRQ (Print Screen, also with Alt)
        {100, 0x38, true},  // KEY_RIGHTALT
        {102, 0x47, true},  // KEY_HOME
        {103, 0x48, true},  // KEY_UP
        {104, 0x49, true},  // KEY_PAGEUP
        {105, 0x4B, true},  // KEY_LEFT
        {106, 0x4D, true},  // KEY_RIGHT
        {107, 0x4F, true},  // KEY_END
        {108, 0x50, true},  // KEY_DOWN
        {109, 0x51, true},  // KEY_PAGEDOWN
        {110, 0x52, true},  // KEY_INSERT
        {111, 0x53, true},  // KEY_DELETE
        {113, 0x20, true},  // KEY_MUTE
        {114, 0x2E, true},  // KEY_VOLUMEDOWN
        {115, 0x30, true},  // KEY_VOLUMEUP
        {116, 0x5E, true},  // KEY_POWER
        {117, 0x59, false}, // KEY_KPEQUAL
        {119, 0x45, false}, // KEY_PAUSE
        {121, 0x7E, false}, // KEY_KPCOMMA
        {124, 0x7D, false}, // KEY_YEN
        {125, 0x5B, true},  // KEY_LEFTMETA
        {126, 0x5C, true},  // KEY_RIGHTMETA
        {127, 0x5D, true},  // KEY_COMPOSE (the Menu key)
        {128, 0x68, true},  // KEY_STOP
        {140, 0x21, true},  // KEY_CALC
        {142, 0x5F, true},  // KEY_SLEEP
        {143, 0x63, true},  // KEY_WAKEUP
        {155, 0x6C, true},  // KEY_MAIL
        {156, 0x66, true},  // KEY_BOOKMARKS
        {157, 0x6B, true},  // KEY_COMPUTER
        {158, 0x6A, true},  // KEY_BACK
        {159, 0x69, true},  // KEY_FORWARD
        {163, 0x19, true},  // KEY_NEXTSONG
        {164, 0x22, true},  // KEY_PLAYPAUSE
        {165, 0x10, true},  // KEY_PREVIOUSSONG
        {166, 0x24, true},  // KEY_STOPCD
        {172, 0x32, true},  // KEY_HOMEPAGE
        {173, 0x67, true},  // KEY_REFRESH
        {183, 0x64, false}, // KEY_F13
        {184, 0x65, false}, // KEY_F14
        {185, 0x66, false}, // KEY_F15
        {186, 0x67, false}, // KEY_F16
        {187, 0x68, false}, // KEY_F17
        {188, 0x69, false}, // KEY_F18
        {189, 0x6A, false}, // KEY_F19
        {190, 0x6B, false}, // KEY_F20
        {191, 0x6C, false}, // KEY_F21
        {192, 0x6D, false}, // KEY_F22
        {193, 0x6E, false}, // KEY_F23
        {194, 0x76, false}, // KEY_F24
        {217, 0x65, true},  // KEY_SEARCH
        {226, 0x6D, true},  // KEY_MEDIA
    };
    for (const Entry &e : table) {
        if (e.evdev == evdevCode) {
            *result = {e.code, e.extended};
            return true;
        }
    }
    return false;
}

} // namespace keys
