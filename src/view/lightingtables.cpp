// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/lightingtables.h"

#include <algorithm>

namespace lighting {

namespace {

// Step 0..4 of a slider as an index into a five-entry table; -1 outside.
int step(uint8_t s)
{
    return s <= 4 ? s : -1;
}

uint8_t pick(const uint8_t (&table)[5], uint8_t s)
{
    const int i = step(s);
    return i < 0 ? 0 : table[i];
}

uint8_t brightness(uint8_t s)
{
    static const uint8_t table[5] = {0, 64, 128, 192, 255};
    return pick(table, s);
}

} // namespace

Effect colorfulEffect(uint8_t effect, uint8_t speedStep, uint8_t brightnessStep)
{
    static const uint8_t speed10[5] = {10, 7, 5, 3, 1};
    static const uint8_t speed20[5] = {20, 17, 15, 13, 11};
    static const uint8_t speed15[5] = {15, 13, 10, 7, 5};
    static const uint8_t speed30[5] = {30, 27, 24, 22, 20};
    const uint8_t b = brightness(brightnessStep);
    switch (effect) {
    case 0: return {1, b, 0};
    case 1: return {3, 0, pick(speed10, speedStep)};
    case 2: return {4, 0, pick(speed10, speedStep)};
    case 3: return {0, 0, 0};
    case 4: return {2, b, 0};
    case 5: return {5, b, pick(speed10, speedStep)};
    case 6: return {6, 0, 0};
    case 7: return {7, b, 0};
    case 8: return {8, b, pick(speed20, speedStep)};
    case 9: return {9, b, pick(speed15, speedStep)};
    case 10: return {10, b, pick(speed30, speedStep)};
    default: return {0, 0, 0};
    }
}

Effect plainEffect(uint8_t effect, uint8_t speedStep, uint8_t brightnessStep, bool is55328)
{
    static const uint8_t level[5] = {1, 3, 5, 7, 10};
    static const uint8_t neon[5] = {30, 24, 18, 12, 6};
    const uint8_t p2 = is55328 ? 1 : 2;
    switch (effect) {
    case 0: return {1, pick(level, brightnessStep), p2};
    case 1: return {2, static_cast<uint8_t>(speedStep + 1), p2};
    case 2: return {3, pick(neon, speedStep), p2};
    case 4: return {2, static_cast<uint8_t>(speedStep + 1), static_cast<uint8_t>(is55328 ? 3 : 2)};
    default: return {0, 0, static_cast<uint8_t>(is55328 ? 0 : 2)};
    }
}

Colours colours(const std::vector<int> &values)
{
    Colours c{};
    const size_t n = std::min(values.size(), c.size());
    for (size_t i = 0; i < n; ++i)
        c[i] = static_cast<uint8_t>(values[i]);
    return c;
}

bool hasEighthColour(const Colours &c)
{
    return c[21] || c[22] || c[23];
}

ParameterBlock0 parameterBlock0(const std::vector<int> &values)
{
    ParameterBlock0 block{};
    const size_t n = std::min<size_t>(values.size(), 6);
    for (size_t i = 0; i < n; ++i)
        block[i] = static_cast<uint8_t>(values[i]);
    return block;
}

int modeCount(bool isColorful, bool longList, bool is55328)
{
    return 4 + (isColorful ? 3 + (longList ? 4 : 0) : 0) + (is55328 ? 1 : 0);
}

std::vector<int> pageLight(const QVariantList &stored, int modeCount)
{
    const int top[3] = {modeCount - 1, 4, 4};
    const int fallback[3] = {1, 2, 4};
    std::vector<int> light(3);
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        const int n = i < stored.size() ? stored.at(i).toString().trimmed().toInt(&ok) : 0;
        light[i] = ok && n >= 0 && n <= top[i] ? n : fallback[i];
    }
    return light;
}

ParameterBlock0 parameterBlock0(uint8_t rateCode, uint8_t dpiStage, const std::vector<int> &lightValue,
                                uint8_t colourSlot)
{
    static const uint8_t speedCodes[5] = {1, 3, 4, 5, 7};
    auto at = [&lightValue](size_t i) { return i < lightValue.size() ? lightValue[i] : 0; };
    const int mode = at(0);
    const int speed = at(1);
    return parameterBlock0({rateCode, dpiStage, mode == 6 ? 7 : mode, at(2) * 63,
                            speed >= 0 && speed <= 4 ? speedCodes[speed] : 0, colourSlot});
}

} // namespace lighting
