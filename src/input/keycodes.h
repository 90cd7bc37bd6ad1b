// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Key codes of the device: one byte, the USB HID keyboard usage for keys and 0xF0..0xF4 for
// mouse buttons. Keystrokes arrive as (set-1 scan code, flags) pairs as the Windows low-level
// keyboard hook reports them; every capture path feeds that same form, so one pair of tables
// serves every system. Nothing in here allocates, blocks or touches Qt: it sits in the path of
// every keystroke and click of the desktop.

#include <cstddef>
#include <cstdint>

namespace keycodes {

// Bits of the low-level keyboard record's flags that the translation looks at.
constexpr uint32_t FlagExtended = 0x01; // the E0 prefix
constexpr uint32_t FlagAltDown = 0x20;

// Mouse button key codes.
constexpr uint8_t MouseLeft = 0xF0;
constexpr uint8_t MouseRight = 0xF1;
constexpr uint8_t MouseMiddle = 0xF2;

// Low-level mouse messages that can carry a button report.
constexpr uint32_t WmLButtonDown = 0x201;
constexpr uint32_t WmLButtonUp = 0x202;
constexpr uint32_t WmLButtonDblClk = 0x203;
constexpr uint32_t WmRButtonDown = 0x204;
constexpr uint32_t WmRButtonUp = 0x205;
constexpr uint32_t WmRButtonDblClk = 0x206;
constexpr uint32_t WmMButtonDown = 0x207;
constexpr uint32_t WmMButtonUp = 0x208;

struct ScanEntry
{
    uint16_t key; // scan code << 8 | extended flag
    uint8_t virtualKey;
};

struct VirtualKeyEntry
{
    uint8_t virtualKey;
    uint8_t usage;
};

// The two tables in key order. The entry for virtual key 0xDC depends on the keyboard's
// backslash key (see KeyTranslator) and is listed with its US value.
extern const ScanEntry scanToVirtualKeyTable[];
extern const size_t scanToVirtualKeyCount;
extern const VirtualKeyEntry virtualKeyToUsageTable[];
extern const size_t virtualKeyToUsageCount;

// Translation plus the last reported state of every key code (auto-repeat filter).
class KeyTranslator
{
public:
    // nonUsBackslash: the backslash key (virtual key 0xDC) is the non-US "\|" key (0x32)
    // instead of the US one (0x31).
    explicit KeyTranslator(bool nonUsBackslash = false);

    // (scan code, flags) -> virtual-key code, 0 when the key has no entry. A scan code above
    // 255 reads as 0. Ctrl+Break (0x46 extended) reads as Pause, Alt+Print Screen (0x54 with
    // the Alt flag) as Print Screen.
    uint8_t virtualKey(uint32_t scanCode, uint32_t flags) const;
    uint8_t usage(uint8_t virtualKey) const { return m_vkToUsage[virtualKey]; }
    // Both steps: the key code of a keystroke, 0 when it has none.
    uint8_t keyCode(uint32_t scanCode, uint32_t flags) const;

    // One keystroke: returns the key code to report, or 0 when nothing is reported (no key
    // code, an auto-repeated press, or a release whose press was never seen).
    uint8_t keyEvent(uint32_t scanCode, uint32_t flags, bool isDown);
    bool isDown(uint8_t code) const { return m_keyState[code] != 0; }

private:
    uint8_t m_scanToVk[256][2];
    uint8_t m_vkToUsage[256];
    uint8_t m_keyState[256];
};

struct MouseButton
{
    uint8_t code; // 0: not a button report
    bool isDown;
};
// Button message -> button code and direction. Double-click messages and anything outside
// 0x201..0x208 give code 0.
MouseButton mouseButtonFromMessage(uint32_t message);

// Linux evdev key code (X keycode - 8) -> the (scan code, flags) the tables expect; false when
// the key has no set-1 counterpart.
bool scanCodeFromEvdev(uint32_t evdevCode, uint32_t *scanCode, uint32_t *flags);

} // namespace keycodes
