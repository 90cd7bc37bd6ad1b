// SPDX-License-Identifier: GPL-3.0-or-later
#include "vdev/virtualdevice.h"

#include "platform/devicemonitor.h"

#include <QFile>
#include <QSaveFile>
#include <QMetaObject>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <cstring>

namespace vdev {

namespace {

const MouseModel models[MouseCount] = {
    {VirtualFirmware::Family::F553, "553", "553", 0x5530, 32, 0xFF00, 0xFF00, 0xFF01, 0xFF01},
    {VirtualFirmware::Family::F560, "560", "560", 0x5600, 64, 0xFF00, 0xFF00, 0xFF01, 0xFF01},
    {VirtualFirmware::Family::F553, "3395", "553", 0x5395, 32, 0xFF00, 0xFF00, 0xFF01, 0xFF01},
};

int validMouse(int mouse)
{
    return mouse >= 0 && mouse < MouseCount ? mouse : Mouse553;
}

// Enumeration order: the pointer interface first, as a composite mouse lists it.
const Iface enumeratedIfaces[] = {Iface::Pointer, Iface::Command, Iface::Status};

std::atomic<VirtualDevice *> installedDevice{nullptr};

DeviceMonitor *createVirtualMonitor(QObject *parent)
{
    auto *monitor = new DeviceMonitor(parent);
    if (VirtualDevice *device = installedDevice.load())
        device->addMonitor(monitor);
    return monitor;
}

} // namespace

const char *ifaceName(Iface iface)
{
    switch (iface) {
    case Iface::Command: return "command";
    case Iface::Status: return "status";
    case Iface::Pointer: return "pointer";
    case Iface::None: break;
    }
    return "-";
}

const char *callName(Call call)
{
    switch (call) {
    case Call::Enumerate: return "enumerate";
    case Call::Open: return "open";
    case Call::SetNonblocking: return "set_nonblocking";
    case Call::SendFeature: return "send_feature_report";
    case Call::GetFeature: return "get_feature_report";
    case Call::Write: return "write";
    case Call::Read: return "read";
    case Call::ReadTimeout: return "read_timeout";
    case Call::Close: return "close";
    }
    return "?";
}

const MouseModel &mouseModel(int mouse)
{
    return models[validMouse(mouse)];
}

int mouseForFamily(const QString &family)
{
    for (int m = 0; m < MouseCount; ++m)
        if (family == QLatin1String(models[m].name))
            return m;
    return -1;
}

bool WireEvent::isReport() const
{
    switch (call) {
    case Call::SendFeature:
    case Call::GetFeature:
    case Call::Write:
    case Call::Read:
    case Call::ReadTimeout:
        return result > 0;
    default:
        return false;
    }
}

VirtualDevice::VirtualDevice()
    : m_start(std::chrono::steady_clock::now())
{
    for (int m = 0; m < MouseCount; ++m) {
        m_mice[m].firmware = std::make_unique<VirtualFirmware>(models[m].family, models[m].reportLength);
        m_mice[m].productId = models[m].productId;
    }
    // The 3395 sensor has no number the identity query knows: it reports none.
    m_mice[Mouse3395].firmware->mutableState().keyboardOption[2] = 0;
}

VirtualDevice::~VirtualDevice()
{
    uninstall();
    std::lock_guard<std::mutex> lock(m_mutex);
    for (Handle *h : m_handles)
        delete h;
    m_handles.clear();
    for (hid_device_info *d : m_enumerations) {
        while (d) {
            hid_device_info *next = d->next;
            std::free(d->path);
            delete d;
            d = next;
        }
    }
    m_enumerations.clear();
    if (m_logFile)
        std::fclose(m_logFile);
}

void VirtualDevice::install()
{
    installedDevice.store(this);
    setHidBackend(this);
    setDeviceMonitorFactory(&createVirtualMonitor);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_installed = true;
}

void VirtualDevice::uninstall()
{
    VirtualDevice *self = this;
    if (!installedDevice.compare_exchange_strong(self, nullptr))
        return;
    setHidBackend(nullptr);
    setDeviceMonitorFactory(nullptr);
    std::lock_guard<std::mutex> lock(m_mutex);
    m_installed = false;
}

bool VirtualDevice::isInstalled() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_installed;
}

