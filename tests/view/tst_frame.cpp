// The window frame around the scene: screen geometry and switching while dragging, the busy
// lock, keys reaching the scene, and the queued call into the scene.
#include "app/screensource.h"
#include "app/widget.h"
#include "view/myqquickview.h"
#include "view/ui_controler.h"

#include <QtTest>

#include <QQuickItem>
#include <QScreen>
#include <QWindow>

#include <memory>

namespace {

class FakeScreens : public ScreenSource
{
public:
    explicit FakeScreens(QList<QRect> rects) : rects(std::move(rects)) {}
    QList<QRect> screenGeometries() const override { return rects; }
    void set(QList<QRect> r) { rects = std::move(r); emit resized(0); }
    QList<QRect> rects;
};

} // namespace

class tst_Frame : public QObject
{
    Q_OBJECT
private:
    std::unique_ptr<Widget> w;
    myQQuickView *view() const { return w->view(); }

private slots:
    void init() { w = std::make_unique<Widget>(); }
    void cleanup() { w.reset(); }

    void screenGeometry()
    {
        const QRect wide(0, 0, 2560, 1440), full(0, 0, 1920, 1080), right(2560, 0, 3840, 2160);
        auto *screens = new FakeScreens({wide});
        w->setScreenSource(screens);
        QCOMPARE(w->screenRect0, wide);
        QVERIFY(w->screenRect1.isNull());
        QCOMPARE(w->screenRect1.width(), 0);
        QCOMPARE(w->size(), QSize(1365, 853));  // the scene scaled to 2560 / 1920

        screens->set({full, right});
        QCOMPARE(w->screenRect0, full);
        QCOMPARE(w->screenRect1, right);
        QCOMPARE(w->size(), QSize(1024, 640));

        // Any other count: screen 0 is re-read, screen 1 keeps its last value.
        screens->set({wide, QRect(0, 0, 800, 600), QRect(0, 0, 640, 480)});
        QCOMPARE(w->screenRect0, wide);
        QCOMPARE(w->screenRect1, right);

        // A resolution change while on screen 1 scales to screen 1.
        w->onFirstScreen = false;
        screens->set({full, right});
        QCOMPARE(w->size(), QSize(2048, 1280));
    }

    void dragAcrossScreens_data()
    {
        QTest::addColumn<QList<QRect>>("screens");
        QTest::addColumn<bool>("startFirst");
        QTest::addColumn<int>("startX");
        QTest::addColumn<int>("limit");   // the largest move that keeps the screen
        QTest::addColumn<int>("width");
        QTest::addColumn<int>("switchedWidth");
        const QRect s0(0, 0, 1920, 1080);
        const QList<QRect> toRight{s0, QRect(1920, 0, 2560, 1440)};   // window 1024 / 1365 wide
        const QList<QRect> toLeft{s0, QRect(-2560, 0, 2560, 1440)};
        QTest::newRow("right: W0") << toRight << true << 1000 << 920 << 1024 << 1365;
        QTest::newRow("right, back: W0-ww") << toRight << false << 2000 << -1445 << 1365 << 1024;
        QTest::newRow("left: -ww") << toLeft << true << 0 << -1024 << 1024 << 1365;
        QTest::newRow("left, back: 0") << toLeft << false << -500 << 500 << 1365 << 1024;
        // Screen 1 is a null rect: off to the left scales 1.0.
        QTest::newRow("single: -ww") << QList<QRect>{QRect(0, 0, 2560, 1440)} << true << 0 << -1365 << 1365 << 1024;
    }
    void dragAcrossScreens()
    {
        QFETCH(QList<QRect>, screens);
        QFETCH(bool, startFirst);
        QFETCH(int, startX);
        QFETCH(int, limit);
        w->onFirstScreen = startFirst;
        w->setScreenSource(new FakeScreens(screens));
        // Exactly on the limit no switch (the comparisons are strict); one pixel beyond, a switch
        // and a rescale to the other screen.
        for (int beyond : {0, limit > 0 ? 1 : -1}) {
            w->move(startX, 40);
            w->ui->onXChanged(limit + beyond);
            QCOMPARE(w->onFirstScreen, beyond ? !startFirst : startFirst);
            QTEST(w->width(), beyond ? "switchedWidth" : "width");
            QCOMPARE(w->pos(), QPoint(startX + limit + beyond, 40));
        }
    }

    // Where the window system moves the window itself, the screen it lands on decides the scale.
    void screenChosenByTheWindowSystem()
    {
        QScreen *screen = QGuiApplication::primaryScreen();
        w->setScreenSource(new FakeScreens({QRect(-2560, 0, 2560, 1440), screen->geometry()}));
        w->show();
        QCOMPARE(w->width(), 1365);
        emit w->windowHandle()->screenChanged(screen);
        QVERIFY(!w->onFirstScreen);
        QCOMPARE(w->width(), 1024);
    }

    void busyLock()
    {
        // Direct calls: the scene has locked or released the view before the call returns.
        w->ui->setBusy(60000);
        QVERIFY(!view()->isEnabled());
        w->ui->setBusy();
        QVERIFY(view()->isEnabled());
        view()->setBusy(60000);
        QVERIFY(!view()->isEnabled());
        view()->setBusy(0);
        QVERIFY(view()->isEnabled());
    }

    void runUiEvent()
    {
        view()->setSource(QUrl::fromLocalFile(QStringLiteral(MOUSECFG_SOURCE_DIR "/tests/view/frame_probe.qml")));
        QQuickItem *probe = view()->rootObject();
        QVERIFY(probe);

        // The view's focus handling hands the focus on to the scene, whose items then get keys.
        QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(view(), &focusIn);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(view(), &press);
        QCOMPARE(probe->property("keyCount").toInt(), 1);

        QCoreApplication::postEvent(w.get(), new RunUiEvent(2176));
        QCoreApplication::postEvent(w.get(), new QEvent(RunUiEvent::EventType));
        QCoreApplication::processEvents();
        QCoreApplication::processEvents();
        QCOMPARE(probe->property("runCount").toInt(), 0);

        QCoreApplication::postEvent(w.get(), new RunUiEvent);
        QCoreApplication::processEvents();  // the event, which queues the scene's run
        QCoreApplication::processEvents();
        QCOMPARE(probe->property("runCount").toInt(), 1);
    }
};

QTEST_MAIN(tst_Frame)
#include "tst_frame.moc"
