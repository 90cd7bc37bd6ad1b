// SPDX-License-Identifier: GPL-3.0-or-later
// The 553 firmware family: one vendor command per slot. Each slot claims the transport, builds
// its payload (commandset.h), moves its data block and, for queries, hands the reply back.

#include "device/commandset.h"
#include "device/hid_thread.h"

using cmdset::fillReport;
using cmdset::loadBlock;

void Hid_Thread::hid553_00H_GetSecrecyCode(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    if (!claimTransport("cmd Failed 00"))
        return;
    setRequest(cmd553::getSecrecyCode(byte1, byte2, byte3, byte4));
    fillReport(reply, cmd553::getSecrecyCodePrefill());
    queryCommand(0);
    byte1 = reply[2];
    byte2 = reply[3];
    byte3 = reply[4];
    byte4 = reply[5];
}

void Hid_Thread::hid553_01H_SetReportRate(uchar rate)
{
    // No report-rate request of this family is known: the slot sends the synchronisation
    // request, and the rate reaches the device in parameter block 0 (mouseSetReportRate).
    Q_UNUSED(rate);
    sendWithData("cmd Failed 01", cmd553::syncData());
}

void Hid_Thread::hid553_02H_SetCurrentKeyMatrix(uchar currentKeyMatrix)
{
    sendWithData("cmd Failed 02", cmd553::setCurrentKeyMatrix(currentKeyMatrix));
}

void Hid_Thread::hid553_02H_SetParameter_0(uchar *src64, uchar profileNo)
{
    sendWithData("cmd Failed 12", cmd553::setParameter0(profileNo), src64, cmd553::parameter0Length);
}

void Hid_Thread::hid553_03H_SetKeyboardoption(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    sendAndPause("cmd Failed 03", cmd553::setKeyboardOption(byte1, byte2, byte3, byte4), 8);
}

void Hid_Thread::hid553_03H_SetParameter_1(uchar *src192, uchar profileNo)
{
    sendWithData("cmd Failed 12", cmd553::setParameter1(profileNo), src192, cmd553::parameter1Length);
}

void Hid_Thread::hid553_04H_SetGunData(uchar byte1, uchar byte2, uchar byte3, uchar byte4)
{
    sendAndPause("cmd Failed 04", cmd553::setGunData(byte1, byte2, byte3, byte4), 8);
}

void Hid_Thread::hid553_0BH_SetCurrentDPI(uchar stage)
{
    sendWithData("cmd Failed 0B", cmd553::setCurrentDpi(stage));
}

void Hid_Thread::hid553_0CH_SetFixLEDColor(uchar *src3)
{
    if (!claimTransport("cmd Failed 0C"))
        return;
    uchar rgb[3];
    loadBlock(rgb, src3, 3);
    setRequest(cmd553::setFixLedColor(rgb[0], rgb[1], rgb[2]));
    sendCommand(0, true);
}

void Hid_Thread::hid553_0DH_SetRGBLedEffect(uchar effect, uchar option1, uchar option2)
{
    sendWithData("cmd Failed 0D", cmd553::setRgbLedEffect(effect, option1, option2));
}

void Hid_Thread::hid553_10H_SetLED8StageColor(uchar type, uchar *src24)
{
    sendWithData("cmd Failed 10", cmd553::setLed8StageColor(type), src24, cmd553::ledColourLength(type));
}

void Hid_Thread::hid553_11H_SetDPISet(uchar dpiStage, uchar *src8)
{
    sendWithData("cmd Failed 11", cmd553::setDpiSet(dpiStage), src8, cmd553::dpiSetLength);
}

void Hid_Thread::hid553_12H_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    sendWithData("cmd Failed 12", cmd553::setKeyMatrix(indexAddOne), src64, cmd553::keyMatrixLength);
}

void Hid_Thread::hid553_13H_SetMacroKey(uchar macroId, uchar *src128)
{
    sendWithData("cmd Failed 13", cmd553::setMacroKey(macroId), src128, cmd553::macroLength);
}

void Hid_Thread::hid553_80H_SyncData()
{
    sendAndPause("cmd Failed 04", cmd553::syncData(), 10);
}

bool Hid_Thread::hid553_83H_GetKeyboardoption(uchar &byte1, uchar &byte2, uchar &byte3, uchar &byte4)
{
    if (!claimTransport("cmd Failed 83"))
        return false;
    setRequest(cmd553::getKeyboardOption());
    fillReport(reply, cmd553::getKeyboardOptionPrefill(byte1, byte2, byte3, byte4));
    const bool answered = queryCommand(0);
    byte1 = reply[3];
    byte2 = reply[4];
    byte3 = reply[5];
    byte4 = reply[6];
    return answered;
}

void Hid_Thread::hid553_8BH_GetCurrentDPI(uchar &byte1)
{
    if (!claimTransport("cmd Failed 8BH"))
        return;
    setRequest(cmd553::getCurrentDpi());
    fillReport(reply, cmd553::getCurrentDpiPrefill(byte1));
    queryCommand(0);
    byte1 = reply[2];
}
