#pragma once

// A main window over the virtual mice, in a private copy of the program's data folder: the
// working directory is switched to it for the rig's lifetime. Header-only.

#include "app/widget.h"
#include "device/vdev_fixture.h"
#include "testsupport.h"
#include "vdev/virtualdevice.h"
#include "view/myqquickview.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

namespace vdevtest {

struct WidgetRig
{
    QTemporaryDir dir;
    QString previousDir = QDir::currentPath();
    std::unique_ptr<vdev::VirtualDevice> device = std::make_unique<vdev::VirtualDevice>();
    std::unique_ptr<Widget> widget;

    // `devConfig`, when given, replaces the shipped device table.
    explicit WidgetRig(const QByteArray &devConfig = QByteArray())
    {
        testsupport::copyTree(QStringLiteral(MOUSECFG_BUILD_DIR "/modules"), dir.path() + "/modules");
        if (!devConfig.isNull()) {
            QFile table(dir.path() + "/modules/devConfig.ini");
            table.open(QIODevice::WriteOnly | QIODevice::Truncate);
            table.write(devConfig);
        }
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

    // Status-interface opens and closes never overlap: at most one reader at any time.
    bool oneStatusReaderAtATime() const
    {
        int open = 0;
        for (const vdev::WireEvent &e : device->wireLog()) {
            if (e.iface != vdev::Iface::Status)
                continue;
            if (e.call == vdev::Call::Open && e.result == 0 && ++open > 1)
                return false;
            if (e.call == vdev::Call::Close)
                --open;
        }
        return true;
    }

    int statusOpens() const { return int(calls(*device, vdev::Call::Open, vdev::Iface::Status).size()); }
};

} // namespace vdevtest
