// SPDX-License-Identifier: GPL-3.0-or-later
// How close the command transport comes to the protocol's own floor: parameter-block-sized
// transfers against the virtual mice, the measured time per transfer next to the pauses the
// protocol prescribes (10 ms settle after the request, 20 ms after each output report, 10 ms
// settle after the data), and their ratio.

#include "device/deviceentry.h"
#include "device/hid_thread.h"
#include "vdev/virtualdevice.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <algorithm>
#include <cstdio>

namespace {

constexpr int runsPerCase = 5;

double prescribedPauseMs(int length, int reportLength)
{
    const int chunk = std::min(length, reportLength);
    return 10.0 + 20.0 * ((length + chunk - 1) / chunk) + 10.0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    vdev::VirtualDevice device;
    device.install();
    device.plug(vdev::Mouse553);
    device.plug(vdev::Mouse560);

    Hid_Thread hid;
    for (int mouse : {vdev::Mouse553, vdev::Mouse560}) {
        DeviceEntry e;   // the transport needs only the command path and the report length
        e.reportLength = vdev::mouseModel(mouse).reportLength;
        e.path = device.path(mouse, vdev::Iface::Command);
        hid.deviceList.append(e);
    }

    std::printf("%-8s %-12s %12s %12s %8s\n", "bytes", "reportLength", "measured ms", "pauses ms", "ratio");
    for (int mouse : {vdev::Mouse553, vdev::Mouse560}) {
        hid.deviceIndex = mouse;
        const int reportLength = vdev::mouseModel(mouse).reportLength;
        for (int length : {8, 64, 128, 192}) {
            QElapsedTimer clock;
            clock.start();
            int failures = 0;
            for (int run = 0; run < runsPerCase; ++run) {
                const bool ready = hid.waitForTransport();
                if (ready)
                    hid.setRequest(protocol::command(0x7E));
                failures += !ready || !hid.sendCommand(length, true);
            }
            const double measured = clock.nsecsElapsed() / 1e6 / runsPerCase;
            const double pauses = prescribedPauseMs(length, reportLength);
            std::printf("%-8d %-12d %12.2f %12.2f %8.3f%s\n", length, reportLength, measured, pauses,
                        measured / pauses, failures ? "  (failed transfers)" : "");
        }
    }
    device.uninstall();
    return 0;
}
