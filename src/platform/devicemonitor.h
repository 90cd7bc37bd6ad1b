// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>

// Tells the program that HID devices were attached or removed (udev on Linux, the native
// device-change message on Windows, the virtual device in demo mode and tests).
class DeviceMonitor : public QObject
{
    Q_OBJECT
public:
    using QObject::QObject;
    ~DeviceMonitor() override = default;

    // Raises deviceChanged() as a notification from the platform would.
    void notifyChanged() { emit deviceChanged(); }

signals:
    void deviceChanged();
};

// Creates the monitor of this platform (or the one installed by setDeviceMonitorFactory).
DeviceMonitor *createDeviceMonitor(QObject *parent);
using DeviceMonitorFactory = DeviceMonitor *(*)(QObject *parent);
void setDeviceMonitorFactory(DeviceMonitorFactory factory);
