import QtQuick

// One entry of a drop-down panel, 24 high, orange while selected or hovered.
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
    color: selected || area.containsMouse ? Skin.colorOrange : restColor

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
