// The main window outside the scene: tray icon, restore requests, device-change scheduling, the
// copy-data warning and leaving the program.
#include "app/copydata.h"
#include "app/widget.h"
#include "platform/devicemonitor.h"
#include "platform/trayhost.h"
#include "view/myqquickview.h"
#include "view/settingsstore.h"
#include "view/ui_controler.h"

#include <QtTest>

#include <QAction>
#include <QMenu>
#include <QMessageBox>
#include <QPointer>
#include <QSettings>

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
} // namespace

class tst_Widget : public QObject
{
    Q_OBJECT
private slots:
    void init()
    {
        deviceConnected = false;
        w = std::make_unique<Widget>();
    }

    void cleanup()
    {
        w.reset();
        deviceConnected = false;
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
        QCOMPARE(w->trayIcon->contextMenu()->actions().size(), 1);
    }

    // The name is the text the device table holds, also where it has an unquoted comma (which
    // the INI reader splits into a list), a comment or a byte-order mark.
    void tableName_data()
    {
        QTest::addColumn<QByteArray>("table");
        QTest::addColumn<QString>("name");
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
        QDir().mkpath(dir.filePath("modules"));
        QFile file(dir.filePath("modules/devConfig.ini"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(table);
        file.close();
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
        QTest::addColumn<int>("reason");  // -1: a second start's message instead of the tray
        QTest::addColumn<bool>("connected");
        QTest::addColumn<bool>("restored");
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
        // While a device is polled its removal is noticed there: nothing is scheduled.
        w->hid.isPolling = true;
        w->deviceMonitor->notifyChanged();  // as the platform reports it
        QVERIFY(!w->checkTimer.isActive());

        // A burst restarts the one timer: a single check, 1024 ms after the last notification.
        w->hid.isPolling = false;
        w->deviceMonitor->notifyChanged();
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
            w->trayMenu->actions().first()->trigger();
            pollingWhenLeaving = w->hid.isPolling;
        });
        QTimer::singleShot(10000, this, [] { QCoreApplication::exit(99); });  // safety net
        QCOMPARE(QCoreApplication::exec(), 0);
        QVERIFY(!pollingWhenLeaving);
    }

private:
    std::unique_ptr<Widget> w;
};

QTEST_MAIN(tst_Widget)
#include "tst_widget.moc"
