// SPDX-License-Identifier: GPL-3.0-or-later
// HID report descriptors as a device hands them to --probe.
#include "device/reportdescriptor.h"
#include "fuzz.h"

FUZZ_INPUT(data, size)
{
    reportdescriptor::parse(data, size);
}
