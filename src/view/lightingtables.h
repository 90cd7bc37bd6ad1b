// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Lighting effects, colours and parameter block 0: pure functions, no I/O.

#include <QVariantList>

#include <array>
#include <cstdint>
#include <vector>

namespace lighting {

// What the firmware gets for one effect choice of the lighting page.
struct Effect
{
    uint8_t mode = 0;
    uint8_t p1 = 0;
    uint8_t p2 = 0;
    bool operator==(const Effect &o) const { return mode == o.mode && p1 == o.p1 && p2 == o.p2; }
};

// RGB devices: effect index, speed step (0..4) and brightness step (0..4) of the page.
Effect colorfulEffect(uint8_t effect, uint8_t speedStep, uint8_t brightnessStep);

// Single-colour devices. p2 is the value the "553" family gets; the "560" family replaces it.
Effect plainEffect(uint8_t effect, uint8_t speedStep, uint8_t brightnessStep, bool is55328);

using Colours = std::array<uint8_t, 24>;

// Eight colours R, G, B from up to 24 values; missing values are 0, further ones ignored.
Colours colours(const std::vector<int> &values);

// True when the eighth colour is not black (the "55328" variant then takes all eight colours,
// otherwise only the first one as a fixed colour).
bool hasEighthColour(const Colours &c);

using ParameterBlock0 = std::array<uint8_t, 64>;

// Parameter block 0: the first six values as bytes, the rest zero.
ParameterBlock0 parameterBlock0(const std::vector<int> &values);

// Entries of the lighting page's mode list: four base modes, three more on RGB devices, four
// more of those with the long list, one more on the alternative 553 firmware.
int modeCount(bool isColorful, bool longList, bool is55328);

// A stored mouse/lightValue (mode index, speed step, brightness step) as the lighting page takes
// it: a value that is no number or lies outside its range (the mode list, steps 0..4) becomes
// the page's default (mode 1, speed step 2, brightness step 4).
std::vector<int> pageLight(const QVariantList &stored, int modeCount);

// Parameter block 0 as the report-rate row builds it: the rate code, the active DPI stage
// (0-based), the profile's mouse/lightValue (mode index, speed step, brightness step; mode 6
// goes as 7, the speed step as its code 1, 3, 4, 5, 7) and the selected colour slot.
ParameterBlock0 parameterBlock0(uint8_t rateCode, uint8_t dpiStage, const std::vector<int> &lightValue,
                                uint8_t colourSlot);

} // namespace lighting
