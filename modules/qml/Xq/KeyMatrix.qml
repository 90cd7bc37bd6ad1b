import QtQuick
import "SceneText.js" as SceneText

// The button list: the current profile's sixteen key definitions as edited (modKeys) and the
// factory ones (modKeys_tmp). The main window sends modKeys in parameter block 1.
Rectangle {
    id: page
    property bool isSave: false
    readonly property var keyMatrixLangBuiltIn: ["Key "]
    property var keyMatrixLang: keyMatrixLangBuiltIn
    property int keyCount: 8
    // Gives the text of a definition (the assignment dialog's keyCodeToString).
    property var keyAssigment: null
    property alias modKeys: modKeysModel
    property alias modKeys_tmp: modKeysTmpModel
    signal rowClicked(int index)
    signal rowHovered(int index)

    height: 40 + 24 * keyCount + 2 * (keyCount - 1) + 8
    color: Skin.colorGray0
    border.color: Skin.colorGray1
    radius: 2

    readonly property var builtInKeys: [
        [0, 0, 0xF0, 0], [0, 0, 0xF1, 0], [0, 0, 0xF2, 0], [0, 0, 0xF4, 0], [0, 0, 0xF3, 0],
        [5, 0, 1, 0], [5, 0, 2, 0], [0, 0xF0, 0x1E, 2], [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0],
        [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0], [0xFF, 0, 1, 0], [0xFF, 0, 2, 0]
    ]

    function entry(codes) {
        var c = [0, 0, 0, 0]
        for (var i = 0; i < 4 && codes && i < codes.length; ++i)
            c[i] = SceneText.toInt(codes[i], 0)
        var text = keyAssigment ? keyAssigment.keyCodeToString(c[0], c[1], c[2], c[3]) : ""
        return { keyCode0: c[0], keyCode1: c[1], keyCode2: c[2], keyCode3: c[3], keyText: text }
    }

    function fill(model, definitionOf) {
        for (var j = 0; j < 16; ++j) {
            var e = entry(definitionOf(j))
            if (j < model.count)
                model.set(j, e)
            else
                model.append(e)
        }
    }

    function init(isSendData, isRecovery) {
        // A button without a stored definition keeps the one it has.
        fill(modKeysModel, function(j) {
            var d = ui_View.mouseGetKeydefine(j, isRecovery)
            return d.length === 4 ? d : modKeysModel.count > j ? codesAt(modKeysModel, j) : builtInKeys[j]
        })
        fill(modKeysTmpModel, function(j) {
            var d = ui_View.mouseGetKeydefine(j, true)
            return d.length === 4 ? d : builtInKeys[j]
        })
    }

    function codesAt(model, j) {
        var e = model.get(j)
        return [e.keyCode0, e.keyCode1, e.keyCode2, e.keyCode3]
    }

    // A definition chosen for a button; the page then holds a change to send.
    function assign(index, code0, code1, code2, code3) {
        if (index < 0 || index >= modKeysModel.count)
            return
        modKeysModel.set(index, entry([code0, code1, code2, code3]))
        isSave = true
    }

    function reset() {
        fill(modKeysModel, function(j) { return builtInKeys[j] })
        fill(modKeysTmpModel, function(j) { return builtInKeys[j] })
        isSave = false
    }

    // Stores the definitions and sends the key matrices (with the gun periods of slots 1..3).
    function sendKeyMatrix(gunPeriods) {
        ui_View.mouseSetKeyMatrix(modKeysModel.saveData(), true, gunPeriods)
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

    Column {
        x: 8
        y: 40
        spacing: 2
        Repeater {
            model: modKeysModel
            Rectangle {
                required property int index
                required property string keyText
                visible: index < page.keyCount
                width: page.width - 16
                height: 24
                color: rowArea.containsMouse ? Skin.colorOrange : Skin.colorGray1
                Text {
                    x: 8
                    anchors.verticalCenter: parent.verticalCenter
                    text: page.keyMatrixLang[0] + " " + (index + 1)
                    color: Skin.fontColor
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontNormalSize
                }
                Text {
                    anchors.right: parent.right
                    anchors.rightMargin: 8
                    anchors.verticalCenter: parent.verticalCenter
                    width: parent.width / 2
                    horizontalAlignment: Text.AlignRight
                    elide: Text.ElideRight
                    text: keyText
                    color: Skin.fontColor
                    font.family: Skin.fontFamily
                    font.pixelSize: Skin.fontNormalSize
                }
                MouseArea {
                    id: rowArea
                    anchors.fill: parent
                    hoverEnabled: true
                    onClicked: page.rowClicked(index)
                    onContainsMouseChanged: page.rowHovered(containsMouse ? index : -1)
                }
            }
        }
    }
}
