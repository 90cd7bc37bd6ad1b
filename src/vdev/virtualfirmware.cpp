// SPDX-License-Identifier: GPL-3.0-or-later
#include "vdev/virtualfirmware.h"

#include "device/commandset.h"
#include "device/scrambling.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <sstream>

namespace {

using protocol::Payload;

constexpr size_t maxIgnoredKept = 32;
constexpr uint8_t rateCodes[] = {8, 4, 2, 1};
constexpr uint8_t lightModes = 8;
constexpr uint8_t speedCodes[] = {1, 3, 4, 5, 7};

// Indexes into the IC type and sensor tables the host reads the identity with.
constexpr uint8_t icIndex553 = 6;
constexpr uint8_t icIndex560 = 7;
constexpr uint8_t sensorIndex3360 = 7;

bool isRateCode(uint8_t v)
{
    return std::find(std::begin(rateCodes), std::end(rateCodes), v) != std::end(rateCodes);
}

bool zeros(const Payload &p, int from, int to)
{
    for (int i = from; i <= to; ++i)
        if (p[i])
            return false;
    return true;
}

// The three blocks of the 553 family that carry 0 in place of a checksum, recognised by shape.
bool isParameter0(const Payload &p) { return p[0] == 0x02 && zeros(p, 2, 5) && p[6] == 0x01 && p[7] == 0; }
bool isParameter1(const Payload &p) { return p[0] == 0x03 && zeros(p, 1, 4) && p[6] == 0x03 && p[7] == 0; }
bool isKeyMatrixIndex(uint8_t id) { return id >= 1 && id <= 4; }
bool isMacro553(const Payload &p) { return p[0] == 0x04 && p[1] == 0 && p[2] < 12 && zeros(p, 3, 7); }

Payload reply(uint8_t b0, uint8_t b1 = 0, uint8_t b2 = 0, uint8_t b3 = 0, uint8_t b4 = 0, uint8_t b5 = 0)
{
    return protocol::command(b0, b1, b2, b3, b4, b5);
}

} // namespace

std::string hexText(const uint8_t *bytes, size_t n)
{
    static const char digits[] = "0123456789abcdef";
    std::string s;
    s.reserve(n * 3);
    for (size_t i = 0; i < n; ++i) {
        if (i)
            s += ' ';
        s += digits[bytes[i] >> 4];
        s += digits[bytes[i] & 0xF];
    }
    return s;
}

VirtualFirmware::VirtualFirmware(Family family, int reportLength)
    : m_family(family)
    , m_reportLength(reportLength)
{
    m_state.keyboardOption = family == Family::F553
        ? std::array<uint8_t, 4>{0, icIndex553, sensorIndex3360, 6}
        : std::array<uint8_t, 4>{0, icIndex560, sensorIndex3360, 8};
    setScrambling(false, m_state.sCode);
}

void VirtualFirmware::setScrambling(bool on, const std::string &sCode)
{
    m_state.scrambled = on;
    m_state.sCode = sCode;
    const std::u16string text(sCode.begin(), sCode.end());
    std::memset(m_code, 0, sizeof m_code);
    secrecyCodeFromText(text.data(), text.size(), m_code);
}

int VirtualFirmware::featureWrite(const uint8_t *data, size_t length)
{
    if (!data || length < 9)
        return -1;
    Payload p;
    std::memcpy(p.data(), data + 1, p.size());
    if (m_state.scrambled)
        unscramble(p.data(), m_code);
    handleRequest(p);
    return static_cast<int>(length);
}

int VirtualFirmware::featureRead(uint8_t *data, size_t length)
{
    if (!data || length == 0)
        return -1;
    Payload p = m_reply;
    if (m_state.scrambled)
        scramble(p.data(), m_code);
    data[0] = 0;
    const size_t n = std::min(length - 1, p.size());
    std::memcpy(data + 1, p.data(), n);
    return static_cast<int>(n + 1);
}

int VirtualFirmware::outputWrite(const uint8_t *data, size_t length)
{
    if (!data || length == 0)
        return -1;
    if (m_dataPhase.block == Block::None || m_reportLength <= 0) {
        ++m_state.strayDataReports;
        return static_cast<int>(length);
    }
    // Each report carries one chunk at its start; the rest of the report is padding.
    const size_t chunk = std::min(m_dataPhase.expected, static_cast<size_t>(m_reportLength));
    const size_t remaining = m_dataPhase.expected - m_dataPhase.bytes.size();
    const size_t n = std::min({chunk, remaining, length - 1});
    m_dataPhase.bytes.insert(m_dataPhase.bytes.end(), data + 1, data + 1 + n);
    if (m_dataPhase.bytes.size() >= m_dataPhase.expected)
        applyData();
    return static_cast<int>(length);
}

