// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// One entry of a drop-down panel, 24 high: orange while it is the current one, grey with an
// orange frame while hovered, so that the two never look alike.
Rectangle {
    id: entry

    property string text: ""
    property bool selected: false
    property color restColor: Skin.colorGray0
    property real horizontalOffset: 0
    // Pixels at the right edge that do not take clicks.
    property real deadRight: 0

    signal clicked()

    height: 24
    readonly property bool hovered: area.containsMouse && !selected
    color: selected ? Skin.colorOrange : hovered ? Skin.colorGray1 : restColor
    border.width: hovered ? 1 : 0
    border.color: Skin.colorOrange

    Text {
        anchors.centerIn: parent
        anchors.horizontalCenterOffset: entry.horizontalOffset
        text: entry.text
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }

    MouseArea {
        id: area
        anchors.fill: parent
        anchors.rightMargin: entry.deadRight
        hoverEnabled: true
        onClicked: entry.clicked()
    }
}
