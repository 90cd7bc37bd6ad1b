// Status polling: which reads count as status reports, their delivery to the view (on the GUI
// thread, once, in order), stop, removal, restarts, and the debug-mode identity read.

#include "device/widget_rig.h"

#include <QQuickItem>
#include <QSettings>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

using namespace vdev;
using namespace vdevtest;

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
        rig->view()->setSource(QUrl::fromLocalFile(QStringLiteral(MOUSECFG_SOURCE_DIR "/tests/view/frame_probe.qml")));
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
        // Report 5 of seven bytes only: another id, a non-zero second byte, one byte short or long.
        for (const char *report : {"05000200010300", "04000200010300", "05010200010300", "050002000103",
                                   "0500020001030000", "05000802070103", "050008ff0701ff"}) {   // the last: the stage wraps
            const QByteArray b = QByteArray::fromHex(report);
            rig->device->injectStatusReport(Mouse553, std::vector<uint8_t>(b.begin(), b.end()));
        }
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

    // A removal found by a task that a restart has replaced is not applied: unplug, replug and a
    // new start before the old task's removal reaches the GUI thread leave polling on.
    void removalFromAReplacedTaskIsIgnored()
    {
        testsupport::DebugCapture debug;
        startPolling(Mouse560);
        QTRY_VERIFY(rig->statusOpens() >= 1);
        rig->device->unplug(Mouse560);
        rig->hid().waitForPollingToEnd();   // its removal is queued, not yet applied
        QVERIFY(rig->hid().isPolling);
        rig->device->plug(Mouse560);
        rig->hid().startPollingUSBVendorCmd(Mouse560);
        QCoreApplication::processEvents();
        QVERIFY(!debug.contains("Device removed"));
        QVERIFY(rig->hid().isPolling);
        QVERIFY(rig->view()->isEnabled());
        QVERIFY(!rig->hid().deviceList[Mouse560].path2.isEmpty());
        rig->device->pressDpiButton(Mouse560);
        QTRY_COMPARE(reports.size(), 1);
        stopPolling();
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

    // Debug mode reads the identity into the connected device's own device-wide settings;
    // what names nothing, or a query that never reached the device, leaves them as they were.
    void debugModeIdentity_data()
    {
        QTest::addColumn<QByteArray>("identity");  // keyboard-option reply b2..b5, hex
        QTest::addColumn<bool>("reachable");
        QTest::addColumn<QString>("expected");      // icType sensorType keyCount
        QTest::newRow("query does not reach the device") << QByteArray("00070708") << false << "553 3389 6";
        QTest::newRow("IC index past the table") << QByteArray("00090708") << true << "553 3360 8";
        QTest::newRow("sensor index past the table") << QByteArray("00071008") << true << "560 3389 8";
        QTest::newRow("index 0 names nothing") << QByteArray("00000005") << true << "553 3389 5";
        QTest::newRow("560 mouse") << QByteArray("00070708") << true << "560 3360 8";
    }

    void debugModeIdentity()
    {
        QFETCH(QByteArray, identity);
        QFETCH(bool, reachable);
        QFETCH(QString, expected);
        const QString file = "./modules/5600/setting/apConfig.bin";
        {
            QSettings own(file, QSettings::IniFormat);
            own.setValue("mouse/icType", 553);
            own.setValue("mouse/sensorType", 3389);
            own.setValue("mouse/keyCount", 6);
        }
        myQQuickView *v = rig->view();
        v->icType = "553";
        rig->device->withFirmware(Mouse560, [&](VirtualFirmware &f) {
            const QByteArray b = QByteArray::fromHex(identity);
            std::copy(b.begin(), b.end(), f.mutableState().keyboardOption.begin());
        });
        if (!reachable)
            rig->device->addFault({Call::Open, FaultAction::Fail, 0, -1, Mouse560, Iface::Command});
        rig->widget->debugMode = true;

        startPolling(Mouse560);
        QCOMPARE(v->icType, expected.section(' ', 0, 0));
        const QSettings own(file, QSettings::IniFormat);
        QCOMPARE(QStringList({own.value("mouse/icType").toString(), own.value("mouse/sensorType").toString(),
                              own.value("mouse/keyCount").toString()}).join(' '), expected);
        QVERIFY(!rig->hid().hidBusy);
        stopPolling();
    }

    // The identity never lands in the files of the device connected before, nor in the
    // program's own settings on the first connect.
    void identityStaysWithItsDevice()
    {
        QSettings().remove("mouse");
        rig->widget->debugMode = true;
        rig->device->plug(Mouse553);
        rig->widget->checkDevice();
        QTRY_VERIFY(rig->view()->isEnabled());
        QVERIFY(!QSettings().contains("mouse/icType"));
        rig->view()->globalSettings->sync();
        const QString file553 = "./modules/5530/setting/apConfig.bin";
        QFile before(file553);
        QVERIFY(before.open(QIODevice::ReadOnly));
        const QByteArray content553 = before.readAll();

        rig->device->unplug(Mouse553);
        QTRY_VERIFY(!rig->hid().isPolling);
        rig->device->plug(Mouse560);
        rig->widget->checkDevice();
        QCOMPARE(rig->view()->icType, QString("560"));
        QTRY_VERIFY(rig->view()->isEnabled());
        rig->view()->globalSettings->sync();
        QFile after(file553);
        QVERIFY(after.open(QIODevice::ReadOnly));
        QCOMPARE(after.readAll(), content553);
        QCOMPARE(QSettings("./modules/5600/setting/apConfig.bin", QSettings::IniFormat).value("mouse/keyCount").toInt(), 8);
    }
};

QTEST_MAIN(PollingTest)
#include "tst_polling.moc"
