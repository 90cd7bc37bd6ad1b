.pragma library
// SPDX-License-Identifier: GPL-3.0-or-later

// Button functions as the button list and the assignment dialog see them: a key definition is
// four bytes code0..code3, code0 naming the function group. Pure functions over plain numbers;
// texts come from the dialog's language list (`labels`), key names from a function handed in.

// The dialog's function groups, indexed by code0, with the index of their title in `labels`.
var groupLabels = [1, 8, 14, 15, 16, 21, 25, 26, 52]
var MouseGroup = 0, FireGroup = 1, ComboGroup = 2, MediaGroup = 3, MacroGroup = 4, DpiGroup = 5,
    WindowsGroup = 6, ShortcutGroup = 7, GunGroup = 8

// Label of the "none" mouse choice, also the text of any unknown mouse button code.
var noneLabel = 59

function choice(label, c0, c1, c2, c3) {
    return { label: label, codes: [c0, c1, c2, c3] }
}

// The fixed choices of each group (fire, combo and macro are built in the dialog instead).
var choices = [
    [choice(2, 0, 0, 0xF0, 0), choice(3, 0, 0, 0xF2, 0), choice(4, 0, 0, 0xF1, 0), choice(5, 0, 0, 0xF4, 0),
     choice(6, 0, 0, 0xF3, 0), choice(7, 0, 0xF0, 0x1E, 2), choice(noneLabel, 0, 0, 0, 0)],
    [],
    [],
    [choice(27, 3, 0, 0x83, 0x01), choice(28, 3, 0, 0xB5, 0), choice(29, 3, 0, 0xB6, 0), choice(30, 3, 0, 0xB7, 0),
     choice(31, 3, 0, 0xE2, 0), choice(32, 3, 0, 0xCD, 0), choice(33, 3, 0, 0xE9, 0), choice(34, 3, 0, 0xEA, 0)],
    [],
    [choice(22, 5, 0, 1, 0), choice(23, 5, 0, 2, 0), choice(24, 5, 0, 3, 0), choice(56, 5, 0, 4, 0)],
    [choice(35, 6, 0, 0x94, 0x01), choice(36, 6, 0, 0x23, 0x02), choice(37, 6, 0, 0x21, 0x02),
     choice(38, 6, 0xE2, 0x2C, 0x1B), choice(39, 6, 0xE2, 0x2C, 0x11), choice(40, 6, 0, 0xE3, 0x07),
     choice(41, 6, 0, 0xE3, 0x15)],
    [choice(42, 7, 0, 0xE0, 0x11), choice(43, 7, 0, 0xE0, 0x1B), choice(44, 7, 0, 0xE0, 0x06),
     choice(45, 7, 0, 0xE0, 0x19), choice(46, 7, 0, 0xE0, 0x16), choice(47, 7, 0, 0xE0, 0x13),
     choice(48, 7, 0, 0xE0, 0x09), choice(49, 7, 0, 0xE0, 0x1C), choice(50, 7, 0, 0xE0, 0x1D),
     choice(51, 7, 0, 0xE0, 0x04)],
    [choice(53, 8, 0, 1, 0), choice(54, 8, 0, 2, 0), choice(55, 8, 0, 3, 0)]
]

function byteOf(value) {
    var n = parseInt(value, 10)
    return isNaN(n) ? 0 : n & 0xFF
}

// Four bytes from whatever the store or a caller hands over; anything but four values is null.
function definition(values) {
    if (!values || values.length !== 4)
        return null
    return [byteOf(values[0]), byteOf(values[1]), byteOf(values[2]), byteOf(values[3])]
}

function sameCodes(a, b) {
    return a[0] === b[0] && a[1] === b[1] && a[2] === b[2] && a[3] === b[3]
}

// Group the dialog shows a definition in; functions it does not offer open on the mouse group.
function groupOf(codes) {
    return codes[0] <= GunGroup ? codes[0] : MouseGroup
}

// Label of a fixed choice a definition matches, -1 for none. Mouse buttons, DPI and gun
// functions are told apart by code2 (any other mouse code is "none"); media, Windows and
// shortcut functions by code2 and code3.
function labelOf(codes) {
    var list = codes[0] < choices.length ? choices[codes[0]] : []
    for (var i = 0; i < list.length; ++i) {
        var c = list[i].codes
        if (c[2] === codes[2] && (codes[0] === MouseGroup || codes[0] === DpiGroup || codes[0] === GunGroup
                                  || c[3] === codes[3]))
            return list[i].label
    }
    return codes[0] === MouseGroup ? noneLabel : -1
}

// Modifier keys 0xE0..0xE7 are bits 0..7 of code1.
function isModifier(code) {
    return code >= 0xE0 && code <= 0xE7
}

// Names of a combination: the modifiers in bit order, then the keys; one text for the live
// capture and the stored definition.
function comboNames(codes, keyName) {
    var names = []
    for (var bit = 0; bit < 8; ++bit)
        if (codes[1] & (1 << bit))
            names.push(keyName(0xE0 + bit))
    if (codes[2] !== 0)
        names.push(keyName(codes[2]))
    if (codes[3] !== 0)
        names.push(keyName(codes[3]))
    return names
}

