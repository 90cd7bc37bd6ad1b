#pragma once

#include <QObject>

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
