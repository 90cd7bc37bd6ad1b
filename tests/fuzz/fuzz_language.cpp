// SPDX-License-Identifier: GPL-3.0-or-later
// Language files: every section as the pages ask for it.
#include "fuzz.h"
#include "view/macrostore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::IniFile file(data, size);
    for (const QString &section : file->childGroups())
        macrostore::languageTexts(*file, section);
    return 0;
}
