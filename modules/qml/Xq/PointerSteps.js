.pragma library
.import "SceneText.js" as SceneText
// SPDX-License-Identifier: GPL-3.0-or-later

// The system page's values: knob positions of its 352-pixel sliders and the scroll choice.

// Knob stops of a 12-pixel knob on a 352-pixel track.
var leftStop = 3
var rightStop = 337
// Scroll lines stored for "Scroll one Screen"; any stored value above maxRows means it.
var screenLines = 1000
var maxRows = 100

// The desktop's step 0..10 of a knob position: the index of the first threshold above it.
var thresholds = [4, 37, 70, 104, 138, 172, 205, 239, 272, 305, 338]

function stepOf(position) {
    for (var i = 0; i < thresholds.length; ++i) {
        if (thresholds[i] > position)
            return i
    }
    return 0
}

// A stored knob position, kept on the track (a damaged file must not put the knob outside it).
function knobPosition(stored, fallback) {
    return SceneText.intIn(stored, leftStop, rightStop, fallback)
}

// A stored or typed row count: at least one line (no number at all: fallback).
function rows(value, fallback) {
    return SceneText.intIn(value, 1, maxRows, fallback)
}
