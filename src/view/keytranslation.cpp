// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/keytranslation.h"

#include <algorithm>

namespace keys {

namespace {

// Consumer usages 0x0221 (search), 0x0223 (home page) and 0x0194 (My PC) are sent as media
// keys whichever page produced them.
bool isConsumerPair(uint8_t low, uint8_t high)
{
    return ((low == 0x21 || low == 0x23) && high == 0x02) || (low == 0x94 && high == 0x01);
}

// Form 01 of the parameter block presses up to three usages a', b', c' together. A
// combination's keys keep the bytes they have always had (key 1 in c', key 2 in b'); its
// modifiers go as their usages (bit n: 0xE0 + n), in bit order, into the bytes left free just
// before the keys, where the shortcut rows put their Ctrl (copy: 01 00 E0 06). Modifiers that
// do not fit are left out; the assignment dialog captures no more than fit.
KeyDefinition combinationForm(uint8_t modifiers, uint8_t key1, uint8_t key2)
{
    KeyDefinition p{0x01, 0x00, 0x00, 0x00};
    int last = 3;   // the last byte still free
    for (const uint8_t key : {key1, key2}) {
        if (key != 0)
            p[last--] = key;
    }
    int count = 0;
    for (int bit = 0; bit < 8; ++bit)
        count += (modifiers >> bit) & 1;
    int at = last - std::min(count, last) + 1;
    for (int bit = 0; bit < 8 && at <= last; ++bit) {
        if (modifiers & (1u << bit))
            p[at++] = static_cast<uint8_t>(0xE0 + bit);
    }
    return p;
}

} // namespace

bool isDoubleFire(const KeyDefinition &ui)
{
    return ui[0] == MouseButton && ui[2] == 0x1E && ui[3] == 0x02;
}

KeyDefinition toKeyMatrixForm(const KeyDefinition &ui, bool family560)
{
    const uint8_t t = ui[0], a = ui[1], b = ui[2], c = ui[3];
    KeyDefinition out = ui;
    switch (t) {
    case MouseButton:
        out = isDoubleFire(ui) ? KeyDefinition{0x0A, a, 0x1E, 0x02} : KeyDefinition{0x01, a, b, c};
        break;
    case Fire:
        out = {0x0A, a, b, c};
        break;
    case KeyCombination:
    case WindowsFunction:
    case Shortcut:
        out = {0x00, a, b, c};
        break;
    case Media:
        break;
    case Macro:
        out = {0x09, a, static_cast<uint8_t>(b + 1), c};
        break;
    case DpiFunction:
        if (b == sniperFunction)
            out = family560 ? KeyDefinition{0x0B, 0x00, 0x01, 0x01} : KeyDefinition{0x07, 0x00, 0x04, 0x01};
        else
            out = {0x07, a, b, c};
        break;
    case GunFunction:
        break;
    case FactoryOnly:
        out = {0x04, a, b, c};
        break;
    default:
        break;
    }
    // A fire entry carries its interval and repeat count in b and c, not a usage: an interval
    // of 33 ms with two repeats must stay a fire key.
    if (t != Fire && isConsumerPair(out[2], out[3]))
        out[0] = Media;
    return out;
}

KeyDefinition toParameterForm(const KeyDefinition &ui)
{
    const uint8_t t = ui[0], a = ui[1], b = ui[2], c = ui[3];
    KeyDefinition p = ui;   // t', a', b', c'
    switch (t) {
    case MouseButton:
        p = isDoubleFire(ui) ? KeyDefinition{0x0C, 0x02, 0x01, 0xF0} : KeyDefinition{0x02, a, 0x00, b};
        break;
    case Fire:
        p = {0x0C, c, b, a};
        break;
    case KeyCombination:
        p = combinationForm(a, b, c);
        break;
    case Media:
        p = {0x03, 0x00, c, b};
        break;
    case Macro:
        p = {0x05, static_cast<uint8_t>(a + 1), 0x00, b};
        break;
    case DpiFunction:
        p = b == sniperFunction ? KeyDefinition{0xF0, 0x03, 0x01, 0x04} : KeyDefinition{0x0B, a, 0x00, b};
        break;
    case WindowsFunction:
    case Shortcut:
        p = {0x01, a, b, c};
        break;
    case FactoryOnly:
        p = {0x04, a, b, c};
        break;
    default:   // gun functions and unknown types keep their bytes
        break;
    }
    const bool fixedForm = t == MouseButton || t == Macro || t == DpiFunction;
    if (!fixedForm && isConsumerPair(p[2], p[3]))
        p = {0x03, 0x00, p[3], p[2]};
    return {p[3], p[2], p[1], p[0]};
}

KeyMatrix flatten(const Definitions &definitions)
{
    KeyMatrix out{};
    for (int n = 0; n < buttonCount; ++n)
        std::copy(definitions[n].begin(), definitions[n].end(), out.begin() + 4 * n);
    return out;
}

MatrixSet buildKeyMatrices(const Definitions &ui, const Definitions &firmware,
                           const std::array<uint8_t, 3> &gunPeriods, bool family560)
{
    MatrixSet set;
    Definitions m1{};
    for (int n = 0; n < buttonCount; ++n)
        m1[n] = toKeyMatrixForm(ui[n], family560);

    const bool hasGun = std::any_of(m1.begin(), m1.end(),
                                    [](const KeyDefinition &d) { return d[0] == GunFunction; });
    if (!hasGun) {
        set.matrices[0] = flatten(m1);
        return set;
    }

    Definitions m2 = firmware, m3 = firmware, m4 = firmware;
    int highestGun = 0;
    for (int n = 0; n < buttonCount; ++n) {
        if (m1[n][0] != GunFunction)
            continue;
        const int g = m1[n][2];
        const bool known = g >= 1 && g <= 3;
        m2[n][0] = m3[n][0] = m4[n][0] = GunFunction;
        if (family560) {
            m1[n][2] = 0x01;
            m2[n][2] = g >= 2 ? 0x03 : 0x00;
            m3[n][2] = g == 3 ? 0x03 : 0x00;
            m4[n][2] = 0x00;
            if (known)
                highestGun = std::max(highestGun, g);
        } else {
            for (Definitions *m : {&m1, &m2, &m3, &m4}) {
                (*m)[n][1] = 0x00;
                (*m)[n][2] = 0x01;
            }
            if (known) {
                m1[n][3] = 0x01;
                m2[n][3] = g >= 2 ? 0x02 : 0x00;
                m3[n][3] = g == 3 ? 0x03 : 0x00;
                m4[n][3] = 0x00;
            }
        }
    }
    // Entry 0 of the gun matrices carries the fire period of its gun. With several gun keys
    // the mask enables the matrices of the largest gun count.
    m2[0] = {0x0B, 0x00, gunPeriods[0], 0x00};
    m3[0] = {0x0B, 0x01, gunPeriods[1], 0x00};
    m4[0] = {0x0B, 0x02, gunPeriods[2], 0x00};
    static const uint8_t masks[] = {0x00, 0x07, 0x0F, 0x1F};
    set.gunMask = family560 ? masks[highestGun] : 0;
    set.matrices = {flatten(m1), flatten(m2), flatten(m3), flatten(m4)};
    set.count = 4;
    return set;
}

} // namespace keys