function comboText(codes, keyName) {
    return comboNames(codes, keyName).join(" + ")
}

// The device sends a combination as at most three keys, its modifiers counted.
var comboLimit = 3

function comboCount(codes) {
    var count = (codes[2] !== 0 ? 1 : 0) + (codes[3] !== 0 ? 1 : 0)
    for (var bit = 0; bit < 8; ++bit)
        if (codes[1] & (1 << bit))
            ++count
    return count
}

// A key pressed during the combination capture: modifiers set their bit, other keys fill code2
// and then code3; a repeated key, a third key, or any key beyond the limit changes nothing.
function comboAdd(codes, code) {
    var out = [ComboGroup, codes[1], codes[2], codes[3]]
    var held = isModifier(code) ? (out[1] & (1 << (code - 0xE0))) !== 0 : code === out[2] || code === out[3]
    if (code === 0 || held || comboCount(out) >= comboLimit)
        return out
    if (isModifier(code))
        out[1] |= 1 << (code - 0xE0)
    else if (out[2] === 0)
        out[2] = code
    else if (out[3] === 0)
        out[3] = code
    return out
}

// Text shown for a definition. keyName(code) names a key, macroName(slot) gives the macro
// stored for a macro slot; a macro without a stored name shows the macro group's title.
function keyText(codes, labels, keyName, macroName) {
    function label(i) {
        return labels && i >= 0 && i < labels.length ? String(labels[i]) : ""
    }
    switch (codes[0]) {
    case FireGroup:
        return keyName(codes[1])
    case ComboGroup:
        return comboText(codes, keyName)
    case MacroGroup:
        var name = macroName(codes[2])
        return name !== "" ? name : label(groupLabels[MacroGroup])
    default:
        return label(labelOf(codes))
    }
}

// The fire rate slider: index i is i + 1 ms (code2), 255 values.
var rateSegments = 254

function rateText(index) {
    return (index + 1) + " MS"
}

// Index of a knob position on a slider of that width (12-pixel knob, stops 3 pixels in): the
// next point at or to the right of it. Positions arrive as whole pixels, so a slider needs
// more than a pixel per point (at least 273 wide) for every index to be reached exactly.
function rateIndexAt(x, sliderWidth) {
    var per = (sliderWidth - 18) / rateSegments
    var i = Math.ceil((x - 3) / per - 1e-9)
    return Math.max(0, Math.min(rateSegments, i))
}

// At least one left button stays: the only button (below keyCount) assigned the left button
// cannot be reassigned. `definitions` lists the buttons' four codes.
function isOnlyLeftButton(definitions, index, keyCount) {
    function isLeft(d) { return d && sameCodes(d, [0, 0, 0xF0, 0]) }
    if (index < 0 || index >= definitions.length || !isLeft(definitions[index]))
        return false
    var lefts = 0
    for (var i = 0; i < definitions.length && i < keyCount; ++i)
        if (isLeft(definitions[i]))
            ++lefts
    return lefts <= 1
}

// ---- The command line's words --------------------------------------------------------------
// The fixed choices by their label: "mousecfg set button 3 copy". Fire, combination and macro
// functions are written "fire:KEY[,RATEms[,TIMES]]", "key:KEY[+KEY...]" and
// "macro:NAME[,MODE]"; keys by the vocabulary's own names (any case) or the aliases below.
var choiceWords = {
    2: "left", 3: "middle", 4: "right", 5: "forward", 6: "back", 7: "double-fire", 59: "none",
    27: "player", 28: "next", 29: "previous", 30: "stop", 31: "mute", 32: "play-pause", 33: "volume-up",
    34: "volume-down", 35: "my-pc", 36: "home-page", 37: "search", 38: "maximise", 39: "minimise",
    40: "desktop", 41: "run", 42: "new", 43: "cut", 44: "copy", 45: "paste", 46: "save", 47: "print",
    48: "find", 49: "redo", 50: "undo", 51: "select-all", 22: "dpi+", 23: "dpi-", 24: "dpi-loop",
    56: "sniper", 53: "gun1", 54: "gun2", 55: "gun3"
}
// The dialog's macro repeat modes 0..2: once, until any button is pressed, while held.
var macroModeWords = ["once", "loop", "hold"]
var keyAliases = { ctrl: 0xE0, shift: 0xE1, alt: 0xE2, win: 0xE3, right: 0x4F, left: 0x50, down: 0x51, up: 0x52 }
var fireRateDefault = 10

// The word of a key code: an alias, else the vocabulary's name in lower case ("" for none).
function keyWord(code, codes, names) {
    for (var alias in keyAliases)
        if (keyAliases[alias] === code)
            return alias
    var i = codes.indexOf(code)
    return i >= 0 && i < names.length ? String(names[i]).toLowerCase() : ""
}

// The code of a key's word, 0 for none.
function keyCode(word, codes, names) {
    var w = String(word).toLowerCase()
    if (keyAliases.hasOwnProperty(w))
        return keyAliases[w]
    for (var i = 0; i < codes.length && i < names.length; ++i)
        if (String(names[i]).toLowerCase() === w)
            return codes[i]
    return 0
}

