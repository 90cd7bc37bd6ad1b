// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick

// A key field: shows the captured keys (or the hint), orange while capturing.
Rectangle {
    property bool capturing: false
    property string shown: ""
    property string hint: ""
    signal clicked()
    height: 24
    color: Skin.colorGray0
    border.color: capturing ? Skin.colorOrange : Skin.colorGray2
    radius: 2
    Text {
        anchors.fill: parent
        anchors.leftMargin: 8
        anchors.rightMargin: 8
        verticalAlignment: Text.AlignVCenter
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 8
        elide: Text.ElideRight
        text: parent.shown !== "" ? parent.shown : parent.hint
        color: parent.shown !== "" ? Skin.fontColor : Skin.colorGray2
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontNormalSize
    }
    MouseArea {
        anchors.fill: parent
        onClicked: parent.clicked()
    }
}
