// SPDX-License-Identifier: GPL-3.0-or-later
// Pointer options of the Windows desktop, stored in the user's profile and broadcast.
#include "platform/pointersettings.h"

#include <windows.h>

namespace {
constexpr UINT StoreAndBroadcast = SPIF_UPDATEINIFILE | SPIF_SENDCHANGE;

class WindowsPointer : public PointerSettings
{
public:
    bool setMouseSpeed(int speed) override
    {
        // The speed travels in the pointer argument itself.
        return SystemParametersInfoW(SPI_SETMOUSESPEED, 0, reinterpret_cast<PVOID>(static_cast<INT_PTR>(speed)),
                                     StoreAndBroadcast) != FALSE;
    }
    bool setDoubleClickTime(int milliseconds) override
    {
        return SystemParametersInfoW(SPI_SETDOUBLECLICKTIME, UINT(milliseconds), nullptr, StoreAndBroadcast) != FALSE;
    }
    bool setWheelScrollLines(uint lines) override
    {
        return SystemParametersInfoW(SPI_SETWHEELSCROLLLINES, lines, nullptr, StoreAndBroadcast) != FALSE;
    }
};
} // namespace

PointerSettings &systemPointerSettings()
{
    static WindowsPointer desktop;
    return desktop;
}
