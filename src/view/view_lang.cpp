// UI texts of a language from "./modules/i18n/<language>.ini" (UTF-8).
#include "view/myqquickview.h"

#include "view/macrostore.h"
#include "view/settingvalues.h"

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
    const QSettings file(path, QSettings::IniFormat);
    const int total = static_cast<int>(
        qBound(qint64(0), values::toInteger(file.value(typeStr + QStringLiteral("/total"))), qint64(macrostore::maxTexts)));
    QStringList texts;
    texts.reserve(total);
    const QString separator = QStringLiteral(", ");
    for (int i = 0; i < total; ++i)
        texts << macrostore::iniText(file.value(typeStr + QLatin1Char('/') + QString::number(i)), separator);
    return texts;
}
