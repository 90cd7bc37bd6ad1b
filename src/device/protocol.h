// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Byte-level framing of the vendor protocol: pure functions, no I/O.

#include <array>
#include <cstddef>
#include <cstdint>

namespace protocol {

using Payload = std::array<uint8_t, 8>;

// 255 - ((b0 + ... + b6) mod 256): the complement of the low byte of the sum.
inline uint8_t checksum(const uint8_t *payload)
{
    unsigned sum = 0;
    for (int i = 0; i < 7; ++i)
        sum += payload[i];
    return static_cast<uint8_t>(0xFF - (sum & 0xFF));
}

// A payload b0..b6 with its checksum in b7.
inline Payload command(uint8_t b0, uint8_t b1 = 0, uint8_t b2 = 0, uint8_t b3 = 0,
                       uint8_t b4 = 0, uint8_t b5 = 0, uint8_t b6 = 0)
{
    Payload p{b0, b1, b2, b3, b4, b5, b6, 0};
    p[7] = checksum(p.data());
    return p;
}

// A payload that carries 0 instead of a checksum (the two parameter blocks and the macro block
// of the 553 family).
inline Payload commandWithoutChecksum(uint8_t b0, uint8_t b1 = 0, uint8_t b2 = 0, uint8_t b3 = 0,
                                      uint8_t b4 = 0, uint8_t b5 = 0, uint8_t b6 = 0)
{
    return Payload{b0, b1, b2, b3, b4, b5, b6, 0};
}

// Bytes of data carried per report in a data phase.
inline int chunkSize(int length, int reportLength)
{
    return length < reportLength ? length : reportLength;
}

} // namespace protocol
