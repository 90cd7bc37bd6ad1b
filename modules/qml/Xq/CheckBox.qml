// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// Text, then a small box that shows a tick while selected. A click reports the box's index
// before it toggles, so receivers still read the old isSelect.
Item {
    id: checkBox

    property string textValue: "Text"
    property bool isSelect: false
    property int index: -1
    property int gapValue: 8
    property color bgColor: "transparent"
    property color borderColor: Skin.colorGray2

    signal btnClick(int index)

    implicitWidth: label.implicitWidth + box.width + gapValue
    implicitHeight: label.implicitHeight

    Text {
        id: label
        text: checkBox.textValue
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }

    // Centred on the text, one pixel higher.
    Rectangle {
        id: box
        x: label.implicitWidth + checkBox.gapValue
        y: Math.round((label.implicitHeight - height) / 2) - 1
        width: 12
        height: 12
        radius: 2
        color: checkBox.bgColor
        border.width: 1
        border.color: checkBox.borderColor
    }

    // Drawn at its design size: the picture comes at twice the size for sharp scaling.
    Image {
        x: box.x + 3
        y: box.y - 3
        width: 12
        height: 10
        visible: checkBox.isSelect
        source: Skin.sourceCheckBtn
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: {
            checkBox.btnClick(checkBox.index)
            checkBox.isSelect = !checkBox.isSelect
        }
    }
}
