// The capture of our own windows, used where the desktop gives no global view of the input.
#include "input/inputhook.h"
#include "platform/linux/windowcapture.h"

#include <QApplication>
#include <QQuickItem>
#include <QQuickWidget>
#include <QVBoxLayout>
#include <QWidget>
#include <QtTest>

namespace {
QStringList reports;
void recordKey(uchar code, uchar isDown, void *)
{
    reports << QString::asprintf("%02X%c", code, isDown ? '+' : '-');
}
void recordMouse(uchar button, uchar isDown, quint32 x, quint32 y, void *)
{
    reports << QString::asprintf("%02X%c@%u,%u", button, isDown ? '+' : '-', x, y);
}

} // namespace

class TestWindowCapture : public QObject
{
    Q_OBJECT
private slots:
    void qtKeys_data()
    {
        QTest::addColumn<int>("key");
        QTest::addColumn<bool>("keypad");
        QTest::addColumn<int>("scan"); // scan << 8 | extended, 0 for no key

        QTest::newRow("unknown key") << int(Qt::Key_LaunchMail) << false << 0;
        QTest::newRow("letter with keypad modifier falls back") << int(Qt::Key_A) << true << 0x1E00;
        QTest::newRow("A") << int(Qt::Key_A) << false << 0x1E00;
        QTest::newRow("shifted 1") << int(Qt::Key_Exclam) << false << 0x0200;
        QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << true << 0x1C01;
        QTest::newRow("Home") << int(Qt::Key_Home) << false << 0x4701;
        QTest::newRow("keypad Home") << int(Qt::Key_Home) << true << 0x4700;
        QTest::newRow("keypad slash") << int(Qt::Key_Slash) << true << 0x3501;
        QTest::newRow("keypad 0") << int(Qt::Key_0) << true << 0x5200;
        QTest::newRow("Num Lock") << int(Qt::Key_NumLock) << false << 0x4501;
    }

    void qtKeys()
    {
        QFETCH(int, key);
        QFETCH(bool, keypad);
        QFETCH(int, scan);
        quint32 scanCode = 0;
        quint32 flags = 0;
        const bool known = scanCodeFromQtKey(key, keypad ? Qt::KeypadModifier : Qt::NoModifier, &scanCode, &flags);
        QCOMPARE(known ? int(scanCode << 8 | flags) : 0, scan);
    }

    void hookFallsBackToOwnWindows()
    {
        // No X server here: the hook settles for our own windows and still reports key codes and
        // buttons, each event once although it travels from the window through the widget into the scene.
        InputHook hook;
        QVERIFY(hook.isInstalled());
        QVERIFY2(QByteArray(hook.captureDescription()).contains("own windows"), hook.captureDescription());
        reports.clear();
        hook.setKeyboardCallback(recordKey, nullptr);
        hook.setMouseCallback(recordMouse, nullptr);
        // A top-level window holding an embedded scene, like the program's main window.
        QWidget widget;
        auto *scene = new QQuickWidget(&widget);
        (new QVBoxLayout(&widget))->addWidget(scene);
        widget.resize(300, 200);
        widget.show();
        widget.activateWindow();
        scene->setFocus();
        QVERIFY(QTest::qWaitForWindowExposed(&widget));
        QWindow *window = widget.windowHandle();
        QTest::keyPress(window, Qt::Key_Shift);
        QTest::keyClick(window, Qt::Key_1, Qt::ShiftModifier);
        QTest::keyRelease(window, Qt::Key_Shift);
        QTest::keyClick(window, Qt::Key_Enter, Qt::KeypadModifier);
        QCOMPARE(reports.join(' '), QString("E1+ 1E+ 1E- E1- 58+ 58-"));

        // Side buttons are not reported; of a double click each press and release once, the
        // double-click event itself ignored.
        reports.clear();
        const QPoint at(20, 30);
        const QPoint global = window->mapToGlobal(at);
        QTest::mouseClick(window, Qt::RightButton, Qt::NoModifier, at);
        QTest::mouseClick(window, Qt::BackButton, Qt::NoModifier, at);
        QTest::mouseDClick(window, Qt::MiddleButton, Qt::NoModifier, at);
        QCOMPARE(reports.join(' '), QString("F1+@%1,%2 F1-@%1,%2 F2+@%1,%2 F2-@%1,%2 F2+@%1,%2 F2-@%1,%2")
                                        .arg(global.x()).arg(global.y()));
    }
};

QTEST_MAIN(TestWindowCapture)
#include "tst_windowcapture.moc"
