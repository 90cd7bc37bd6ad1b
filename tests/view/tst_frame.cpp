// The window frame around the scene: screen geometry and switching while dragging, the busy
// lock, and the view's calls into the scene and their threads.
#include "app/screensource.h"
#include "app/widget.h"
#include "view/myqquickview.h"
#include "view/ui_controler.h"

#include <QtTest>

#include <QQuickItem>
#include <QThread>

#include <memory>

namespace {

class FakeScreens : public ScreenSource
{
public:
    explicit FakeScreens(QList<QRect> rects) : rects(std::move(rects)) {}
    QList<QRect> screenGeometries() const override { return rects; }
    void set(QList<QRect> r)
    {
        rects = std::move(r);
        emit resized(0);
    }
    QList<QRect> rects;
};

// Receives the scene's firmware-report signal and notes the thread it ran on.
class ReportSink : public QObject
{
    Q_OBJECT
public:
    QList<int> rates;
    bool allOnGuiThread = true;
public slots:
    void report(int type, int reportRate, int, int, int)
    {
        Q_UNUSED(type);
        rates << reportRate;
        allOnGuiThread = allOnGuiThread && QThread::currentThread() == qApp->thread();
    }
};

} // namespace

class tst_Frame : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void screenGeometry();
    void dragAcrossScreens_data();
    void dragAcrossScreens();
    void busyLock();
    void runUiEvent();
    void syncFwReportFromWorkerThread();

private:
    std::unique_ptr<Widget> w;
    myQQuickView *view() const { return w->view(); }
};

void tst_Frame::init()
{
    w = std::make_unique<Widget>();
}

void tst_Frame::cleanup()
{
    w.reset();
}

void tst_Frame::screenGeometry()
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

void tst_Frame::dragAcrossScreens_data()
{
    QTest::addColumn<QList<QRect>>("screens");
    QTest::addColumn<bool>("startFirst");
    QTest::addColumn<int>("startX");
    QTest::addColumn<int>("offset");
    QTest::addColumn<bool>("endFirst");
    QTest::addColumn<int>("endWidth");

    const QRect s0(0, 0, 1920, 1080);
    const QList<QRect> toRight{s0, QRect(1920, 0, 2560, 1440)};   // window 1024 / 1365 wide
    const QList<QRect> toLeft{s0, QRect(-2560, 0, 2560, 1440)};
    const QList<QRect> single{QRect(0, 0, 2560, 1440)};           // screen 1 is a null rect

    // Exactly on a limit: no switch (the comparisons are strict).
    QTest::newRow("right: at W0 stays") << toRight << true << 1000 << 920 << true << 1024;
    QTest::newRow("right, back: at W0-ww stays") << toRight << false << 2000 << -1445 << false << 1365;
    QTest::newRow("left: at -ww stays") << toLeft << true << 0 << -1024 << true << 1024;
    QTest::newRow("left, back: at 0 stays") << toLeft << false << -500 << 500 << false << 1365;
    QTest::newRow("single: at -ww stays") << single << true << 0 << -1365 << true << 1365;
    // One pixel beyond: switch and rescale to the other screen.
    QTest::newRow("right: past W0 switches") << toRight << true << 1000 << 921 << false << 1365;
    QTest::newRow("right, back: below W0-ww switches") << toRight << false << 2000 << -1446 << true << 1024;
    QTest::newRow("left: below -ww switches") << toLeft << true << 0 << -1025 << false << 1365;
    QTest::newRow("left, back: past 0 switches") << toLeft << false << -500 << 501 << true << 1024;
    QTest::newRow("single: off to the left scales 1.0") << single << true << 0 << -1366 << false << 1024;
}

void tst_Frame::dragAcrossScreens()
{
    QFETCH(QList<QRect>, screens);
    QFETCH(bool, startFirst);
    QFETCH(int, startX);
    QFETCH(int, offset);
    QFETCH(bool, endFirst);
    QFETCH(int, endWidth);

    w->onFirstScreen = startFirst;
    w->setScreenSource(new FakeScreens(screens));
    w->move(startX, 40);

    w->ui->onXChanged(offset);

    QCOMPARE(w->onFirstScreen, endFirst);
    QCOMPARE(w->width(), endWidth);
    QCOMPARE(w->pos(), QPoint(startX + offset, 40));
}

void tst_Frame::busyLock()
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

void tst_Frame::runUiEvent()
{
    view()->setSource(QUrl::fromLocalFile(QStringLiteral(MOUSECFG_SOURCE_DIR "/tests/view/frame_probe.qml")));
    QQuickItem *probe = view()->rootObject();
    QVERIFY(probe);

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

void tst_Frame::syncFwReportFromWorkerThread()
{
    ReportSink sink;
    QVERIFY(connect(view()->rootObject(), SIGNAL(fwReport(int,int,int,int,int)), &sink,
                    SLOT(report(int,int,int,int,int)), Qt::DirectConnection));

    view()->syncFwReport(2, 8, 1, 0, 1);  // from the GUI thread: at once
    QCOMPARE(sink.rates, QList<int>{8});

    constexpr int Reports = 50;
    std::unique_ptr<QThread> worker(QThread::create([this] {
        for (int i = 0; i < Reports; ++i)
            view()->syncFwReport(2, uchar(i), 1, 0, 1);
    }));
    worker->start();
    QVERIFY(worker->wait(10000));

    QTRY_COMPARE(sink.rates.size(), 1 + Reports);
    for (int i = 0; i < Reports; ++i)
        QCOMPARE(sink.rates.at(1 + i), i);
    QVERIFY(sink.allOnGuiThread);
}

QTEST_MAIN(tst_Frame)
#include "tst_frame.moc"
