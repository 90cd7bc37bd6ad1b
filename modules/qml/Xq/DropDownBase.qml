// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// What the drop-downs share: a 24-pixel header showing textValue with an arrow, and a clipped
// panel under it whose content slides in while isDrop turns true and out while it turns false.
// The panel is hidden whenever it is closed and still, so closed drop-downs draw nothing and
// their content can leave its delegates uncreated (panelShown).
Item {
    id: dropDown

    property bool isDrop: false
    property string textValue: ""
    property color borderColor: Skin.colorGray1
    property color bgColor: Skin.colorGray0
    property real horizontalOffset: 0

    // Set by each drop-down.
    property real panelWidth: width
    property real panelHeight: 24
    // Panels move in 180 ms less 10 ms per entry; very long lists move at once.
    property int entryCount: 0
    readonly property int moveDuration: Math.max(0, 180 - 10 * entryCount)
    property bool headerSized: true
    default property alias panelContent: content.data

    readonly property bool moving: move.running
    readonly property bool panelShown: isDrop || move.running

    // A header click; the header opens or closes the panel afterwards unless it is moving.
    signal headerClicked()
    // The panel finished sliding in or out.
    signal moveFinished()

    implicitWidth: 120
    implicitHeight: 24

    onIsDropChanged: {
        move.stop()
        move.from = content.y
        move.to = isDrop ? 0 : -panelHeight
        move.start()
    }
    onPanelHeightChanged: rest()
    Component.onCompleted: rest()

    // Content where it rests for the current state (not a binding: the move writes y).
    function rest() {
        if (!move.running)
            content.y = isDrop ? 0 : -panelHeight
    }

    Rectangle {
        id: header
        width: parent.width
        height: 24
        color: dropDown.bgColor
        border.width: 1
        border.color: dropDown.borderColor

        Text {
            anchors.centerIn: parent
            anchors.horizontalCenterOffset: dropDown.horizontalOffset
            text: dropDown.textValue
            color: Skin.fontColor
            font: dropDown.headerSized ? sizedFont : plainFont
            readonly property font sizedFont: Qt.font({ family: Skin.fontFamily, pixelSize: Skin.fontNormalSize })
            readonly property font plainFont: Qt.font({ family: Skin.fontFamily })
        }

        // Drawn at its design size: the picture comes at twice the size for sharp scaling.
        Image {
            anchors.right: parent.right
            anchors.rightMargin: 8
            anchors.verticalCenter: parent.verticalCenter
            width: 10
            height: 6
            source: dropDown.isDrop ? Skin.sourceDropBtnU : Skin.sourceDropBtn
        }

        MouseArea {
            anchors.fill: parent
            onClicked: {
                dropDown.headerClicked()
                if (!move.running)
                    dropDown.isDrop = !dropDown.isDrop
            }
        }
    }

    Item {
        id: panel
        y: header.height
        width: dropDown.panelWidth
        height: dropDown.panelHeight
        clip: true
        visible: dropDown.panelShown

        // Clicks between the content's own areas stop here instead of reaching the page below.
        MouseArea {
            anchors.fill: parent
        }

        Item {
            id: content
            width: panel.width
            height: panel.height
        }
    }

    NumberAnimation {
        id: move
        target: content
        property: "y"
        duration: dropDown.moveDuration
        easing.type: Easing.OutQuad
        onFinished: dropDown.moveFinished()
    }
}
