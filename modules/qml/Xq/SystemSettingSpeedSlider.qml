// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A speed slider with "Slow" and "Fast" under its ends and, between them, the note
// when the desktop refused the value. The knob follows `position`.
Item {
    id: speed
    property int position: 0
    property bool isApplied: true
    property alias slowText: slow.text
    property alias fastText: fast.text
    property alias noteText: note.text
    property alias noteName: note.objectName
    signal moved(int position)
    x: 32
    width: 352
    height: 26

    SliderButton {
        id: slider
        objectName: speed.objectName + "Track"
        width: parent.width
        Component.onCompleted: setValue(speed.position)
        onValueChangeDelay: function(x) { speed.moved(x) }
    }
    Connections {
        target: speed
        function onPositionChanged() { slider.setValue(speed.position) }
    }
    Text {
        id: slow
        y: 12
        color: Skin.colorGray3
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMinSize
    }
    Text {
        id: fast
        y: 12
        anchors.right: parent.right
        color: Skin.colorGray3
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMinSize
    }
    SystemSettingNote {
        id: note
        y: 12
        x: slow.width + 8
        width: parent.width - slow.width - fast.width - 16
        horizontalAlignment: Text.AlignHCenter
        visible: !speed.isApplied
    }
}
