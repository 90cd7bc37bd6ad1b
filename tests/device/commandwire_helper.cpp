#include "commandwire_helper.h"

#include "device/hidapi_seam.h"

namespace commandwire {

using vdev::Call;
using vdev::Iface;

QByteArray pattern(int length, int seed)
{
    QByteArray b(length, 0);
    for (int i = 0; i < length; ++i)
        b[i] = char((i * 7 + seed) & 0xFF);
    return b;
}

QByteArray dataOut(const Transfer &t, int length, int reportLength)
{
    const int chunk = qMin(length, reportLength);
    QByteArray out;
    for (const QByteArray &w : t.writes)
        out += w.mid(1, chunk);
    return out.left(length);
}

Rig::Rig(int mouse, Hid_Thread *useThread)
    : hid(useThread ? *useThread : ownThread)
    , mouse(mouse)
    , reportLength(vdev::mouseSpec(mouse).reportLength)
{
    device.install();
    device.plug(mouse);
    const vdev::MouseSpec &spec = vdev::mouseSpec(mouse);
    DeviceEntry entry;
    entry.type = 1;
    entry.vid = vdev::VendorId;
    entry.pid = spec.productId;
    entry.usagePage = spec.usagePage;
    entry.usage = spec.usage;
    entry.usagePage2 = spec.usagePage2;
    entry.usage2 = spec.usage2;
    entry.reportLength = spec.reportLength;
    entry.path = device.path(mouse, Iface::Command);
    entry.path2 = device.path(mouse, Iface::Status);
    hid.deviceList = {entry};
    hid.deviceIndex = 0;
    hid.hidBusy = false;
}

Rig::~Rig()
{
    hid.deviceList.clear();
    device.uninstall();
}

void Rig::run(const std::function<void(Hid_Thread &)> &f)
{
    device.clearWireLog();
    f(hid);
    // An enumeration is logged with its time: it marks when the slot returned.
    hid::free_enumeration(hid::enumerate(0xFFFF, 0xFFFF));
}

static QByteArray toBytes(const std::vector<uint8_t> &v)
{
    return QByteArray(reinterpret_cast<const char *>(v.data()), int(v.size()));
}

QList<Transfer> Rig::transfers() const
{
    const std::vector<vdev::WireEvent> log = device.wireLog();
    QList<Transfer> out;
    for (size_t i = 0; i < log.size(); ++i) {
        const vdev::WireEvent &e = log[i];
        if (e.iface != Iface::Command || !e.isReport())
            continue;
        const double next = i + 1 < log.size() ? log[i + 1].timeMs() - e.timeMs() : 0;
        if (e.call == Call::SendFeature) {
            Transfer t;
            t.request = toBytes(e.bytes);
            t.settleMs = next;
            t.tailMs = next;
            out << t;
            continue;
        }
        if (out.isEmpty())
            continue;
        Transfer &t = out.last();
        t.tailMs = next;
        if (e.call == Call::GetFeature)
            t.replyRead = true;
        else if (e.call == Call::Write)
            t.writes << toBytes(e.bytes);
        else
            t.reads << toBytes(e.bytes);
    }
    return out;
}

double Rig::trailingMs() const
{
    const std::vector<vdev::WireEvent> log = device.wireLog();
    if (log.size() < 2)
        return 0;
    for (size_t i = log.size() - 1; i-- > 0;)
        if (log[i].iface == Iface::Command)
            return log.back().timeMs() - log[i].timeMs();
    return 0;
}

int Rig::reportCount() const
{
    int n = 0;
    for (const vdev::WireEvent &e : device.wireLog())
        if (e.iface == Iface::Command && e.call != Call::Open && e.call != Call::Close && e.call != Call::SetNonblocking)
            ++n;
    return n;
}

} // namespace commandwire
