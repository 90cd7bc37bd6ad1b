// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A section heading: its icon and text.
Row {
    property alias icon: headingIcon.source
    property alias text: headingText.text
    x: 32
    spacing: 8
    Image {
        id: headingIcon
        anchors.verticalCenter: parent.verticalCenter
    }
    Text {
        id: headingText
        width: 352 - 24
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: Skin.fontMinSize
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }
}
