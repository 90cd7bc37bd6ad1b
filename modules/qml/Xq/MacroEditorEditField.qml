// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A text field edited in place. It starts with `startText`, all selected and focused; `opened`
// and `closing` frame its life, `finished` is Return or Enter.
TextInput {
    id: field
    property string startText: ""
    signal opened()
    signal closing()
    signal finished()
    color: Skin.fontColor
    selectionColor: Skin.colorOrange
    selectByMouse: true
    clip: true
    font.family: Skin.fontFamily
    font.pixelSize: Skin.fontNormalSize
    verticalAlignment: TextInput.AlignVCenter
    Component.onCompleted: {
        text = startText
        opened()
        forceActiveFocus()
        selectAll()
    }
    Component.onDestruction: closing()
    Keys.onReturnPressed: finished()
    Keys.onEnterPressed: finished()
    Rectangle {
        anchors.fill: parent
        anchors.margins: -2
        anchors.leftMargin: -4
        z: -1
        color: Skin.colorGray0
        border.color: Skin.colorGray3
        radius: 2
    }
}
