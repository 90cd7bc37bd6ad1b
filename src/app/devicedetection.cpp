// Device detection: re-reads the device table, finds the interfaces of each row among the
// attached HID devices and brings the configuration UI up for the first row present, or
// hides the window when there is none.

#include "app/devicetable.h"
#include "app/widget.h"
#include "view/myqquickview.h"

#include <QCoreApplication>
#include <QDebug>

void Widget::checkDevice()
{
    QList<DeviceEntry> entries = devicetable::readFile(QStringLiteral("./modules/devConfig.ini"));
    for (DeviceEntry &entry : entries)
        devicetable::assignPaths(entry, devicetable::enumerate(entry.vid, entry.pid));
    reportLockedOut(devicetable::dropLockedOut(entries));
    hid.deviceList = entries;

    const int index = devicetable::firstPresent(hid.deviceList);
    if (index < 0) {
        qDebug() << "Device DisConnect";
        deviceConnected = false;
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
    showTrayMessage(QStringLiteral("Info"), QStringLiteral("Detect Device"), QSystemTrayIcon::Information, 10000);
    hid.startPollingUSBVendorCmd(index);
    if (!v)
        return;
    // The family known from before counts only for the same device: a 553 mouse attached after
    // a 560 one must not receive the 560's profile reads.
    if (v->icType == QLatin1String("560") && v->icTypeIsCurrent()) {
        v->mouseReadProfile(0);
        v->mouseReadProfile(1);
        if (v->isGun) {
            v->mouseReadProfile(2);
            v->mouseReadProfile(3);
            v->mouseReadProfile(4);
        }
    }
    v->setEnabled(true);
    v->initUI();
    QCoreApplication::postEvent(this, new RunUiEvent());
}

void Widget::reportLockedOut(const QStringList &paths)
{
    // Told once per plug: a device still locked at the next check was announced already, one
    // that was absent in between is announced again.
    bool fresh = false;
    for (const QString &path : paths) {
        qDebug() << "Device permission denied" << path;
        fresh = fresh || !lockedOutPaths.contains(path);
    }
    lockedOutPaths = paths;
    if (fresh)
        showTrayMessage(tr("Mouse not accessible"),
                        tr("A mouse was found, but this user may not open it. Install the mousecfg package "
                           "(or its udev rule), then unplug the mouse and plug it in again."),
                        QSystemTrayIcon::Warning, 15000);
}
