#include "commandwire_helper.h"

#include "device/hidapi_seam.h"
#include "testsupport.h"

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
    , reportLength(vdev::mouseModel(mouse).reportLength)
{
    device.install();
    device.plug(mouse);
    const vdev::MouseModel &model = vdev::mouseModel(mouse);
    DeviceEntry entry;
    entry.type = 1;
    entry.vid = vdev::VendorId;
    entry.pid = model.productId;
    entry.usagePage = model.usagePage;
    entry.usage = model.usage;
    entry.usagePage2 = model.usagePage2;
    entry.usage2 = model.usage2;
    entry.reportLength = model.reportLength;
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

// msleep never returns early; the tolerance only absorbs the clock's granularity.
constexpr double tolerance = 0.5;

void checkSet(Rig &rig, const SetCase &c)
{
    rig.run(c.call);
    const QList<Transfer> t = rig.transfers();
    QCOMPARE(t.size(), 1);
    QCOMPARE(t[0].request.toHex(), QByteArray("00") + c.request);
    QVERIFY(!t[0].replyRead);
    const int length = int(c.data.size());
    const int chunk = qMin(length, rig.reportLength);
    QCOMPARE(int(t[0].writes.size()), length ? (length + chunk - 1) / chunk : 0);
    for (const QByteArray &w : t[0].writes) {
        QCOMPARE(int(w.size()), rig.reportLength + 1);
        QCOMPARE(w.at(0), char(0));
        QCOMPARE(w.mid(1 + chunk), QByteArray(rig.reportLength - chunk, 0));
    }
    QCOMPARE(dataOut(t[0], length, rig.reportLength).toHex(), c.data.toHex());
    if (c.settle) {
        QVERIFY2(t[0].settleMs >= 10 - tolerance, qPrintable(QString::number(t[0].settleMs)));
        if (length)
            QVERIFY2(t[0].tailMs >= 30 - tolerance, qPrintable(QString::number(t[0].tailMs)));
    }
    if (c.sleepMs)
        QVERIFY2(rig.trailingMs() >= c.sleepMs - tolerance, qPrintable(QString::number(rig.trailingMs())));
    // The mouse understood it all.
    const VirtualFirmware::State s = rig.state();
    QCOMPARE(s.badChecksums + s.unknownRequests + s.strayDataReports + s.abandonedDataPhases, 0);
}

void checkQuery(Rig &rig, const QueryCase &c)
{
    if (c.setup)
        rig.device.withFirmware(rig.mouse, [&](VirtualFirmware &fw) { c.setup(fw.mutableState()); });
    QByteArray outputs;
    rig.run([&](Hid_Thread &hid) { outputs = c.call(hid); });
    QList<Transfer> t = rig.transfers();
    QCOMPARE(t.size(), 1);
    QCOMPARE(t[0].request.toHex(), QByteArray("00") + c.request);
    QVERIFY(t[0].replyRead);
    QVERIFY(t[0].writes.isEmpty());
    QCOMPARE(outputs, c.answered);

    // The request never reaches the mouse: the outputs are the pre-fill.
    rig.device.addFault({vdev::Call::SendFeature, vdev::FaultAction::Fail});
    rig.run([&](Hid_Thread &hid) { outputs = c.call(hid); });
    rig.device.clearFaults();
    QCOMPARE(outputs, c.prefilled);
    QVERIFY(!rig.hid.hidBusy);
}

void checkBusy(Rig &rig, const std::function<void(Hid_Thread &)> &call, const char *failLine)
{
    rig.hid.hidBusy = true;
    rig.hid.transportWaitCount = 2;
    testsupport::DebugCapture capture;
    rig.run(call);
    rig.hid.hidBusy = false;
    QCOMPARE(capture.lines(), QStringList{QString::fromLatin1(failLine)});
    QCOMPARE(rig.reportCount(), 0);
}

} // namespace commandwire
