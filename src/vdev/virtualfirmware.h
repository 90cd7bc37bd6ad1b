#pragma once

// Device-side model of one virtual mouse: what its firmware does with each report the host
// sends on the command interface, what it answers, and the status reports it raises.
// Pure state machine: no I/O, no threads (the virtual device serialises calls into it).

#include <array>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <string>
#include <vector>

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
        // Identity answered to the keyboard-option query (0x80 read): b2..b5.
        std::array<uint8_t, 4> keyboardOption{};
        // ... further state (parameter blocks, key matrices, macros, DPI sets, LEDs, gun data,
        // 560 profile blocks, current profile) is added by the command-set model.
    };

    VirtualFirmware(Family family, int reportLength);

    Family family() const { return m_family; }
    int reportLength() const { return m_reportLength; }
    const State &state() const { return m_state; }

    // Host -> device feature report (byte 0 = report number). Returns the length accepted.
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

    // One line per state item, for the demo's control socket "state" command.
    std::string describe() const;

private:
    Family m_family;
    int m_reportLength;
    State m_state;
    std::deque<std::vector<uint8_t>> m_commandInput;
    std::deque<std::vector<uint8_t>> m_statusReports;
};
