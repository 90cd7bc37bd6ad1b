// The 560 firmware family: whole profile blocks, key matrices padded to 128 bytes, and two
// short commands that are repeated. Payloads come from commandset.h.

#include "device/commandset.h"
#include "device/hid_thread.h"

#include <QDebug>
#include <QThread>

#include <cstring>

using cmdset::fillReport;
using cmdset::loadBlock;

void Hid_Thread::hid560_01H_SetKeyboardoption(uchar byte1, uchar byte2)
{
    if (!waitForTransport()) {
        qDebug() << "cmd Failed 03";
        return;
    }
    setRequest(cmd560::setKeyboardOption(byte1, byte2));
    sendCommand(0, false);
    QThread::msleep(8);
}

void Hid_Thread::hid560_02H_SetCurrentProfile(uchar profile)
{
    if (!waitForTransport()) {
        qDebug() << "cmd Failed 02";
        return;
    }
    setRequest(cmd560::setCurrentProfile(profile));
    sendCommand(0, false);
    QThread::msleep(8);
}

// Both repeated requests claim the transport afresh before every attempt: sendCommand releases
// it after each one, and a command run from event processing in between would otherwise
// overwrite the request this slot is about to send.
void Hid_Thread::hid560_03H_SetReportRate(uchar rate)
{
    for (int attempt = 1; attempt <= cmd560::repeatedAttempts; ++attempt) {
        if (!waitForTransport()) {
            qDebug() << "cmd Failed 01";
            return;
        }
        setRequest(cmd560::setReportRate(static_cast<uchar>(attempt), rate));
        sendCommand(0, true);
        if (isGunDevice())
            break;
    }
}

void Hid_Thread::hid560_04H_SetCurrentDPI(uchar stage)
{
    for (int attempt = 1; attempt <= cmd560::repeatedAttempts; ++attempt) {
        if (!waitForTransport()) {
            qDebug() << "cmd Failed 04";
            return;
        }
        setRequest(cmd560::setCurrentDpi(static_cast<uchar>(attempt), stage));
        sendCommand(0, true);
        if (isGunDevice())
            break;
    }
}

void Hid_Thread::hid560_0CH_setProfile(uchar *src128, uchar profileData)
{
    if (!waitForTransport()) {
        qDebug() << "cmd Failed 0C";
        return;
    }
    setRequest(cmd560::setProfile(profileData));
    loadBlock(dataBuffer, src128, cmd560::profileLength);
    sendCommand(cmd560::profileLength, true);
}

void Hid_Thread::hid560_0DH_SetKeyMatrix(uchar *src64, uchar indexAddOne)
{
    if (!waitForTransport()) {
        qDebug() << "cmd Failed 12";
        return;
    }
    setRequest(cmd560::setKeyMatrix(indexAddOne));
    loadBlock(dataBuffer, src64, cmd560::keyMatrixUsed);
    std::memset(dataBuffer + cmd560::keyMatrixUsed, 0, cmd560::keyMatrixLength - cmd560::keyMatrixUsed);
    sendCommand(cmd560::keyMatrixLength, true);
}

void Hid_Thread::hid560_0FH_SetMacroKey(uchar macroId, uchar *src128)
{
    if (!waitForTransport()) {
        qDebug() << "cmd Failed 0F";
        return;
    }
    setRequest(cmd560::setMacroKey(macroId));
    loadBlock(dataBuffer, src128, cmd560::macroLength);
    sendCommand(cmd560::macroLength, true);
}

void Hid_Thread::hid560_81H_GetKeyboardoption(uchar &byte1, uchar &byte2)
{
    if (!waitForTransport()) {
        qDebug() << "cmd Failed 81";
        return;
    }
    setRequest(cmd560::getKeyboardOption());
    fillReport(reply, cmd560::getKeyboardOptionPrefill(byte1, byte2));
    queryCommand(0);
    byte1 = reply[2];
    byte2 = reply[3];
}

void Hid_Thread::hid560_82H_GetCurrentProfile(uchar &byte1)
{
    if (!waitForTransport()) {
        qDebug() << "cmd Failed 82";
        return;
    }
    setRequest(cmd560::getCurrentProfile());
    fillReport(reply, cmd560::getCurrentProfilePrefill(byte1));
    queryCommand(0);
    byte1 = reply[2];
}

void Hid_Thread::hid560_84H_GetCurrentDPI(uchar &byte1, uchar &byte2)
{
    if (!waitForTransport()) {
        qDebug() << "cmd Failed 84";
        return;
    }
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
    if (!waitForTransport()) {
        qDebug() << "cmd Failed 8c";
        return;
    }
    setRequest(cmd560::readProfile(profileNo));
    fillReport(reply, cmd560::readProfilePrefill());
    loadBlock(dataBuffer, src128, cmd560::profileLength);
    queryCommand(cmd560::profileLength);
    if (src128)
        std::memcpy(src128, dataBuffer, cmd560::profileLength);
}
