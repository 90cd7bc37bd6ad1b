import QtQuick
import "../Xq"

// A titled box of the left column.
Rectangle {
    id: box
    property string title: ""
    property int titleSize: Skin.fontNormalSize

    color: Skin.colorGray0
    border.color: Skin.colorGray1
    border.width: 1
    radius: 2

    Text {
        x: 8
        y: 0
        height: Math.min(box.height, 42)
        verticalAlignment: Text.AlignVCenter
        width: box.width - 136
        elide: Text.ElideRight
        text: box.title
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: box.titleSize
    }
}
