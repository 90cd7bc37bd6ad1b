// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up benchmark's baseline: the least a Qt Quick tray tool can start with. A window
// hosting a QQuickWidget with a trivial scene from resources, plus a tray icon, brought up the
// way the program brings up its own.
#include "app/scenestartup.h"

#include <QApplication>
#include <QStyle>
#include <QSystemTrayIcon>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char *argv[])
{
    selectSceneRenderer();
    QApplication app(argc, argv);

    QWidget window;
    auto *view = new QQuickWidget(&window);
    view->setResizeMode(QQuickWidget::SizeRootObjectToView);
    view->setSource(QUrl(QStringLiteral("qrc:/bare_window.qml")));
    auto *layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(view);
    window.resize(1024, 640);
    markFirstFrame(view);

    QSystemTrayIcon tray(app.style()->standardIcon(QStyle::SP_ComputerIcon));
    tray.setVisible(true);

    window.show();
    return app.exec();
}
