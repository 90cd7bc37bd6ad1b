// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// R, G and B of the selected block.
Row {
    id: channel
    property string name: ""
    property alias input: channelInput
    signal edited()
    spacing: 4
    Text {
        height: 22
        verticalAlignment: Text.AlignVCenter
        text: channel.name
        color: Skin.colorGray3
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }
    Rectangle {
        width: 50
        height: 22
        color: "transparent"
        border.color: Skin.colorGray1
        radius: 2
        RectInput {
            id: channelInput
            anchors.centerIn: parent
            textValue: "255"
            onEndInputSignal: channel.edited()
        }
    }
}
