// SPDX-License-Identifier: GPL-3.0-or-later
// Profile files (an imported ".pf" becomes one): every value through the readers the pages use.
#include "fuzz.h"
#include "view/settingvalues.h"

FUZZ_INI(file)
{
    for (const QString &key : file.allKeys()) {
        const QVariant value = file.value(key);
        values::toInteger(value);
        values::definition(value);
        const QVariantList list = values::toList(value);
        values::integers(list, 64);
        values::definitionAt(list, 1);
    }
}
