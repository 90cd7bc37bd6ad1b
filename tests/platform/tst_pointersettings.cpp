// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop pointer options: slider steps to values, the GNOME and Plasma settings they land
// in, and the failure lines of the three view slots.
#include "platform/linux/gsettingspointer.h"
#include "platform/linux/plasmapointer.h"
#include "platform/pointersettings.h"
#include "testsupport.h"
#include "view/myqquickview.h"

#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <QDBusConnection>
#include <QDBusMessage>
#include <QtTest>

namespace {
const char mouseSchema[] = "org.gnome.desktop.peripherals.mouse";

GSettings *openMouseSettings()
{
    GSettingsSchema *schema =
        g_settings_schema_source_lookup(g_settings_schema_source_get_default(), mouseSchema, TRUE);
    if (!schema)
        return nullptr;
    GSettings *settings = g_settings_new_full(schema, nullptr, nullptr);
    g_settings_schema_unref(schema);
    return settings;
}

// One slot call through Plasma's backend. `before`: kdeglobals beforehand, or what KWin does.
struct PlasmaRow
{
    bool wayland;
    const char *slot;
    uint value;
    QString before, file;
    QString expected;   // the file's text afterwards
    QString devices;    // pointerAcceleration: mouse, trackball, touchpad
    int announced;
    QString line;
};

} // namespace
Q_DECLARE_METATYPE(PlasmaRow)

// One input device of KWin, as its D-Bus object shows it.
class FakeDevice : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDevice")
    Q_PROPERTY(bool pointer MEMBER pointer)
    Q_PROPERTY(bool touchpad MEMBER touchpad)
    Q_PROPERTY(bool supportsPointerAcceleration MEMBER pointer)
    Q_PROPERTY(uint vendor MEMBER vendor)
    Q_PROPERTY(uint product MEMBER product)
    Q_PROPERTY(QString name MEMBER name)
    Q_PROPERTY(double pointerAcceleration MEMBER acceleration WRITE accelerate)
public:
    FakeDevice(uint vendor, uint product, const QString &name, bool touchpad = false)
        : touchpad(touchpad), vendor(vendor), product(product), name(name)
    {
    }
    void accelerate(double value) { acceleration = refuses ? acceleration : value; }
    bool pointer = true, touchpad, refuses = false;
    uint vendor, product;
    QString name;
    double acceleration = 0;
};

// KWin's device list, and a listener that records the KGlobalSettings announcements.
class FakeKWin : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.KWin.InputDeviceManager")
    Q_PROPERTY(QStringList devicesSysNames MEMBER sysNames)
public:
    QStringList sysNames;
    QStringList announced;
public slots:
    void notifyChange(int type, int category) { announced << QString("%1 %2").arg(type).arg(category); }
};

class TestPointerSettings : public QObject
{
    Q_OBJECT

    // Plasma's side: a private session bus (never the tester's) with KWin on its own connection
    // and thread, since the program's calls block the test's thread until answered.
    testsupport::PrivateBus bus;
    QThread kwinThread;
    FakeKWin kwin;
    FakeDevice mouse{1133, 49298, "Gaming Mouse"}, trackball{1149, 4128, "Track/Ball"},
        touchpad{1739, 52710, "Touchpad", true};

private slots:
    void initTestCase()
    {
        QCOMPARE(qgetenv("GSETTINGS_BACKEND"), QByteArray("memory"));
        QVERIFY2(!QStandardPaths::findExecutable("kwriteconfig5").isEmpty(), "libkf5config-bin is not installed");
        QVERIFY2(bus.start(), "dbus-daemon did not start");
        qputenv("DBUS_SESSION_BUS_ADDRESS", bus.address.toUtf8());
        QDBusConnection kwinBus = QDBusConnection::connectToBus(bus.address, "kwin");
        QVERIFY(kwinBus.registerService("org.kde.KWin"));
        QVERIFY(kwinBus.registerObject("/org/kde/KWin/InputDevice", &kwin, QDBusConnection::ExportAllProperties));
        for (auto [sysName, device] : {std::pair{"event4", &mouse}, {"event5", &touchpad}, {"event9", &trackball}}) {
            QVERIFY(kwinBus.registerObject(QString("/org/kde/KWin/InputDevice/") + sysName, device,
                                           QDBusConnection::ExportAllProperties));
            device->moveToThread(&kwinThread);
        }
        QVERIFY(kwinBus.connect("", "/KGlobalSettings", "org.kde.KGlobalSettings", "notifyChange", &kwin,
                                SLOT(notifyChange(int, int))));
        kwin.moveToThread(&kwinThread);
        kwinThread.start();
    }

