import QtQuick
import QtTest
import "../../modules/qml/Xq/ParameterBlocks.js" as Blocks
import "../../modules/qml/Xq/SceneText.js" as SceneText

// The code tables between the pages and the device, and the language texts over built-ins.
TestCase {
    name: "SceneBlocks"

    function test_codes_data() {
        return [
            { tag: "rate entries", f: "rateCode", inputs: [0, 1, 2, 3, 4, -1, "x"], out: [8, 4, 2, 1, 8, 8, 8] },
            { tag: "reported rates", f: "rateIndex", inputs: [8, 4, 2, 1, 3, 0], out: [0, 1, 2, 3, -1, -1] },
            { tag: "speed positions", f: "speedCode", inputs: [0, 1, 2, 3, 4, 5], out: [1, 3, 4, 5, 7, 0] },
            { tag: "reported speeds", f: "speedPosition", inputs: [1, 3, 4, 5, 7, 2, 6], out: [0, 1, 2, 3, 4, -1, -1] },
            { tag: "modes to the device", f: "lightModeCode", inputs: [0, 5, 6, 7], out: [0, 5, 7, 7] },
            { tag: "modes from the device", f: "lightModeIndex", inputs: [0, 6, 7], out: [0, 6, 6] }
        ]
    }

    function test_codes(data) {
        compare(data.inputs.map(function(v) { return Blocks[data.f](v) }), data.out)
    }

    function test_block0() {
        // 250 Hz, stage 3, mode 6, brightness 4, speed position 4, colour 2; seven values.
        compare(Blocks.block0(1, 2, 6, 4, 4, 2), [4, 2, 7, 252, 7, 2, 0])
    }

    function test_block1() {
        var colours = [], keys = []
        for (var i = 0; i < 24; ++i) colours.push(i + 1)
        for (i = 0; i < 64; ++i) keys.push(200 + i)
        var b = Blocks.block1(2, 6, [200, 400, 800, 1600, 3200, 6400, 12000, 12000], colours, keys)
        compare(b.length, 192)
        compare([b[3], b[4]], [2, 6])
        compare(b.slice(9, 25), [200, 0, 144, 1, 32, 3, 64, 6, 128, 12, 0, 25, 224, 46, 224, 46])
        compare(b.slice(25, 41), b.slice(9, 25))
        compare(b.slice(88, 112), colours)
        compare(b.slice(128, 192), keys.map(function(v) { return v & 0xFF }))
        compare(b.slice(41, 88).concat(b.slice(112, 128)).filter(function(v) { return v !== 0 }), [])
        // Short lists leave their bytes 0.
        compare(Blocks.block1(1, 1, [500], [], []).slice(9, 13), [244, 1, 0, 0])
    }

    function test_mergeTexts_data() {
        return [
            { tag: "missing group keeps the built-in texts", builtIn: ["A", "B"], loaded: [], out: ["A", "B"] },
            { tag: "loaded texts replace, empty ones too", builtIn: ["A", "B", "C"], loaded: ["x", ""],
              out: ["x", "", "C"] },
            { tag: "longer lists are kept whole", builtIn: ["A"], loaded: ["x", "y"], out: ["x", "y"] }
        ]
    }

    function test_mergeTexts(data) {
        compare(SceneText.mergeTexts(data.builtIn, data.loaded), data.out)
    }

    function test_dropSentinel() {
        compare(SceneText.dropSentinel(["Macro_0", "loaderzentok"]), ["Macro_0"])
        compare(SceneText.dropSentinel(["a", "b", "loaderzentok"]), ["a", "b", "loaderzentok"])
        compare(SceneText.dropSentinel(undefined), [])
    }
}
