// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QString>

#include <functional>

class QWindow;
class Widget;
class myQQuickView;

// Window controller published to the scene as "ui_Ctl": drag, minimise, hide, resize, busy lock.
class Ui_Controler : public QObject
{
    Q_OBJECT
public:
    explicit Ui_Controler(QObject *parent = nullptr);

    Widget *widget = nullptr;
    myQQuickView *view = nullptr;
    // Hands a drag of the window to the window system (tests put their own here).
    std::function<bool(QWindow *)> systemMove;

    void setupUi(Widget *w);

public slots:
    void onMinimize();
    void onClose();
    void onXChanged(int x);
    void onYChanged(int y);
    // Asks the window system to move the window with the pointer, as a title bar does: the only
    // way on Wayland, where a client may not place its window. False where it declines (no
    // window manager support); the scene then moves the window by the drag's offsets.
    bool startSystemMove();
    void setBusy(int busyTime);
    void setBusy();
    void reSizeWinodws(int mainW, int mainH);
};

// The product name from the device table ("./modules/devConfig.ini", common/name): window title
// and tray tooltip. Empty when the table or the key is missing.
QString deviceTableName();
