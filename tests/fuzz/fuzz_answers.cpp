// SPDX-License-Identifier: GPL-3.0-or-later
// What a mouse answers on its command interface: each feature report and input report the
// transport reads comes from the input, one length byte first (0xFF: the call fails), so
// answers come short, empty, failed or longer than asked.
#include "device/hid_thread.h"
#include "device/hidapi_seam.h"
#include "fuzz.h"

#include <algorithm>
#include <cstring>

namespace {

struct Answers final : HidBackend
{
    const uint8_t *next = nullptr;
    size_t left = 0;
    int answer(unsigned char *out, size_t length)
    {
        if (left == 0 || *next == 0xFF)
            return -1;
        const size_t n = std::min<size_t>(*next++, --left);
        std::memcpy(out, next, std::min(n, length));
        next += n, left -= n;
        return static_cast<int>(n);
    }
    int getFeatureReport(hid_device *, unsigned char *out, size_t n) override { return answer(out, n); }
    int read(hid_device *, unsigned char *out, size_t n) override { return answer(out, n); }
    int readTimeout(hid_device *, unsigned char *out, size_t n, int) override { return answer(out, n); }
    int sendFeatureReport(hid_device *, const unsigned char *, size_t n) override { return int(n); }
    int write(hid_device *, const unsigned char *, size_t n) override { return int(n); }
    hid_device *openPath(const char *) override { return reinterpret_cast<hid_device *>(this); }
    hid_device_info *enumerate(unsigned short, unsigned short) override { return nullptr; }
    void freeEnumeration(hid_device_info *) override {}
    int setNonblocking(hid_device *, int) override { return 0; }
    void close(hid_device *) override {}
    bool accessDenied(const char *) override { return false; }
};

} // namespace

FUZZ_INPUT(data, size)
{
    if (size < 2)
        return;
    fuzz::app();
    static Answers answers;
    static Hid_Thread hid;
    setHidBackend(&answers);
    answers.next = data + 2, answers.left = size - 2;
    DeviceEntry entry;
    entry.path = QStringLiteral("fuzz");
    entry.reportLength = 1 + data[0] % 64;
    entry.isEncode = data[1] & 1;
    hid.deviceList = {entry};
    hid.deviceIndex = 0;
    hid.transportWaitCount = 1;
    uchar block[128] = {}, a = 0, b = 0, c = 0, d = 0;
    switch (data[1] >> 1 & 3) {
    case 0: hid.hid560_8CH_readProfile(block, data[1] >> 3); break;
    case 1: hid.chkDeviceIsEnCode(0); break;
    case 2: hid.hid553_83H_GetKeyboardoption(a, b, c, d), hid.hid553_8BH_GetCurrentDPI(a); break;
    default: hid.hid560_81H_GetKeyboardoption(a, b), hid.hid560_82H_GetCurrentProfile(a), hid.hid560_84H_GetCurrentDPI(a, b);
    }
    if (hid.hidBusy)  // every command releases the transport, whatever came back
        abort();
}
