// SPDX-License-Identifier: GPL-3.0-or-later
// Settings store: device-wide and per-profile keys over the device's INI files.
#include "view/myqquickview.h"

#include "device/hid_thread.h"
#include "view/settingsstore.h"
#include "view/settingvalues.h"

#include <QDebug>
#include <QJSValue>
#include <QSettings>

namespace {

// QML may hand a script value where a plain variant is meant.
QVariant plain(const QVariant &value)
{
    if (value.metaType() == QMetaType::fromType<QJSValue>())
        return value.value<QJSValue>().toVariant();
    return value;
}

} // namespace

QString myQQuickView::settingsFolder() const
{
    if (!hid || hid->deviceIndex < 0 || hid->deviceIndex >= hid->deviceList.size())
        return QString();
    if (!settingsFolderOverride.isEmpty())
        return settingsFolderOverride;
    return QStringLiteral("./modules/") + QString::number(hid->deviceList.at(hid->deviceIndex).pid, 16);
}

QSettings *myQQuickView::currentProfileSettings() const
{
    if (currentProfile < 0 || currentProfile >= profileSettings.size())
        return nullptr;
    return profileSettings.at(currentProfile);
}

void myQQuickView::resetApconfig()
{
    const QString folder = settingsFolder();
    if (folder.isEmpty()) {
        qDebug() << "resetApconfig: no device";
        return;
    }
    // The factory copy is checked before anything is touched: without it apConfig.bin stays.
    store::replace(globalSettings, store::globalFile(folder), store::factoryGlobalFile(folder));
}

QVariant myQQuickView::getData(QVariant key, bool isRecovery)
{
    QSettings *settings = isRecovery ? defaultSettings : currentProfileSettings();
    return settings ? settings->value(key.toString()) : QVariant();
}

QVariant myQQuickView::getGlobalData(QVariant key)
{
    return globalSettings ? globalSettings->value(key.toString()) : QVariant();
}

QVariantList myQQuickView::getDataList(QVariant key, bool isRecovery)
{
    return values::toList(getData(key, isRecovery));
}

void myQQuickView::setData(QVariant key, QVariant data)
{
    QSettings *settings = currentProfileSettings();
    if (!settings || key.toString().isEmpty()) {
        qDebug() << "setData refused" << key.toString() << currentProfile;
        return;
    }
    settings->setValue(key.toString(), plain(data));
}

void myQQuickView::setGlobalData(QVariant key, QVariant tmpdata)
{
    if (!globalSettings || key.toString().isEmpty())
        return;
    globalSettings->setValue(key.toString(), plain(tmpdata));
}

void myQQuickView::setDataList(QVariant key, QVariantList datalist)
{
    setData(key, QVariant(datalist));
}
