.pragma library

// Rules of the lighting screen: the effect list, which controls each effect
// shows, the hue bar's colour at a marker position and its inverse, and the
// bytes that are stored and sent.

// Built-in English texts of the "lightControl" language group.
var defaultTexts = [
    "Light", "Static", "Breath", "Neon", "OFF", "Speed", "Color", "Brightness",
    "Twinkling", "Wave", "Gliding", "Finger Moving", "Vertical Flipping", "YO-YO",
    "Spotlight", "Breath Loop"
];

var defaultColors = ["#ff0000", "#00ff00", "#0000ff", "#ff00ff",
                     "#00ffff", "#ff7f00", "#6000ff", "#ffffff"];

var blockCount = 8;

// The hue bar is 185 px wide; the marker is 18 px wide and its centre, one
// pixel in from the bar's left edge, is the position p (0 .. 183).
var barWidth = 185;
var markerWidth = 18;
var markerHalf = 9;
var minMarkerX = -8;                 // p = 0
var maxMarkerX = barWidth - 10;      // p = 183
var segmentWidth = Math.floor((barWidth - 2) / 6);  // 30
var inverseSegment = (barWidth - 2) / 6;            // 30.5

// Language-string indexes of the effect list: four effects on every device,
// seven more on a colourful one, "Breath Loop" last on a 55328 one.
function effectStrings(isColorful, is55328) {
    var list = [1, 2, 3, 4];
    if (isColorful)
        list.push(8, 9, 10, 11, 12, 13, 14);
    if (is55328)
        list.push(15);
    return list;
}

// [speed shown, brightness shown] for an effect. Re-reading the stored
// effect (chosen = false) hides the speed slider of effect 7; choosing
// effect 7 in the list shows both.
function sliderVisibility(effect, is55328, chosen) {
    switch (Number(effect)) {
    case 0: return [false, false];
    case 1:
    case 2: return [true, true];
    case 3: return [true, false];
    case 4: return is55328 ? [true, false] : [false, true];
    case 5: return [false, true];
    case 6: return [true, true];
    case 7: return chosen ? [true, true] : [false, true];
    default: return [true, true];
    }
}

function panelHeight(speedShown, brightnessShown) {
    var shown = (speedShown ? 1 : 0) + (brightnessShown ? 1 : 0);
    return shown === 2 ? 264 : (shown === 1 ? 224 : 176);
}

// Steps a newly chosen effect starts with: both at 4, except "Breath Loop"
// on a 55328 device, whose speed starts at 0 and whose brightness stays.
// A null entry keeps the current step.
function chosenSteps(effect, is55328) {
    if (is55328 && Number(effect) === 4)
        return [0, null];
    return [4, 4];
}

function stepText(step) {
    return (Number(step) * 25) + "%";
}

// Colour block k (0 .. 7): the first needs a DPI stage or a colourful
// device; the next five follow "Breath Loop" on a 55328 device, and
// otherwise the stage count or a colourful device; the last two are never
// offered.
function blockVisible(k, stageCount, isColorful, is55328, effect) {
    if (k === 0)
        return stageCount > 0 || isColorful;
    if (k >= 1 && k <= 5) {
        if (is55328)
            return Number(effect) === 4;
        return stageCount > k || isColorful;
    }
    return false;
}

// The row of colour blocks. "Breath Loop" on a 55328 device runs through
// the stage colours, so its blocks 2 to 6 need the row as well.
function rowVisible(effect, is55328) {
    var e = Number(effect);
    return e === 3 || e === 5 || e === 9 || e === 10 || (is55328 === true && e === 4);
}

// The colour area takes input only for these effects; otherwise a dark mask
// swallows every press.
function colorAreaActive(effect) {
    var e = Number(effect);
    return e === 3 || e === 4 || e === 5 || e === 9 || e === 10;
}

function hex2(v) {
    var h = (Math.max(0, Math.min(255, Math.floor(Number(v) || 0)))).toString(16);
    return h.length < 2 ? "0" + h : h;
}

function colorText(r, g, b) {
    return "#" + hex2(r) + hex2(g) + hex2(b);
}

// [r, g, b] of "#rrggbb" (a colour value's toString() gives that form).
function rgbOf(color) {
    var t = String(color);
    if (t.charAt(0) === "#")
        t = t.substring(1);
    if (t.length === 8)            // #aarrggbb
        t = t.substring(2);
    return [parseInt(t.substr(0, 2), 16) || 0,
            parseInt(t.substr(2, 2), 16) || 0,
            parseInt(t.substr(4, 2), 16) || 0];
}

