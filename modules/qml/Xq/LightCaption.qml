import QtQuick

Text {
    color: Skin.fontColor
    font.family: Skin.fontFamily
    font.pixelSize: Skin.fontNormalSize
    fontSizeMode: Text.HorizontalFit
    minimumPixelSize: 8
    elide: Text.ElideRight
}
