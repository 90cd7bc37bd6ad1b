// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../Xq"

// The help menu: the program's web address (when one is set) and its version.
Rectangle {
    id: menu
    property string url: ""
    property string version: ""
    signal openUrl()

    visible: false
    width: 200
    height: column.height
    color: Skin.colorGray0
    border.color: Skin.colorGray1

    Column {
        id: column
        width: parent.width
        // Built while the menu shows.
        Repeater {
            model: !menu.visible ? [] : [
                { text: menu.url, shown: menu.url !== "", link: true },
                { text: "version:" + menu.version, shown: true, link: false }
            ]
            Rectangle {
                required property var modelData
                required property int index
                objectName: "helpEntry" + index
                width: column.width
                height: 24
                visible: modelData.shown
                color: entryArea.containsMouse && modelData.link ? Skin.colorOrange : "transparent"
                Text {
                    objectName: "helpText" + index
                    anchors.fill: parent
                    anchors.leftMargin: 8
                    anchors.rightMargin: 8
                    verticalAlignment: Text.AlignVCenter
                    elide: Text.ElideRight
                    text: modelData.text
                    color: Skin.fontColor
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontNormalSize
                }
                MouseArea {
                    id: entryArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: {
                        if (modelData.link)
                            menu.openUrl()
                        menu.visible = false
                    }
                }
            }
        }
    }
}
