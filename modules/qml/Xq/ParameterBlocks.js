.pragma library
.import "SceneText.js" as SceneText
// SPDX-License-Identifier: GPL-3.0-or-later

// The two parameter blocks in which the main window sends a whole profile, and the code
// tables between the pages' indexes and the device's report codes. Pure functions: every
// caller hands in plain numbers, every result is a plain list.

// Report-rate entries 125, 250, 500, 1000 Hz; the code is the report interval in ms.
var rateCodes = [8, 4, 2, 1]
// Light speed positions 0..4 of the lighting page.
var speedCodes = [1, 3, 4, 5, 7]

function toInt(value) {
    return SceneText.toInt(value, 0)
}

function rateCode(index) {
    var i = toInt(index)
    return i >= 0 && i < rateCodes.length ? rateCodes[i] : rateCodes[0]
}

// Entry of a reported rate code, -1 for a code the list does not have.
function rateIndex(code) {
    return rateCodes.indexOf(toInt(code))
}

function speedCode(position) {
    var p = toInt(position)
    return p >= 0 && p < speedCodes.length ? speedCodes[p] : 0
}

function speedPosition(code) {
    return speedCodes.indexOf(toInt(code))
}

// Mode 6 of the lighting page is mode 7 on the device, and back.
function lightModeCode(mode) {
    var m = toInt(mode)
    return m === 6 ? 7 : m
}

function lightModeIndex(code) {
    var c = toInt(code)
    return c === 7 ? 6 : c
}

function byteOf(value) {
    return toInt(value) & 0xFF
}

// Block 0: report rate, active stage and lighting; the device takes the first six values.
function block0(rateEntry, currentDpi, lightMode, brightness, speedPositionValue, colourSlot) {
    return [rateCode(rateEntry), byteOf(currentDpi), byteOf(lightModeCode(lightMode)),
            byteOf(toInt(brightness) * 63), speedCode(speedPositionValue), byteOf(colourSlot), 0]
}

// Block 1: lift-off, stage count, the eight DPI values twice (low byte first), the 24 colour
// bytes and the 16 key definitions; lists shorter than expected leave their bytes 0.
function block1(lod, stageCount, dpiValues, colours, keys) {
    var block = []
    for (var i = 0; i < 192; ++i)
        block.push(0)
    block[3] = byteOf(lod)
    block[4] = byteOf(stageCount)
    for (var k = 0; k < 8; ++k) {
        var dpi = dpiValues && k < dpiValues.length ? toInt(dpiValues[k]) : 0
        block[9 + 2 * k] = block[25 + 2 * k] = dpi & 0xFF
        block[10 + 2 * k] = block[26 + 2 * k] = (dpi >> 8) & 0xFF
    }
    for (var c = 0; c < 24; ++c)
        block[88 + c] = colours && c < colours.length ? byteOf(colours[c]) : 0
    for (var b = 0; b < 64; ++b)
        block[128 + b] = keys && b < keys.length ? byteOf(keys[b]) : 0
    return block
}
