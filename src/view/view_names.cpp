// SPDX-License-Identifier: GPL-3.0-or-later
// Name lists of the connected device (macros, gun presets, profiles) in "/setting/name.bin".
#include "view/myqquickview.h"

#include "view/macrostore.h"
#include "view/settingsstore.h"
#include "view/settingvalues.h"

#include <QSettings>

namespace {

// The key of a list type 0..3; empty for any other type.
QString nameListKey(const QVariant &type)
{
    bool ok = false;
    const uint t = type.toUInt(&ok);
    if (!ok)
        return {};
    switch (t) {
    case 0: return QStringLiteral("macro/macroName");
    case 1: return QStringLiteral("gun/gunName");
    case 2: return QStringLiteral("profile/profileName");
    case 3: return QStringLiteral("gun/selectGun");
    default: return {};
    }
}

QString nameFile(const myQQuickView *view)
{
    const QString folder = view->settingsFolder();
    return folder.isEmpty() ? QString() : folder + QStringLiteral("/setting/name.bin");
}

} // namespace

QVariant myQQuickView::updataNameList(QVariant type, QStringList nameList)
{
    const QString key = nameListKey(type);
    if (key.isEmpty())
        return true;
    const QString path = nameFile(this);
    if (path.isEmpty())
        return false;
    // QSettings reads a one-element list back as a plain string, so such a list is stored with
    // a second entry, which readers drop.
    if (nameList.size() == 1)
        nameList << macrostore::nameListEnd;
    QSettings file(path, QSettings::IniFormat);
    if (nameList.isEmpty())
        file.remove(key);
    else
        file.setValue(key, nameList);
    return store::written(file);
}

QVariantList myQQuickView::getNameList(QVariant type)
{
    const QString key = nameListKey(type);
    const QString path = nameFile(this);
    if (key.isEmpty() || path.isEmpty())
        return {};
    const QSettings file(path, QSettings::IniFormat);
    return values::toList(file.value(key));
}
