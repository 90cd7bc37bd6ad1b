// SPDX-License-Identifier: GPL-3.0-or-later
// HID report descriptors as a device hands them to --probe.
#include "device/reportdescriptor.h"
#include "fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    reportdescriptor::parse(data, size);
    return 0;
}
