// SPDX-License-Identifier: GPL-3.0-or-later
// The main window outside the scene, and the frame around the scene.
#include "testsupport.h"
#include "app/copydata.h"
#include "app/livenotices.h"
#include "app/screensource.h"
#include "app/widget.h"
#include "platform/devicemonitor.h"
#include "platform/trayhost.h"
#include "view/myqquickview.h"
#include "view/settingsstore.h"
#include "view/ui_controler.h"
#include "../device/widget_rig.h"

#include <QtTest>

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QQuickItem>
#include <QScreen>
#include <QSettings>
#include <QWindow>

#include <memory>

namespace {
class FakeTrayHost : public TrayHost
{
public:
    bool available = false;
    QStringList notes;
    bool isAvailable() const override { return available; }
    void notify(const QString &app, const QString &title, const QString &text, int) override
    {
        notes << app + ": " + title + ": " + text;
    }
};

class FakeScreens : public ScreenSource
{
public:
    explicit FakeScreens(QList<QRect> rects) : rects(std::move(rects)) {}
    QList<QRect> screenGeometries() const override { return rects; }
    void set(QList<QRect> r) { rects = std::move(r); emit resized(0); }
    QList<QRect> rects;
};
} // namespace

class tst_Widget : public QObject
{
    Q_OBJECT
private slots:
    // Notifications go to a fake service on a bus of this test's own.
    void initTestCase()
    {
        QVERIFY(m_bus.start());
        qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address.toUtf8());
        QVERIFY(m_notifications.serve(m_bus.address, "services"));
    }

    void init()
    {
        deviceConnected = false;
        w = std::make_unique<Widget>();
    }

    void cleanup()
    {
        w.reset();
        copydata::setPresenter({});
    }

    void trayIcon()
    {
        const QString name = QSettings(QStringLiteral("./modules/devConfig.ini"), QSettings::IniFormat)
                                 .value(QStringLiteral("common/name")).toString();
        QVERIFY(!name.isEmpty());
        QCOMPARE(w->trayIcon->toolTip(), name);
        QCOMPARE(w->windowTitle(), name);
        QVERIFY2(!w->trayIcon->icon().isNull(), "logo.ico loads");
        QCOMPARE(w->trayIcon->contextMenu()->actions().size(), 3);
    }

    // The name is the text the device table holds, also where it has an unquoted comma (which
    // the INI reader splits into a list), a comment or a byte-order mark.
    void tableName_data()
    {
        testsupport::addColumns<QByteArray, QString>({"table", "name"});
        QTest::newRow("plain") << QByteArray("[common]\nname=Mouse X\n") << "Mouse X";
        QTest::newRow("unquoted comma") << QByteArray("\xef\xbb\xbf[common]\nname= Mouse, X,Y ; note\n[0]\nname=a,b\n")
                                        << "Mouse, X,Y";
        QTest::newRow("quoted comma") << QByteArray("[common]\nname=\"Mouse, X\"\n") << "Mouse, X";
        QTest::newRow("missing") << QByteArray("[common]\n") << "";
    }

    void tableName()
    {
        QFETCH(QByteArray, table);
        QTemporaryDir dir;
        QVERIFY(testsupport::writeFile(dir.filePath("modules/devConfig.ini"), table));
        const QString previous = QDir::currentPath();
        QDir::setCurrent(dir.path());
        const QString name = deviceTableName();
        QDir::setCurrent(previous);
        QTEST(name, "name");
    }

    // A settings file that cannot be written is told in the tray, once.
    void writeFailureToldOnce()
    {
        QSignalSpy told(w.get(), &Widget::trayMessageShown);
        store::reportWriteFailure(QStringLiteral("/home/u/modules/5600/setting/p1.bin"), QStringLiteral("disk full"));
        store::reportWriteFailure(QStringLiteral("/home/u/modules/5600/setting/p2.bin"), QStringLiteral("disk full"));
        QCOMPARE(told.count(), 1);
        QVERIFY(told.at(0).at(1).toString().contains(QStringLiteral("/home/u/modules/5600/setting")));
    }

    void restore_data()
    {
        // reason -1: a second start's message instead of the tray
        testsupport::addColumns<int, bool, bool>({"reason", "connected", "restored"});
        QTest::newRow("double click, no device") << int(QSystemTrayIcon::DoubleClick) << false << false;
        QTest::newRow("second start, no device") << -1 << false << false;
        QTest::newRow("single click") << int(QSystemTrayIcon::Trigger) << true << false;
        QTest::newRow("context menu") << int(QSystemTrayIcon::Context) << true << false;
        QTest::newRow("double click with device") << int(QSystemTrayIcon::DoubleClick) << true << true;
        QTest::newRow("second start with device") << -1 << true << true;
    }

    void restore()
    {
        QFETCH(int, reason);
        QFETCH(bool, connected);
        QFETCH(bool, restored);
        w->showMinimized();
        w->hide();
        deviceConnected = connected;

        if (reason < 0)
            w->receiveMessage(QString());
        else
            emit w->trayIcon->activated(QSystemTrayIcon::ActivationReason(reason));
        QCoreApplication::processEvents();

        QCOMPARE(w->isVisible(), restored);
        if (restored)
            QVERIFY(!w->isMinimized());
    }

    // Closing goes to the tray only while a tray shows the icon; without one the window is
    // minimised, and what a balloon would say becomes a desktop notification.
    void withoutTray_data()
    {
        QTest::addColumn<bool>("tray");
        QTest::newRow("tray") << true;
        QTest::newRow("no tray") << false;
    }
    void withoutTray()
    {
        QFETCH(bool, tray);
        auto *host = new FakeTrayHost;
        host->available = tray;
        w->setTrayHost(host);
        w->show();
        w->ui->onClose();
        QCOMPARE(w->isVisible(), !tray);
        QCOMPARE(w->isMinimized(), !tray);
        if (!tray) {
            w->showTrayMessage("Info", "Detect Device", QSystemTrayIcon::Information, 1000);
            QTRY_COMPARE(host->notes, QStringList{w->windowTitle() + ": Info: Detect Device"});
        }
    }

    void deviceChange()
    {
        // A burst restarts the one timer: a single check, 1024 ms after the last notification.
        w->deviceMonitor->notifyChanged();  // as the platform reports it
        QTest::qWait(150);
        const int before = w->checkTimer.remainingTime();
        w->deviceMonitor->notifyChanged();
        w->deviceMonitor->notifyChanged();
        QVERIFY(w->checkTimer.isActive());
        QVERIFY(w->checkTimer.isSingleShot());
        QCOMPARE(w->checkTimer.interval(), 1024);
        QVERIFY(w->checkTimer.remainingTime() > before);
        QVERIFY(w->checkTimer.remainingTime() > 900);
    }

    void copyDataWarning()
    {
        QStringList shown;
        copydata::setPresenter([&shown](const QString &title, const QString &text) { shown << title << text; });
        const copydata::Record good{copydata::WarningTag, 4, QByteArray("note\0", 5)};
        const copydata::Record wrongTag{0x1234, 4, QByteArray("note\0", 5)};

        QVERIFY(!showCopyDataMessage(good, nullptr));
        QVERIFY(!showCopyDataMessage(wrongTag, w.get()));
        QVERIFY(shown.isEmpty());
        QVERIFY(showCopyDataMessage(good, w.get()));
        QCOMPARE(shown, QStringList({w->windowTitle(), QStringLiteral("note")}));
    }

    // Closing the warning box while the window is hidden leaves the program running.
    void closingTheWarningWhileHiddenKeepsRunning()
    {
        w->hide();
        QTimer::singleShot(0, this, [this] {
            QTimer::singleShot(100, this, [] {
                if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget()))
                    box->accept();
            });
            const copydata::Record note{copydata::WarningTag, 4, QByteArray("note\0", 5)};
            showCopyDataMessage(note, w.get());   // modal: returns once the box is closed
            QTimer::singleShot(200, this, [] { QCoreApplication::exit(7); });
        });
        QTimer::singleShot(10000, this, [] { QCoreApplication::exit(99); });  // safety net
        QCOMPARE(QCoreApplication::exec(), 7);
    }

    // The scene goes before the controller it reaches, and both go with the window at once: at
    // exit no event loop runs any more to carry out a deferred deletion.
    void teardownOrder()
    {
        QPointer<Ui_Controler> controller = w->ui;
        QPointer<myQQuickView> view = w->view();
        bool controllerAliveAtSceneEnd = false;
        connect(view, &QObject::destroyed, this, [&] { controllerAliveAtSceneEnd = !controller.isNull(); });
        w.reset();
        QVERIFY(view.isNull());
        QVERIFY(controllerAliveAtSceneEnd);
        QVERIFY(controller.isNull());
    }

    void quitActionStopsPollingAndExits()
    {
        w->hid.isPolling = true;
        bool pollingWhenLeaving = true;
        QTimer::singleShot(0, this, [&] {
            w->trayMenu->actions().last()->trigger();
            pollingWhenLeaving = w->hid.isPolling;
        });
        QTimer::singleShot(10000, this, [] { QCoreApplication::exit(99); });  // safety net
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!pollingWhenLeaving);
    }

    // The mouse's own DPI button: the tooltip follows; a notice only while the window is hidden,
    // none for the state every connect asks for, none once turned off in the tray menu.
    void liveNotices()
    {
        vdevtest::WidgetRig rig;
        Widget &widget = *rig.widget;
        rig.device->plug(vdev::Mouse560);
        widget.checkDevice();
        QTRY_VERIFY(widget.reportedStage >= 0);
        const QVariantList dpi = rig.view()->getDataList("mouse/dpiValueArray", false);
        QVERIFY(dpi.size() > widget.reportedStage + 1);
        const QString tip = widget.windowTitle() + "\nProfile 1 · %1 DPI";
        QCOMPARE(widget.trayIcon->toolTip(), tip.arg(dpi.at(widget.reportedStage).toInt()));

        // Tray balloons come here too (no tray in this test): only the DPI notices count.
        auto notices = [this] { return m_notifications.shown.filter(" DPI"); };
        const int stage = widget.reportedStage;
        rig.device->pressDpiButton(vdev::Mouse560);
        QTRY_COMPARE(widget.reportedStage, stage + 1);
        const QString next = dpi.at(stage + 1).toString();
        QCOMPARE(widget.trayIcon->toolTip(), tip.arg(next));
        QTRY_COMPARE(notices(), QStringList{widget.windowTitle() + ": " + next + " DPI (profile 1)"});

        widget.noticesAction->setChecked(false);
        QCOMPARE(rig.view()->getGlobalData("common/notices").toInt(), 0);
        rig.device->pressDpiButton(vdev::Mouse560);
        QTRY_COMPARE(widget.reportedStage, stage + 2);
        widget.noticesAction->setChecked(true);
        widget.show();
        rig.device->pressDpiButton(vdev::Mouse560);
        QTRY_COMPARE(widget.reportedStage, stage + 3);
        QTest::qWait(LiveNotices::MinimumGapMs + 200);
        QCOMPARE(notices().size(), 1);
    }

    // A burst of presses: one notice at once, then one of where the burst stopped.
    void noticesThrottled()
    {
        LiveNotices notices;
        QStringList said;
        connect(&notices, &LiveNotices::notice, this, [&](const QString &, const QString &text) { said << text; });
        for (int dpi : {800, 1600, 3200})
            notices.update({QStringLiteral("Mouse"), 2, dpi}, true, true);
        QCOMPARE(said, QStringList{"800 DPI (profile 2)"});
        QTRY_COMPARE(said, (QStringList{"800 DPI (profile 2)", "3200 DPI (profile 2)"}));
    }


    void screenGeometry()
    {
        const QRect wide(0, 0, 2560, 1440), full(0, 0, 1920, 1080), right(2560, 0, 3840, 2160);
        auto *screens = new FakeScreens({wide});
        w->setScreenSource(screens);
        QCOMPARE(w->screenRect0, wide);
        QVERIFY(w->screenRect1.isNull());
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
        // limit: the largest move that keeps the screen
        testsupport::addColumns<QList<QRect>, bool, int, int, int, int>(
            {"screens", "startFirst", "startX", "limit", "width", "switchedWidth"});
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
        QVERIFY(!w->view()->isEnabled());
        w->ui->setBusy();
        QVERIFY(w->view()->isEnabled());
        w->view()->setBusy(60000);
        QVERIFY(!w->view()->isEnabled());
        w->view()->setBusy(0);
        QVERIFY(w->view()->isEnabled());
    }

    void runUiEvent()
    {
        w->view()->setSource(QUrl::fromLocalFile(QStringLiteral(MOUSECFG_SOURCE_DIR "/tests/view/frame_probe.qml")));
        QQuickItem *probe = w->view()->rootObject();
        QVERIFY(probe);

        // The view's focus handling hands the focus on to the scene, whose items then get keys.
        QFocusEvent focusIn(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(w->view(), &focusIn);
        QKeyEvent press(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier, QStringLiteral("a"));
        QCoreApplication::sendEvent(w->view(), &press);
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

private:
    testsupport::PrivateBus m_bus;
    testsupport::FakeNotifications m_notifications;
    std::unique_ptr<Widget> w;
};

QTEST_MAIN(tst_Widget)
#include "tst_widget.moc"
