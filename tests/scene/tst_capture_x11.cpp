// SPDX-License-Identifier: GPL-3.0-or-later
// The desktop-wide capture end to end on a private X server: keys and buttons sent through XTEST
// while another program's window has the focus arrive in the scene as detectKeyboard and
// detectMouse calls with the right codes, still reach that window, and held keys reach the
// assignment dialog and the macro editor.
#include "input/inputforward.h"
#include "input/inputhook.h"
#include "platform/linux/windowcapture.h"
#include "scene_helper.h"
#include "testsupport.h"
#include "view/myqquickview.h"
#include "xvfb_helper.h"

#include <QQuickItem>
#include <QRasterWindow>
#include <QTemporaryDir>
#include <QtTest>

using namespace vdev;
using scenetest::SceneRig;

namespace {
const char sceneQml[] = R"(
import QtQuick
Item {
    property string keys: ""
    property string buttons: ""
    property bool typesOk: true
    function detectKeyboard(isDown, usbCode) {
        if (typeof isDown !== "boolean" || typeof usbCode !== "number")
            typesOk = false
        keys += usbCode.toString(16).toUpperCase() + (isDown ? "+ " : "- ")
    }
    function detectMouse(isDown, buttonCode, x, y) {
        if (typeof isDown !== "boolean")
            typesOk = false
        buttons += buttonCode.toString(16).toUpperCase() + (isDown ? "+" : "-") + "@" + x + "," + y + " "
    }
}
)";

struct RecordingSink : InputSink
{
    QStringList events;
    void keyEvent(quint32 scanCode, quint32 flags, bool isDown) override
    {
        events << QString::asprintf("%02X%s%c", scanCode, flags & 1 ? "e" : "", isDown ? '+' : '-');
    }
    void mouseEvent(quint32, qint32, qint32) override {}
};
} // namespace

class CaptureX11Test : public XvfbTestCase
{
    Q_OBJECT
public:
    using XvfbTestCase::XvfbTestCase;

private slots:
    void initTestCase()
    {
        if (m_display.isEmpty())
            QSKIP(qPrintable(QStringLiteral("X11 capture not tested: %1").arg(m_whyNoX)));
        QCOMPARE(QGuiApplication::platformName(), QStringLiteral("xcb"));
        QVERIFY2(XClient(m_display).isValid(), "the X server offers no XTEST extension");
    }

    void keysAndButtonsFromAnotherWindow()
    {
        QTemporaryDir dir;
        QVERIFY(testsupport::writeFile(dir.filePath("scene.qml"), sceneQml));
        myQQuickView view;
        view.setSource(QUrl::fromLocalFile(dir.filePath("scene.qml")));
        QVERIFY2(view.rootObject(), "scene did not load");

        // In a Wayland session an X11 client would see only other X11 clients' keys.
        qputenv("XDG_SESSION_TYPE", "wayland");
        InputHook hook(false);
        QVERIFY2(QByteArray(hook.captureDescription()).contains("own windows"), hook.captureDescription());
        qputenv("XDG_SESSION_TYPE", "x11");
        QVERIFY(hook.installHooks());
        QVERIFY2(QByteArray(hook.captureDescription()).contains("XInput2"), hook.captureDescription());
        hook.setKeyboardCallback(forwardKeyboardToScene, &view);
        hook.setMouseCallback(forwardMouseToScene, &view);

        XClient other(m_display);
        other.focusOwnWindow();
        QVERIFY(other.hasFocus());

        // One press and one release each (X keycode = evdev code + 8): A, Enter and keypad Enter,
        // both Shifts, right Ctrl, both Windows keys, Pause and Num Lock, Scroll Lock, Print Screen,
        // Home and keypad 7, F12: the pairs that differ only by the extended flag and the keys the
        // translation treats specially.
        const struct
        {
            quint8 keycode;
            const char *code;
        } keys[] = {{38, "4"},   {36, "28"}, {104, "58"}, {50, "E1"},  {62, "E5"},
                    {105, "E4"}, {133, "E3"}, {134, "E7"}, {127, "48"}, {77, "53"},
                    {78, "47"},  {107, "46"}, {110, "4A"}, {79, "5F"},  {96, "45"}};
        QString expected;
        for (const auto &k : keys) {
            other.tap(k.keycode);
            expected += QString("%1+ %1- ").arg(k.code);
        }
        QObject *root = view.rootObject();
        QTRY_COMPARE_WITH_TIMEOUT(root->property("keys").toString(), expected, 10000);
        // Nothing was grabbed: the focused window saw every press too.
        int keyPresses = 0, buttonPresses = 0;
        other.takePresses(&keyPresses, &buttonPresses);
        QCOMPARE(keyPresses, int(std::size(keys)));

        // A held key counts once: heldKeysFromTheDesktop holds keys into the pages.

        // Wheel notches (buttons 4 and 5) and side buttons are never reported.
        other.moveTo(123, 45);
        for (quint8 button : {1, 4, 3, 2, 8})
            other.click(button);
        QTRY_COMPARE_WITH_TIMEOUT(root->property("buttons").toString(),
                                  QString("F0+@123,45 F0-@123,45 F1+@123,45 F1-@123,45 F2+@123,45 F2-@123,45 "),
                                  10000);
        QVERIFY(root->property("typesOk").toBool());

        other.takePresses(&keyPresses, &buttonPresses);
        QCOMPARE(buttonPresses, 5);

        // Removed: nothing more arrives.
        hook.removeHooks();
        QVERIFY(!hook.isInstalled());
        root->setProperty("keys", QString());
        other.tap(38);
        QTest::qWait(200);
        QCOMPARE(root->property("keys").toString(), QString());
    }

