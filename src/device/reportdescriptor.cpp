// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/reportdescriptor.h"

#include <algorithm>
#include <cstdio>

namespace reportdescriptor {

namespace {

// Item types and tags of the short items that matter here.
enum ItemType : uint8_t { Main = 0, Global = 1, Local = 2, Reserved = 3 };
enum MainTag : uint8_t { InputTag = 0x8, OutputTag = 0x9, CollectionTag = 0xA, FeatureTag = 0xB, EndCollectionTag = 0xC };
enum GlobalTag : uint8_t { UsagePageTag = 0x0, ReportSizeTag = 0x7, ReportIdTag = 0x8, ReportCountTag = 0x9, PushTag = 0xA, PopTag = 0xB };
enum LocalTag : uint8_t { UsageTag = 0x0 };
constexpr uint8_t LongItemPrefix = 0xFE;

struct GlobalState
{
    uint16_t usagePage = 0;
    uint32_t reportSize = 0;
    uint32_t reportCount = 0;
    uint8_t reportId = 0;
};

class Parser
{
public:
    Parser(const uint8_t *data, size_t size) : m_data(data), m_size(data ? size : 0) {}

    Descriptor run()
    {
        size_t at = 0;
        while (at < m_size && m_result.problem == Descriptor::Problem::None) {
            const uint8_t prefix = m_data[at];
            if (prefix == LongItemPrefix) {
                // Long items carry nothing defined: skipped whole.
                if (m_size - at < 3 || m_size - at - 3 < m_data[at + 1])
                    return stop(Descriptor::Problem::Truncated, at, "long item runs past the end");
                at += 3 + size_t(m_data[at + 1]);
                continue;
            }
            const size_t length = (prefix & 3) == 3 ? 4 : (prefix & 3);
            if (m_size - at - 1 < length)
                return stop(Descriptor::Problem::Truncated, at, "item runs past the end");
            uint32_t value = 0;
            for (size_t i = 0; i < length; ++i)
                value |= uint32_t(m_data[at + 1 + i]) << (8 * i);
            item(at, (prefix >> 2) & 3, prefix >> 4, value, length);
            at += 1 + length;
        }
        if (m_result.problem == Descriptor::Problem::None && m_depth > 0)
            stop(Descriptor::Problem::Truncated, m_size, "a collection is not closed");
        return m_result;
    }

private:
    Descriptor &stop(Descriptor::Problem problem, size_t at, const char *why)
    {
        m_result.problem = problem;
        m_result.problemOffset = at;
        m_result.problemText = std::string(problem == Descriptor::Problem::Truncated ? "truncated" : "malformed")
            + " at byte " + std::to_string(at) + ": " + why;
        return m_result;
    }

    void item(size_t at, unsigned type, unsigned tag, uint32_t value, size_t length)
    {
        switch (type) {
        case Main: mainItem(at, tag); m_usages = 0; break;
        case Global: globalItem(at, tag, value); break;
        case Local:
            // A collection takes the first usage before it; a four-byte usage names its page too.
            if (tag == UsageTag && m_usages++ == 0) {
                m_usage = uint16_t(value);
                m_usagePageOfUsage = length == 4 ? int(value >> 16) : -1;
            }
            break;
        default: stop(Descriptor::Problem::Malformed, at, "reserved item type"); break;
        }
    }

    void mainItem(size_t at, unsigned tag)
    {
        switch (tag) {
        case InputTag: addBits(ReportType::Input); break;
        case OutputTag: addBits(ReportType::Output); break;
        case FeatureTag: addBits(ReportType::Feature); break;
        case CollectionTag:
            if (m_depth >= maxDepth) {
                stop(Descriptor::Problem::Malformed, at, "collections nested too deep");
                return;
            }
            if (m_depth == 0) {
                if (m_result.collections.size() >= maxCollections) {
                    stop(Descriptor::Problem::Malformed, at, "too many collections");
                    return;
                }
                Collection c;
                c.usagePage = m_usages && m_usagePageOfUsage >= 0 ? uint16_t(m_usagePageOfUsage) : m_state.usagePage;
                c.usage = m_usages ? m_usage : 0;
                m_result.collections.push_back(c);
            }
            ++m_depth;
            break;
        case EndCollectionTag:
            if (m_depth == 0)
                stop(Descriptor::Problem::Malformed, at, "end of a collection that was not opened");
            else
                --m_depth;
            break;
        default: stop(Descriptor::Problem::Malformed, at, "unknown main item"); break;
        }
    }

