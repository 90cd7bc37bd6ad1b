// SPDX-License-Identifier: GPL-3.0-or-later
#include "commandwire_helper.h"

#include "device/hidapi_seam.h"
#include "device/widget_rig.h"
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

QByteArray hexOf(std::initializer_list<uchar> values)
{
    return QByteArray(reinterpret_cast<const char *>(values.begin()), int(values.size())).toHex();
}

QByteArray dataOut(const Transfer &t, int length, int reportLength)
{
    QByteArray out;
    for (const QByteArray &w : t.writes)
        out += w.mid(1, qMin(length, reportLength));
    return out.left(length);
}

Rig::Rig(int mouse, Hid_Thread *useThread)
    : hid(useThread ? *useThread : ownThread), mouse(mouse), reportLength(vdev::mouseModel(mouse).reportLength)
{
    device.install();
    connect();
}

Rig::~Rig()
{
    hid.deviceList.clear();
    device.uninstall();
}

void Rig::connect()
{
    device.plug(mouse);
    hid.deviceList = {vdevtest::entryFor(device, mouse)};
    hid.deviceIndex = 0;
    hid.hidBusy = false;
}

void Rig::run(const std::function<void(Hid_Thread &)> &f)
{
    device.clearWireLog();
    f(hid);
    // An enumeration is logged with its time: it marks when the slot returned.
    hid::free_enumeration(hid::enumerate(0xFFFF, 0xFFFF));
}

QList<Transfer> Rig::transfers() const
{
    const std::vector<vdev::WireEvent> log = device.wireLog();
    QList<Transfer> out;
    for (size_t i = 0; i < log.size(); ++i) {
        const vdev::WireEvent &e = log[i];
        if (e.iface != Iface::Command || !e.isReport() || (out.isEmpty() && e.call != Call::SendFeature))
            continue;
        const double next = i + 1 < log.size() ? log[i + 1].timeMs() - e.timeMs() : 0;
        const QByteArray b(reinterpret_cast<const char *>(e.bytes.data()), int(e.bytes.size()));
        if (e.call == Call::SendFeature)
            out << Transfer{b, {}, false, next, 0};
        out.last().tailMs = next;
        out.last().replyRead |= e.call == Call::GetFeature;
        if (e.call == Call::Write)
            out.last().writes << b;
    }
    return out;
}

QStringList Rig::requests() const
{
    QStringList out;
    for (const Transfer &t : transfers())
        out << QString::fromLatin1(t.request.mid(1).toHex());
    return out;
}

double Rig::trailingMs() const
{
    const std::vector<vdev::WireEvent> log = device.wireLog();
    for (size_t i = log.size() - 1; log.size() > 1 && i-- > 0;)
        if (log[i].iface == Iface::Command)
            return log.back().timeMs() - log[i].timeMs();
    return 0;
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
    checkBusy(rig, c.call, c.failLine);
}

void checkQuery(Rig &rig, const QueryCase &c)
{
    if (c.setup)
        rig.device.withFirmware(rig.mouse, [&](VirtualFirmware &fw) { c.setup(fw.mutableState()); });
    QByteArray outputs;
    const auto call = [&](Hid_Thread &hid) { outputs = c.call(hid); };
    rig.run(call);
    QList<Transfer> t = rig.transfers();
    QCOMPARE(t.size(), 1);
    QCOMPARE(t[0].request.toHex(), QByteArray("00") + c.request);
    QVERIFY(t[0].replyRead);
    QVERIFY(t[0].writes.isEmpty());
    QCOMPARE(outputs, c.answered);

    // The request never reaches the mouse: the outputs are the pre-fill.
    rig.device.addFault({Call::SendFeature, vdev::FaultAction::Fail});
    rig.run(call);
    rig.device.clearFaults();
    QCOMPARE(outputs, c.prefilled);
    QVERIFY(!rig.hid.hidBusy);

    checkBusy(rig, call, c.failLine);
    QCOMPARE(outputs, c.untouched);
}

void checkBusy(Rig &rig, const std::function<void(Hid_Thread &)> &call, const char *failLine)
{
    rig.hid.hidBusy = true;
    rig.hid.transportWaitCount = 2;
    testsupport::DebugCapture capture;
    rig.run(call);
    rig.hid.hidBusy = false;
    QCOMPARE(capture.lines(), QStringList{QString::fromLatin1(failLine)});
    for (const vdev::WireEvent &e : rig.device.wireLog())
        QVERIFY(e.iface != Iface::Command || e.call == Call::Open || e.call == Call::Close || e.call == Call::SetNonblocking);
}

} // namespace commandwire
