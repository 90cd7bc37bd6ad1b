// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/macrostore.h"

#include "view/settingvalues.h"

#include <QDir>
#include <QSettings>
#include <QStringList>

namespace macrostore {

namespace {

// Most file systems (ext4, btrfs, XFS; NTFS counts UTF-16 units, never more than these bytes)
// store at most 255 bytes of a file name.
constexpr int maxFileNameBytes = 255;
constexpr int extensionLength = 4;
// Settings are written next to their file through a lock file (".lock") and a temporary one
// (".XXXXXX"), whose names must fit too: a macro renamed to a longer name is never saved again.
constexpr int writeSuffixLength = 7;

int fileNameBytes(const QString &name)
{
    return static_cast<int>(name.toUtf8().size()) + extensionLength;
}

bool isDeviceName(const QString &name)
{
    // Windows opens these devices whatever the extension, so "NUL.bin" would swallow data.
    const QString base = name.section(QLatin1Char('.'), 0, 0).trimmed().toUpper();
    static const QStringList fixed = {QStringLiteral("CON"), QStringLiteral("PRN"),
                                      QStringLiteral("AUX"), QStringLiteral("NUL")};
    if (fixed.contains(base))
        return true;
    return base.size() == 4 && (base.startsWith(QLatin1String("COM")) || base.startsWith(QLatin1String("LPT")))
           && base.at(3) >= QLatin1Char('1') && base.at(3) <= QLatin1Char('9');
}

} // namespace

bool isSafeName(const QString &name)
{
    // Dots are ordinary characters here: without a separator no name leaves the folder, and
    // "a..b" is a file an older macro list may hold.
    if (name.isEmpty() || fileNameBytes(name) > maxFileNameBytes)
        return false;
    for (const QChar c : name) {
        if (c.unicode() < 0x20 || c.unicode() == 0x7F)
            return false;
        switch (c.unicode()) {
        case '/': case '\\': case ':': case '*': case '?': case '"': case '<': case '>': case '|':
            return false;
        default:
            break;
        }
    }
    return !isDeviceName(name);
}

bool isNewMacroName(const QString &name)
{
    return isSafeName(name) && fileNameBytes(name) + writeSuffixLength <= maxFileNameBytes && name != nameListEnd;
}

QString macroFolder(const QString &settingsFolder)
{
    return settingsFolder + QStringLiteral("/macro");
}

QString macroFile(const QString &settingsFolder, const QString &name)
{
    if (settingsFolder.isEmpty() || !isSafeName(name))
        return {};
    const QString folder = macroFolder(settingsFolder);
    const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".bin");
    // The character rules already keep the file in the folder; this states the guarantee.
    if (QDir::cleanPath(path).section(QLatin1Char('/'), 0, -2) != QDir::cleanPath(folder))
        return {};
    return path;
}

QString iniText(const QVariant &value, const QString &separator)
{
    if (value.typeId() == QMetaType::QStringList)
        return value.toStringList().join(separator);
    if (value.typeId() == QMetaType::QVariantList) {
        QStringList parts;
        for (const QVariant &v : value.toList())
            parts << v.toString();
        return parts.join(separator);
    }
    return value.toString();
}

QStringList macroEvents(const QSettings &file)
{
    const int total = static_cast<int>(
        qBound(qint64(0), values::toInteger(file.value(QStringLiteral("config/total"))), qint64(maxEvents)));
    QStringList events;
    events.reserve(total + 1);
    const QString comma = QStringLiteral(",");
    for (int i = 0; i < total; ++i)
        events << iniText(file.value(QStringLiteral("macro/") + QString::number(i), QStringLiteral("0")), comma);
    events << iniText(file.value(QStringLiteral("config/repeat"), QStringLiteral("0")), comma);
    return events;
}

QStringList languageTexts(const QSettings &file, const QString &section)
{
    const int total = static_cast<int>(
        qBound(qint64(0), values::toInteger(file.value(section + QStringLiteral("/total"))), qint64(maxTexts)));
    QStringList texts;
    texts.reserve(total);
    const QString separator = QStringLiteral(", ");
    for (int i = 0; i < total; ++i)
        texts << iniText(file.value(section + QLatin1Char('/') + QString::number(i)), separator);
    return texts;
}

} // namespace macrostore
