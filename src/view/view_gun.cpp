// SPDX-License-Identifier: GPL-3.0-or-later
// Gun presets of the device's gun data file, sending one gun slot to the device, and the
// per-profile gun values.
#include "view/myqquickview.h"

#include "device/hid_thread.h"
#include "view/settingsstore.h"
#include "view/settingvalues.h"

#include <QFileInfo>
#include <QSettings>

namespace {

constexpr int presetFields = 6;
constexpr int gunSlots = 3;

// The gun data file, or empty when it does not exist: nothing creates it, writes to a missing
// file are dropped.
QString gunFile(const myQQuickView *view)
{
    const QString folder = view->settingsFolder();
    if (folder.isEmpty())
        return {};
    const QString path = folder + QStringLiteral("/gun/gunData.bin");
    return QFileInfo(path).isFile() ? path : QString();
}

QString presetKey(const QVariant &name)
{
    return QStringLiteral("gunData/") + name.toString();
}

} // namespace

void myQQuickView::mouseSaveGundata(QVariant index, QVariantList src6)
{
    const QString path = gunFile(this);
    if (path.isEmpty() || src6.size() < presetFields || index.toString().isEmpty())
        return;
    QSettings file(path, QSettings::IniFormat);
    file.setValue(presetKey(index), src6.mid(0, presetFields));
    store::written(file);
}

void myQQuickView::mouseSendGundata(int index, QVariantList data)
{
    if (!isGun || !hid || index < 1 || index > gunSlots || data.size() < 3)
        return;
    if (is560()) {
        // Gun slot n lives in device profile block n + 1.
        const int blockNo = index + 1;
        readMissingProfileBlocks(blockNo, blockNo);
        uchar *block = profileBlocks[blockNo];
        block[65] &= static_cast<uchar>(~0x04);
        block[78] = 0xF0;
        block[79] = values::byteAt(data, 0);
        block[80] = values::byteAt(data, 1);
        block[81] = values::byteAt(data, 2);
        sendProfileBlocks(blockNo, blockNo);
        return;
    }
    uchar option1 = 0;
    uchar option2 = 0;
    uchar option3 = 0;
    uchar option4 = 0;
    // Without the options the Y direction is unknown: sent anyway, the recoil would pull the
    // wrong way on a mouse with the third option set.
    if (!hid->hid553_83H_GetKeyboardoption(option1, option2, option3, option4))
        return;
    uchar y = values::byteAt(data, 2);
    // A set third option byte means the device moves the cursor the other way round.
    if (option3 != 0)
        y = static_cast<uchar>(-y);
    hid->hid553_04H_SetGunData(values::byteAt(data, 0), values::byteAt(data, 1), y, static_cast<uchar>(index - 1));
}

void myQQuickView::modifyGundata(QVariant modifyType, QVariantList src6)
{
    const QString path = gunFile(this);
    bool ok = false;
    const int type = modifyType.toInt(&ok);
    // An empty name would address the whole group and remove every preset.
    if (path.isEmpty() || !ok || src6.isEmpty() || src6.at(0).toString().isEmpty())
        return;
    QSettings file(path, QSettings::IniFormat);
    if (type == 0) {
        file.remove(presetKey(src6.at(0)));
    } else if (type == 1) {
        // src6: new name, key, period, X, Y, times, old name. The entry keeps the layout of
        // every other preset (name first), so the page reads its fields in their places.
        if (src6.size() <= presetFields || src6.at(presetFields).toString().isEmpty())
            return;
        file.remove(presetKey(src6.at(presetFields)));
        file.setValue(presetKey(src6.at(0)), src6.mid(0, presetFields));
    }
    store::written(file);
}

QVariantList myQQuickView::getGunData(QVariant name)
{
    const QString path = gunFile(this);
    if (path.isEmpty() || name.toString().isEmpty())
        return {};
    const QSettings file(path, QSettings::IniFormat);
    return values::toList(file.value(presetKey(name)));
}

QStringList myQQuickView::getGunDataKey()
{
    const QString path = gunFile(this);
    if (path.isEmpty())
        return {};
    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(QStringLiteral("gunData"));
    return file.childKeys();
}

QVariant myQQuickView::getXYSensitive(QVariant index)
{
    const QSettings *profile = currentProfileSettings();
    if (!profile || index.toString().isEmpty())
        return 4;
    return profile->value(QStringLiteral("XYSensitive/") + index.toString(), 4);
}

QVariant myQQuickView::getselectGun(QVariant index)
{
    const QSettings *profile = currentProfileSettings();
    if (!profile || index.toString().isEmpty())
        return QString();
    return profile->value(QStringLiteral("selectGun/") + index.toString(), QString());
}

void myQQuickView::setXYSensitive(QVariant index, QVariant xyData)
{
    QSettings *profile = currentProfileSettings();
    if (profile && !index.toString().isEmpty())
        profile->setValue(QStringLiteral("XYSensitive/") + index.toString(), xyData);
}

void myQQuickView::setSelectGun(QVariant index, QVariant xyData)
{
    QSettings *profile = currentProfileSettings();
    if (profile && !index.toString().isEmpty())
        profile->setValue(QStringLiteral("selectGun/") + index.toString(), xyData);
}