VirtualDevice *VirtualDevice::installed()
{
    return installedDevice.load();
}

QString VirtualDevice::path(int mouse, Iface iface) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return pathLocked(mouse, iface);
}

QString VirtualDevice::pathLocked(int mouse, Iface iface) const
{
    const Mouse &m = m_mice[validMouse(mouse)];
    return QStringLiteral("vdev:%1:%2:%3")
        .arg(m.vendorId, 4, 16, QLatin1Char('0'))
        .arg(m.productId, 4, 16, QLatin1Char('0'))
        .arg(QLatin1String(ifaceName(iface)));
}

void VirtualDevice::setIds(int mouse, unsigned short vendorId, unsigned short productId)
{
    if (mouse < 0 || mouse >= MouseCount)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mice[mouse].vendorId = vendorId;
    m_mice[mouse].productId = productId;
}

void VirtualDevice::plug(int mouse)
{
    if (mouse < 0 || mouse >= MouseCount)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_mice[mouse].plugged)
        return;
    m_mice[mouse].plugged = true;
    notifyMonitors();
    m_changed.notify_all();
}

void VirtualDevice::setAccessDenied(int mouse, bool denied)
{
    if (mouse < 0 || mouse >= MouseCount)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mice[mouse].accessDenied = denied;
}

void VirtualDevice::unplug(int mouse)
{
    if (mouse < 0 || mouse >= MouseCount)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    unplugLocked(mouse);
}

void VirtualDevice::unplugLocked(int mouse)
{
    Mouse &m = m_mice[mouse];
    if (!m.plugged)
        return;
    m.plugged = false;
    ++m.epoch;
    // Reports in flight are lost with the cable.
    std::vector<uint8_t> dropped;
    while (m.firmware->takeCommandInput(dropped)) {}
    while (m.firmware->takeStatusReport(dropped)) {}
    m.injectedStatus.clear();
    notifyMonitors();
    m_changed.notify_all();
}

bool VirtualDevice::isPlugged(int mouse) const
{
    if (mouse < 0 || mouse >= MouseCount)
        return false;
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mice[mouse].plugged;
}

void VirtualDevice::addMonitor(DeviceMonitor *monitor)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_monitors.emplace_back(monitor);
}

void VirtualDevice::notifyMonitors()
{
    for (const QPointer<DeviceMonitor> &p : m_monitors) {
        if (DeviceMonitor *monitor = p.data())
            QMetaObject::invokeMethod(monitor, [monitor] { monitor->notifyChanged(); }, Qt::QueuedConnection);
    }
}

void VirtualDevice::pressDpiButton(int mouse)
{
    withFirmware(mouse, [](VirtualFirmware &f) { f.pressDpiButton(); });
}

void VirtualDevice::pressRateButton(int mouse)
{
    withFirmware(mouse, [](VirtualFirmware &f) { f.pressRateButton(); });
}

void VirtualDevice::pressLightButton(int mouse)
{
    withFirmware(mouse, [](VirtualFirmware &f) { f.pressLightButton(); });
}

void VirtualDevice::pressSpeedButton(int mouse)
{
    withFirmware(mouse, [](VirtualFirmware &f) { f.pressSpeedButton(); });
}

void VirtualDevice::injectStatusReport(int mouse, const std::vector<uint8_t> &bytes)
{
    if (mouse < 0 || mouse >= MouseCount)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    m_mice[mouse].injectedStatus.push_back(bytes);
    m_changed.notify_all();
}

int VirtualDevice::openHandleCount() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return static_cast<int>(m_handles.size());
}

void VirtualDevice::withFirmware(int mouse, const std::function<void(VirtualFirmware &)> &f)
{
    if (mouse < 0 || mouse >= MouseCount)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    f(*m_mice[mouse].firmware);
    saveStateIfStored();
    m_changed.notify_all();
}

