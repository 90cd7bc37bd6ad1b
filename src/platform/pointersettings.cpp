// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/pointersettings.h"

#include <algorithm>

namespace {
PointerSettings *installed = nullptr;
constexpr uint MaxStep = 10;
} // namespace

PointerSettings &pointerSettings()
{
    return installed ? *installed : systemPointerSettings();
}

void setPointerSettings(PointerSettings *settings)
{
    installed = settings;
}

namespace pointer {

int mouseSpeedFromStep(uint step)
{
    const int speed = 2 * int(std::min(step, MaxStep));
    return speed == 0 ? 1 : speed;
}

int doubleClickTimeFromStep(uint step)
{
    return 900 - 70 * int(std::min(step, MaxStep));
}

} // namespace pointer
