#include "app/datafolder.h"

#include <QDebug>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace datafolder {

namespace {

const QString Modules = QStringLiteral("/modules");
// Device folders and files are written under this prefix first, then renamed into place.
const QString AsidePrefix = QStringLiteral(".copy-");

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

// Copies a device folder beside its place and renames it in: it is there whole or not at all.
bool addFolder(const QString &from, const QString &userModules, const QString &name)
{
    const QString aside = userModules + QLatin1Char('/') + AsidePrefix + name;
    QDir(aside).removeRecursively();
    if (copyTree(from, aside) && QDir().rename(aside, userModules + QLatin1Char('/') + name))
        return true;
    QDir(aside).removeRecursively();
    return false;
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

bool update(const QString &installedModules, const QString &userModules)
{
    if (!QDir().mkpath(userModules))
        return false;
    removeLeftovers(userModules);
    bool ok = true;
    const QFileInfoList entries =
        QDir(installedModules).entryInfoList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name);
    for (const QFileInfo &entry : entries) {
        const QString name = entry.fileName();
        const QString target = userModules + QLatin1Char('/') + name;
        const bool present = QFileInfo::exists(target);
        bool done;
        if (!entry.isDir())
            done = (present && sameContent(entry.filePath(), target)) || copyFile(entry.filePath(), target);
        else if (isDeviceFolderName(name))
            done = present || addFolder(entry.filePath(), userModules, name);
        else
            done = addFiles(entry.filePath(), target, name != QLatin1String("i18n"));
        ok = done && ok;
    }
    return ok;
}

bool copyTree(const QString &from, const QString &to)
{
    return isFolder(from) && addFiles(from, to, true);
}

void enter(const QString &exeDir)
{
    const QString home = dataHome(qEnvironmentVariable("XDG_DATA_HOME"), qEnvironmentVariable("HOME"));
    const Choice choice = choose(exeDir, home, QFileInfo(exeDir + Modules).isWritable());
    QString working = choice.working;
    QString note;
    if (choice.perUser) {
        const bool complete = update(choice.installed + Modules, working + Modules);
        if (QFileInfo::exists(working + QStringLiteral("/modules/devConfig.ini"))) {
            note = QStringLiteral("(per-user copy of ") + choice.installed
                + (complete ? QStringLiteral(")") : QStringLiteral(", not fully updated)"));
        } else {
            // No usable copy: run on the installed data, whose changes cannot be kept.
            note = QStringLiteral("(") + working + QStringLiteral(" cannot be written)");
            working = choice.installed;
        }
    }
    QDir::setCurrent(working);
    qDebug().noquote() << "Data folder" << working << note;
}

} // namespace datafolder
