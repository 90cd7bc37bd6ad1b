// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/scenefont.h"

#include <QFont>
#include <QFontDatabase>

QString sceneCjkFamily()
{
    return QStringLiteral("Noto Sans CJK SC");
}

QString sceneLatinFamily()
{
    return QStringLiteral("Noto Sans");
}

namespace {

using Systems = QList<QFontDatabase::WritingSystem>;

bool covers(const QString &family, const Systems &needed)
{
    const Systems systems = QFontDatabase::writingSystems(family);
    for (QFontDatabase::WritingSystem system : needed)
        if (!systems.contains(system))
            return false;
    return true;
}

// The installed stand-ins for a missing family: known ones first, else one found by its scripts.
QStringList standInsFor(const QString &family, const QList<const char *> &known, const Systems &needed)
{
    if (QFontDatabase::hasFamily(family))
        return {};
    QStringList standIns;
    for (const char *name : known)
        if (QFontDatabase::hasFamily(QLatin1String(name)) && covers(QLatin1String(name), needed))
            standIns << QLatin1String(name);
    if (standIns.isEmpty()) {
        const QStringList candidates = QFontDatabase::families(needed.last());
        for (const QString &candidate : candidates)
            if (covers(candidate, needed)) {
                standIns << candidate;
                break;
            }
    }
    return standIns;
}

} // namespace

QStringList installSceneFontFallbacks()
{
    // Other builds of the same designs first, then the usual system fonts of Linux desktops and
    // Windows; the Chinese ones carry Latin and Cyrillic as well.
    const QStringList cjk = standInsFor(
        sceneCjkFamily(),
        {"Source Han Sans SC", "Noto Sans CJK JP", "Noto Sans SC", "WenQuanYi Micro Hei", "Droid Sans Fallback",
         "Microsoft YaHei", "Microsoft YaHei UI", "SimHei"},
        {QFontDatabase::Latin, QFontDatabase::Cyrillic, QFontDatabase::SimplifiedChinese});
    const QStringList latin = standInsFor(sceneLatinFamily(),
                                          {"Open Sans", "DejaVu Sans", "Liberation Sans", "Segoe UI", "Arial"},
                                          {QFontDatabase::Latin, QFontDatabase::Cyrillic});
    if (!cjk.isEmpty())
        QFont::insertSubstitutions(sceneCjkFamily(), cjk);
    QFont::insertSubstitutions(sceneLatinFamily(), latin + QStringList{sceneCjkFamily()} + cjk);
    return latin + cjk;
}