VirtualFirmware::State VirtualDevice::firmwareState(int mouse) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_mice[validMouse(mouse)].firmware->state();
}

std::string VirtualDevice::describe(int mouse) const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    const int m = validMouse(mouse);
    std::string s = std::string("mouse ") + models[m].name
        + (m_mice[m].plugged ? " plugged\n" : " unplugged\n");
    return s + m_mice[m].firmware->describe();
}

std::vector<WireEvent> VirtualDevice::wireLog() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_log;
}

void VirtualDevice::clearWireLog()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_log.clear();
}

void VirtualDevice::keepWireLog(bool keep)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_keepLog = keep;
    if (!keep)
        std::vector<WireEvent>().swap(m_log);
}

bool VirtualDevice::setWireLogFile(const QString &fileName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (m_logFile) {
        std::fclose(m_logFile);
        m_logFile = nullptr;
    }
    if (fileName.isEmpty())
        return true;
    m_logFile = std::fopen(QFile::encodeName(fileName).constData(), "w");
    return m_logFile != nullptr;
}

unsigned VirtualDevice::storeCount() const
{
    unsigned stores = 0;
    for (const Mouse &m : m_mice)
        stores += m.firmware->storeCount();
    return stores;
}

bool VirtualDevice::setStateFile(const QString &fileName)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_stateFile = fileName;
    m_stateWriteFailed = false;
    m_savedStores = storeCount();
    QFile file(fileName);
    if (fileName.isEmpty() || !file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // Lines "<mouse> <item> <bytes>": each mouse takes its own.
    std::string text[MouseCount];
    for (const QByteArray &line : file.readAll().split('\n')) {
        const int space = line.indexOf(' ');
        const int mouse = space > 0 ? mouseForFamily(QString::fromLatin1(line.left(space))) : -1;
        if (mouse >= 0)
            text[mouse] += line.mid(space + 1).toStdString() + '\n';
    }
    for (int m = 0; m < MouseCount; ++m)
        m_mice[m].firmware->loadFlash(text[m]);
    return true;
}

void VirtualDevice::saveStateIfStored()
{
    if (m_stateFile.isEmpty())
        return;
    const unsigned stores = storeCount();
    if (stores == m_savedStores)
        return;
    m_savedStores = stores;
    QByteArray content;
    for (int m = 0; m < MouseCount; ++m) {
        const QByteArray prefix = QByteArray(models[m].name) + ' ';
        for (const QByteArray &line : QByteArray::fromStdString(m_mice[m].firmware->saveFlash()).split('\n'))
            if (!line.isEmpty())
                content += prefix + line + '\n';
    }
    QSaveFile file(m_stateFile);
    const bool saved = file.open(QIODevice::WriteOnly) && file.write(content) == content.size() && file.commit();
    // Said once: a demo whose state cannot be kept goes on with what it has in memory.
    if (!saved && !m_stateWriteFailed)
        qWarning("cannot write the virtual mice's state to %s", qPrintable(m_stateFile));
    m_stateWriteFailed = !saved;
}

void VirtualDevice::addFault(const Fault &fault)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.push_back(fault);
}

void VirtualDevice::clearFaults()
{
    std::lock_guard<std::mutex> lock(m_mutex);
    m_faults.clear();
    ++m_stallGeneration;
    m_changed.notify_all();
}

size_t VirtualDevice::pendingFaults() const
{
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_faults.size();
}

VirtualDevice::Handle *VirtualDevice::handleOf(hid_device *device) const
{
    auto *h = reinterpret_cast<Handle *>(device);
    return m_handles.count(h) ? h : nullptr;
}

bool VirtualDevice::alive(const Handle *h) const
{
    const Mouse &m = m_mice[h->mouse];
    return m.plugged && m.epoch == h->epoch;
}

