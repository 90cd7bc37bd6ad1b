// SPDX-License-Identifier: GPL-3.0-or-later
// The system settings page and the layout adjustment panel as a user drives them.

#include "scene_helper.h"
#include "testsupport.h"

#include "platform/pointersettings.h"
#include "vdev/demo.h"

#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <QQuickItem>
#include <QRegularExpression>
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

// A mouse whose device-wide settings turn debug mode on (plus `config`), started afresh.
std::unique_ptr<SceneRig> debugScene(const QString &config = QString())
{
    auto rig = std::make_unique<SceneRig>(std::initializer_list<int>{});
    if (!config.isNull())
        testsupport::writeFile(rig->settingFile(Mouse553, "apConfig.bin"), config.toUtf8());
    rig->global(Mouse553)->setValue("debugmode/isEnable", true);
    rig->connect(Mouse553);
    return rig;
}

} // namespace

class SystemPanelsTest : public QObject
{
    Q_OBJECT

    RecordingPointer desktop;
    std::unique_ptr<SceneRig> scene;

    // Steps: "open" (the page), "forget" (the desktop's calls), "pointer none|recording" (the
    // desktop's own settings or the recorder), "refuse SETTING", "profile N" (the view's), "demo
    // [VALUE]" (demo mode with MOUSECFG_DEMO_DESKTOP). Checks: "desktop" (the calls), "gnome
    // speed", "focus FIELD", "system" (the desktop's settings in use), "layout keys" (stored).
    std::optional<QString> custom(SceneRig &rig, const QStringList &w)
    {
        if (w[0] == "open" && !rig.item("systemSettingMain")->isVisible())
            rig.clickItem("systemSettingButton");
        else if (w[0] == "forget")
            desktop.calls.clear();
        else if (w[0] == "pointer")
            setPointerSettings(w[1] == "none" ? nullptr : &desktop);
        else if (w[0] == "refuse")
            desktop.refused = w.mid(1);
        else if (w[0] == "profile")
            rig.view()->setCurrentProfile(w[1].toInt());
        else if (w[0] == "demo") {
            qputenv("MOUSECFG_DEMO_DESKTOP", w.value(1).toUtf8());
            vdev::useDemoPointerSettings();
            qunsetenv("MOUSECFG_DEMO_DESKTOP");
        } else if (w[0] == "desktop")
            return desktop.calls.join('|');
        else if (w[0] == "gnome") {
            GSettings *mouse = g_settings_new("org.gnome.desktop.peripherals.mouse");
            const double value = g_settings_get_double(mouse, qPrintable(w[1]));
            g_object_unref(mouse);
            return QString::number(value);
        } else if (w[0] == "focus")
            return rig.item(w[1])->property("txtInput").value<QObject *>()->property("activeFocus").toString();
        else if (w[0] == "layout") {
            auto global = rig.global(Mouse553);
            global->beginGroup("debugmode");
            return QString::number(global->childKeys().size());
        } else if (w[0] == "system")
            return QVariant(&pointerSettings() == &systemPointerSettings()).toString();
        else if (w[0] != "open")
            return std::nullopt;
        return QString();
    }

