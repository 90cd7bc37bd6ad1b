// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// DPI values to sensor register values, and the DPI bytes of the device profile blocks:
// pure functions, no I/O.

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace dpi {

constexpr int maxStages = 8;

struct Registers
{
    std::array<uint8_t, maxStages> stage{};   // one register byte per stage, stage 1 first
    uint8_t highBits = 0;                      // bit i = bit 8 of stage i's register ("3389")
};

// Register value of one DPI value for a sensor. Values are not clamped: the formula is applied
// and the result truncated to a byte. Sensors without a rule of their own take the default one.
uint8_t registerValue(const std::string &sensorType, int value);

// Converts at most eight values (further ones are ignored).
Registers convert(const std::string &sensorType, const std::vector<int> &values);

// Bits 0..stageCount-1 set.
uint8_t stageEnableMask(int stageCount);

// The eight bytes sent to a "553" device: positions from stageCount up to the last value given
// are marked unused (0x80).
std::array<uint8_t, maxStages> registers553(const Registers &registers, int stageCount, int valueCount);

// Writes the stage registers (both axes), the enable mask and, for sensor "3389", the
// high-bit byte into a 128-byte device profile block.
void applyToProfileBlock(uint8_t *block128, const Registers &registers, int stageCount,
                         const std::string &sensorType);

} // namespace dpi
