// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// Two virtual mice behind the hidapi seam: enumeration, handles, reports in both directions,
// plug and unplug with device-change notifications, a wire log of every call, and faults that
// tests can inject. Thread-safe: the GUI thread and the status-polling thread call it at once;
// blocking reads wait on a condition variable.

#include "device/hidapi_seam.h"
#include "vdev/virtualfirmware.h"

#include <QPointer>
#include <QString>
#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <set>
#include <string>
#include <vector>

class DeviceMonitor;
class QObject;

namespace vdev {

// The virtual mice, by index: one of each firmware family, and a 553-family mouse with the
// 3395 sensor and the alternative firmware variant (lift-off row, DPI entry rows).
constexpr int Mouse553 = 0;
constexpr int Mouse560 = 1;
constexpr int Mouse3395 = 2;
constexpr int MouseCount = 3;

constexpr unsigned short VendorId = 0x1209;

// HID interfaces of one virtual mouse: the vendor command interface, the vendor status
// interface and the ordinary pointer interface the system drives.
enum class Iface { None, Command, Status, Pointer };

// The hidapi calls, as logged and as targets of faults.
enum class Call { Enumerate, Open, SetNonblocking, SendFeature, GetFeature, Write, Read, ReadTimeout, Close };

const char *ifaceName(Iface iface);
const char *callName(Call call);

struct MouseModel
{
    VirtualFirmware::Family family;
    const char *name;              // as demo mode and the control protocol name it: "553", "560", "3395"
    const char *familyName;        // "553" / "560"
    unsigned short productId;
    int reportLength;
    unsigned short usagePage, usage;       // command interface
    unsigned short usagePage2, usage2;     // status interface
};
const MouseModel &mouseModel(int mouse);
// Index of the mouse of a name ("553", "560", "3395"), -1 for anything else.
int mouseForFamily(const QString &family);

// One hidapi call as the device saw it.
struct WireEvent
{
    qint64 timeNs = 0;            // monotonic, from the device's creation
    int mouse = -1;               // -1: enumeration or an unknown handle
    Iface iface = Iface::None;
    Call call = Call::Enumerate;
    int result = 0;               // the call's return value (opens: 0 or -1)
    std::vector<uint8_t> bytes;   // report bytes: as sent (host to device) or as returned

    double timeMs() const { return timeNs / 1e6; }
    bool isReport() const;        // a feature, output or input report that crossed
};

enum class FaultAction {
    Fail,    // the call fails (null handle / -1)
    Unplug,  // the mouse is unplugged just before the call, which then fails
    Stall,   // reads: nothing arrives (a timed read returns 0 at its end; a blocking read waits
             // until the faults are cleared or the mouse is unplugged)
    // Reports to the mouse (feature reports sent, output reports); any other call fails.
    Drop,    // the call succeeds, but the mouse never sees the report
    Alter,   // the call succeeds, but the mouse sees the byte after the report number inverted
    Short    // reads: the report arrives cut to half its length; any other call fails
};

struct Fault
{
    Call call = Call::Open;
    FaultAction action = FaultAction::Fail;
    int skip = 0;                 // matching calls let through first
    int times = 1;                // matching calls it hits after that; -1: from then on
    int mouse = -1;               // -1: any mouse
    Iface iface = Iface::None;    // None: any interface
};

class VirtualDevice final : public HidBackend
{
public:
    VirtualDevice();
    ~VirtualDevice() override;
    VirtualDevice(const VirtualDevice &) = delete;
    VirtualDevice &operator=(const VirtualDevice &) = delete;

    // Makes this device the hidapi backend and the source of device-change notifications
    // (monitors created from now on are fed by it); the destructor undoes it.
    void install();
    void uninstall();
    bool isInstalled() const;
    // The installed device, if any.
    static VirtualDevice *installed();

    QString path(int mouse, Iface iface) const;
    // Presents the mouse under other USB ids (its model's by default), as a mouse of the same
    // family that the shipped device table does not know; its paths follow the ids.
    void setIds(int mouse, unsigned short vendorId, unsigned short productId);

    // Plugging raises a device-change notification (queued to each monitor's thread).
    void plug(int mouse);
    void unplug(int mouse);
    bool isPlugged(int mouse) const;
    // The mouse's nodes refuse this user, as without the udev rule: enumeration still lists it,
    // every open fails and the permission query says so. Lasts across plugs.
    void setAccessDenied(int mouse, bool denied);
    void addMonitor(DeviceMonitor *monitor);

    // The mouse's own buttons.
    void pressDpiButton(int mouse);
    void pressRateButton(int mouse);
    void pressLightButton(int mouse);
    void pressSpeedButton(int mouse);
    // Puts raw bytes on the status interface ahead of the firmware's own reports (tests use it
    // for reports the firmware would never send).
    void injectStatusReport(int mouse, const std::vector<uint8_t> &bytes);

