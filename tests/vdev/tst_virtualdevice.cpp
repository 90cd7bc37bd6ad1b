// SPDX-License-Identifier: GPL-3.0-or-later
// The virtual mice as hidapi and demo mode's control commands; of the firmware model, the
// counters and status reports that the wire tests of the command sets do not reach.

#include "testsupport.h"
#include "device/commandset.h"
#include "platform/devicemonitor.h"
#include "vdev/demo.h"
#include "vdev/virtualdevice.h"

#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

using namespace vdev;
using Family = VirtualFirmware::Family;
using protocol::Payload;
Q_DECLARE_METATYPE(Family)
Q_DECLARE_METATYPE(vdev::Fault)

namespace {

QStringList enumerated(unsigned short vid, unsigned short pid)
{
    QStringList out;
    hid_device_info *list = hid::enumerate(vid, pid);
    for (hid_device_info *d = list; d; d = d->next)
        out << QString("%1 %2/%3").arg(QString::fromLatin1(d->path)).arg(d->usage_page, 0, 16).arg(d->usage, 0, 16);
    hid::free_enumeration(list);
    return out;
}

hid_device *open(VirtualDevice &device, int mouse, Iface iface)
{
    return hid::open_path(device.path(mouse, iface).toLatin1().constData());
}

const unsigned char request[9] = {0, 0x7E, 0, 0, 0, 0, 0, 0, 0x81};

QByteArray bytes(const Payload &p)
{
    return QByteArray(reinterpret_cast<const char *>(p.data()), int(p.size()));
}

// Sends a request and its data phase the way the transport does: report number 0, then one
// chunk per report padded to the report length.
void transfer(VirtualFirmware &fw, const QByteArray &request, const QByteArray &data = QByteArray())
{
    uint8_t report[9] = {};
    std::memcpy(report + 1, request.constData(), size_t(request.size()));
    if (!request.isEmpty())
        QCOMPARE(fw.featureWrite(report, 9), 9);
    const int rl = fw.reportLength();
    const int chunk = qMin(int(data.size()), rl);
    for (int offset = 0; offset < data.size(); offset += chunk) {
        std::vector<uint8_t> out(size_t(rl) + 1, 0);
        std::memcpy(out.data() + 1, data.constData() + offset, size_t(chunk));
        fw.outputWrite(out.data(), out.size());
    }
}

std::vector<std::vector<uint8_t>> takeStatus(VirtualFirmware &fw)
{
    std::vector<std::vector<uint8_t>> all;
    std::vector<uint8_t> r;
    while (fw.takeStatusReport(r))
        all.push_back(r);
    return all;
}

} // namespace

class VirtualDeviceTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<VirtualDevice> device;

