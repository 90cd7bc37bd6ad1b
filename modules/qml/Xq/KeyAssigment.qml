// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"
import "KeyFunctions.js" as KeyFunctions

// The button assignment dialog: the function groups as tabs on the left, the chosen group's
// choices on the right, the edited definition (keyCode0..3, keyString) in the title. Closing it
// with its close button hands a changed definition to the button list; the main window sends it
// on "Save". Keys for the fire and combination functions come from the input capture through
// detectKeyboard while isFireInput or isComboInput is set.
FloatingPanel {
    id: page
    property var keyMatrix: null
    // The key code vocabulary (keycodeTostr names a key in the current language).
    property var keyCodes: null
    property var macroNames: []
    property bool isGun: false
    property int selectKey: -1
    property int keyCode0: 0
    property int keyCode1: 0
    property int keyCode2: 0
    property int keyCode3: 0
    property string keyString: ""
    property bool isFireInput: false
    property bool isComboInput: false
    // The group shown, a code0 value (KeyFunctions' groups).
    property int group: KeyFunctions.MouseGroup
    // Fire settings: slider index (rate - 1 ms) and number of repeats (0: endless).
    property int fireRate: 9
    property int fireTimes: 0
    // Macro settings: repeat mode and the macro chosen in the list.
    property int macroMode: 0
    property string macroName: ""
    readonly property var keyAssigmentLangBuiltIn: ["Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key",
        "Forward Key", "Back Key", "Double Fire", "Fire Function", "Key Value", "Click Input", "Rate", "Times",
        "Endness", "Group Function", "Media Function", "Macro Function", "Macro Editor",
        "Macro runs one-time after pressing the button", "Macro runs endless loop until any button is pressed",
        "Macro runs endless loop until button is released", "DPI Function", "DPI+", "DPI-", "DPI LOOP",
        "Windows Function", "Shortcut Function", "Player", "Next", "Privous", "Stop", "Mute", "Play/Pause",
        "Volumn+", "Volumn-", "My PC", "Index", "Search", "Max", "Min", "Desktop", "Run", "New", "Cut", "Copy",
        "Paste", "Save", "Print", "Find", "Redo", "Undo", "Select All", "Gun Function", "One Gun", "Two Gun",
        "Three Gun", "Sniper Key", "", "", "None"]
    property var keyAssigmentLang: keyAssigmentLangBuiltIn
    // Label of the fixed choice the edited definition matches (-1: none).
    readonly property int chosenLabel: KeyFunctions.labelOf([keyCode0, keyCode1, keyCode2, keyCode3])
    signal openMacroEditor()
    signal sendMacro(int index, string name)
    // The dialog was loaded for a button: controls that keep their own state follow.
    signal loaded()
    // Drop-downs of the dialog close (the macro editor closed: its list may have changed).
    signal closeMenus()

    width: 640
    height: 360

    // The combination being captured, and whether a key has been taken yet.
    property var comboCodes: [KeyFunctions.ComboGroup, 0, 0, 0]
    property bool comboTaken: false

    ListModel { id: macroListModel }
    onMacroNamesChanged: fillMacroList()
    Component.onCompleted: fillMacroList()

    function fillMacroList() {
        macroListModel.clear()
        for (var i = 0; i < macroNames.length; ++i)
            macroListModel.append({ textValue: String(macroNames[i]) })
    }

    function label(i) {
        var l = keyAssigmentLang
        return l && i >= 0 && i < l.length && l[i] !== undefined ? String(l[i]) : ""
    }

    function keyName(code) {
        return keyCodes ? keyCodes.keycodeTostr(code) : ""
    }

    function storedMacroName(slot, isRecovery) {
        var name = ui_View.getData("mouseMacroKey/" + slot, isRecovery === true)
        return name === undefined || name === null ? "" : String(name)
    }

    // Text of a definition; isRecovery names a macro after the factory file.
    function keyCodeToString(code0, code1, code2, code3, isRecovery) {
        var codes = KeyFunctions.definition([code0, code1, code2, code3])
        return KeyFunctions.keyText(codes, keyAssigmentLang, keyName,
                                    function(slot) { return storedMacroName(slot, isRecovery) })
    }

    function codes() {
        return [keyCode0, keyCode1, keyCode2, keyCode3]
    }

    function setCodes(c, text) {
        keyCode0 = c[0]
        keyCode1 = c[1]
        keyCode2 = c[2]
        keyCode3 = c[3]
        keyString = text
    }

    function init() {
        stopCapture()
        fireRate = 9
        fireTimes = 0
        macroMode = 0
    }

    // Opens the dialog for a button, unless it is the only left button.
    function openFor(index) {
        if (!keyMatrix || index < 0 || index >= keyMatrix.modKeys.count || keyMatrix.isOnlyLeftButton(index)) {
            selectKey = -1
            return
        }
        selectKey = index
        load(index)
        x = Math.round((1024 - width) / 2)
        y = Math.round((640 - height) / 2)
        open()
    }

    // The button's definition as the list holds it.
    function load(index) {
        stopCapture()
        var e = keyMatrix.modKeys.get(index)
        setCodes([e.keyCode0, e.keyCode1, e.keyCode2, e.keyCode3], e.keyText)
        group = KeyFunctions.groupOf(codes())
        if (group === KeyFunctions.GunGroup && !isGun)
            group = KeyFunctions.MouseGroup
        if (keyCode0 === KeyFunctions.FireGroup) {
            fireRate = Math.max(0, Math.min(KeyFunctions.rateSegments, keyCode2 - 1))
            fireTimes = keyCode3
        }
        if (keyCode0 === KeyFunctions.MacroGroup) {
            macroMode = Math.min(keyCode1, 2)
            macroName = storedMacroName(keyCode2)
        } else {
            macroName = ""
        }
        loaded()
    }

    // The main window changed the button's definition (a deleted macro).
    function refresh() {
        if (visible && selectKey >= 0)
            load(selectKey)
    }

    function showGroup(g) {
        stopCapture()
        group = g
    }

    function choose(c) {
        stopCapture()
        setCodes(c, keyCodeToString(c[0], c[1], c[2], c[3]))
    }

    function stopCapture() {
        isFireInput = false
        isComboInput = false
    }

    // Capture starts on a click into the key field; the dialog takes the focus so that the
    // keys typed go nowhere else in the window.
    function startFireInput() {
        isComboInput = false
        isFireInput = true
        forceActiveFocus()
    }

    function startComboInput() {
        isFireInput = false
        comboCodes = [KeyFunctions.ComboGroup, 0, 0, 0]
        comboTaken = false
        isComboInput = true
        forceActiveFocus()
    }

    // index 0: fire capture, 1: combination capture. Fire takes the next key pressed;
    // a combination takes every key pressed until one of them is released.
    function detectKeyboard(isDown, usbCode, index) {
        var code = Number(usbCode)
        if (Number(index) === 0 && isFireInput) {
            if (!isDown || !(code > 0 && code < 0xF0))
                return
            isFireInput = false
            setCodes([KeyFunctions.FireGroup, code, fireRate + 1, fireTimes], keyName(code))
        } else if (Number(index) === 1 && isComboInput) {
            if (!isDown) {
                if (comboTaken)
                    isComboInput = false
                return
            }
            if (!(code > 0 && code < 0xF0))
                return
            comboCodes = KeyFunctions.comboAdd(comboCodes, code)
            comboTaken = true
            setCodes(comboCodes, KeyFunctions.comboText(comboCodes, keyName))
        }
    }

    function setFireRate(index) {
        fireRate = index
        if (keyCode0 === KeyFunctions.FireGroup)
            keyCode2 = index + 1
    }

    function setFireTimes(times) {
        var n = Number(times)
        fireTimes = n >= 0 && n <= 255 ? n : 0
        if (keyCode0 === KeyFunctions.FireGroup)
            keyCode3 = fireTimes
    }

    function chooseMacro(name) {
        stopCapture()
        macroName = name
        setCodes([KeyFunctions.MacroGroup, macroMode, selectKey, 0], name)
    }

    function setMacroMode(mode) {
        macroMode = mode
        if (keyCode0 === KeyFunctions.MacroGroup)
            keyCode1 = mode
    }

    // The close button: a definition that differs from the list's (or a macro button whose
    // macro changed) goes into the list; a macro also goes to the device's slot at once.
    function finish() {
        settleInput()
        stopCapture()
        if (keyMatrix && selectKey >= 0 && selectKey < keyMatrix.modKeys.count) {
            var c = codes()
            var old = keyMatrix.modKeys.get(selectKey)
            var isMacro = keyCode0 === KeyFunctions.MacroGroup
            var changed = !KeyFunctions.sameCodes(c, [old.keyCode0, old.keyCode1, old.keyCode2, old.keyCode3])
                          || (isMacro && storedMacroName(keyCode2) !== macroName)
            if (changed) {
                if (isMacro) {
                    sendMacro(keyCode2, macroName)
                    ui_View.setData("mouseMacroKey/" + keyCode2, macroName)
                }
                keyMatrix.setEntry(selectKey, c, keyString)
            }
        }
        close()
    }

    // The dialog's reset button: the button's factory definition, in the dialog and the list.
    function resetKey() {
        stopCapture()
        if (!keyMatrix || selectKey < 0 || keyMatrix.modKeys_tmp.get(selectKey).keyText === keyString)
            return
        keyMatrix.restoreFactory(selectKey)
        load(selectKey)
    }

    onClosed: {
        stopCapture()
        selectKey = -1
    }

    bodySource: Qt.resolvedUrl("KeyAssigmentBody.qml")
}
