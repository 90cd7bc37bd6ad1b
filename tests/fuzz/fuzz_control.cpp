// SPDX-License-Identifier: GPL-3.0-or-later
// Lines on the virtual device's control socket.
#include "fuzz.h"
#include "vdev/demo.h"
#include "vdev/virtualdevice.h"

FUZZ_INPUT(data, size)
{
    fuzz::app();
    static vdev::VirtualDevice device;
    const QByteArray input(reinterpret_cast<const char *>(data), qsizetype(size));
    for (const QByteArray &line : input.split('\n'))
        vdev::runControlCommand(device, 0, QString::fromUtf8(line).trimmed());
}
