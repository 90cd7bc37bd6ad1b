// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"

// A section title with a line under it.
Item {
    property alias text: headingText.text
    width: 304
    height: 24
    SceneLabel {
        id: headingText
        width: parent.width
        height: 22
        color: Skin.colorGray3
    }
    Rectangle {
        y: 23
        width: parent.width
        height: 1
        color: Skin.colorGray1
    }
}