VirtualDevice::Handle *VirtualDevice::handleFor(hid_device *device, Call call, bool haveBuffer)
{
    Handle *h = handleOf(device);
    if (h && haveBuffer)
        return h;
    log(-1, Iface::None, call, -1);
    return nullptr;
}

bool VirtualDevice::faultHits(Call call, int mouse, Iface iface)
{
    FaultAction action;
    if (!takeFault(call, mouse, iface, action))
        return false;
    if (action == FaultAction::Unplug && mouse >= 0)
        unplugLocked(mouse);
    return true;
}

bool VirtualDevice::onCommandInterface(const Handle *h, Call call)
{
    return !faultHits(call, h->mouse, h->iface) && alive(h) && h->iface == Iface::Command;
}

int VirtualDevice::deliver(const Handle *h, Call call, const unsigned char *data, size_t length,
                           int (VirtualFirmware::*take)(const uint8_t *, size_t))
{
    FaultAction action = FaultAction::Fail;
    const bool hit = takeFault(call, h->mouse, h->iface, action);
    if (hit && action == FaultAction::Unplug)
        unplugLocked(h->mouse);
    const bool lost = hit && action == FaultAction::Drop;
    const bool altered = hit && action == FaultAction::Alter;
    if ((hit && !lost && !altered) || !alive(h) || h->iface != Iface::Command)
        return -1;
    VirtualFirmware &firmware = *m_mice[h->mouse].firmware;
    if (lost)
        return static_cast<int>(length);
    if (!altered || length < 2)
        return (firmware.*take)(data, length);
    std::vector<uint8_t> copy(data, data + length);
    copy[1] = static_cast<uint8_t>(~copy[1]);
    return (firmware.*take)(copy.data(), copy.size());
}

bool VirtualDevice::takeFault(Call call, int mouse, Iface iface, FaultAction &action)
{
    for (auto it = m_faults.begin(); it != m_faults.end(); ++it) {
        Fault &f = *it;
        if (f.call != call || (f.mouse >= 0 && f.mouse != mouse) || (f.iface != Iface::None && f.iface != iface))
            continue;
        if (f.skip > 0) {
            --f.skip;
            continue;
        }
        if (f.times == 0)
            continue;
        action = f.action;
        if (f.times > 0 && --f.times == 0)
            m_faults.erase(it);
        return true;
    }
    return false;
}

void VirtualDevice::log(int mouse, Iface iface, Call call, int result, const uint8_t *bytes, size_t n)
{
    WireEvent e;
    e.timeNs = std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - m_start).count();
    e.mouse = mouse;
    e.iface = iface;
    e.call = call;
    e.result = result;
    if (bytes && n)
        e.bytes.assign(bytes, bytes + n);
    if (m_logFile) {
        std::fprintf(m_logFile, "%12.3f %s %s %s %d %s\n", e.timeMs(),
                     mouse >= 0 ? models[mouse].name : "-", ifaceName(iface), callName(call), result,
                     hexText(e.bytes.data(), e.bytes.size()).c_str());
        std::fflush(m_logFile);
    }
    if (!m_keepLog)
        return;
    // A long demo session must not grow without bound: the oldest half goes first.
    if (m_log.size() >= maxWireLog)
        m_log.erase(m_log.begin(), m_log.begin() + maxWireLog / 2);
    m_log.push_back(std::move(e));
}

