// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

Rectangle {
    y: 72
    height: 328
    color: "transparent"
    border.color: Skin.colorGray1
    radius: 2
}
