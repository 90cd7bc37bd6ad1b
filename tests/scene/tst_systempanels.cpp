// The system settings page and the layout adjustment panel as a user drives them: knob
// positions to the desktop's values, the scroll choice and its number field, what start-up,
// a profile switch, the back button and a factory reset apply, the note for a refused setting;
// the layout offsets moved, kept only after "保存" and read at the next start.

#include "scene_helper.h"

#include "platform/pointersettings.h"
#include "vdev/demo.h"

#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <QQuickItem>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QtTest>

using namespace vdev;
using scenetest::SceneRig;

namespace {

// Stands in for the desktop: lists what it was asked to set and refuses what it is told to.
struct RecordingPointer : PointerSettings
{
    QStringList calls;
    QStringList refused;
    bool setMouseSpeed(int speed) override { return take(QString("speed %1").arg(speed)); }
    bool setDoubleClickTime(int ms) override { return take(QString("double-click %1").arg(ms)); }
    bool setWheelScrollLines(uint lines) override { return take(QString("lines %1").arg(lines)); }
    bool take(const QString &call)
    {
        calls << call;
        return !refused.contains(call.section(' ', 0, 0));
    }
};

QObject *textInput(QQuickItem *field)
{
    return field->property("txtInput").value<QObject *>();
}

} // namespace

class SystemPanelsTest : public QObject
{
    Q_OBJECT

    RecordingPointer desktop;
    std::unique_ptr<SceneRig> scene;
    QQuickItem *page = nullptr;

    void openPage()
    {
        if (!page->isVisible())
            scene->clickItem("systemSettingButton");
        QVERIFY(page->isVisible());
    }

    // A value of the profile in use, as stored in its file.
    QVariant stored(const char *key)
    {
        return scene->profile(Mouse553, scene->rootProperty("currentProfileNo").toInt())->value(key);
    }

    // A mouse whose device-wide settings turn debug mode on (plus `config`), started afresh.
    static std::unique_ptr<SceneRig> debugScene(const QString &config = QString())
    {
        auto rig = std::make_unique<SceneRig>(std::initializer_list<int>{});
        if (!config.isNull()) {
            QFile file(rig->settingFile(Mouse553, "apConfig.bin"));
            if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
                file.write(config.toUtf8());
        }
        rig->global(Mouse553)->setValue("debugmode/isEnable", true);
        rig->connect(Mouse553);
        return rig;
    }

private slots:
    void initTestCase()
    {
        QStandardPaths::setTestModeEnabled(true);
        setPointerSettings(&desktop);
        scene = std::make_unique<SceneRig>(std::initializer_list<int>{Mouse553});
        page = scene->item("systemSettingMain");
        QVERIFY(page);
    }
    void cleanupTestCase()
    {
        scene.reset();
        setPointerSettings(nullptr);
    }
    void init()
    {
        setPointerSettings(&desktop);
        desktop.refused.clear();
    }

    // Start-up shows the profile's values and leaves the desktop alone.
    void startUp()
    {
        QCOMPARE(desktop.calls, QStringList());
        QCOMPARE(page->property("mouseRate").toInt(), 150);
        QCOMPARE(page->property("doubleRate").toInt(), 180);
        QCOMPARE(page->property("scrollRows").toInt(), 3);
        QVERIFY(!scene->item("layoutAdjustMain")->isVisible());
    }

    void knobs_data()
    {
        QTest::addColumn<QString>("slider");
        QTest::addColumn<int>("clickX");
        QTest::addColumn<int>("position");
        QTest::addColumn<QString>("call");
        QTest::newRow("speed at the left stop: step 0") << "speed" << 0 << 3 << "speed 1";
        QTest::newRow("speed at the right stop: step 10") << "speed" << 351 << 337 << "speed 20";
        QTest::newRow("speed at 37: step 2") << "speed" << 43 << 37 << "speed 4";
        QTest::newRow("double-click at 37, nothing else") << "doubleClick" << 43 << 37 << "double-click 760";
        QTest::newRow("double-click at the right stop") << "doubleClick" << 351 << 337 << "double-click 200";
        QTest::newRow("double-click at the left stop") << "doubleClick" << 0 << 3 << "double-click 900";
    }

