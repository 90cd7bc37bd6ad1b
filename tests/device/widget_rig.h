// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Test helpers around the virtual mice (header-only): device-table rows, wire-log queries, and
// a main window in a private copy of the program's data folder (the working directory follows
// it for the rig's lifetime).

#include "app/datafolder.h"
#include "app/widget.h"
#include "device/deviceentry.h"
#include "testsupport.h"
#include "vdev/virtualdevice.h"
#include "view/myqquickview.h"

#include <QDir>
#include <QQuickItem>
#include <QSettings>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>
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

// Stores a device-wide setting (apConfig.bin) of a mouse's folder under dataDir.
inline void setDeviceSetting(const QString &dataDir, int mouse, const QString &key, const QVariant &value)
{
    const QString pid = QString::number(vdev::mouseModel(mouse).productId, 16);
    QSettings config(dataDir + "/modules/" + pid + "/setting/apConfig.bin", QSettings::IniFormat);
    config.setValue(key, value);
}

// The scene item of that object name, also among those a Repeater or a view made (they have
// a parent item but no QObject parent).
inline QQuickItem *findItem(QQuickItem *item, const QString &objectName)
{
    if (!item)
        return nullptr;
    if (item->objectName() == objectName)
        return item;
    for (QQuickItem *child : item->childItems())
        if (QQuickItem *found = findItem(child, objectName))
            return found;
    return nullptr;
}

struct WidgetRig
{
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    std::unique_ptr<vdev::VirtualDevice> device = std::make_unique<vdev::VirtualDevice>();
    std::unique_ptr<Widget> widget;

    // `devConfig`, when given, replaces the shipped device table.
    explicit WidgetRig(const QByteArray &devConfig = QByteArray())
    {
        datafolder::copyTree(QStringLiteral(MOUSECFG_BUILD_DIR "/modules"), dir.path() + "/modules");
        if (!devConfig.isNull())
            testsupport::writeFile(dir.path() + "/modules/devConfig.ini", devConfig);
        QDir::setCurrent(dir.path());
        device->install();
        widget = std::make_unique<Widget>();
    }

    ~WidgetRig()
    {
        widget.reset();
        device.reset();
        QDir::setCurrent(previousDir);
    }

    Hid_Thread &hid() { return widget->hid; }
    myQQuickView *view() { return widget->view(); }
    int statusOpens() const { return int(calls(*device, vdev::Call::Open, vdev::Iface::Status).size()); }
};

} // namespace vdevtest
