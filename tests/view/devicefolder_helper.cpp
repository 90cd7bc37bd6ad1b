#include "devicefolder_helper.h"

#include "testsupport.h"

#include <QDir>
#include <QFile>

namespace devicefolder {

WorkingDirectory::WorkingDirectory(const QString &path)
    : m_previous(QDir::currentPath())
{
    QDir::setCurrent(path);
}

WorkingDirectory::~WorkingDirectory()
{
    QDir::setCurrent(m_previous);
}

static QString prepared(const QTemporaryDir &dir, int mouse)
{
    const QString pid = QString::number(vdev::mouseSpec(mouse).productId, 16);
    const QString source = QStringLiteral(MOUSECFG_SOURCE_DIR "/modules/");
    testsupport::copyTree(source + pid, dir.path() + QStringLiteral("/modules/") + pid);
    testsupport::copyTree(source + QStringLiteral("i18n"), dir.path() + QStringLiteral("/modules/i18n"));
    return dir.path();
}

Rig::Rig(int mouse, bool open)
    : cwd(prepared(dir, mouse))
    , mouse(mouse)
{
    device.install();
    device.plug(mouse);
    const vdev::MouseSpec &spec = vdev::mouseSpec(mouse);
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
    view.hid = &hid;
    if (open)
        view.initUI();
}

Rig::~Rig()
{
    view.hid = nullptr;
}

QString Rig::folder() const
{
    return dir.path() + QStringLiteral("/modules/") + QString::number(vdev::mouseSpec(mouse).productId, 16);
}

QString Rig::file(const QString &relative) const
{
    return folder() + QLatin1Char('/') + relative;
}

QByteArray readFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool writeFile(const QString &path, const QByteArray &content)
{
    QDir().mkpath(path.section(QLatin1Char('/'), 0, -2));
    QFile f(path);
    return f.open(QIODevice::WriteOnly | QIODevice::Truncate) && f.write(content) == content.size();
}

} // namespace devicefolder
