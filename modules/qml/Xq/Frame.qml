// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// The collapsible header of the small settings pages: a click anywhere on the bar asks the page
// to open or close.
Rectangle {
    id: frame

    property string title: "Title"

    signal openCloseMenu()
    signal clickFrame()

    implicitWidth: 242
    implicitHeight: 18
    color: Skin.colorGray0

    Text {
        anchors.left: parent.left
        anchors.leftMargin: 7
        anchors.verticalCenter: parent.verticalCenter
        text: frame.title
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }

    Text {
        anchors.right: parent.right
        anchors.rightMargin: 7
        anchors.verticalCenter: parent.verticalCenter
        text: "\u2014"
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }

    MouseArea {
        anchors.fill: parent
        onClicked: {
            frame.openCloseMenu()
            frame.clickFrame()
        }
    }
}
