// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"

// An entry of a context menu: any click on it is `clicked` (the menu closes), on a usable
// one then `chosen`.
Rectangle {
    id: entry
    property alias text: entryText.text
    property bool usable: true
    signal clicked()
    signal chosen()
    width: parent.width
    height: 24
    color: usable && entryArea.containsMouse ? Skin.colorOrange : Skin.colorGray0
    SceneLabel {
        id: entryText
        x: 8
        width: parent.width - 12
        height: parent.height
        color: entry.usable ? Skin.fontColor : Skin.colorGray2
    }
    MouseArea {
        id: entryArea
        anchors.fill: parent
        hoverEnabled: true
        // Usable as shown: closing the menu may change what `usable` reads.
        onClicked: {
            var wasUsable = entry.usable
            entry.clicked()
            if (wasUsable)
                entry.chosen()
        }
    }
}
