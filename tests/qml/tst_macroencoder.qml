// SPDX-License-Identifier: GPL-3.0-or-later
import QtQuick
import QtTest
import "../../modules/qml/Xq/MacroEncoder.js" as MacroEncoder

TestCase {
    name: "MacroEncoder"

    // A few names of the key vocabulary with their codes.
    readonly property var codes: ({ "A": 0x04, "B": 0x05, ",": 0x36, "LShift": 0xE1,
                                    "MS-L": 0xF0, "MS-R": 0xF1 })
    function lookup(name) {
        return codes.hasOwnProperty(name) ? codes[name] : 0
    }

    // Events (space-separated; or parsed), repeat count (none: a stored macro, its count last),
    // the block in hex.
    function test_encode_data() {
        var row = function(tag, events, repeat, hex) {
            return { tag: tag, events: typeof events === "string" ? events.split(" ").filter(String) : events,
                     repeat: repeat, bytes: hex.split(" ").map(function(h) { return parseInt(h, 16) }) }
        }
        return [
            row("no action: repeat and terminator", "0,50", 1, "00 01 00 00"),
            row("unknown key name is left out, its pause kept", "1,A 0,30 1,Nope 0,20 2,A", 1, "00 01 05 04 81 04 00 00"),
            row("events of other types are ignored", "7,A 1,A x,B 2,A", 1, "00 01 01 04 81 04 00 00"),
            row("parsed events", [{ type: 1, info: "A" }, { type: 0, info: 50 }, { type: 2, info: "A" }], 1,
                "00 01 05 04 81 04 00 00"),
            row("no delay between actions gives 10 ms", "1,A 2,A", 1, "00 01 01 04 81 04 00 00"),
            row("consecutive delays add up", "1,A 0,500 0,700 2,A", 1, "00 01 78 04 81 04 00 00"),
            row("1260 ms still fits the record", "1,A 0,1260 2,A", 1, "00 01 7e 04 81 04 00 00"),
            row("1270 ms needs the 20 ms unit", "1,A 0,1270 2,A", 1, "00 01 00 04 00 01 00 3f 81 04 00 00"),
            row("2000 ms extension", "1,A 0,2000 2,A", 1, "00 01 00 04 00 01 00 64 81 04 00 00"),
            row("extension after a release keeps the release bit", "2,A 0,2000 1,B", 1, "00 01 80 04 00 01 00 64 01 05 00 00"),
            row("20 minutes use the 50 ms unit", "1,A 0,1200000 2,A", 1, "00 01 00 04 00 02 5d c0 81 04 00 00"),
            row("50 minutes use the 100 ms unit", "1,A 0,3000000 2,A", 1, "00 01 00 04 00 03 75 30 81 04 00 00"),
            row("pauses beyond the largest unit are sent as its maximum", "1,A 0,7000000 0,7000000 2,A", 1,
                "00 01 00 04 00 03 ff ff 81 04 00 00"),
            row("15 ms rounds to 20 ms", "1,A 0,15 2,A", 1, "00 01 02 04 81 04 00 00"),
            row("partial pauses are summed before rounding", "1,A 0,5 0,5 0,4 2,A", 1, "00 01 01 04 81 04 00 00"),
            row("unreadable and negative delays count as 0", "1,A 0,abc 0,-500 0,30 2,A", 1, "00 01 03 04 81 04 00 00"),
            row("leading and trailing delays dropped", "0,100 0,20 1,A 0,30 2,A 0,9000", 1, "00 01 03 04 81 04 00 00"),
            row("single action is kept", "0,20 3,MS-L", 1, "00 01 01 f0 00 00"),
            row("mouse release sets bit 7", "3,MS-R 0,40 4,MS-R", 1, "00 01 04 f1 81 f1 00 00"),
            row("key named comma", "1,, 2,,", 1, "00 01 01 36 81 36 00 00"),
            row("repeat 300 high byte first", "1,A", 300, "01 2c 01 04 00 00"),
            row("repeat as text", "1,A", "65535", "ff ff 01 04 00 00"),
            row("repeat 0 clamps to 1", "1,A", 0, "00 01 01 04 00 00"),
            row("repeat above range clamps", "1,A", 70000, "ff ff 01 04 00 00"),
            row("unreadable repeat counts as 1", "1,A", "x", "00 01 01 04 00 00"),
            row("stored macro", "1,A 0,50 2,A 300", undefined, "01 2c 05 04 81 04 00 00"),
            row("stored macro, its count only", "1", undefined, "00 01 00 00"),
            row("stored macro, empty", "", undefined, "00 01 00 00"),
        ]
    }

    function test_encode(data) {
        if (data.repeat === undefined)
            return compare(MacroEncoder.encodeLoaded(data.events, lookup), data.bytes)
        compare(MacroEncoder.encode(data.events, data.repeat, lookup), data.bytes)
        compare(MacroEncoder.encodedLength(data.events, lookup), data.bytes.length)
    }

    function pairs(count, name) {
        var list = []
        for (var i = 0; i < count; ++i)
            list.push("1," + name, "2," + name)
        return list
    }

    // Cut after the last whole record: 64 records need 132 bytes, 62 fit. Keys still held are
    // released, last pressed first. A press that would need a 2000 ms extension after 60
    // records becomes the last kept action with the shortest pause, and is released.
    function test_cut_data() {
        return [
            { tag: "at the last whole record", events: pairs(32, "A"), length: 132, from: 122, tail: [0x01, 0x04, 0x81, 0x04, 0x00, 0x00] },
            { tag: "held keys released", events: ["1,LShift", "1,A"].concat(pairs(60, "B"), ["2,A", "2,LShift"]),
              from: 120, tail: [0x81, 0x05, 0x81, 0x04, 0x81, 0xE1, 0x00, 0x00] },
            { tag: "an extension that does not fit", events: pairs(30, "B").concat(["1,A", "0,5000", "2,A"]),
              from: 122, tail: [0x01, 0x04, 0x81, 0x04, 0x00, 0x00] },
        ]
    }

    function test_cut(data) {
        var out = MacroEncoder.encode(data.events, 1, lookup)
        compare(out.length, 128)
        compare(out.slice(data.from), data.tail)
        if (data.length)
            compare(MacroEncoder.encodedLength(data.events), data.length)
    }

    // Reads a block back: the actions it plays, or null when it is malformed.
    function decode(block) {
        for (var actions = [], p = 2; p + 1 < block.length; p += (block[p] & 0x7F) === 0 ? 6 : 2) {
            if (block[p] === 0 && block[p + 1] === 0)
                return p + 2 === block.length ? actions : null
            actions.push({ release: (block[p] & 0x80) !== 0, code: block[p + 1] })
        }
        return null
    }

    function test_random_macros_stay_well_formed() {
        var seed = 12345
        function next(n) {
            seed = (seed * 1103515245 + 12345) % 2147483648
            return seed % n
        }
        var names = ["A", "B", "LShift", "MS-L"]
        for (var round = 0; round < 300; ++round) {
            var events = [], wanted = []
            for (var i = 0, count = next(120); i < count; ++i) {
                var type = next(5)
                var name = type === 0 ? "" + (next(4) === 0 ? next(200000) : next(300)) : names[next(names.length)]
                events.push(type + "," + name)
                if (type > 0)
                    wanted.push({ release: type === 2 || type === 4, code: lookup(name) })
            }
            var out = MacroEncoder.encode(events, next(70000), lookup)
            verify(out.length <= 128, "round " + round)
            var played = decode(out)
            verify(played !== null, "round " + round + " malformed")
            // The played actions start with the stored ones; whatever follows only releases keys.
            var held = []
            for (i = 0; i < played.length; ++i) {
                if (i < wanted.length && played[i].release === wanted[i].release && played[i].code === wanted[i].code) {
                    var at = held.indexOf(played[i].code)
                    if (played[i].release && at >= 0)
                        held.splice(at, 1)
                    else if (!played[i].release && at < 0)
                        held.push(played[i].code)
                    continue
                }
                verify(played[i].release, "round " + round + ": extra action " + i + " is not a release")
                verify(held.indexOf(played[i].code) >= 0, "round " + round + ": release of a key not held")
                held.splice(held.indexOf(played[i].code), 1)
            }
            if (MacroEncoder.encodedLength(events) <= 128)
                compare(played.length, wanted.length, "round " + round + ": a fitting macro was cut")
            else
                compare(held.length, 0, "round " + round + ": cut macro leaves a key held")
        }
    }
}