    void cleanupTestCase()
    {
        kwinThread.quit();
        kwinThread.wait();
        QDBusConnection::disconnectFromBus("kwin");
    }

    void steps_data()
    {
        testsupport::addColumns<uint, int, int, double>({"step", "speed", "doubleClick", "libinput"});

        QTest::newRow("step 11 counts as 10") << 11u << 20 << 200 << 1.0;
        QTest::newRow("largest unsigned counts as 10") << 0xFFFFFFFFu << 20 << 200 << 1.0;
        QTest::newRow("step 1") << 1u << 2 << 830 << -8.0 / 9.0;
        QTest::newRow("step 5: the desktop default") << 5u << 10 << 550 << 0.0;
        QTest::newRow("step 6") << 6u << 12 << 480 << 0.2;
    }

    void steps()
    {
        QFETCH(uint, step);
        QFETCH(int, speed);
        QCOMPARE(pointer::mouseSpeedFromStep(step), speed);
        QTEST(pointer::doubleClickTimeFromStep(step), "doubleClick");
        QTEST(libinputPointerSpeed(speed), "libinput");
    }

    void plasmaDesktop_data()
    {
        testsupport::addColumns<QByteArray, bool>({"currentDesktop", "plasma"});
        QTest::newRow("KDE") << QByteArray("KDE") << true;
        QTest::newRow("KDE later in the list") << QByteArray("X-Generic:KDE") << true;
        QTest::newRow("GNOME") << QByteArray("ubuntu:GNOME") << false;
        QTest::newRow("unset") << QByteArray() << false;
    }

    void plasmaDesktop()
    {
        QFETCH(QByteArray, currentDesktop);
        QTEST(isPlasmaDesktop(currentDesktop), "plasma");
    }

    // Each slot through Plasma's backend with KDE's real kwriteconfig5 / kreadconfig5 on a
    // temporary configuration folder: the file KDE reads, KWin's devices, the announcements and
    // the failure line that makes the page show its note.
    void plasma_data()
    {
        QTest::addColumn<PlasmaRow>("row");
        QTest::newRow("Wayland speed: every mouse, never the touchpad")
            << PlasmaRow{true, "mouseSetCursorSpeed", 10, "", "kcminputrc",
                         "[Libinput][1133][49298][Gaming Mouse]\nPointerAcceleration=1.000\n\n"
                         "[Libinput][1149][4128][Track/Ball]\nPointerAcceleration=1.000\n", "1 1 0", 0, ""};
        QTest::newRow("Wayland speed one mouse refuses")
            << PlasmaRow{true, "mouseSetCursorSpeed", 0, "refuse", "kcminputrc",
                         "[Libinput][1133][49298][Gaming Mouse]\nPointerAcceleration=-1.000\n", "-1 0 0", 0,
                         "setCursorSpeed Failed"};
        QTest::newRow("Wayland speed without a mouse in KWin")
            << PlasmaRow{true, "mouseSetCursorSpeed", 5, "no devices", "kcminputrc", "", "0 0 0", 0, "setCursorSpeed Failed"};
        QTest::newRow("X11 speed") << PlasmaRow{false, "mouseSetCursorSpeed", 1, "", "kcminputrc",
                                                "[Mouse]\nXLbInptPointerAcceleration=-0.889\n", "0 0 0", 1, ""};
        QTest::newRow("double-click") << PlasmaRow{true, "mouseSetDoubleClickSpeed", 3, "[General]\nName=x\n", "kdeglobals",
                                                   "[General]\nName=x\n\n[KDE]\nDoubleClickInterval=690\n", "0 0 0", 1, ""};
        QTest::newRow("double-click in a locked group")
            << PlasmaRow{false, "mouseSetDoubleClickSpeed", 10, "[KDE][$i]\nDoubleClickInterval=400\n", "kdeglobals",
                         "[KDE][$i]\nDoubleClickInterval=400\n", "0 0 0", 0, "setDoubleClickSpeed Failed"};
        QTest::newRow("wheel lines: one screen") << PlasmaRow{false, "mouseSetVerticalScrollLines", 1000, "", "kdeglobals",
                                                              "[KDE]\nWheelScrollLines=1000\n", "0 0 0", 1, ""};
        // kwriteconfig5 reports success here; only reading back tells.
        QTest::newRow("wheel lines, kdeglobals not a file")
            << PlasmaRow{true, "mouseSetVerticalScrollLines", 3, "directory", "kdeglobals", "", "0 0 0", 0,
                         "setVerticalScrollLines Failed"};
    }

