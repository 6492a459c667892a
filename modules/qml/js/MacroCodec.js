.pragma library
.import "NameList.js" as NameList

// Macros in the scene: the step texts of the macro files, the byte stream
// the mouse plays, the length estimate that keeps a macro inside one
// 128-byte payload, recording and the editing rules of the macro editor.
//
// A step is { type, info }: type 0 delay (info = milliseconds), 1 key press,
// 2 key release, 3 mouse-button press, 4 mouse-button release (info = the
// key name of the scene's key-name table).

var DELAY = 0;
var KEY_DOWN = 1;
var KEY_UP = 2;
var MOUSE_DOWN = 3;
var MOUSE_UP = 4;

var maxMacros = 100;
var lengthLimit = 126;      // a step is added only while the estimate is below this
var payloadSize = 128;      // the stream never grows past one payload
var insertedDelayMs = 50;
var maxRepeat = 65535;

// Mouse buttons have codes 0xF0 and above.
var firstMouseCode = 0xF0;

// The stream counts delays in 10 ms units; a long delay is carried in
// 20, 50 or 100 ms units with a 16-bit count, so 599999 units (about
// 100 minutes) is the longest delay the stream can hold.
var longDelayUnits = 127;
var maxDelayUnits = 599999;

function isAction(step) {
    return step.type !== DELAY;
}

function isRelease(type) {
    return type === KEY_UP || type === MOUSE_UP;
}

function delayMs(step) {
    var ms = parseInt(step.info, 10);
    return isNaN(ms) || ms < 0 ? 0 : ms;
}

// --- Step texts (macro files) ----------------------------------------------

// "type,info": what saveMacroIni stores for one step.
function stepText(step) {
    return String(step.type) + "," + String(step.info);
}

function stepTexts(steps) {
    var list = [];
    for (var i = 0; i < steps.length; ++i)
        list.push(stepText(steps[i]));
    return list;
}

// loadMacroIni gives the step texts followed by the repeat count. A step's
// type is its first character, its information the text from the third
// character on. A missing file (empty list) gives no steps and the count 1.
function parseMacroIni(list) {
    var steps = [];
    var repeat = 1;
    if (!list || list.length === 0)
        return { steps: steps, repeat: repeat };
    for (var i = 0; i < list.length - 1; ++i) {
        var text = String(list[i]);
        var type = parseInt(text.charAt(0), 10);
        if (isNaN(type) || type < DELAY || type > MOUSE_UP)
            continue;
        steps.push({ type: type, info: text.substring(2) });
    }
    repeat = clampRepeat(list[list.length - 1]);
    return { steps: steps, repeat: repeat };
}

function clampRepeat(value) {
    var n = parseInt(value, 10);
    if (isNaN(n) || n < 1)
        return 1;
    return Math.min(n, maxRepeat);
}

// --- Encoding ----------------------------------------------------------------

// Milliseconds to the stream's 10 ms units, rounded to the nearest unit and
// kept within what the long form can carry.
function delayUnits(ms) {
    return Math.min(Math.round(ms / 10), maxDelayUnits);
}

function firstActionIndex(steps) {
    for (var i = 0; i < steps.length; ++i) {
        if (isAction(steps[i]))
            return i;
    }
    return -1;
}

// The byte stream of a macro: repeat count (high, low), one pair
// (flags-and-delay, key code) per action, 0x00 0x00 at the end. codeOf
// maps a key name to its code (0 for an unknown name).
function encode(steps, repeat, codeOf) {
    var count = clampRepeat(repeat);
    var out = [(count >> 8) & 0xFF, count & 0xFF];
    var first = firstActionIndex(steps);
    if (first < 0 || first === steps.length - 1)
        return out;

    var p = 2;
    out[p + 1] = codeOf(steps[first].info) & 0xFF;
    var lastType = steps[first].type;
    var ms = 0;
    for (var i = first + 1; i < steps.length; ++i) {
        var step = steps[i];
        if (!isAction(step)) {
            ms += delayMs(step);
            continue;
        }
        var t = delayUnits(ms);
        var release = isRelease(lastType) ? 0x80 : 0;
        if (t < longDelayUnits) {
            out[p] = (t === 0 ? 1 : t) | release;
            p += 2;
        } else {
            out[p] = release;
            p += 2;
            if (t < 100000) {
                out[p] = 0; out[p + 1] = 1; t = Math.floor(t / 2);
            } else if (t < 300000) {
                out[p] = 0; out[p + 1] = 2; t = Math.floor(t / 5);
            } else {
                out[p] = 0; out[p + 1] = 3; t = Math.floor(t / 10);
            }
            p += 2;
            out[p] = Math.floor(t / 256) & 0xFF;
            out[p + 1] = t % 256;
            p += 2;
        }
        ms = 0;
        out[p + 1] = codeOf(step.info) & 0xFF;
        lastType = step.type;
    }
    out[p] = 1 | (isRelease(lastType) ? 0x80 : 0);
    p += 2;
    out[p] = 0;
    out[p + 1] = 0;
    return out;
}

