// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../Xq"

// A label of the dialogs: the scene's font and colour, shrinking before it is cut.
Text {
    color: Skin.fontColor
    font.family: Skin.fontFamily
    font.pixelSize: Skin.fontNormalSize
    fontSizeMode: Text.HorizontalFit
    minimumPixelSize: 8
    verticalAlignment: Text.AlignVCenter
}
