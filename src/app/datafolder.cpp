// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/datafolder.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QSaveFile>
#include <QSettings>

namespace datafolder {

namespace {

const QString Modules = QStringLiteral("/modules");
// Device folders and files are written under this prefix first, then renamed into place.
const QString AsidePrefix = QStringLiteral(".copy-");
// Beside the per-user modules: the lock that lets one program at a time update them, and the
// installed files as of the last update (which keys the user removed, which they left alone).
const QString LockName = QStringLiteral("/update.lock");
const QString FactoryName = QStringLiteral("/factory");

// Files of a device folder that only the install writes; the user's copy follows it.
const QStringList InstallOnly = {QStringLiteral("setting/apConfigD.bin"), QStringLiteral("setting/pD.bin")};
// A device folder's file whose entries the user edits and a newer install may add to.
const QString GunPresets = QStringLiteral("gun/gunData.bin");
// The user's own part of a device folder: a deleted macro stays deleted.
const QString MacroPrefix = QStringLiteral("macro/");

bool isFolder(const QString &path)
{
    return QFileInfo(path).isDir();
}

bool isDeviceFolderName(const QString &name)
{
    if (name.isEmpty() || name.size() > 4)
        return false;
    for (const QChar c : name) {
        if ((c < QLatin1Char('0') || c > QLatin1Char('9')) && (c < QLatin1Char('a') || c > QLatin1Char('f')))
            return false;
    }
    return true;
}

// Writes a copy of `from` to `to` in one step (a reader never sees half a file). A new file gets
// the usual permissions, so a read-only source still gives a writable copy.
bool copyFile(const QString &from, const QString &to)
{
    QFile source(from);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    QSaveFile target(to);
    return target.open(QIODevice::WriteOnly) && target.write(source.readAll()) == source.size() && target.commit();
}

bool sameContent(const QString &a, const QString &b)
{
    QFile fa(a), fb(b);
    return fa.size() == fb.size() && fa.open(QIODevice::ReadOnly) && fb.open(QIODevice::ReadOnly)
        && fa.readAll() == fb.readAll();
}

bool follow(const QString &from, const QString &to)
{
    return (QFileInfo::exists(to) && sameContent(from, to)) || copyFile(from, to);
}

// Brings a file whose keys the user may change up to date with the installed one: a key new to
// the install is added, a key the user left as the install had it follows the install, a key
// the user changed or removed stays so. `base` is the installed file as of the last update
// (without it every key the user lacks counts as new); it is brought up to date too.
bool mergeKeys(const QString &installed, const QString &user, const QString &base)
{
    bool ok = true;
    if (!QFileInfo::exists(user)) {
        ok = copyFile(installed, user);
    } else {
        const QSettings now(installed, QSettings::IniFormat);
        const QSettings before(base, QSettings::IniFormat);
        QSettings mine(user, QSettings::IniFormat);
        for (const QString &key : now.allKeys()) {
            const QVariant value = now.value(key);
            if (!before.contains(key)) {
                if (!mine.contains(key))
                    mine.setValue(key, value);
            } else if (mine.contains(key) && mine.value(key) == before.value(key) && mine.value(key) != value) {
                mine.setValue(key, value);
            }
        }
        mine.sync();
        ok = mine.status() == QSettings::NoError;
    }
    return ok && QDir().mkpath(QFileInfo(base).path()) && follow(installed, base);
}

// Adds each file (and folder) of `from` missing under `to`; with `replace` also replaces the files
// that differ.
bool addFiles(const QString &from, const QString &to, bool replace)
{
    bool ok = QDir().mkpath(to);
    const QDir source(from);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString target = to + QLatin1Char('/') + source.relativeFilePath(path);
        if (it.fileInfo().isDir())
            ok = QDir().mkpath(target) && ok;
        else if (!QFileInfo::exists(target) || (replace && !sameContent(path, target)))
            ok = copyFile(path, target) && ok;
    }
    return ok;
}

// Completes a user's device folder: every installed file outside macro/ is there afterwards
// (a folder missing its settings would leave the device without a firmware family), the files
// only the install writes follow it, the gun presets gain the install's new ones; the user's
// settings, names and macros are kept.
bool completeDevice(const QString &from, const QString &to, const QString &base)
{
    bool ok = QDir().mkpath(to);
    const QDir source(from);
    QDirIterator it(from, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = it.next();
        const QString name = source.relativeFilePath(path);
        const QString target = to + QLatin1Char('/') + name;
        if (it.fileInfo().isDir())
            ok = QDir().mkpath(target) && ok;
        else if (InstallOnly.contains(name))
            ok = follow(path, target) && ok;
        else if (name == GunPresets)
            ok = mergeKeys(path, target, base + QLatin1Char('/') + name) && ok;
        else if (!name.startsWith(MacroPrefix) && !QFileInfo::exists(target))
            ok = copyFile(path, target) && ok;
    }
    return ok;
}

// Language files: added when missing, given the install's new keys when present.
bool mergeLanguages(const QString &from, const QString &to, const QString &base)
{
    bool ok = QDir().mkpath(to);
    const QFileInfoList files = QDir(from).entryInfoList(QDir::Files | QDir::Hidden);
    for (const QFileInfo &file : files) {
        const QString name = QLatin1Char('/') + file.fileName();
        ok = mergeKeys(file.filePath(), to + name, base + name) && ok;
    }
    return ok;
}

QString environmentDataHome()
{
    return dataHome(qEnvironmentVariable("XDG_DATA_HOME"), qEnvironmentVariable("HOME"));
}

// Copies an interrupted start left behind.
void removeLeftovers(const QString &userModules)
{
    const QStringList leftovers =
        QDir(userModules).entryList({AsidePrefix + QLatin1Char('*')}, QDir::Dirs | QDir::Hidden | QDir::NoDotAndDotDot);
    for (const QString &name : leftovers)
        QDir(userModules + QLatin1Char('/') + name).removeRecursively();
}

} // namespace

