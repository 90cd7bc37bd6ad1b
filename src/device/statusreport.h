// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Status reports of the status interface and the identity tables: pure functions, no I/O.

#include <cstdint>

namespace status {

// What one status report announces, in the order syncFwReport takes it.
struct Report
{
    uint8_t type = 0;        // 2 report rate, 3 DPI stage, 4 light mode, 5 light speed, 0xFF all
    uint8_t reportRate = 0;  // 8, 4, 2, 1 = 125, 250, 500, 1000 Hz
    uint8_t dpi = 0;         // DPI stage counted from 1
    uint8_t lightMode = 0;
    uint8_t speed = 0;
};

constexpr int reportNumber = 5;
constexpr int reportSize = 7;      // report number included
constexpr int readSize = 11;       // bytes asked for per read

// A read of `length` bytes is a status report only when it is exactly 7 bytes of report 5
// with 0 in byte 1; anything else (time-out, error, other reports) is not.
inline bool decode(const uint8_t *bytes, int length, Report &out)
{
    if (!bytes || length != reportSize || bytes[0] != reportNumber || bytes[1] != 0)
        return false;
    out.type = bytes[6];
    out.reportRate = bytes[2];
    out.dpi = static_cast<uint8_t>(bytes[3] + 1);
    out.lightMode = bytes[4];
    out.speed = bytes[5];
    return true;
}

// Device identity by index, as the keyboard-option query reports it. An index past the end of
// a table names nothing and reads as 0.
inline uint32_t icType(unsigned index)
{
    static const uint32_t table[] = {0, 50343, 52341, 571, 572, 574, 553, 560, 541};
    return index < sizeof table / sizeof table[0] ? table[index] : 0;
}

inline uint32_t sensorType(unsigned index)
{
    static const uint32_t table[] = {0, 3050, 3205, 3325, 3327, 3336, 3337, 3360, 3389, 4090, 0, 0, 0, 0, 0, 0};
    return index < sizeof table / sizeof table[0] ? table[index] : 0;
}

} // namespace status
