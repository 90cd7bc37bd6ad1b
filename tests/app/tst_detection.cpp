// Device detection: the device table, matching interfaces to its rows, and the connect and
// disconnect sequences of the main window over the virtual mice.

#include "app/devicetable.h"
#include "platform/devicemonitor.h"
#include "platform/sessionwatch.h"
#include "device/widget_rig.h"

#include <QDBusConnection>
#include <QDBusContext>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QScopeGuard>
#include <QQuickItem>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

#include <functional>
#include <iterator>

using namespace vdev;
using devicetable::HidInterface;
using vdevtest::WidgetRig;

namespace {

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

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() { deviceConnected = false; }

    void readTable_data()
    {
        QTest::addColumn<QByteArray>("ini");
        QTest::addColumn<QStringList>("entries");
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
        QFETCH(QStringList, entries);
        QTemporaryDir dir;
        const QString file = dir.filePath("devConfig.ini");
        if (!ini.isNull()) {
            QFile f(file);
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(ini);
        }
        QStringList got;
        for (const DeviceEntry &e : devicetable::readFile(file)) {
            got << describe(e);
            QVERIFY(!e.isEncode && e.path.isEmpty() && e.path2.isEmpty());
        }
        QCOMPARE(got, entries);
    }

    void assignPaths_data()
    {
        QTest::addColumn<QList<HidInterface>>("interfaces");
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("path2");
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
        e.usagePage = 0xFF00;
        e.usage = 0xFF00;
        e.usagePage2 = 0xFF01;
        e.usage2 = 0xFF01;
        e.path = "stale";
        e.path2 = "stale";
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
        QTest::newRow("553 mouse after a 560") << ConnectRow{{}, {Mouse553}, 0, false, true, "560", false};
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
        QTest::addColumn<QByteArray>("sessionId");
        QTest::addColumn<QStringList>("calls");
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
};

QTEST_MAIN(DetectionTest)
#include "tst_detection.moc"