private slots:
    void init()
    {
        device = std::make_unique<VirtualDevice>();
        device->install();
    }

    void cleanup() { device.reset(); }

    void enumeration_data()
    {
        testsupport::addColumns<QList<int>, int, int, int>({"plugged", "vid", "pid", "count"});
        QTest::newRow("nothing plugged") << QList<int>{} << 0 << 0 << 0;
        QTest::newRow("another vendor") << QList<int>{Mouse553} << 0x046D << 0 << 0;
        QTest::newRow("the unplugged mouse's pid") << QList<int>{Mouse553} << 0x1209 << 0x5600 << 0;
        QTest::newRow("any vendor, any product") << QList<int>{Mouse553, Mouse560} << 0 << 0 << 6;
        QTest::newRow("our vendor") << QList<int>{Mouse560} << 0x1209 << 0 << 3;
        QTest::newRow("one product") << QList<int>{Mouse553, Mouse560} << 0x1209 << 0x5530 << 3;
    }

    void enumeration()
    {
        QFETCH(QList<int>, plugged);
        QFETCH(int, vid);
        QFETCH(int, pid);
        QFETCH(int, count);
        for (int m : plugged)
            device->plug(m);
        const QStringList found = enumerated(vid, pid);
        QCOMPARE(found.size(), count);
        if (count == 3) {
            const int m = pid == 0x5530 ? Mouse553 : Mouse560;
            QVERIFY(found.contains(device->path(m, Iface::Command) + " ff00/ff00")
                    && found.contains(device->path(m, Iface::Status) + " ff01/ff01"));
        }
    }

    // Unplugging kills the handles of that mouse for good; a replugged mouse needs a new open.
    void unplugKillsHandles()
    {
        device->plug(Mouse553);
        hid_device *before = open(*device, Mouse553, Iface::Command);
        QVERIFY(before && hid::send_feature_report(before, request, 9) == 9);
        device->unplug(Mouse553);
        QVERIFY(hid::send_feature_report(before, request, 9) == -1 && !open(*device, Mouse553, Iface::Command));
        device->plug(Mouse553);
        hid_device *after = open(*device, Mouse553, Iface::Command);
        QVERIFY(after && hid::send_feature_report(before, request, 9) == -1);
        QCOMPARE(hid::send_feature_report(after, request, 9), 9);
        hid::close(before);
        hid::close(after);
        QCOMPARE(device->openHandleCount(), 0);
    }

    void plugRaisesDeviceChange()
    {
        std::unique_ptr<DeviceMonitor> monitor(createDeviceMonitor(nullptr));
        QSignalSpy changes(monitor.get(), &DeviceMonitor::deviceChanged);
        device->plug(Mouse560);
        device->plug(Mouse560);     // already plugged: nothing happens
        device->unplug(Mouse560);
        QTRY_COMPARE(changes.count(), 2);
    }

    // Which calls a fault hits: "+" the call went through, "-" it failed.
    void faultsHitTheCallsAsked_data()
    {
        testsupport::addColumns<Fault, QString>({"fault", "outcome"});
        QTest::newRow("fails once") << Fault{Call::SendFeature, FaultAction::Fail, 0, 1} << "-++";
        QTest::newRow("after one call") << Fault{Call::SendFeature, FaultAction::Fail, 1, 1} << "+-+";
        QTest::newRow("from then on") << Fault{Call::SendFeature, FaultAction::Fail, 1, -1} << "+--";
        QTest::newRow("another mouse") << Fault{Call::SendFeature, FaultAction::Fail, 0, -1, Mouse560} << "+++";
        QTest::newRow("another interface") << Fault{Call::SendFeature, FaultAction::Fail, 0, -1, -1, Iface::Status} << "+++";
        QTest::newRow("unplug at the second call") << Fault{Call::SendFeature, FaultAction::Unplug, 1, 1} << "+--";
    }

    void faultsHitTheCallsAsked()
    {
        QFETCH(Fault, fault);
        device->plug(Mouse553);
        hid_device *h = open(*device, Mouse553, Iface::Command);
        QVERIFY(h);
        device->addFault(fault);
        QString got;
        for (int i = 0; i < 3; ++i)
            got += hid::send_feature_report(h, request, 9) == 9 ? '+' : '-';
        QTEST(got, "outcome");
        hid::close(h);
    }

    // The wire log file; a long session keeps the newest events and never more than the cap.
    void wireLog()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("wire.log");
        QVERIFY(device->setWireLogFile(file));
        device->plug(Mouse560);
        hid_device *h = open(*device, Mouse560, Iface::Command);
        hid::send_feature_report(h, request, 9);
        hid::close(h);
        QVERIFY(device->setWireLogFile(QString()));
        const QStringList lines = QString::fromLatin1(testsupport::readFile(file)).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(1).contains("560 command send_feature_report 9 00 7e 00 00 00 00 00 00 81"));

        for (size_t i = 0; i < VirtualDevice::maxWireLog; ++i)
            hid::set_nonblocking(nullptr, 0);
        hid::close(nullptr);
        const std::vector<WireEvent> log = device->wireLog();
        QVERIFY(log.size() <= VirtualDevice::maxWireLog);
        QCOMPARE(log.back().call, Call::Close);
    }

    void demoKeepsNoWireLog()
    {
        QTemporaryDir dir;
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(dir.path()));
        device.reset();
        QVERIFY(setupDemo(QString(), nullptr));
        QVERIFY(!enumerated(VendorId, 0).isEmpty());
        QDir::setCurrent(before);
        QVERIFY(demoDevice()->wireLog().empty());
    }

    void controlCommands_data()
    {
        // answer: last line of the answer
        testsupport::addColumns<QString, QString, int, bool>({"line", "answer", "stage560", "plugged560"});
        QTest::newRow("empty") << "  " << "error: empty command" << 0 << true;
        QTest::newRow("unknown command") << "fly" << "error: unknown command fly" << 0 << true;
        QTest::newRow("unknown button") << "press nose" << "error: unknown button nose" << 0 << true;
        QTest::newRow("unplugged mouse") << "press dpi 553" << "error: mouse unplugged" << 0 << true;
        QTest::newRow("press dpi") << "press dpi" << "ok" << 1 << true;
        QTest::newRow("press three times") << "press dpi x3" << "ok" << 3 << true;
        QTest::newRow("press no times") << "press dpi x0" << "error: press dpi|rate|light|speed [xN] (N from 1 to 1000)" << 0 << true;
        QTest::newRow("other family") << "plug 553" << "ok" << 0 << true;
        QTest::newRow("unplug") << "UNPLUG" << "ok" << 0 << false;
        QTest::newRow("state") << "state" << "ok" << 0 << true;
        QTest::newRow("set without a window") << "set mouse/lod 2" << "error: no window" << 0 << true;
        QTest::newRow("deny") << "deny" << "ok" << 0 << true;
        QTest::newRow("allow") << "allow 560" << "ok" << 0 << true;
        QTest::newRow("fault") << "fault alter write always 553" << "ok" << 0 << true;
        QTest::newRow("fault without a count")
            << "fault drop feature 0" << "error: fault fail|drop|alter write|feature [N|always], or fault clear" << 0 << true;
    }

    void controlCommands()
    {
        QFETCH(QString, line);
        device->plug(Mouse560);
        device->setAccessDenied(Mouse560, line.startsWith("allow"));
        const QStringList lines = runControlCommand(*device, Mouse560, line);
        QCOMPARE(device->accessDenied(qPrintable(device->path(Mouse560, Iface::Command))), line == "deny");
        QTEST(lines.last(), "answer");
        QCOMPARE(int(device->firmwareState(Mouse553).dpiStage), 0);
        QTEST(int(device->firmwareState(Mouse560).dpiStage), "stage560");
        QTEST(device->isPlugged(Mouse560), "plugged560");
        if (line == "state")
            QVERIFY(lines.first().contains("560 plugged") && lines.size() > 2);
    }

    void controlSocket()
    {
        QTemporaryDir dir;
        const QString name = dir.filePath("control");
        device->plug(Mouse553);
        QObject owner;
        QVERIFY(startControlServer(*device, Mouse553, name, &owner));
        QLocalSocket socket;
        socket.connectToServer(name);
        QVERIFY(socket.waitForConnected(5000));
        socket.write("press rate\nbogus\n");
        QStringList answers;
        QTRY_VERIFY((answers += QString::fromUtf8(socket.readAll()).split('\n', Qt::SkipEmptyParts)).size() >= 2);
        QCOMPARE(answers, (QStringList{"ok", "error: unknown command bogus"}));
        QCOMPARE(int(device->firmwareState(Mouse553).reportRate), 8);
    }

    // The mice keep what they store in the state file, as in their flash: a device made anew on
    // the file (a restarted demo) starts where the last one stopped, one without the file from
    // the factory state; lines it cannot use are skipped.
    void flashKeptInStateFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("mice.state");
        QVERIFY(device->setStateFile(file));
        device->plug(Mouse560);
        uint8_t report[9] = {};
        cmdset::fillReport(report, cmd560::setReportRate(1, 2));
        hid_device *h = open(*device, Mouse560, Iface::Command);
        QCOMPARE(hid::send_feature_report(h, report, 9), 9);
        hid::close(h);
        device->withFirmware(Mouse560, [](VirtualFirmware &fw) { transfer(fw, bytes(cmd560::setProfile(2)), QByteArray(128, 7)); });
        device->pressDpiButton(Mouse553);
        QVERIFY(testsupport::writeFile(file, testsupport::readFile(file) + "garbage\n3395 dpiStage 01 02\n560 profile3 zz\n"));

        auto flash = [](VirtualDevice &d, int mouse) {
            std::string text;
            d.withFirmware(mouse, [&text](VirtualFirmware &fw) { text = fw.saveFlash(); });
            return text;
        };
        VirtualDevice restarted;
        QVERIFY(restarted.setStateFile(file));
        VirtualDevice fresh;
        for (int mouse : {Mouse553, Mouse560, Mouse3395}) {
            QCOMPARE(flash(restarted, mouse), flash(*device, mouse));
            QCOMPARE(flash(fresh, mouse) == flash(*device, mouse), mouse == Mouse3395);
        }
        QCOMPARE(int(restarted.firmwareState(Mouse560).reportRate), 2);
        QCOMPARE(int(restarted.firmwareState(Mouse560).profile[2][127]), 7);
    }

    // Each row: one request (and its data phase) on a fresh mouse, and the line of describe() that
    // shows it was recorded and ignored.
    void ignoredRequests_data()
    {
        testsupport::addColumns<Family, QByteArray, QByteArray, QString>({"family", "request", "data", "expected"});

        Payload badSum = cmd553::setCurrentDpi(2);
        badSum[7] ^= 1;
        QTest::newRow("bad checksum ignored, stage kept") << Family::F553 << bytes(badSum) << QByteArray() << "badChecksums 1|dpiStage 0";
        QTest::newRow("unknown command") << Family::F553 << bytes(protocol::command(0x55, 1)) << QByteArray() << "unknownRequests 1";
        QTest::newRow("no report-rate command on 553") << Family::F553 << bytes(protocol::command(0x01, 2)) << QByteArray()
                                                       << "reportRate 1";
        QTest::newRow("560 command on 553") << Family::F553 << bytes(cmd560::getCurrentProfile()) << QByteArray() << "unknownRequests 1";
        QTest::newRow("key matrix 5 refused") << Family::F553 << bytes(cmd553::setKeyMatrix(5)) << QByteArray(64, 1) << "strayDataReports 2";
        QTest::newRow("560 profile 5 refused") << Family::F560 << bytes(cmd560::setProfile(5)) << QByteArray(128, 1) << "unknownRequests 1";
        QTest::newRow("553 macro shape on 560") << Family::F560 << bytes(cmd553::setMacroKey(1)) << QByteArray(128, 1) << "badChecksums 1";
        QTest::newRow("gun slot 3 refused") << Family::F553 << bytes(cmd553::setGunData(1, 2, 3, 3)) << QByteArray() << "unknownRequests 1";
        QTest::newRow("data without request") << Family::F553 << QByteArray() << QByteArray(32, 1) << "strayDataReports 1";
        QTest::newRow("data phase cut short") << Family::F553 << bytes(cmd553::setParameter1(7)) << QByteArray(32, 1) << "abandonedDataPhases 1";
    }

    void ignoredRequests()
    {
        QFETCH(Family, family);
        QFETCH(QByteArray, request);
        QFETCH(QByteArray, data);
        QFETCH(QString, expected);

        VirtualFirmware fw(family, 32);
        transfer(fw, request, data);
        if (QTest::currentDataTag() == QByteArray("data phase cut short"))
            transfer(fw, bytes(cmd553::setCurrentDpi(1)));
        const QStringList lines = QString::fromStdString(fw.describe()).split('\n', Qt::SkipEmptyParts);
        for (const QString &line : expected.split('|'))
            QVERIFY2(lines.contains(line), qPrintable(lines.join('\n')));
    }

    // A sync raises one full status report; the buttons one each, with what they changed.
    void statusReports()
    {
        VirtualFirmware fw(Family::F553, 32);
        transfer(fw, bytes(cmd553::setParameter0(0)), QByteArray::fromHex("020001fc0300") + QByteArray(58, 0));
        transfer(fw, bytes(cmd553::setCurrentDpi(1)));
        QVERIFY(takeStatus(fw).empty());
        transfer(fw, bytes(cmd553::syncData()));
        transfer(fw, bytes(cmd553::setDpiSet(2)), QByteArray(8, 1));
        fw.pressDpiButton();
        fw.pressDpiButton();  // two stages in use: back to the first
        fw.pressRateButton(); // 500 Hz -> 1000 Hz
        fw.pressRateButton(); // -> 125 Hz
        fw.pressLightButton();
        fw.pressSpeedButton(); // speed code 3 -> 4
        QCOMPARE(takeStatus(fw), (std::vector<std::vector<uint8_t>>{
            {5, 0, 2, 1, 1, 3, 0xFF}, {5, 0, 2, 0, 1, 3, 3}, {5, 0, 2, 1, 1, 3, 3}, {5, 0, 1, 1, 1, 3, 2},
            {5, 0, 8, 1, 1, 3, 2}, {5, 0, 8, 1, 2, 3, 4}, {5, 0, 8, 1, 2, 4, 5}}));
    }
};

QTEST_GUILESS_MAIN(VirtualDeviceTest)
#include "tst_virtualdevice.moc"
