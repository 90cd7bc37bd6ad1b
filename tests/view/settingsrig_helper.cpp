// SPDX-License-Identifier: GPL-3.0-or-later
#include "settingsrig_helper.h"

#include "app/datafolder.h"

#include <QDir>

namespace settingsrig {

QByteArray hex(const uint8_t *data, int length)
{
    return QByteArray(reinterpret_cast<const char *>(data), length).toHex(' ');
}

Rig::Rig(int mouse, bool initUI)
    : mouse(mouse)
{
    const vdev::MouseModel &model = vdev::mouseModel(mouse);
    const QString pid = QString::number(model.productId, 16);
    datafolder::copyTree(QStringLiteral(MOUSECFG_SOURCE_DIR "/modules/") + pid, dir.path() + "/modules/" + pid);
    previousDir = QDir::currentPath();
    QDir::setCurrent(dir.path());

    device.install();
    device.plug(mouse);
    DeviceEntry entry;
    entry.vid = vdev::VendorId;
    entry.pid = model.productId;
    entry.reportLength = model.reportLength;
    entry.path = device.path(mouse, vdev::Iface::Command);
    hid.deviceList = {entry};
    hid.deviceIndex = 0;
    view = std::make_unique<myQQuickView>();
    view->hid = &hid;
    if (initUI)
        view->initUI();
    device.clearWireLog();
}

Rig::~Rig()
{
    view.reset();
    device.uninstall();
    QDir::setCurrent(previousDir);
}

QString Rig::file(const QString &relative) const
{
    return "./modules/" + QString::number(vdev::mouseModel(mouse).productId, 16) + '/' + relative;
}

QByteArray Rig::commands() const
{
    QByteArray out;
    for (const vdev::WireEvent &e : device.wireLog())
        if (e.iface == vdev::Iface::Command && e.call == vdev::Call::SendFeature && e.bytes.size() >= 9)
            out += char(e.bytes[1]);
    return out.toHex(' ');
}

} // namespace settingsrig
