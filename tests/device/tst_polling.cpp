// Status polling: which reads count as status reports, their delivery to the view (on the GUI
// thread, once, in order), stop, removal, restarts, and the debug-mode identity read.

#include "device/statusreport.h"
#include "device/widget_rig.h"

#include <QQuickItem>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

using namespace vdev;
using vdevtest::entryFor;
using vdevtest::WidgetRig;

using Bytes = std::vector<uint8_t>;
Q_DECLARE_METATYPE(Bytes)

class PollingTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<WidgetRig> rig;
    QList<QList<int>> reports;
    bool reportsOnGuiThread = true;

    void startPolling(int mouse)
    {
        rig->device->plug(mouse);
        rig->hid().deviceList = {entryFor(*rig->device, Mouse553), entryFor(*rig->device, Mouse560)};
        rig->hid().deviceIndex = mouse;
        rig->hid().startPollingUSBVendorCmd(mouse);
    }

    void stopPolling()
    {
        rig->hid().stopPolling();
        rig->hid().waitForPollingToEnd();
        QCoreApplication::processEvents();
    }

public slots:
    void onFwReport(int type, int reportRate, int dpi, int lightMode, int speed)
    {
        reports << QList<int>{type, reportRate, dpi, lightMode, speed};
        reportsOnGuiThread = reportsOnGuiThread && QThread::currentThread() == qApp->thread();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void init()
    {
        if (QByteArray(QTest::currentTestFunction()) == "decode")
            return;
        rig = std::make_unique<WidgetRig>();
        reports.clear();
        reportsOnGuiThread = true;
        QObject *root = rig->view()->rootObject();
        QVERIFY(root);
        QVERIFY(connect(root, SIGNAL(fwReport(int,int,int,int,int)), this,
                        SLOT(onFwReport(int,int,int,int,int)), Qt::DirectConnection));
    }

    void cleanup() { rig.reset(); }

    void decode_data()
    {
        QTest::addColumn<Bytes>("bytes");
        QTest::addColumn<int>("length");
        QTest::addColumn<QList<int>>("expected");   // empty: not a status report
        const Bytes good{5, 0, 2, 0, 1, 3, 0};
        auto changed = [&](int index, uint8_t value) {
            Bytes b = good;
            b[index] = value;
            return b;
        };
        QTest::newRow("report number 4") << changed(0, 4) << 7 << QList<int>{};
        QTest::newRow("byte 1 not 0") << changed(1, 1) << 7 << QList<int>{};
        QTest::newRow("6 bytes") << good << 6 << QList<int>{};
        QTest::newRow("8 bytes") << good << 8 << QList<int>{};
        QTest::newRow("time-out") << good << 0 << QList<int>{};
        QTest::newRow("read error") << good << -1 << QList<int>{};
        QTest::newRow("5,0,2,0,1,3,0") << good << 7 << QList<int>{0, 2, 1, 1, 3};
        QTest::newRow("last stage wraps") << Bytes{5, 0, 8, 255, 7, 1, 0xFF} << 7 << QList<int>{0xFF, 8, 0, 7, 1};
    }

    void decode()
    {
        QFETCH(Bytes, bytes);
        QFETCH(int, length);
        QFETCH(QList<int>, expected);
        bytes.resize(11);
        status::Report r;
        QCOMPARE(status::decode(bytes.data(), length, r), !expected.isEmpty());
        if (!expected.isEmpty())
            QCOMPARE((QList<int>{r.type, r.reportRate, r.dpi, r.lightMode, r.speed}), expected);
    }

    // What the interface delivers reaches the scene on the GUI thread, each report once and in
    // the order it was read; reads that are not status reports are dropped.
    void reportsReachTheViewInOrder()
    {
        startPolling(Mouse553);
        rig->device->injectStatusReport(Mouse553, {5, 0, 2, 0, 1, 3, 0});
        rig->device->injectStatusReport(Mouse553, {4, 0, 2, 0, 1, 3, 0});
        rig->device->injectStatusReport(Mouse553, {5, 1, 2, 0, 1, 3, 0});
        rig->device->injectStatusReport(Mouse553, {5, 0, 2, 0, 1, 3});
        rig->device->injectStatusReport(Mouse553, {5, 0, 2, 0, 1, 3, 0, 0});
        rig->device->injectStatusReport(Mouse553, {5, 0, 8, 2, 7, 1, 3});
        rig->device->pressDpiButton(Mouse553);
        QTRY_COMPARE(reports.size(), 3);

        const VirtualFirmware::State s = rig->device->firmwareState(Mouse553);
        QCOMPARE(reports.at(0), (QList<int>{0, 2, 1, 1, 3}));
        QCOMPARE(reports.at(1), (QList<int>{3, 8, 3, 7, 1}));
        QCOMPARE(reports.at(2), (QList<int>{VirtualFirmware::StatusDpi, s.reportRate, s.dpiStage + 1, s.lightMode, s.lightSpeed}));
        QVERIFY(reportsOnGuiThread);
        stopPolling();
        QCOMPARE(reports.size(), 3);
    }

    // A stop while the task waits in its read ends polling quietly even if the device goes
    // away right after.
    void stopDuringReadIsNotRemoval()
    {
        testsupport::DebugCapture debug;
        startPolling(Mouse553);
        QTRY_VERIFY(rig->statusOpens() >= 1);
        rig->hid().stopPolling();
        rig->device->unplug(Mouse553);
        rig->hid().waitForPollingToEnd();
        QCoreApplication::processEvents();
        QVERIFY(!debug.contains("Device removed"));
        QVERIFY(rig->view()->isEnabled());
        QVERIFY(!rig->hid().isPolling);
        QVERIFY(!rig->hid().deviceList[Mouse553].path2.isEmpty());
    }

    void unplugIsRemoval()
    {
        testsupport::DebugCapture debug;
        startPolling(Mouse560);
        QTRY_VERIFY(rig->statusOpens() >= 1);
        rig->device->unplug(Mouse560);
        QTRY_VERIFY(!rig->hid().isPolling);
        QVERIFY(debug.contains("Device removed"));
        QVERIFY(!rig->view()->isEnabled());
        QVERIFY(rig->hid().deviceList[Mouse560].path2.isEmpty());
        QVERIFY(!rig->hid().deviceList[Mouse553].path2.isEmpty());
        // Polling is off, so the next device change leads to a check.
        rig->widget->onDeviceChange();
        QVERIFY(rig->widget->checkTimer.isActive());
    }

    // Restarts while a task still waits in its read: never two readers, no report lost or doubled.
    void restartsKeepOneReader()
    {
        startPolling(Mouse553);
        QTRY_VERIFY(rig->statusOpens() >= 1);
        rig->hid().startPollingUSBVendorCmd(Mouse553);
        rig->hid().startPollingUSBVendorCmd(Mouse553);
        rig->device->pressRateButton(Mouse553);
        rig->device->pressLightButton(Mouse553);
        QTRY_COMPARE(reports.size(), 2);
        QCOMPARE(reports.at(0).at(0), int(VirtualFirmware::StatusRate));
        QCOMPARE(reports.at(1).at(0), int(VirtualFirmware::StatusLight));
        stopPolling();
        QCOMPARE(reports.size(), 2);
        QVERIFY(rig->oneStatusReaderAtATime());
        QCOMPARE(rig->device->openHandleCount(), 0);
    }

    // Without a status interface there is no task, and polling does not block device checks.
    void noStatusInterface()
    {
        rig->device->plug(Mouse553);
        DeviceEntry e = entryFor(*rig->device, Mouse553);
        e.path2.clear();
        rig->hid().deviceList = {e};
        rig->hid().startPollingUSBVendorCmd(0);
        QVERIFY(!rig->hid().isPolling);
        rig->hid().waitForPollingToEnd();
        QCOMPARE(rig->statusOpens(), 0);
        rig->widget->onDeviceChange();
        QVERIFY(rig->widget->checkTimer.isActive());
    }

    // Debug mode reads the identity into the device-wide settings; what names nothing, or a
    // query that never reached the device, leaves the settings as they were.
    void debugModeIdentity_data()
    {
        QTest::addColumn<Bytes>("identity");       // keyboard-option reply b2..b5
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("icType");
        QTest::addColumn<QString>("sensorType");
        QTest::addColumn<QString>("keyCount");
        QTest::newRow("query does not reach the device") << Bytes{0, 7, 7, 8} << false << "553" << "3389" << "6";
        QTest::newRow("IC index past the table") << Bytes{0, 9, 7, 8} << true << "553" << "3360" << "8";
        QTest::newRow("sensor index past the table") << Bytes{0, 7, 16, 8} << true << "560" << "3389" << "8";
        QTest::newRow("index 0 names nothing") << Bytes{0, 0, 0, 5} << true << "553" << "3389" << "5";
        QTest::newRow("560 mouse") << Bytes{0, 7, 7, 8} << true << "560" << "3360" << "8";
    }

    void debugModeIdentity()
    {
        QFETCH(Bytes, identity);
        QFETCH(bool, reachable);
        QFETCH(QString, icType);
        QFETCH(QString, sensorType);
        QFETCH(QString, keyCount);
        myQQuickView *v = rig->view();
        v->setGlobalData("mouse/icType", 553);
        v->setGlobalData("mouse/sensorType", 3389);
        v->setGlobalData("mouse/keyCount", 6);
        v->icType = "553";
        rig->device->withFirmware(Mouse560, [&](VirtualFirmware &f) {
            std::copy(identity.begin(), identity.end(), f.mutableState().keyboardOption.begin());
        });
        if (!reachable)
            rig->device->addFault({Call::Open, FaultAction::Fail, 0, -1, Mouse560, Iface::Command});
        rig->widget->debugMode = true;

        startPolling(Mouse560);
        QCOMPARE(v->icType, icType);
        QCOMPARE(v->getGlobalData("mouse/icType").toString(), icType);
        QCOMPARE(v->getGlobalData("mouse/sensorType").toString(), sensorType);
        QCOMPARE(v->getGlobalData("mouse/keyCount").toString(), keyCount);
        QVERIFY(!rig->hid().hidBusy);
        stopPolling();
    }
};

QTEST_MAIN(PollingTest)
#include "tst_polling.moc"
