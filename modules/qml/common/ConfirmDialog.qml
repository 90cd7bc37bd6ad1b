// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../Xq"

// The factory-reset question: a title, a text, OK and Cancel.
FloatingPanel {
    id: dialog
    property string title: ""
    property string text: ""
    property string okText: "OK"
    property string cancelText: "Cancel"
    signal accepted()

    width: 427
    height: 102

    function openCentred() {
        x = Math.round((1024 - width) / 2)
        y = Math.round((640 - height) / 2)
        open()
    }

    body: Component {
        Item {
            Text {
                x: 12
                y: 8
                text: dialog.title
                color: Skin.fontColor
                font.family: Skin.fontFamily
                font.pixelSize: Skin.fontMiddleSize
            }
            Text {
                x: 12
                y: 36
                width: dialog.width - 24
                elide: Text.ElideRight
                text: dialog.text
                color: Skin.colorGray3
                font.family: Skin.fontFamily
                font.pixelSize: Skin.fontNormalSize
            }
            Row {
                anchors.right: parent.right
                anchors.rightMargin: 12
                anchors.bottom: parent.bottom
                anchors.bottomMargin: 10
                spacing: 12
                SceneButton {
                    objectName: "resetOkButton"
                    width: 88
                    height: 25
                    text: dialog.okText
                    onClicked: dialog.accepted()
                }
                SceneButton {
                    objectName: "resetCancelButton"
                    width: 88
                    height: 25
                    text: dialog.cancelText
                    onClicked: dialog.close()
                }
            }
        }
    }
}
