import QtQuick
import QtTest
import "qrc:/modules/qml/Xq"
import "qrc:/modules/qml/Xq/KeyFunctions.js" as KeyFunctions

// The key code vocabulary, its two lookups and the command line's words for button functions.
TestCase {
    name: "KeyCodeString"

    Component {
        id: vocabularyComponent
        KeyCodeString {}
    }

    function vocabulary() {
        return createTemporaryObject(vocabularyComponent, null)
    }

    // Samples, and the first and last code of every run of the vocabulary with the codes
    // around it.
    function test_keycodeTostr_data() {
        return [
            { tag: "not in the vocabulary", code: 0x01, name: "" },
            { tag: "past the keys", code: 0xFF, name: "" },
            { tag: "M", code: 0x10, name: "M" },
            { tag: "US backslash", code: 0x31, name: "\\" },
            { tag: "non-US backslash", code: 0x32, name: "\\" },
            { tag: "right arrow", code: 0x4F, name: "\u25BA" },
            { tag: "keypad Enter", code: 0x58, name: "KPEnter" },
            { tag: "before A", code: 0x03, name: "" },
            { tag: "A", code: 0x04, name: "A" },
            { tag: "F24", code: 0x73, name: "F24" },
            { tag: "past F24", code: 0x74, name: "" },
            { tag: "before Keypad", code: 0x84, name: "" },
            { tag: "Keypad", code: 0x85, name: "Keypad" },
            { tag: "between Keypad and Intl1", code: 0x86, name: "" },
            { tag: "Intl1", code: 0x87, name: "Intl1" },
            { tag: "Intl5", code: 0x8B, name: "Intl5" },
            { tag: "past Intl5", code: 0x8C, name: "" },
            { tag: "before Lang1", code: 0x8F, name: "" },
            { tag: "Lang1", code: 0x90, name: "Lang1" },
            { tag: "Lang2", code: 0x91, name: "Lang2" },
            { tag: "past Lang2", code: 0x92, name: "" },
            { tag: "before LCtrl", code: 0xDF, name: "" },
            { tag: "LCtrl", code: 0xE0, name: "LCtrl" },
            { tag: "right Windows", code: 0xE7, name: "RWin" },
            { tag: "past RWin", code: 0xE8, name: "" },
            { tag: "before the mouse buttons", code: 0xEF, name: "" },
            { tag: "first mouse button", code: 0xF0, name: "MS-L" },
            { tag: "last mouse button", code: 0xF4, name: "MS-B5" },
            { tag: "past the mouse buttons", code: 0xF5, name: "" },
        ]
    }

    function test_keycodeTostr(data) {
        compare(vocabulary().keycodeTostr(data.code), data.name)
    }

    function test_strTokeycode_data() {
        return [
            { tag: "wrong case", name: "m", code: 0 },
            { tag: "unknown", name: "Nope", code: 0 },
            { tag: "wrong case, longer name", name: "kpenter", code: 0 },
            { tag: "M", name: "M", code: 0x10 },
            { tag: "backslash: first match", name: "\\", code: 0x31 },
            { tag: "keypad Enter", name: "KPEnter", code: 0x58 },
            { tag: "left mouse button", name: "MS-L", code: 0xF0 },
        ]
    }

    function test_strTokeycode(data) {
        compare(vocabulary().strTokeycode(data.name), data.code)
    }

    // A word read as a definition and written back; keys with "+" or "," in their names too.
    function test_functionWords_data() {
        return [
            { tag: "fixed", word: "Play-Pause", codes: [3, 0, 0xCD, 0], back: "play-pause" },
            { tag: "none", word: "none", codes: [0, 0, 0, 0], back: "none" },
            { tag: "fire", word: "fire:,,5ms,3", codes: [1, 0x36, 5, 3], back: "fire:,,5ms,3" },
            { tag: "fire, defaults", word: "fire:F1", codes: [1, 0x3A, 10, 0], back: "fire:f1,10ms,endless" },
            { tag: "combination", word: "key:c+ctrl+kp+", keys: [0x06, 0xE0, 0x57], back: "key:ctrl+c+kp+" },
            { tag: "macro, comma in name", word: "macro:a,b", macro: "a,b", back: "macro:a,b,once" },
            { tag: "four keys", word: "key:ctrl+shift+a+b", error: "at most 3" },
            { tag: "mouse key", word: "fire:ms-l", error: "no key \"ms-l\"" },
            { tag: "rate", word: "fire:a,256ms", error: "the rate is 1 to 255 ms" },
            { tag: "gun without guns", word: "gun2", error: "no gun functions" },
        ]
    }

    function test_functionWords(data) {
        var v = vocabulary()
        function code(word) { return KeyFunctions.keyCode(word, v.keyCode, v.keyCodeName) }
        function word(c) { return KeyFunctions.keyWord(c, v.keyCode, v.keyCodeName) }
        var parsed = KeyFunctions.parseWord(data.word, code, ["a,b"], false)
        if (data.error) {
            verify(parsed.error.indexOf(data.error) >= 0, parsed.error)
            return
        }
        var codes = parsed.codes || (parsed.fire ? [1].concat(parsed.fire) : null)
        if (parsed.keys)
            codes = parsed.keys.reduce(KeyFunctions.comboAdd, [KeyFunctions.ComboGroup, 0, 0, 0])
        if (parsed.macro) {
            compare(parsed.macro, data.macro)
            codes = [KeyFunctions.MacroGroup, parsed.mode, 2, 0]
        } else {
            compare(parsed.keys || codes, data.keys || data.codes)
        }
        compare(KeyFunctions.functionWord(codes, word, function(slot) { return slot === 2 ? data.macro : "" }), data.back)
    }

    // A language's names replace the shown ones; a short or missing list shows fewer keys. The
    // vocabulary's own names read back whatever the language.
    function test_languageLists() {
        var v = vocabulary()
        var names = v.keyCodeStr.slice()
        names[40] = "Leertaste"
        v.keyCodeStr = names
        compare([v.keycodeTostr(0x2C), v.keycodeToName(0x2C), v.strTokeycode("Leertaste"), v.strTokeycode("Space")],
                ["Leertaste", "Space", 0x2C, 0x2C])
        v.keyCodeStr = ["a", "b"]
        compare([v.keycodeTostr(0x05), v.keycodeTostr(0x06), v.strTokeycode("b"), v.strTokeycode("C")], ["b", "", 0x05, 0x06])
        v.keyCodeStr = null
        compare([v.keycodeTostr(0x04), v.strTokeycode("A"), v.strTokeycode("a")], ["", 0x04, 0])
    }
}
