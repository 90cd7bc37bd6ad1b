// SPDX-License-Identifier: GPL-3.0-or-later
// The real program in a Wayland session on a desktop without a tray: Debian's weston (its X11
// backend, nested in a private Xvfb, which this test watches), a private session bus with a fake
// notification service, and a fake tray host that appears later. Input goes in through XTEST as
// from a real mouse; what the compositor shows is read from the X server's screen.
#include "app/datafolder.h"
#include "testsupport.h"
#include "xvfb_helper.h"

#include <QDBusConnection>
#include <QScreen>
#include <QtTest>

namespace {
constexpr QRgb Background = 0xff204060;
// The compositor, the program and this test share a busy machine: what they show may lag.
constexpr int Slow = 30000;

class FakeTrayHost : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierWatcher")
    Q_PROPERTY(bool IsStatusNotifierHostRegistered READ yes)
    Q_PROPERTY(int ProtocolVersion READ zero)
public:
    QStringList items;
    bool yes() const { return true; }
    int zero() const { return 0; }
public slots:
    void RegisterStatusNotifierItem(const QString &item) { items << item; }
};
} // namespace

class TestWayland : public XvfbTestCase
{
    Q_OBJECT
public:
    using XvfbTestCase::XvfbTestCase;

private:
    QTemporaryDir m_dir;
    testsupport::PrivateBus m_bus;
    QProcess m_weston;
    QProcess m_program;
    QByteArray m_output;
    testsupport::FakeNotifications m_notifications;
    FakeTrayHost m_trayHost;

    QString path(const char *name) const { return m_dir.filePath(QString::fromLatin1(name)); }

    void start(QProcess &process, const QStringList &arguments)
    {
        process.setProcessEnvironment(testsupport::environment(
            {"PATH=" + qEnvironmentVariable("PATH"), "HOME=" + path("home"), "XDG_RUNTIME_DIR=" + path("runtime"),
             "WAYLAND_DISPLAY=wayland-test", "XDG_SESSION_TYPE=wayland", "QT_QPA_PLATFORM=wayland",
             "QT_QUICK_BACKEND=software", "GSETTINGS_BACKEND=memory", "DBUS_SESSION_BUS_ADDRESS=" + m_bus.address,
             "MOUSECFG_MARK_FIRST_FRAME=1"}));
        process.setProcessChannelMode(QProcess::MergedChannels);
        process.start(path("program/mousecfg"), arguments);
    }

    // Where the compositor shows the program's window (everything but the background and the
    // pointer); empty while it shows none.
    QRect window() const
    {
        const QImage screen = QGuiApplication::primaryScreen()->grabWindow(0).toImage();
        QRect found;
        for (int y = 0; y < screen.height(); y += 2)
            for (int x = 0; x < screen.width(); x += 2)
                if (screen.pixel(x, y) != Background)
                    found |= QRect(x, y, 1, 1);
        return found.width() > 600 ? found : QRect();
    }

    // Presses at a point of the window's background and moves the pointer by `step` until the
    // window has followed in that direction (the compositor takes the pointer over once the
    // program has seen the drag begin, and shows the window a moment later), then releases.
    void drag(QPoint step)
    {
        const QRect before = window();
        QPoint at = before.topLeft() + QPoint(500, 30);
        XClient input(m_display);
        input.moveTo(at.x(), at.y());
        input.button(1, true);
        auto followed = [&] {
            const QPoint moved = window().topLeft() - before.topLeft();
            return moved.x() * step.x() > 0 && moved.y() * step.y() > 0;
        };
        QTRY_VERIFY_WITH_TIMEOUT((at += step, input.moveTo(at.x(), at.y()), followed()), Slow);
        input.button(1, false);
    }

private slots:
    void initTestCase()
    {
        if (m_display.isEmpty())
            QSKIP(qPrintable(m_whyNoX));
        if (QStandardPaths::findExecutable("weston").isEmpty())
            QSKIP("weston is not installed (scripts/install-deps.sh installs it)");
        QVERIFY(m_bus.start());
        QVERIFY(m_notifications.serve(m_bus.address, "fake desktop"));

        // A copy of its own: a single-instance id and a data folder of its own.
        QVERIFY(QDir().mkpath(path("runtime")) && QDir().mkpath(path("home")));
        QFile(path("runtime")).setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        QVERIFY(datafolder::copyTree(MOUSECFG_BUILD_DIR "/modules", path("program/modules")));
        QVERIFY(QFile::copy(qEnvironmentVariable("MOUSECFG_BINARY"), path("program/mousecfg")));

        QVERIFY(testsupport::writeFile(path("weston.ini"),
                                       "[core]\nidle-time=0\n[shell]\npanel-position=none\nbackground-color=0xff204060\n"));
        m_weston.setProcessEnvironment(testsupport::environment({"DISPLAY=" + m_display, "XDG_RUNTIME_DIR=" + path("runtime")}));
        m_weston.start("weston", {"--backend=x11-backend.so", "--use-pixman", "--socket=wayland-test", "--width=1024",
                                  "--height=768", "--config=" + path("weston.ini"), "--log=" + path("weston.log")});
        // Ready once it shows its background.
        QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(path("runtime/wayland-test")) && window().isNull(), Slow);
    }

    void cleanupTestCase()
    {
        testsupport::stop(m_program);
        testsupport::stop(m_weston);
    }

    // A login start (--hidden) with a mouse but no tray shows the window, and what the tray
    // would have said comes as a notification.
    void startsWithoutTray()
    {
        start(m_program, {"--demo=560", "--hidden"});
        QTRY_VERIFY2_WITH_TIMEOUT((m_output += m_program.readAll()).contains("scene built\n"), m_output.constData(), 60000);
        QVERIFY2(m_output.contains("Device Connect") && m_output.contains("first frame"), m_output.constData());
        QVERIFY(m_output.contains("own windows only"));
        QTRY_VERIFY_WITH_TIMEOUT(!window().isNull(), Slow);
        QTRY_COMPARE(m_notifications.shown, QStringList{"Info: Detect Device"});
    }

    // Minimised, the window comes back when the program is started again, although a Wayland
    // client is never told that it is minimised.
    void secondStartRestores()
    {
        XClient input(m_display);
        const QPoint minimise = window().topLeft() + QPoint(959, 22);
        input.moveTo(minimise.x(), minimise.y());
        input.button(1, true);
        input.button(1, false);
        QTRY_VERIFY_WITH_TIMEOUT(window().isNull(), Slow);
        QProcess second;
        start(second, {});
        QVERIFY(second.waitForFinished(30000));
        QCOMPARE(second.exitCode(), 1);
        QTRY_VERIFY_WITH_TIMEOUT(!window().isNull(), Slow);
    }

    // Dragging the background moves the window through the compositor, and again after that.
    void movesThroughTheCompositor()
    {
        drag({3, 2});
        drag({-3, -2});
    }

    // A tray that appears later gets the icon.
    void trayAppearsLater()
    {
        QDBusConnection services = QDBusConnection::connectToBus(m_bus.address, "fake desktop");
        QVERIFY(services.registerObject("/StatusNotifierWatcher", &m_trayHost,
                                        QDBusConnection::ExportAllSlots | QDBusConnection::ExportAllProperties));
        QVERIFY(services.registerService("org.kde.StatusNotifierWatcher"));
        QTRY_COMPARE_WITH_TIMEOUT(m_trayHost.items.size(), 1, Slow);
    }
};

int main(int argc, char **argv)
{
    return runOnXvfb<TestWayland>(argc, argv);
}

#include "tst_wayland.moc"
