.pragma library

// The gun editor's data: six built-in entries, the three weapon slots and
// the knob conversions of its drop-down sliders.

var entryCount = 6;
var slotCount = 3;
var defaultKey = "L-Click";
var defaultPeriod = 10;
var defaultX = 0;
var defaultY = 10;
var maxAxis = 64;
// A 120 px drop-down slider's knob runs over 3..89, a 110 px one over 3..79.
var axisMin = 3;
var axisMax = 89;
var periodMin = 3;
var periodMax = 79;
var resetY = [5, 7, 8];
var resetPeriod = 9;

function intOr(value, fallback) {
    var n = parseInt(value, 10);
    return isNaN(n) ? fallback : n;
}

// One entry from its stored list (name, trigger key, period, X, Y, shot
// count); missing parts take the built-in values.
function entry(list, position) {
    var l = list || [];
    function at(i) { return i < l.length ? l[i] : undefined; }
    var name = at(0);
    var key = at(1);
    return {
        name: name === undefined || String(name) === "" ? "Gun" + (position + 1) : String(name),
        key: key === undefined || String(key) === "" ? defaultKey : String(key),
        period: Math.max(1, Math.min(255, intOr(at(2), defaultPeriod))),
        x: Math.max(0, Math.min(maxAxis, intOr(at(3), defaultX))),
        y: Math.max(0, Math.min(maxAxis, intOr(at(4), defaultY))),
        count: Math.max(0, Math.min(255, intOr(at(5), 0)))
    };
}

// What mouseSaveGundata stores for an entry.
function saveList(e) {
    return [e.name, e.key, e.period, e.x, e.y, e.count];
}

// What modifyGundata type 1 takes for a rename.
function renameList(e, oldName) {
    return [e.name, e.key, e.period, e.x, e.y, e.count, oldName];
}

// What mouseSendGundata takes for a slot.
function sendList(e) {
    return [e.count, e.x, e.y];
}

// The entries bound to the three weapon slots; anything unusable takes the
// reset choice 0, 1, 2.
function selectedGuns(list) {
    var result = [];
    for (var s = 0; s < slotCount; ++s) {
        var n = list && s < list.length ? intOr(list[s], s) : s;
        result.push(n >= 0 && n < entryCount ? n : s);
    }
    return result;
}

function axisValue(pos) {
    var p = Math.max(axisMin, Math.min(axisMax, pos));
    return Math.round((p - axisMin) * maxAxis / (axisMax - axisMin));
}

function axisPos(value) {
    return axisMin + Math.max(0, Math.min(maxAxis, value)) * (axisMax - axisMin) / maxAxis;
}

// The rate slider shows its knob position plus one, in ms.
function periodValue(pos) {
    return Math.max(periodMin, Math.min(periodMax, Math.floor(pos))) + 1;
}

function periodPos(value) {
    return Math.max(periodMin, Math.min(periodMax, value - 1));
}
