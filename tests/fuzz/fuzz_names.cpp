// SPDX-License-Identifier: GPL-3.0-or-later
// "name.bin": the name lists of macros, gun presets and profiles.
#include "fuzz.h"
#include "view/macrostore.h"
#include "view/settingvalues.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::IniFile file(data, size);
    for (const QString &key : file->allKeys()) {
        for (const QVariant &name : values::toList(file->value(key)))
            macrostore::macroFile(QStringLiteral("/settings"), name.toString());
    }
    return 0;
}
