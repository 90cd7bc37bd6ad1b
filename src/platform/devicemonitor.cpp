// SPDX-License-Identifier: GPL-3.0-or-later
#include "platform/devicemonitor.h"

#if defined(Q_OS_LINUX)
#include "platform/linux/udevmonitor.h"
#endif

namespace {
DeviceMonitorFactory installedFactory = nullptr;
}

void setDeviceMonitorFactory(DeviceMonitorFactory factory)
{
    installedFactory = factory;
}

DeviceMonitor *createDeviceMonitor(QObject *parent)
{
    if (installedFactory)
        return installedFactory(parent);
#if defined(Q_OS_LINUX)
    return new UdevMonitor(parent);
#else
    // Windows: the Widget feeds this monitor from its native WM_DEVICECHANGE handling.
    return new DeviceMonitor(parent);
#endif
}
