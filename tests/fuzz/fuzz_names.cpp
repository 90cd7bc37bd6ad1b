// SPDX-License-Identifier: GPL-3.0-or-later
// "name.bin": the name lists of macros, gun presets and profiles.
#include "fuzz.h"
#include "view/macrostore.h"
#include "view/settingvalues.h"

FUZZ_INI(file)
{
    for (const QString &key : file.allKeys()) {
        for (const QVariant &name : values::toList(file.value(key)))
            macrostore::macroFile(QStringLiteral("/settings"), name.toString());
    }
}
