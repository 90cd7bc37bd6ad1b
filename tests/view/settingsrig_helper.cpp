#include "settingsrig_helper.h"

#include "testsupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QSettings>

namespace settingsrig {

void isolateDefaultStore(const QString &folder)
{
    QCoreApplication::setOrganizationName(QStringLiteral("mousecfg"));
    QCoreApplication::setApplicationName(QStringLiteral("mousecfg"));
    QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, folder);
}

QByteArray hex(const uint8_t *data, int length)
{
    return QByteArray(reinterpret_cast<const char *>(data), length).toHex(' ');
}

Rig::Rig(int mouse, bool initUI)
    : mouse(mouse)
{
    const vdev::MouseModel &model = vdev::mouseModel(mouse);
    const QString pid = QString::number(model.productId, 16);
    testsupport::copyTree(QStringLiteral(MOUSECFG_SOURCE_DIR "/modules/") + pid, dir.path() + "/modules/" + pid);
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

QString Rig::settingFile(const QString &name) const
{
    return "./modules/" + QString::number(vdev::mouseModel(mouse).productId, 16) + "/setting/" + name;
}

QByteArray Rig::fileContent(const QString &name) const
{
    QFile f(settingFile(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
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
