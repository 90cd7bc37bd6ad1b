import QtQuick

Text {
    width: 100
    height: 24
    verticalAlignment: Text.AlignVCenter
    fontSizeMode: Text.HorizontalFit
    minimumPixelSize: 8
    color: Skin.colorGray3
    font.family: Skin.fontFamily
    font.pixelSize: Skin.fontNormalSize
}
