// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/dpiconversion.h"

#include <algorithm>
#include <cstring>

namespace dpi {

namespace {

struct Threshold
{
    int dpi;
    uint8_t code;
};

// Sensor "3050": the code of the first threshold the value does not exceed.
constexpr Threshold table3050[] = {
    {250, 0x01},  {500, 0x02},  {750, 0x03},  {1000, 0x04}, {1250, 0x05}, {1500, 0x06},
    {1750, 0x07}, {2000, 0x08}, {2500, 0x45}, {3000, 0x46}, {3500, 0x47}, {4000, 0x48},
};

} // namespace

uint8_t registerValue(const std::string &sensorType, int value)
{
    if (sensorType == "3360")
        return static_cast<uint8_t>(value / 100 - 1);
    if (sensorType == "3050") {
        for (const Threshold &t : table3050)
            if (value <= t.dpi)
                return t.code;
        return 0;
    }
    if (sensorType == "3389")
        return static_cast<uint8_t>(value / 50);
    if (value <= 5000)
        return static_cast<uint8_t>(value / 100 - 1);
    return static_cast<uint8_t>((value / 200) | 0x40);
}

Registers convert(const std::string &sensorType, const std::vector<int> &values)
{
    Registers r;
    const int count = std::min<int>(static_cast<int>(values.size()), maxStages);
    for (int i = 0; i < count; ++i) {
        r.stage[i] = registerValue(sensorType, values[i]);
        if (sensorType == "3389" && values[i] > 12799)
            r.highBits |= static_cast<uint8_t>(1u << i);
    }
    return r;
}

uint8_t stageEnableMask(int stageCount)
{
    const int n = std::clamp(stageCount, 0, maxStages);
    return static_cast<uint8_t>((1u << n) - 1);
}

std::array<uint8_t, maxStages> registers553(const Registers &registers, int stageCount, int valueCount)
{
    std::array<uint8_t, maxStages> out = registers.stage;
    const int last = std::min(valueCount, maxStages);
    for (int i = std::max(stageCount, 0); i < last; ++i)
        out[i] = 0x80;
    return out;
}

void applyToProfileBlock(uint8_t *block128, const Registers &registers, int stageCount,
                         const std::string &sensorType)
{
    std::memcpy(block128 + 84, registers.stage.data(), maxStages);
    std::memcpy(block128 + 92, registers.stage.data(), maxStages);
    block128[100] = stageEnableMask(stageCount);
    if (sensorType == "3389") {
        block128[82] = registers.highBits;
        block128[83] = registers.highBits;
    }
}

} // namespace dpi