    void globalItem(size_t at, unsigned tag, uint32_t value)
    {
        switch (tag) {
        case UsagePageTag: m_state.usagePage = uint16_t(value); break;
        case ReportSizeTag: m_state.reportSize = value; break;
        case ReportCountTag: m_state.reportCount = value; break;
        case ReportIdTag:
            if (value == 0 || value > 255)
                stop(Descriptor::Problem::Malformed, at, "report id out of range");
            else
                m_state.reportId = uint8_t(value);
            break;
        case PushTag:
            if (m_stack.size() >= size_t(maxDepth))
                stop(Descriptor::Problem::Malformed, at, "global state pushed too often");
            else
                m_stack.push_back(m_state);
            break;
        case PopTag:
            if (m_stack.empty()) {
                stop(Descriptor::Problem::Malformed, at, "global state popped but never pushed");
            } else {
                m_state = m_stack.back();
                m_stack.pop_back();
            }
            break;
        default: break;
        }
    }

    // Data items outside every collection belong to no interface hidapi lists: not counted.
    void addBits(ReportType type)
    {
        if (m_depth == 0 || m_result.collections.empty())
            return;
        std::vector<Report> &reports = m_result.collections.back().reports;
        auto it = std::find_if(reports.begin(), reports.end(),
                               [&](const Report &r) { return r.type == type && r.id == m_state.reportId; });
        if (it == reports.end()) {
            reports.push_back(Report{type, m_state.reportId, 0});
            it = reports.end() - 1;
        }
        it->bits = std::min(maxReportBits, it->bits + uint64_t(m_state.reportSize) * m_state.reportCount);
    }

    const uint8_t *m_data;
    size_t m_size;
    Descriptor m_result;
    GlobalState m_state;
    std::vector<GlobalState> m_stack;
    int m_depth = 0;
    unsigned m_usages = 0;          // usages since the last main item
    uint16_t m_usage = 0;           // the first of them
    int m_usagePageOfUsage = -1;    // its own page when it was given as four bytes
};

} // namespace

int Report::bytes() const
{
    return int((std::min(bits, maxReportBits) + 7) / 8);
}

int Collection::length(ReportType type) const
{
    int longest = 0;
    for (const Report &r : reports)
        if (r.type == type)
            longest = std::max(longest, r.bytes());
    return longest;
}

std::string Collection::describe() const
{
    char pair[16];
    std::snprintf(pair, sizeof pair, "%04x:%04x", usagePage, usage);
    std::string text = pair;
    const char *names[] = {"input", "output", "feature"};
    std::string lengths;
    for (ReportType type : {ReportType::Input, ReportType::Output, ReportType::Feature}) {
        if (const int n = length(type))
            lengths += (lengths.empty() ? " " : ", ") + std::string(names[int(type)]) + ' ' + std::to_string(n);
    }
    text += lengths.empty() ? " no reports" : lengths + " bytes";
    std::vector<int> ids;
    for (const Report &r : reports)
        if (r.id && std::find(ids.begin(), ids.end(), r.id) == ids.end())
            ids.push_back(r.id);
    for (size_t i = 0; i < ids.size(); ++i)
        text += (i ? ", " : ids.size() == 1 ? " (report " : " (reports ") + std::to_string(ids[i]);
    return ids.empty() ? text : text + ')';
}

Descriptor parse(const uint8_t *data, size_t size)
{
    return Parser(data, size).run();
}

} // namespace reportdescriptor
