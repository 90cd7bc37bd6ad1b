// Key capture of the assignment dialog with the desktop-wide X11 capture: keys pressed while
// another program's window has the focus reach the dialog, and a held key (repeating presses)
// counts once.
#include "scene_helper.h"
#include "xvfb_helper.h"

#include "input/inputforward.h"
#include "input/inputhook.h"

#include <QApplication>
#include <QQuickItem>
#include <QStandardPaths>
#include <QtTest>

using scenetest::SceneRig;

class KeyCaptureX11Test : public XvfbTestCase
{
    Q_OBJECT
public:
    using XvfbTestCase::XvfbTestCase;

private slots:
    void initTestCase()
    {
        if (m_display.isEmpty())
            QSKIP(qPrintable(QStringLiteral("X11 capture not tested: %1").arg(m_whyNoX)));
        QStandardPaths::setTestModeEnabled(true);
    }

    void heldKeysFromTheDesktop()
    {
        SceneRig scene({vdev::Mouse553});
        QVERIFY(QTest::qWaitForWindowExposed(scene.rig.widget.get()));
        InputHook hook(false);
        QVERIFY2(QByteArray(hook.captureDescription()).contains("XInput2"), hook.captureDescription());
        hook.setKeyboardCallback(forwardKeyboardToScene, scene.view());
        XClient other(m_display);
        other.focusOwnWindow();
        QQuickItem *dialog = scene.item("keyAssigmentMain");

        // X keycodes: 37 left Ctrl, 38 A, 65 Space.
        scene.clickItem("keyRow3");
        scene.clickItem("keyGroup2");
        scene.clickItem("comboKeyField");
        for (int i = 0; i < 3; ++i)
            other.key(37, true);
        other.tap(38);
        other.key(37, false);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->property("isComboInput").toBool(), 10000);
        QCOMPARE(dialog->property("keyString").toString(), QString("LCtrl + A"));

        scene.clickItem("keyGroup1");
        scene.clickItem("fireKeyField");
        for (int i = 0; i < 3; ++i)
            other.key(65, true);
        other.key(65, false);
        QTRY_VERIFY_WITH_TIMEOUT(!dialog->property("isFireInput").toBool(), 10000);
        scene.clickItem("keyAssigmentClose");
        QCOMPARE(scene.item("keyRowText3")->property("text").toString(), QString("Space"));
        scene.clickItem("saveButton");
        QCOMPARE(scene.profile(vdev::Mouse553, 0)->value("mouseKeyMatrix/3").toStringList().join(','),
                 QString("1,44,10,0"));
    }
};

int main(int argc, char **argv)
{
    return runOnXvfb<KeyCaptureX11Test>(argc, argv);
}

#include "tst_keycapture_x11.moc"
