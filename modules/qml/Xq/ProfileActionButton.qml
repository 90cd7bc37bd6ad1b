// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"

// A panel button with an icon at its left.
SceneButton {
    property string icon: ""
    width: 120
    height: 28
    Image {
        x: 10
        anchors.verticalCenter: parent.verticalCenter
        width: 16
        height: 16
        source: Skin.image("index", parent.icon)
    }
}