bool VirtualFirmware::takeCommandInput(std::vector<uint8_t> &report)
{
    if (m_commandInput.empty())
        return false;
    report = std::move(m_commandInput.front());
    m_commandInput.pop_front();
    return true;
}

bool VirtualFirmware::takeStatusReport(std::vector<uint8_t> &report)
{
    if (m_statusReports.empty())
        return false;
    report = std::move(m_statusReports.front());
    m_statusReports.pop_front();
    return true;
}

void VirtualFirmware::pressDpiButton()
{
    ++m_storeCount;
    const uint8_t count = std::max<uint8_t>(1, m_state.dpiStageCount);
    m_state.dpiStage = static_cast<uint8_t>((m_state.dpiStage + 1) % count);
    queueStatus(StatusDpi);
}

namespace {
// The code after current in a button's cycle (the first one after the last or an unknown code).
template <size_t N>
uint8_t nextInCycle(const uint8_t (&codes)[N], uint8_t current)
{
    const auto *it = std::find(std::begin(codes), std::end(codes), current);
    return (it == std::end(codes) || it + 1 == std::end(codes)) ? codes[0] : *(it + 1);
}
} // namespace

void VirtualFirmware::pressRateButton()
{
    ++m_storeCount;
    m_state.reportRate = nextInCycle(rateCodes, m_state.reportRate);
    queueStatus(StatusRate);
}

void VirtualFirmware::pressSpeedButton()
{
    ++m_storeCount;
    m_state.lightSpeed = nextInCycle(speedCodes, m_state.lightSpeed);
    queueStatus(StatusSpeed);
}

void VirtualFirmware::pressLightButton()
{
    ++m_storeCount;
    m_state.lightMode = static_cast<uint8_t>((m_state.lightMode + 1) % lightModes);
    queueStatus(StatusLight);
}

void VirtualFirmware::handleRequest(const Payload &p)
{
    if (m_dataPhase.block != Block::None) {
        ++m_state.abandonedDataPhases;
        m_dataPhase = DataPhase();
    }
    // A new request also drops whatever an earlier read left unread.
    m_commandInput.clear();
    m_reply = Payload{};

    if (isParameter0(p)) {
        expectData(Block::Parameter0, p[1], cmd553::parameter0Length);
        return;
    }
    if (isParameter1(p)) {
        expectData(Block::Parameter1, p[5], cmd553::parameter1Length);
        return;
    }
    if (m_family == Family::F553 && isMacro553(p)) {
        expectData(Block::Macro, p[2], cmd553::macroLength);
        return;
    }
    if (protocol::checksum(p.data()) != p[7]) {
        ignore(p, &State::badChecksums);
        return;
    }
    const bool known = handleCommon(p) || (m_family == Family::F553 ? handle553(p) : handle560(p));
    if (!known)
        ignore(p, &State::unknownRequests);
    // Commands below 0x80 set something (0x00 is the challenge); those with a data phase store
    // when their data has come.
    else if (p[0] != 0x00 && p[0] < 0x80 && m_dataPhase.block == Block::None)
        ++m_storeCount;
}

// Requests both families answer.
bool VirtualFirmware::handleCommon(const Payload &p)
{
    switch (p[0]) {
    case 0x00: // challenge: echoed
        m_reply = reply(0x00, p[1], p[2], p[3], p[4]);
        return true;
    case 0x80: {
        // Synchronisation and the keyboard-option query are the same request; the device
        // answers the identity and raises a report with its whole state either way.
        const auto &id = m_state.keyboardOption;
        m_reply = reply(0x80, 0, id[0], id[1], id[2], id[3]);
        queueStatus(StatusAll);
        return true;
    }
    default:
        return false;
    }
}

