// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "device/hid_thread.h"

#include <QEvent>
#include <QRect>
#include <QSystemTrayIcon>
#include <QTimer>
#include <QWidget>

class QAction;
class QMenu;
class QScreen;
class DeviceMonitor;
class LiveNotices;
class ScreenSource;
class SessionWatch;
class TrayHost;
class Ui_Controler;
class myQQuickView;

// True from a check that finds a device until a check that finds none.
extern bool deviceConnected;

// Posted to the Widget after a connect; runs the scene's start-up hand-over.
class RunUiEvent : public QEvent
{
public:
    static constexpr QEvent::Type EventType = static_cast<QEvent::Type>(1000);
    static constexpr int Code = 2177;
    explicit RunUiEvent(int code = Code) : QEvent(EventType), code(code) {}
    int code;
};

// The program's only top-level window: owns the device layer, the window controller (and
// through it the QML view), the device-check timer and the tray icon.
class Widget : public QWidget
{
    Q_OBJECT
public:
    explicit Widget(QWidget *parent = nullptr);
    ~Widget() override;

    bool debugMode = false;
    QTimer checkTimer;
    Ui_Controler *ui = nullptr;
    Hid_Thread hid;
    // Made once the desktop can show it (see TrayHost); the menu exists from the start.
    QSystemTrayIcon *trayIcon = nullptr;
    QMenu *trayMenu = nullptr;
    TrayHost *trayHost = nullptr;
    ScreenSource *desktop = nullptr;
    QRect screenRect0;
    QRect screenRect1;
    bool onFirstScreen = true;
    DeviceMonitor *deviceMonitor = nullptr;
    // Command interfaces the last check found present but not openable by this user.
    QStringList lockedOutPaths;
    // Whether this login session is the active one at its seat (null: it always is).
    SessionWatch *session = nullptr;
    // The tooltip and the notices of the mouse's own button presses.
    LiveNotices *notices = nullptr;
    QAction *noticesAction = nullptr;
    // The DPI stage (from 0) the device last reported; -1 until it has since the connect.
    int reportedStage = -1;

    myQQuickView *view() const;
    // Asks the window to come back (visible, not minimised); delivered through the event loop.
    void requestRestore();
    // Replaces where screen geometries come from (takes ownership) and re-reads them.
    void setScreenSource(ScreenSource *source);
    // Replaces the desktop's tray host (takes ownership); the icon is made when it allows.
    void setTrayHost(TrayHost *host);
    // Whether the tray shows the program's icon now: only then may the window go to the tray.
    bool trayAvailable() const;
    // A tray balloon, or a desktop notification while no tray shows the icon (also announced
    // through trayMessageShown).
    void showTrayMessage(const QString &title, const QString &text, QSystemTrayIcon::MessageIcon icon, int msecs);

signals:
    void trayMessageShown(const QString &title, const QString &text);

public slots:
    void trayIconActivated(QSystemTrayIcon::ActivationReason reason);
    void checkDevice();
    void exitSYS();
    void receiveMessage(QString message);
    void onResolutionChanged(int currentScreen);
    // A device was attached or removed somewhere: schedule a check unless a device is polled.
    void onDeviceChange();
    // The polling task found the device gone (unplugged, or no longer this user's to open).
    void onDeviceRemoved();
    // Follows the login session (takes ownership; null: none). When the session becomes active
    // again, the seat's devices are this user's again: the device is looked for anew.
    void watchSession(SessionWatch *watch);

protected:
    void customEvent(QEvent *event) override;
    void showEvent(QShowEvent *event) override;
#ifdef Q_OS_WIN
    // WM_DEVICECHANGE and WM_SYSCOMMAND/SC_RESTORE (src/platform/win/widget_native.cpp).
    bool nativeEvent(const QByteArray &eventType, void *message, qintptr *result) override;
#endif

private:
    void createTrayIcon();
    // The window system put the window on another screen (also after a move it carried out).
    void onWindowScreenChanged(QScreen *screen);
    // A firmware report reached the scene: the tray follows the device's state.
    void onFirmwareReport(int type, int dpi);
    // Tells the user about devices they may not open (see checkDevice).
    void reportLockedOut(const QStringList &paths);
};
