// SPDX-License-Identifier: GPL-3.0-or-later
// Keys pressed while another program's window has the focus, through the desktop-wide X11
// capture on a private X server, reach the assignment dialog and the macro editor.
#include "scene_helper.h"
#include "xvfb_helper.h"

#include "input/inputforward.h"
#include "input/inputhook.h"

#include <QQuickItem>
#include <QtTest>

using namespace vdev;
using scenetest::SceneRig;

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