bool VirtualFirmware::handle553(const Payload &p)
{
    switch (p[0]) {
    case 0x02:
        m_state.currentKeyMatrix = p[1];
        return true;
    case 0x03:
        std::copy(p.begin() + 1, p.begin() + 5, m_state.keyboardOptionSet.begin());
        return true;
    case 0x04:
        if (p[5] >= m_state.gunData.size())
            return false;
        m_state.gunData[p[5]] = {p[2], p[3], p[4]};
        return true;
    case 0x0B:
        m_state.dpiStage = p[1];
        return true;
    case 0x0C:
        m_state.fixColour = {p[1], p[2], p[3]};
        return true;
    case 0x0D:
        m_state.rgbEffect = {p[1], p[2], p[3]};
        return true;
    case 0x10:
        return startDataPhase(p, Block::LedColours, true, cmd553::ledColourLength(p[1]));
    case 0x11:
        return startDataPhase(p, Block::DpiSet, true, cmd553::dpiSetLength);
    case 0x12:
        return startDataPhase(p, Block::KeyMatrix, isKeyMatrixIndex(p[1]), cmd553::keyMatrixLength);
    case 0x8B:
        m_reply = reply(0x8B, m_state.dpiStage);
        return true;
    default:
        return false;
    }
}

bool VirtualFirmware::handle560(const Payload &p)
{
    switch (p[0]) {
    case 0x01:
        m_state.keyboardOption560 = {p[1], p[2]};
        return true;
    case 0x02:
        m_state.currentProfile = p[1];
        return true;
    case 0x03:
        m_state.reportRate = p[2];
        ++m_state.reportRateRequests;
        m_state.lastAttempt = p[1];
        return true;
    case 0x04:
        m_state.dpiStage = p[2];
        ++m_state.dpiRequests;
        m_state.lastAttempt = p[1];
        return true;
    case 0x0C:
        return startDataPhase(p, Block::Profile, p[1] < m_state.profile.size(), cmd560::profileLength);
    case 0x0D:
        return startDataPhase(p, Block::KeyMatrix, isKeyMatrixIndex(p[1]), cmd560::keyMatrixLength);
    case 0x0F:
        return startDataPhase(p, Block::Macro, p[1] < m_state.macro.size(), cmd560::macroLength);
    case 0x81:
        m_reply = reply(0x81, m_state.keyboardOption560[0], m_state.keyboardOption560[1]);
        return true;
    case 0x82:
        m_reply = reply(0x82, m_state.currentProfile);
        return true;
    case 0x84:
        m_reply = reply(0x84, p[1], m_state.dpiStage);
        return true;
    case 0x8C:
        if (p[1] >= m_state.profile.size())
            return false;
        m_reply = reply(0x8C, p[1]);
        queueProfileRead(p[1]);
        return true;
    default:
        return false;
    }
}

// A request that opens a data phase: the block's id in b1 (refused when out of range) and its
// length in b2, which must be the block's own.
bool VirtualFirmware::startDataPhase(const Payload &p, Block block, bool idInRange, size_t length)
{
    if (!idInRange || p[2] != length)
        return false;
    expectData(block, p[1], p[2]);
    return true;
}

void VirtualFirmware::expectData(Block block, uint8_t id, size_t length)
{
    m_dataPhase.block = block;
    m_dataPhase.id = id;
    m_dataPhase.expected = length;
    m_dataPhase.bytes.clear();
}

void VirtualFirmware::applyData()
{
    ++m_storeCount;
    const DataPhase phase = std::move(m_dataPhase);
    m_dataPhase = DataPhase();
    const uint8_t *b = phase.bytes.data();
    const size_t n = phase.bytes.size();
    State &s = m_state;
    switch (phase.block) {
    case Block::None:
        break;
    case Block::Parameter0:
        std::copy(b, b + n, s.parameter0.begin());
        s.parameter0Profile = phase.id;
        if (isRateCode(b[0]))
            s.reportRate = b[0];
        s.dpiStage = b[1];
        s.lightMode = b[2];
        s.brightness = b[3];
        s.lightSpeed = b[4];
        s.colourIndex = b[5];
        break;
    case Block::Parameter1:
        std::copy(b, b + n, s.parameter1.begin());
        s.parameter1Mask = phase.id;
        if (b[4] >= 1 && b[4] <= 8)
            s.dpiStageCount = b[4];
        break;
    case Block::Macro:
        std::copy(b, b + n, s.macro[phase.id].begin());
        s.macroWritten = static_cast<uint16_t>(s.macroWritten | (1u << phase.id));
        break;
    case Block::KeyMatrix:
        s.keyMatrix[phase.id].fill(0);
        std::copy(b, b + n, s.keyMatrix[phase.id].begin());
        break;
    case Block::DpiSet:
        std::copy(b, b + n, s.dpiSet.begin());
        if (phase.id >= 1 && phase.id <= 8)
            s.dpiStageCount = phase.id;
        break;
    case Block::LedColours:
        s.ledColourType = phase.id;
        s.ledColours.fill(0);
        std::copy(b, b + n, s.ledColours.begin());
        break;
    case Block::Profile: {
        std::copy(b, b + n, s.profile[phase.id].begin());
        // Byte 100 of profile 1 enables the DPI stages, one bit each.
        const unsigned mask = phase.id == 1 ? s.profile[1][100] : 0;
        int count = 0;
        for (unsigned m = mask; m; m >>= 1)
            count += m & 1;
        if (count)
            s.dpiStageCount = static_cast<uint8_t>(count);
        break;
    }
    }
}