hid_device_info *VirtualDevice::enumerate(unsigned short vendorId, unsigned short productId)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    if (faultHits(Call::Enumerate, -1, Iface::None)) {
        log(-1, Iface::None, Call::Enumerate, -1);
        return nullptr;
    }
    hid_device_info *head = nullptr;
    hid_device_info **tail = &head;
    int count = 0;
    for (int m = 0; m < MouseCount; ++m) {
        const MouseModel &s = models[m];
        const Mouse &mouse = m_mice[m];
        if (!mouse.plugged || (vendorId && vendorId != mouse.vendorId) || (productId && productId != mouse.productId))
            continue;
        for (Iface iface : enumeratedIfaces) {
            auto *d = new hid_device_info{};
            d->path = strdup(pathLocked(m, iface).toLatin1().constData());
            d->vendor_id = mouse.vendorId;
            d->product_id = mouse.productId;
            d->release_number = 0x0100;
            d->interface_number = static_cast<int>(iface) - 1;
            d->bus_type = HID_API_BUS_USB;
            switch (iface) {
            case Iface::Command: d->usage_page = s.usagePage; d->usage = s.usage; break;
            case Iface::Status: d->usage_page = s.usagePage2; d->usage = s.usage2; break;
            default: d->usage_page = 0x0001; d->usage = 0x0002; break;
            }
            *tail = d;
            tail = &d->next;
            ++count;
        }
    }
    log(-1, Iface::None, Call::Enumerate, count);
    if (head)
        m_enumerations.insert(head);
    return head;
}

void VirtualDevice::freeEnumeration(hid_device_info *devices)
{
    if (!devices)
        return;
    std::lock_guard<std::mutex> lock(m_mutex);
    if (!m_enumerations.erase(devices))
        return;   // not ours, or freed twice
    while (devices) {
        hid_device_info *next = devices->next;
        std::free(devices->path);
        delete devices;
        devices = next;
    }
}

hid_device *VirtualDevice::openPath(const char *pathText)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Iface iface = Iface::None;
    const int mouse = mouseOfPath(pathText, &iface);
    if (faultHits(Call::Open, mouse, iface) || mouse < 0 || !m_mice[mouse].plugged || m_mice[mouse].accessDenied) {
        log(mouse, iface, Call::Open, -1);
        return nullptr;
    }
    auto *h = new Handle{mouse, iface, m_mice[mouse].epoch, true};
    m_handles.insert(h);
    log(mouse, iface, Call::Open, 0);
    return reinterpret_cast<hid_device *>(h);
}

int VirtualDevice::mouseOfPath(const char *pathText, Iface *iface) const
{
    const QString wanted = QString::fromLatin1(pathText ? pathText : "");
    for (int m = 0; m < MouseCount; ++m)
        for (Iface i : enumeratedIfaces)
            if (wanted == pathLocked(m, i)) {
                *iface = i;
                return m;
            }
    return -1;
}

bool VirtualDevice::accessDenied(const char *pathText)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Iface iface = Iface::None;
    const int mouse = mouseOfPath(pathText, &iface);
    // An absent node is missing, not forbidden.
    return mouse >= 0 && m_mice[mouse].plugged && m_mice[mouse].accessDenied;
}

int VirtualDevice::setNonblocking(hid_device *device, int nonblock)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle *h = handleFor(device, Call::SetNonblocking);
    if (!h)
        return -1;
    if (faultHits(Call::SetNonblocking, h->mouse, h->iface) || !alive(h)) {
        log(h->mouse, h->iface, Call::SetNonblocking, -1);
        return -1;
    }
    h->blocking = nonblock == 0;
    log(h->mouse, h->iface, Call::SetNonblocking, 0);
    return 0;
}

int VirtualDevice::sendFeatureReport(hid_device *device, const unsigned char *data, size_t length)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle *h = handleFor(device, Call::SendFeature, data != nullptr);
    if (!h)
        return -1;
    const int result = deliver(h, Call::SendFeature, data, length, &VirtualFirmware::featureWrite);
    log(h->mouse, h->iface, Call::SendFeature, result, data, length);
    saveStateIfStored();
    m_changed.notify_all();
    return result;
}

int VirtualDevice::getFeatureReport(hid_device *device, unsigned char *data, size_t length)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle *h = handleFor(device, Call::GetFeature, data != nullptr);
    if (!h)
        return -1;
    const int result = onCommandInterface(h, Call::GetFeature)
        ? m_mice[h->mouse].firmware->featureRead(data, length) : -1;
    const size_t shown = result > 0 ? std::min(static_cast<size_t>(result), length) : 0;
    log(h->mouse, h->iface, Call::GetFeature, result, data, shown);
    return result;
}

