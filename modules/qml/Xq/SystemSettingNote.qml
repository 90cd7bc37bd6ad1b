// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"

// Says that the desktop did not take a setting.
SceneLabel {
    color: "#ff3030"
    font.pixelSize: Skin.fontMinSize
}