    void ownWindowFallbackUsesNativeKeycodes()
    {
        RecordingSink sink;
        WindowCapture capture(&sink);
        QVERIFY(capture.install());
        QRasterWindow window;
        window.resize(200, 200);
        window.show();
        window.requestActivate();
        QTRY_COMPARE_WITH_TIMEOUT(QGuiApplication::focusWindow(), static_cast<QWindow *>(&window), 10000);

        // Qt reports both Shift keys as Qt::Key_Shift; only the X keycode tells the right one.
        XClient keyboard(m_display);
        keyboard.tap(62);
        keyboard.tap(104);
        QTRY_COMPARE_WITH_TIMEOUT(sink.events.join(' '), QString("36+ 36- 1Ce+ 1Ce-"), 10000);
    }

    // Held Ctrl + A into the assignment dialog, then held Space as a fire key, then A and a
    // held B recorded by the macro editor.
    void heldKeysFromTheDesktop()
    {
        SceneRig scene({Mouse553});
        QVERIFY(QTest::qWaitForWindowExposed(scene.rig.widget.get()));
        InputHook hook(false);
        QVERIFY2(QByteArray(hook.captureDescription()).contains("XInput2"), hook.captureDescription());
        hook.setKeyboardCallback(forwardKeyboardToScene, scene.view());
        XClient other(m_display);
        other.focusOwnWindow();
        QVERIFY(other.hasFocus());
        QQuickItem *dialog = scene.item("keyAssigmentMain");

        // X keycodes: 37 left Ctrl, 38 A, 56 B, 65 Space.
        scenetest::play(scene, Mouse553, {"click keyRow3", "click keyGroup2", "click comboKeyField"});
        for (int i = 0; i < 3; ++i)
            other.key(37, true);
        other.tap(38);
        other.key(37, false);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->property("isComboInput").toBool(), 10000);
        QCOMPARE(dialog->property("keyString").toString(), QString("LCtrl + A"));

        scenetest::play(scene, Mouse553, {"click keyGroup1", "click fireKeyField"});
        for (int i = 0; i < 3; ++i)
            other.key(65, true);
        other.key(65, false);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->property("isFireInput").toBool(), 10000);
        scenetest::play(scene, Mouse553, {"click keyAssigmentClose", "keyRowText3.text = Space", "click saveButton",
                                          "ini mouseKeyMatrix/3 = 1,44,10,0", "click macroEditorButton",
                                          "click macroNewButton", "click macroRecordButton"});
        QQuickItem *editor = scene.item("macroEditorMain");
        QObject *events = editor->property("eventModel").value<QObject *>();
        other.tap(38);
        for (int i = 0; i < 3; ++i)
            other.key(56, true);
        other.key(56, false);
        other.sync();
        QTRY_COMPARE_WITH_TIMEOUT(events->property("count").toInt(), 4, 10000);
        scene.clickItem("macroRecordButton");
        QCOMPARE(scene.view()->loadMacroIni(editor->property("currentMacro")), (QStringList{"1,A", "2,A", "1,B", "2,B", "1"}));
    }
};

int main(int argc, char **argv)
{
    return runOnXvfb<CaptureX11Test>(argc, argv);
}

#include "tst_capture_x11.moc"