    void play(SceneRig &rig, const QString &lines)
    {
        scenetest::play(rig, Mouse553, lines.split("; "), [&](const QStringList &w) { return custom(rig, w); });
    }

private slots:
    void initTestCase()
    {
        setPointerSettings(&desktop);
        scene = std::make_unique<SceneRig>(std::initializer_list<int>{Mouse553});
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

    // Rows run in order on the same scene.
    void rows_data()
    {
        QTest::addColumn<QString>("lines");
        // Start-up shows the profile's values and leaves the desktop alone.
        QTest::addRow("start-up") << "desktop = ; systemSettingMain.mouseRate = 150; systemSettingMain.doubleRate = 180; "
                                     "systemSettingMain.scrollRows = 3; layoutAdjustMain.visible = false";
        // A click on a knob's track: what the desktop is asked, what the profile stores.
        const QString knob = "open; forget; click %1SliderTrack@%2,3; desktop = %3; ini mouse/%4 = %5";
        QTest::addRow("speed at the left stop: step 0") << knob.arg("speed", "0", "speed 1", "mouseRate", "3");
        QTest::addRow("speed at the right stop: step 10") << knob.arg("speed", "351", "speed 20", "mouseRate", "337");
        QTest::addRow("speed at 37: step 2") << knob.arg("speed", "43", "speed 4", "mouseRate", "37");
        QTest::addRow("double-click at 37, nothing else")
            << knob.arg("doubleClick", "43", "double-click 760", "doubleRate", "37");
        QTest::addRow("double-click at the right stop")
            << knob.arg("doubleClick", "351", "double-click 200", "doubleRate", "337");
        QTest::addRow("double-click at the left stop")
            << knob.arg("doubleClick", "0", "double-click 900", "doubleRate", "3");
        // The scroll choice and its field; Enter leaves the field.
        const QString scroll = "open; forget; %1; desktop = lines %2; ini mouse/scrollRate = %2; "
                               "scrollRowsInput.textValue = %3; focus scrollRowsInput = false; "
                               "scrollScreenRadio.isSelect = %4; scrollRowsRadio.isSelect = %5";
        const auto choice = [&](const char *name, const char *action, const char *lines, const char *field) {
            const bool screen = QByteArray(lines) == "1000";
            QTest::addRow("%s", name) << scroll.arg(action, lines, field, screen ? "true" : "false", screen ? "false" : "true");
        };
        choice("one screen", "click scrollScreenRadio", "1000", "3");
        choice("rows again", "click scrollRowsRadio", "3", "3");
        choice("0 typed gives 1", "type scrollRowsInput 0", "1", "1");
        choice("100 typed", "type scrollRowsInput 100", "100", "100");
        choice("101 is refused while typing", "type scrollRowsInput 101", "10", "10");
        // What the page shows for stored values; showing applies nothing.
        const QString shown = "open; call view.setData mouse/mouseRate %1; call view.setData mouse/scrollRate %2; forget; "
                              "call systemSettingMain.init false false; desktop = ; speedSliderTrack/knob.x = %3; "
                              "scrollScreenRadio.isSelect = %4; scrollRowsRadio.isSelect = %5; scrollRowsInput.textValue = %6";
        QTest::addRow("shown: 1000 is one screen") << shown.arg("100", "1000", "100", "true", "false", "10");
        QTest::addRow("shown: 100 rows") << shown.arg("3", "100", "3", "false", "true", "100");
        QTest::addRow("shown: 101 is one screen") << shown.arg("337", "101", "337", "true", "false", "100");
        QTest::addRow("shown: damaged, knob on the track, one row") << shown.arg("900", "-4", "337", "false", "true", "1");
        // A profile switch applies the new profile's values; the back button those of the
        // default profile, into the current profile.
        QTest::addRow("profile switch and back")
            << "profile 1; call view.setData mouse/mouseRate 337; call view.setData mouse/doubleRate 3; "
               "call view.setData mouse/scrollRate 1000; profile 0; forget; call changeProfile 1; "
               "desktop = speed 20|double-click 900|lines 1000; systemSettingMain.isScreenScroll = true; open; forget; "
               "click systemBackButton; "
               "desktop = speed 10|double-click 480|lines 3; ini mouse/scrollRate = 3; ini mouse/mouseRate = 150; "
               "scrollRowsInput.textValue = 3; click systemCloseButton; systemSettingMain.visible = false";
        // After a factory reset the page shows the reset profile (without touching the desktop),
        // so its next change does not write the old values back.
        QTest::addRow("factory reset")
            << "open; click scrollScreenRadio; ini mouse/scrollRate = 1000; click systemCloseButton; forget; "
               "click resetButton; click resetOkButton; desktop = ; open; click doubleClickSliderTrack@43,3; "
               "desktop = double-click 760; ini mouse/doubleRate = 37; ini mouse/scrollRate = 3; click systemCloseButton";
        // A setting the desktop did not take gets a note until it takes one again. GNOME has no
        // wheel-lines setting; its pointer speed lands in the (in-memory) GSettings.
        QTest::addRow("refused settings")
            << "open; pointer none; scrollNote.visible = false; click scrollScreenRadio; scrollNote.visible = true; "
               "click speedSliderTrack@351,3; gnome speed = 1; speedNote.visible = false; pointer recording; "
               "refuse speed; click speedSliderTrack@0,3; speedNote.visible = true; doubleClickNote.visible = false; "
               "scrollNote.visible = true; click scrollRowsRadio; scrollNote.visible = false; speedNote.visible = true";
        // In demo mode the pointer settings change nothing on the desktop, and the page says so,
        // unless MOUSECFG_DEMO_DESKTOP=1 asks for the desktop.
        const QString demo = "demo%1; system = %2; open; call systemSettingMain.init false false; "
                             "demoNote.visible = %3; click systemCloseButton";
        QTest::addRow("demo") << demo.arg("", "false", "true");
        QTest::addRow("demo, MOUSECFG_DEMO_DESKTOP=1") << demo.arg(" 1", "true", "false");
    }

    void rows()
    {
        QFETCH(QString, lines);
        play(*scene, lines);
    }

    // Mode 1, X 5, Enter twice: the title logo moves 10 pixels; the place is stored by "保存"
    // only, and read at the next start.
    void layoutOffsets()
    {
        scene.reset();
        QString saved;
        {
            auto rig = debugScene();
            QQuickItem *logo = rig->item("titleLogo");
            const QString logoX = QString::number(logo->x() + 10);
            play(*rig, "layoutAdjustMain.visible = true; click layoutModePrev; layoutAdjustMain.mode_index = 0; "
                       "click layoutModeNext; type layoutXField 5; enter; titleLogo.x = " + logoX + "; "
                       "focus layoutXField = true; global debugmode/titlelogoWindow = ; click layoutSaveButton; "
                       "global debugmode/titlelogoWindow = 10,0; layout keys = 11");  // isEnable and ten
            saved = QString::fromUtf8(testsupport::readFile(rig->settingFile(Mouse553, "apConfig.bin")));
        }
        // The next start, with the hot spots stored too and a colour that is none. "恢复" in mode 3,
        // segment 4: that segment only, nothing stored. Mode 7 is the last; a colour is taken
        // only once it is one.
        saved.replace(QRegularExpression("mouseindexMain=[^\n]*"),
                      "mouseindexMain=1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16");
        saved.replace(QRegularExpression("colorinter=[^\n]*"), "colorinter=bogus");
        auto rig = debugScene(saved);
        play(*rig, "root.setTitleLogo_X = 10; root.setMouseMainSeg3_X = 7; mouseMain.segmentOffsets = "
                   "1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16; root.colorOrange = #cf3e00; click layoutModeNext; "
                   "click layoutModeNext; click layoutModeNext; click layoutSegNext; click layoutSegNext; "
                   "click layoutSegNext; layoutAdjustMain.mouse_seg = 3; click layoutRestoreButton; "
                   "root.setMouseMainSeg3_X = 0; root.setMouseMainSeg3_Y = 0; root.setMouseMainSeg2_Y = 6; "
                   "root.setMouseMainSeg4_X = 9; root.setTitleLogo_X = 10; "
                   "global debugmode/mouseindexMain = 1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16; "
                   "click layoutModeNext; click layoutModeNext; click layoutModeNext; click layoutModeNext; "
                   "click layoutModeNext; layoutAdjustMain.mode_index = 7; type layoutBlue #12; root.colorBlue = #09347f; "
                   "type layoutBlue #123456; root.colorBlue = #123456; type layoutHeightField -3; configButton.height = 21; "
                   "click layoutSaveButton; global debugmode/colorbg = #123456; "
                   "global debugmode/downbuttonMainWindow = 0,0,0,-3");
    }
};

QTEST_MAIN(SystemPanelsTest)
#include "tst_systempanels.moc"
