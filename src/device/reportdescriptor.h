// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// HID report descriptors: the top-level collections of an interface (usage page and usage, as
// hidapi enumerates them) and the lengths of their reports. The bytes come from a device, so any
// byte string is parsed without reading past its end and with bounded memory; the parse stops at
// the first fault and keeps what it found before it.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace reportdescriptor {

enum class ReportType { Input, Output, Feature };

struct Report
{
    ReportType type = ReportType::Input;
    uint8_t id = 0;          // 0: the interface numbers no reports
    uint64_t bits = 0;       // data bits, without the report id
    int bytes() const;
};

struct Collection
{
    uint16_t usagePage = 0;
    uint16_t usage = 0;
    std::vector<Report> reports;   // one per type and report id, in order of appearance
    // The longest report of that type in bytes (without the report id), 0 when there is none.
    int length(ReportType type) const;
    // "ff00:ff00 input 64, output 64, feature 8 bytes (report 5)"
    std::string describe() const;
};

struct Descriptor
{
    enum class Problem { None, Truncated, Malformed };
    std::vector<Collection> collections;   // top-level collections, in order
    Problem problem = Problem::None;
    size_t problemOffset = 0;              // byte offset of the item that stopped the parse
    std::string problemText;               // "truncated at byte 12: ...", empty when sound
};

// Bounds a descriptor from a device cannot exceed without being called malformed.
constexpr size_t maxCollections = 256;
constexpr int maxDepth = 32;          // nested collections and pushed global states
constexpr uint64_t maxReportBits = uint64_t(1) << 32;

Descriptor parse(const uint8_t *data, size_t size);

} // namespace reportdescriptor
