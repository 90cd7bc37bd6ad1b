.pragma library

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
function comboText(codes, keyName) {
    var names = []
    for (var bit = 0; bit < 8; ++bit)
        if (codes[1] & (1 << bit))
            names.push(keyName(0xE0 + bit))
    if (codes[2] !== 0)
        names.push(keyName(codes[2]))
    if (codes[3] !== 0)
        names.push(keyName(codes[3]))
    return names.join(" + ")
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
