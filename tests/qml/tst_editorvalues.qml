import QtQuick
import QtTest
import "../../modules/qml/Xq/EditorValues.js" as Rules

// Names of new macros, where inserted events go, and the gun page's conversions.
TestCase {
    name: "EditorValues"

    function test_freeMacroName_data() {
        var full = []
        for (var i = 0; i < 100; ++i)
            full.push("Other" + i)
        return [
            { tag: "empty list", names: [], out: "Macro_0" },
            { tag: "first gap", names: ["Macro_0", "Macro_1", "Macro_3"], out: "Macro_2" },
            { tag: "other names do not count", names: ["Macro_00", "macro_0", "Mine"], out: "Macro_0" },
            { tag: "Macro_0..7 taken", names: ["Macro_7", "Macro_6", "Macro_5", "Macro_4", "Macro_3", "Macro_2",
                                               "Macro_1", "Macro_0"], out: "" },
            { tag: "a hundred macros", names: full, out: "" }
        ]
    }

    function test_freeMacroName(data) {
        compare(Rules.freeMacroName(data.names), data.out)
    }

    function test_renamedTo_data() {
        return [
            { tag: "new name", typed: "Combo", out: "Combo" },
            { tag: "blanks around are dropped", typed: "  Combo ", out: "Combo" },
            { tag: "empty", typed: "", out: "" },
            { tag: "only blanks", typed: "   ", out: "" },
            { tag: "another macro's name", typed: "Macro_1", out: "" },
            { tag: "its own name", typed: "Macro_0", out: "" }
        ]
    }

    function test_renamedTo(data) {
        compare(Rules.renamedTo(data.typed, ["Macro_0", "Macro_1"]), data.out)
    }

    function test_insertRow_data() {
        return [
            { tag: "empty list", count: 0, selected: -1, key: 0, mouse: 0 },
            { tag: "nothing selected", count: 4, selected: -1, key: 4, mouse: 4 },
            { tag: "last row", count: 4, selected: 3, key: 4, mouse: 4 },
            { tag: "first row", count: 4, selected: 0, key: 0, mouse: 1 },
            { tag: "inside", count: 4, selected: 2, key: 2, mouse: 3 }
        ]
    }

    function test_insertRow(data) {
        compare(Rules.insertRow(data.count, data.selected, false), data.key)
        compare(Rules.insertRow(data.count, data.selected, true), data.mouse)
    }

    function test_recordedType() {
        compare([Rules.recordedType(0x04, true), Rules.recordedType(0x04, false), Rules.recordedType(0xE7, true),
                 Rules.recordedType(0xF0, true), Rules.recordedType(0xF2, false)], [1, 2, 1, 3, 4])
    }

    function test_periodOfText_data() {
        return [
            { tag: "one digit", text: "9MS", out: 9 },
            { tag: "two digits", text: "45MS", out: 45 },
            { tag: "three digits", text: "100MS", out: 100 },
            { tag: "no number", text: "MS", out: -1 }
        ]
    }

    function test_periodOfText(data) {
        compare(Rules.periodOfText(data.text), data.out)
    }

    // The knob that a period's ratio gives (as the slider places it: integer part of travel x
    // ratio, + 3 + 1) shows that period again, for every position the knob can take; a period
    // outside the slider's range shows the nearest end.
    function test_rateRoundTrip() {
        for (var x = 3; x <= 3 + Rules.rateTravel; ++x) {
            var period = Rules.periodOfText(Rules.rateText(x + 0.6))
            var knob = Math.floor(Rules.rateTravel * Rules.rateRatio(period)) + 3 + 1
            compare(knob, x, "knob " + x)
            compare(Rules.rateText(knob), period + "MS")
        }
        compare(Rules.rateRatio(200), Rules.rateRatio(Rules.maxPeriod))
        compare(Rules.rateRatio(0), Rules.rateRatio(Rules.minPeriod))
    }

    function test_dot() {
        compare([Rules.dotY(0), Rules.dotY(64)], [89, 183])
        compare([Rules.dotValue(89), Rules.dotValue(183), Rules.dotValue(60), Rules.dotValue(300)], [0, 64, 0, 64])
        for (var v = 0; v <= 64; ++v)
            compare(Rules.dotValue(Rules.dotY(v)), v, "value " + v)
    }

    function test_intIn() {
        compare([Rules.intIn("12", 0, 64, 5), Rules.intIn("99", 0, 64, 5), Rules.intIn("-3", 0, 64, 5),
                 Rules.intIn("x", 0, 64, 5), Rules.intIn(undefined, 1, 9, 1)], [12, 64, 0, 5, 1])
    }
}
