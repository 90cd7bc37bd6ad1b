// SPDX-License-Identifier: GPL-3.0-or-later
// Device detection: re-reads the device table, finds the interfaces of each row among the
// attached HID devices and brings the configuration UI up for the first row present, or
// hides the window when there is none.

#include "app/datafolder.h"
#include "app/devicetable.h"
#include "app/livenotices.h"
#include "app/widget.h"
#include "platform/sessionwatch.h"
#include "view/myqquickview.h"

#include <QCoreApplication>
#include <QDebug>

void Widget::checkDevice()
{
    // A check that fires inside a command's event processing would replace the device list and
    // let further commands overwrite the one in flight: it waits until the transport is free.
    if (hid.hidBusy) {
        checkTimer.start();
        return;
    }

    QList<DeviceEntry> entries = devicetable::readAll(QStringLiteral("./modules/devConfig.ini"), datafolder::userTable());
    for (DeviceEntry &entry : entries)
        devicetable::assignPaths(entry, devicetable::enumerate(entry.vid, entry.pid));
    reportLockedOut(devicetable::dropLockedOut(entries));
    hid.deviceList = entries;

    const int index = devicetable::firstPresent(hid.deviceList);
    if (index < 0) {
        qDebug() << "Device DisConnect";
        deviceConnected = false;
        notices->reset();
        if (myQQuickView *v = view())
            v->setDeviceAbsent(true);
        setVisible(false);
        return;
    }

    qDebug() << "Device Connect";
    myQQuickView *v = view();
    if (v)
        v->clearHidBusy();
    else
        hid.hidBusy = false;
    hid.deviceIndex = index;
    deviceConnected = true;
    reportedStage = -1;
    showTrayMessage(QStringLiteral("Info"), QStringLiteral("Detect Device"), QSystemTrayIcon::Information, 10000);
    hid.startPollingUSBVendorCmd(index);
    if (!v)
        return;
    v->setDeviceAbsent(false);
    v->setEnabled(true);
    // initUI reads a 560 mouse's profile blocks, once it knows this device's own family and gun
    // flag: those the view held belong to the device connected before.
    v->initUI();
    QCoreApplication::postEvent(this, new RunUiEvent());
}

void Widget::reportLockedOut(const QStringList &paths)
{
    for (const QString &path : paths)
        qDebug() << "Device permission denied" << path;
    // While another session has the seat its devices are not this user's: nothing is missing,
    // and a device still locked when this session is back is told then.
    if (session && !session->isActive()) {
        lockedOutPaths.clear();
        return;
    }
    // Told once per plug: a device still locked at the next check was announced already, one
    // that was absent in between is announced again.
    bool fresh = false;
    for (const QString &path : paths)
        fresh = fresh || !lockedOutPaths.contains(path);
    lockedOutPaths = paths;
    if (fresh)
        showTrayMessage(tr("Mouse not accessible"),
                        tr("A mouse was found, but this user may not open it. Install the mousecfg package "
                           "(or its udev rule; for a mouse you added, the rule \"mousecfg --udev-rule\" prints), "
                           "then unplug the mouse and plug it in again."),
                        QSystemTrayIcon::Warning, 15000);
}
