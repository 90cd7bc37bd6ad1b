import QtQuick
import QtTest
import "qrc:/modules/qml/Xq"
import "../../modules/qml/Xq/KeyFunctions.js" as KeyFunctions
import "../../modules/qml/Xq/DpiValues.js" as DpiValues

// The numbers behind the button and DPI pages: texts of key definitions, the left-button guard, the fire rate slider, DPI slider positions and entry steps.
TestCase {
    name: "ButtonDpi"

    KeyCodeString { id: vocabulary }
    Component {
        id: dialogComponent
        KeyAssigment {}
    }

    function keyName(code) {
        return vocabulary.keycodeTostr(code)
    }

    // The fixed choices are in test_choices.
    function test_keyText_data() {
        return [
            { tag: "unknown mouse code is none", codes: [0, 0, 0x07, 0], text: "None" },
            { tag: "fire names its key", codes: [1, 0x04, 0x14, 0], text: "A" },
            { tag: "combination, modifiers first", codes: [2, 0x03, 0x04, 0], text: "LCtrl + LShift + A" },
            { tag: "combination of two keys", codes: [2, 0x80, 0x04, 0x05], text: "RWin + A + B" },
            { tag: "macro", codes: [4, 1, 3, 0], text: "Burst" },
            { tag: "macro without a stored name", codes: [4, 0, 5, 0], text: "Macro Function" },
            { tag: "factory value", codes: [0xFF, 0, 1, 0], text: "" },
        ]
    }

    function test_keyText(data) {
        var labels = createTemporaryObject(dialogComponent, null).keyAssigmentLangBuiltIn
        var macroName = function(slot) { return slot === 3 ? "Burst" : "" }
        compare(KeyFunctions.keyText(data.codes, labels, keyName, macroName), data.text)
    }

    // The fixed choices each group offers, in the dialog's order, with the device's values.
    function test_choices_data() {
        return [
            { tag: "mouse", group: 0, codes: [[0, 0, 0xF0, 0], [0, 0, 0xF2, 0], [0, 0, 0xF1, 0], [0, 0, 0xF4, 0],
                  [0, 0, 0xF3, 0], [0, 0xF0, 0x1E, 2], [0, 0, 0, 0]],
              texts: ["Left Key", "Middle Key", "Right Key", "Forward Key", "Back Key", "Double Fire", "None"] },
            { tag: "media", group: 3, codes: [[3, 0, 0x83, 1], [3, 0, 0xB5, 0], [3, 0, 0xB6, 0], [3, 0, 0xB7, 0],
                  [3, 0, 0xE2, 0], [3, 0, 0xCD, 0], [3, 0, 0xE9, 0], [3, 0, 0xEA, 0]],
              texts: ["Player", "Next", "Privous", "Stop", "Mute", "Play/Pause", "Volumn+", "Volumn-"] },
            { tag: "DPI", group: 5, codes: [[5, 0, 1, 0], [5, 0, 2, 0], [5, 0, 3, 0], [5, 0, 4, 0]],
              texts: ["DPI+", "DPI-", "DPI LOOP", "Sniper Key"] },
            { tag: "Windows", group: 6, codes: [[6, 0, 0x94, 1], [6, 0, 0x23, 2], [6, 0, 0x21, 2], [6, 0xE2, 0x2C, 0x1B],
                  [6, 0xE2, 0x2C, 0x11], [6, 0, 0xE3, 7], [6, 0, 0xE3, 0x15]],
              texts: ["My PC", "Index", "Search", "Max", "Min", "Desktop", "Run"] },
            { tag: "shortcut", group: 7, codes: [0x11, 0x1B, 0x06, 0x19, 0x16, 0x13, 0x09, 0x1C, 0x1D, 0x04]
                  .map(function(k) { return [7, 0, 0xE0, k] }),
              texts: ["New", "Cut", "Copy", "Paste", "Save", "Print", "Find", "Redo", "Undo", "Select All"] },
            { tag: "gun", group: 8, codes: [[8, 0, 1, 0], [8, 0, 2, 0], [8, 0, 3, 0]],
              texts: ["One Gun", "Two Gun", "Three Gun"] },
        ]
    }

    function test_choices(data) {
        var labels = createTemporaryObject(dialogComponent, null).keyAssigmentLangBuiltIn
        compare(KeyFunctions.choices[data.group].map(function(c) { return c.codes }), data.codes)
        compare(data.codes.map(function(c) { return KeyFunctions.keyText(c, labels, keyName, null) }), data.texts)
    }

    function test_definition_data() {
        return [
            { tag: "stored text", values: ["1", "4", "20", "0"], out: [1, 4, 20, 0] },
            { tag: "bytes only", values: [0, 300, -1, "x"], out: [0, 44, 255, 0] },
            { tag: "short list", values: [0, 0, 240], out: null },
            { tag: "missing", values: [], out: null },
        ]
    }

    function test_definition(data) {
        compare(KeyFunctions.definition(data.values), data.out)
    }

    function test_onlyLeftButton_data() {
        var left = [0, 0, 0xF0, 0], right = [0, 0, 0xF1, 0]
        return [
            { tag: "one left button", defs: [left, right, right], index: 0, keyCount: 3, only: true },
            { tag: "two left buttons", defs: [left, right, left], index: 2, keyCount: 3, only: false },
            { tag: "the other left is no real button", defs: [left, right, left], index: 0, keyCount: 2, only: true },
            { tag: "not a left button", defs: [left, right], index: 1, keyCount: 2, only: false },
        ]
    }

    function test_onlyLeftButton(data) {
        compare(KeyFunctions.isOnlyLeftButton(data.defs, data.index, data.keyCount), data.only)
    }

    // The dialog's 274-pixel slider: every index comes back from its knob position in whole
    // pixels (the slider reports positions as integers).
    function test_rateSlider() {
        var per = (274 - 18) / 254
        for (var i = 0; i <= 254; ++i)
            compare(KeyFunctions.rateIndexAt(Math.floor(3 + per * i), 274), i)
        compare([KeyFunctions.rateIndexAt(0, 274), KeyFunctions.rateIndexAt(400, 274)], [0, 254])
        compare(KeyFunctions.rateText(19), "20 MS")
    }

    function test_sliderValue_data() {
        return [
            { tag: "left stop", position: 3, value: 200 },
            { tag: "right stop", position: 161, value: 6000 },
            { tag: "middle, rounded down", position: 82, value: 3100 },
        ]
    }

    function test_sliderValue(data) {
        compare(DpiValues.valueAt(data.position, 200, 6000, 50), data.value)
    }

    function test_storedValue_data() {
        return [
            { tag: "on the grid", value: 1600, shown: 1600 },
            { tag: "off the grid", value: 1650, shown: 1600 },
            { tag: "the maximum", value: 12000, shown: 12000 },
            { tag: "above the range", value: 16000, shown: 12000 },
            { tag: "below the range", value: 100, shown: 200 },
        ]
    }

    function test_storedValue(data) {
        compare(DpiValues.gridValue(data.value, 200, 12000, 100), data.shown)
        var p = DpiValues.positionOf(data.value, 200, 12000)
        verify(p >= 3 && p <= 161, "knob on the track: " + p)
    }

    // A value on the grid reads back unchanged from the position it is placed at.
    function test_gridRoundTrip() {
        for (var v = 200; v <= 12000; v += 100)
            compare(DpiValues.gridValue(v, 200, 12000, 100), v, "value " + v)
    }

    function test_entrySteps() {
        compare([DpiValues.stepUp(25950), DpiValues.stepUp(26000), DpiValues.stepDown(100), DpiValues.stepDown(50)],
                [26000, 26000, 50, 50])
        compare(["12345", "12325", "20", "", "26000"].map(DpiValues.settleEntry), [12350, 12350, 50, 50, 26000])
    }

    function test_stageCounts_data() {
        return [
            { tag: "as stored", stored: [6, 4], counts: [6, 4] },
            { tag: "none in use", stored: ["0", "0"], counts: [1, 1] },
            { tag: "more than eight", stored: ["12", "9"], counts: [8, 8] },
            { tag: "more in use than offered", stored: [4, 6], counts: [4, 4] },
            { tag: "unreadable: the page's own", stored: ["x", undefined], counts: [4, 3] },
        ]
    }

    function test_stageCounts(data) {
        var c = DpiValues.stageCounts(data.stored[0], data.stored[1], 4, 3)
        compare([c.dpiCount, c.currentDpiCount], data.counts)
    }
}
