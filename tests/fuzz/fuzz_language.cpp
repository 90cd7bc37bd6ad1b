// SPDX-License-Identifier: GPL-3.0-or-later
// Language files: every section as the pages ask for it.
#include "fuzz.h"
#include "view/macrostore.h"

FUZZ_INI(file)
{
    for (const QString &section : file.childGroups())
        macrostore::languageTexts(file, section);
}
