// SPDX-License-Identifier: GPL-3.0-or-later
// The button and DPI pages as a user drives them; assertions on the wire and the INI files.

#include "scene_helper.h"
#include "testsupport.h"

#include "input/inputforward.h"
#include "input/inputhook.h"

#include <QKeyEvent>
#include <QQuickItem>
#include <QtTest>

using namespace vdev;
using scenetest::SceneRig;

class ButtonsTest : public QObject
{
    Q_OBJECT

    // The scene of one virtual mouse, kept for the rows that follow on the same mouse (the
    // virtual mice of two scenes would share the hidapi seam). Each row starts from fresh().
    std::unique_ptr<SceneRig> m_scene;
    int m_mouse = -1;

    SceneRig &fresh(int mouse)
    {
        if (mouse != m_mouse) {
            m_scene.reset();
            m_scene = std::make_unique<SceneRig>(std::initializer_list<int>{mouse});
            m_mouse = mouse;
        }
        m_scene->call(m_scene->item("keyAssigmentMain"), "close");
        m_scene->call("initPages", {false});
        m_scene->clearWire();
        return *m_scene;
    }

    // "macro NAME": a macro on the device's list, shown in the editor; "firmware N": the macro
    // slot N as the mouse holds it.
    std::optional<QString> custom(const QStringList &w)
    {
        SceneRig &scene = *m_scene;
        if (w[0] == "macro") {
            myQQuickView *view = scene.view();
            if (!view->createMacroIni(w[1], 0).toBool() || !view->saveMacroIni(w[1], {"1,A", "0,50", "2,A"}, 2).toBool()
                || !view->updataNameList(0, {w[1]}).toBool())
                return std::nullopt;
            return scene.call(scene.item("macroEditorMain"), "init").toString();
        }
        if (w[0] == "firmware") {
            const VirtualFirmware::State s = scene.device().firmwareState(m_mouse);
            const auto &m = s.macro[w[1].toInt()];
            return (s.macroWritten & (1 << w[1].toInt())) ? QByteArray((const char *)m.data(), 6).toHex(' ') : "none";
        }
        return std::nullopt;
    }

private slots:
    void cleanupTestCase() { m_scene.reset(); }

    // One dialog session on a button, closed: what its row shows, then stored and sent by
    // "Save" (block 1 with the key section), and shown again when read back from the profile.
    void assign_data()
    {
        // wire: key 4 in block 1, as sent in reverse
        testsupport::addColumns<int, QString, QString, QString, QString>({"button", "steps", "codes", "text", "wire"});
        const auto row = [](const char *name, int button, const char *steps, const char *codes, const char *text,
                            const char *wire = "") { QTest::addRow("%s", name) << button << steps << codes << text << wire; };
        // Button 4 (index 3) is the forward button on the 560.
        row("closed unchanged", 3, "click keyGroup3; click choice28; click keyGroup0; click choice5", "0,0,244,0",
            "Forward Key", "-");
        row("fire, 20 ms, endless", 3, "click keyGroup1; click fireKeyField; up 1e; down 1e; down 1f; rate 19",
            "1,30,20,0", "1");
        // The button's own rate (20 ms) is kept.
        row("fire, 5 times, then endless", 3,
            "click keyGroup1; type fireTimesInput 5; click fireKeyField; down 2c; click fireEndlessBox", "1,44,20,0",
            "Space");
        // Closed while the number is still being typed: it counts as if Enter had been pressed.
        row("fire, 7 times, no Enter", 3, "click keyGroup1; click fireKeyField; down 2c; typing fireTimesInput 7",
            "1,44,20,7", "Space");
        row("media", 3, "click keyGroup3; click choice28", "3,0,181,0", "Next");
        row("shortcut", 3, "click keyGroup7; click choice50", "7,0,224,29", "Undo");
        row("gun", 3, "click keyGroup8; click choice54", "8,0,2,0", "Two Gun");
        // The dialog's reset puts the factory definition back at once.
        row("dialog reset", 5, "click keyGroup3; click choice27; click keyAssigmentReset", "5,0,1,0", "DPI+");
        // Key combinations: at most three keys, modifiers counted; sent with the modifiers as
        // keys before the others (key 1 last), as the device takes its own shortcuts.
        const QString combo = "click keyGroup2; click comboKeyField; ";
        row("Ctrl + C, a held key once", 3, qPrintable(combo + "down e0; down e0; down 06; up 06"), "2,1,6,0",
            "LCtrl + C", "06 e0 00 01");
        row("Ctrl + Shift + A, ends at a release", 3, qPrintable(combo + "down e0; down e1; down 04; up 04; down 05"),
            "2,3,4,0", "LCtrl + LShift + A", "04 e1 e0 01");
        row("Alt + Space + X", 3, qPrintable(combo + "down e2; down 2c; down 1b; up 1b"), "2,4,44,27",
            "LAlt + Space + X", "2c 1b e2 01");
        row("three keys at most", 3, qPrintable(combo + "down e0; down 04; down 05; down e1; down 06; up 06"),
            "2,1,4,5", "LCtrl + A + B", "04 05 e0 01");
        row("two keys at most", 3, qPrintable(combo + "down 04; down 04; down 05; down 06; up 06"), "2,0,4,5",
            "A + B", "04 05 00 01");
    }

