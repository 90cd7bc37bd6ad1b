// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"
import "KeyFunctions.js" as KeyFunctions

// The button list: the current profile's sixteen key definitions as edited (modKeys) and the
// factory ones (modKeys_tmp), one row per button below keyCount. The main window sends modKeys
// in parameter block 1.
Rectangle {
    id: page
    property bool isSave: false
    readonly property var keyMatrixLangBuiltIn: ["Key ", "Buttons"]
    property var keyMatrixLang: keyMatrixLangBuiltIn
    property int keyCount: 8
    // Button whose hot spot or row is hovered, or whose dialog is open.
    property int selectKey: -1
    // Gives the text of a definition (the assignment dialog's keyCodeToString).
    property var keyAssigment: null
    property alias modKeys: modKeysModel
    property alias modKeys_tmp: modKeysTmpModel
    signal rowClicked(int index)
    signal rowHovered(int index)
    // A factory macro definition came back: its macro goes to the device's slot again.
    signal sendMacro(int index, string name)

    height: 40 + 24 * keyCount + 2 * (keyCount - 1) + 8
    color: Skin.colorGray0
    border.color: Skin.colorGray1
    radius: 2

    readonly property var builtInKeys: [
        [0, 0, 0xF0, 0], [0, 0, 0xF1, 0], [0, 0, 0xF2, 0], [0, 0, 0xF4, 0], [0, 0, 0xF3, 0],
        [5, 0, 1, 0], [5, 0, 2, 0], [0, 0xF0, 0x1E, 2], [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0],
        [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0], [0xFF, 0, 1, 0], [0xFF, 0, 2, 0]
    ]

    function entry(codes, text) {
        return { keyCode0: codes[0], keyCode1: codes[1], keyCode2: codes[2], keyCode3: codes[3],
                  keyText: text }
    }

    function textOf(codes, isRecovery) {
        return keyAssigment ? keyAssigment.keyCodeToString(codes[0], codes[1], codes[2], codes[3], isRecovery) : ""
    }

    function fill(model, definitionOf, isRecovery) {
        for (var j = 0; j < 16; ++j) {
            var codes = definitionOf(j)
            var e = entry(codes, textOf(codes, isRecovery))
            if (j < model.count)
                model.set(j, e)
            else
                model.append(e)
        }
    }

    function codesAt(model, j) {
        var e = model.get(j)
        return [e.keyCode0, e.keyCode1, e.keyCode2, e.keyCode3]
    }

    // A button without a stored definition (or with a damaged one) shows its factory definition,
    // and the built-in one when the factory file lacks it too.
    function init(isSendData, isRecovery) {
        fill(modKeysTmpModel, function(j) {
            return KeyFunctions.definition(ui_View.mouseGetKeydefine(j, true)) || builtInKeys[j]
        }, true)
        fill(modKeysModel, function(j) { return storedDefinition(j, isRecovery) }, isRecovery)
    }

    function storedDefinition(j, isRecovery) {
        return KeyFunctions.definition(ui_View.mouseGetKeydefine(j, isRecovery)) || codesAt(modKeysTmpModel, j)
    }

    // The 64 code bytes as the profile holds them, except for the buttons listed in fromPage,
    // taken as the page has them.
    function storedKeys(fromPage) {
        var list = []
        for (var j = 0; j < 16; ++j)
            list = list.concat(fromPage && fromPage.indexOf(j) >= 0 ? codesAt(modKeysModel, j)
                                                                   : storedDefinition(j, false))
        return list
    }

    function definitions() {
        var list = []
        for (var j = 0; j < modKeysModel.count; ++j)
            list.push(codesAt(modKeysModel, j))
        return list
    }

    // The only left button below keyCount keeps its function.
    function isOnlyLeftButton(index) {
        return KeyFunctions.isOnlyLeftButton(definitions(), index, keyCount)
    }

    // A definition chosen for a button; the page then holds a change to send.
    function setEntry(index, codes, text) {
        if (index < 0 || index >= modKeysModel.count)
            return
        modKeysModel.set(index, entry(codes, text))
        isSave = true
    }

    function assign(index, code0, code1, code2, code3) {
        var codes = KeyFunctions.definition([code0, code1, code2, code3])
        setEntry(index, codes, textOf(codes, false))
    }

    // A factory definition back on button `index`; a macro goes to the device again under the
    // factory file's name.
    function restoreFactory(index) {
        var codes = codesAt(modKeysTmpModel, index)
        setEntry(index, codes, modKeysTmpModel.get(index).keyText)
        if (codes[0] !== KeyFunctions.MacroGroup)
            return
        var key = "mouseMacroKey/" + codes[2]
        var name = ui_View.getData(key, true)
        if (name === undefined || name === null || String(name) === "")
            return
        sendMacro(codes[2], String(name))
        ui_View.setData(key, String(name))
    }

    function resetAll() {
        for (var j = 0; j < modKeysTmpModel.count; ++j)
            restoreFactory(j)
        isSave = true
    }

    function reset() {
        fill(modKeysModel, function(j) { return builtInKeys[j] }, false)
        fill(modKeysTmpModel, function(j) { return builtInKeys[j] }, true)
        isSave = false
    }

    // Sends the key matrices with the gun periods of slots 1..3: the buttons as stored, since
    // changes on this page wait for "Save".
    function sendKeyMatrix(gunPeriods) {
        ui_View.mouseSetKeyMatrix(storedKeys(), true, gunPeriods)
    }

    ListModel {
        id: modKeysModel
        function saveData() {
            var list = []
            for (var j = 0; j < 16; ++j) {
                var e = j < count ? get(j) : { keyCode0: 0, keyCode1: 0, keyCode2: 0, keyCode3: 0 }
                list.push(e.keyCode0, e.keyCode1, e.keyCode2, e.keyCode3)
            }
            return list
        }
    }
    ListModel { id: modKeysTmpModel }

    Component.onCompleted: reset()

    Text {
        x: 8
        y: 0
        height: 40
        width: page.width - 48
        verticalAlignment: Text.AlignVCenter
        fontSizeMode: Text.HorizontalFit
        minimumPixelSize: 8
        text: page.keyMatrixLang[1] || ""
        color: Skin.fontColor
        font.family: Skin.fontFamily
        font.pixelSize: Skin.fontMiddleSize
    }

    TitleButton {
        objectName: "keyMatrixReset"
        x: page.width - width - 12
        y: 12
        icon: "reset"
        onClicked: page.resetAll()
    }

    Column {
        x: 8
        y: 40
        spacing: 2
        Repeater {
            model: modKeysModel
            // Rows of buttons the mouse does not have are not built.
            Loader {
                id: slot
                required property int index
                required property string keyText
                active: index < page.keyCount
                visible: active
                sourceComponent: Rectangle {
                    id: row
                    readonly property int index: slot.index
                    readonly property string keyText: slot.keyText
                    objectName: "keyRow" + index
                    width: page.width - 16
                    height: 24
                    color: rowArea.containsMouse || page.selectKey === index ? Skin.colorOrange : Skin.colorGray1
                    Text {
                        id: rowLabel
                        x: 8
                        anchors.verticalCenter: parent.verticalCenter
                        text: page.keyMatrixLang[0] + " " + (row.index + 1)
                        color: Skin.fontColor
                        font.family: Skin.fontFamily
                        font.pixelSize: Skin.fontNormalSize
                    }
                    // A long function name shrinks before it is cut.
                    Text {
                        objectName: "keyRowText" + row.index
                        anchors.right: parent.right
                        anchors.rightMargin: 8
                        anchors.verticalCenter: parent.verticalCenter
                        width: parent.width - rowLabel.width - 32
                        horizontalAlignment: Text.AlignRight
                        fontSizeMode: Text.HorizontalFit
                        minimumPixelSize: 8
                        elide: Text.ElideRight
                        text: row.keyText
                        color: Skin.fontColor
                        font.family: Skin.fontFamily
                        font.pixelSize: Skin.fontNormalSize
                    }
                    MouseArea {
                        id: rowArea
                        anchors.fill: parent
                        hoverEnabled: true
                        onClicked: page.rowClicked(row.index)
                        onContainsMouseChanged: page.rowHovered(containsMouse ? row.index : -1)
                    }
                }
            }
        }
    }
}
