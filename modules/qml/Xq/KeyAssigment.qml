import QtQuick
import "../common"

// The button assignment dialog (stand-in: opens for a button and names definitions).
FloatingPanel {
    id: page
    property var keyMatrix: null
    property var macroNames: []
    property int selectKey: -1
    property bool isFireInput: false
    property bool isComboInput: false
    readonly property var keyAssigmentLangBuiltIn: ["Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key",
        "Forward Key", "Back Key", "Double Fire", "Fire Function", "Key Value", "Click Input", "Rate", "Times",
        "Endness", "Group Function", "Media Function", "Macro Function", "Macro Editor",
        "Macro runs one-time after pressing the button", "Macro runs endless loop until any button is pressed",
        "Macro runs endless loop until button is released", "DPI Function", "DPI+", "DPI-", "DPI LOOP",
        "Windows Function", "Shortcut Function", "Player", "Next", "Privous", "Stop", "Mute", "Play/Pause",
        "Volumn+", "Volumn-", "My PC", "Index", "Search", "Max", "Min", "Desktop", "Run", "New", "Cut", "Copy",
        "Paste", "Save", "Print", "Find", "Redo", "Undo", "Select All", "Gun Function", "One Gun", "Two Gun",
        "Three Gun", "Sniper Key", "", "", ""]
    property var keyAssigmentLang: keyAssigmentLangBuiltIn
    signal openMacroEditor()
    signal sendMacro(int index, string name)

    width: 560
    height: 400

    function init() {
    }

    function openFor(index) {
        selectKey = index
        x = Math.round((1024 - width) / 2)
        y = Math.round((640 - height) / 2)
        open()
    }

    function refresh() {
    }

    function detectKeyboard(isDown, usbCode, index) {
    }

    function keyCodeToString(code0, code1, code2, code3) {
        var l = keyAssigmentLang
        if (code0 === 0) {
            if (code2 === 0xF0) return l[2]
            if (code2 === 0xF2) return l[3]
            if (code2 === 0xF1) return l[4]
            if (code2 === 0xF4) return l[5]
            if (code2 === 0xF3) return l[6]
            if (code2 === 0x1E) return l[7]
            return l[59]
        }
        if (code0 === 5 && code2 >= 1 && code2 <= 4)
            return [l[22], l[23], l[24], l[56]][code2 - 1]
        return ""
    }

    onClosed: selectKey = -1
}