    void assign()
    {
        QFETCH(int, button);
        QFETCH(QString, steps);
        QFETCH(QString, codes);
        QFETCH(QString, text);
        QFETCH(QString, wire);
        SceneRig &scene = fresh(Mouse560);
        const QString b = QString::number(button);
        scenetest::play(scene, Mouse560, QStringList{"click keyRow" + b, "keyAssigmentMain.visible = true"}
            + steps.split("; ") + QStringList{"click keyAssigmentClose", "keyAssigmentMain.visible = false",
            "mouseMain.selectKey = -1", "keyRowText" + b + ".text = " + text,
            QString("keyMatrixMain.isSave = ") + (wire == "-" ? "false" : "true")});
        // The keys typed next go to nothing hidden.
        QQuickItem *focus = scene.view()->quickWindow()->activeFocusItem();
        QVERIFY(!focus || focus->isVisible());
        QStringList save{"click saveButton", "ini mouseKeyMatrix/" + b + " = " + codes};
        if (wire != "-")
            save << "sent 03 p5 = 04" << "sent 03 d140 = " + wire;
        scenetest::play(scene, Mouse560, save + QStringList{"call initPages false", "keyRowText" + b + ".text = " + text});
    }

    // Rows on other pages and mice; "Save" sends block 1 with the section it changed.
    void rows_data()
    {
        testsupport::addColumns<int, QString>({"mouse", "lines"});
        // A macro on button 4: sent to that button's macro slot on closing (repeat count low
        // byte first, A pressed, 50 ms, released), its name stored; "Save" sends the button as
        // the macro key 04 02 03 00, in the parameter form 05 (mode + 1) 00 (slot) in reverse.
        // In this order, the scene of the rows before and after serve too.
        const char *macro = "macro Burst; click keyRow3; click keyGroup4; choose macroList 0; click macroMode2; "
                            "click keyAssigmentClose; keyRowText3.text = Burst; ini mouseMacroKey/3 = Burst; "
                            "firmware 3 = 02 00 05 04 81 04; clear; click saveButton; sent 03 p5 = 04; "
                            "sent 03 d140 = 03 00 03 05; ini mouseKeyMatrix/3 = 4,2,3,0";
        QTest::addRow("macro on button 4, 560") << int(Mouse560) << macro;
        // The 3395 sensor: six entry rows (only the form in use is built), sent with 12000 twice
        // after them, and the whole list again. A value still being typed when "Save" is pressed
        // counts too.
        QTest::addRow("DPI entry rows") << int(Mouse3395)
            << "dpiSlider0.visible = none; click dpiPlus0; click dpiMinus2; type dpiEntry3 12345; "
               "dpiEntry3.textValue = 12350; dpiSettingMain.isSave = true; call clearSaveFlags; "
               "typing dpiEntry4 7000; click saveButton; sent 03 p5 = 01; "
               "sent 03 d9 = c2 01 20 03 0e 06 3e 30 58 1b 80 3e e0 2e e0 2e c2 01 20 03 0e 06 3e 30 58 1b 80 3e e0 2e e0 2e; "
               "ini mouse/dpiValueArray = 450,800,1550,12350,7000,16000,12000,12000";
        QTest::addRow("macro on button 4, 3395") << int(Mouse3395) << macro;
        QTest::addRow("macro on button 4, 553") << int(Mouse553) << macro;
        // Position 82 of 200..12000 in steps of 100: the knob's centre is 6 pixels further on.
        // The reset brings back the factory values and keeps the stages in use; the stage the
        // device reports is highlighted.
        QTest::addRow("DPI sliders") << int(Mouse553)
            << "click dpiSlider1@88,3; dpiValue1.text = 6100; dpiSettingMain.isSave = true; choose dpiStageList 5; "
               "dpiSlider5.visible = true; click saveButton; sent 03 p5 = 01; sent 03 d4 = 06; "
               "sent 03 d9 = 90 01 d4 17; ini mouse/dpiValueArray = 400,6100,1600,3200,4800,6400,8000,12000; "
               "click dpiReset; dpiValue1.text = 800; dpiSettingMain.currentDpiCount = 6; "
               "dpiSettingMain.isSave = true; call syncFwReport 3 0 3 0 0; dpiValue2.color = #cf3e00";
        // At least one left button remains: the only one does not open, by row or hot spot; with a
        // second one either can be reassigned. The list's reset brings the factory buttons back.
        QTest::addRow("left button guard") << int(Mouse553)
            << "click hotspot0; keyAssigmentMain.visible = false; keyAssigmentMain.selectKey = -1; click hotspot2; "
               "keyAssigmentMain.visible = true; mouseMain.selectKey = 2; click choice2; click keyAssigmentClose; "
               "click keyRow0; keyAssigmentMain.visible = true; click choice4; click keyAssigmentClose; "
               "click keyRow2; keyAssigmentMain.visible = false; click keyMatrixReset; "
               "keyRowText0.text = Left Key; keyRowText2.text = Middle Key";
    }

