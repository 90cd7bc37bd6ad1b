// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/screensource.h"

#include <QGuiApplication>
#include <QScreen>

QtScreenSource::QtScreenSource(QObject *parent)
    : ScreenSource(parent)
{
    for (QScreen *screen : QGuiApplication::screens())
        watch(screen);
    connect(qGuiApp, &QGuiApplication::screenAdded, this, [this](QScreen *screen) {
        watch(screen);
        emit resized(int(QGuiApplication::screens().indexOf(screen)));
    });
    connect(qGuiApp, &QGuiApplication::screenRemoved, this, [this](QScreen *) { emit resized(0); });
    connect(qGuiApp, &QGuiApplication::primaryScreenChanged, this, [this](QScreen *) { emit resized(0); });
}

QList<QRect> QtScreenSource::screenGeometries() const
{
    QList<QRect> rects;
    const QList<QScreen *> screens = QGuiApplication::screens();  // primary first
    for (QScreen *screen : screens)
        rects << screen->geometry();
    return rects;
}

void QtScreenSource::watch(QScreen *screen)
{
    connect(screen, &QScreen::geometryChanged, this, [this, screen] {
        emit resized(int(QGuiApplication::screens().indexOf(screen)));
    });
}
