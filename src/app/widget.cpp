// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/widget.h"

#include "app/livenotices.h"
#include "app/screensource.h"
#include "platform/devicemonitor.h"
#include "platform/sessionwatch.h"
#include "platform/trayhost.h"
#include "view/myqquickview.h"
#include "view/settingsstore.h"
#include "view/ui_controler.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QIcon>
#include <QMenu>
#include <QScreen>
#include <QTimer>
#include <QWindow>

bool deviceConnected = false;

namespace {

const char *const TrayMenuStyle =
    "QMenu { border: 1px solid rgb(100, 100, 100); background: rgb(68, 69, 73); } "
    "QMenu::item { height: 22px; padding: 0px 25px 0px 20px; } "
    "QMenu::item:enabled { color: rgb(225, 225, 225); } "
    "QMenu::item:!enabled { color: rgb(155, 155, 155); } "
    "QMenu::item:enabled:selected { color: rgb(230, 230, 230); background: rgba(255, 255, 255, 40); } "
    "QMenu::separator { height: 1px; background: rgb(100, 100, 100); } "
    "QMenu::indicator { width: 13px; height: 13px; } "
    "QMenu::icon { padding-left: 2px; padding-right: 2px; } ";

// Well after the window's first frame (tens of milliseconds), and too short to notice.
constexpr int TrayMessageDelayMs = 200;

// Whether the mouse's own DPI changes are announced (1, the default) or not (0).
const QString NoticesKey = QStringLiteral("common/notices");
constexpr int NoticeMs = 3000;

// Posted by requestRestore; only the Widget itself handles it.
const QEvent::Type RestoreEventType = static_cast<QEvent::Type>(QEvent::registerEventType());

} // namespace

Widget::Widget(QWidget *parent)
    : QWidget(parent)
{
    // The program lives in the tray: neither hiding this window nor closing a message box while
    // it is hidden may end it. Only the tray's quit action does.
    QApplication::setQuitOnLastWindowClosed(false);
    hid.owner = this;

    ui = new Ui_Controler;
    ui->setupUi(this);
    view()->hid = &hid;
    connect(view(), &myQQuickView::trayNotice, this, [this](const QString &title, const QString &text) {
        showTrayMessage(title, text, QSystemTrayIcon::Warning, 10000);
    });

    checkTimer.setInterval(1024);
    checkTimer.setSingleShot(true);
    connect(&checkTimer, &QTimer::timeout, this, &Widget::checkDevice);
    connect(&hid, &Hid_Thread::deviceRemoved, this, &Widget::onDeviceRemoved);

    deviceMonitor = createDeviceMonitor(this);
    if (deviceMonitor)
        connect(deviceMonitor, &DeviceMonitor::deviceChanged, this, &Widget::onDeviceChange);

    notices = new LiveNotices(this);
    connect(view(), &myQQuickView::firmwareReported, this, &Widget::onFirmwareReport);
    connect(notices, &LiveNotices::toolTipChanged, this, [this](const QString &text) {
        if (trayIcon)
            trayIcon->setToolTip(text);
    });
    connect(notices, &LiveNotices::notice, this, [this](const QString &title, const QString &text) {
        if (trayHost)
            trayHost->notify(windowTitle(), title, text, NoticeMs);
    });
    noticesAction = new QAction(tr("Notify DPI changes"), this);
    noticesAction->setCheckable(true);
    connect(noticesAction, &QAction::toggled, this, [this](bool on) {
        notices->setEnabled(on);
        if (myQQuickView *v = view())
            v->setGlobalData(NoticesKey, on ? 1 : 0);
    });

    auto *quitAction = new QAction(tr("Quit (&Q)"), this);
    connect(quitAction, &QAction::triggered, this, &Widget::exitSYS);
    trayMenu = new QMenu(this);
    trayMenu->addAction(noticesAction);
    trayMenu->addSeparator();
    trayMenu->addAction(quitAction);
    trayMenu->setStyleSheet(QString::fromLatin1(TrayMenuStyle));
    setTrayHost(createTrayHost(this));
    // A read-only or full home would lose every change without a word.
    store::setWriteFailureHandler([this](const QString &folder) {
        showTrayMessage(tr("Settings not saved"),
                        tr("Settings cannot be written to %1: changes are lost when the program ends. Check that "
                           "the disk has room and that the folder may be written.")
                            .arg(QDir::toNativeSeparators(folder)),
                        QSystemTrayIcon::Warning, 15000);
    });

    onFirstScreen = true;
    setScreenSource(new QtScreenSource);

    debugMode = view()->getGlobalData(QStringLiteral("debugmode/isEnable")).toBool();
    const QVariant noticesOn = view()->getGlobalData(NoticesKey);
    noticesAction->setChecked(!noticesOn.isValid() || noticesOn.toString().isEmpty() || noticesOn.toInt() != 0);
}

Widget::~Widget()
{
    hid.stopPolling();
    // The polling worker reads through hid and reports into the view: let it finish before
    // either goes away.
    hid.waitForPollingToEnd();
    // The scene goes first so nothing in it can reach the controller any more. The controller
    // is deleted at once: a deferred delete requested after the event loop has ended never runs.
    if (ui) {
        delete ui->view;
        ui->view = nullptr;
        delete ui;
        ui = nullptr;
    }
    store::setWriteFailureHandler({});
}

myQQuickView *Widget::view() const
{
    return ui ? ui->view : nullptr;
}

