// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../Xq"

// A flat text button in the window's blue, orange while the pointer is over it.
Rectangle {
    id: button
    property string text: ""
    property color textColor: Skin.fontColor
    signal clicked()

    radius: 2
    color: area.containsMouse ? Skin.colorOrange : Skin.colorBlue

    Text {
        anchors.fill: parent
        anchors.leftMargin: 2
        anchors.rightMargin: 2
        horizontalAlignment: Text.AlignHCenter
        verticalAlignment: Text.AlignVCenter
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: Skin.fontMinSize
        text: button.text
        color: button.textColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }

    MouseArea {
        id: area
        anchors.fill: parent
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
