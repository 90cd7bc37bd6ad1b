import QtQuick
import QtTest
import "qrc:/modules/qml/Xq"

// The key code vocabulary and its two lookups.
TestCase {
    name: "KeyCodeString"

    Component {
        id: vocabularyComponent
        KeyCodeString {}
    }

    function vocabulary() {
        return createTemporaryObject(vocabularyComponent, null)
    }

    function test_keycodeTostr_data() {
        return [
            { tag: "not in the vocabulary", code: 0x01, name: "" },
            { tag: "past the keys", code: 0xFF, name: "" },
            { tag: "M", code: 0x10, name: "M" },
            { tag: "US backslash", code: 0x31, name: "\\" },
            { tag: "non-US backslash", code: 0x32, name: "\\" },
            { tag: "right arrow", code: 0x4F, name: "\u25BA" },
            { tag: "keypad Enter", code: 0x58, name: "KPEnter" },
            { tag: "right Windows", code: 0xE7, name: "RWin" },
            { tag: "last mouse button", code: 0xF4, name: "MS-B5" },
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

    // A language's names replace the English ones; a short or missing list names fewer keys.
    function test_languageLists() {
        var v = vocabulary()
        var names = v.keyCodeStr.slice()
        names[40] = "Leertaste"
        v.keyCodeStr = names
        compare([v.keycodeTostr(0x2C), v.strTokeycode("Leertaste"), v.strTokeycode("Space")], ["Leertaste", 0x2C, 0])
        v.keyCodeStr = ["a", "b"]
        compare([v.keycodeTostr(0x05), v.keycodeTostr(0x06), v.strTokeycode("b"), v.strTokeycode("C")], ["b", "", 0x05, 0])
        v.keyCodeStr = null
        compare([v.keycodeTostr(0x04), v.strTokeycode("A")], ["", 0])
    }
}
