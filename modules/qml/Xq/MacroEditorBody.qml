// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"

// The macro editor's content, built and its types loaded when the dialog first opens.
// Loaded from the dialog, it reaches the dialog (`page`) and its other parts by their ids.
Item {
    id: body

    MacroEditorEditGuard {
        editor: page.editor
        onPressedAway: page.endEdits()
    }

    PanelHeader {
        icon: Skin.image("macros", "icon")
        title: page.macroEditorLang[0]
        closeButton.objectName: "macroCloseButton"
        onCloseClicked: page.close()
    }

    // ---- Macro list ----
    SceneLabel {
        x: 16
        y: 48
        width: 168
        height: 20
        text: page.macroEditorLang[1]
    }
    MacroEditorListFrame {
        x: 16
        width: 168

        ListView {
            id: macroView
            objectName: "macroView"
            anchors.fill: parent
            anchors.margins: 1
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: macroList
            currentIndex: page.currentRow

            // Below the rows: the menu offers Import (appended) only.
            MouseArea {
                z: -1
                width: macroView.width
                height: Math.max(macroView.height, macroView.contentHeight)
                acceptedButtons: Qt.RightButton
                onClicked: function(mouse) {
                    page.openMacroMenu(-1, mapToItem(body, mouse.x, mouse.y))
                }
            }

            delegate: Rectangle {
                id: macroRow
                required property int index
                required property string name
                objectName: "macroRow" + index
                width: macroView.width
                height: 27
                color: index === page.currentRow ? Skin.colorOrange
                     : rowArea.containsMouse ? Skin.colorGray1 : "transparent"
                SceneLabel {
                    x: 8
                    width: parent.width - 16
                    height: parent.height
                    visible: page.renameRow !== macroRow.index
                    fontSizeMode: Text.FixedSize
                    elide: Text.ElideRight
                    text: macroRow.name
                }
                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onClicked: function(mouse) {
                        if (mouse.button === Qt.RightButton)
                            page.openMacroMenu(macroRow.index, mapToItem(body, mouse.x, mouse.y))
                        else if (macroRow.index !== page.currentRow)
                            page.selectMacro(macroRow.index)
                    }
                    onDoubleClicked: function(mouse) {
                        if (mouse.button === Qt.LeftButton)
                            page.startRename(macroRow.index)
                    }
                }
                Loader {
                    x: 8
                    width: parent.width - 16
                    height: parent.height
                    active: page.renameRow === macroRow.index
                    sourceComponent: MacroEditorEditField {
                        id: nameEdit
                        objectName: "macroNameEdit"
                        maximumLength: 32
                        startText: page.editText
                        onTextChanged: page.editText = text
                        onOpened: page.editor = nameEdit
                        onClosing: if (page.editor === nameEdit) page.editor = null
                        onFinished: page.endEdits()
                    }
                }
            }
        }
    }
    SceneButton {
        objectName: "macroNewButton"
        x: 16
        y: 412
        width: 80
        height: 24
        text: page.macroEditorLang[2]
        onClicked: page.newMacro()
    }
    SceneButton {
        objectName: "macroDeleteButton"
        x: 104
        y: 412
        width: 80
        height: 24
        text: page.macroEditorLang[3]
        onClicked: page.removeMacro()
    }

    // ---- Event list ----
    SceneLabel {
        x: 200
        y: 48
        width: 424
        height: 20
        text: page.macroEditorLang[4] + (page.currentMacro !== "" ? ": " + page.currentMacro : "")
        fontSizeMode: Text.FixedSize
        elide: Text.ElideRight
    }
    MacroEditorListFrame {
        x: 200
        width: 424

        ListView {
            id: eventView
            objectName: "eventView"
            anchors.fill: parent
            anchors.margins: 1
            clip: true
            boundsBehavior: Flickable.StopAtBounds
            model: eventList
            onCountChanged: if (page.isInputting) positionViewAtEnd()
            Connections {
                target: page
                function onMacroLoaded() { eventView.positionViewAtBeginning() }
            }

            MouseArea {
                z: -1
                width: eventView.width
                height: Math.max(eventView.height, eventView.contentHeight)
                acceptedButtons: Qt.RightButton
                onClicked: function(mouse) {
                    page.openEventMenu(-1, mapToItem(body, mouse.x, mouse.y))
                }
            }

            delegate: Rectangle {
                id: eventRowItem
                required property int index
                required property int type
                required property string info
                objectName: "eventRow" + index
                width: eventView.width
                height: 27
                color: index === page.eventRow ? Skin.colorOrange
                     : eventArea.containsMouse ? Skin.colorGray1 : "transparent"
                SceneLabel {
                    x: 4
                    width: 36
                    height: parent.height
                    horizontalAlignment: Text.AlignRight
                    text: eventRowItem.index + 1
                    color: Skin.colorGray3
                }
                Image {
                    x: 52
                    anchors.verticalCenter: parent.verticalCenter
                    source: Skin.image("macros", ["delay", "keyDown", "keyUp", "mouseDown", "mouseUp"][eventRowItem.type])
                }
                SceneLabel {
                    x: 80
                    width: parent.width - 88
                    height: parent.height
                    visible: page.delayRow !== eventRowItem.index
                    fontSizeMode: Text.FixedSize
                    elide: Text.ElideRight
                    text: page.shownInfo(eventRowItem.type, eventRowItem.info)
                }
                MouseArea {
                    id: eventArea
                    anchors.fill: parent
                    hoverEnabled: true
                    acceptedButtons: Qt.LeftButton | Qt.RightButton
                    onClicked: function(mouse) {
                        if (mouse.button === Qt.RightButton)
                            page.openEventMenu(eventRowItem.index, mapToItem(body, mouse.x, mouse.y))
                        else
                            page.eventRow = eventRowItem.index
                    }
                    onDoubleClicked: function(mouse) {
                        if (mouse.button === Qt.LeftButton)
                            page.startDelayEdit(eventRowItem.index)
                    }
                }
                Loader {
                    x: 80
                    width: 80
                    height: parent.height
                    active: page.delayRow === eventRowItem.index
                    sourceComponent: MacroEditorEditField {
                        id: delayEdit
                        objectName: "delayEdit"
                        maximumLength: 5
                        validator: IntValidator { bottom: 0; top: page.maxDelay }
                        startText: page.editText
                        onTextChanged: page.editText = text
                        onOpened: page.editor = delayEdit
                        onClosing: if (page.editor === delayEdit) page.editor = null
                        onFinished: page.endEdits()
                    }
                }
            }
        }
    }

    SceneButton {
        objectName: "macroRecordButton"
        x: 200
        y: 412
        width: 160
        height: 24
        text: ""
        onClicked: page.isInputting ? page.stopRecord() : page.startRecord()
        Row {
            anchors.centerIn: parent
            spacing: 6
            Image {
                anchors.verticalCenter: parent.verticalCenter
                source: Skin.image("macros", page.isInputting ? "stop" : "record")
            }
            SceneLabel {
                height: 24
                width: Math.min(implicitWidth, 160 - 32)
                text: page.isInputting ? page.macroEditorLang[5] : page.macroEditorLang[8]
            }
        }
    }
    CheckBox {
        id: delayCheck
        objectName: "macroDelayCheck"
        x: 376
        y: 416
        textValue: page.macroEditorLang[9]
        onIsSelectChanged: page.recordDelay = isSelect
    }
    Binding {
        target: delayCheck
        property: "isSelect"
        value: page.recordDelay
    }
    Row {
        anchors.right: parent.right
        anchors.rightMargin: 16
        y: 412
        height: 24
        spacing: 8
        SceneLabel {
            height: 24
            text: page.macroEditorLang[6]
        }
        Rectangle {
            anchors.verticalCenter: parent.verticalCenter
            width: 56
            height: 20
            color: "transparent"
            border.color: Skin.colorGray2
            radius: 2
            RectInput {
                id: repeatInput
                objectName: "macroRepeatInput"
                anchors.fill: parent
                minValue: 1
                maxValue: page.maxRepeat
                textValue: page.repeatText
                onDebugmodeSignal: closeFocus()
                onEndInputSignal: {
                    page.setRepeat(textValue)
                    textValue = Qt.binding(function() { return page.repeatText })
                }
            }
        }
    }

    // ---- Context menus ----
    MouseArea {
        anchors.fill: parent
        z: 60
        visible: page.menuKind !== 0
        acceptedButtons: Qt.LeftButton | Qt.RightButton
        onPressed: page.menuKind = 0
    }
    Rectangle {
        id: menu
        objectName: "macroMenu"
        z: 61
        visible: page.menuKind !== 0
        width: page.menuKind === 1 ? 80 : 150
        height: menuColumn.height + 2
        x: Math.min(page.menuAt.x, body.width - width - 2)
        y: Math.min(page.menuAt.y, body.height - height - 2)
        color: Skin.colorGray0
        border.color: Skin.colorGray2

        Column {
            id: menuColumn
            x: 1
            y: 1
            width: menu.width - 2
            MacroEditorMenuEntry {
                objectName: "menuDelete"
                // The list the menu was opened on, kept while the menu closes.
                property bool onMacroList: false
                text: page.macroEditorLang[10]
                usable: page.menuKind === 1 ? page.menuRow >= 0 : page.eventRow >= 0
                onClicked: {
                    onMacroList = page.menuKind === 1
                    page.menuKind = 0
                }
                onChosen: onMacroList ? page.removeMacro() : page.deleteEvent()
            }
            MacroEditorMenuEntry {
                objectName: "menuImport"
                visible: page.menuKind === 1
                text: page.macroEditorLang[11]
                onClicked: page.menuKind = 0
                onChosen: page.importMacro(page.menuRow)
            }
            MacroEditorMenuEntry {
                objectName: "menuExport"
                visible: page.menuKind === 1
                usable: page.menuRow >= 0
                text: page.macroEditorLang[12]
                onClicked: page.menuKind = 0
                onChosen: page.exportMacro()
            }
            MacroEditorMenuEntry {
                objectName: "menuInsertDelay"
                visible: page.menuKind === 2
                text: page.macroEditorLang[13]
                onClicked: page.menuKind = 0
                onChosen: page.insertDelay()
            }
            MacroEditorMenuEntry {
                objectName: "menuInsertKey"
                visible: page.menuKind === 2
                text: page.macroEditorLang[14]
                onClicked: page.menuKind = 0
                onChosen: page.openInsertKey()
            }
            MacroEditorMenuEntry {
                objectName: "menuInsertLeft"
                visible: page.menuKind === 2
                text: page.macroEditorLang[15]
                onClicked: page.menuKind = 0
                onChosen: page.insertMouse(0xF0)
            }
            MacroEditorMenuEntry {
                objectName: "menuInsertMiddle"
                visible: page.menuKind === 2
                text: page.macroEditorLang[16]
                onClicked: page.menuKind = 0
                onChosen: page.insertMouse(0xF2)
            }
            MacroEditorMenuEntry {
                objectName: "menuInsertRight"
                visible: page.menuKind === 2
                text: page.macroEditorLang[17]
                onClicked: page.menuKind = 0
                onChosen: page.insertMouse(0xF1)
            }
        }
    }

    // ---- Insert-key dialog ----
    Rectangle {
        anchors.fill: parent
        z: 70
        visible: page.isInsertting
        color: "#90000000"
        radius: 4
        MouseArea {
            anchors.fill: parent
        }
        Rectangle {
            objectName: "insertKeyDialog"
            anchors.centerIn: parent
            width: 240
            height: 80
            color: Skin.colorGray0
            border.color: Skin.colorGray2
            radius: 4
            SceneLabel {
                x: 12
                y: 6
                width: 216
                height: 24
                text: page.macroEditorLang[14]
            }
            Rectangle {
                x: 12
                y: 40
                width: 120
                height: 25
                color: "transparent"
                border.color: Skin.colorGray2
                radius: 2
                SceneLabel {
                    objectName: "insertKeyField"
                    anchors.fill: parent
                    horizontalAlignment: Text.AlignHCenter
                    text: page.insertCode !== 0 && page.keyCodes ? page.keyCodes.keycodeTostr(page.insertCode) : ""
                }
            }
            SceneButton {
                objectName: "insertKeyOk"
                x: 148
                y: 40
                width: 80
                height: 25
                text: page.macroEditorLang[7]
                onClicked: page.acceptInsertKey()
            }
        }
    }
}
