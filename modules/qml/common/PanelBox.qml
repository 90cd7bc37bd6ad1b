// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../Xq"

// A titled box of the left column.
Rectangle {
    id: box
    property string title: ""
    property int titleSize: Skin.fontNormalSize
    // Room kept free at the right for the box's control.
    property int reservedRight: 128

    color: Skin.colorGray0
    border.color: Skin.colorGray1
    border.width: 1
    radius: 2

    Text {
        x: 8
        y: 0
        height: Math.min(box.height, 42)
        verticalAlignment: Text.AlignVCenter
        width: box.width - box.reservedRight - 12
        // A long translation shrinks before it is cut.
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 8
        elide: Text.ElideRight
        text: box.title
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: box.titleSize
    }
}
