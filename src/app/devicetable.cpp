// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/devicetable.h"

#include "device/hidapi_seam.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>
#include <QSet>
#include <QSettings>

namespace devicetable {

quint16 parseHex16(const QString &text)
{
    bool ok = false;
    const uint value = text.trimmed().toUInt(&ok, 16);
    return ok && value <= 0xFFFF ? static_cast<quint16>(value) : 0;
}

namespace {

quint16 hexKey(QSettings &table, const QString &key)
{
    return parseHex16(table.value(key).toString());
}

QByteArray hex4(quint16 value)
{
    return QByteArray::number(value, 16).rightJustified(4, '0');
}

// A text value as the INI reader takes it back whole (commas, semicolons and quotes included).
QByteArray quoted(const QString &text)
{
    QString escaped;
    for (const QChar c : text) {
        if (c == QLatin1Char('\\') || c == QLatin1Char('"'))
            escaped += QLatin1Char('\\');
        if (c >= QLatin1Char(' '))
            escaped += c;
    }
    return '"' + escaped.toUtf8() + '"';
}

} // namespace

QList<DeviceEntry> read(QSettings &table)
{
    QList<DeviceEntry> entries;
    for (int n = 0; n < table.value(QStringLiteral("common/deviceCount"), 0).toInt() && n < maxEntries; ++n) {
        const QString section = QString::number(n) + QLatin1Char('/');
        DeviceEntry e;
        const QVariant type = table.value(section + QStringLiteral("type"));
        if (type.isValid()) {
            bool ok = false;
            e.type = type.toString().trimmed().toInt(&ok, 16);
            if (!ok)
                e.type = 0;
        }
        e.vid = hexKey(table, section + QStringLiteral("vid"));
        e.pid = hexKey(table, section + QStringLiteral("pid"));
        e.usagePage = hexKey(table, section + QStringLiteral("usagePage"));
        e.usage = hexKey(table, section + QStringLiteral("usage"));
        e.usagePage2 = hexKey(table, section + QStringLiteral("usagePage2"));
        e.usage2 = hexKey(table, section + QStringLiteral("usage2"));
        e.reportLength = table.value(section + QStringLiteral("reportLength"), 32).toInt();
        e.sCode = table.value(section + QStringLiteral("sCode"), QStringLiteral("583041")).toString();
        e.name = table.value(section + QStringLiteral("name")).toStringList().join(QStringLiteral(", "));
        entries.append(e);
    }
    return entries;
}

QList<DeviceEntry> readFile(const QString &fileName)
{
    if (!QFileInfo(fileName).isFile())
        return {};
    QSettings table(fileName, QSettings::IniFormat);
    return read(table);
}

QList<DeviceEntry> readAll(const QString &installedTable, const QString &userTable)
{
    QList<DeviceEntry> entries = readFile(installedTable);
    if (!userTable.isEmpty())
        entries += readFile(userTable);
    return entries;
}

QByteArray format(const QList<DeviceEntry> &entries)
{
    QByteArray text = "; Mice added with mousecfg --add-device. type 0: keyboard, type 1: mouse\n[common]\ndeviceCount="
        + QByteArray::number(entries.size()) + '\n';
    for (int n = 0; n < entries.size(); ++n) {
        const DeviceEntry &e = entries.at(n);
        text += "\n[" + QByteArray::number(n) + "]\ntype=" + QByteArray::number(e.type, 16) + "\nname=" + quoted(e.name)
            + "\nvid=" + hex4(e.vid) + "\npid=" + hex4(e.pid) + "\nusagePage=" + hex4(e.usagePage) + "\nusage="
            + hex4(e.usage) + "\nusagePage2=" + hex4(e.usagePage2) + "\nusage2=" + hex4(e.usage2)
            + "\nreportLength=" + QByteArray::number(e.reportLength) + "\nsCode=" + quoted(e.sCode) + '\n';
    }
    return text;
}

bool writeFile(const QString &fileName, const QList<DeviceEntry> &entries, QString *error)
{
    const QByteArray text = format(entries);
    QSaveFile file(fileName);
    const bool folder = QDir().mkpath(QFileInfo(fileName).path());
    if (folder && file.open(QIODevice::WriteOnly) && file.write(text) == text.size() && file.commit())
        return true;
    if (error)
        *error = folder ? file.errorString() : QStringLiteral("its folder cannot be made");
    return false;
}

QByteArray udevRules(const QList<DeviceEntry> &entries)
{
    QByteArray rules;
    QSet<quint32> seen;
    for (const DeviceEntry &entry : entries) {
        const quint32 id = quint32(entry.vid) << 16 | entry.pid;
        if (!entry.vid || !entry.pid || seen.contains(id))
            continue;
        seen.insert(id);
        rules += "KERNEL==\"hidraw*\", SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"" + hex4(entry.vid)
            + "\", ATTRS{idProduct}==\"" + hex4(entry.pid) + "\", TAG+=\"uaccess\"\n";
    }
    return rules;
}

void assignPaths(DeviceEntry &entry, const QList<HidInterface> &interfaces)
{
    entry.path.clear();
    entry.path2.clear();
    for (const HidInterface &i : interfaces) {
        if (i.usagePage == entry.usagePage && i.usage == entry.usage)
            entry.path = i.path;
        if (i.usagePage == entry.usagePage2 && i.usage == entry.usage2)
            entry.path2 = i.path;
    }
}

QList<HidInterface> enumerate(quint16 vid, quint16 pid)
{
    QList<HidInterface> interfaces;
    hid_device_info *devices = hid::enumerate(vid, pid);
    for (const hid_device_info *d = devices; d; d = d->next) {
        if (!d->path)
            continue;
        interfaces.append({QString::fromLocal8Bit(d->path), d->usage_page, d->usage});
    }
    if (devices)
        hid::free_enumeration(devices);
    return interfaces;
}

QStringList dropLockedOut(QList<DeviceEntry> &entries)
{
    QStringList locked;
    for (DeviceEntry &entry : entries) {
        if (entry.path.isEmpty() || !hid::access_denied(entry.path.toLocal8Bit().constData()))
            continue;
        locked << entry.path;
        entry.path.clear();
        entry.path2.clear();
    }
    return locked;
}

int firstPresent(const QList<DeviceEntry> &entries)
{
    for (int i = 0; i < entries.size(); ++i)
        if (!entries.at(i).path.isEmpty())
            return i;
    return -1;
}

} // namespace devicetable
