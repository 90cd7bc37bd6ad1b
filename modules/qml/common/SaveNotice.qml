// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../Xq"

// How the last save went, beside "Save" (the parent gives its width): shown at once, gone by
// itself a few seconds later (longer when the mouse did not keep it). Its animation runs only
// until it has faded.
SceneLabel {
    id: notice

    property bool failed: false

    height: 36
    horizontalAlignment: Text.AlignRight
    color: failed ? "#ff3030" : Skin.fontColor
    font.pixelSize: Skin.fontNormalSize
    // A long list of what did not stick takes a second line rather than a smaller font.
    fontSizeMode: Text.FixedSize
    wrapMode: Text.WordWrap
    maximumLineCount: 2
    elide: Text.ElideRight
    opacity: 0
    visible: opacity > 0

    function show(message, isFailure) {
        text = message
        failed = isFailure
        fade.restart()
    }

    SequentialAnimation {
        id: fade
        PropertyAction { target: notice; property: "opacity"; value: 1 }
        PauseAnimation { duration: notice.failed ? 6000 : 2000 }
        NumberAnimation { target: notice; property: "opacity"; to: 0; duration: 600 }
    }
}
