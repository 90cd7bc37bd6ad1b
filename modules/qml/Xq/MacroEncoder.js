.pragma library
// SPDX-License-Identifier: GPL-3.0-or-later

// Turns a stored macro (its event list and repeat count) into the device's macro block.
//
// Block: repeat count (high byte first here; the backend slot swaps it into device order),
// then one 2-byte record per key or button event, then the terminator 0x00 0x00.
//   record byte 0: bit 7 = release, bits 0-6 = pause after the action in 10 ms units (1-126),
//                  or 0 when a 4-byte delay extension follows: 0x00, unit (1 = 20 ms,
//                  2 = 50 ms, 3 = 100 ms), count high byte, count low byte;
//   record byte 1: key code.
// Delay events make no record of their own: they add up to the pause after the preceding
// action. Delays before the first action and after the last one are not sent.
//
// Events are the stored "type,info" strings (type 0 delay in ms, 1/2 key press/release,
// 3/4 mouse button press/release, info = the key's name) or objects {type, info}.
// Events of any other type are ignored.
//
// Choices made here:
// - The block never exceeds 128 bytes. A macro that does not fit is cut after the last whole
//   record that still leaves room for the terminator; any key or button the kept part leaves
//   pressed gets a release record (10 ms apart, last pressed first) so that a cut macro never
//   leaves a key held down. A macro that fits is sent exactly as stored.
// - Actions whose key name is unknown (key code 0) are left out and their pauses kept: a press
//   of code 0 followed by a delay extension would read as the terminator and end the macro.
// - A macro whose only action is its last event keeps that action (repeat, one record,
//   terminator).
// - Pauses are added up in milliseconds and rounded to the nearest 10 ms once, when the record
//   is written, so that 5 ms pauses neither vanish nor corrupt the record. A pause that rounds
//   to 0 is sent as the shortest one, 10 ms.
// - Pauses too long for the largest unit (more than 65535 x 100 ms, about 109 minutes) are
//   sent as that maximum. Delays that are not numbers or are negative count as 0 ms.
// - The repeat count is clamped to 1-65535 (a missing or unreadable one counts as 1).
// - A list without actions encodes as the repeat count and the terminator.

var blockSize = 128;
// The editor stops adding events once the encoded length reaches this many bytes.
var growLimit = 126;

var maxRecordTicks = 126;

function parseEvent(e) {
    if (e === null || e === undefined)
        return null;
    var type;
    var info;
    if (typeof e === "object") {
        type = Number(e.type);
        info = (e.info === undefined || e.info === null) ? "" : String(e.info);
    } else {
        var text = String(e);
        var comma = text.indexOf(",");
        var head = comma < 0 ? text : text.substring(0, comma);
        type = head.trim() === "" ? NaN : Number(head);
        info = comma < 0 ? "" : text.substring(comma + 1);
    }
    if (!(type >= 0 && type <= 4) || Math.floor(type) !== type)
        return null;
    return { type: type, info: info };
}

function delayMs(info) {
    var ms = Number(info);
    return (isFinite(ms) && ms > 0) ? ms : 0;
}

function keyCode(name, strTokeycode) {
    var code = Number(strTokeycode(name));
    return isFinite(code) ? (code & 0xFF) : 0;
}

// Actions in playing order: { release, code, pauseMs } where pauseMs is the total delay
// between this action and the next one (unused for the last). Without a name lookup every
// action is kept (code -1), which is enough to measure lengths.
function collectActions(events, strTokeycode) {
    var lookup = typeof strTokeycode === "function";
    var actions = [];
    var pending = 0;
    if (!events)
        return actions;
    for (var i = 0; i < events.length; ++i) {
        var ev = parseEvent(events[i]);
        if (ev === null)
            continue;
        if (ev.type === 0) {
            if (actions.length > 0)
                pending += delayMs(ev.info);
            continue;
        }
        var code = lookup ? keyCode(ev.info, strTokeycode) : -1;
        if (code === 0)
            continue;
        if (actions.length > 0)
            actions[actions.length - 1].pauseMs = pending;
        pending = 0;
        actions.push({ release: ev.type === 2 || ev.type === 4, code: code, pauseMs: 0 });
    }
    return actions;
}

