// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The desktop's own pointer options that the system settings page changes: pointer speed,
// double-click time and lines per wheel notch. Each setter reports whether the desktop took
// the value.

#include <QtGlobal>

class PointerSettings
{
public:
    virtual ~PointerSettings() = default;
    // speed: 1 (slowest) .. 20 (fastest), 10 being the usual default.
    virtual bool setMouseSpeed(int speed) = 0;
    virtual bool setDoubleClickTime(int milliseconds) = 0;
    virtual bool setWheelScrollLines(uint lines) = 0;
    // False for a stand-in that keeps the values to itself: the desktop is not changed.
    virtual bool changesDesktop() const { return true; }
};

// Takes every value and changes nothing: demo mode's stand-in for the desktop.
class MemoryPointerSettings : public PointerSettings
{
public:
    bool setMouseSpeed(int) override { return true; }
    bool setDoubleClickTime(int) override { return true; }
    bool setWheelScrollLines(uint) override { return true; }
    bool changesDesktop() const override { return false; }
};

// The settings in use: the desktop's unless another object was installed.
PointerSettings &pointerSettings();
// Installs a replacement (not owned); nullptr restores the desktop's.
void setPointerSettings(PointerSettings *settings);
// The desktop's settings of this system.
PointerSettings &systemPointerSettings();

namespace pointer {
// Slider steps (0..10) to values: speed 1, 2, 4 .. 20 and double-click time 900 ms down to
// 200 ms. Steps beyond 10 count as 10, so no input can produce a value the desktop rejects or
// an unsigned wrap-around.
int mouseSpeedFromStep(uint step);
int doubleClickTimeFromStep(uint step);
} // namespace pointer
