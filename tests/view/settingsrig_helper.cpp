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
    QSettings::setPath(QSettings::IniFormat, QSettings::UserScope, folder);
}

Rig::Rig(int mouse, bool initUI)
    : mouse(mouse)
{
    const vdev::MouseSpec &spec = vdev::mouseSpec(mouse);
    const QString pid = QString::number(spec.productId, 16);
    testsupport::copyTree(QStringLiteral(MOUSECFG_SOURCE_DIR "/modules/") + pid, dir.path() + "/modules/" + pid);
    m_previousDir = QDir::currentPath();
    QDir::setCurrent(dir.path());

    device.install();
    device.plug(mouse);
    DeviceEntry entry;
    entry.type = 1;
    entry.vid = vdev::VendorId;
    entry.pid = spec.productId;
    entry.usagePage = spec.usagePage;
    entry.usage = spec.usage;
    entry.usagePage2 = spec.usagePage2;
    entry.usage2 = spec.usage2;
    entry.reportLength = spec.reportLength;
    entry.path = device.path(mouse, vdev::Iface::Command);
    entry.path2 = device.path(mouse, vdev::Iface::Status);
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
    QDir::setCurrent(m_previousDir);
}

QString Rig::settingFile(const QString &name) const
{
    return QStringLiteral("./modules/") + QString::number(vdev::mouseSpec(mouse).productId, 16)
        + QStringLiteral("/setting/") + name;
}

QByteArray Rig::fileContent(const QString &name) const
{
    QFile f(settingFile(name));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

QString Rig::scratchFile(const QString &name) const
{
    return dir.path() + QLatin1Char('/') + name;
}

QList<QByteArray> Rig::requests() const
{
    QList<QByteArray> out;
    for (const vdev::WireEvent &e : device.wireLog()) {
        if (e.iface == vdev::Iface::Command && e.call == vdev::Call::SendFeature && e.bytes.size() >= 9)
            out << QByteArray(reinterpret_cast<const char *>(e.bytes.data()) + 1, 8);
    }
    return out;
}

int Rig::count(uint8_t b0) const
{
    int n = 0;
    for (const QByteArray &r : requests())
        n += uint8_t(r.at(0)) == b0;
    return n;
}

} // namespace settingsrig
