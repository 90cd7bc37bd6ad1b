// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Device-side model of one virtual mouse: what its firmware does with each report the host
// sends on the command interface, what it answers, and the status reports it raises.
// Pure state machine: no I/O, no threads (the virtual device serialises calls into it).

#include "device/protocol.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

// Bytes as lower-case hex pairs separated by spaces (state descriptions and the wire log file).
std::string hexText(const uint8_t *bytes, size_t n);

class VirtualFirmware
{
public:
    enum class Family { F553, F560 };

    struct State
    {
        uint8_t reportRate = 1;          // report-rate code: 8, 4, 2, 1 = 125..1000 Hz
        uint8_t dpiStage = 0;            // current DPI stage, counted from 0
        uint8_t lightMode = 1;
        uint8_t lightSpeed = 3;          // speed code 1, 3, 4, 5, 7
        // Identity answered to the keyboard-option query (0x80 read): b2..b5, i.e. an unused
        // byte, the index of the IC type, the index of the sensor and the number of keys.
        std::array<uint8_t, 4> keyboardOption{};

        uint8_t dpiStageCount = 4;       // stages the DPI button cycles through
        uint8_t brightness = 252;
        uint8_t colourIndex = 0;

        // Parameter blocks as last received, with the profile (block 0) or section mask
        // (block 1) the request carried.
        std::array<uint8_t, 64> parameter0{};
        uint8_t parameter0Profile = 0;
        std::array<uint8_t, 192> parameter1{};
        uint8_t parameter1Mask = 0;

        // Key matrices 1..4 (entry 0 unused). The 553 family fills the first 64 bytes; the 560
        // family receives 128 bytes whose second half the host sends as zeros.
        std::array<std::array<uint8_t, 128>, 5> keyMatrix{};
        uint8_t currentKeyMatrix = 0;
        // Macro slots 0..11 and which of them were written.
        std::array<std::array<uint8_t, 128>, 12> macro{};
        uint16_t macroWritten = 0;

        std::array<uint8_t, 8> dpiSet{};         // 553: register byte per stage
        std::array<uint8_t, 3> fixColour{};      // 553: 0x0C
        std::array<uint8_t, 3> rgbEffect{};      // 553: 0x0D effect, option 1, option 2
        uint8_t ledColourType = 0;               // 553: 0x10 type and its colour bytes
        std::array<uint8_t, 24> ledColours{};
        std::array<uint8_t, 4> keyboardOptionSet{};   // 553: 0x03
        std::array<std::array<uint8_t, 3>, 3> gunData{};  // 553: per gun slot shots, X, Y

        // 560 family.
        std::array<std::array<uint8_t, 128>, 5> profile{};  // device profiles 0..4
        uint8_t currentProfile = 1;
        std::array<uint8_t, 2> keyboardOption560{};
        int reportRateRequests = 0;      // repeated requests received, and the last attempt
        int dpiRequests = 0;
        uint8_t lastAttempt = 0;

        // What the firmware ignored: requests with a bad checksum, unknown or out-of-range
        // requests, data reports nobody asked for, data phases cut short by a new request.
        int badChecksums = 0;
        int unknownRequests = 0;
        int strayDataReports = 0;
        int abandonedDataPhases = 0;
        std::vector<protocol::Payload> ignoredRequests;   // the most recent ones, as received

        // Scrambling of requests and replies (the device code, as in the device table).
        bool scrambled = false;
        std::string sCode = "583041";
    };

    VirtualFirmware(Family family, int reportLength);

    Family family() const { return m_family; }
    int reportLength() const { return m_reportLength; }
    const State &state() const { return m_state; }
    // Direct access for tests and the demo (set up a state to start from).
    State &mutableState() { return m_state; }

    // From now on requests arrive scrambled with sCode and replies leave scrambled with it
    // (off: plain payloads).
    void setScrambling(bool on, const std::string &sCode = "583041");

    // Host -> device feature report (byte 0 = report number). Returns the length accepted,
    // -1 when the report is too short to hold a request.
    int featureWrite(const uint8_t *data, size_t length);
    // Device -> host feature report: fills data (byte 0 = report number); returns its length.
    int featureRead(uint8_t *data, size_t length);
    // Host -> device output report (byte 0 = report number, then reportLength data bytes).
    int outputWrite(const uint8_t *data, size_t length);
    // Next input report for the host on the command interface (data bytes, no report number).
    bool takeCommandInput(std::vector<uint8_t> &report);
    // Next status report for the host on the status interface (7 bytes, byte 0 = report number 5).
    bool takeStatusReport(std::vector<uint8_t> &report);

    // The mouse's own buttons: change the state and raise status report 5.
    void pressDpiButton();
    void pressRateButton();
    void pressLightButton();
    void pressSpeedButton();

    // One line per state item, for the demo's control socket "state" command.
    std::string describe() const;

    // What the mouse keeps in its flash (settings, profiles, key matrices, macros; not the
    // counters of ignored requests, the identity or scrambling), one "name hex-bytes" line per
    // item; blocks that are all zeros are left out. loadFlash takes such lines back: a block
    // left out is zeros, unknown names and items of the wrong size are skipped.
    std::string saveFlash() const;
    void loadFlash(const std::string &text);
    // Counts the requests and button presses that changed what the flash holds.
    unsigned storeCount() const { return m_storeCount; }

    // Status report types: which setting a report announces.
    static constexpr uint8_t StatusRate = 2;
    static constexpr uint8_t StatusDpi = 3;
    static constexpr uint8_t StatusLight = 4;
    static constexpr uint8_t StatusSpeed = 5;
    static constexpr uint8_t StatusAll = 0xFF;

private:
    enum class Block { None, Parameter0, Parameter1, Macro, KeyMatrix, DpiSet, LedColours, Profile };

    struct DataPhase
    {
        Block block = Block::None;
        uint8_t id = 0;
        size_t expected = 0;
        std::vector<uint8_t> bytes;
    };

    void handleRequest(const protocol::Payload &p);
    bool handleCommon(const protocol::Payload &p);
    bool handle553(const protocol::Payload &p);
    bool handle560(const protocol::Payload &p);
    bool startDataPhase(const protocol::Payload &p, Block block, bool idInRange, size_t length);
    void expectData(Block block, uint8_t id, size_t length);
    void applyData();
    void queueStatus(uint8_t type);
    void queueProfileRead(uint8_t profile);
    void ignore(const protocol::Payload &p, int State::*counter);
    // Calls f(name, bytes, size) for every flash item of s.
    template <class State_, class F>
    static void visitFlash(State_ &s, F f);

    Family m_family;
    int m_reportLength;
    State m_state;
    uint8_t m_code[8] = {};
    protocol::Payload m_reply{};
    DataPhase m_dataPhase;
    std::deque<std::vector<uint8_t>> m_commandInput;
    std::deque<std::vector<uint8_t>> m_statusReports;
    unsigned m_storeCount = 0;
};
