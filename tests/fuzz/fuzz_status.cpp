// SPDX-License-Identifier: GPL-3.0-or-later
// Reads of the status interface: any length, any bytes.
#include "device/statusreport.h"
#include "fuzz.h"

FUZZ_INPUT(data, size)
{
    status::Report report;
    if (status::decode(data, static_cast<int>(size), report))
        (void)(status::icType(report.lightMode) + status::sensorType(report.speed));
}