void Widget::createTrayIcon()
{
    if (trayIcon)
        return;
    trayIcon = new QSystemTrayIcon(this);
    trayIcon->setContextMenu(trayMenu);

    trayIcon->setToolTip(deviceTableName());
    trayIcon->setIcon(QIcon(QStringLiteral("./modules/img/logo.ico")));

    connect(trayIcon, &QSystemTrayIcon::activated, this, &Widget::trayIconActivated);
    trayIcon->setVisible(true);
}

void Widget::setScreenSource(ScreenSource *source)
{
    if (!source)
        return;
    if (desktop) {
        desktop->disconnect(this);
        desktop->deleteLater();
    }
    desktop = source;
    desktop->setParent(this);
    connect(desktop, &ScreenSource::resized, this, &Widget::onResolutionChanged);
    onResolutionChanged(0);
}

void Widget::setTrayHost(TrayHost *host)
{
    if (!host)
        return;
    if (trayHost) {
        trayHost->disconnect(this);
        trayHost->deleteLater();
    }
    trayHost = host;
    trayHost->setParent(this);
    connect(trayHost, &TrayHost::appeared, this, &Widget::createTrayIcon);
    if (trayHost->canMakeIcon())
        createTrayIcon();
}

bool Widget::trayAvailable() const
{
    return trayIcon && trayHost && trayHost->isAvailable();
}

void Widget::showTrayMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon, int msecs)
{
    // A balloon or a notification costs D-Bus rounds or a window of its own: it follows the
    // window's first frame (a moment later, in the order asked for) instead of holding it up.
    QTimer::singleShot(TrayMessageDelayMs, this, [this, title, text, icon, msecs] {
        if (trayAvailable())
            trayIcon->showMessage(title, text, icon, msecs);
        else if (trayHost)
            trayHost->notify(windowTitle(), title, text, msecs);
    });
    emit trayMessageShown(title, text);
}

void Widget::requestRestore()
{
    QCoreApplication::postEvent(this, new QEvent(RestoreEventType));
}

void Widget::trayIconActivated(QSystemTrayIcon::ActivationReason reason)
{
    if (reason == QSystemTrayIcon::DoubleClick && deviceConnected)
        requestRestore();
}

void Widget::receiveMessage(QString message)
{
    Q_UNUSED(message);
    if (deviceConnected)
        requestRestore();
}

void Widget::exitSYS()
{
    hid.stopPolling();
    QCoreApplication::exit(0);
}

void Widget::onResolutionChanged(int currentScreen)
{
    Q_UNUSED(currentScreen);
    if (!desktop)
        return;
    const QList<QRect> screens = desktop->screenGeometries();
    if (screens.size() == 2) {
        screenRect0 = screens.at(0);
        screenRect1 = screens.at(1);
    } else if (!screens.isEmpty()) {
        screenRect0 = screens.at(0);
    }
    if (myQQuickView *v = view())
        v->setScreenChange(onFirstScreen ? screenRect0.width() : screenRect1.width());
}

void Widget::onWindowScreenChanged(QScreen *screen)
{
    // Where the window system moves the window itself, the screen it lands on decides the scale
    // (while the program moves it, the drag's own rule does so from the position).
    if (!screen)
        return;
    const bool first = screenRect1.isNull() || screen->geometry() != screenRect1;
    if (first == onFirstScreen)
        return;
    onFirstScreen = first;
    onResolutionChanged(0);
}

void Widget::onFirmwareReport(int type, int dpi)
{
    myQQuickView *v = view();
    if (!v)
        return;
    // Stage reports (and the whole state, answered at every connect) carry the stage in use.
    if (type == 3 || type == 255)
        reportedStage = dpi - 1;
    LiveNotices::State state;
    state.device = deviceTableName();
    state.profile = v->getGlobalData(QStringLiteral("mouse/profileNo")).toInt() + 1;
    const QVariantList values = v->getDataList(QStringLiteral("mouse/dpiValueArray"), false);
    if (reportedStage >= 0 && reportedStage < values.size())
        state.dpi = values.at(reportedStage).toInt();
    notices->update(state, type != 255, !isVisible() || isMinimized());
}

void Widget::onDeviceChange()
{
    // While a device is polled, the task notices its removal, and the removal leads to a check.
    if (!hid.isPolling)
        checkTimer.start();
}

void Widget::onDeviceRemoved()
{
    // An unplug, or the device taken from this session (another user or virtual terminal took
    // the seat), which no device change announces: either way the check sorts out what is left.
    checkTimer.start();
}

void Widget::watchSession(SessionWatch *watch)
{
    delete session;
    session = watch;
    if (!session)
        return;
    session->setParent(this);
    connect(session, &SessionWatch::activeChanged, this, [this](bool active) {
        if (active && !hid.isPolling)
            checkTimer.start();
    });
}

void Widget::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    if (QWindow *window = windowHandle())
        connect(window, &QWindow::screenChanged, this, &Widget::onWindowScreenChanged, Qt::UniqueConnection);
}

void Widget::customEvent(QEvent *event)
{
    if (event->type() == RestoreEventType) {
        // A Wayland client is not told whether it is minimised, and may not raise itself without
        // a token from the desktop: a window that is not the active one is mapped anew, which
        // brings it back in front wherever it was.
        if (isVisible() && !isActiveWindow() && QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            setVisible(false);
        setVisible(true);
        setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
        raise();
        activateWindow();
        return;
    }
    if (event->type() == RunUiEvent::EventType) {
        auto *runUi = dynamic_cast<RunUiEvent *>(event);
        if (runUi && runUi->code == RunUiEvent::Code)
            if (myQQuickView *v = view())
                v->runUI();
    }
}
