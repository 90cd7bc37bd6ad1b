// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QObject>
#include <QQmlIncubationController>
#include <QTimer>

// Builds the scene's asynchronously loaded parts in short slices between the event loop's other
// work, so the window paints and answers while they are created. A QQuickWidget has no render
// loop to drive incubation: without a controller every asynchronous Loader loads at once.
class SceneIncubation : public QObject, public QQmlIncubationController
{
public:
    // Milliseconds of object creation per turn of the event loop.
    static constexpr int SliceMs = 4;
    // The wait before the first slice: one frame at 60 Hz.
    static constexpr int FrameMs = 16;

    explicit SceneIncubation(QObject *parent = nullptr);

protected:
    void incubatingObjectCountChanged(int count) override;

private:
    QTimer slices;
};
