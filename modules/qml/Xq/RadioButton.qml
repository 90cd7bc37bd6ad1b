// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A disc with a dot while selected, then the text. A click only ever selects; keeping a group
// exclusive is the page's job.
Item {
    id: radioButton

    property string textValue: "Text"
    property bool isSelect: false
    property int index: -1
    property int gapValue: 16

    signal btnClick(int index)

    implicitWidth: 8 + label.implicitWidth + gapValue
    implicitHeight: Math.max(label.implicitHeight, disc.height)

    Rectangle {
        id: disc
        anchors.verticalCenter: parent.verticalCenter
        width: 10
        height: 10
        radius: 4
        color: Skin.colorGray3

        Rectangle {
            anchors.centerIn: parent
            width: 6
            height: 6
            radius: 2
            color: Skin.colorOrange
            visible: radioButton.isSelect
        }
    }

    Text {
        id: label
        x: 8 + radioButton.gapValue
        anchors.verticalCenter: parent.verticalCenter
        text: radioButton.textValue
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }

    MouseArea {
        anchors.fill: parent
        anchors.margins: -6
        onClicked: {
            radioButton.isSelect = true
            radioButton.btnClick(radioButton.index)
        }
    }
}
