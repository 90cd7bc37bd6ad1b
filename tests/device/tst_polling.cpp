// Status polling: which reads count as status reports, their delivery to the view (on the GUI
// thread, once, in order), stop, removal, restarts, and the debug-mode identity read.

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
        rig = std::make_unique<WidgetRig>();
        reports.clear();
        reportsOnGuiThread = true;
        rig->view()->setSource(QUrl::fromLocalFile(QStringLiteral(MOUSECFG_SOURCE_DIR "/tests/device/polling_probe.qml")));
        QObject *root = rig->view()->rootObject();
        QVERIFY(root);
        QVERIFY(connect(root, SIGNAL(fwReport(int,int,int,int,int)), this,
                        SLOT(onFwReport(int,int,int,int,int)), Qt::DirectConnection));
    }

    void cleanup() { rig.reset(); }

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
        rig->device->injectStatusReport(Mouse553, {5, 0, 8, 255, 7, 1, 0xFF});   // last stage wraps
        rig->device->pressDpiButton(Mouse553);
        QTRY_COMPARE(reports.size(), 4);

        const VirtualFirmware::State s = rig->device->firmwareState(Mouse553);
        QCOMPARE(reports.at(0), (QList<int>{0, 2, 1, 1, 3}));
        QCOMPARE(reports.at(1), (QList<int>{3, 8, 3, 7, 1}));
        QCOMPARE(reports.at(2), (QList<int>{0xFF, 8, 0, 7, 1}));
        QCOMPARE(reports.at(3), (QList<int>{VirtualFirmware::StatusDpi, s.reportRate, s.dpiStage + 1, s.lightMode, s.lightSpeed}));
        QVERIFY(reportsOnGuiThread);
        stopPolling();
        QCOMPARE(reports.size(), 4);
    }

    // An unplug while polling is a removal; a stop while the task waits in its read ends
    // polling quietly even if the device goes away right after.
    void unplug_data()
    {
        QTest::addColumn<int>("mouse");
        QTest::addColumn<bool>("stopFirst");
        QTest::newRow("stop, then unplug") << Mouse553 << true;
        QTest::newRow("unplug") << Mouse560 << false;
    }

    void unplug()
    {
        QFETCH(int, mouse);
        QFETCH(bool, stopFirst);
        testsupport::DebugCapture debug;
        startPolling(mouse);
        QTRY_VERIFY(rig->statusOpens() >= 1);
        if (stopFirst)
            rig->hid().stopPolling();
        rig->device->unplug(mouse);
        QTRY_VERIFY(!rig->hid().isPolling);
        rig->hid().waitForPollingToEnd();
        QCoreApplication::processEvents();
        QCOMPARE(debug.contains("Device removed"), !stopFirst);
        QCOMPARE(rig->view()->isEnabled(), stopFirst);
        QCOMPARE(rig->hid().deviceList[mouse].path2.isEmpty(), !stopFirst);
        QVERIFY(!rig->hid().deviceList[1 - mouse].path2.isEmpty());
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
        int open = 0;   // status-interface opens and closes never overlap
        for (const vdev::WireEvent &e : rig->device->wireLog()) {
            if (e.iface == Iface::Status && e.call == Call::Open && e.result == 0)
                QVERIFY(++open <= 1);
            if (e.iface == Iface::Status && e.call == Call::Close)
                --open;
        }
        QCOMPARE(rig->device->openHandleCount(), 0);
    }

    // Debug mode reads the identity into the device-wide settings; what names nothing, or a
    // query that never reached the device, leaves the settings as they were.
    void debugModeIdentity_data()
    {
        QTest::addColumn<Bytes>("identity");       // keyboard-option reply b2..b5
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("expected");      // icType sensorType keyCount
        QTest::newRow("query does not reach the device") << Bytes{0, 7, 7, 8} << false << "553 3389 6";
        QTest::newRow("IC index past the table") << Bytes{0, 9, 7, 8} << true << "553 3360 8";
        QTest::newRow("sensor index past the table") << Bytes{0, 7, 16, 8} << true << "560 3389 8";
        QTest::newRow("index 0 names nothing") << Bytes{0, 0, 0, 5} << true << "553 3389 5";
        QTest::newRow("560 mouse") << Bytes{0, 7, 7, 8} << true << "560 3360 8";
    }

    void debugModeIdentity()
    {
        QFETCH(Bytes, identity);
        QFETCH(bool, reachable);
        QFETCH(QString, expected);
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
        QCOMPARE(v->icType, expected.section(' ', 0, 0));
        QCOMPARE(QStringList({v->getGlobalData("mouse/icType").toString(), v->getGlobalData("mouse/sensorType").toString(),
                              v->getGlobalData("mouse/keyCount").toString()}).join(' '), expected);
        QVERIFY(!rig->hid().hidBusy);
        stopPolling();
    }
};

QTEST_MAIN(PollingTest)
#include "tst_polling.moc"
