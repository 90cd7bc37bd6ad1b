// SPDX-License-Identifier: GPL-3.0-or-later
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

    // Samples (M, both backslashes, right arrow, keypad Enter), and the first and last code of
    // every run of the vocabulary with the codes around it ("" for none): A..F24, Keypad,
    // Intl1..5, Lang1..2, LCtrl..RWin, the mouse buttons.
    function test_keycodeTostr_data() {
        var rows = [[0x01, ""], [0xFF, ""], [0x10, "M"], [0x31, "\\"], [0x32, "\\"], [0x4F, "\u25BA"], [0x58, "KPEnter"],
                    [0x03, ""], [0x04, "A"], [0x73, "F24"], [0x74, ""], [0x84, ""], [0x85, "Keypad"], [0x86, ""],
                    [0x87, "Intl1"], [0x8B, "Intl5"], [0x8C, ""], [0x8F, ""], [0x90, "Lang1"], [0x91, "Lang2"],
                    [0x92, ""], [0xDF, ""], [0xE0, "LCtrl"], [0xE7, "RWin"], [0xE8, ""], [0xEF, ""], [0xF0, "MS-L"],
                    [0xF4, "MS-B5"], [0xF5, ""]]
        return rows.map(function(r) { return { tag: r[0].toString(16), code: r[0], name: r[1] } })
    }

    function test_keycodeTostr(data) {
        compare(vocabulary().keycodeTostr(data.code), data.name)
    }

    // Exact names only; the first of two codes of one name.
    function test_strTokeycode() {
        var v = vocabulary()
        compare(["m", "Nope", "kpenter", "M", "\\", "KPEnter", "MS-L"].map(function(n) { return v.strTokeycode(n) }),
                [0, 0, 0, 0x10, 0x31, 0x58, 0xF0])
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
