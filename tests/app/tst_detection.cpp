// SPDX-License-Identifier: GPL-3.0-or-later
// Finding a mouse (the device table, descriptors, the command-line tools on a made-up machine),
// connecting and disconnecting over the virtual mice, and status polling.

#include "testsupport.h"
#include "app/datafolder.h"
#include "app/devicetable.h"
#include "device/reportdescriptor.h"
#include "platform/devicemonitor.h"
#include "platform/sessionwatch.h"
#include "device/widget_rig.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QScopeGuard>
#include <QQuickItem>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QThread>
#include <QtTest>

#include <functional>
#include <iterator>

using namespace vdev;
using devicetable::HidInterface;
using namespace vdevtest;

namespace {

// Report descriptors of the shapes mice and keyboards have, as hex text.
const char *const pointer553 = "05010902a1010901a1000509190129051500250195057501810295017503810105010930093109381581257f750895038106c0c0";
const char *const command553 = "0600ff0a00ffa1011500 26ff00 7508 9520 0901 8102 0902 9102 9508 0903 b102 c0";
const char *const status553 = "0601ff0a01ffa101 8505 1500 26ff00 7508 9506 0901 8102 c0";
const char *const command560 = "0600ff0a00ffa1011500 26ff00 7508 9540 0901 8102 0902 9102 9508 0903 b102 c0";
const char *const keyboard = "05010906a101050719e029e71500250175019508810295017508810195057501050819012905910295017503910195067508"
                             "150025650507190029658100c0";
const char *const mediaKeys = "050c0901a101 8501 150026ff03 19002aff03 7510 9501 8100 c0"
                              "05010980a101 8502 19812983 15002501 7501 9503 8102 9505 8101 c0";
const char *const malformed = "0600ff0901a101c0c0";
const char *const truncated = "05010902a10126ff";

QByteArray bytes(const char *hex)
{
    return QByteArray::fromHex(QByteArray(hex).replace(' ', ""));
}

reportdescriptor::Descriptor parsed(const QByteArray &b)
{
    return reportdescriptor::parse(reinterpret_cast<const uint8_t *>(b.constData()), size_t(b.size()));
}

QString summary(const reportdescriptor::Descriptor &d)
{
    QStringList parts;
    for (const reportdescriptor::Collection &c : d.collections)
        parts << QString::fromStdString(c.describe());
    return parts.join("; ") + (d.problemText.empty() ? "" : " | " + QString::fromStdString(d.problemText));
}

QString describe(const DeviceEntry &e)
{
    return QString::asprintf("type %d vid %x pid %x cmd %x/%x status %x/%x len %d code ", e.type, e.vid, e.pid,
                             e.usagePage, e.usage, e.usagePage2, e.usage2, e.reportLength) + e.sCode;
}

const char *const defaults = "type -1 vid 0 pid 0 cmd 0/0 status 0/0 len 32 code 583041";

// The profiles whose parameter blocks were read, in order, once per read.
QList<int> profilesRead(const VirtualDevice &device)
{
    QList<int> profiles;
    for (const WireEvent &e : device.wireLog())
        if (e.call == Call::SendFeature && e.bytes.size() == 9 && e.bytes[1] == 0x8C)
            profiles.append(e.bytes[2]);
    return profiles;
}

// A stand-in for logind on a private bus: registered as the manager and as the one session it
// finds, whose Active property the test switches.
const QString sessionPath = "/org/freedesktop/login1/session/c7";

class FakeLogind : public QObject, protected QDBusContext
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Session")
    Q_PROPERTY(bool Active READ isActive)
public:
    QStringList calls;
    bool active = true;
    bool isActive()
    {
        calls << "Get Active";
        return active;
    }
    void setActive(QDBusConnection bus, bool a)
    {
        active = a;
        QDBusMessage changed = QDBusMessage::createSignal(sessionPath, "org.freedesktop.DBus.Properties", "PropertiesChanged");
        bus.send(changed << "org.freedesktop.login1.Session" << QVariantMap{{"Active", a}} << QStringList());
    }
public slots:
    QDBusObjectPath GetSession(const QString &id)
    {
        calls << "GetSession " + id;
        if (id != "c7")
            sendErrorReply(QDBusError::InvalidArgs, "No session");
        return QDBusObjectPath(sessionPath);
    }
    QDBusObjectPath GetSessionByPID(uint pid)
    {
        calls << (pid == QCoreApplication::applicationPid() ? "GetSessionByPID" : "GetSessionByPID of another");
        return QDBusObjectPath(sessionPath);
    }
};

struct ConnectRow
{
    QByteArray table;   // empty: the shipped one
    QList<int> plugged;
    int index;
    bool blocksRead, polling;
    QString knownFamily;   // the view's family before the check
    bool debugMode;
};

} // namespace
Q_DECLARE_METATYPE(ConnectRow)

class DetectionTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<WidgetRig> polled;
    QList<QList<int>> reports;
    bool reportsOnGuiThread = true;

    void startPolling(int mouse)
    {
        polled->device->plug(mouse);
        polled->hid().deviceList = {entryFor(*polled->device, Mouse553), entryFor(*polled->device, Mouse560)};
        polled->hid().deviceIndex = mouse;
        polled->hid().startPollingUSBVendorCmd(mouse);
    }

    void stopPolling()
    {
        polled->hid().stopPolling();
        polled->hid().waitForPollingToEnd();
        QCoreApplication::processEvents();
    }

    // A window whose scene is the probe that records the status reports it gets.
    bool watchReports()
    {
        polled = std::make_unique<WidgetRig>();
        reports.clear();
        reportsOnGuiThread = true;
        polled->view()->setSource(QUrl::fromLocalFile(QStringLiteral(MOUSECFG_SOURCE_DIR "/tests/view/frame_probe.qml")));
        QObject *root = polled->view()->rootObject();
        return root && connect(root, SIGNAL(fwReport(int,int,int,int,int)), this, SLOT(onFwReport(int,int,int,int,int)),
                               Qt::DirectConnection);
    }

public slots:
    void onFwReport(int type, int reportRate, int dpi, int lightMode, int speed)
    {
        reports << QList<int>{type, reportRate, dpi, lightMode, speed};
        reportsOnGuiThread = reportsOnGuiThread && QThread::currentThread() == qApp->thread();
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { deviceConnected = false; }
    void cleanup() { polled.reset(); }

    void readTable_data()
    {
        testsupport::addColumns<QByteArray, QStringList>({"ini", "entries"});
        QTest::newRow("missing file") << QByteArray() << QStringList{};
        QTest::newRow("no count") << QByteArray("[0]\nvid=1209\n") << QStringList{};
        QTest::newRow("negative count") << QByteArray("[common]\ndeviceCount=-3\n") << QStringList{};
        QTest::newRow("count beyond the sections")
            << QByteArray("[common]\ndeviceCount=2\n[0]\ntype=1\nvid=1209\npid=5530\n")
            << QStringList{"type 1 vid 1209 pid 5530 cmd 0/0 status 0/0 len 32 code 583041", defaults};
        QTest::newRow("unreadable values")
            << QByteArray("[common]\ndeviceCount=1\n[0]\ntype=zz\nvid=0x\npid=10000\nusage=-1\nreportLength=abc\n")
            << QStringList{"type 0 vid 0 pid 0 cmd 0/0 status 0/0 len 0 code 583041"};
        QTest::newRow("full row")
            << QByteArray("[common]\ndeviceCount=1\nisEncode=true\ntotal=5\n[0]\ntype=0\nvid=0A1B\npid=00c2\n"
                          "usagePage=FF01\nusage=0001\nusagePage2=fF02\nusage2=0001\nreportLength=64\nsCode=ABCDEF\n")
            << QStringList{"type 0 vid a1b pid c2 cmd ff01/1 status ff02/1 len 64 code ABCDEF"};
        // A damaged count cannot make a check run for ever.
        QTest::newRow("absurd count is bounded") << QByteArray("[common]\ndeviceCount=2000000000\n")
                                                 << QStringList(devicetable::maxEntries, defaults);
    }

    void readTable()
    {
        QFETCH(QByteArray, ini);
        QTemporaryDir dir;
        const QString file = dir.filePath("devConfig.ini");
        if (!ini.isNull())
            QVERIFY(testsupport::writeFile(file, ini));
        QStringList got;
        for (const DeviceEntry &e : devicetable::readFile(file)) {
            got << describe(e);
            QVERIFY(!e.isEncode && e.path.isEmpty() && e.path2.isEmpty());
        }
        QTEST(got, "entries");
    }

    void assignPaths_data()
    {
        testsupport::addColumns<QList<HidInterface>, QString, QString>({"interfaces", "path", "path2"});
        const HidInterface pointer{"p", 0x0001, 0x0002};
        const HidInterface command{"c", 0xFF00, 0xFF00};
        const HidInterface status{"s", 0xFF01, 0xFF01};
        QTest::newRow("nothing attached") << QList<HidInterface>{} << "" << "";
        QTest::newRow("usage page matches, usage does not")
            << QList<HidInterface>{pointer, {"x", 0xFF00, 0x0001}} << "" << "";
        QTest::newRow("only the command interface") << QList<HidInterface>{pointer, command} << "c" << "";
        QTest::newRow("both interfaces") << QList<HidInterface>{status, pointer, command} << "c" << "s";
        QTest::newRow("a later match wins")
            << QList<HidInterface>{command, status, {"c2", 0xFF00, 0xFF00}, {"s2", 0xFF01, 0xFF01}} << "c2" << "s2";
    }

    void assignPaths()
    {
        QFETCH(QList<HidInterface>, interfaces);
        QFETCH(QString, path);
        QFETCH(QString, path2);
        DeviceEntry e;
        e.usagePage = e.usage = 0xFF00;
        e.usagePage2 = e.usage2 = 0xFF01;
        e.path = e.path2 = "stale";
        devicetable::assignPaths(e, interfaces);
        QCOMPARE(e.path, path);
        QCOMPARE(e.path2, path2);
    }

    // Connect: the first row whose command interface is attached, in the documented order, the
    // profile blocks of a 560 gun mouse read into the view, polling running and the view enabled.
    // The view's family, gun flag and blocks from the device before never carry over, debug mode
    // (which reads the family from the device first) included.
    void connectSequence_data()
    {
        QTest::addColumn<ConnectRow>("row");
        QTest::newRow("560 gun mouse, first connect") << ConnectRow{{}, {Mouse560}, 1, true, true, "", false};
        QTest::newRow("560 gun mouse after a 553, debug mode") << ConnectRow{{}, {Mouse560}, 1, true, true, "553", true};
        QTest::newRow("both: the first row wins") << ConnectRow{{}, {Mouse560, Mouse553}, 0, false, true, "553", false};
        // A row whose status interface is missing still connects; polling stays off.
        QTest::newRow("only the command interface")
            << ConnectRow{"[common]\ndeviceCount=1\n[0]\ntype=1\nvid=1209\npid=5530\nusagePage=ff00\nusage=ff00\n"
                          "usagePage2=fe00\nusage2=0001\nreportLength=32\n",
                          {Mouse553}, 0, false, false, "553", false};
    }

    void connectSequence()
    {
        QFETCH(ConnectRow, row);
        WidgetRig rig(row.table);
        for (int m : row.plugged)
            rig.device->plug(m);
        rig.device->withFirmware(Mouse560, [](VirtualFirmware &fw) {
            for (int b = 0; b < 5; ++b)
                fw.mutableState().profile[b].fill(uint8_t(b + 40));
        });
        rig.widget->debugMode = row.debugMode;
        rig.view()->setDeviceAbsent(true);   // as after a removal
        memset(rig.view()->profileBlocks, 0xEE, sizeof rig.view()->profileBlocks);
        std::fill(std::begin(rig.view()->profileBlockRead), std::end(rig.view()->profileBlockRead), true);
        rig.view()->icType = row.knownFamily;
        rig.view()->isGun = row.knownFamily == "560";

        testsupport::DebugCapture debug;
        rig.widget->checkDevice();

        const QStringList lines = debug.lines();
        const int connectLine = lines.indexOf("Device Connect");
        QVERIFY(connectLine >= 0);
        QVERIFY(lines.indexOf(QString("startPollingUSBVendorCmd false %1").arg(row.index)) > connectLine);
        QCOMPARE(rig.hid().deviceIndex, row.index);
        QVERIFY(deviceConnected);
        QVERIFY(!rig.hid().deviceList[row.index].path.isEmpty());
        QCOMPARE(rig.hid().deviceList[row.index].path2.isEmpty(), !row.polling);
        QCOMPARE(bool(rig.hid().isPolling), row.polling);
        QVERIFY(rig.view()->isEnabled());
        QCOMPARE(profilesRead(*rig.device), row.blocksRead ? QList<int>({0, 1, 2, 3, 4}) : QList<int>());
        // The blocks held before are gone: the device's own, else zeros.
        for (int b = 0; b < 5; ++b)
            QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.view()->profileBlocks[b]), 128),
                     QByteArray(128, row.blocksRead ? char(b + 40) : 0));
    }

    // A mouse whose nodes refuse this user (no udev rule) is passed over, and the user is told so
    // once per plug: not again at later checks while it stays plugged in.
    void lockedOutMouseIsAnnouncedOncePerPlug()
    {
        WidgetRig rig;
        QSignalSpy messages(rig.widget.get(), &Widget::trayMessageShown);
        auto titles = [&messages] {
            QStringList t;
            for (const QList<QVariant> &m : messages)
                t << m.at(0).toString();
            return t;
        };
        const QString locked = "Mouse not accessible";
        rig.device->setAccessDenied(Mouse560, true);
        const std::function<void()> steps[] = {
            [&] { rig.device->plug(Mouse560); }, [] {}, [&] { rig.device->unplug(Mouse560); },
            [&] { rig.device->plug(Mouse560); },
            [&] { rig.device->setAccessDenied(Mouse560, false); }};
        const QStringList expected[] = {{locked}, {locked}, {locked}, {locked, locked}, {locked, locked, "Info"}};
        for (size_t i = 0; i < std::size(steps); ++i) {
            steps[i]();
            rig.widget->checkDevice();
            QCOMPARE(titles(), expected[i]);
            QCOMPARE(deviceConnected, i == std::size(steps) - 1);
        }
    }

    // A check finding nothing disconnects and hides the window. An unplug ends the same way: the
    // device change (udev's usually comes before the polling task notices the removal) is left
    // to the task, whose removal leads to the check; the scene's busy lock, still running from
    // the connect, does not enable the view of the removed device.
    void unplugEndsInDisconnect()
    {
        WidgetRig rig;
        deviceConnected = true;
        rig.widget->show();
        testsupport::DebugCapture debug;
        rig.widget->checkDevice();
        QVERIFY(debug.contains("Device DisConnect"));
        QVERIFY(!deviceConnected);
        QVERIFY(!rig.widget->isVisible());

        rig.device->plug(Mouse560);
        rig.widget->checkDevice();
        QVERIFY(rig.hid().isPolling && rig.view()->isEnabled());
        rig.widget->show();
        QTest::qWait(100);   // the scene's initUI has locked the view for 1000 ms
        QVERIFY(!rig.view()->isEnabled());

        // The device changes reach the window in the order of the row, as the platform's would.
        QObject::disconnect(rig.widget->deviceMonitor, nullptr, rig.widget.get(), nullptr);
        debug.clear();
        rig.device->unplug(Mouse560);
        rig.widget->onDeviceChange();
        QVERIFY(!rig.widget->checkTimer.isActive());
        QTRY_VERIFY(!rig.hid().isPolling);
        QVERIFY(debug.contains("Device removed"));
        QVERIFY(rig.widget->checkTimer.isActive());
        // The lock ends before the check is due: the view stays disabled all the same.
        const QObject *lock = rig.view()->rootObject()->findChild<QObject *>("lockTimer");
        QTRY_VERIFY(!lock->property("running").toBool());
        QVERIFY(!debug.contains("Device DisConnect"));
        QVERIFY(!rig.view()->isEnabled());
        QTRY_VERIFY_WITH_TIMEOUT(debug.contains("Device DisConnect"), 5000);
        QVERIFY(!deviceConnected);
        QVERIFY(!rig.widget->isVisible());
        QVERIFY(!rig.view()->isEnabled());
    }

    // Another session takes the seat: the mouse refuses this user, polling loses it and the
    // check that follows disconnects (nothing to tell the user: no rule is missing). When logind
    // says the session is active again, the mouse is looked for and found. The session is the
    // one XDG_SESSION_ID names, else the one logind finds for this process.
    void sessionSwitch_data()
    {
        testsupport::addColumns<QByteArray, QStringList>({"sessionId", "calls"});
        QTest::newRow("by id") << QByteArray("c7") << QStringList{"GetSession c7"};
        QTest::newRow("by process") << QByteArray() << QStringList{"GetSessionByPID"};
        QTest::newRow("stale id") << QByteArray("c1") << QStringList{"GetSession c1", "GetSessionByPID"};
    }

    void sessionSwitch()
    {
        QFETCH(QByteArray, sessionId);
        testsupport::PrivateBus bus;
        if (!bus.start())
            QSKIP("no dbus-daemon");
        const QString name = QString("fake-logind ") + QTest::currentDataTag();
        QDBusConnection service = QDBusConnection::connectToBus(bus.address, name);
        const QByteArray previousId = qgetenv("XDG_SESSION_ID");
        const auto restore = qScopeGuard([&] {
            QDBusConnection::disconnectFromBus(name);
            qputenv("XDG_SESSION_ID", previousId);
        });
        FakeLogind logind;
        QVERIFY(service.registerService("org.freedesktop.login1"));
        QVERIFY(service.registerObject("/org/freedesktop/login1", "org.freedesktop.login1.Manager", &logind,
                                       QDBusConnection::ExportAllSlots));
        QVERIFY(service.registerObject(sessionPath, &logind, QDBusConnection::ExportAllProperties));
        qputenv("XDG_SESSION_ID", sessionId);

        WidgetRig rig;
        rig.widget->checkTimer.setInterval(50);
        rig.device->plug(Mouse560);
        rig.widget->checkDevice();
        QVERIFY(deviceConnected && rig.hid().isPolling);
        SessionWatch *watch = createSessionWatch(nullptr, bus.address);
        rig.widget->watchSession(watch);
        QFETCH(QStringList, calls);
        calls << "Get Active";
        QTRY_COMPARE(logind.calls, calls);
        QSignalSpy messages(rig.widget.get(), &Widget::trayMessageShown);

        logind.setActive(service, false);
        QTRY_VERIFY(!watch->isActive());
        rig.device->setAccessDenied(Mouse560, true);
        QTRY_VERIFY_WITH_TIMEOUT(!deviceConnected, 5000);
        QVERIFY(messages.isEmpty());

        rig.device->setAccessDenied(Mouse560, false);
        logind.setActive(service, true);
        QTRY_VERIFY_WITH_TIMEOUT(deviceConnected && rig.hid().isPolling, 5000);
    }

    // A check due while a command waits in its event processing does not replace the device
    // list under it, nor let the check's own commands overwrite its request and data: it is
    // put off until the transport is free.
    void checkDuringCommandWaits()
    {
        WidgetRig rig;
        rig.device->plug(Mouse560);
        rig.widget->checkDevice();
        QTRY_VERIFY(rig.view()->isEnabled());
        QVariantList block;
        for (int i = 0; i < 192; ++i)
            block << (i * 7 + 3) % 256;
        rig.device->clearWireLog();
        testsupport::DebugCapture debug;
        rig.widget->checkTimer.start(0);
        rig.view()->mouseSetParameter_1(block, 1);

        const std::vector<WireEvent> log = rig.device->wireLog();
        const auto request = std::find_if(log.begin(), log.end(), [](const WireEvent &e) {
            return e.call == Call::SendFeature && e.iface == Iface::Command;
        });
        QVERIFY(request != log.end());
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(request->bytes.data()), 9).toHex(),
                 QByteArray("000300000000010300"));
        QCOMPARE(QByteArray(reinterpret_cast<const char *>(rig.device->firmwareState(Mouse560).parameter1.data()), 8).toHex(),
                 QByteArray("030a11181f262d34"));
        QVERIFY(!debug.contains("Device Connect"));
        // The check comes once the command is done.
        QTRY_VERIFY_WITH_TIMEOUT(debug.contains("Device Connect"), 5000);
    }

    // What the interface delivers reaches the scene on the GUI thread, each report once and in
    // the order it was read; reads that are not status reports are dropped.
    void reportsReachTheViewInOrder()
    {
        QVERIFY(watchReports());
        startPolling(Mouse553);
        // Report 5 of seven bytes only: another id, a non-zero second byte, one byte short or long.
        for (const char *report : {"05000200010300", "04000200010300", "05010200010300", "050002000103",
                                   "0500020001030000", "05000802070103", "050008ff0701ff"}) {   // the last: the stage wraps
            const QByteArray b = QByteArray::fromHex(report);
            polled->device->injectStatusReport(Mouse553, std::vector<uint8_t>(b.begin(), b.end()));
        }
        polled->device->pressDpiButton(Mouse553);
        QTRY_COMPARE(reports.size(), 4);

        const VirtualFirmware::State s = polled->device->firmwareState(Mouse553);
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
        testsupport::addColumns<int, bool>({"mouse", "stopFirst"});
        QTest::newRow("stop, then unplug") << Mouse553 << true;
        QTest::newRow("unplug") << Mouse560 << false;
    }

    void unplug()
    {
        QVERIFY(watchReports());
        QFETCH(int, mouse);
        QFETCH(bool, stopFirst);
        testsupport::DebugCapture debug;
        startPolling(mouse);
        QTRY_VERIFY(polled->statusOpens() >= 1);
        if (stopFirst)
            polled->hid().stopPolling();
        polled->device->unplug(mouse);
        QTRY_VERIFY(!polled->hid().isPolling);
        polled->hid().waitForPollingToEnd();
        QCoreApplication::processEvents();
        QCOMPARE(debug.contains("Device removed"), !stopFirst);
        QCOMPARE(polled->view()->isEnabled(), stopFirst);
        QCOMPARE(polled->hid().deviceList[mouse].path2.isEmpty(), !stopFirst);
        QVERIFY(!polled->hid().deviceList[1 - mouse].path2.isEmpty());
        // Polling is off, so the next device change leads to a check.
        polled->widget->onDeviceChange();
        QVERIFY(polled->widget->checkTimer.isActive());
    }

    // A removal found by a task that a restart has replaced is not applied: unplug, replug and a
    // new start before the old task's removal reaches the GUI thread leave polling on.
    void removalFromAReplacedTaskIsIgnored()
    {
        QVERIFY(watchReports());
        testsupport::DebugCapture debug;
        startPolling(Mouse560);
        QTRY_VERIFY(polled->statusOpens() >= 1);
        polled->device->unplug(Mouse560);
        polled->hid().waitForPollingToEnd();   // its removal is queued, not yet applied
        QVERIFY(polled->hid().isPolling);
        polled->device->plug(Mouse560);
        polled->hid().startPollingUSBVendorCmd(Mouse560);
        QCoreApplication::processEvents();
        QVERIFY(!debug.contains("Device removed"));
        QVERIFY(polled->hid().isPolling);
        QVERIFY(polled->view()->isEnabled());
        QVERIFY(!polled->hid().deviceList[Mouse560].path2.isEmpty());
        polled->device->pressDpiButton(Mouse560);
        QTRY_COMPARE(reports.size(), 1);
        stopPolling();
    }

    // Restarts while a task still waits in its read: never two readers, no report lost or doubled.
    void restartsKeepOneReader()
    {
        QVERIFY(watchReports());
        startPolling(Mouse553);
        QTRY_VERIFY(polled->statusOpens() >= 1);
        polled->hid().startPollingUSBVendorCmd(Mouse553);
        polled->hid().startPollingUSBVendorCmd(Mouse553);
        polled->device->pressRateButton(Mouse553);
        polled->device->pressLightButton(Mouse553);
        QTRY_COMPARE(reports.size(), 2);
        QCOMPARE(reports.at(0).at(0), int(VirtualFirmware::StatusRate));
        QCOMPARE(reports.at(1).at(0), int(VirtualFirmware::StatusLight));
        stopPolling();
        QCOMPARE(reports.size(), 2);
        int open = 0;   // status-interface opens and closes never overlap
        for (const vdev::WireEvent &e : polled->device->wireLog()) {
            if (e.iface == Iface::Status && e.call == Call::Open && e.result == 0)
                QVERIFY(++open <= 1);
            if (e.iface == Iface::Status && e.call == Call::Close)
                --open;
        }
        QCOMPARE(polled->device->openHandleCount(), 0);
    }

    // Debug mode reads the identity into the connected device's own device-wide settings;
    // what names nothing, or a query that never reached the device, leaves them as they were.
    void debugModeIdentity_data()
    {
        // identity: keyboard-option reply b2..b5, hex
        // expected: icType sensorType keyCount
        testsupport::addColumns<QByteArray, bool, QString>({"identity", "reachable", "expected"});
        QTest::newRow("query does not reach the device") << QByteArray("00070708") << false << "553 3389 6";
        QTest::newRow("IC index past the table") << QByteArray("00090708") << true << "553 3360 8";
        QTest::newRow("sensor index past the table") << QByteArray("00071008") << true << "560 3389 8";
        QTest::newRow("index 0 names nothing") << QByteArray("00000005") << true << "553 3389 5";
        QTest::newRow("560 mouse") << QByteArray("00070708") << true << "560 3360 8";
    }

    void debugModeIdentity()
    {
        QVERIFY(watchReports());
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
        myQQuickView *v = polled->view();
        v->icType = "553";
        polled->device->withFirmware(Mouse560, [&](VirtualFirmware &f) {
            const QByteArray b = QByteArray::fromHex(identity);
            std::copy(b.begin(), b.end(), f.mutableState().keyboardOption.begin());
        });
        if (!reachable)
            polled->device->addFault({Call::Open, FaultAction::Fail, 0, -1, Mouse560, Iface::Command});
        polled->widget->debugMode = true;

        startPolling(Mouse560);
        QCOMPARE(v->icType, expected.section(' ', 0, 0));
        const QSettings own(file, QSettings::IniFormat);
        QCOMPARE(QStringList({own.value("mouse/icType").toString(), own.value("mouse/sensorType").toString(),
                              own.value("mouse/keyCount").toString()}).join(' '), expected);
        QVERIFY(!polled->hid().hidBusy);
        stopPolling();
    }

    // The identity never lands in the files of the device connected before, nor in the
    // program's own settings on the first connect.
    void identityStaysWithItsDevice()
    {
        QVERIFY(watchReports());
        QSettings().remove("mouse");
        polled->widget->debugMode = true;
        polled->device->plug(Mouse553);
        polled->widget->checkDevice();
        QTRY_VERIFY(polled->view()->isEnabled());
        QVERIFY(!QSettings().contains("mouse/icType"));
        polled->view()->globalSettings->sync();
        const QString file553 = "./modules/5530/setting/apConfig.bin";
        const QByteArray content553 = testsupport::readFile(file553);
        QVERIFY(!content553.isEmpty());

        polled->device->unplug(Mouse553);
        QTRY_VERIFY(!polled->hid().isPolling);
        polled->device->plug(Mouse560);
        polled->widget->checkDevice();
        QCOMPARE(polled->view()->icType, QString("560"));
        QTRY_VERIFY(polled->view()->isEnabled());
        polled->view()->globalSettings->sync();
        QCOMPARE(testsupport::readFile(file553), content553);
        QCOMPARE(QSettings("./modules/5600/setting/apConfig.bin", QSettings::IniFormat).value("mouse/keyCount").toInt(), 8);
    }

    void parseDescriptor_data()
    {
        testsupport::addColumns<QByteArray, QString>({"descriptor", "expected"});
        QTest::newRow("pointer") << bytes(pointer553) << "0001:0002 input 4 bytes";
        QTest::newRow("553 command") << bytes(command553) << "ff00:ff00 input 32, output 32, feature 8 bytes";
        QTest::newRow("553 status") << bytes(status553) << "ff01:ff01 input 6 bytes (report 5)";
        QTest::newRow("keyboard") << bytes(keyboard) << "0001:0006 input 8, output 1 bytes";
        QTest::newRow("two collections, numbered reports")
            << bytes(mediaKeys) << "000c:0001 input 2 bytes (report 1); 0001:0080 input 1 bytes (report 2)";
        QTest::newRow("four-byte usage names the page, long item skipped")
            << bytes("fe0100ff 0b010000ffa101 7508 9540 9102 c0") << "ff00:0001 output 64 bytes";
        QTest::newRow("report of absurd length")
            << bytes("0600ff0901a101 77ffffffff 97ffffffff 8102 c0") << "ff00:0001 input 536870912 bytes";
        QTest::newRow("end without a collection")
            << bytes(malformed) << "ff00:0001 no reports | malformed at byte 8: end of a collection that was not opened";
        QTest::newRow("item cut off") << bytes(truncated) << "0001:0002 no reports | truncated at byte 6: item runs past the end";
        QTest::newRow("collection not closed")
            << bytes("05010906a101 7508 9508 8102") << "0001:0006 input 8 bytes | truncated at byte 12: a collection is not closed";
        QTest::newRow("reserved item") << bytes("0c") << " | malformed at byte 0: reserved item type";
        QTest::newRow("report id 0") << bytes("8500") << " | malformed at byte 0: report id out of range";
        QTest::newRow("pop without push") << bytes("b4") << " | malformed at byte 0: global state popped but never pushed";
        QTest::newRow("nested too deep") << bytes("a100").repeated(40) << "0000:0000 no reports | malformed at byte 64: "
                                                                            "collections nested too deep";
        QTest::newRow("too many collections")
            << bytes("a0c0").repeated(300)
            << (QStringList(256, "0000:0000 no reports").join("; ") + " | malformed at byte 512: too many collections");
    }

    // Every prefix and every one-byte change of each row must parse without reading past the end
    // (the sanitizer build catches that) and with bounded results.
    void parseDescriptor()
    {
        QFETCH(QByteArray, descriptor);
        QTEST(summary(parsed(descriptor)), "expected");
        for (int n = 0; n <= descriptor.size(); ++n) {
            QVERIFY(parsed(descriptor.left(n)).collections.size() <= reportdescriptor::maxCollections);
            for (const char byte : {'\x00', '\x03', '\xfe', '\xff', '\xa1', '\xc0', '\xb4'}) {
                QByteArray damaged = descriptor;
                if (n < damaged.size())
                    damaged[n] = byte;
                QVERIFY(parsed(damaged).problemOffset <= size_t(damaged.size()));
            }
        }
        QVERIFY(reportdescriptor::parse(nullptr, 16).collections.empty());
    }

    // On a machine with a 560-family mouse that the table does not know: --probe finds it,
    // --add-device adds it (refusing what it must), the window connects to it and --udev-rule
    // names it. The program runs without a display, as from a terminal.
    void probeAddConnectRule()
    {
        WidgetRig rig;
        const QString program = rig.dir.filePath("mousecfg");
        QVERIFY(QFile::copy(qEnvironmentVariable("MOUSECFG_BINARY"), program));
        // The mouse the shipped 5600 folder stands for has been used: the new one starts from factory.
        const QString used = rig.dir.filePath("modules/5600/setting/p1.bin");
        QVERIFY(testsupport::writeFile(used, testsupport::readFile(used) + "[mouse]\nused=1\n"));

        QTemporaryDir machine;
        auto node = [&](int n, const QString &hidId, const QString &name, int interface, const char *descriptor) {
            const QString dir = machine.filePath(QString("sys/class/hidraw/hidraw%1").arg(n));
            QVERIFY(testsupport::writeFile(dir + "/uevent", QString("MAJOR=240\nMINOR=%1\nDEVNAME=hidraw%1\n").arg(n).toUtf8()));
            QVERIFY(testsupport::writeFile(dir + "/device/uevent", ("HID_ID=" + hidId + "\nHID_NAME=" + name
                + "\nHID_PHYS=usb-0000:00:14.0-2/input" + QString::number(interface) + "\n").toUtf8()));
            QVERIFY(testsupport::writeFile(dir + "/device/report_descriptor", bytes(descriptor)));
            QVERIFY(testsupport::writeFile(machine.filePath(QString("dev/hidraw%1").arg(n)), QByteArray()));
        };
        node(0, "0003:00001D57:0000FA60", "Acme Gamer", 0, pointer553);
        node(1, "0003:00001D57:0000FA60", "Acme Gamer", 1, command560);
        node(2, "0003:00001D57:0000FA60", "Acme Gamer", 2, status553);
        node(3, "0003:0000046D:0000C31C", "USB Keyboard", 0, keyboard);
        node(10, "0003:00001209:00005600", "Known 560", 1, command560);
        node(11, "0003:00001234:00000001", "Broken", 0, malformed);
        node(12, "0003:00001234:00000002", "Cut", 0, truncated);
        // A mouse of its own vendor usages: its descriptors, not the family's usual values, make its row.
        node(13, "0003:00001D57:0000FA61", "Odd", 1, "0602ff0901a101 7508 9520 9102 9508 b102 c0 0603ff0901a101 7508 9506 8102 c0");

        auto run = [&](const QStringList &args, const QString &dataHome = QString()) {
            QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
            for (const char *display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
                env.remove(display);
            env.insert("MOUSECFG_SYSROOT", machine.path());
            if (!dataHome.isEmpty())
                env.insert("XDG_DATA_HOME", dataHome);
            return testsupport::run(program, args, env, 60000);
        };

        testsupport::Run r = run({"--probe"});
        QCOMPARE(r.exitCode, 0);
        for (const char *line :
             {"hidraw1  1d57:fa60  interface 1  \"Acme Gamer\"\n  may open: yes\n  ff00:ff00 input 64, output 64, feature 8 bytes\n"
              "  not in the device table; looks like the command interface of a 560 mouse: mousecfg --add-device 1d57:fa60 --family 560\n",
              "  not in the device table; looks like the status interface of a 553 or 560 mouse\n",
              "hidraw10  1209:5600  interface 1  \"Known 560\"\n  may open: yes\n  ff00:ff00 input 64, output 64, feature 8 bytes\n"
              "  in the device table (1209:5600, 560 family, installed): command interface\n",
              "  report descriptor: truncated at byte 6: item runs past the end\n",
              "8 hidraw interface(s), 1 of a mouse in the device table.\n"})
            QVERIFY2(r.out.contains(line), r.out.constData());
        r = run({"--probe", "--json"});
        const QJsonArray interfaces = QJsonDocument::fromJson(r.out).object().value("interfaces").toArray();
        QCOMPARE(interfaces.size(), 8);
        QCOMPARE(interfaces.at(1).toObject().value("looksLike").toObject().value("command").toArray(), QJsonArray{"560"});
        QCOMPARE(interfaces.at(1).toObject().value("collections").toArray().at(0).toObject().value("output").toInt(), 64);
        QCOMPARE(interfaces.at(4).toObject().value("tableRow").toObject().value("roles").toArray(), QJsonArray{"command"});

        const struct
        {
            QStringList args;
            int exitCode;
            const char *says;
            QString dataHome = QString();
        } adds[] = {
            {{"--add-device", "1d57:fa6g", "--family", "560"}, 2, "malformed id \"1d57:fa6g\""},
            {{"--add-device", "0:fa60", "--family", "560"}, 2, "malformed id"},
            {{"--add-device", "1d57:fa60", "--family", "571"}, 2, "unknown family \"571\": valid choices are 553, 560"},
            {{"--add-device", "1d57:fa60"}, 2, "needs --family"},
            {{"--add-device", "1209:5600", "--family", "560"}, 1, "1209:5600 is in the device table already"},
            {{"--add-device", "abcd:5530", "--family", "553"}, 1, "product id 5530 is taken by 1209:5530"},
            {{"--add-device", "1d57:fa60", "--family", "560"}, 0, "from the descriptor of hidraw1"},
            {{"--add-device", "1D57:FA60", "--family", "560"}, 1, "1d57:fa60 is in the device table already (1d57:fa60, 560 "
                                                                  "family, \"Acme Gamer\", added by you)"},
            {{"--add-device", "1d57:fa61", "--family", "560", "--name", "Odd, \"quoted\""}, 0, "status interface read from"},
            {{"--add-device", "1d57:0b0b", "--family", "553"}, 0, "not plugged in"},
            {{"--add-device", "1d57:0c0c", "--family", "553"}, 1, "devConfig.ini: its folder cannot be made",
             machine.filePath("dev/hidraw0/data")},
        };
        for (const auto &add : adds) {
            r = run(add.args, add.dataHome);
            QVERIFY2(r.exitCode == add.exitCode && (r.out + r.err).contains(add.says), (r.out + r.err).constData());
        }
        QStringList rows;
        for (const DeviceEntry &e : devicetable::readFile(datafolder::userTable()))
            rows << QString::asprintf("%x:%x %x/%x %x/%x %d ", e.vid, e.pid, e.usagePage, e.usage, e.usagePage2, e.usage2,
                                      e.reportLength) + e.name;
        QCOMPARE(rows, (QStringList{"1d57:fa60 ff00/ff00 ff01/ff01 64 Acme Gamer", "1d57:fa61 ff02/1 ff03/1 32 Odd, \"quoted\"",
                                    "1d57:b0b ff00/ff00 ff01/ff01 32 "}));
        for (const QString &file : QStringList{"apConfig.bin", "p1.bin", "p10.bin"}) {
            const QByteArray made = testsupport::readFile(rig.dir.filePath("modules/fa60/setting/" + file));
            QVERIFY(!made.isEmpty());
            QCOMPARE(made, testsupport::readFile(rig.dir.filePath(file.startsWith('p') ? "modules/5600/setting/pD.bin"
                                                                                        : "modules/5600/setting/apConfigD.bin")));
        }

        // The window finds the added mouse (a virtual 560 under its ids) and works on its folder.
        rig.device->setIds(vdev::Mouse560, 0x1d57, 0xfa60);
        rig.device->plug(vdev::Mouse560);
        rig.widget->checkDevice();
        QVERIFY(deviceConnected);
        QCOMPARE(rig.hid().deviceIndex, 3);
        QCOMPARE(rig.hid().deviceList.at(3).reportLength, 64);
        QVERIFY(rig.hid().isPolling);
        QCOMPARE(rig.view()->icType, QString("560"));

        r = run({"--udev-rule"});
        QCOMPARE(r.exitCode, 0);
        QVERIFY(r.out.startsWith("# mousecfg:"));
        QVERIFY(r.out.contains("#   mousecfg --udev-rule | sudo tee /etc/udev/rules.d/70-mousecfg-local.rules\n"));
        for (const char *ids : {"1209\", ATTRS{idProduct}==\"5600", "1d57\", ATTRS{idProduct}==\"fa60", "1d57\", ATTRS{idProduct}==\"0b0b"})
            QVERIFY2(QString(r.out).contains(QString("KERNEL==\"hidraw*\", SUBSYSTEM==\"hidraw\", ATTRS{idVendor}==\"") + ids
                                    + "\", TAG+=\"uaccess\"\n"),
                     r.out.constData());
        QVERIFY(QFile::remove(datafolder::userTable()));
    }
};

QTEST_MAIN(DetectionTest)
#include "tst_detection.moc"
