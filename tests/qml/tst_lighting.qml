import QtQuick
import QtTest
import "../../modules/qml/Xq/Lighting.js" as Lighting

// The lighting page's rules: the colour bar both ways, the mode list, the colour blocks shown.
TestCase {
    name: "Lighting"

    readonly property int bar: 194

    // Every position of the bar gives a colour that leads back to it; the white end has one
    // position for its two pixels.
    function test_barRoundTrip() {
        for (var p = 0; p < bar; ++p) {
            var c = Lighting.colourAt(p, bar)
            var back = Lighting.positionOf(c[0], c[1], c[2], bar)
            compare(back, Math.min(p, bar - 2), "position " + p + " colour " + c)
            compare(Lighting.colourAt(back, bar), c)
        }
    }

    function test_bar_data() {
        return [
            { tag: "part starts", positions: [0, 32, 64, 96, 128, 160],
              colours: [[255, 0, 0], [255, 255, 0], [0, 255, 0], [0, 255, 255], [0, 0, 255], [255, 0, 255]] },
            { tag: "half way through parts 0 and 5", positions: [16, 176], colours: [[255, 127, 0], [255, 0, 128]] },
            { tag: "last pixel of the hues, then white", positions: [191, 192, 193],
              colours: [[255, 0, 8], [255, 255, 255], [255, 255, 255]] }
        ]
    }

    function test_bar(data) {
        compare(data.positions.map(function(p) { return Lighting.colourAt(p, bar) }), data.colours)
    }

    // Colours the bar does not show land on their hue; colours without a hue on the white end.
    function test_positionOfOtherColours_data() {
        return [
            { tag: "#0ac800 is green with a little red", rgb: [10, 200, 0], position: 63 },
            { tag: "dark red is red", rgb: [100, 0, 0], position: 0 },
            { tag: "almost red from the magenta side wraps to red", rgb: [255, 0, 1], position: 0 },
            { tag: "pale blue", rgb: [128, 128, 255], position: 128 },
            { tag: "grey", rgb: [90, 90, 90], position: 192 },
            { tag: "black", rgb: [0, 0, 0], position: 192 },
            { tag: "out of range values are clamped", rgb: [300, -5, 0], position: 0 }
        ]
    }

    function test_positionOfOtherColours(data) {
        compare(Lighting.positionOf(data.rgb[0], data.rgb[1], data.rgb[2], bar), data.position)
    }

    function test_hexColour() {
        compare(Lighting.hexColour(10, 200, 0), "#0ac800")
        compare(Lighting.hexColour(255, 256, -1), "#ffff00")
    }

    function test_modeTexts_data() {
        return [
            { tag: "plain", caps: [false, false, false], texts: [1, 2, 3, 4] },
            { tag: "plain, long list ignored", caps: [false, true, false], texts: [1, 2, 3, 4] },
            { tag: "alternative 553 firmware", caps: [false, false, true], texts: [1, 2, 3, 4, 15] },
            { tag: "RGB, 553 family", caps: [true, false, false], texts: [1, 2, 3, 4, 12, 13, 14] },
            { tag: "RGB, long list", caps: [true, true, false], texts: [1, 2, 3, 4, 12, 13, 14, 8, 9, 10, 11] }
        ]
    }

    function test_modeTexts(data) {
        compare(Lighting.modeTexts(data.caps[0], data.caps[1], data.caps[2]), data.texts)
    }

    function test_blocksShown_data() {
        // Flags of blocks 0..7 for [is55328, mode, dpiCount, isColorful].
        return [
            { tag: "plain, four stages", args: [false, 0, 4, false], shown: "11110000" },
            { tag: "RGB", args: [false, 0, 4, true], shown: "11111111" },
            { tag: "alternative firmware, Breath Loop", args: [true, 4, 6, false], shown: "11111110" },
            { tag: "alternative firmware, other mode", args: [true, 1, 6, false], shown: "10000000" }
        ]
    }

    function test_blocksShown(data) {
        var shown = ""
        for (var k = 0; k < 8; ++k)
            shown += Lighting.blockVisible(k, data.args[0], data.args[1], data.args[2], data.args[3]) ? "1" : "0"
        compare(shown, data.shown)
    }
}
