.pragma library
// SPDX-License-Identifier: GPL-3.0-or-later

// The rules of the macro editor and the gun page that need no scene: names of new macros,
// where inserted events go, and the gun page's conversions between control positions and
// stored values.

// ---- Macro editor ----------------------------------------------------------------------------

var maxMacros = 100;
// New and imported macros are named Macro_0 .. Macro_7.
var autoNames = 8;

// The first "Macro_<n>" not in names (nor taken(name), when given), "" when Macro_0 .. Macro_7
// are all taken or the list is full.
function freeMacroName(names, taken) {
    var list = names || [];
    if (list.length >= maxMacros)
        return "";
    for (var n = 0; n < autoNames; ++n) {
        var name = "Macro_" + n;
        if (list.indexOf(name) < 0 && !(taken && taken(name)))
            return name;
    }
    return "";
}

// The name a rename ends with: the typed text without surrounding blanks, or "" when it is
// refused (empty, or already a name of the list, the macro's own included).
function renamedTo(typed, names) {
    var name = String(typed === undefined || typed === null ? "" : typed).trim();
    if (name === "" || (names || []).indexOf(name) >= 0)
        return "";
    return name;
}

// Event type of a key report: key press 1 / release 2, mouse button press 3 / release 4.
function recordedType(code, isDown) {
    var mouse = Number(code) >= 0xF0;
    return isDown ? (mouse ? 3 : 1) : (mouse ? 4 : 2);
}

// Where an inserted pair goes in a list of count rows with row selected (-1: none). Keys go
// before the selected row, mouse buttons after it; at the last row, or without a selected row,
// both are appended.
function insertRow(count, selected, after) {
    if (selected < 0 || selected >= count - 1)
        return count;
    return after ? selected + 1 : selected;
}

// ---- Gun page --------------------------------------------------------------------------------

// The rate slider's knob runs over 86 pixels (the slider is 104 wide with its 12-pixel knob),
// from x 3 to 89, and shows the period (knob x + 1) ms: a period p puts the knob at
// (p - 5) / 86 of the travel (x = p - 1), which shows p again.
var rateTravel = 86;
var minPeriod = 4;
var maxPeriod = 90;

function rateText(knobX) {
    return (Math.floor(knobX) + 1) + "MS";
}

// The number before "MS", -1 when there is none.
function periodOfText(text) {
    var n = parseInt(String(text), 10);
    return isNaN(n) ? -1 : n;
}

// The ratio of the knob's travel for a period (kept on the slider). The slider takes the
// integer part of travel x ratio; aiming half a pixel further keeps a rounding error of the
// division from landing one pixel short.
function rateRatio(period) {
    var p = Math.max(minPeriod, Math.min(maxPeriod, Number(period)));
    return (p - 5 + 0.5) / rateTravel;
}

// The sight's dot: its top edge from y 89 (value 0) to 183 (value 64).
var dotTop = 89;
var dotTravel = 94;
var maxAdjust = 64;

function dotY(value) {
    return dotTravel * value / maxAdjust + dotTop;
}

// The value shown for a dot position; the dot placed for a value gives that value back.
function dotValue(y) {
    var v = Math.floor((y - dotTop) / dotTravel * maxAdjust + 1e-9);
    return Math.max(0, Math.min(maxAdjust, v));
}