// The length the editor checks before each addition: 2 for the count,
// 2 per action after the first (6 when the delays before it reach the long
// form), 4 for the first action and the end mark; 2 when there is at most
// one action.
function encodedLength(steps) {
    var first = firstActionIndex(steps);
    if (first < 0)
        return 2;
    var length = 2;
    var actions = 0;
    var ms = 0;
    for (var i = first + 1; i < steps.length; ++i) {
        if (!isAction(steps[i])) {
            ms += delayMs(steps[i]);
            continue;
        }
        length += delayUnits(ms) >= longDelayUnits ? 6 : 2;
        ms = 0;
        ++actions;
    }
    return actions === 0 ? 2 : length + 4;
}

function belowLimit(steps) {
    return encodedLength(steps) < lengthLimit;
}

// The stream of the steps fits one payload.
function fitsPayload(steps) {
    return encode(steps, 1, function () { return 0; }).length <= payloadSize;
}

// An addition is taken when the macro is below the limit before it and its
// stream still fits one payload after it (a long delay in front of the new
// action adds six bytes at once, which could otherwise push the end mark out).
function accepts(before, after) {
    return belowLimit(before) && fitsPayload(after);
}

// --- Editing -----------------------------------------------------------------

// Where a press/release pair goes: at the end when nothing or the last step
// is selected, otherwise at the selected step's place.
function pairPosition(count, selected) {
    if (selected < 0 || selected >= count - 1)
        return count;
    return selected;
}

function pressType(code) {
    return code >= firstMouseCode ? MOUSE_DOWN : KEY_DOWN;
}

function releaseType(code) {
    return code >= firstMouseCode ? MOUSE_UP : KEY_UP;
}

// The pair of steps for one click of a key or button, or null when the
// length limit refuses it.
function insertPair(steps, selected, code, name) {
    var at = pairPosition(steps.length, selected);
    var result = steps.slice();
    result.splice(at, 0, { type: pressType(code), info: name }, { type: releaseType(code), info: name });
    return accepts(steps, result) ? { steps: result, index: at } : null;
}

// A 50 ms delay in front of the selected step (at the end when nothing is
// selected), or null when the length limit refuses it.
function insertDelay(steps, selected) {
    var at = selected < 0 || selected >= steps.length ? steps.length : selected;
    var result = steps.slice();
    result.splice(at, 0, { type: DELAY, info: String(insertedDelayMs) });
    return accepts(steps, result) ? { steps: result, index: at } : null;
}

// One key event while recording: a delay of the ticks counted since the
// previous event (when the list is not empty and delays are recorded), then
// the press or release. Returns the new steps, or null when the event is
// not taken (limit reached, or a code without a name).
function recordEvent(steps, isDown, code, name, ticks, recordDelay) {
    if (name === undefined || name === null || name === "")
        return null;
    var added = [];
    if (steps.length > 0 && recordDelay)
        added.push({ type: DELAY, info: String(ticks * 10) });
    added.push({ type: isDown ? pressType(code) : releaseType(code), info: name });
    var result = steps.concat(added);
    return accepts(steps, result) ? result : null;
}

// --- Names -------------------------------------------------------------------

// "Macro_" + the lowest k from 0 to 99 that no macro uses, or "" when all
// are taken.
function defaultName(names) {
    for (var k = 0; k < maxMacros; ++k) {
        var name = "Macro_" + k;
        if (names.indexOf(name) < 0)
            return name;
    }
    return "";
}

// A macro name is a file name stem under the macro folder: it must be
// non-empty, unique, free of path and reserved characters, and not the
// name file's filler.
function validName(names, name, exceptIndex) {
    var text = String(name);
    if (text.length === 0 || text.length > 32 || text !== text.trim())
        return false;
    if (text === "." || text === ".." || text === NameList.filler)
        return false;
    if (/[\/\\:*?"<>|,\x00-\x1f]/.test(text))
        return false;
    for (var i = 0; i < names.length; ++i) {
        if (i !== exceptIndex && names[i] === text)
            return false;
    }
    return true;
}

// A new length for a delay step; refused when the stream would no longer
// fit one payload.
function setDelay(steps, index, ms) {
    if (index < 0 || index >= steps.length || steps[index].type !== DELAY)
        return null;
    var value = parseInt(ms, 10);
    if (isNaN(value) || value < 0)
        return null;
    var result = steps.slice();
    result[index] = { type: DELAY, info: String(value) };
    return fitsPayload(result) ? result : null;
}
