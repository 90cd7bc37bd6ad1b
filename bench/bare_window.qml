// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

Rectangle {
    color: "#303135"

    Text {
        anchors.centerIn: parent
        text: "bare window"
        color: "white"
    }
}
