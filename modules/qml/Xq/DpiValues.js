.pragma library
.import "SceneText.js" as SceneText
// SPDX-License-Identifier: GPL-3.0-or-later

// The DPI page's numbers: slider positions and values, the entry rows' steps and the stage
// counts. Pure functions over plain numbers.

// A slider is 176 pixels long; its 12-pixel knob travels from position 3 to 161.
var firstPosition = 3
var lastPosition = 161
var travel = lastPosition - firstPosition

// Entry rows step by 50 within 50..26000.
var entryStep = 50
var entryMax = 26000

function safeBase(dpiBase) {
    return dpiBase > 0 ? dpiBase : 1
}

// Value of a knob position, rounded down to the step.
function valueAt(position, minDPI, maxDPI, dpiBase) {
    var base = safeBase(dpiBase)
    return Math.floor(((position - firstPosition) * (maxDPI - minDPI) / travel + minDPI) / base) * base
}

// Knob position of a value. One position beyond the exact one, so that a value on the grid
// reads back unchanged; a value outside the range rests at the nearer end of the travel.
function positionOf(value, minDPI, maxDPI) {
    if (maxDPI <= minDPI)
        return firstPosition
    var p = Math.floor(travel * (value - minDPI) / (maxDPI - minDPI)) + firstPosition + 1
    return Math.max(firstPosition, Math.min(lastPosition, p))
}

// A stored value as the slider shows (and later saves) it.
function gridValue(value, minDPI, maxDPI, dpiBase) {
    return valueAt(positionOf(value, minDPI, maxDPI), minDPI, maxDPI, dpiBase)
}

function stepDown(value) {
    return value >= 2 * entryStep ? value - entryStep : value
}

function stepUp(value) {
    return value <= entryMax - entryStep ? value + entryStep : value
}

// A typed value when the field is left: at least 50, on the nearest multiple of 50.
function settleEntry(value) {
    var v = parseInt(value, 10)
    if (isNaN(v) || v < entryStep)
        return entryStep
    return Math.round(v / entryStep) * entryStep
}

// Stages offered (1..8) and in use (1..offered) from stored values that may be damaged; an
// unreadable value keeps the one the page has.
function stageCounts(dpiCount, currentDpiCount, keptCount, keptCurrent) {
    var offered = SceneText.intIn(dpiCount, 1, 8, Math.max(1, Math.min(8, keptCount)))
    return { dpiCount: offered,
             currentDpiCount: SceneText.intIn(currentDpiCount, 1, offered, Math.max(1, Math.min(offered, keptCurrent))) }
}
