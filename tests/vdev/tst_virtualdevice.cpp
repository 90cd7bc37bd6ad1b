// The virtual device as hidapi: enumeration, plugging, blocking reads across threads, injected
// faults, the wire log file and the control commands of demo mode.

#include "platform/devicemonitor.h"
#include "vdev/demo.h"
#include "vdev/virtualdevice.h"

#include <QLocalServer>
#include <QLocalSocket>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

using namespace vdev;

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

} // namespace

Q_DECLARE_METATYPE(vdev::Fault)

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
        QTest::addColumn<QList<int>>("plugged");
        QTest::addColumn<int>("vid");
        QTest::addColumn<int>("pid");
        QTest::addColumn<int>("count");
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
            QVERIFY(found.contains(device->path(m, Iface::Command) + " ff00/ff00"));
            QVERIFY(found.contains(device->path(m, Iface::Status) + " ff01/ff01"));
        }
    }

    // Unplugging kills the handles of that mouse for good; a replugged mouse needs a new open.
    void unplugKillsHandles()
    {
        device->plug(Mouse553);
        hid_device *before = open(*device, Mouse553, Iface::Command);
        QVERIFY(before);
        QVERIFY(hid::send_feature_report(before, request, 9) == 9);
        device->unplug(Mouse553);
        QCOMPARE(hid::send_feature_report(before, request, 9), -1);
        QVERIFY(!open(*device, Mouse553, Iface::Command));
        device->plug(Mouse553);
        QCOMPARE(hid::send_feature_report(before, request, 9), -1);
        hid_device *after = open(*device, Mouse553, Iface::Command);
        QVERIFY(after);
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

    // A read waits for the device from another thread and wakes for a report or an unplug.
    void readsWaitAcrossThreads_data()
    {
        QTest::addColumn<int>("event");    // 0 nothing, 1 button press, 2 unplug
        QTest::addColumn<int>("timeoutMs");
        QTest::addColumn<int>("result");
        QTest::newRow("nothing arrives") << 0 << 100 << 0;
        QTest::newRow("unplugged while waiting") << 2 << 10000 << -1;
        QTest::newRow("button pressed while waiting") << 1 << 10000 << 7;
    }

    void readsWaitAcrossThreads()
    {
        QFETCH(int, event);
        QFETCH(int, timeoutMs);
        QFETCH(int, result);
        device->plug(Mouse553);
        hid_device *status = open(*device, Mouse553, Iface::Status);
        QVERIFY(status);
        std::thread other([&] {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            if (event == 1)
                device->pressDpiButton(Mouse553);
            else if (event == 2)
                device->unplug(Mouse553);
        });
        unsigned char buffer[11] = {};
        QElapsedTimer clock;
        clock.start();
        const int got = hid::read_timeout(status, buffer, sizeof buffer, timeoutMs);
        other.join();
        QCOMPARE(got, result);
        QVERIFY(clock.elapsed() < 5000);
        if (got == 7)
            QCOMPARE(int(buffer[0]), 5);
        hid::close(status);
    }

    // Which calls a fault hits: "+" the call went through, "-" it failed.
    void faultsHitTheCallsAsked_data()
    {
        QTest::addColumn<Fault>("fault");
        QTest::addColumn<QString>("outcome");
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
        QFETCH(QString, outcome);
        device->plug(Mouse553);
        hid_device *h = open(*device, Mouse553, Iface::Command);
        QVERIFY(h);
        device->addFault(fault);
        QString got;
        for (int i = 0; i < 3; ++i)
            got += hid::send_feature_report(h, request, 9) == 9 ? '+' : '-';
        QCOMPARE(got, outcome);
        hid::close(h);
    }

    void wireLogFile()
    {
        QTemporaryDir dir;
        const QString file = dir.filePath("wire.log");
        QVERIFY(device->setWireLogFile(file));
        device->plug(Mouse560);
        hid_device *h = open(*device, Mouse560, Iface::Command);
        hid::send_feature_report(h, request, 9);
        hid::close(h);
        QVERIFY(device->setWireLogFile(QString()));
        QFile f(file);
        QVERIFY(f.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromLatin1(f.readAll()).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 3);
        QVERIFY(lines.at(1).contains("560 command send_feature_report 9 00 7e 00 00 00 00 00 00 81"));
    }

    void controlCommands_data()
    {
        QTest::addColumn<QString>("line");
        QTest::addColumn<QString>("answer");        // last line of the answer
        QTest::addColumn<int>("stage553");
        QTest::addColumn<int>("stage560");
        QTest::addColumn<bool>("plugged560");
        QTest::newRow("empty") << "  " << "error: empty command" << 0 << 0 << true;
        QTest::newRow("unknown command") << "fly" << "error: unknown command fly" << 0 << 0 << true;
        QTest::newRow("unknown button") << "press nose" << "error: unknown button nose" << 0 << 0 << true;
        QTest::newRow("unplugged mouse") << "press dpi 553" << "error: mouse unplugged" << 0 << 0 << true;
        QTest::newRow("press dpi") << "press dpi" << "ok" << 0 << 1 << true;
        QTest::newRow("other family") << "plug 553" << "ok" << 0 << 0 << true;
        QTest::newRow("unplug") << "UNPLUG" << "ok" << 0 << 0 << false;
        QTest::newRow("state") << "state" << "ok" << 0 << 0 << true;
    }

    void controlCommands()
    {
        QFETCH(QString, line);
        QFETCH(QString, answer);
        QFETCH(int, stage553);
        QFETCH(int, stage560);
        QFETCH(bool, plugged560);
        device->plug(Mouse560);
        const QStringList lines = runControlCommand(*device, Mouse560, line);
        QCOMPARE(lines.last(), answer);
        QCOMPARE(int(device->firmwareState(Mouse553).dpiStage), stage553);
        QCOMPARE(int(device->firmwareState(Mouse560).dpiStage), stage560);
        QCOMPARE(device->isPlugged(Mouse560), plugged560);
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
};

QTEST_GUILESS_MAIN(VirtualDeviceTest)
#include "tst_virtualdevice.moc"