QString dataHome(const QString &xdgDataHome, const QString &home)
{
    // Relative paths in XDG variables are to be ignored.
    if (QDir::isAbsolutePath(xdgDataHome))
        return QDir::cleanPath(xdgDataHome);
    if (QDir::isAbsolutePath(home))
        return QDir::cleanPath(home + QStringLiteral("/.local/share"));
    return QString();
}

Choice choose(const QString &exeDir, const QString &dataHome, bool besideWritable)
{
    const QString perUser = dataHome.isEmpty() ? QString() : dataHome + QStringLiteral("/mousecfg");
    if (isFolder(exeDir + Modules)) {
        if (besideWritable || perUser.isEmpty())
            return {exeDir, exeDir, false};
        return {exeDir, perUser, true};
    }
    const QString shared = QDir::cleanPath(exeDir + QStringLiteral("/../share/mousecfg"));
    if (isFolder(shared + Modules)) {
        if (perUser.isEmpty())
            return {shared, shared, false};
        return {shared, perUser, true};
    }
    return {QString(), exeDir, false};
}

bool update(const QString &installedModules, const QString &userModules, int waitMs)
{
    if (!QDir().mkpath(userModules))
        return false;
    const QString dataFolder = QFileInfo(userModules).path();
    // Another program (a second install, a start that took itself for the only one) may be
    // updating the same copy: removing its half-made folders or renaming ours over its work
    // would lose data. Taking turns costs nothing in the usual case.
    QLockFile lock(dataFolder + LockName);
    lock.setStaleLockTime(0);  // a slow copy is not a dead one; a lock of a dead program is taken over
    if (!lock.tryLock(waitMs)) {
        qDebug().noquote() << "Data folder" << dataFolder << "is being updated by another program; not updated";
        return false;
    }
    removeLeftovers(userModules);
    const QString factory = dataFolder + FactoryName;
    bool ok = true;
    const QFileInfoList entries =
        QDir(installedModules).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        const QString target = userModules + QLatin1Char('/') + name;
        bool done;
        if (!entry.isDir())
            done = follow(entry.filePath(), target);
        else if (isDeviceFolderName(name))
            done = (QFileInfo::exists(target) || addDeviceFolder(entry.filePath(), userModules, name))
                && completeDevice(entry.filePath(), target, factory + QLatin1Char('/') + name);
        else if (name == QLatin1String("i18n"))
            done = mergeLanguages(entry.filePath(), target, factory + QLatin1Char('/') + name);
        else
            done = addFiles(entry.filePath(), target, true);
        ok = done && ok;
    }
    return ok;
}

bool copyTree(const QString &from, const QString &to)
{
    return isFolder(from) && addFiles(from, to, true);
}

bool addDeviceFolder(const QString &from, const QString &modules, const QString &name,
                     const std::function<bool(const QString &copy)> &prepare)
{
    const QString aside = modules + QLatin1Char('/') + AsidePrefix + name;
    QDir(aside).removeRecursively();
    if (copyTree(from, aside) && (!prepare || prepare(aside)) && QDir().rename(aside, modules + QLatin1Char('/') + name))
        return true;
    QDir(aside).removeRecursively();
    return false;
}

QString userTable()
{
    const QString home = environmentDataHome();
    return home.isEmpty() ? QString() : home + QStringLiteral("/mousecfg/devConfig.ini");
}

Choice current(const QString &exeDir)
{
    return choose(exeDir, environmentDataHome(), QFileInfo(exeDir + Modules).isWritable());
}

QString enter(const QString &exeDir)
{
    const Choice choice = current(exeDir);
    QString working = choice.working;
    QString note;
    QString unusable;
    if (choice.perUser) {
        const bool complete = update(choice.installed + Modules, working + Modules);
        if (QFileInfo::exists(working + QStringLiteral("/modules/devConfig.ini"))) {
            note = QStringLiteral("(per-user copy of ") + choice.installed
                + (complete ? QStringLiteral(")") : QStringLiteral(", not fully updated)"));
        } else {
            // No usable copy: run on the installed data, whose changes cannot be kept.
            unusable = working;
            note = QStringLiteral("(") + working + QStringLiteral(" cannot be written)");
            working = choice.installed;
        }
    }
    QDir::setCurrent(working);
    qDebug().noquote() << "Data folder" << working << note;
    return unusable;
}

} // namespace datafolder
