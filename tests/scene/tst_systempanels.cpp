// SPDX-License-Identifier: GPL-3.0-or-later
// The system settings, layout adjustment, lighting and profile pages as a user drives them.

#include "scene_helper.h"
#include "testsupport.h"

#include "platform/pointersettings.h"
#include "view/filedialogs.h"
#include "vdev/demo.h"

#pragma push_macro("signals")
#undef signals
#include <gio/gio.h>
#pragma pop_macro("signals")

#include <QAbstractItemModel>
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

// The setting files and their contents.
QMap<QString, QByteArray> files(SceneRig &scene, int mouse)
{
    QMap<QString, QByteArray> out;
    const QDir settings(QFileInfo(scene.settingFile(mouse, "name.bin")).path());
    for (const QString &name : settings.entryList(QDir::Files))
        out[name] = testsupport::readFile(settings.filePath(name));
    return out;
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
    // Of the lighting page: "modes" (the mode list's names), "blocks" (the colour blocks shown, 1
    // each), "fits" (the open mode list's bottom on the page).
    std::optional<QString> custom(SceneRig &rig, const QStringList &w)
    {
        QStringList out;
        if (w[0] == "modes") {
            auto *model = rig.item("lightModeList")->property("mdItems").value<QAbstractItemModel *>();
            for (int i = 0; model && i < model->rowCount(); ++i)
                out << model->data(model->index(i, 0), model->roleNames().key("textValue")).toString();
            return out.join(',');
        }
        if (w[0] == "blocks") {
            for (int k = 0; k < 8; ++k)
                out << (rig.item(QString("lightBlock%1").arg(k))->isVisible() ? "1" : "0");
            return out.join("");
        }
        if (w[0] == "fits") {
            QQuickItem *rows = vdevtest::findItem(rig.item("lightModeList"), "rows"), *page = rig.item("lightControlMain");
            return QVariant(rows->mapToItem(page, QPointF(0, rows->height())).y() <= page->height()).toString();
        }
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

    void lighting_data()
    {
        testsupport::addColumns<int, int, QString>({"mouse", "dpiCount", "lines"});
        // A profile switch (or any later start-up pass) adds no modes. The open list stays on the
        // page, clear of the buttons below it. Brightness to its top step; block 1 from the colour
        // bar, block 2 typed in: Enter ends the input in debug mode too, a click on the block ends
        // an input the field still has the focus of, and so does "Save". Block 0 holds mode,
        // brightness 4 x 63, speed step 2 as code 4, colour block 2. The device's speed button:
        // the page follows, its text too. Reset: the factory values, to be sent by the next "Save".
        const QString lines =
            "modes = %1; blocks = %2; call lightControlMain.init false false; call lightControlMain.init true false; "
            "modes = %1; click lightModeList; lightModeList.isDrop = true; lightModeList.moving = false; fits = true; "
            "click lightModeList; lightModeList.moving = false; choose lightModeList %3; lightControlMain.lightMode = %3; "
            "blocks = %4; click lightBrightnessSlider@214,3; lightControlMain.brightnessStep = 4; "
            "lightBrightnessText.text = 100%; click lightColourBar@16,5; lightRedField.textValue = 255; "
            "lightGreenField.textValue = 127; click lightBlock1; set root.isDebugEnable true; type lightRedField 10; "
            "lightBlock1.color = #0a0405; set root.isDebugEnable false; type lightBlueField 0; typing lightGreenField 200; "
            "click lightBlock1; lightBlock1.color = #0ac800; root.isSaveNeeded = true; typing lightBlueField 5; clear; "
            "click saveButton; codes = 02 03 80; sent 02 d2 = %5 fc 04 01; sent 03 p5 = 02; "
            "sent 03 d88 = ff 7f 00 0a c8 05 06 07 08 09 0a 0b 0c 0d 0e 0f 10 11 12 13 14 15 16 17; "
            "ini mouse/lightValue = %3,2,4; ini mouse/colorValue = 255,127,0,10,200,5,6,7,8,9,10,11,12,13,14,15,16,17,18,"
            "19,20,21,22,23; call syncFwReport 5 0 0 0 7; lightSpeedText.text = 100%; click lightResetButton; "
            "lightControlMain.colorValue = {colours}; lightControlMain.lightMode = {mode}; modes = %1; root.isSaveNeeded = true";
        const QString base = "Static,Breath,Neon,OFF";
        QTest::newRow("553, four stages") << Mouse553 << 4 << lines.arg(base, "11110000", "2", "11110000", "02");
        // Mode 6 goes to the device as 7.
        QTest::newRow("560") << Mouse560 << 0
                             << lines.arg(base + ",Vertical Flipping,YO-YO,Spotlight,Twinkling,Wave,Gliding,Finger Moving",
                                          "11111111", "6", "11111111", "07");
        // One block until "Breath Loop" shows seven.
        QTest::newRow("3395") << Mouse3395 << 0 << lines.arg(base + ",Breath Loop", "10000000", "4", "11111110", "04");
    }

    void lighting()
    {
        QFETCH(int, mouse);
        QFETCH(int, dpiCount);
        QFETCH(QString, lines);
        this->scene.reset();
        SceneRig scene({});
        {
            auto profile = scene.profile(mouse, 0);
            profile->setValue("mouse/lightValue", QStringList{"0", "2", "1"});
            QStringList colours;
            for (int i = 0; i < 24; ++i)
                colours << QString::number(i);
            profile->setValue("mouse/colorValue", colours);
            if (dpiCount > 0)
                profile->setValue("mouse/dpiCount", dpiCount);
        }
        scene.connect(mouse);
        QSettings factory(scene.settingFile(mouse, "pD.bin"), QSettings::IniFormat);
        lines.replace("{colours}", factory.value("mouse/colorValue").toStringList().join(','))
            .replace("{mode}", factory.value("mouse/lightValue").toStringList().value(0));
        scenetest::play(scene, mouse, lines.split("; "), [&](const QStringList &w) { return custom(scene, w); });
    }

    // The profile page: New, Import, Export, Delete, rename and switching on the entry list, and the
    // title bar's switch, after an entry in the middle has been deleted (list positions and slot
    // numbers then differ), up to a full list.
    void profiles()
    {
        const int mouse = Mouse553;
        this->scene.reset();
        SceneRig scene({});
        // A damaged list: a second entry on slot 1, a slot the page does not have, no slot.
        QSettings(scene.settingFile(mouse, "name.bin"), QSettings::IniFormat)
            .setValue("profile/profileName", QStringList{"Main0", "profile_01", "copy1", "far7", "x"});
        scene.connect(mouse);
        QTemporaryDir outside;
        const QString exported = outside.filePath("exported.pf");
        QSettings(outside.filePath("imported.pf"), QSettings::IniFormat).setValue("test/marker", "imported");
        int dialogs = 0;
        QString openAnswer;   // cancelled
        filedialogs::ScopedHook hook([&](const filedialogs::Request &r) {
            ++dialogs;
            return r.mode == filedialogs::Mode::Open ? openAnswer : exported;
        });
        QMap<QString, QByteArray> before;
        // Steps: "menu ROW COMMAND" (the entry's menu), "rename ROW NAME", "answer FILE" (the
        // file Import gets), "snapshot" (of the setting files). Checks: "names" (name.bin's
        // list) and "entries" (their number), "current" (the view's profile), "switched" (the
        // first two commands since the last clear), "marker SLOT", "exported" (the slot files it equals), "changed" (files since the
        // snapshot), "dialogs" (asked for since the snapshot).
        const auto custom = [&](const QStringList &w) -> std::optional<QString> {
            const QString at = QString("profileEntries@100,%1").arg(1 + 30 * w.value(1).toInt() + 15);
            if (w[0] == "menu")
                scenetest::play(scene, mouse, {"right " + at, "click " + w[2]});
            else if (w[0] == "rename") {
                scenetest::play(scene, mouse, {"dclick " + at, "profileMain.editingIndex = " + w[1]});
                QTest::keyClick(scene.view(), Qt::Key_A, Qt::ControlModifier);
                scenetest::play(scene, mouse, {"keys " + w[2], "enter"});
            } else if (w[0] == "answer")
                openAnswer = outside.filePath(w[1]);
            else if (w[0] == "snapshot") {
                before = files(scene, mouse);
                dialogs = 0;
            } else if (w[0] == "names" || w[0] == "entries") {
                QSettings file(scene.settingFile(mouse, "name.bin"), QSettings::IniFormat);
                const QStringList names = file.value("profile/profileName").toStringList();
                return w[0] == "names" ? names.join(',') : QString::number(names.size());
            } else if (w[0] == "current")
                return QString::number(scene.view()->currentProfile);
            else if (w[0] == "switched")
                return QString(scene.codes().left(5));
            else if (w[0] == "marker")
                return scene.profile(mouse, w[1].toInt())->value("test/marker").toString();
            else if (w[0] == "exported" || w[0] == "changed") {
                const QByteArray content = testsupport::readFile(exported);
                QStringList out;
                const auto now = files(scene, mouse);
                for (const QString &name : now.keys())
                    if (w[0] == "exported" ? now[name] == content : now[name] != before.value(name))
                        out << name;
                return out.join(',');
            } else if (w[0] == "dialogs")
                return QString::number(dialogs);
            else
                return std::nullopt;
            return QString();
        };
        scenetest::play(scene, mouse, QString(
            "names = Standard0,profile_01; click configButton; profileMain.visible = true; "
            // The first entry stays; a cancelled Import adds nothing.
            "menu 0 profileMenuDelete; click profileImportButton; dialogs = 1; names = Standard0,profile_01; "
            "answer imported.pf; click profileNewButton; names = Standard0,profile_01,profile_12; "
            // Entry 1 deleted: Import creates slot 1 at list position 2 and writes slot 1's file.
            "menu 1 profileMenuDelete; names = Standard0,profile_12; click profileImportButton; "
            "names = Standard0,profile_12,profile_01; marker 1 = imported; marker 2 = ; "
            // Again without it: New creates slot 1 at position 2 with the factory values.
            "menu 2 profileMenuDelete; click profileNewButton; names = Standard0,profile_12,profile_01; marker 1 = ; "
            // Renaming onto another entry's name keeps the old one.
            "rename 1 profile_0; names = Standard0,profile_12,profile_01; rename 1 Work; "
            "names = Standard0,Work2,profile_01; "
            // The title bar switches to the entry's slot, not to its list position. Slot 1 then
            // differs from the factory values that slot 2 still holds.
            "click profileCloseButton; mask.visible = false; clear; choose profileList 2; "
            "global mouse/profileNo = 1; current = 1; switched = 02 03; choose lightModeList 3; "
            "click saveButton; "
            // Export writes the chosen entry's slot; the entry in use cannot be deleted.
            "click configButton; menu 1 profileMenuExport; exported = p3.bin; menu 2 profileMenuDelete; "
            "names = Standard0,Work2,profile_01; "
            // A click on an entry switches to it as the title bar does; an edit not saved stays
            // behind with the profile left, and "Save" has nothing to send.
            "call lightControlMain.chooseMode 2; clear; click profileEntries@100,16; global mouse/profileNo = 0; "
            "current = 0; switched = 02 03; root.isSaveNeeded = false; "
            // A full list: New and Import change no file and ask for none.
            "click profileNewButton; click profileNewButton; click profileNewButton; entries = 6; snapshot; "
            "click profileNewButton; click profileImportButton; wait 50; changed = ; dialogs = 0").split("; "), custom);
    }
};

QTEST_MAIN(SystemPanelsTest)
#include "tst_systempanels.moc"
