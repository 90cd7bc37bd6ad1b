// SPDX-License-Identifier: GPL-3.0-or-later
// UI texts of a language from "./modules/i18n/<language>.ini" (UTF-8).
#include "view/myqquickview.h"

#include "view/macrostore.h"

#include <QFileInfo>
#include <QSettings>

QStringList myQQuickView::getLangStrings(QString typeStr, QString langCode)
{
    // The language code comes from a settings file: it names a file in the language folder
    // and nothing else.
    if (typeStr.isEmpty() || !macrostore::isSafeName(langCode))
        return {};
    const QString path = QStringLiteral("./modules/i18n/") + langCode + QStringLiteral(".ini");
    if (!QFileInfo(path).isFile())
        return {};
    return macrostore::languageTexts(QSettings(path, QSettings::IniFormat), typeStr);
}
