// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The device table ("./modules/devConfig.ini") and the matching of its rows against the HID
// interfaces that are attached. Parsing and matching are pure; enumeration goes through hidapi.

#include "device/deviceentry.h"

#include <QList>
#include <QString>
#include <QStringList>

class QSettings;

namespace devicetable {

// A table never holds more rows than this; a damaged count beyond it is cut here.
constexpr int maxEntries = 256;

// One attached HID interface as enumeration reports it.
struct HidInterface
{
    QString path;
    quint16 usagePage = 0;
    quint16 usage = 0;
};

// Hexadecimal text without prefix ("ff01", "0001", "FF01") as a 16-bit value; text that is not
// a hexadecimal number of at most 16 bits gives 0.
quint16 parseHex16(const QString &text);

// The rows of an opened table: sections "0" .. count-1, the count read again before each row.
QList<DeviceEntry> read(QSettings &table);
// The rows of the table file; a missing file has no rows.
QList<DeviceEntry> readFile(const QString &fileName);
// The rows the program uses: the installed table's, then those of the user's own table (the mice
// they added).
QList<DeviceEntry> readAll(const QString &installedTable, const QString &userTable);

// The text of a table of these rows, as read() reads it back.
QByteArray format(const QList<DeviceEntry> &entries);
// Replaces the table file with these rows in one step (its folder made when missing); on failure
// the file stays as it was and `error` says why.
bool writeFile(const QString &fileName, const QList<DeviceEntry> &entries, QString *error);

// The udev rules that let the user at the seat open the hidraw nodes of these rows: one line per
// vendor and product id, none for a zero id (it would match every device).
QByteArray udevRules(const QList<DeviceEntry> &entries);

// Sets path and path2 of an entry from the interfaces of its device: the last interface with the
// command usage page and usage gives path, the last with the status ones gives path2.
void assignPaths(DeviceEntry &entry, const QList<HidInterface> &interfaces);

// The interfaces hidapi enumerates for vid/pid (empty when enumeration fails).
QList<HidInterface> enumerate(quint16 vid, quint16 pid);

// Clears both paths of each entry whose command interface is attached but may not be opened by
// this user (no udev rule), so that detection passes over it; returns those interfaces' paths.
QStringList dropLockedOut(QList<DeviceEntry> &entries);

// Index of the first entry whose command interface is present, -1 when none.
int firstPresent(const QList<DeviceEntry> &entries);

} // namespace devicetable
