// The button and DPI pages as a user drives them: the assignment dialog's functions, key
// capture through the path of the input capture, the left-button guard, macros on a button,
// the DPI sliders and entry rows. Assertions are on the wire and the INI files after "Save".

#include "scene_helper.h"

#include "input/inputforward.h"
#include "input/inputhook.h"

#include <QKeyEvent>
#include <QQuickItem>
#include <QStandardPaths>
#include <QtTest>


using namespace vdev;
using scenetest::Command;
using scenetest::SceneRig;

namespace {

QByteArray hex(const QByteArray &bytes)
{
    return bytes.toHex(' ');
}

QString stored(SceneRig &scene, int mouse, const QString &key)
{
    return scene.profile(mouse, 0)->value(key).toStringList().join(',');
}

// The last parameter block 1 on the wire.
Command lastBlock1(SceneRig &scene)
{
    Command found;
    for (const Command &c : scene.commands())
        if (c.code() == 0x03)
            found = c;
    return found;
}

} // namespace

class ButtonsTest : public QObject
{
    Q_OBJECT

    // The scene of one virtual mouse, kept for the tests that follow on the same mouse (the
    // virtual mice of two scenes would share the hidapi seam). Each test starts from fresh().
    std::unique_ptr<SceneRig> m_scene;
    int m_mouse = -1;

    SceneRig &fresh(int mouse)
    {
        if (mouse != m_mouse) {
            m_scene.reset();
            m_scene = std::make_unique<SceneRig>(std::initializer_list<int>{mouse});
            m_mouse = mouse;
        }
        SceneRig *scene = m_scene.get();
        scene->call(scene->item("keyAssigmentMain"), "close");
        scene->call("initPages", {false});
        scene->clearWire();
        return *scene;
    }

    static void open(SceneRig &scene, int button)
    {
        scene.clickItem(QString("keyRow%1").arg(button));
        QVERIFY(scene.item("keyAssigmentMain")->isVisible());
    }

    // Key events as the input capture hands them over.
    static void key(SceneRig &scene, bool isDown, int code)
    {
        forwardKeyboardToScene(uchar(code), isDown, scene.view());
        QCoreApplication::processEvents();
    }

