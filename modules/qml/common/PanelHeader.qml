// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../Xq"

// The title row of a dialog: its icon and title, an optional back (reset) button, the close
// button, and a line under them. Fills the dialog's width.
Item {
    id: header
    property url icon
    property string title: ""
    property bool hasBack: false
    property alias closeButton: closeButton
    property alias backButton: backButton
    signal closeClicked()
    signal backClicked()

    width: parent ? parent.width : 0
    height: 41

    Image {
        x: 16
        y: 12
        source: header.icon
    }
    SceneLabel {
        x: 40
        y: 8
        width: header.width - 40 - (header.hasBack ? 80 : 48)
        height: 24
        text: header.title
        font.pixelSize: Skin.fontMiddleSize
    }
    TitleButton {
        id: backButton
        x: header.width - 64
        y: 12
        visible: header.hasBack
        icon: "reset"
        onClicked: header.backClicked()
    }
    TitleButton {
        id: closeButton
        x: header.width - 32
        y: 12
        icon: "close"
        onClicked: header.closeClicked()
    }
    Rectangle {
        x: 16
        y: 40
        width: header.width - 32
        height: 1
        color: Skin.colorGray1
    }
}
