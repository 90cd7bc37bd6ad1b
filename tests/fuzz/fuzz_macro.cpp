// SPDX-License-Identifier: GPL-3.0-or-later
// Macro files (".bin" in the macro folder; an imported ".mc" is such a file, copied in).
#include "fuzz.h"
#include "view/macrostore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    fuzz::IniFile file(data, size);
    macrostore::macroEvents(*file);
    return 0;
}
