// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import "../common"
import "SceneText.js" as SceneText
import "MacroEncoder.js" as MacroEncoder
import "EditorValues.js" as Rules

// The macro editor: the device's macros on the left, the events of the selected one on the
// right. Events are recorded from the keyboard capture, inserted from the context menu and
// edited in place; every change is saved at once and the main window re-sends the macro to
// the buttons of the current profile that play it. Stored events name keys by the
// vocabulary's own names (the same in every language); rows show the current language's.
// The lists and the editing state are the page's own, so the main window can initialise the
// page and feed it keys before its body exists.
FloatingPanel {
    id: page
    // The key code vocabulary of the main window.
    property var keyCodes: null
    property bool isInputting: false
    property bool isInsertting: false
    property string currentMacro: ""
    property int currentRow: -1
    // Selected event row, -1 for none.
    property int eventRow: -1
    // 10 ms ticks since the last recorded event.
    property int macroRecordCount: 0
    property string repeatText: "1"
    property bool recordDelay: false
    // The key shown in the insert-key dialog.
    property int insertCode: 0
    // Rows being edited in place (-1: none) and the text typed there.
    property int renameRow: -1
    property int delayRow: -1
    property string editText: ""
    property Item editor: null
    // The open context menu: 0 none, 1 macro list, 2 event list; menuRow is the macro row it
    // was opened on (-1 below the rows).
    property int menuKind: 0
    property int menuRow: -1
    property point menuAt: Qt.point(0, 0)
    // The settings folder the list was read from: a save never lands in another device's
    // macro of the same name.
    property string folder: ""
    readonly property alias macroModel: macroList
    readonly property alias eventModel: eventList
    readonly property var macroEditorLangBuiltIn: ["Macro Editor", "Macro Name", "New", "Delete", "Action",
        "Stop Record", "Times", "OK", "Start Record", "Delay", "Delete", "Import", "Export", "Insert Delay",
        "Insert Key", "Insert Left Key", "Insert Middle Key", "Insert Right Key", "", ""]
    property var macroEditorLang: macroEditorLangBuiltIn
    signal macroListChanged(var names)
    signal deleteMacro(string macroName)
    signal modifyMacroName(string oldMacroName, string newMacroName)
    signal modifyMacroData(string macroName)
    // Another macro's events were loaded: the body shows them from the top.
    signal macroLoaded()

    width: 640
    height: 448

    readonly property int maxDelay: 65535
    readonly property int maxRepeat: 65535

    ListModel { id: macroList }
    ListModel { id: eventList }

    Timer {
        id: tickTimer
        objectName: "macroTickTimer"
        interval: 10
        repeat: true
        onTriggered: ++page.macroRecordCount
    }

    // ---- Called by the main window ---------------------------------------------------------

    function init() {
        stopRecord()
        closeOverlays()
        folder = String(ui_View.deviceFolder)
        macroList.clear()
        var stored = SceneText.dropSentinel(ui_View.getNameList(0))
        for (var i = 0; i < stored.length && macroList.count < Rules.maxMacros; ++i)
            if (stored[i] !== "" && names().indexOf(stored[i]) < 0)
                macroList.append({ name: stored[i] })
        selectMacro(-1)
        macroListChanged(names())
    }

    function sendMacro(index, macroName) {
        ui_View.mouseSendMacroData(MacroEncoder.encodeLoaded(ui_View.loadMacroIni(macroName), codeOf), index)
    }

    function detectKeyboard(isDown, usbCode) {
        if (!isInputting || currentMacro === "" || atLimit())
            return
        var code = Number(usbCode)
        if (eventList.count > 0 && recordDelay)
            eventList.append({ type: 0, info: String(Math.min(10 * macroRecordCount, maxDelay)) })
        macroRecordCount = 0
        eventList.append({ type: Rules.recordedType(code, isDown), info: nameOf(code) })
    }

    function detectInput(isDown, usbCode) {
        var code = Number(usbCode)
        if (isInsertting && code < 0xF0)
            insertCode = code
    }

    // ---- Names and events ------------------------------------------------------------------

    function codeOf(name) {
        return keyCodes ? keyCodes.strTokeycode(name) : 0
    }

    function nameOf(code) {
        return keyCodes ? keyCodes.keycodeToName(code) : ""
    }

    // What a row shows: a delay in ms, a key by the current language's name.
    function shownInfo(type, info) {
        if (type === 0)
            return info + " ms"
        var shown = keyCodes ? keyCodes.keycodeTostr(codeOf(info)) : ""
        return shown !== "" ? shown : info
    }

    function names() {
        var out = []
        for (var i = 0; i < macroList.count; ++i)
            out.push(macroList.get(i).name)
        return out
    }

    function events() {
        var out = []
        for (var i = 0; i < eventList.count; ++i)
            out.push({ type: eventList.get(i).type, info: eventList.get(i).info })
        return out
    }

    // No event is added once the macro's block has grown to the limit.
    function atLimit() {
        return MacroEncoder.encodedLength(events()) >= MacroEncoder.growLimit
    }

    function macroExists(name) {
        return ui_View.loadMacroIni(name).length > 0
    }

    function storeNames() {
        var list = names()
        ui_View.updataNameList(0, list)
        macroListChanged(list)
    }

    function sameDevice() {
        return String(ui_View.deviceFolder) === folder
    }

    function autoSave() {
        if (currentMacro === "" || !sameDevice())
            return
        var strings = events().map(function(e) { return e.type + "," + e.info })
        ui_View.saveMacroIni(currentMacro, strings, SceneText.intIn(repeatText, 1, maxRepeat, 1))
        modifyMacroData(currentMacro)
    }

    // ---- Macro list ------------------------------------------------------------------------

    function selectMacro(row) {
        stopRecord()
        endEdits()
        eventList.clear()
        eventRow = -1
        currentRow = row >= 0 && row < macroList.count ? row : -1
        currentMacro = currentRow >= 0 ? macroList.get(currentRow).name : ""
        if (currentRow < 0)
            return
        var loaded = ui_View.loadMacroIni(currentMacro)
        for (var i = 0; i + 1 < loaded.length; ++i) {
            var e = MacroEncoder.parseEvent(loaded[i])
            if (e)
                eventList.append({ type: e.type, info: e.info })
        }
        repeatText = String(SceneText.intIn(loaded[loaded.length - 1], 1, maxRepeat, 1))
        macroLoaded()
    }

    function newMacro() {
        var name = Rules.freeMacroName(names())
        if (name === "")
            return
        ui_View.createMacroIni(name, 0)
        macroList.append({ name: name })
        selectMacro(macroList.count - 1)
        storeNames()
    }

    // Imported under a new name, in front of the row the menu was opened on. The name is free
    // on disk too: a file left over from a macro no longer listed is neither replaced nor
    // shown in place of the import. A file that could not be imported adds no row; a
    // cancelled dialog adds an empty macro.
    function importMacro(row) {
        var name = Rules.freeMacroName(names(), macroExists)
        if (name === "")
            return
        var at = row >= 0 && row < macroList.count ? row : macroList.count
        var result = Number(ui_View.loadMacroFile(name))
        if (result < 0 || (result === 0 && !ui_View.createMacroIni(name, 0)))
            return
        macroList.insert(at, { name: name })
        selectMacro(at)
        storeNames()
    }

    function exportMacro() {
        if (currentMacro !== "")
            ui_View.saveMacroFile(currentMacro)
    }

    function removeMacro() {
        if (currentRow < 0)
            return
        // A running recording of the macro goes with it.
        tickTimer.stop()
        isInputting = false
        var name = currentMacro
        var row = currentRow
        ui_View.deleteMacroIni(name)
        eventList.clear()
        deleteMacro(name)
        macroList.remove(row)
        selectMacro(Math.min(row, macroList.count - 1))
        storeNames()
    }

    function startRename(row) {
        if (isInputting || row < 0 || row >= macroList.count)
            return
        endEdits()
        editText = macroList.get(row).name
        renameRow = row
    }

    // A new name the list already has, an empty one, or one the macro store cannot use
    // leaves the macro as it was.
    function renameMacro(row, typed) {
        if (row < 0 || row >= macroList.count)
            return
        var oldName = macroList.get(row).name
        var name = Rules.renamedTo(typed, names())
        if (name === "" || !sameDevice())
            return
        modifyMacroName(oldName, name)
        if (macroExists(oldName) || !macroExists(name))
            return
        macroList.setProperty(row, "name", name)
        if (row === currentRow)
            currentMacro = name
        storeNames()
    }

    // ---- Recording -------------------------------------------------------------------------

    function startRecord() {
        if (currentMacro === "" || isInputting)
            return
        endEdits()
        eventList.clear()
        eventRow = -1
        macroRecordCount = 0
        isInputting = true
        tickTimer.start()
    }

    function stopRecord() {
        if (!isInputting)
            return
        tickTimer.stop()
        isInputting = false
        autoSave()
    }

    // ---- Events ----------------------------------------------------------------------------

    function deleteEvent() {
        if (eventRow < 0 || eventRow >= eventList.count)
            return
        eventList.remove(eventRow)
        eventRow = Math.min(eventRow, eventList.count - 1)
        autoSave()
    }

    function insertDelay() {
        if (currentMacro === "" || atLimit())
            return
        var at = eventRow >= 0 && eventRow < eventList.count ? eventRow : eventList.count
        eventList.insert(at, { type: 0, info: "50" })
        eventRow = at
        autoSave()
    }

    // A press and a release row; the selection moves on so that further insertions follow.
    function insertPair(pressType, code, after) {
        if (currentMacro === "" || atLimit())
            return
        var name = nameOf(code)
        var at = Rules.insertRow(eventList.count, eventRow, after)
        var appended = at === eventList.count
        eventList.insert(at, { type: pressType, info: name })
        eventList.insert(at + 1, { type: pressType + 1, info: name })
        eventRow = appended || after ? at + 1 : at + 2
        autoSave()
    }

    function insertMouse(code) {
        insertPair(3, code, true)
    }

    function openInsertKey() {
        if (currentMacro === "" || atLimit())
            return
        closeOverlays()
        insertCode = 0
        isInsertting = true
    }

    function acceptInsertKey() {
        isInsertting = false
        if (insertCode !== 0)
            insertPair(1, insertCode, false)
    }

    function startDelayEdit(row) {
        if (isInputting || row < 0 || row >= eventList.count || eventList.get(row).type !== 0)
            return
        endEdits()
        eventRow = row
        editText = eventList.get(row).info
        delayRow = row
    }

    // A number 0..65535 replaces the delay; anything else keeps it.
    function setDelay(row, text) {
        if (row < 0 || row >= eventList.count || eventList.get(row).type !== 0)
            return
        var t = String(text).trim()
        if (!/^[0-9]+$/.test(t) || Number(t) > maxDelay || String(Number(t)) === eventList.get(row).info)
            return
        eventList.setProperty(row, "info", String(Number(t)))
        autoSave()
    }

    function setRepeat(text) {
        repeatText = String(SceneText.intIn(text, 1, maxRepeat, SceneText.intIn(repeatText, 1, maxRepeat, 1)))
        autoSave()
    }

    // ---- Edits, menus and the dialog -------------------------------------------------------

    function endEdits() {
        var row = renameRow
        if (row >= 0) {
            renameRow = -1
            renameMacro(row, editText)
        }
        row = delayRow
        if (row >= 0) {
            delayRow = -1
            setDelay(row, editText)
        }
    }

    function openMacroMenu(row, at) {
        if (row >= 0 && row !== currentRow)
            selectMacro(row)
        endEdits()
        menuRow = row
        menuAt = at
        menuKind = 1
    }

    function openEventMenu(row, at) {
        if (currentMacro === "")
            return
        endEdits()
        eventRow = row
        menuAt = at
        menuKind = 2
    }

    function closeOverlays() {
        menuKind = 0
        isInsertting = false
        endEdits()
    }

    onClosed: {
        stopRecord()
        closeOverlays()
    }

    bodySource: Qt.resolvedUrl("MacroEditorBody.qml")
}
