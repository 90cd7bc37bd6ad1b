// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

Rectangle {
    width: 56
    height: 20
    color: "transparent"
    border.color: Skin.colorGray2
    radius: 2
}
