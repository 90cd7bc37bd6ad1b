.pragma library
// SPDX-License-Identifier: GPL-3.0-or-later

// Small text helpers shared by the main window and its pages.

// The texts of a language group laid over a page's built-in texts: a position the language
// file holds replaces the built-in text, positions it lacks keep theirs (a missing file or
// group leaves the page readable instead of blank).
function mergeTexts(builtIn, loaded) {
    var out = []
    var n = Math.max(builtIn ? builtIn.length : 0, loaded ? loaded.length : 0)
    for (var i = 0; i < n; ++i) {
        if (loaded && i < loaded.length && loaded[i] !== undefined && loaded[i] !== null)
            out.push(String(loaded[i]))
        else
            out.push(builtIn && i < builtIn.length ? String(builtIn[i]) : "")
    }
    return out
}

// Settings values come back from the INI files as text.
function toBool(value) {
    if (value === true || value === 1)
        return true
    var text = String(value).toLowerCase()
    return text === "true" || text === "1"
}

function toInt(value, fallback) {
    var n = parseInt(value, 10)
    return isNaN(n) ? (fallback === undefined ? 0 : fallback) : n
}

// An integer in min..max from a stored or typed value, or fallback when it is no number.
function intIn(value, min, max, fallback) {
    var n = parseInt(value, 10)
    if (isNaN(n))
        return fallback
    return Math.max(min, Math.min(max, n))
}

function isSet(value) {
    return value !== undefined && value !== null && String(value) !== ""
}

// A stored name list: a one-name list is kept with a sentinel second entry, dropped here.
var nameSentinel = "loaderzentok"

function dropSentinel(list) {
    var names = []
    if (!list)
        return names
    for (var i = 0; i < list.length; ++i)
        names.push(String(list[i]))
    if (names.length === 2 && names[1] === nameSentinel)
        names.pop()
    return names
}

// What the window says after a save (outcome: see myQQuickView::endSave), in the language of
// texts: "Saved", what the mouse did not keep ("report rate, stored profile 2, 3"), that it did
// not answer, or that it cannot be asked.
function saveOutcomeText(outcome, texts) {
    if (outcome.result === "verified")
        return texts[0]
    if (outcome.result === "unchecked")
        return texts[8]
    var positions = { rate: 2, stage: 3, lightMode: 4, lightSpeed: 5 }
    var names = [], blocks = []
    for (var i = 0; i < outcome.items.length; ++i) {
        var key = String(outcome.items[i])
        if (key in positions)
            names.push(texts[positions[key]])
        else
            blocks.push(key.replace("profile", ""))
    }
    if (blocks.length > 0)
        names.push(texts[6] + " " + blocks.join(", "))
    return names.length > 0 ? texts[1] + " " + names.join(", ") : texts[7]
}
