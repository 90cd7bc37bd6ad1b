// SPDX-License-Identifier: GPL-3.0-or-later
#include "device/hidapi_seam.h"

#include <atomic>
#include <cerrno>

#ifndef _WIN32
#include <unistd.h>
#endif

namespace {

class SystemHidBackend final : public HidBackend
{
public:
    hid_device_info *enumerate(unsigned short v, unsigned short p) override { return hid_enumerate(v, p); }
    void freeEnumeration(hid_device_info *d) override { hid_free_enumeration(d); }
    hid_device *openPath(const char *path) override { return hid_open_path(path); }
    int setNonblocking(hid_device *d, int n) override { return hid_set_nonblocking(d, n); }
    int sendFeatureReport(hid_device *d, const unsigned char *b, size_t n) override { return hid_send_feature_report(d, b, n); }
    int getFeatureReport(hid_device *d, unsigned char *b, size_t n) override { return hid_get_feature_report(d, b, n); }
    int write(hid_device *d, const unsigned char *b, size_t n) override { return hid_write(d, b, n); }
    int read(hid_device *d, unsigned char *b, size_t n) override { return hid_read(d, b, n); }
    int readTimeout(hid_device *d, unsigned char *b, size_t n, int ms) override { return hid_read_timeout(d, b, n, ms); }
    void close(hid_device *d) override { hid_close(d); }
    bool accessDenied(const char *path) override
    {
#ifdef _WIN32
        (void)path;
        return false;
#else
        // hidraw paths are device nodes; the command interface is opened for reading and writing.
        return path && ::access(path, R_OK | W_OK) != 0 && (errno == EACCES || errno == EPERM);
#endif
    }
};

SystemHidBackend systemBackend;
std::atomic<HidBackend *> installed{nullptr};

} // namespace

HidBackend &hidBackend()
{
    HidBackend *b = installed.load();
    return b ? *b : systemBackend;
}

void setHidBackend(HidBackend *backend)
{
    installed.store(backend);
}
