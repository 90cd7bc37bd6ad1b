// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QString>
#include <QtGlobal>

// One row of the device table with the interface paths found for it.
struct DeviceEntry
{
    int type = -1;              // 0 keyboard, 1 mouse; detection does not look at it
    quint16 vid = 0;
    quint16 pid = 0;
    quint16 usagePage = 0;      // command interface
    quint16 usage = 0;
    quint16 usagePage2 = 0;     // status interface
    quint16 usage2 = 0;
    int reportLength = 32;      // data bytes per report on the command interface
    bool isEncode = false;      // request/reply payloads scrambled
    QString sCode = QStringLiteral("583041");
    QString name;               // what the user called the mouse when adding it; may be empty
    QString path;               // command interface; empty when absent
    QString path2;              // status interface; empty when absent
};
