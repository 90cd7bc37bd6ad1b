// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../Xq"

// A 16 x 16 title-bar button: help, minimize or close.
Item {
    id: button
    property string icon: "help"
    signal clicked()

    width: 16
    height: 16

    Image {
        anchors.fill: parent
        source: Skin.image("index", button.icon + (area.containsMouse ? "_hover" : ""))
    }

    MouseArea {
        id: area
        anchors.fill: parent
        anchors.margins: -4
        hoverEnabled: true
        onClicked: button.clicked()
    }
}