    void rows()
    {
        QFETCH(int, mouse);
        QFETCH(QString, lines);
        scenetest::play(fresh(mouse), mouse, lines.split("; "), [this](const QStringList &w) { return custom(w); });
    }

    // The capture of our own windows (no X server here): the keys the user presses while the
    // dialog waits for a combination, Ctrl held with its auto-repeat, then A.
    void heldKeyInWindowCapture()
    {
        SceneRig &scene = fresh(Mouse553);
        InputHook hook(false);
        hook.setKeyboardCallback(forwardKeyboardToScene, scene.view());
        scenetest::play(scene, Mouse553, {"click keyRow3", "click keyGroup2", "click comboKeyField"});
        QWindow *window = scene.view()->window()->windowHandle();
        QTest::keyPress(window, Qt::Key_Control);
        for (int i = 0; i < 3; ++i)
            for (QEvent::Type type : {QEvent::KeyRelease, QEvent::KeyPress}) {
                QKeyEvent repeat(type, Qt::Key_Control, Qt::ControlModifier, QString(), true);
                QCoreApplication::sendEvent(window, &repeat);
            }
        QTest::keyPress(window, Qt::Key_A, Qt::ControlModifier);
        QTest::keyRelease(window, Qt::Key_A, Qt::ControlModifier);
        QTest::keyRelease(window, Qt::Key_Control);
        scenetest::play(scene, Mouse553, {"keyAssigmentMain.isComboInput = false",
                                          "keyAssigmentMain.keyString = LCtrl + A", "keyAssigmentMain.keyCode1 = 1"});
    }
};

QTEST_MAIN(ButtonsTest)
#include "tst_buttons.moc"