// Colour of the hue bar at position p.
function hueColor(p) {
    var s = segmentWidth;
    var k = Math.floor(p / s);
    var f = Math.floor((p - k * s) * 255 / s);
    switch (k) {
    case 0: return colorText(255, f, 0);
    case 1: return colorText(255 - f, 255, 0);
    case 2: return colorText(0, 255, f);
    case 3: return colorText(0, 255 - f, 255);
    case 4: return colorText(f, 0, 255);
    case 5: return colorText(255, 0, 255 - f);
    default: return p > 182 ? "#ffffff" : "#ff0000";
    }
}

function positionOfMarker(markerX) {
    return markerX + markerHalf - 1;
}

function clampMarkerX(x) {
    return Math.max(minMarkerX, Math.min(maxMarkerX, x));
}

// Where the marker's left edge goes, relative to the bar's left edge, for a
// colour. Colours off the hue bar's edge (greys and mixed colours) stay at
// the left end; white goes to the right end.
function sliderMarkerX(r, g, b) {
    if (r === 255 && g === 255 && b === 255)
        return 183 + 1 - markerHalf;
    var d = inverseSegment;
    var v = d / 256;
    var x;
    if (r === 255 && b === 0)
        x = v * g;
    else if (r === 0 && b === 255)
        x = 3 * d + v * (255 - g);
    else if (g === 255 && b === 0)
        x = d + v * (255 - r);
    else if (g === 0 && b === 255)
        x = 4 * d + v * r;
    else if (r === 0 && g === 255)
        x = 2 * d + v * b;
    else if (r === 255 && g === 0)
        x = 5 * d + v * (255 - b);
    else
        x = 0;
    return Math.floor(x) + 1 - markerHalf;
}

// The 24 colour bytes of blocks 1 to 8. A 55328 device uses colour 8 only
// for "Breath Loop"; for every other effect it is stored and sent as black.
// A black colour 8 makes the 55328 firmware run on colour 1 alone, so
// "Breath Loop" never sends it black: colour 8 (which no block offers)
// then takes its default, and the stage colours 1 to 6 reach the mouse
// even after a save with another effect stored it black.
function colorBytes(colors, effect, is55328) {
    var bytes = [];
    for (var i = 0; i < blockCount; ++i) {
        var rgb = i < colors.length ? rgbOf(colors[i]) : [0, 0, 0];
        bytes.push(rgb[0], rgb[1], rgb[2]);
    }
    if (is55328 && Number(effect) !== 4) {
        bytes[21] = 0; bytes[22] = 0; bytes[23] = 0;
    } else if (is55328 && bytes[21] === 0 && bytes[22] === 0 && bytes[23] === 0) {
        var last = rgbOf(defaultColors[blockCount - 1]);
        bytes[21] = last[0]; bytes[22] = last[1]; bytes[23] = last[2];
    }
    return bytes;
}

// The stored [effect, speed step, brightness step] (mouse/lightValue) as the
// screen shows them, or null (the screen keeps what it shows) when the list
// is short or its effect is no number from 0 to effectCount - 1 (the screen
// passes the count of the longest effect list). Steps that are no number
// read as 4, the others are kept within 0..4.
function storedLight(list, effectCount) {
    if (!list || list.length < 3)
        return null;
    var effect = parseInt(list[0], 10);
    if (isNaN(effect) || effect < 0 || effect >= effectCount)
        return null;
    var step = function (v) {
        var n = parseInt(v, 10);
        return isNaN(n) ? 4 : Math.max(0, Math.min(4, n));
    };
    return [effect, step(list[1]), step(list[2])];
}

// Block colours from the stored 24 values; missing values read as 0.
function colorsOf(bytes) {
    var colors = [];
    for (var i = 0; i < blockCount; ++i) {
        var at = function (j) { return bytes && j < bytes.length ? Number(bytes[j]) : 0; };
        colors.push(colorText(at(3 * i), at(3 * i + 1), at(3 * i + 2)));
    }
    return colors;
}

// The device calls of a save, in order. isStep 0 sends everything, 1 the
// effect, 2 the colours. Each call is ["color", type] or ["effect"].
function sendPlan(isStep, isColorful) {
    var plan = [];
    if (isStep === 0 || isStep === 1)
        plan.push(["color", 0], ["effect"]);
    if (isStep === 0 || isStep === 2) {
        if (isColorful)
            plan.push(["color", 0], ["effect"]);
        else
            plan.push(["color", 1]);
    }
    return plan;
}