    static void type(SceneRig &scene, const QString &field, const QString &text, bool confirm = true)
    {
        scene.clickItem(field);
        QTest::keyClick(scene.view(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(scene.view(), text);
        if (confirm)
            QTest::keyClick(scene.view(), Qt::Key_Return);
    }

    // Steps: "tab N", "click NAME", "down XX" / "up XX" (key codes in hex), "rate N" (rate
    // slider index), "type NAME TEXT" (then Enter), "typing NAME TEXT" (no Enter), "close".
    static void run(SceneRig &scene, const QStringList &steps)
    {
        for (const QString &step : steps) {
            const QStringList w = step.split(' ');
            if (w[0] == "tab")
                scene.clickItem("keyGroup" + w[1]);
            else if (w[0] == "click")
                scene.clickItem(w[1]);
            else if (w[0] == "down" || w[0] == "up")
                key(scene, w[0] == "down", w[1].toInt(nullptr, 16));
            else if (w[0] == "rate")
                scene.call(scene.item("fireRateSlider")->property("sliderControl").value<QObject *>(),
                           "setIndexValue", {w[1].toInt(), true});
            else if (w[0] == "type" || w[0] == "typing")
                type(scene, w[1], w[2], w[0] == "type");
            else if (w[0] == "close")
                scene.clickItem("keyAssigmentClose");
            else
                QFAIL(qPrintable("unknown step " + step));
        }
    }

private slots:
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void cleanupTestCase() { m_scene.reset(); }

    void assign_data()
    {
        QTest::addColumn<int>("button");
        QTest::addColumn<QStringList>("steps");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("changed");
        // Button 4 (index 3) is the forward button on the 560.
        QTest::newRow("closed unchanged") << 3 << QStringList{"tab 3", "click choice28", "tab 0", "click choice5"}
                                          << "0,0,244,0" << "Forward Key" << false;
        QTest::newRow("fire, 20 ms, endless")
            << 3 << QStringList{"tab 1", "click fireKeyField", "up 1e", "down 1e", "down 1f", "rate 19"}
            << "1,30,20,0" << "1" << true;
        // The button's own rate (20 ms) is kept.
        QTest::newRow("fire, 5 times, then endless")
            << 3 << QStringList{"tab 1", "type fireTimesInput 5", "click fireKeyField", "down 2c", "click fireEndlessBox"}
            << "1,44,20,0" << "Space" << true;
        // Closed while the number is still being typed: it counts as if Enter had been pressed.
        QTest::newRow("fire, 7 times, no Enter")
            << 3 << QStringList{"tab 1", "click fireKeyField", "down 2c", "typing fireTimesInput 7"}
            << "1,44,20,7" << "Space" << true;
        QTest::newRow("media") << 3 << QStringList{"tab 3", "click choice28"} << "3,0,181,0" << "Next" << true;
        QTest::newRow("shortcut") << 3 << QStringList{"tab 7", "click choice50"} << "7,0,224,29" << "Undo" << true;
        QTest::newRow("gun") << 3 << QStringList{"tab 8", "click choice54"} << "8,0,2,0" << "Two Gun" << true;
        // The dialog's reset puts the factory definition back at once.
        QTest::newRow("dialog reset") << 5 << QStringList{"tab 3", "click choice27", "click keyAssigmentReset"}
                                      << "5,0,1,0" << "DPI+" << true;
    }

    void assign()
    {
        QFETCH(int, button);
        QFETCH(QStringList, steps);
        QFETCH(QString, codes);
        QFETCH(QString, text);
        QFETCH(bool, changed);
        SceneRig &scene = fresh(Mouse560);
        open(scene, button);
        run(scene, steps << "close");
        QVERIFY(!scene.item("keyAssigmentMain")->isVisible());
        // The keys typed next go to nothing hidden.
        QQuickItem *focus = scene.view()->quickWindow()->activeFocusItem();
        QVERIFY(!focus || focus->isVisible());
        QCOMPARE(scene.item("mouseMain")->property("selectKey").toInt(), -1);
        QCOMPARE(scene.item(QString("keyRowText%1").arg(button))->property("text").toString(), text);
        QCOMPARE(scene.item("keyMatrixMain")->property("isSave").toBool(), changed);

        scene.clickItem("saveButton");
        QCOMPARE(stored(scene, Mouse560, QString("mouseKeyMatrix/%1").arg(button)), codes);
        if (changed) {
            const Command block1 = lastBlock1(scene);
            QCOMPARE(block1.code(), 0x03);
            QCOMPARE(int(uchar(block1.payload.at(5))), 4);
        }
        // Read back from the profile, the definition shows the same text.
        scene.call("initPages", {false});
        QCOMPARE(scene.item(QString("keyRowText%1").arg(button))->property("text").toString(), text);
    }

    // Key combinations captured on button 4: the capture takes at most three keys, modifiers
    // counted; "Save" sends the modifiers as keys before the others (key 1 last), as the device
    // takes its own shortcuts.
    void combination_data()
    {
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("codes");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("wire");
        const auto row = [](const char *name, const char *keys, const char *codes, const char *text, const char *wire) {
            QTest::newRow(name) << QString(keys).split(',') << codes << text << QByteArray(wire);
        };
        row("Ctrl + C, a held key once", "down e0,down e0,down 06,up 06", "2,1,6,0", "LCtrl + C", "06 e0 00 01");
        row("Ctrl + Shift + A, ends at a release", "down e0,down e1,down 04,up 04,down 05", "2,3,4,0",
            "LCtrl + LShift + A", "04 e1 e0 01");
        row("Alt + Space + X", "down e2,down 2c,down 1b,up 1b", "2,4,44,27", "LAlt + Space + X", "2c 1b e2 01");
        row("three keys at most", "down e0,down 04,down 05,down e1,down 06,up 06", "2,1,4,5", "LCtrl + A + B",
            "04 05 e0 01");
        row("two keys at most", "down 04,down 04,down 05,down 06,up 06", "2,0,4,5", "A + B", "04 05 00 01");
    }

    void combination()
    {
        QFETCH(QStringList, keys);
        QFETCH(QString, codes);
        QFETCH(QString, text);
        QFETCH(QByteArray, wire);
        SceneRig &scene = fresh(Mouse560);
        open(scene, 3);
        run(scene, QStringList{"tab 2", "click comboKeyField"} << keys << "close");
        QCOMPARE(scene.item("keyRowText3")->property("text").toString(), text);
        scene.clickItem("saveButton");
        QCOMPARE(stored(scene, Mouse560, "mouseKeyMatrix/3"), codes);
        QCOMPARE(hex(lastBlock1(scene).data.mid(128 + 12, 4)), wire);
    }

    // A macro on button 4: sent to that button's macro slot on closing, its name stored, and
    // "Save" sends the button as a macro key.
    void macroOnButton4_data()
    {
        QTest::addColumn<int>("mouse");
        // In this order, the scene of the test before and of the one after serve too.
        QTest::newRow("560") << Mouse560;
        QTest::newRow("3395") << Mouse3395;
        QTest::newRow("553") << Mouse553;
    }

    void macroOnButton4()
    {
        QFETCH(int, mouse);
        SceneRig &scene = fresh(mouse);
        myQQuickView *view = scene.view();
        QVERIFY(view->createMacroIni("Burst", 0).toBool());
        QVERIFY(view->saveMacroIni("Burst", {"1,A", "0,50", "2,A"}, 2).toBool());
        QVERIFY(view->updataNameList(0, {"Burst"}).toBool());
        scene.call(scene.item("macroEditorMain"), "init");

        open(scene, 3);
        scene.clickItem("keyGroup4");
        scene.choose("macroList", 0);
        run(scene, {"click macroMode2", "close"});
        QCOMPARE(scene.item("keyRowText3")->property("text").toString(), QString("Burst"));
        QCOMPARE(scene.profile(mouse, 0)->value("mouseMacroKey/3").toString(), QString("Burst"));
        scene.device().withFirmware(mouse, [](VirtualFirmware &f) {
            QVERIFY(f.state().macroWritten & (1 << 3));
            // Repeat count low byte first, A pressed, A released.
            const auto &m = f.state().macro[3];
            QCOMPARE(hex(QByteArray(reinterpret_cast<const char *>(m.data()), 6)).left(5), QByteArray("02 00"));
            QCOMPARE(int(m[3]), 0x04);
            QCOMPARE(int(m[5]), 0x04);
        });

        scene.clearWire();
        scene.clickItem("saveButton");
        const Command block1 = lastBlock1(scene);
        QCOMPARE(block1.code(), 0x03);
        QCOMPARE(int(uchar(block1.payload.at(5))), 4);
        // 04 02 03 00 in the parameter form: 05 (mode + 1) 00 (slot), stored in reverse.
        QCOMPARE(hex(block1.data.mid(128 + 12, 4)), QByteArray("03 00 03 05"));
        QCOMPARE(stored(scene, mouse, "mouseKeyMatrix/3"), QString("4,2,3,0"));
    }

    // At least one left button remains: the only one does not open, by row or hot spot.
    void leftButtonGuard()
    {
        SceneRig &scene = fresh(Mouse553);
        QQuickItem *dialog = scene.item("keyAssigmentMain");
        scene.clickItem("hotspot0");
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->property("selectKey").toInt(), -1);
        // A second left button: now either can be reassigned.
        scene.clickItem("hotspot2");
        QVERIFY(dialog->isVisible());
        QCOMPARE(scene.item("mouseMain")->property("selectKey").toInt(), 2);
        run(scene, {"click choice2", "close"});
        open(scene, 0);
        run(scene, {"click choice4", "close"});
        scene.clickItem("keyRow2");
        QVERIFY(!dialog->isVisible());
        // The list's reset brings the factory buttons back.
        scene.clickItem("keyMatrixReset");
        QCOMPARE(scene.item("keyRowText0")->property("text").toString(), QString("Left Key"));
        QCOMPARE(scene.item("keyRowText2")->property("text").toString(), QString("Middle Key"));
    }

    // The capture of our own windows (no X server here): the keys the user presses while the
    // dialog waits for a combination, Ctrl held with its auto-repeat, then A.
    void heldKeyInWindowCapture()
    {
        SceneRig &scene = fresh(Mouse553);
        InputHook hook(false);
        hook.setKeyboardCallback(forwardKeyboardToScene, scene.view());
        open(scene, 3);
        run(scene, {"tab 2", "click comboKeyField"});
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
        QTRY_VERIFY(!scene.item("keyAssigmentMain")->property("isComboInput").toBool());
        QCOMPARE(scene.item("keyAssigmentMain")->property("keyString").toString(), QString("LCtrl + A"));
        QCOMPARE(scene.item("keyAssigmentMain")->property("keyCode1").toInt(), 1);
    }

    void dpiSliders()
    {
        SceneRig &scene = fresh(Mouse553);
        QQuickItem *dpi = scene.item("dpiSettingMain");
        // Position 82 of 200..12000 in steps of 100: the knob's centre is 6 pixels further on.
        scene.clickItem("dpiSlider1", QPointF(82 + 6, 3));
        QTRY_COMPARE(scene.item("dpiValue1")->property("text").toString(), QString("6100"));
        QVERIFY(dpi->property("isSave").toBool());
        scene.choose("dpiStageList", 5);
        QVERIFY(scene.item("dpiSlider5")->isVisible());
        scene.clickItem("saveButton");
        const Command block1 = lastBlock1(scene);
        QCOMPARE(block1.code(), 0x03);
        QCOMPARE(int(uchar(block1.payload.at(5))), 1);
        QCOMPARE(int(uchar(block1.data.at(4))), 6);
        QCOMPARE(hex(block1.data.mid(9, 4)), QByteArray("90 01 d4 17"));
        QCOMPARE(stored(scene, Mouse553, "mouse/dpiValueArray"), QString("400,6100,1600,3200,4800,6400,8000,12000"));

        // The reset button brings back the factory values and keeps the stages in use.
        scene.clickItem("dpiReset");
        QCOMPARE(scene.item("dpiValue1")->property("text").toString(), QString("800"));
        QCOMPARE(dpi->property("currentDpiCount").toInt(), 6);
        QVERIFY(dpi->property("isSave").toBool());

        // The stage the device reports is highlighted.
        scene.call("syncFwReport", {3, 0, 3, 0, 0});
        QCOMPARE(scene.item("dpiValue2")->property("color").value<QColor>(), QColor("#cf3e00"));
    }

    // The 3395 sensor: six entry rows, sent with 12000 twice after them.
    void dpiEntryRows()
    {
        SceneRig &scene = fresh(Mouse3395);
        // Only the form in use is built.
        QVERIFY(!vdevtest::findItem(scene.root(), "dpiSlider0"));
        scene.clickItem("dpiPlus0");
        scene.clickItem("dpiMinus2");
        type(scene, "dpiEntry3", "12345");
        QCOMPARE(scene.item("dpiEntry3")->property("textValue").toString(), QString("12350"));
        QVERIFY(scene.item("dpiSettingMain")->property("isSave").toBool());
        // A value still being typed when "Save" is pressed counts too.
        scene.call("clearSaveFlags");
        type(scene, "dpiEntry4", "7000", false);
        scene.clickItem("saveButton");
        const Command block1 = lastBlock1(scene);
        QCOMPARE(block1.code(), 0x03);
        QCOMPARE(int(uchar(block1.payload.at(5))), 1);
        // 450, 800, 1550, 12350, 7000, 16000, then 12000, 12000; the second copy alike.
        QCOMPARE(hex(block1.data.mid(9, 16)), QByteArray("c2 01 20 03 0e 06 3e 30 58 1b 80 3e e0 2e e0 2e"));
        QCOMPARE(block1.data.mid(25, 16), block1.data.mid(9, 16));
        QCOMPARE(stored(scene, Mouse3395, "mouse/dpiValueArray"),
                 QString("450,800,1550,12350,7000,16000,12000,12000"));
    }
};

QTEST_MAIN(ButtonsTest)
#include "tst_buttons.moc"
