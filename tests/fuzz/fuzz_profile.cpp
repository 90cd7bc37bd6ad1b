// SPDX-License-Identifier: GPL-3.0-or-later
// Profile files (an imported ".pf" becomes one): every value through the readers the pages use.
#include "fuzz.h"
#include "view/settingvalues.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::IniFile file(data, size);
    for (const QString &key : file->allKeys()) {
        const QVariant value = file->value(key);
        values::toInteger(value);
        values::definition(value);
        const QVariantList list = values::toList(value);
        values::integers(list, 64);
        values::definitionAt(list, 1);
    }
    return 0;
}
