// Device detection: the device table, matching interfaces to its rows, and the connect and
// disconnect sequences of the main window over the virtual mice.

#include "app/devicetable.h"
#include "device/widget_rig.h"

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

} // namespace

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

    // A damaged count cannot make a check run for ever.
    void absurdCountIsBounded()
    {
        QTemporaryDir dir;
        QSettings table(dir.filePath("t.ini"), QSettings::IniFormat);
        table.setValue("common/deviceCount", 2000000000);
        QCOMPARE(devicetable::read(table).size(), devicetable::maxEntries);
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
    // profile blocks of a 560 gun mouse read, polling running and the view enabled.
    void connectSequence_data()
    {
        QTest::addColumn<QByteArray>("table");  // empty: the shipped one
        QTest::addColumn<QList<int>>("plugged");
        QTest::addColumn<int>("index");
        QTest::addColumn<QList<int>>("profiles");
        QTest::addColumn<bool>("polling");
        QTest::addColumn<QString>("knownFamily");  // the view's family before the check
        QTest::newRow("553 mouse") << QByteArray() << QList<int>{Mouse553} << 0 << QList<int>{} << true << "553";
        // Each block is read once, whether the family was known before the check or not.
        QTest::newRow("560 gun mouse") << QByteArray() << QList<int>{Mouse560} << 1 << QList<int>{0, 1, 2, 3, 4} << true
                                       << "560";
        QTest::newRow("560 gun mouse, first connect")
            << QByteArray() << QList<int>{Mouse560} << 1 << QList<int>{0, 1, 2, 3, 4} << true << "";
        // The family known from the 560 mouse does not carry over to a 553 attached after it.
        QTest::newRow("553 mouse after a 560") << QByteArray() << QList<int>{Mouse553} << 0 << QList<int>{} << true
                                               << "560";
        QTest::newRow("both: the first row wins") << QByteArray() << QList<int>{Mouse560, Mouse553} << 0 << QList<int>{}
                                                  << true << "553";
        // A row whose status interface is missing still connects; polling stays off.
        QTest::newRow("only the command interface")
            << QByteArray("[common]\ndeviceCount=1\n[0]\ntype=1\nvid=1209\npid=5530\nusagePage=ff00\nusage=ff00\n"
                          "usagePage2=fe00\nusage2=0001\nreportLength=32\n")
            << QList<int>{Mouse553} << 0 << QList<int>{} << false << "553";
    }

    void connectSequence()
    {
        QFETCH(QByteArray, table);
        QFETCH(QList<int>, plugged);
        QFETCH(int, index);
        QFETCH(QList<int>, profiles);
        QFETCH(bool, polling);
        QFETCH(QString, knownFamily);
        WidgetRig rig(table);
        for (int m : plugged)
            rig.device->plug(m);
        rig.hid().hidBusy = true;
        rig.view()->setEnabled(false);
        rig.view()->icType = knownFamily;
        rig.view()->isGun = knownFamily == "560";
        if (!knownFamily.isEmpty())
            rig.view()->icTypeFolder = knownFamily == "560" ? "./modules/5600" : "./modules/5530";

        testsupport::DebugCapture debug;
        rig.widget->checkDevice();

        const QStringList lines = debug.lines();
        const int connectLine = lines.indexOf("Device Connect");
        QVERIFY(connectLine >= 0);
        QVERIFY(lines.indexOf(QString("startPollingUSBVendorCmd false %1").arg(index)) > connectLine);
        QCOMPARE(rig.hid().deviceIndex, index);
        QVERIFY(deviceConnected);
        QVERIFY(!rig.hid().hidBusy);
        QVERIFY(!rig.hid().deviceList[index].path.isEmpty());
        QCOMPARE(rig.hid().deviceList[index].path2.isEmpty(), !polling);
        QCOMPARE(bool(rig.hid().isPolling), polling);
        QVERIFY(rig.view()->isEnabled());
        QCOMPARE(profilesRead(*rig.device), profiles);
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

    // A check finding nothing disconnects and hides the window. Unplug and replug through the
    // virtual device: removal, then one check for a burst of device changes, 1024 ms after the
    // last, and the mouse connected again.
    void disconnectUnplugAndReplugAreFollowed()
    {
        WidgetRig rig;
        deviceConnected = true;
        rig.widget->show();
        testsupport::DebugCapture debug;
        rig.widget->checkDevice();
        QVERIFY(debug.contains("Device DisConnect"));
        QVERIFY(!deviceConnected);
        QVERIFY(!rig.widget->isVisible());
        QVERIFY(!rig.hid().isPolling);

        rig.device->plug(Mouse560);
        rig.widget->checkDevice();
        QVERIFY(rig.hid().isPolling);

        rig.device->unplug(Mouse560);
        QTRY_VERIFY(!rig.hid().isPolling);
        QVERIFY(!rig.view()->isEnabled());
        QCoreApplication::processEvents();
        QVERIFY(!rig.widget->checkTimer.isActive());

        QSignalSpy checks(&rig.widget->checkTimer, &QTimer::timeout);
        debug.clear();
        rig.device->plug(Mouse560);
        rig.device->unplug(Mouse560);
        rig.device->plug(Mouse560);
        QTRY_VERIFY(rig.widget->checkTimer.isActive());
        QVERIFY(rig.widget->checkTimer.remainingTime() > 900);
        QTRY_COMPARE_WITH_TIMEOUT(checks.count(), 1, 5000);
        QCOMPARE(debug.lines().count("Device Connect"), 1);
        QVERIFY(rig.hid().isPolling);
        // The scene holds its busy lock for a moment after initUI, then takes input again.
        QTRY_VERIFY(rig.view()->isEnabled());
        QVERIFY(!rig.widget->checkTimer.isActive());
    }
};

QTEST_MAIN(DetectionTest)
#include "tst_detection.moc"