// Bytes of one record with the pause that follows it.
function recordBytes(action, pauseMs) {
    var flag = action.release ? 0x80 : 0;
    var ticks = Math.round(pauseMs / 10);
    if (ticks <= maxRecordTicks)
        return [flag | (ticks === 0 ? 1 : ticks), action.code];
    var unit;
    var count;
    if (ticks < 100000) {
        unit = 1;
        count = Math.floor(ticks / 2);
    } else if (ticks < 300000) {
        unit = 2;
        count = Math.floor(ticks / 5);
    } else {
        unit = 3;
        count = Math.min(Math.floor(ticks / 10), 0xFFFF);
    }
    return [flag, action.code, 0, unit, (count >> 8) & 0xFF, count & 0xFF];
}

// The last record of a block: shortest pause.
function finalRecord(action) {
    return [(action.release ? 0x80 : 0) | 1, action.code];
}

function repeatCount(repeat) {
    var r = Math.floor(Number(repeat));
    if (!isFinite(r) || r < 1)
        return 1;
    return Math.min(r, 0xFFFF);
}

// Length in bytes of the complete encoding of events, before any cut. Without strTokeycode
// every action counts (an upper bound when some names are unknown).
function encodedLength(events, strTokeycode) {
    var actions = collectActions(events, strTokeycode);
    var length = 2 + 2;
    for (var i = 0; i < actions.length; ++i)
        length += (i + 1 < actions.length) ? recordBytes(actions[i], actions[i].pauseMs).length : 2;
    return length;
}

// Codes left pressed after the first k actions, in the order they were pressed.
function heldAfter(actions, k) {
    var held = [];
    for (var i = 0; i < k; ++i) {
        var at = held.indexOf(actions[i].code);
        if (actions[i].release) {
            if (at >= 0)
                held.splice(at, 1);
        } else if (at < 0) {
            held.push(actions[i].code);
        }
    }
    return held;
}

// The block as a list of numbers (at most 128, ending with the terminator).
function encode(events, repeat, strTokeycode) {
    var r = repeatCount(repeat);
    var out = [(r >> 8) & 0xFF, r & 0xFF];
    var lookup = typeof strTokeycode === "function" ? strTokeycode : function () { return 0; };
    var actions = collectActions(events, lookup);

    var records = [];
    for (var i = 0; i + 1 < actions.length; ++i)
        records.push(recordBytes(actions[i], actions[i].pauseMs));

    // Bytes taken by records 0..k-2 (full pauses), the k-th action as a short record, the
    // releases of held keys and the terminator.
    var prefix = [0];
    for (i = 0; i < records.length; ++i)
        prefix.push(prefix[i] + records[i].length);
    var k = actions.length;
    var held = [];
    if (2 + (k > 0 ? prefix[k - 1] + 2 : 0) + 2 > blockSize) {
        for (; k > 0; --k) {
            held = heldAfter(actions, k);
            if (2 + prefix[k - 1] + 2 + 2 * held.length + 2 <= blockSize)
                break;
        }
        if (k === 0)
            held = [];
    }

    for (i = 0; i + 1 < k; ++i)
        out = out.concat(records[i]);
    if (k > 0)
        out = out.concat(finalRecord(actions[k - 1]));
    for (i = held.length - 1; i >= 0; --i)
        out = out.concat(finalRecord({ release: true, code: held[i] }));
    out.push(0, 0);
    return out;
}

// The block of a macro as loadMacroIni returns it: the events followed by the repeat count.
function encodeLoaded(loaded, strTokeycode) {
    if (!loaded || loaded.length === 0)
        return encode([], 1, strTokeycode);
    var events = [];
    for (var i = 0; i + 1 < loaded.length; ++i)
        events.push(loaded[i]);
    return encode(events, loaded[loaded.length - 1], strTokeycode);
}