void VirtualFirmware::queueStatus(uint8_t type)
{
    m_statusReports.push_back({5, 0, m_state.reportRate, m_state.dpiStage, m_state.lightMode,
                               m_state.lightSpeed, type});
}

void VirtualFirmware::queueProfileRead(uint8_t profile)
{
    if (m_reportLength <= 0)
        return;
    const size_t length = cmd560::profileLength;
    const size_t chunk = std::min(length, static_cast<size_t>(m_reportLength));
    const auto &block = m_state.profile[profile];
    for (size_t offset = 0; offset < length; offset += chunk) {
        std::vector<uint8_t> report(static_cast<size_t>(m_reportLength), 0);
        const size_t n = std::min(chunk, length - offset);
        std::copy(block.begin() + offset, block.begin() + offset + n, report.begin());
        m_commandInput.push_back(std::move(report));
    }
}

void VirtualFirmware::ignore(const Payload &p, int State::*counter)
{
    ++(m_state.*counter);
    m_state.ignoredRequests.push_back(p);
    if (m_state.ignoredRequests.size() > maxIgnoredKept)
        m_state.ignoredRequests.erase(m_state.ignoredRequests.begin());
}

template <class State_, class F>
void VirtualFirmware::visitFlash(State_ &s, F f)
{
    auto one = [&f](const char *name, auto &value) { f(std::string(name), &value, size_t(1)); };
    auto bytes = [&f](const std::string &name, auto &array) { f(name, array.data(), array.size()); };
    one("reportRate", s.reportRate);
    one("dpiStage", s.dpiStage);
    one("lightMode", s.lightMode);
    one("lightSpeed", s.lightSpeed);
    one("dpiStageCount", s.dpiStageCount);
    one("brightness", s.brightness);
    one("colourIndex", s.colourIndex);
    bytes("parameter0", s.parameter0);
    one("parameter0Profile", s.parameter0Profile);
    bytes("parameter1", s.parameter1);
    one("parameter1Mask", s.parameter1Mask);
    for (size_t i = 1; i < s.keyMatrix.size(); ++i)
        bytes("keyMatrix" + std::to_string(i), s.keyMatrix[i]);
    one("currentKeyMatrix", s.currentKeyMatrix);
    for (size_t i = 0; i < s.macro.size(); ++i)
        bytes("macro" + std::to_string(i), s.macro[i]);
    bytes("dpiSet", s.dpiSet);
    bytes("fixColour", s.fixColour);
    bytes("rgbEffect", s.rgbEffect);
    one("ledColourType", s.ledColourType);
    bytes("ledColours", s.ledColours);
    bytes("keyboardOptionSet", s.keyboardOptionSet);
    for (size_t i = 0; i < s.gunData.size(); ++i)
        bytes("gun" + std::to_string(i), s.gunData[i]);
    for (size_t i = 0; i < s.profile.size(); ++i)
        bytes("profile" + std::to_string(i), s.profile[i]);
    one("currentProfile", s.currentProfile);
    bytes("keyboardOption560", s.keyboardOption560);
}

std::string VirtualFirmware::saveFlash() const
{
    std::string text;
    visitFlash(m_state, [&text](const std::string &name, const uint8_t *data, size_t n) {
        // Blocks nothing was written to stay out (loadFlash reads them as zeros).
        if (n > 1 && std::all_of(data, data + n, [](uint8_t b) { return b == 0; }))
            return;
        text += name + ' ' + hexText(data, n) + '\n';
    });
    const uint8_t written[2] = {uint8_t(m_state.macroWritten & 0xFF), uint8_t(m_state.macroWritten >> 8)};
    return text + "macroWritten " + hexText(written, 2) + '\n';
}

