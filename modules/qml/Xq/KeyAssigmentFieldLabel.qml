// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"

SceneLabel {
    width: 100
    height: 24
    color: Skin.colorGray3
}
