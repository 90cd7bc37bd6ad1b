import QtQuick
import "../Xq"

// How the last save went, beside "Save": shown at once, gone by itself a few seconds later
// (longer when the mouse did not keep it). Its animation runs only until it has faded.
SceneLabel {
    id: notice

    property bool failed: false

    width: 420
    height: 24
    horizontalAlignment: Text.AlignRight
    color: failed ? "#ff3030" : Skin.fontColor
    font.pixelSize: Skin.fontMinSize
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
