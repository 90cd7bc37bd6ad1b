// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/scrambling.h"

#include "device/hid_thread.h"

#include <QDebug>
#include <QRandomGenerator>

#include <cstring>

unsigned char secrecyCode[8] = {};

const uint8_t scrambleKey[8] = {'Q', 'p', 'Z', 'v', 'K', 'd', 'W', 'm'};

namespace {

uint8_t swapNibbles(uint8_t v)
{
    return static_cast<uint8_t>((v << 4) | (v >> 4));
}

// P0<->P5, P1<->P4, P2<->P7, P3<->P6: its own inverse.
void exchangePairs(uint8_t p[8])
{
    std::swap(p[0], p[5]);
    std::swap(p[1], p[4]);
    std::swap(p[2], p[7]);
    std::swap(p[3], p[6]);
}

void mixCode(uint8_t p[8], const uint8_t code[8])
{
    for (int i = 1; i <= 6; ++i)
        p[i] ^= code[i];
}

} // namespace

void scramble(uint8_t p[8], const uint8_t code[8])
{
    exchangePairs(p);
    mixCode(p, code);
    // Rotate the block, read as one 64-bit number with p[0] most significant, left by 3 bits.
    const uint8_t first = p[0];
    for (int i = 0; i < 7; ++i)
        p[i] = static_cast<uint8_t>((p[i] << 3) | (p[i + 1] >> 5));
    p[7] = static_cast<uint8_t>((p[7] << 3) | (first >> 5));
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(p[i] + swapNibbles(scrambleKey[i]));
}

void unscramble(uint8_t p[8], const uint8_t code[8])
{
    for (int i = 0; i < 8; ++i)
        p[i] = static_cast<uint8_t>(p[i] - swapNibbles(scrambleKey[i]));
    const uint8_t last = p[7];
    for (int i = 7; i > 0; --i)
        p[i] = static_cast<uint8_t>((p[i] >> 3) | (p[i - 1] << 5));
    p[0] = static_cast<uint8_t>((p[0] >> 3) | (last << 5));
    mixCode(p, code);
    exchangePairs(p);
}

bool secrecyCodeFromText(const char16_t *text, size_t length, uint8_t code[8])
{
    if (length != 6)
        return false;
    for (size_t i = 0; i < 6; ++i)
        code[i + 1] = text[i] <= 0xFF ? static_cast<uint8_t>(text[i]) : 0;
    return true;
}

void Hid_Thread::USBDataEncryption(uchar FIFOBuf[], uchar SecrecyCode[])
{
    if (FIFOBuf && SecrecyCode)
        scramble(FIFOBuf, SecrecyCode);
}

void Hid_Thread::USBDataDecipher(uchar FIFOBuf[], uchar SecrecyCode[])
{
    if (FIFOBuf && SecrecyCode)
        unscramble(FIFOBuf, SecrecyCode);
}

// Sends a random challenge through command 0x00 with scrambling on; a device that knows this
// entry's code echoes it. On success the entry keeps scrambling on; otherwise its flag is left
// as it was. A busy transport or a failed transfer counts as a failed test.
bool Hid_Thread::chkDeviceIsEnCode(int index)
{
    // An index outside the list would leave every later command without a device.
    if (index < 0 || index >= deviceList.size()) {
        qDebug() << "chkDeviceIsEnCode refused" << index;
        return false;
    }
    deviceIndex = index;

    uchar challenge[4];
    do {
        for (uchar &c : challenge)
            c = static_cast<uchar>(QRandomGenerator::global()->generate() & 0xFF);
        // All zeros is what a failed transfer leaves behind: never use it as a challenge.
    } while (!(challenge[0] | challenge[1] | challenge[2] | challenge[3]));

    const QString code = deviceList[index].sCode;
    secrecyCodeFromText(reinterpret_cast<const char16_t *>(code.utf16()), static_cast<size_t>(code.size()), secrecyCode);

    uchar answer[4] = {challenge[0], challenge[1], challenge[2], challenge[3]};
    const QString path = deviceList[index].path;
    // The challenge itself goes out scrambled; the entry's flag changes only once it passed.
    scrambleChallenge = true;
    hid553_00H_GetSecrecyCode(answer[0], answer[1], answer[2], answer[3]);
    scrambleChallenge = false;
    // A busy transport leaves the answer untouched, which would echo the challenge by itself.
    const bool passed = lastTransferOk && std::memcmp(answer, challenge, 4) == 0;
    // Event processing while waiting may have run a device check that replaced the list: the
    // result belongs to the entry of the device that was asked, wherever it is now.
    if (passed) {
        for (DeviceEntry &entry : deviceList) {
            if (entry.path == path) {
                entry.isEncode = true;
                break;
            }
        }
    }
    return passed;
}
