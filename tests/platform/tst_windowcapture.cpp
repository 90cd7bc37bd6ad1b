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
struct RecordingSink : InputSink
{
    QStringList events;
    void keyEvent(quint32 scanCode, quint32 flags, bool isDown) override
    {
        events << QString::asprintf("%02X%s%c", scanCode, flags & 1 ? "e" : "", isDown ? '+' : '-');
    }
    void mouseEvent(quint32 message, qint32 x, qint32 y) override
    {
        events << QString::asprintf("m%X@%d,%d", message, x, y);
    }
};

QStringList keyReports;
void recordKey(uchar code, uchar isDown, void *)
{
    keyReports << QString::asprintf("%02X%c", code, isDown ? '+' : '-');
}

// A top-level window holding an embedded scene, like the program's main window.
struct MainWindow
{
    QWidget widget;
    QQuickWidget *scene = nullptr;
    MainWindow()
    {
        auto *layout = new QVBoxLayout(&widget);
        scene = new QQuickWidget(&widget);
        scene->setResizeMode(QQuickWidget::SizeRootObjectToView);
        layout->addWidget(scene);
        widget.resize(300, 200);
        widget.show();
        widget.activateWindow();
        scene->setFocus();
    }
    QWindow *window() const { return widget.windowHandle(); }
};
} // namespace

class TestWindowCapture : public QObject
{
    Q_OBJECT
private slots:
    void qtKeys_data();
    void qtKeys();
    void eachEventCountsOnce();
    void buttons();
    void hookFallsBackToOwnWindows();
};

void TestWindowCapture::qtKeys_data()
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

void TestWindowCapture::qtKeys()
{
    QFETCH(int, key);
    QFETCH(bool, keypad);
    QFETCH(int, scan);
    quint32 scanCode = 0;
    quint32 flags = 0;
    const bool known = scanCodeFromQtKey(key, keypad ? Qt::KeypadModifier : Qt::NoModifier, &scanCode, &flags);
    QCOMPARE(known ? int(scanCode << 8 | flags) : 0, scan);
}

void TestWindowCapture::eachEventCountsOnce()
{
    // A key travels from the window to the widget and on into the embedded scene: one report.
    RecordingSink sink;
    WindowCapture capture(&sink);
    QVERIFY(capture.install());
    MainWindow main;
    QVERIFY(QTest::qWaitForWindowExposed(&main.widget));
    QTest::keyClick(main.window(), Qt::Key_A);
    QTest::keyClick(main.window(), Qt::Key_Enter, Qt::KeypadModifier);
    QCOMPARE(sink.events.join(' '), QString("1E+ 1E- 1Ce+ 1Ce-"));
}

void TestWindowCapture::buttons()
{
    RecordingSink sink;
    WindowCapture capture(&sink);
    QVERIFY(capture.install());
    MainWindow main;
    QVERIFY(QTest::qWaitForWindowExposed(&main.widget));
    const QPoint at(20, 30);
    const QPoint global = main.window()->mapToGlobal(at);
    const QString where = QString("@%1,%2").arg(global.x()).arg(global.y());

    QTest::mouseClick(main.window(), Qt::RightButton, Qt::NoModifier, at);
    QTest::mouseClick(main.window(), Qt::BackButton, Qt::NoModifier, at);
    QCOMPARE(sink.events.join(' '), QString("m204%1 m205%1").arg(where));

    // A double click: each press and release once, the double-click event itself ignored.
    sink.events.clear();
    QTest::mouseDClick(main.window(), Qt::MiddleButton, Qt::NoModifier, at);
    QCOMPARE(sink.events.join(' '), QString("m207%1 m208%1 m207%1 m208%1").arg(where));
}

void TestWindowCapture::hookFallsBackToOwnWindows()
{
    // No X server here: the hook settles for our own windows and still reports key codes.
    InputHook hook;
    QVERIFY(hook.isInstalled());
    QVERIFY2(QByteArray(hook.captureDescription()).contains("own windows"), hook.captureDescription());
    keyReports.clear();
    hook.setKeyboardCallback(recordKey, nullptr);
    MainWindow main;
    QVERIFY(QTest::qWaitForWindowExposed(&main.widget));
    QTest::keyPress(main.window(), Qt::Key_Shift);
    QTest::keyClick(main.window(), Qt::Key_1, Qt::ShiftModifier);
    QTest::keyRelease(main.window(), Qt::Key_Shift);
    QCOMPARE(keyReports.join(' '), QString("E1+ 1E+ 1E- E1-"));
}

QTEST_MAIN(TestWindowCapture)
#include "tst_windowcapture.moc"
