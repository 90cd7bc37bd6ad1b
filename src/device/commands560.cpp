// SPDX-License-Identifier: GPL-3.0-or-later
// The 560 firmware family: whole profile blocks, key matrices padded to 128 bytes, and two
// short commands that are repeated. Payloads come from commandset.h.

#include "device/commandset.h"
#include "device/hid_thread.h"

#include <cstring>

using cmdset::fillReport;
using cmdset::loadBlock;

void Hid_Thread::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2)
{
    sendAndPause("cmd Failed 03", cmd560::setKeyboardOption(byte1, byte2), 8);
}

void Hid_Thread::hid560_02H_SetCurrentProfile(uchar profile)
{
    sendAndPause("cmd Failed 02", cmd560::setCurrentProfile(profile), 8);
}

// Both repeated requests claim the transport afresh before every attempt: sendCommand releases
// it after each one, and a command run from event processing in between would otherwise
// overwrite the request this slot is about to send.
void Hid_Thread::sendRepeated(const char *failureLine, protocol::Payload (*makeRequest)(uint8_t, uint8_t),
                              uchar value)
{
    for (int attempt = 1; attempt <= cmd560::repeatedAttempts; ++attempt) {
        if (!claimTransport(failureLine))
            return;
        setRequest(makeRequest(static_cast<uchar>(attempt), value));
        sendCommand(0, true);
        if (isGunDevice())
            break;
    }
}

void Hid_Thread::hid560_03H_SetReportRate(uchar rate)
{
    sendRepeated("cmd Failed 01", &cmd560::setReportRate, rate);
}

void Hid_Thread::hid560_04H_SetCurrentDPI(uchar stage)
{
    sendRepeated("cmd Failed 04", &cmd560::setCurrentDpi, stage);
}

void Hid_Thread::hid560_0CH_setProfile(uchar *src128, uchar profileData)
{
    sendWithData("cmd Failed 0C", cmd560::setProfile(profileData), src128, cmd560::profileLength);
}

void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    if (!claimTransport("cmd Failed 12"))
        return;
    setRequest(cmd560::setKeyMatrix(indexAddOne));
    loadBlock(dataBuffer, src64, cmd560::keyMatrixUsed);
    std::memset(dataBuffer + cmd560::keyMatrixUsed, 0, cmd560::keyMatrixLength - cmd560::keyMatrixUsed);
    sendCommand(cmd560::keyMatrixLength, true);
}

void Hid_Thread::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128)
{
    sendWithData("cmd Failed 0F", cmd560::setMacroKey(macroId), src128, cmd560::macroLength);
}

void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2)
{
    if (!claimTransport("cmd Failed 81"))
        return;
    setRequest(cmd560::getKeyboardOption());
    fillReport(reply, cmd560::getKeyboardOptionPrefill(byte1, byte2));
    queryCommand(0);
    byte1 = reply[2];
    byte2 = reply[3];
}

void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &byte1)
{
    if (!claimTransport("cmd Failed 82"))
        return;
    setRequest(cmd560::getCurrentProfile());
    fillReport(reply, cmd560::getCurrentProfilePrefill(byte1));
    queryCommand(0);
    byte1 = reply[2];
}

void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2)
{
    if (!claimTransport("cmd Failed 84"))
        return;
    setRequest(cmd560::getCurrentDpi(byte1));
    fillReport(reply, cmd560::getCurrentDpiPrefill(byte1, byte2));
    queryCommand(0);
    byte1 = reply[2];
    byte2 = reply[3];
}

// The data buffer starts as the caller's block, so a transfer that fails before the data phase
// hands the block back unchanged and one that fails during it replaces only the chunks read.
void Hid_Thread::hid560_8CH_readProfile(uchar *src128, uchar profileNo)
{
    if (!claimTransport("cmd Failed 8c"))
        return;
    setRequest(cmd560::readProfile(profileNo));
    fillReport(reply, cmd560::readProfilePrefill());
    loadBlock(dataBuffer, src128, cmd560::profileLength);
    queryCommand(cmd560::profileLength);
    if (src128)
        std::memcpy(src128, dataBuffer, cmd560::profileLength);
}
