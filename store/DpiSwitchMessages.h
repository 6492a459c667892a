#pragma once

#include <QString>

// Tray texts shown when the DPI stage is changed on the mouse, one per stage
// (index 0 for stage 1). The language strings replace the defaults.
extern QString dpiSwitchMessages[8];
