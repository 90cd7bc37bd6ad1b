#pragma once

// Test helpers around the virtual device: device-table entries for the virtual mice and
// queries over the wire log. Header-only; any test may include it.

#include "device/deviceentry.h"
#include "vdev/virtualdevice.h"

#include <QString>
#include <QStringList>

#include <vector>

namespace vdevtest {

// The device-table row of a virtual mouse with both interface paths filled in.
inline DeviceEntry entryFor(const vdev::VirtualDevice &device, int mouse)
{
    const vdev::MouseModel &s = vdev::mouseModel(mouse);
    DeviceEntry e;
    e.type = 1;
    e.vid = vdev::VendorId;
    e.pid = s.productId;
    e.usagePage = s.usagePage;
    e.usage = s.usage;
    e.usagePage2 = s.usagePage2;
    e.usage2 = s.usage2;
    e.reportLength = s.reportLength;
    e.path = device.path(mouse, vdev::Iface::Command);
    e.path2 = device.path(mouse, vdev::Iface::Status);
    return e;
}

inline std::vector<vdev::WireEvent> calls(const vdev::VirtualDevice &device, vdev::Call call,
                                          vdev::Iface iface = vdev::Iface::None)
{
    std::vector<vdev::WireEvent> out;
    for (const vdev::WireEvent &e : device.wireLog())
        if (e.call == call && (iface == vdev::Iface::None || e.iface == iface))
            out.push_back(e);
    return out;
}

// The calls of the log as short names ("open", "write", ...), in order.
inline QStringList callNames(const std::vector<vdev::WireEvent> &log, vdev::Iface iface = vdev::Iface::None)
{
    QStringList names;
    for (const vdev::WireEvent &e : log)
        if (iface == vdev::Iface::None || e.iface == iface)
            names << QString::fromLatin1(vdev::callName(e.call));
    return names;
}

} // namespace vdevtest