int VirtualDevice::write(hid_device *device, const unsigned char *data, size_t length)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle *h = handleFor(device, Call::Write, data != nullptr);
    if (!h)
        return -1;
    const int result = deliver(h, Call::Write, data, length, &VirtualFirmware::outputWrite);
    log(h->mouse, h->iface, Call::Write, result, data, length);
    saveStateIfStored();
    m_changed.notify_all();
    return result;
}

int VirtualDevice::read(hid_device *device, unsigned char *data, size_t length)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    Handle *h = handleOf(device);
    const int ms = h && !h->blocking ? 0 : -1;
    return readLocked(lock, device, data, length, ms, Call::Read);
}

int VirtualDevice::readTimeout(hid_device *device, unsigned char *data, size_t length, int milliseconds)
{
    std::unique_lock<std::mutex> lock(m_mutex);
    return readLocked(lock, device, data, length, milliseconds, Call::ReadTimeout);
}

int VirtualDevice::readLocked(std::unique_lock<std::mutex> &lock, hid_device *device, unsigned char *data,
                              size_t length, int milliseconds, Call call)
{
    Handle *h = handleFor(device, call, data != nullptr);
    if (!h)
        return -1;
    // The handle is only looked at again after checking it is still registered: a close from
    // another thread while this read waits must not leave it dangling.
    const int mouse = h->mouse;
    const Iface iface = h->iface;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(std::max(milliseconds, 0));
    auto waitForChange = [&]() {
        if (milliseconds < 0) {
            m_changed.wait(lock);
            return true;
        }
        return m_changed.wait_until(lock, deadline) != std::cv_status::timeout;
    };
    auto stillAlive = [&]() { return handleOf(device) == h && alive(h); };

    FaultAction action;
    bool cut = false;
    if (takeFault(call, mouse, iface, action)) {
        switch (action) {
        case FaultAction::Short:
            cut = true;
            break;
        case FaultAction::Fail:
        case FaultAction::Drop:
        case FaultAction::Alter:
            log(mouse, iface, call, -1);
            return -1;
        case FaultAction::Unplug:
            unplugLocked(mouse);
            break;
        case FaultAction::Stall: {
            const unsigned generation = m_stallGeneration;
            while (stillAlive() && generation == m_stallGeneration && milliseconds != 0) {
                if (!waitForChange())
                    break;
            }
            if (!stillAlive()) {
                log(mouse, iface, call, -1);
                return -1;
            }
            if (generation == m_stallGeneration) {
                log(mouse, iface, call, 0);
                return 0;
            }
            break;   // released: read as usual
        }
        }
    }

    std::vector<uint8_t> report;
    for (;;) {
        if (!stillAlive()) {
            log(mouse, iface, call, -1);
            return -1;
        }
        Mouse &m = m_mice[mouse];
        bool got = false;
        if (iface == Iface::Command) {
            got = m.firmware->takeCommandInput(report);
        } else if (iface == Iface::Status) {
            if (!m.injectedStatus.empty()) {
                report = std::move(m.injectedStatus.front());
                m.injectedStatus.pop_front();
                got = true;
            } else {
                got = m.firmware->takeStatusReport(report);
            }
        }
        if (got) {
            const size_t n = std::min(report.size(), length) / (cut ? 2 : 1);
            std::memcpy(data, report.data(), n);
            log(mouse, iface, call, static_cast<int>(n), data, n);
            return static_cast<int>(n);
        }
        if (milliseconds == 0 || !waitForChange()) {
            log(mouse, iface, call, 0);
            return 0;
        }
    }
}

void VirtualDevice::close(hid_device *device)
{
    std::lock_guard<std::mutex> lock(m_mutex);
    Handle *h = handleFor(device, Call::Close);
    if (!h)
        return;
    faultHits(Call::Close, h->mouse, h->iface);
    log(h->mouse, h->iface, Call::Close, 0);
    m_handles.erase(h);
    delete h;
    m_changed.notify_all();
}

} // namespace vdev
