// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"

// The profile dialog's content, built and its types loaded when the dialog first opens.
// Loaded from the dialog, it reaches the dialog (`page`) and its other parts by their ids.
Item {
    id: content

    focus: true

    // A press anywhere closes the context menu; the panel still takes it (focus, drag).
    MouseArea {
        anchors.fill: parent
        onPressed: function(mouse) {
            page.menuShown = false
            mouse.accepted = false
        }
    }

    Keys.onEscapePressed: {
        if (page.menuShown)
            page.menuShown = false
        else
            page.close()
    }

    Image {
        x: 16
        y: 14
        width: 16
        height: 16
        source: Skin.image("profile", "icon")
    }
    Text {
        x: 40
        y: 12
        width: closeButton.x - x - 8
        height: 20
        verticalAlignment: Text.AlignVCenter
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 8
        text: page.profileLang[0]
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMiddleSize
    }
    TitleButton {
        id: closeButton
        objectName: "profileCloseButton"
        x: page.width - 16 - width
        y: 14
        icon: "close"
        onClicked: page.close()
    }

    Rectangle {
        objectName: "profileEntries"
        x: 16
        y: 44
        width: page.width - 32
        height: 6 * 30 + 2
        color: "transparent"
        border.color: Skin.colorGray1
        radius: 2

        // Rows placed by their index: a new row is where it belongs at once.
        Item {
            x: 1
            y: 1
            width: parent.width - 2
            Repeater {
                model: profileModel
                Rectangle {
                    id: row
                    required property int index
                    required property string textValue
                    required property int profileNo
                    readonly property bool editing: page.editingIndex === index
                    y: 30 * index
                    width: parent.width
                    height: 30
                    color: page.selectedIndex === index ? Skin.colorOrange
                           : rowArea.containsMouse ? Skin.colorGray1 : "transparent"

                    Image {
                        x: 10
                        anchors.verticalCenter: parent.verticalCenter
                        width: 16
                        height: 16
                        source: Skin.image("profile", "entry")
                    }
                    Text {
                        x: 34
                        width: parent.width - x - 30
                        height: parent.height
                        verticalAlignment: Text.AlignVCenter
                        elide: Text.ElideRight
                        visible: !row.editing
                        text: row.textValue
                        color: Skin.fontColor
                        font.family: Skin.fontFamily
                        font.pixelSize: Skin.fontNormalSize
                    }
                    // The profile in use.
                    Rectangle {
                        anchors.right: parent.right
                        anchors.rightMargin: 12
                        anchors.verticalCenter: parent.verticalCenter
                        width: 8
                        height: 8
                        radius: 4
                        visible: row.profileNo === page.profileNo
                        color: Skin.fontColor
                    }
                    MouseArea {
                        id: rowArea
                        anchors.fill: parent
                        hoverEnabled: true
                        acceptedButtons: Qt.LeftButton | Qt.RightButton
                        onPressed: function(mouse) {
                            page.menuShown = false
                            content.forceActiveFocus()
                            page.listViewFocus()
                            if (mouse.button === Qt.RightButton)
                                page.openMenu(row.index, mapToItem(page, mouse.x, mouse.y))
                            else
                                page.selectedIndex = row.index
                        }
                        // A click switches to the profile, as the title bar's list does
                        // (the double click that renames switches with its first click).
                        onClicked: function(mouse) {
                            if (mouse.button === Qt.LeftButton)
                                page.changeProfile(row.profileNo)
                        }
                        onDoubleClicked: function(mouse) {
                            if (mouse.button === Qt.LeftButton)
                                page.startRename(row.index)
                        }
                    }
                    TextInput {
                        id: nameEditor
                        objectName: "profileNameEditor"
                        x: 34
                        width: parent.width - x - 30
                        height: parent.height
                        verticalAlignment: TextInput.AlignVCenter
                        visible: row.editing
                        maximumLength: 16
                        selectByMouse: true
                        clip: true
                        color: Skin.fontColor
                        selectionColor: Skin.colorBlue
                        font.family: Skin.fontFamily
                        font.pixelSize: Skin.fontNormalSize
                        property bool cancelled: false
                        onVisibleChanged: {
                            if (!visible)
                                return
                            cancelled = false
                            text = row.textValue
                            selectAll()
                            forceActiveFocus()
                        }
                        // Enter, or the focus going elsewhere, ends the edit.
                        onEditingFinished: if (row.editing) page.finishRename(text, !cancelled)
                        Keys.onEscapePressed: {
                            cancelled = true
                            content.forceActiveFocus()
                        }
                    }
                }
            }
        }
    }

    Row {
        x: 16
        y: page.height - 16 - 28
        spacing: 8
        ProfileActionButton {
            objectName: "profileNewButton"
            icon: "new"
            text: page.profileLang[1]
            onClicked: page.newProfile()
        }
        ProfileActionButton {
            objectName: "profileImportButton"
            icon: "import"
            text: page.profileLang[2]
            onClicked: page.profileMenuCmd(2)
        }
    }

    // The context menu of an entry: Delete and Export.
    Rectangle {
        objectName: "profileMenu"
        visible: page.menuShown
        x: page.menuPosition.x
        y: page.menuPosition.y
        z: 2
        width: 120
        height: 48
        color: Skin.colorGray0
        border.color: Skin.colorGray1

        Column {
            Repeater {
                model: [{ icon: "delete", text: 3, name: "profileMenuDelete" },
                        { icon: "export", text: 4, name: "profileMenuExport" }]
                Rectangle {
                    required property var modelData
                    required property int index
                    objectName: modelData.name
                    width: 120
                    height: 24
                    color: entryArea.containsMouse ? Skin.colorOrange : "transparent"
                    Image {
                        x: 8
                        anchors.verticalCenter: parent.verticalCenter
                        width: 16
                        height: 16
                        source: Skin.image("index", modelData.icon)
                    }
                    Text {
                        x: 30
                        width: parent.width - x - 4
                        height: parent.height
                        verticalAlignment: Text.AlignVCenter
                        fontSizeMode: Text.HorizontalFit
                        minimumPixelSize: 8
                        text: page.profileLang[modelData.text]
                        color: Skin.fontColor
                        font.family: Skin.fontFamily
                        font.pixelSize: Skin.fontNormalSize
                    }
                    MouseArea {
                        id: entryArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: page.profileMenuCmd(index)
                    }
                }
            }
        }
    }
}
