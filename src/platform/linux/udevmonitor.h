// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/devicemonitor.h"

struct udev;
struct udev_monitor;
class QSocketNotifier;

// Reports hidraw devices being added or removed, from the udev monitor's netlink socket.
// Without udev (some containers) it stays silent.
class UdevMonitor : public DeviceMonitor
{
    Q_OBJECT
public:
    explicit UdevMonitor(QObject *parent = nullptr);
    ~UdevMonitor() override;

    bool isActive() const { return m_notifier != nullptr; }

private:
    void readEvents();

    struct udev *m_udev = nullptr;
    struct udev_monitor *m_monitor = nullptr;
    QSocketNotifier *m_notifier = nullptr;
};
