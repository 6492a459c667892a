#pragma once

// Keyboard events as the Windows low-level hook reports them and the HID
// usage code each must give. Shared by the Qt test and the Windows check
// program (scripts/check-windows), so both platforms are held to one list.

#include "host/KeyTables.h"

struct HostKeyCase
{
    const char *name;
    unsigned scanCode;
    bool extended;
    unsigned flags;
    unsigned hid; // 0: no event
};

inline constexpr HostKeyCase hostKeyCases[] = {
    {"A", 0x1E, false, 0, 0x04},
    {"Enter", 0x1C, false, 0, 0x28},
    {"Keypad Enter", 0x1C, true, keys::FlagExtended, 0x58},
    {"Pause", 0x45, false, 0, 0x48},
    {"Num Lock", 0x45, true, keys::FlagExtended, 0x53},
    {"Ctrl+Pause", 0x46, true, keys::FlagExtended, 0x48},
    {"Scroll Lock", 0x46, false, 0, 0x47},
    {"Print Screen", 0x37, true, keys::FlagExtended, 0x46},
    {"Alt+Print Screen", 0x54, false, keys::FlagAltDown, 0x46},
    {"scan 54 without Alt", 0x54, false, 0, 0},
    {"keypad *", 0x37, false, 0, 0x55},
    {"left Windows", 0x5B, true, keys::FlagExtended, 0xE3},
    {"right Windows", 0x5C, true, keys::FlagExtended, 0},
    {"Menu", 0x5D, true, keys::FlagExtended, 0x65},
    {"left Ctrl", 0x1D, false, 0, 0xE0},
    {"right Ctrl", 0x1D, true, keys::FlagExtended, 0xE4},
    {"left Shift", 0x2A, false, 0, 0xE1},
    {"right Shift", 0x36, true, keys::FlagExtended, 0xE5},
    {"right Alt", 0x38, true, keys::FlagExtended, 0xE6},
    {"keypad /", 0x35, true, keys::FlagExtended, 0x54},
    {"slash", 0x35, false, 0, 0x38},
    {"Home", 0x47, true, keys::FlagExtended, 0x4A},
    {"keypad 7", 0x47, false, 0, 0x5F},
    {"keypad 0", 0x52, false, 0, 0x62},
    {"Delete", 0x53, true, keys::FlagExtended, 0x4C},
    {"F12", 0x58, false, 0, 0x45},
    {"F23", 0x6E, false, 0, 0x72},
    {"ISO backslash", 0x56, false, 0, 0x64},
    {"backslash", 0x2B, false, 0, 0x31},
    {"scan code past 255", 0x11E, false, 0, 0},
    {"unknown scan", 0x7F, false, 0, 0},
};
