// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Button definitions and their two device forms: pure functions, no I/O.
//
// A definition as the pages hold it is four bytes code0..code3. The key-matrix commands take
// 16 entries of the "key-matrix form" (64 bytes); parameter block 1 carries the 16 buttons in
// the "parameter form", stored in reverse byte order.

#include <array>
#include <cstdint>

namespace keys {

using KeyDefinition = std::array<uint8_t, 4>;
using KeyMatrix = std::array<uint8_t, 64>;
using Definitions = std::array<KeyDefinition, 16>;

constexpr int buttonCount = 16;

// Type bytes (code0) of a definition.
enum Type : uint8_t {
    MouseButton = 0x00,
    Fire = 0x01,
    KeyCombination = 0x02,
    Media = 0x03,
    Macro = 0x04,
    DpiFunction = 0x05,
    WindowsFunction = 0x06,
    Shortcut = 0x07,
    GunFunction = 0x08,
    FactoryOnly = 0xFF,
};

constexpr uint8_t sniperFunction = 0x04;   // code2 of a DPI function

// Mouse button with code2 0x1E and code3 0x02: the one fixed double-fire value.
bool isDoubleFire(const KeyDefinition &ui);

// Key-matrix form of a definition. The sniper key differs between the firmware families.
KeyDefinition toKeyMatrixForm(const KeyDefinition &ui, bool family560);

// Parameter-form bytes of a definition, in the order they are stored in parameter block 1.
KeyDefinition toParameterForm(const KeyDefinition &ui);

// The key matrices sent for one set of definitions.
struct MatrixSet
{
    std::array<KeyMatrix, 4> matrices{};   // M1..M4; only M1 is meaningful when count is 1
    int count = 1;                         // 1 without gun keys, 4 with
    // Byte 2 of device profile block 0 on a "560" device (0x07, 0x0F, 0x1F); 0 = leave it.
    uint8_t gunMask = 0;
};

// Builds M1 from the definitions and, when a gun key is present, M2..M4 from the stored
// firmware matrix with the gun periods of guns 1..3 in entry 0.
MatrixSet buildKeyMatrices(const Definitions &ui, const Definitions &firmware,
                           const std::array<uint8_t, 3> &gunPeriods, bool family560);

// The 64 bytes of 16 definitions, entry n at 4n.
KeyMatrix flatten(const Definitions &definitions);

} // namespace keys
