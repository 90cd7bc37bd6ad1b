// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// The one seam between the program and hidapi. Everything above it calls these functions;
// by default they go to Debian's libhidapi-hidraw, and the virtual device can stand in.
// Implementations must be callable from the GUI thread and the status-polling thread at once.

#include <hidapi/hidapi.h>

#include <cstddef>

class HidBackend
{
public:
    virtual ~HidBackend() = default;
    virtual hid_device_info *enumerate(unsigned short vendorId, unsigned short productId) = 0;
    virtual void freeEnumeration(hid_device_info *devices) = 0;
    virtual hid_device *openPath(const char *path) = 0;
    virtual int setNonblocking(hid_device *device, int nonblock) = 0;
    virtual int sendFeatureReport(hid_device *device, const unsigned char *data, size_t length) = 0;
    virtual int getFeatureReport(hid_device *device, unsigned char *data, size_t length) = 0;
    virtual int write(hid_device *device, const unsigned char *data, size_t length) = 0;
    virtual int read(hid_device *device, unsigned char *data, size_t length) = 0;
    virtual int readTimeout(hid_device *device, unsigned char *data, size_t length, int milliseconds) = 0;
    virtual void close(hid_device *device) = 0;
    // Whether this user lacks the permission to open the node at path. hidapi does not say why an
    // open failed, and enumeration works without that permission.
    virtual bool accessDenied(const char *path) = 0;
};

// The backend in use (the system's hidapi unless another one was installed).
HidBackend &hidBackend();
// Installs a backend (not owned); nullptr restores the system's hidapi.
void setHidBackend(HidBackend *backend);

// Thin wrappers named as hidapi's calls, so the device layer reads like hidapi code.
namespace hid {
inline hid_device_info *enumerate(unsigned short v, unsigned short p) { return hidBackend().enumerate(v, p); }
inline void free_enumeration(hid_device_info *d) { hidBackend().freeEnumeration(d); }
inline hid_device *open_path(const char *path) { return hidBackend().openPath(path); }
inline int set_nonblocking(hid_device *d, int n) { return hidBackend().setNonblocking(d, n); }
inline int send_feature_report(hid_device *d, const unsigned char *b, size_t n) { return hidBackend().sendFeatureReport(d, b, n); }
inline int get_feature_report(hid_device *d, unsigned char *b, size_t n) { return hidBackend().getFeatureReport(d, b, n); }
inline int write(hid_device *d, const unsigned char *b, size_t n) { return hidBackend().write(d, b, n); }
inline int read(hid_device *d, unsigned char *b, size_t n) { return hidBackend().read(d, b, n); }
inline int read_timeout(hid_device *d, unsigned char *b, size_t n, int ms) { return hidBackend().readTimeout(d, b, n, ms); }
inline void close(hid_device *d) { hidBackend().close(d); }
inline bool access_denied(const char *path) { return hidBackend().accessDenied(path); }
} // namespace hid
