// SPDX-License-Identifier: GPL-3.0-or-later
// "devConfig.ini" rows, and what is made from them: the table written back and the udev rules.
#include "app/devicetable.h"
#include "fuzz.h"

FUZZ_INI(file)
{
    const QList<DeviceEntry> entries = devicetable::read(file);
    devicetable::format(entries);
    devicetable::udevRules(entries);
}
