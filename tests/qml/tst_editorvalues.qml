import QtQuick
import QtTest
import "../../modules/qml/Xq/EditorValues.js" as Rules

// Names of new macros and the gun page's conversions.
TestCase {
    name: "EditorValues"

    function test_freeMacroName_data() {
        var full = []
        for (var i = 0; i < 100; ++i)
            full.push("Other" + i)
        return [
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

    // The dot placed for a value shows that value; its ends are 0 and 64.
    function test_dot() {
        compare([Rules.dotY(0), Rules.dotY(64)], [89, 183])
        compare([Rules.dotValue(60), Rules.dotValue(300)], [0, 64])
        for (var v = 0; v <= 64; ++v)
            compare(Rules.dotValue(Rules.dotY(v)), v, "value " + v)
    }
}
