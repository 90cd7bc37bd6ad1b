// SPDX-License-Identifier: GPL-3.0-or-later
// Macro files (".bin" in the macro folder; an imported ".mc" is such a file, copied in).
#include "fuzz.h"
#include "view/macrostore.h"

FUZZ_INI(file)
{
    macrostore::macroEvents(file);
}