    void plasma()
    {
        QFETCH(PlasmaRow, row);
        QTemporaryDir config;
        qputenv("XDG_CONFIG_HOME", config.path().toUtf8());
        qputenv("XDG_CONFIG_DIRS", config.path().toUtf8());
        if (row.before.startsWith('['))
            QVERIFY(testsupport::writeFile(config.filePath("kdeglobals"), row.before.toUtf8()));
        if (row.before == "directory")
            QVERIFY(QDir(config.path()).mkdir("kdeglobals"));
        kwin.sysNames = row.before == "no devices" ? QStringList() : QStringList{"event4", "event5", "event9"};
        trackball.refuses = row.before == "refuse";
        mouse.acceleration = trackball.acceleration = touchpad.acceleration = 0;
        kwin.announced.clear();

        PlasmaPointer plasma(row.wayland ? PlasmaPointer::Session::Wayland : PlasmaPointer::Session::X11);
        setPointerSettings(&plasma);
        myQQuickView view;
        testsupport::DebugCapture debug;
        QVERIFY(QMetaObject::invokeMethod(&view, row.slot, Q_ARG(uint, row.value)));
        QCOMPARE(debug.lines(), row.line.isEmpty() ? QStringList() : QStringList{row.line});
        QCOMPARE(QString::fromUtf8(testsupport::readFile(config.filePath(row.file))), row.expected);
        QCOMPARE(QString("%1 %2 %3").arg(mouse.acceleration).arg(trackball.acceleration).arg(touchpad.acceleration),
                 row.devices);
        // A call after the announcement: the bus delivers it in order, so every announcement
        // has reached KWin's thread before this returns.
        QDBusMessage call = QDBusMessage::createMethodCall("org.kde.KWin", "/org/kde/KWin/InputDevice",
                                                           "org.freedesktop.DBus.Properties", "GetAll");
        QDBusConnection::sessionBus().call(call << "org.kde.KWin.InputDeviceManager");
        QCOMPARE(kwin.announced, QStringList(row.announced, "3 0"));
    }

    void gsettingsRoundTrip()
    {
        GSettings *settings = openMouseSettings();
        QVERIFY2(settings, "gsettings-desktop-schemas is not installed");

        myQQuickView view; // the desktop's own settings: GSettings here
        testsupport::DebugCapture debug;
        for (auto [step, speed] : {std::pair{10u, 1.0}, {0u, -1.0}, {5u, 0.0}}) {
            view.mouseSetCursorSpeed(step);
            QCOMPARE(g_settings_get_double(settings, "speed"), speed);
        }
        view.mouseSetDoubleClickSpeed(3);
        QCOMPARE(g_settings_get_int(settings, "double-click"), 690);
        QVERIFY2(debug.lines().isEmpty(), qPrintable(debug.lines().join('|')));

        // GNOME has no wheel-lines setting.
        view.mouseSetVerticalScrollLines(3);
        QCOMPARE(debug.lines(), QStringList{"setVerticalScrollLines Failed"});
        g_object_unref(settings);
    }

    void missingSchemaFails()
    {
        GSettingsPointer absent("org.example.mousecfg.absent");
        setPointerSettings(&absent);
        myQQuickView view;
        testsupport::DebugCapture debug;
        view.mouseSetCursorSpeed(5);
        view.mouseSetDoubleClickSpeed(5);
        QCOMPARE(debug.lines(), (QStringList{"setCursorSpeed Failed", "setDoubleClickSpeed Failed"}));

        // A schema without the key fails the same way instead of aborting.
        GSettingsPointer keyboard("org.gnome.desktop.peripherals.keyboard");
        QVERIFY(!keyboard.setMouseSpeed(5));
    }
    void cleanup() { setPointerSettings(nullptr); }
};

QTEST_MAIN(TestPointerSettings)
#include "tst_pointersettings.moc"
