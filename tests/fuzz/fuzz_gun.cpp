// SPDX-License-Identifier: GPL-3.0-or-later
// "gunData.bin": gun presets, each turned into the bytes sent to the mouse.
#include "fuzz.h"
#include "view/settingvalues.h"

FUZZ_INI(file)
{
    file.beginGroup(QStringLiteral("gunData"));
    for (const QString &key : file.childKeys()) {
        const QVariantList preset = values::toList(file.value(key));
        for (int i = 0; i < 6; ++i)
            values::byteAt(preset, i);
    }
}