    void knobs()
    {
        QFETCH(QString, slider);
        QFETCH(int, clickX);
        QFETCH(int, position);
        QFETCH(QString, call);
        openPage();
        desktop.calls.clear();
        scene->clickItem(slider + "SliderTrack", QPointF(clickX, 3));
        QTRY_COMPARE(desktop.calls, QStringList{call});
        const char *key = slider == "speed" ? "mouse/mouseRate" : "mouse/doubleRate";
        QTRY_COMPARE(stored(key).toInt(), position);
    }

    void scrollChoice_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("lines");
        QTest::addColumn<QString>("field");
        QTest::newRow("one screen") << "scrollScreenRadio" << "" << 1000 << "3";
        QTest::newRow("rows again") << "scrollRowsRadio" << "" << 3 << "3";
        QTest::newRow("0 typed gives 1") << "scrollRowsInput" << "0" << 1 << "1";
        QTest::newRow("100 typed") << "scrollRowsInput" << "100" << 100 << "100";
        QTest::newRow("101 is refused while typing") << "scrollRowsInput" << "101" << 10 << "10";
    }

    void scrollChoice()
    {
        QFETCH(QString, action);
        QFETCH(QString, typed);
        QFETCH(int, lines);
        QFETCH(QString, field);
        openPage();
        desktop.calls.clear();
        if (typed.isEmpty())
            scene->clickItem(action);
        else
            scene->type(action, typed);
        QCOMPARE(desktop.calls, QStringList{QString("lines %1").arg(lines)});
        QTRY_COMPARE(stored("mouse/scrollRate").toInt(), lines);
        QQuickItem *input = scene->item("scrollRowsInput");
        QCOMPARE(input->property("textValue").toString(), field);
        // Enter leaves the field.
        QVERIFY(!textInput(input)->property("activeFocus").toBool());
        QCOMPARE(scene->item("scrollScreenRadio")->property("isSelect").toBool(), lines == 1000);
        QCOMPARE(scene->item("scrollRowsRadio")->property("isSelect").toBool(), lines != 1000);
    }

    // What the page shows for stored values; showing applies nothing.
    void storedValues_data()
    {
        QTest::addColumn<QString>("mouseRate");
        QTest::addColumn<QString>("scrollRate");
        QTest::addColumn<int>("knob");
        QTest::addColumn<bool>("screen");
        QTest::addColumn<QString>("field");
        QTest::newRow("1000: one screen") << "100" << "1000" << 100 << true << "10";
        QTest::newRow("100: rows") << "3" << "100" << 3 << false << "100";
        QTest::newRow("101: one screen") << "337" << "101" << 337 << true << "100";
        QTest::newRow("damaged: knob on the track, one row") << "900" << "-4" << 337 << false << "1";
    }

    void storedValues()
    {
        QFETCH(QString, mouseRate);
        QFETCH(QString, scrollRate);
        QFETCH(int, knob);
        QFETCH(bool, screen);
        QFETCH(QString, field);
        openPage();
        scene->view()->setData("mouse/mouseRate", mouseRate);
        scene->view()->setData("mouse/scrollRate", scrollRate);
        desktop.calls.clear();
        scene->call(page, "init", {false, false});
        QCOMPARE(desktop.calls, QStringList());
        QCOMPARE(scene->item("speedSliderTrack")->findChild<QQuickItem *>("knob")->x(), qreal(knob));
        QCOMPARE(scene->item("scrollScreenRadio")->property("isSelect").toBool(), screen);
        QCOMPARE(scene->item("scrollRowsRadio")->property("isSelect").toBool(), !screen);
        QCOMPARE(scene->item("scrollRowsInput")->property("textValue").toString(), field);
    }

    // A profile switch applies the new profile's values; the back button those of the default
    // profile, into the current profile.
    void profileSwitchAndBack()
    {
        myQQuickView *view = scene->view();
        view->setCurrentProfile(1);
        view->setData("mouse/mouseRate", 337);
        view->setData("mouse/doubleRate", 3);
        view->setData("mouse/scrollRate", 1000);
        view->setCurrentProfile(0);
        desktop.calls.clear();
        scene->call("changeProfile", {1});
        QCOMPARE(desktop.calls, (QStringList{"speed 20", "double-click 900", "lines 1000"}));
        QVERIFY(page->property("isScreenScroll").toBool());

        openPage();
        desktop.calls.clear();
        scene->clickItem("systemBackButton");
        QCOMPARE(desktop.calls, (QStringList{"speed 10", "double-click 480", "lines 3"}));
        QTRY_COMPARE(stored("mouse/scrollRate").toInt(), 3);
        QCOMPARE(stored("mouse/mouseRate").toInt(), 150);
        QCOMPARE(scene->item("scrollRowsInput")->property("textValue").toString(), QString("3"));
        scene->clickItem("systemCloseButton");
        QVERIFY(!page->isVisible());
    }

    // After a factory reset the page shows the reset profile (without touching the desktop), so
    // its next change does not write the old values back.
    void factoryReset()
    {
        openPage();
        scene->clickItem("scrollScreenRadio");
        QTRY_COMPARE(stored("mouse/scrollRate").toInt(), 1000);
        scene->clickItem("systemCloseButton");
        desktop.calls.clear();
        scene->clickItem("resetButton");
        scene->clickItem("resetOkButton");
        QCOMPARE(desktop.calls, QStringList());
        openPage();
        scene->clickItem("doubleClickSliderTrack", QPointF(43, 3));
        QTRY_COMPARE(desktop.calls, QStringList{"double-click 760"});
        QTRY_COMPARE(stored("mouse/doubleRate").toInt(), 37);
        QCOMPARE(stored("mouse/scrollRate").toInt(), 3);
        scene->clickItem("systemCloseButton");
    }

    // A setting the desktop did not take gets a note until it takes one again. GNOME has no
    // wheel-lines setting; its pointer speed lands in the (in-memory) GSettings.
    void refusedSettings()
    {
        openPage();
        setPointerSettings(nullptr);
        QVERIFY(!scene->item("scrollNote")->isVisible());
        scene->clickItem("scrollScreenRadio");
        QVERIFY(scene->item("scrollNote")->isVisible());
        scene->clickItem("speedSliderTrack", QPointF(351, 3));
        GSettings *mouse = g_settings_new("org.gnome.desktop.peripherals.mouse");
        QTRY_COMPARE(g_settings_get_double(mouse, "speed"), 1.0);
        g_object_unref(mouse);
        QVERIFY(!scene->item("speedNote")->isVisible());

        setPointerSettings(&desktop);
        desktop.refused = QStringList{"speed"};
        scene->clickItem("speedSliderTrack", QPointF(0, 3));
        QTRY_VERIFY(scene->item("speedNote")->isVisible());
        QVERIFY(!scene->item("doubleClickNote")->isVisible());
        QVERIFY(scene->item("scrollNote")->isVisible());
        scene->clickItem("scrollRowsRadio");
        QVERIFY(!scene->item("scrollNote")->isVisible());
        QVERIFY(scene->item("speedNote")->isVisible());
    }

    // In demo mode the pointer settings change nothing on the desktop, and the page says so,
    // unless MOUSECFG_DEMO_DESKTOP=1 asks for the desktop.
    void demoKeepsTheDesktop_data()
    {
        QTest::addColumn<QByteArray>("variable");
        QTest::addColumn<bool>("demo");
        QTest::newRow("unset") << QByteArray() << true;
        QTest::newRow("1") << QByteArray("1") << false;
    }
    void demoKeepsTheDesktop()
    {
        QFETCH(QByteArray, variable);
        QFETCH(bool, demo);
        qputenv("MOUSECFG_DEMO_DESKTOP", variable);
        vdev::useDemoPointerSettings();
        qunsetenv("MOUSECFG_DEMO_DESKTOP");
        QCOMPARE(&pointerSettings() == &systemPointerSettings(), !demo);
        openPage();
        scene->call(page, "init", {false, false});
        QCOMPARE(scene->item("demoNote")->isVisible(), demo);
        scene->clickItem("systemCloseButton");
    }

    // Mode 1, X 5, Enter twice: the title logo moves 10 pixels; the place is stored by "保存"
    // only, and read at the next start.
    void layoutOffsets()
    {
        scene.reset();
        QString saved;
        {
            auto rig = debugScene();
            QVERIFY(rig->item("layoutAdjustMain")->isVisible());
            QQuickItem *logo = rig->item("titleLogo");
            const qreal logoX = logo->x();
            rig->clickItem("layoutModePrev");
            QCOMPARE(rig->item("layoutAdjustMain")->property("mode_index").toInt(), 0);
            rig->clickItem("layoutModeNext");
            rig->type("layoutXField", "5", 2);
            QCOMPARE(logo->x(), logoX + 10);
            QVERIFY(textInput(rig->item("layoutXField"))->property("activeFocus").toBool());
            QCoreApplication::processEvents();
            QVERIFY(!rig->global(Mouse553)->contains("debugmode/titlelogoWindow"));

            rig->clickItem("layoutSaveButton");
            QTRY_COMPARE(rig->global(Mouse553)->value("debugmode/titlelogoWindow").toStringList(),
                         (QStringList{"10", "0"}));
            auto global = rig->global(Mouse553);
            global->beginGroup("debugmode");
            QCOMPARE(global->childKeys().size(), 11);   // isEnable and the ten layout keys
            global->endGroup();
            QFile file(rig->settingFile(Mouse553, "apConfig.bin"));
            QVERIFY(file.open(QIODevice::ReadOnly));
            saved = QString::fromUtf8(file.readAll());
        }
        // The next start, with the hot spots stored too and a colour that is none.
        saved.replace(QRegularExpression("mouseindexMain=[^\n]*"),
                      "mouseindexMain=1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16");
        saved.replace(QRegularExpression("colorinter=[^\n]*"), "colorinter=bogus");
        auto rig = debugScene(saved);
        QQuickItem *panel = rig->item("layoutAdjustMain");
        QCOMPARE(rig->rootProperty("setTitleLogo_X").toInt(), 10);
        QCOMPARE(rig->rootProperty("setMouseMainSeg3_X").toInt(), 7);
        QCOMPARE(rig->item("mouseMain")->property("segmentOffsets").toList().value(6).toInt(), 7);
        QCOMPARE(rig->rootProperty("colorOrange").value<QColor>(), QColor("#cf3e00"));

        // "恢复" in mode 3, segment 4: that segment only, nothing stored.
        for (int i = 0; i < 3; ++i)
            rig->clickItem("layoutModeNext");
        for (int i = 0; i < 3; ++i)
            rig->clickItem("layoutSegNext");
        QCOMPARE(panel->property("mouse_seg").toInt(), 3);
        rig->clickItem("layoutRestoreButton");
        QCOMPARE(rig->rootProperty("setMouseMainSeg3_X").toInt(), 0);
        QCOMPARE(rig->rootProperty("setMouseMainSeg3_Y").toInt(), 0);
        QCOMPARE(rig->rootProperty("setMouseMainSeg2_Y").toInt(), 6);
        QCOMPARE(rig->rootProperty("setMouseMainSeg4_X").toInt(), 9);
        QCOMPARE(rig->rootProperty("setTitleLogo_X").toInt(), 10);
        QCoreApplication::processEvents();
        QCOMPARE(rig->global(Mouse553)->value("debugmode/mouseindexMain").toStringList().at(6), QString("7"));

        // Mode 7 is the last; a colour is taken only once it is one.
        for (int i = 0; i < 5; ++i)
            rig->clickItem("layoutModeNext");
        QCOMPARE(panel->property("mode_index").toInt(), 7);
        rig->type("layoutBlue", "#12");
        QCOMPARE(rig->rootProperty("colorBlue").value<QColor>(), QColor("#09347f"));
        rig->type("layoutBlue", "#123456");
        QCOMPARE(rig->rootProperty("colorBlue").value<QColor>(), QColor("#123456"));
        rig->type("layoutHeightField", "-3");
        QCOMPARE(rig->item("configButton")->height(), 21.0);
        rig->clickItem("layoutSaveButton");
        QTRY_COMPARE(rig->global(Mouse553)->value("debugmode/colorbg").toString(), QString("#123456"));
        QCOMPARE(rig->global(Mouse553)->value("debugmode/downbuttonMainWindow").toStringList(),
                 (QStringList{"0", "0", "0", "-3"}));
    }
};

QTEST_MAIN(SystemPanelsTest)
#include "tst_systempanels.moc"
