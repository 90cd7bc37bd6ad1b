// The main window outside the scene: tray icon and its actions, restore requests, device-change
// scheduling, the copy-data warning and leaving the program.
#include "app/copydata.h"
#include "app/widget.h"
#include "platform/devicemonitor.h"
#include "view/ui_controler.h"

#include <QtTest>

#include <QAction>
#include <QMenu>
#include <QSettings>

#include <memory>

class tst_Widget : public QObject
{
    Q_OBJECT
private slots:
    void init();
    void cleanup();
    void trayIconAndTitle();
    void trayActivation_data();
    void trayActivation();
    void secondStartRestoresOnlyWithDevice_data();
    void secondStartRestoresOnlyWithDevice();
    void deviceChangeSchedulesCheck_data();
    void deviceChangeSchedulesCheck();
    void deviceChangeBurstRestartsTimer();
    void copyDataWarning();
    void quitActionStopsPollingAndExits();

private:
    std::unique_ptr<Widget> w;
};

void tst_Widget::init()
{
    deviceConnected = false;
    w = std::make_unique<Widget>();
}

void tst_Widget::cleanup()
{
    w.reset();
    deviceConnected = false;
    copydata::setPresenter({});
}

void tst_Widget::trayIconAndTitle()
{
    QSettings table(QStringLiteral("./modules/devConfig.ini"), QSettings::IniFormat);
    QVERIFY2(table.contains(QStringLiteral("common/name")), "the build ships the device table");
    const QString name = table.value(QStringLiteral("common/name")).toString();
    QVERIFY(!name.isEmpty());
    QCOMPARE(w->trayIcon->toolTip(), name);
    QCOMPARE(w->windowTitle(), name);
    QVERIFY2(!w->trayIcon->icon().isNull(), "logo.ico loads");
    QVERIFY(w->trayIcon->contextMenu() == w->trayMenu);
    QCOMPARE(w->trayMenu->actions().size(), 1);
    QCOMPARE(w->trayMenu->actions().first()->text(), QStringLiteral("Quit (&Q)"));
}

void tst_Widget::trayActivation_data()
{
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<bool>("restored");
    QTest::newRow("double click, no device") << int(QSystemTrayIcon::DoubleClick) << false << false;
    QTest::newRow("single click") << int(QSystemTrayIcon::Trigger) << true << false;
    QTest::newRow("context menu") << int(QSystemTrayIcon::Context) << true << false;
    QTest::newRow("middle click") << int(QSystemTrayIcon::MiddleClick) << true << false;
    QTest::newRow("double click with device") << int(QSystemTrayIcon::DoubleClick) << true << true;
}

void tst_Widget::trayActivation()
{
    QFETCH(int, reason);
    QFETCH(bool, connected);
    QFETCH(bool, restored);
    w->showMinimized();
    w->hide();
    deviceConnected = connected;

    emit w->trayIcon->activated(QSystemTrayIcon::ActivationReason(reason));
    QVERIFY2(!w->isVisible(), "the restore is a queued request");
    QCoreApplication::processEvents();

    QCOMPARE(w->isVisible(), restored);
    if (restored)
        QVERIFY(!w->isMinimized());
}

void tst_Widget::secondStartRestoresOnlyWithDevice_data()
{
    QTest::addColumn<bool>("connected");
    QTest::newRow("no device") << false;
    QTest::newRow("device") << true;
}

void tst_Widget::secondStartRestoresOnlyWithDevice()
{
    QFETCH(bool, connected);
    w->hide();
    deviceConnected = connected;
    w->receiveMessage(QStringLiteral("ignored text"));
    QCoreApplication::processEvents();
    QCOMPARE(w->isVisible(), connected);
}

void tst_Widget::deviceChangeSchedulesCheck_data()
{
    QTest::addColumn<bool>("polling");
    QTest::addColumn<bool>("scheduled");
    QTest::newRow("device being polled") << true << false;
    QTest::newRow("no polling") << false << true;
}

void tst_Widget::deviceChangeSchedulesCheck()
{
    QFETCH(bool, polling);
    QFETCH(bool, scheduled);
    w->hid.isPolling = polling;
    QVERIFY(!w->checkTimer.isActive());

    QVERIFY(w->deviceMonitor);
    w->deviceMonitor->notifyChanged();  // as the platform's monitor reports it

    QCOMPARE(w->checkTimer.isActive(), scheduled);
    QVERIFY(w->checkTimer.isSingleShot());
    QCOMPARE(w->checkTimer.interval(), 1024);
    w->hid.isPolling = false;
}

void tst_Widget::deviceChangeBurstRestartsTimer()
{
    // Every notification of a burst restarts the one timer: one check, 1024 ms after the last.
    w->onDeviceChange();
    QTest::qWait(150);
    const int before = w->checkTimer.remainingTime();
    w->onDeviceChange();
    w->onDeviceChange();
    QVERIFY(w->checkTimer.isActive());
    QVERIFY2(w->checkTimer.remainingTime() > before, "restarted, not left running");
    QVERIFY(w->checkTimer.remainingTime() > 900);
}

void tst_Widget::copyDataWarning()
{
    QStringList shown;
    copydata::setPresenter([&shown](const QString &title, const QString &text) { shown << title << text; });

    copydata::Record good{copydata::WarningTag, 4, QByteArray("note\0", 5)};
    copydata::Record wrongTag{0x1234, 4, QByteArray("note\0", 5)};

    QVERIFY(!showCopyDataMessage(good, nullptr));
    QVERIFY(!showCopyDataMessage(wrongTag, w.get()));
    QVERIFY(shown.isEmpty());

    QVERIFY(showCopyDataMessage(good, w.get()));
    QCOMPARE(shown, QStringList({w->windowTitle(), QStringLiteral("note")}));
}

void tst_Widget::quitActionStopsPollingAndExits()
{
    w->hid.isPolling = true;
    bool pollingWhenLeaving = true;
    QTimer::singleShot(0, this, [&] {
        w->trayMenu->actions().first()->trigger();
        pollingWhenLeaving = w->hid.isPolling;
    });
    QTimer::singleShot(10000, this, [] { QCoreApplication::exit(99); });  // safety net
    QCOMPARE(QCoreApplication::exec(), 0);
    QVERIFY(!pollingWhenLeaving);
}

QTEST_MAIN(tst_Widget)
#include "tst_widget.moc"
