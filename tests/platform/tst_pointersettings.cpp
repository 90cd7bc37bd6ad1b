// The desktop pointer options: slider steps to values, the GNOME settings they land in, and the
// failure lines of the three view slots.
#include "platform/linux/gsettingspointer.h"
#include "platform/pointersettings.h"
#include "testsupport.h"
#include "view/myqquickview.h"

#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <QtTest>

namespace {
const char mouseSchema[] = "org.gnome.desktop.peripherals.mouse";

// Stands in for the desktop: remembers what it was given and succeeds or fails on request.
struct FakePointer : PointerSettings
{
    bool accept = true;
    QString last;
    bool setMouseSpeed(int speed) override { return take(QString("speed %1").arg(speed)); }
    bool setDoubleClickTime(int ms) override { return take(QString("double-click %1").arg(ms)); }
    bool setWheelScrollLines(uint lines) override { return take(QString("lines %1").arg(lines)); }
    bool take(const QString &what)
    {
        last = what;
        return accept;
    }
};

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
} // namespace

class TestPointerSettings : public QObject
{
    Q_OBJECT
private slots:
    void initTestCase()
    {
        QCOMPARE(qgetenv("GSETTINGS_BACKEND"), QByteArray("memory"));
    }

    void steps_data()
    {
        QTest::addColumn<uint>("step");
        QTest::addColumn<int>("speed");
        QTest::addColumn<int>("doubleClick");
        QTest::addColumn<double>("gnome");

        QTest::newRow("step 11 counts as 10") << 11u << 20 << 200 << 1.0;
        QTest::newRow("largest unsigned counts as 10") << 0xFFFFFFFFu << 20 << 200 << 1.0;
        QTest::newRow("step 0") << 0u << 1 << 900 << -1.0;
        QTest::newRow("step 1") << 1u << 2 << 830 << -8.0 / 9.0;
        QTest::newRow("step 5: the desktop default") << 5u << 10 << 550 << 0.0;
        QTest::newRow("step 6") << 6u << 12 << 480 << 0.2;
    }

    void steps()
    {
        QFETCH(uint, step);
        QFETCH(int, speed);
        QFETCH(int, doubleClick);
        QFETCH(double, gnome);
        QCOMPARE(pointer::mouseSpeedFromStep(step), speed);
        QCOMPARE(pointer::doubleClickTimeFromStep(step), doubleClick);
        QCOMPARE(gnomePointerSpeed(speed), gnome);
    }

    void viewSlots_data()
    {
        QTest::addColumn<QString>("slot");
        QTest::addColumn<uint>("value");
        QTest::addColumn<bool>("accept");
        QTest::addColumn<QString>("sent");
        QTest::addColumn<QString>("line");

        QTest::newRow("speed refused") << "mouseSetCursorSpeed" << 3u << false << "speed 6" << "setCursorSpeed Failed";
        QTest::newRow("double-click refused")
            << "mouseSetDoubleClickSpeed" << 10u << false << "double-click 200" << "setDoubleClickSpeed Failed";
        QTest::newRow("lines refused")
            << "mouseSetVerticalScrollLines" << 1000u << false << "lines 1000" << "setVerticalScrollLines Failed";
        QTest::newRow("speed") << "mouseSetCursorSpeed" << 0u << true << "speed 1" << "";
        QTest::newRow("double-click") << "mouseSetDoubleClickSpeed" << 0u << true << "double-click 900" << "";
        QTest::newRow("lines") << "mouseSetVerticalScrollLines" << 3u << true << "lines 3" << "";
    }

    void viewSlots()
    {
        QFETCH(QString, slot);
        QFETCH(uint, value);
        QFETCH(bool, accept);
        QFETCH(QString, sent);
        QFETCH(QString, line);

        FakePointer fake;
        fake.accept = accept;
        setPointerSettings(&fake);
        myQQuickView view;
        testsupport::DebugCapture debug;
        // Called by name, as the scene calls them.
        QVERIFY(QMetaObject::invokeMethod(&view, slot.toLatin1().constData(), Q_ARG(uint, value)));
        QCOMPARE(fake.last, sent);
        if (line.isEmpty())
            QVERIFY2(debug.lines().isEmpty(), qPrintable(debug.lines().join('|')));
        else
            QCOMPARE(debug.lines(), QStringList{line});
    }

    void gsettingsRoundTrip()
    {
        GSettings *settings = openMouseSettings();
        QVERIFY2(settings, "gsettings-desktop-schemas is not installed");

        myQQuickView view; // the desktop's own settings: GSettings here
        testsupport::DebugCapture debug;
        for (uint step : {10u, 0u, 5u}) {
            view.mouseSetCursorSpeed(step);
            QCOMPARE(g_settings_get_double(settings, "speed"), gnomePointerSpeed(pointer::mouseSpeedFromStep(step)));
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
