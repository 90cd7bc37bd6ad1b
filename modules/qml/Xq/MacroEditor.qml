import QtQuick
import "../common"
import "SceneText.js" as SceneText
import "MacroEncoder.js" as MacroEncoder

// The macro editor (stand-in: the macro list and sending a macro to a button's slot).
FloatingPanel {
    id: page
    property var keyCodes: null
    property bool isInputting: false
    property bool isInsertting: false
    property string currentMacro: ""
    readonly property var macroEditorLangBuiltIn: ["Macro Editor", "Macro Name", "New", "Delete", "Action",
        "Stop Record", "Times", "OK", "Start Record", "Delay", "Delete", "Import", "Export", "Insert Delay",
        "Insert Key", "Insert Left Key", "Insert Middle Key", "Insert Right Key", "", ""]
    property var macroEditorLang: macroEditorLangBuiltIn
    signal macroListChanged(var names)
    signal deleteMacro(string macroName)
    signal modifyMacroName(string oldMacroName, string newMacroName)
    signal modifyMacroData(string macroName)

    width: 640
    height: 448

    function init() {
        currentMacro = ""
        macroListChanged(SceneText.dropSentinel(ui_View.getNameList(0)))
    }

    function sendMacro(index, macroName) {
        var names = page.keyCodes
        var block = MacroEncoder.encodeLoaded(ui_View.loadMacroIni(macroName),
                                              function(name) { return names ? names.strTokeycode(name) : 0 })
        ui_View.mouseSendMacroData(block, index)
    }

    function detectKeyboard(isDown, usbCode) {
    }

    function detectInput(isDown, usbCode) {
    }
}
