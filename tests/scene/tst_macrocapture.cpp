// Recording a macro from the whole X11 desktop on a private X server: keys sent through XTEST
// while another program's window has the focus reach the macro editor through the real
// capture, and a held key (its press repeated) gives one press row.

#include "scene_helper.h"
#include "xvfb_helper.h"

#include "input/inputforward.h"
#include "input/inputhook.h"

#include <QQuickItem>
#include <QStandardPaths>
#include <QtTest>

using namespace vdev;
using scenetest::SceneRig;

class MacroCaptureTest : public QObject
{
    Q_OBJECT
public:
    MacroCaptureTest(const QByteArray &display, const QString &whyNoX)
        : m_display(display), m_whyNoX(whyNoX)
    {
    }

private slots:
    void initTestCase()
    {
        if (m_display.isEmpty())
            QSKIP(qPrintable(QStringLiteral("X11 recording not tested: %1").arg(m_whyNoX)));
        QStandardPaths::setTestModeEnabled(true);
    }

    void recordFromAnotherWindow()
    {
        SceneRig scene({Mouse560});
        InputHook hook(false);
        QVERIFY2(QByteArray(hook.captureDescription()).contains("XInput2"), hook.captureDescription());
        hook.setKeyboardCallback(forwardKeyboardToScene, scene.view());

        scene.clickItem("macroEditorButton");
        scene.clickItem("macroNewButton");
        scene.clickItem("macroRecordButton");
        QObject *events = scene.item("macroEditorMain")->property("eventModel").value<QObject *>();

        XClient other(m_display);
        other.focusOwnWindow();
        QVERIFY(other.hasFocus());
        other.tap(38);
        for (int i = 0; i < 3; ++i)
            other.key(56, true);
        other.key(56, false);
        other.sync();
        QTRY_COMPARE_WITH_TIMEOUT(events->property("count").toInt(), 4, 10000);
        scene.clickItem("macroRecordButton");
        QCOMPARE(scene.view()->loadMacroIni("Macro_0"), (QStringList{"1,A", "2,A", "1,B", "2,B", "1"}));
    }

private:
    QByteArray m_display;
    QString m_whyNoX;
};

int main(int argc, char **argv)
{
    return runOnXvfb<MacroCaptureTest>(argc, argv);
}

#include "tst_macrocapture.moc"
