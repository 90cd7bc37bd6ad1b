#include "app/scenefont.h"

#include <QFont>
#include <QFontDatabase>

QString sceneFontFamily()
{
    return QStringLiteral("Noto Sans CJK SC");
}

namespace {

bool coversSceneScripts(const QString &family)
{
    const QList<QFontDatabase::WritingSystem> systems = QFontDatabase::writingSystems(family);
    return systems.contains(QFontDatabase::Latin) && systems.contains(QFontDatabase::Cyrillic)
           && systems.contains(QFontDatabase::SimplifiedChinese);
}

} // namespace

QStringList installSceneFontFallbacks()
{
    const QString family = sceneFontFamily();
    if (QFontDatabase::hasFamily(family))
        return {};

    // Other builds of the same design first, then the usual Chinese system fonts of Linux
    // desktops and Windows, which carry Latin and Cyrillic as well.
    static const char *const known[] = {
        "Source Han Sans SC", "Noto Sans CJK JP", "Noto Sans SC", "WenQuanYi Micro Hei",
        "Droid Sans Fallback", "Microsoft YaHei", "Microsoft YaHei UI", "SimHei"};
    QStringList standIns;
    for (const char *name : known)
        if (QFontDatabase::hasFamily(QLatin1String(name)) && coversSceneScripts(QLatin1String(name)))
            standIns << QLatin1String(name);
    if (standIns.isEmpty()) {
        const QStringList chinese = QFontDatabase::families(QFontDatabase::SimplifiedChinese);
        for (const QString &candidate : chinese)
            if (coversSceneScripts(candidate)) {
                standIns << candidate;
                break;
            }
    }
    if (!standIns.isEmpty())
        QFont::insertSubstitutions(family, standIns);
    return standIns;
}
