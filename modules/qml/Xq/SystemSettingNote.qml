import QtQuick

// Says that the desktop did not take a setting.
Text {
    fontSizeMode: Text.HorizontalFit
    minimumPixelSize: 8
    color: "#ff3030"
    font.family: Skin.fontFamily
    font.pixelSize: Skin.fontMinSize
}
