// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Request payloads and reply pre-fills of the two firmware command sets: pure functions, no I/O.
// The Hid_Thread slots and the virtual firmware both take their bytes from here.

#include "device/protocol.h"

#include <cstdint>
#include <cstring>

namespace cmdset {

// Report number 0 followed by the payload: how request and reply buffers are laid out.
inline void fillReport(uint8_t report[9], const protocol::Payload &payload)
{
    report[0] = 0;
    std::memcpy(report + 1, payload.data(), payload.size());
}

// Copies length bytes of a data block into dst; a missing block reads as zeros.
inline void loadBlock(uint8_t *dst, const uint8_t *src, int length)
{
    if (src)
        std::memcpy(dst, src, static_cast<size_t>(length));
    else
        std::memset(dst, 0, static_cast<size_t>(length));
}

} // namespace cmdset

namespace cmd553 {

using protocol::Payload;

// Lengths of the data phases.
constexpr int parameter0Length = 64;
constexpr int parameter1Length = 192;
constexpr int macroLength = 128;
constexpr int keyMatrixLength = 64;
constexpr int dpiSetLength = 8;
constexpr int ledColoursLength = 24;

// Type 2 carries a single colour block of four bytes; every other type the eight colours.
inline uint8_t ledColourLength(uint8_t type) { return type == 2 ? 4 : ledColoursLength; }

// The parameter blocks and the macro block carry 0 in place of the checksum.
inline Payload setParameter0(uint8_t profileNo) { return protocol::commandWithoutChecksum(0x02, profileNo, 0, 0, 0, 0, 0x01); }
inline Payload setParameter1(uint8_t profileNo) { return protocol::commandWithoutChecksum(0x03, 0, 0, 0, 0, profileNo, 0x03); }
inline Payload setMacroKey(uint8_t macroId) { return protocol::commandWithoutChecksum(0x04, 0, macroId); }

inline Payload setKeyMatrix(uint8_t indexAddOne) { return protocol::command(0x12, indexAddOne, keyMatrixLength, 0x08); }
inline Payload setDpiSet(uint8_t dpiStage) { return protocol::command(0x11, dpiStage, dpiSetLength); }
inline Payload setLed8StageColor(uint8_t type) { return protocol::command(0x10, type, ledColourLength(type)); }
inline Payload setCurrentDpi(uint8_t stage) { return protocol::command(0x0B, stage); }
inline Payload setFixLedColor(uint8_t r, uint8_t g, uint8_t b) { return protocol::command(0x0C, r, g, b); }
inline Payload setRgbLedEffect(uint8_t effect, uint8_t option1, uint8_t option2) { return protocol::command(0x0D, effect, option1, option2); }
inline Payload setCurrentKeyMatrix(uint8_t matrix) { return protocol::command(0x02, matrix); }
inline Payload setKeyboardOption(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) { return protocol::command(0x03, b1, b2, b3, b4); }
inline Payload setGunData(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) { return protocol::command(0x04, 0, b1, b2, b3, b4); }
// Synchronisation request; the keyboard-option query puts the same bytes on the wire.
inline Payload syncData() { return protocol::command(0x80); }

inline Payload getSecrecyCode(uint8_t c1, uint8_t c2, uint8_t c3, uint8_t c4) { return protocol::command(0x00, c1, c2, c3, c4); }
inline Payload getKeyboardOption() { return protocol::command(0x80); }
inline Payload getCurrentDpi() { return protocol::command(0x8B); }

// What the reply holds before a query: a failed transfer leaves exactly this behind.
inline Payload getSecrecyCodePrefill() { return Payload{}; }
inline Payload getKeyboardOptionPrefill(uint8_t b1, uint8_t b2, uint8_t b3, uint8_t b4) { return Payload{0x80, 0, b1, b2, b3, b4, 0, 0}; }
inline Payload getCurrentDpiPrefill(uint8_t b1) { return Payload{0x84, b1, 0, 0, 0, 0, 0, 0}; }

} // namespace cmd553

namespace cmd560 {

using protocol::Payload;

constexpr int profileLength = 128;
constexpr int keyMatrixLength = 128;   // 64 meaningful bytes, then 64 zero bytes
constexpr int keyMatrixUsed = 64;
constexpr int macroLength = 128;
// The report-rate and current-DPI requests go out this many times (once on gun devices).
constexpr int repeatedAttempts = 4;

inline Payload setProfile(uint8_t profile) { return protocol::command(0x0C, profile, profileLength); }
inline Payload setKeyMatrix(uint8_t indexAddOne) { return protocol::command(0x0D, indexAddOne, keyMatrixLength); }
inline Payload setMacroKey(uint8_t macroId) { return protocol::command(0x0F, macroId, macroLength); }
inline Payload setReportRate(uint8_t attempt, uint8_t rate) { return protocol::command(0x03, attempt, rate); }
inline Payload setCurrentDpi(uint8_t attempt, uint8_t stage) { return protocol::command(0x04, attempt, stage); }
inline Payload setCurrentProfile(uint8_t profile) { return protocol::command(0x02, profile); }
inline Payload setKeyboardOption(uint8_t b1, uint8_t b2) { return protocol::command(0x01, b1, b2); }

inline Payload getKeyboardOption() { return protocol::command(0x81); }
inline Payload getCurrentProfile() { return protocol::command(0x82); }
inline Payload getCurrentDpi(uint8_t b1) { return protocol::command(0x84, b1); }
inline Payload readProfile(uint8_t profile) { return protocol::command(0x8C, profile); }

inline Payload getKeyboardOptionPrefill(uint8_t b1, uint8_t b2) { return Payload{0x81, b1, b2, 0, 0, 0, 0, 0}; }
inline Payload getCurrentProfilePrefill(uint8_t b1) { return Payload{0x82, b1, 0, 0, 0, 0, 0, 0}; }
inline Payload getCurrentDpiPrefill(uint8_t b1, uint8_t b2) { return Payload{0x84, b1, b2, 0, 0, 0, 0, 0}; }
inline Payload readProfilePrefill() { return Payload{}; }

} // namespace cmd560
