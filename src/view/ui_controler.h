#pragma once

#include <QObject>
#include <QString>

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

    void setupUi(Widget *w);

public slots:
    void onMinimize();
    void onClose();
    void onXChanged(int x);
    void onYChanged(int y);
    void setBusy(int busyTime);
    void setBusy();
    void reSizeWinodws(int mainW, int mainH);
};

// The product name from the device table ("./modules/devConfig.ini", common/name): window title
// and tray tooltip. Empty when the table or the key is missing.
QString deviceTableName();
