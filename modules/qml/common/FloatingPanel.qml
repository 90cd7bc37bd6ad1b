import QtQuick
import "../Xq"

// A dialog of the main window: hidden until opened, dragged by its background, its content
// built the first time it opens (so a page nobody opens costs nothing at start-up).
FocusScope {
    id: panel
    property Component body
    // Or the content's own file, so that its types load only when the dialog first opens.
    property url bodySource
    property bool everOpened: false
    // The left and top edges always stay inside the window; with keepInside the others too.
    property bool keepInside: true
    readonly property alias content: bodyLoader.item
    signal opened()
    signal closed()

    visible: false

    function open() {
        everOpened = true
        visible = true
        forceActiveFocus()
        opened()
    }

    function close() {
        if (!visible)
            return
        visible = false
        closed()
    }

    Rectangle {
        anchors.fill: parent
        color: Skin.colorGray0
        border.color: Skin.colorGray1
        radius: 4
    }

    MouseArea {
        anchors.fill: parent
        drag.target: panel
        drag.minimumX: 0
        drag.minimumY: 0
        drag.maximumX: panel.keepInside ? 1024 - panel.width : 1024 - 16
        drag.maximumY: panel.keepInside ? 640 - panel.height : 640 - 16
        onPressed: panel.forceActiveFocus()
    }

    Loader {
        id: bodyLoader
        anchors.fill: parent
        active: panel.everOpened
        sourceComponent: panel.body
        source: panel.bodySource
    }
}
