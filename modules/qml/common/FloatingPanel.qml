// SPDX-License-Identifier: GPL-3.0-or-later
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

    // A text field of the dialog still being edited ends its input (as it would on Enter), so
    // that what was typed counts.
    function settleInput() {
        var field = Window.activeFocusItem
        if (!field || !("cursorPosition" in field))
            return
        for (var item = field.parent; item; item = item.parent)
            if (item === panel) {
                field.focus = false
                return
            }
    }

    // Closing settles what is being typed and hands the keyboard back to the window: a hidden
    // field keeping the focus would take the next keys typed.
    function close() {
        if (!visible)
            return
        settleInput()
        visible = false
        focus = false
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
