// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Scrambling of the 8-byte command payload for devices that require it: pure functions, no I/O.
// Both the program and the virtual mice use them, so each side undoes exactly what the other did.

#include <cstddef>
#include <cstdint>

// The fixed key mixed into every scrambled payload ("QpZvKdWm").
extern const uint8_t scrambleKey[8];

// Scrambles p in place with bytes 1..6 of code (bytes 0 and 7 of the code take no part).
void scramble(uint8_t p[8], const uint8_t code[8]);
// The exact inverse of scramble with the same code.
void unscramble(uint8_t p[8], const uint8_t code[8]);

// Loads bytes 1..6 of code from a six-character device code (Latin-1 codes; other characters
// give 0). Any other length leaves code as it was and returns false.
bool secrecyCodeFromText(const char16_t *text, size_t length, uint8_t code[8]);