// The word of a definition; keyWordOf(code) names a key, macroName(slot) a slot's macro.
function functionWord(codes, keyWordOf, macroName) {
    switch (codes[0]) {
    case FireGroup:
        return "fire:" + keyWordOf(codes[1]) + "," + codes[2] + "ms," + (codes[3] === 0 ? "endless" : codes[3])
    case ComboGroup:
        return "key:" + comboNames(codes, keyWordOf).join("+")
    case MacroGroup:
        return "macro:" + macroName(codes[2]) + "," + (macroModeWords[codes[1]] || codes[1])
    }
    var label = labelOf(codes)
    return choiceWords.hasOwnProperty(label) ? choiceWords[label]
                                              : "unknown(" + codes.map(function(c) { return c.toString(16) }).join(" ") + ")"
}

function fixedChoice(word) {
    for (var g = 0; g < choices.length; ++g)
        for (var i = 0; i < choices[g].length; ++i)
            if (choiceWords[choices[g][i].label] === word)
                return choices[g][i].codes
    return null
}

function wordList() {
    var words = []
    for (var label in choiceWords)
        words.push(choiceWords[label])
    return words.join(", ") + ", fire:KEY[,RATEms[,TIMES]], key:KEY[+KEY...], macro:NAME[,"
           + macroModeWords.join("|") + "]"
}

// Keys of a combination: "+" separates them, and a "+" right after one ends its name ("kp+").
function splitKeys(text) {
    var parts = String(text).split("+")
    var keys = []
    for (var i = 0; i < parts.length; ++i) {
        if (parts[i] === "" && keys.length > 0 && i > 0)
            keys[keys.length - 1] += "+"
        else
            keys.push(parts[i])
    }
    return keys
}

// A definition from its word: { codes } for a fixed choice, { fire: [key, rate, times] },
// { keys: [codes in order] }, { macro: name, mode } or { error }. keyCodeOf(word) gives a
// key's code (0 for none); macroNames lists the device's macros; gun functions need isGun.
function parseWord(text, keyCodeOf, macroNames, isGun) {
    var t = String(text)
    var colon = t.indexOf(":")
    var kind = colon < 0 ? "" : t.slice(0, colon).toLowerCase()
    var rest = t.slice(colon + 1)
    function keyboardKey(word) {
        var c = keyCodeOf(word)
        return c > 0 && c < 0xF0 ? c : 0
    }
    if (colon < 0) {
        var codes = fixedChoice(t.toLowerCase())
        if (!codes)
            return { error: "unknown function \"" + t + "\" (functions: " + wordList() + ")" }
        if (codes[0] === GunGroup && !isGun)
            return { error: "\"" + t + "\": this mouse has no gun functions" }
        return { codes: codes.slice() }
    }
    if (kind === "fire") {
        var m = /^(.+?)(?:,(\d+)(?:ms)?)?(?:,(\d+|endless))?$/i.exec(rest)
        var key = m ? keyboardKey(m[1]) : 0
        if (!key)
            return { error: "\"" + t + "\": no key \"" + (m ? m[1] : rest) + "\" (keys as the macro editor names them, e.g. a, f1, space, ctrl)" }
        var rate = m[2] === undefined ? fireRateDefault : Number(m[2])
        var times = m[3] === undefined || m[3].toLowerCase() === "endless" ? 0 : Number(m[3])
        if (rate < 1 || rate > rateSegments + 1)
            return { error: "\"" + t + "\": the rate is 1 to " + (rateSegments + 1) + " ms" }
        if (times > 255)
            return { error: "\"" + t + "\": the times are 0 (endless) to 255" }
        return { fire: [key, rate, times] }
    }
    if (kind === "key") {
        var keys = splitKeys(rest)
        var combo = [ComboGroup, 0, 0, 0]
        var taken = []
        for (var k = 0; k < keys.length; ++k) {
            var c = keyboardKey(keys[k])
            if (!c)
                return { error: "\"" + t + "\": no key \"" + keys[k] + "\" (keys as the macro editor names them, e.g. a, f1, space, ctrl)" }
            var next = comboAdd(combo, c)
            if (sameCodes(next, combo))
                return { error: "\"" + t + "\": at most " + comboLimit + " different keys, two of them not modifiers" }
            combo = next
            taken.push(c)
        }
        return { keys: taken }
    }
    if (kind === "macro") {
        var comma = rest.lastIndexOf(",")
        var mode = comma < 0 ? -1 : macroModeWords.indexOf(rest.slice(comma + 1).toLowerCase())
        var name = mode < 0 ? rest : rest.slice(0, comma)
        if (!macroNames || macroNames.indexOf(name) < 0)
            return { error: "\"" + t + "\": no macro \"" + name + "\" (macros: " + (macroNames || []).join(", ") + ")" }
        return { macro: name, mode: Math.max(0, mode) }
    }
    return { error: "unknown function \"" + t + "\" (functions: " + wordList() + ")" }
}
