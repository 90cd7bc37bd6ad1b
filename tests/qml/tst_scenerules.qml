// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import "qrc:/modules/qml/Xq"
import "../../modules/qml/Xq/KeyFunctions.js" as K
import "../../modules/qml/Xq/DpiValues.js" as D
import "../../modules/qml/Xq/EditorValues.js" as E
import "../../modules/qml/Xq/Lighting.js" as L
import "../../modules/qml/Xq/ParameterBlocks.js" as B
import "../../modules/qml/Xq/SceneText.js" as T

TestCase {
    name: "SceneRules"

    KeyCodeString { id: vocabulary }
    Component {
        id: dialogComponent
        KeyAssigment {}
    }
    readonly property var modules: ({ K: K, D: D, E: E, L: L, B: B, T: T })
    readonly property int bar: 194  // the lighting page's colour bar

    // A row is a function, its arguments and its result.
    function test_calls_data() {
        var rows = [
            // Definitions, index, number of real buttons (one left button or two: the scene's rows).
            ["K.isOnlyLeftButton", [[[0, 0, 0xF0, 0], [0, 0, 0xF1, 0], [0, 0, 0xF0, 0]], 0, 2], true],
            ["K.isOnlyLeftButton", [[[0, 0, 0xF0, 0], [0, 0, 0xF1, 0]], 1, 2], false],
            ["K.rateText", [19], "20 MS"],
            // Slider stops, the middle rounded down; stored values shown on the grid and range.
            ["D.valueAt", [3, 200, 6000, 50], 200], ["D.valueAt", [161, 200, 6000, 50], 6000],
            ["D.valueAt", [82, 200, 6000, 50], 3100],
            ["D.gridValue", [1650, 200, 12000, 100], 1600], ["D.gridValue", [12000, 200, 12000, 100], 12000],
            ["D.gridValue", [16000, 200, 12000, 100], 12000], ["D.gridValue", [100, 200, 12000, 100], 200],
            ["D.stepUp", [25950], 26000], ["D.stepUp", [26000], 26000], ["D.stepDown", [100], 50], ["D.stepDown", [50], 50],
            // Stored stage counts; unreadable ones are the page's own (4 and 3).
            ["D.stageCounts", [6, 4, 4, 3], { dpiCount: 6, currentDpiCount: 4 }],
            ["D.stageCounts", ["0", "0", 4, 3], { dpiCount: 1, currentDpiCount: 1 }],
            ["D.stageCounts", ["12", "9", 4, 3], { dpiCount: 8, currentDpiCount: 8 }],
            ["D.stageCounts", [4, 6, 4, 3], { dpiCount: 4, currentDpiCount: 4 }],
            ["D.stageCounts", ["x", undefined, 4, 3], { dpiCount: 4, currentDpiCount: 3 }],
            // Other names do not count; nothing free with a hundred macros.
            ["E.freeMacroName", [["Macro_00", "macro_0", "Mine"]], "Macro_0"],
            ["E.freeMacroName", [Array.from({ length: 100 }, function(_, i) { return "Other" + i })], ""],
            // Colours the bar does not show land on their hue; colours without one on the white end.
            ["L.positionOf", [10, 200, 0, bar], 63], ["L.positionOf", [100, 0, 0, bar], 0],
            ["L.positionOf", [255, 0, 1, bar], 0],  // almost red from the magenta side wraps
            ["L.positionOf", [128, 128, 255, bar], 128], ["L.positionOf", [90, 90, 90, bar], 192],
            ["L.positionOf", [0, 0, 0, bar], 192], ["L.positionOf", [300, -5, 0, bar], 0],
            ["L.hexColour", [10, 200, 0], "#0ac800"], ["L.hexColour", [255, 256, -1], "#ffff00"],
            // RGB, long list (the lists the three scene mice show are the scene's rows).
            ["L.modeTexts", [false, true, false], [1, 2, 3, 4]], ["L.modeTexts", [true, false, false], [1, 2, 3, 4, 12, 13, 14]],
            ["T.mergeTexts", [["A", "B"], []], ["A", "B"]], ["T.mergeTexts", [["A"], ["x", "y"]], ["x", "y"]],
            ["T.mergeTexts", [["A", "B", "C"], ["x", ""]], ["x", "", "C"]],
        ]
        var each = function(f, inputs, outs) {
            inputs.forEach(function(v, i) { rows.push([f, [v], outs[i]]) })
        }
        // Four bytes each, cut to 8 bits, or none.
        each("K.definition", [["1", "4", "20", "0"], [0, 300, -1, "x"], [0, 0, 240], []], [[1, 4, 20, 0], [0, 44, 255, 0], null, null])
        each("D.settleEntry", ["12325", "20", "", "26000"], [12350, 50, 50, 26000])
        each("E.periodOfText", ["9MS", "45MS", "100MS", "MS"], [9, 45, 100, -1])
        each("T.dropSentinel", [["Macro_0", "loaderzentok"], ["a", "b", "loaderzentok"], undefined],
             [["Macro_0"], ["a", "b", "loaderzentok"], []])
        each("B.rateCode", [0, 1, 2, 3, 4, -1, "x"], [8, 4, 2, 1, 8, 8, 8])
        each("B.rateIndex", [8, 4, 2, 1, 3, 0], [0, 1, 2, 3, -1, -1])
        each("B.speedCode", [0, 1, 2, 3, 4, 5], [1, 3, 4, 5, 7, 0])
        each("B.speedPosition", [1, 3, 4, 5, 7, 2, 6], [0, 1, 2, 3, 4, -1, -1])
        each("B.lightModeCode", [0, 5, 6, 7], [0, 5, 7, 7])
        each("B.lightModeIndex", [0, 6, 7], [0, 6, 6])
        // The bar: part starts, half way through parts 0 and 5, the last hue pixel, then white.
        var white = [255, 255, 255]
        ;[[0, [255, 0, 0]], [32, [255, 255, 0]], [64, [0, 255, 0]], [96, [0, 255, 255]], [128, [0, 0, 255]],
          [160, [255, 0, 255]], [16, [255, 127, 0]], [176, [255, 0, 128]], [191, [255, 0, 8]], [192, white],
          [193, white]].forEach(function(r) { rows.push(["L.colourAt", [r[0], bar], r[1]]) })
        return rows.map(function(r) { return { tag: r[0] + JSON.stringify(r[1]), f: r[0].split("."), args: r[1], out: r[2] } })
    }

    function test_calls(data) {
        compare(modules[data.f[0]][data.f[1]].apply(null, data.args), data.out)
    }

    // The fixed choices each group offers, in the dialog's order: the device's values (four
    // bytes each, in hex) and their texts; then texts of definitions no choice and no scene test
    // shows (an unknown mouse code, a combination, a macro without a stored name, the factory value).
    function test_keyText_data() {
        return [
            { tag: "mouse", group: 0, codes: "0000f000 0000f200 0000f100 0000f400 0000f300 00f01e02 00000000",
              texts: "Left Key|Middle Key|Right Key|Forward Key|Back Key|Double Fire|None" },
            { tag: "media", group: 3, codes: "03008301 0300b500 0300b600 0300b700 0300e200 0300cd00 0300e900 0300ea00",
              texts: "Player|Next|Privous|Stop|Mute|Play/Pause|Volumn+|Volumn-" },
            { tag: "DPI", group: 5, codes: "05000100 05000200 05000300 05000400", texts: "DPI+|DPI-|DPI LOOP|Sniper Key" },
            { tag: "Windows", group: 6, codes: "06009401 06002302 06002102 06e22c1b 06e22c11 0600e307 0600e315",
              texts: "My PC|Index|Search|Max|Min|Desktop|Run" },
            { tag: "shortcut", group: 7, codes: "0700e011 0700e01b 0700e006 0700e019 0700e016 0700e013 0700e009 0700e01c 0700e01d 0700e004",
              texts: "New|Cut|Copy|Paste|Save|Print|Find|Redo|Undo|Select All" },
            { tag: "gun", group: 8, codes: "08000100 08000200 08000300", texts: "One Gun|Two Gun|Three Gun" },
            { tag: "others", codes: "00000700 02800405 04000500 ff000100", texts: "None|RWin + A + B|Macro Function|" },
        ]
    }

    function test_keyText(data) {
        var labels = createTemporaryObject(dialogComponent, null).keyAssigmentLangBuiltIn
        var macroName = function(slot) { return slot === 3 ? "Burst" : "" }
        var codes = data.codes.split(" ").map(function(h) { return [0, 2, 4, 6].map(function(i) { return parseInt(h.substr(i, 2), 16) }) })
        if (data.group !== undefined)
            compare(K.choices[data.group].map(function(c) { return c.codes }), codes)
        compare(codes.map(function(c) { return K.keyText(c, labels, vocabulary.keycodeTostr, macroName) }).join("|"), data.texts)
    }

    // Round trips: every index of the dialog's 274-pixel rate slider from its knob position in
    // whole pixels; DPI values on the grid from their positions on the track; the gun sight's
    // dot; every position of the colour bar from its colour (the white end has one position for
    // its two pixels).
    function test_roundTrips() {
        var per = (274 - 18) / 254
        for (var i = 0; i <= 254; ++i)
            compare(K.rateIndexAt(Math.floor(3 + per * i), 274), i)
        compare([K.rateIndexAt(0, 274), K.rateIndexAt(400, 274)], [0, 254])
        for (var v = 200; v <= 12000; v += 100)
            compare(D.gridValue(v, 200, 12000, 100), v, "value " + v)
        for (v of [1600, 1650, 12000, 16000, 100])
            verify(D.positionOf(v, 200, 12000) >= 3 && D.positionOf(v, 200, 12000) <= 161, "knob on the track: " + v)
        for (v = 0; v <= 64; ++v)
            compare(E.dotValue(E.dotY(v)), v, "value " + v)
        for (var p = 0; p < bar; ++p) {
            var c = L.colourAt(p, bar)
            var back = L.positionOf(c[0], c[1], c[2], bar)
            compare(back, Math.min(p, bar - 2), "position " + p + " colour " + c)
            compare(L.colourAt(back, bar), c)
        }
    }

    // The layout is on the wire in the scene tests (lift-off, stage count, both DPI copies,
    // colours, buttons); here what they cannot show: the gaps stay 0, bytes are cut to 8 bits,
    // short lists leave their bytes 0.
    function test_block1() {
        var keys = Array.from({ length: 64 }, function(_, i) { return 200 + i })
        var b = B.block1(2, 6, [200, 400, 800, 1600, 3200, 6400, 12000, 12000], Array(24).fill(7), keys)
        compare(b.length, 192)
        compare(b.slice(128, 192), keys.map(function(v) { return v & 0xFF }))
        compare(b.slice(41, 88).concat(b.slice(112, 128)).filter(function(v) { return v !== 0 }), [])
        compare(B.block1(1, 1, [500], [], []).slice(9, 13), [244, 1, 0, 0])
    }
}
