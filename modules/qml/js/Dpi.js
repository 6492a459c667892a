.pragma library

// The DPI screen's arithmetic: slider positions to DPI values and back, the
// stage count and the values read from a profile.

var maxStages = 8;
var minPos = 3;          // knob range of the 176 px stage slider
var maxPos = 161;
var span = maxPos - minPos;

// Scene defaults for missing global keys.
var defaultMinDpi = 200;
var defaultMaxDpi = 6000;
var defaultDpiBase = 50;
var defaultSensor = "3360";

function intOr(value, fallback) {
    var n = parseInt(value, 10);
    return isNaN(n) ? fallback : n;
}

// The global DPI range; missing or unusable keys take the scene defaults,
// and a range that is empty or upside down is replaced as a whole.
function range(minDpi, maxDpi, dpiBase, sensorType) {
    var r = {
        minDPI: intOr(minDpi, defaultMinDpi),
        maxDPI: intOr(maxDpi, defaultMaxDpi),
        dpiBase: intOr(dpiBase, defaultDpiBase),
        sensorType: (sensorType === undefined || sensorType === null || String(sensorType) === "")
                    ? defaultSensor : String(sensorType)
    };
    if (r.minDPI <= 0 || r.maxDPI <= r.minDPI) {
        r.minDPI = defaultMinDpi;
        r.maxDPI = defaultMaxDpi;
    }
    if (r.dpiBase <= 0)
        r.dpiBase = defaultDpiBase;
    return r;
}

// Slider position p (3..161) to a DPI value, rounded down to the base step.
function toDpi(p, r) {
    var pos = Math.max(minPos, Math.min(maxPos, p));
    var raw = (pos - minPos) * (r.maxDPI - r.minDPI) / span + r.minDPI;
    return Math.floor(raw / r.dpiBase) * r.dpiBase;
}

// The smallest knob position that shows the value: the knob of a stored
// value sits where dragging it would produce that value again.
function toPos(value, r) {
    var v = Math.max(r.minDPI, Math.min(r.maxDPI, intOr(value, r.minDPI)));
    var p = minPos + (v - r.minDPI) * span / (r.maxDPI - r.minDPI);
    p = Math.max(minPos, Math.min(maxPos, p));
    // Floating-point error may land a hair below the value's step.
    while (p < maxPos && toDpi(p, r) < Math.floor(v / r.dpiBase) * r.dpiBase)
        p = Math.min(maxPos, p + 0.01);
    return p;
}

// The profile's stage limit (mouse/dpiCount) kept within 1..8; 8 when the
// profile has none.
function stageLimit(dpiCount) {
    var n = intOr(dpiCount, maxStages);
    return Math.max(1, Math.min(maxStages, n));
}

// The drop-down's items: "1" up to the limit.
function stageItems(limit) {
    var items = [];
    for (var i = 1; i <= stageLimit(limit); ++i)
        items.push(String(i));
    return items;
}

// The number of enabled stages (mouse/currentDpiCount) within 1..limit.
function stageCount(value, limit) {
    var n = intOr(value, stageLimit(limit));
    return Math.max(1, Math.min(stageLimit(limit), n));
}

// Eight stage values from the stored list; missing or unreadable entries
// become the lowest value of the range.
function stageValues(list, r) {
    var values = [];
    for (var i = 0; i < maxStages; ++i) {
        var v = list && i < list.length ? intOr(list[i], r.minDPI) : r.minDPI;
        values.push(v);
    }
    return values;
}

// The active stage shown for what the mouse reports (1-based), kept inside
// the enabled stages.
function activeStage(reported, count) {
    var n = intOr(reported, 1) - 1;
    return Math.max(0, Math.min(count - 1, n));
}