    // Runs f on the firmware model with the device locked (tests set up or inspect state).
    void withFirmware(int mouse, const std::function<void(VirtualFirmware &)> &f);
    VirtualFirmware::State firmwareState(int mouse) const;
    std::string describe(int mouse) const;
    // Handles opened and not closed yet.
    int openHandleCount() const;

    // Wire log: every call in both directions with its time stamp. A long session keeps the
    // newest events: at maxWireLog the oldest half goes.
    static constexpr size_t maxWireLog = 200000;
    std::vector<WireEvent> wireLog() const;
    void clearWireLog();
    // Also writes each event as a text line to a file (empty name: stop).
    bool setWireLogFile(const QString &fileName);
    // Whether the events are kept in memory (they are unless told otherwise; the file gets them
    // either way).
    void keepWireLog(bool keep);

    // Keeps what the mice hold in their flash in a file, as a real mouse keeps its settings
    // across a power cycle: what the file holds is loaded now, and the file is rewritten each
    // time a mouse stores something. An empty name stops it. False when the file exists but
    // cannot be read.
    bool setStateFile(const QString &fileName);

    void addFault(const Fault &fault);
    // Removes every fault and releases stalled reads.
    void clearFaults();
    // Faults whose calls have not all come yet.
    size_t pendingFaults() const;

    // hidapi through the seam.
    hid_device_info *enumerate(unsigned short vendorId, unsigned short productId) override;
    void freeEnumeration(hid_device_info *devices) override;
    hid_device *openPath(const char *path) override;
    int setNonblocking(hid_device *device, int nonblock) override;
    int sendFeatureReport(hid_device *device, const unsigned char *data, size_t length) override;
    int getFeatureReport(hid_device *device, unsigned char *data, size_t length) override;
    int write(hid_device *device, const unsigned char *data, size_t length) override;
    int read(hid_device *device, unsigned char *data, size_t length) override;
    int readTimeout(hid_device *device, unsigned char *data, size_t length, int milliseconds) override;
    void close(hid_device *device) override;
    bool accessDenied(const char *path) override;

private:
    struct Mouse
    {
        std::unique_ptr<VirtualFirmware> firmware;
        bool plugged = false;
        bool accessDenied = false;
        unsigned short vendorId = VendorId;
        unsigned short productId = 0;
        unsigned epoch = 0;       // bumped at every unplug: older handles are dead
        std::deque<std::vector<uint8_t>> injectedStatus;
    };
    struct Handle
    {
        int mouse;
        Iface iface;
        unsigned epoch;
        bool blocking = true;
    };

    // All below with m_mutex held.
    QString pathLocked(int mouse, Iface iface) const;
    Handle *handleOf(hid_device *device) const;
    // The mouse and interface a path names (mouse -1: none).
    int mouseOfPath(const char *pathText, Iface *iface) const;
    bool alive(const Handle *h) const;
    // The handle of a call; null (the call logged as failed) for an unknown handle or a
    // missing buffer.
    Handle *handleFor(hid_device *device, Call call, bool haveBuffer = true);
    // Applies a fault aimed at this call (an unplug fault unplugs first); true when one hit,
    // and the call then fails.
    bool faultHits(Call call, int mouse, Iface iface);
    // Whether a report call on this handle reaches the firmware: no fault hit, the mouse is
    // still the one the handle was opened on, and it is the command interface.
    bool onCommandInterface(const Handle *h, Call call);
    // A report from the host to the mouse's firmware (take: featureWrite or outputWrite), as the
    // faults aimed at the call let it through; returns the call's result.
    int deliver(const Handle *h, Call call, const unsigned char *data, size_t length,
                int (VirtualFirmware::*take)(const uint8_t *, size_t));
    // Applies a matching fault; returns the action, or false when no fault hits.
    bool takeFault(Call call, int mouse, Iface iface, FaultAction &action);
    void log(int mouse, Iface iface, Call call, int result, const uint8_t *bytes = nullptr, size_t n = 0);
    void unplugLocked(int mouse);
    void notifyMonitors();
    int readLocked(std::unique_lock<std::mutex> &lock, hid_device *device, unsigned char *data,
                   size_t length, int milliseconds, Call call);
    // Rewrites the state file when a mouse stored something since it was last written.
    void saveStateIfStored();
    unsigned storeCount() const;   // of all mice

    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    Mouse m_mice[MouseCount];
    std::set<Handle *> m_handles;
    std::set<hid_device_info *> m_enumerations;
    std::vector<WireEvent> m_log;
    std::vector<Fault> m_faults;
    unsigned m_stallGeneration = 0;
    std::FILE *m_logFile = nullptr;
    bool m_keepLog = true;
    QString m_stateFile;
    unsigned m_savedStores = 0;
    bool m_stateWriteFailed = false;
    std::chrono::steady_clock::time_point m_start;
    std::vector<QPointer<DeviceMonitor>> m_monitors;
    bool m_installed = false;
};

} // namespace vdev
