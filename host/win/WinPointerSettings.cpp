// Pointer settings of Windows: saved in the user profile and broadcast to
// every window (SPIF_UPDATEINIFILE | SPIF_SENDCHANGE).
#ifdef _WIN32

#include "host/PointerSettings.h"

#include <windows.h>

#include <cstdint>

namespace pointer {

namespace {
constexpr UINT SaveAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE; // 3
}

bool applyCursorSpeed(unsigned step)
{
    // SPI_SETMOUSESPEED takes the speed itself as the pointer argument.
    const uintptr_t speed = cursorSpeed(step);
    return SystemParametersInfoW(SPI_SETMOUSESPEED, 0, reinterpret_cast<PVOID>(speed), SaveAndBroadcast) != 0;
}

bool applyDoubleClickTime(unsigned step)
{
    return SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, doubleClickTime(step), nullptr, SaveAndBroadcast) != 0;
}

bool applyScrollLines(unsigned lines)
{
    return SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, scrollLines(lines), nullptr, SaveAndBroadcast) != 0;
}

} // namespace pointer

#endif // _WIN32
