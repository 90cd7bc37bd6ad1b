.pragma library
// SPDX-License-Identifier: GPL-3.0-or-later

// The lighting page's rules as pure functions: the colour bar's mapping between a position and
// a colour (and back), the mode list a device offers and which colour blocks it shows.

// The bar is six equal hue parts, red to yellow, green, cyan, blue, magenta and back to red,
// followed by a white end.
function partWidth(barWidth) {
    return Math.floor((barWidth - 2) / 6)
}

function clampByte(value) {
    var n = Math.round(Number(value))
    return isNaN(n) ? 0 : Math.max(0, Math.min(255, n))
}

// The colour [r, g, b] at bar position p.
function colourAt(p, barWidth) {
    var w = partWidth(barWidth)
    var i = Math.floor(p / w)
    var s = Math.floor((p - i * w) * 255 / w)
    switch (i) {
    case 0: return [255, s, 0]
    case 1: return [255 - s, 255, 0]
    case 2: return [0, 255, s]
    case 3: return [0, 255 - s, 255]
    case 4: return [s, 0, 255]
    case 5: return [255, 0, 255 - s]
    }
    return p > barWidth - 3 ? [255, 255, 255] : [255, 0, 0]
}

// The bar position of a colour: exact for every colour the bar shows; any other colour lands on
// the position of its hue (its middle channel scaled between the lowest and highest), and
// colours without a hue (greys, black, white) on the white end.
function positionOf(r, g, b, barWidth) {
    var c = [clampByte(r), clampByte(g), clampByte(b)]
    var hi = Math.max(c[0], c[1], c[2]), lo = Math.min(c[0], c[1], c[2])
    if (hi === lo)
        return barWidth - 2
    var n = c.map(function(v) { return (v - lo) * 255 / (hi - lo) })
    var part, s
    if (c[0] === hi && c[2] === lo)       { part = 0; s = n[1] }
    else if (c[1] === hi && c[2] === lo)  { part = 1; s = 255 - n[0] }
    else if (c[1] === hi && c[0] === lo)  { part = 2; s = n[2] }
    else if (c[2] === hi && c[0] === lo)  { part = 3; s = 255 - n[1] }
    else if (c[2] === hi && c[1] === lo)  { part = 4; s = n[0] }
    else                                  { part = 5; s = 255 - n[2] }
    var w = partWidth(barWidth)
    // colourAt rounds s down, so the smallest offset that gives back s is the one to take.
    var d = Math.ceil(s * w / 255 - 1e-9)
    return (part * w + d) % (6 * w)
}

function hexColour(r, g, b) {
    function hex(v) {
        var text = clampByte(v).toString(16)
        return text.length < 2 ? "0" + text : text
    }
    return "#" + hex(r) + hex(g) + hex(b)
}

// Positions in the page's texts of the modes a device offers, in list order: four base modes,
// three more on RGB devices, four more on devices with the long mode list, and "Breath Loop"
// on the alternative 553 firmware.
function modeTexts(isColorful, isModde9, is55328) {
    var texts = [1, 2, 3, 4]
    if (isColorful) {
        texts = texts.concat([12, 13, 14])
        if (isModde9)
            texts = texts.concat([8, 9, 10, 11])
    }
    if (is55328)
        texts.push(15)
    return texts
}

// Colour block k (0..7) is shown: the first always; on the alternative 553 firmware the first
// seven only in mode 4 ("Breath Loop"); otherwise one per DPI stage, or all on RGB devices.
function blockVisible(k, is55328, mode, dpiCount, isColorful) {
    if (k === 0)
        return true
    if (is55328)
        return mode === 4 && k !== 7
    return dpiCount > k || isColorful
}
