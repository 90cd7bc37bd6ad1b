// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

// How the program brings up its scene, shared with the start-up benchmark's bare window so that
// both start the same way.

#include <QQuickItem>
#include <QQuickWidget>
#include <QQuickWindow>
#include <QSGRendererInterface>
#include <QTimer>

#include <cstdio>

// A tray-resident 2D tool has no use for a GL stack: the scene is drawn by Qt Quick's software
// renderer unless QT_QUICK_BACKEND asks for another one. Must run before the first view exists.
inline void selectSceneRenderer()
{
    if (qEnvironmentVariableIsEmpty("QT_QUICK_BACKEND"))
        QQuickWindow::setGraphicsApi(QSGRendererInterface::Software);
}

// With MOUSECFG_MARK_FIRST_FRAME set, writes "first frame" to stderr once the first frame of the
// scene with its root item visible has been painted into the window; the start-up benchmark
// waits for it. The view renders the scene into an image that its next paint puts on screen.
// A root with a `layout` property builds its content after that frame: "scene built" follows
// once the property is set.
inline void markFirstFrame(QQuickWidget *view)
{
    if (!view || qEnvironmentVariableIsEmpty("MOUSECFG_MARK_FIRST_FRAME"))
        return;
    struct FirstFrame : QObject
    {
        bool rendered = false;
        bool eventFilter(QObject *watched, QEvent *event) override
        {
            if (rendered && event->type() == QEvent::Paint) {
                watched->removeEventFilter(this);
                // After this paint has been flushed to the window.
                QTimer::singleShot(0, [] {
                    std::fputs("first frame\n", stderr);
                    std::fflush(stderr);
                });
                deleteLater();
            }
            return false;
        }
    };
    auto *mark = new FirstFrame;
    mark->setParent(view);
    view->installEventFilter(mark);
    QObject::connect(view->quickWindow(), &QQuickWindow::afterRendering, mark, [view, mark] {
        mark->rendered = mark->rendered || (view->rootObject() && view->rootObject()->isVisible());
    });

    QQuickItem *root = view->rootObject();
    if (!root || root->metaObject()->indexOfProperty("layout") < 0)
        return;
    auto *poll = new QTimer(view);
    QObject::connect(poll, &QTimer::timeout, poll, [root, poll] {
        if (root->property("layout").value<QObject *>()) {
            std::fputs("scene built\n", stderr);
            std::fflush(stderr);
            poll->deleteLater();
        }
    });
    poll->start(1);
}
