#include "view/settingsstore.h"

#include "view/settingsfiles.h"

#include <QDateTime>
#include <QDebug>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

namespace store {

QString globalFile(const QString &folder)
{
    return folder + QStringLiteral("/setting/apConfig.bin");
}

QString factoryGlobalFile(const QString &folder)
{
    return folder + QStringLiteral("/setting/apConfigD.bin");
}

QString defaultProfileFile(const QString &folder)
{
    return folder + QStringLiteral("/setting/pD.bin");
}

QString profileFile(const QString &folder, int slot)
{
    return folder + QStringLiteral("/setting/p") + QString::number(slot + 1) + QStringLiteral(".bin");
}

QSettings *open(const QString &fileName, QObject *parent)
{
    return new QSettings(fileName, QSettings::IniFormat, parent);
}

void close(QSettings *&handle)
{
    if (!handle)
        return;
    handle->sync();
    delete handle;
    handle = nullptr;
}

bool replace(QSettings *&handle, const QString &target, const QString &source)
{
    if (handle)
        handle->sync();
    const QFileInfo before(target);
    const qint64 oldSize = before.exists() ? before.size() : -1;
    const QDateTime oldTime = before.exists() ? before.lastModified() : QDateTime();

    QString why;
    if (!settingsfiles::copyOver(source, target, &why)) {
        qDebug() << "Replace failed" << target << source << why;
        return false;
    }

    // The shared cache rereads a file only when its size or time stamp changed; a copy of
    // equal size written within the same clock tick would otherwise be taken for the old file.
    const QFileInfo after(target);
    if (oldTime.isValid() && after.size() == oldSize && after.lastModified() == oldTime) {
        QFile f(target);
        if (f.open(QIODevice::ReadWrite))
            f.setFileTime(oldTime.addSecs(1), QFileDevice::FileModificationTime);
    }

    QObject *parent = handle ? handle->parent() : nullptr;
    delete handle;
    handle = open(target, parent);
    return true;
}

} // namespace store