void VirtualFirmware::loadFlash(const std::string &text)
{
    std::map<std::string, std::vector<uint8_t>> items;
    std::istringstream lines(text);
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string name, word;
        words >> name;
        std::vector<uint8_t> &bytes = items[name];
        while (words >> word && word.size() == 2 && std::isxdigit(static_cast<unsigned char>(word[0]))
               && std::isxdigit(static_cast<unsigned char>(word[1])))
            bytes.push_back(uint8_t(std::stoi(word, nullptr, 16)));
    }
    visitFlash(m_state, [&items](const std::string &name, uint8_t *data, size_t n) {
        const auto it = items.find(name);
        if (it != items.end() && it->second.size() == n)
            std::copy(it->second.begin(), it->second.end(), data);
        else if (it == items.end() && n > 1)
            std::fill(data, data + n, 0);
    });
    const auto written = items.find("macroWritten");
    if (written != items.end() && written->second.size() == 2)
        m_state.macroWritten = uint16_t(written->second[0] | written->second[1] << 8);
}

std::string VirtualFirmware::describe() const
{
    const State &s = m_state;
    std::ostringstream out;
    out << "family " << (m_family == Family::F553 ? "553" : "560") << '\n'
        << "reportRate " << int(s.reportRate) << '\n'
        << "dpiStage " << int(s.dpiStage) << '\n'
        << "dpiStageCount " << int(s.dpiStageCount) << '\n'
        << "lightMode " << int(s.lightMode) << '\n'
        << "lightSpeed " << int(s.lightSpeed) << '\n'
        << "brightness " << int(s.brightness) << '\n'
        << "colourIndex " << int(s.colourIndex) << '\n'
        << "identity " << hexText(s.keyboardOption.data(), s.keyboardOption.size()) << '\n';
    if (m_family == Family::F553) {
        out << "currentKeyMatrix " << int(s.currentKeyMatrix) << '\n'
            << "dpiSet " << hexText(s.dpiSet.data(), s.dpiSet.size()) << '\n'
            << "fixColour " << hexText(s.fixColour.data(), s.fixColour.size()) << '\n'
            << "rgbEffect " << hexText(s.rgbEffect.data(), s.rgbEffect.size()) << '\n'
            << "ledColours " << int(s.ledColourType) << ": " << hexText(s.ledColours.data(), s.ledColours.size()) << '\n'
            << "keyboardOption " << hexText(s.keyboardOptionSet.data(), s.keyboardOptionSet.size()) << '\n';
        for (size_t i = 0; i < s.gunData.size(); ++i)
            out << "gun " << i << ' ' << hexText(s.gunData[i].data(), s.gunData[i].size()) << '\n';
    } else {
        out << "currentProfile " << int(s.currentProfile) << '\n'
            << "keyboardOption " << hexText(s.keyboardOption560.data(), s.keyboardOption560.size()) << '\n'
            << "rateRequests " << s.reportRateRequests << '\n'
            << "dpiRequests " << s.dpiRequests << '\n';
        for (size_t i = 0; i < s.profile.size(); ++i)
            out << "profile " << i << ' ' << hexText(s.profile[i].data(), s.profile[i].size()) << '\n';
    }
    out << "parameter0 " << int(s.parameter0Profile) << ": " << hexText(s.parameter0.data(), 8) << '\n'
        << "parameter1 " << int(s.parameter1Mask) << ": " << hexText(s.parameter1.data(), 8) << '\n';
    for (size_t i = 1; i < s.keyMatrix.size(); ++i)
        out << "keyMatrix " << i << ' ' << hexText(s.keyMatrix[i].data(), 64) << '\n';
    out << "macrosWritten " << s.macroWritten << '\n'
        << "scrambled " << (s.scrambled ? s.sCode : std::string("no")) << '\n'
        << "badChecksums " << s.badChecksums << '\n'
        << "unknownRequests " << s.unknownRequests << '\n'
        << "strayDataReports " << s.strayDataReports << '\n'
        << "abandonedDataPhases " << s.abandonedDataPhases << '\n';
    return out.str();
}
