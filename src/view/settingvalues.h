// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Conversions between the values QML and the settings files hand over (variants, lists of
// strings) and the bytes the device takes. Pure functions, no I/O.

#include "view/keytranslation.h"

#include <QVariant>
#include <QVariantList>

#include <cstdint>
#include <vector>

namespace values {

// A number given as int, double or text; anything else (or NaN, or text that is no number)
// is 0. Fractions are cut toward zero.
qint64 toInteger(const QVariant &value);

// The low 8 bits of toInteger.
uint8_t toByte(const QVariant &value);

// Element i of a list as a number; a missing element is 0.
qint64 integerAt(const QVariantList &list, int i);
uint8_t byteAt(const QVariantList &list, int i);

// The first n elements (or fewer) as numbers.
std::vector<int> integers(const QVariantList &list, int n);

// A stored value as a list: lists stay lists, a single value becomes a one-element list,
// a missing value an empty list.
QVariantList toList(const QVariant &stored);

// A stored definition: four bytes; missing values are 0, values beyond the fourth ignored.
keys::KeyDefinition definition(const QVariant &stored);

// Four values of a list starting at offset, missing ones 0.
keys::KeyDefinition definitionAt(const QVariantList &list, int offset);

// A definition as the list of four ints written to a settings file.
QVariantList toVariant(const keys::KeyDefinition &definition);

} // namespace values
