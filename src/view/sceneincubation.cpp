// SPDX-License-Identifier: GPL-3.0-or-later
#include "view/sceneincubation.h"

SceneIncubation::SceneIncubation(QObject *parent)
    : QObject(parent)
{
    connect(&slices, &QTimer::timeout, this, [this] {
        slices.setInterval(0);
        incubateFor(SliceMs);
    });
}

void SceneIncubation::incubatingObjectCountChanged(int count)
{
    if (count <= 0) {
        slices.stop();
    } else if (!slices.isActive()) {
        // What started the incubation usually changed the scene too: its frame goes out first.
        slices.start(FrameMs);
    }
}
