// SPDX-License-Identifier: GPL-3.0-or-later
// Macro files of the connected device: create, save, load, delete, rename (with the profiles'
// references following), import/export as ".mc" copies, and handing a block to the device.
#include "view/myqquickview.h"

#include "device/hid_thread.h"
#include "view/filedialogs.h"
#include "view/macrostore.h"
#include "view/settingsfiles.h"
#include "view/settingsstore.h"
#include "view/settingvalues.h"

#include <QDebug>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSettings>

#include <utility>

namespace {

// Profiles the UI offers (p1..p6); renaming a macro updates only these.
constexpr int offeredProfiles = 6;
constexpr int macroBlockSize = 128;

QString macroPath(const myQQuickView *view, const QVariant &name)
{
    return macrostore::macroFile(view->settingsFolder(), name.toString());
}

// The file of a macro about to be given that name (created, imported or renamed to); empty
// for a name a macro may not be given.
QString newMacroPath(const myQQuickView *view, const QVariant &name)
{
    return macrostore::isNewMacroName(name.toString()) ? macroPath(view, name) : QString();
}

bool isMacroFile(const QString &path)
{
    return !path.isEmpty() && QFileInfo(path).isFile();
}

} // namespace

int myQQuickView::loadMacroFile(QVariant macroFileName)
{
    const QString target = newMacroPath(this, macroFileName);
    if (target.isEmpty())
        return ImportFailed;
    const QString chosen = filedialogs::getOpenFileName(this, tr("Open File"), filedialogs::desktopFolder(),
                                                        tr("Macro(*.mc)"));
    if (chosen.isEmpty())
        return ImportCancelled;
    // An import never replaces a file that already has this name, listed or left over.
    if (QFileInfo::exists(target)) {
        qDebug() << "loadMacroFile: not imported over" << target;
        return ImportFailed;
    }
    QDir().mkpath(QFileInfo(target).absolutePath());
    QString why;
    if (!settingsfiles::copyOver(chosen, target, &why)) {
        qDebug() << "loadMacroFile Failed" << why;
        return ImportFailed;
    }
    return Imported;
}

void myQQuickView::saveMacroFile(QVariant macroFileName)
{
    const QString source = macroPath(this, macroFileName);
    if (source.isEmpty())
        return;
    const QString chosen = filedialogs::getSaveFileName(this, tr("Save File"), filedialogs::desktopFolder(),
                                                        tr("Macro(*.mc)"));
    if (chosen.isEmpty())
        return;
    // Replaced only once the copy is complete: a failed export keeps the file that was there.
    QString why;
    if (!settingsfiles::copyOver(source, chosen, &why))
        qDebug() << "saveMacroFile Failed" << why;
}

QVariant myQQuickView::createMacroIni(QVariant name, QVariant macroIndex)
{
    const QString path = newMacroPath(this, name);
    if (path.isEmpty())
        return false;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QSettings file(path, QSettings::IniFormat);
    file.beginGroup(QStringLiteral("config"));
    file.setValue(QStringLiteral("index"), macroIndex.toUInt());
    file.setValue(QStringLiteral("total"), 0);
    file.setValue(QStringLiteral("repeat"), 1);
    file.setValue(QStringLiteral("did"), -1);
    file.endGroup();
    return store::written(file);
}

QVariant myQQuickView::modifyMacroNameUpdateProfile(QVariant oldname, QVariant newname)
{
    const QString oldPath = macroPath(this, oldname);
    const QString newPath = newMacroPath(this, newname);
    if (!isMacroFile(oldPath) || newPath.isEmpty())
        return false;
    // The file is renamed first: when that fails (the name is taken, or the disk refuses) the
    // profiles still name a macro that exists.
    if (QFileInfo::exists(newPath) || !QFile::rename(oldPath, newPath))
        return false;

    const QString oldText = oldname.toString();
    const QString newText = newname.toString();
    const int count = qMin(offeredProfiles, static_cast<int>(profileSettings.size()));
    for (int p = 0; p < count; ++p) {
        QSettings *profile = profileSettings.at(p);
        if (!profile)
            continue;
        profile->beginGroup(QStringLiteral("mouseMacroKey"));
        const QStringList keys = profile->childKeys();
        for (const QString &key : keys) {
            if (macrostore::iniText(profile->value(key), QStringLiteral(",")) == oldText)
                profile->setValue(key, newText);
        }
        profile->endGroup();
        store::written(*profile);
    }
    return true;
}

QVariant myQQuickView::deleteMacroIni(QVariant name)
{
    const QString path = macroPath(this, name);
    return isMacroFile(path) && QFile::remove(path);
}

QVariant myQQuickView::saveMacroIni(QVariant name, QStringList macros, QVariant repeat)
{
    const QString path = macroPath(this, name);
    if (!isMacroFile(path))
        return false;
    QSettings file(path, QSettings::IniFormat);
    file.remove(QStringLiteral("macro"));
    file.setValue(QStringLiteral("config/total"), macros.size());
    file.setValue(QStringLiteral("config/repeat"), repeat);
    for (int i = 0; i < macros.size(); ++i)
        file.setValue(QStringLiteral("macro/") + QString::number(i), macros.at(i));
    return store::written(file);
}

QVariant myQQuickView::mouseSendMacroData(QVariantList macroData, QVariant macroIndex)
{
    bool ok = false;
    const qlonglong index = macroIndex.toLongLong(&ok);
    // A block longer than the device's is not cut here: it would reach the device without
    // its terminator.
    if (!ok || index < 0 || index >= macrostore::macroSlotCount || macroData.size() > macroBlockSize || !hid)
        return false;

    uchar block[macroBlockSize] = {};
    for (int i = 0; i < macroData.size(); ++i)
        block[i] = values::toByte(macroData.at(i));
    // The editor puts the repeat count high byte first; the device wants it low byte first.
    std::swap(block[0], block[1]);
    if (is560())
        hid->hid560_0FH_SetMacroKey(static_cast<uchar>(index), block);
    else
        hid->hid553_13H_SetMacroKey(static_cast<uchar>(index), block);
    // Sent means the mouse took it: a transfer that failed is no success.
    return hid->lastTransferSucceeded();
}

QStringList myQQuickView::loadMacroIni(QVariant name)
{
    const QString path = macroPath(this, name);
    if (!isMacroFile(path))
        return {};
    return macrostore::macroEvents(QSettings(path, QSettings::IniFormat));
}
