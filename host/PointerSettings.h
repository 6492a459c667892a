#pragma once

// The desktop's pointer settings that the system-settings screen changes:
// pointer speed, double-click time and wheel scroll lines. The scene sends
// slider steps (0..10) and a line count (1..100, or 1000 for one screen per
// notch). Qt-free, shared by the Windows and Linux backends.

namespace pointer {

constexpr unsigned MaxStep = 10;
constexpr unsigned ScrollOneScreen = 1000;

// Windows pointer speed (1..20): twice the step, at least 1.
unsigned cursorSpeed(unsigned step);
// Double-click time in ms: 900 at step 0 down to 200 at step 10.
unsigned doubleClickTime(unsigned step);
// Lines per wheel notch, passed through (1000 stays 1000, one screen).
unsigned scrollLines(unsigned lines);
// The GNOME pointer speed (-1..1) of a step: linear, step 5 is 0.
double desktopSpeed(unsigned step);

// Apply one setting to the desktop; false when it could not be applied.
// Implemented once per platform.
bool applyCursorSpeed(unsigned step);
bool applyDoubleClickTime(unsigned step);
bool applyScrollLines(unsigned lines);

} // namespace pointer
