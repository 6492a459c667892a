.pragma library

// Rules of the shell that carry arithmetic or conversions.

// Report-rate list index (125, 250, 500, 1000 Hz) to the interval code the
// mouse takes; anything but 0, 1 or 2 means 1000 Hz.
function reportRateCode(index) {
    switch (Number(index)) {
    case 0: return 8;
    case 1: return 4;
    case 2: return 2;
    default: return 1;
    }
}

// Lift-off slider position (3..89) shown in millimetres, cut to one decimal.
function lodText(value) {
    return (Math.floor((value - 3) * 2 / 86 * 10) / 10) + "mm";
}

// Keeps a dragged box inside the scene.
function clampPos(pos, size, sceneSize) {
    return Math.max(0, Math.min(sceneSize - size, pos));
}

// Global data arrives as INI text; a missing key is undefined, null or "".
function isMissing(value) {
    return value === undefined || value === null || value === "";
}

function toBool(value) {
    if (typeof value === "boolean")
        return value;
    if (typeof value === "number")
        return value !== 0;
    var text = String(value).toLowerCase();
    return text === "true" || text === "1";
}

// A language group replaces the built-in texts; a missing group (empty
// list) keeps them, and indexes the file does not reach keep their built-in
// text, so no label ever shows "undefined".
function mergeLang(defaults, loaded) {
    if (!loaded || loaded.length === 0)
        return defaults.slice();
    var result = [];
    var n = Math.max(defaults.length, loaded.length);
    for (var i = 0; i < n; ++i)
        result.push(i < loaded.length ? String(loaded[i]) : defaults[i]);
    return result;
}

// Buttons whose definition is a macro bound to the given name. entryAt(i)
// gives the key definition of button i (keyCode0..keyCode3), nameOfSlot(n)
// the macro name stored for macro slot n. Macro definitions have keyCode0
// 4 and carry their slot in keyCode2.
function macroButtons(count, entryAt, nameOfSlot, name) {
    var result = [];
    for (var i = 0; i < count; ++i) {
        var e = entryAt(i);
        if (Number(e.keyCode0) === 4 && String(nameOfSlot(Number(e.keyCode2))) === String(name))
            result.push(i);
    }
    return result;
}

// Centres a box of the given size in the scene.
function centred(sceneSize, size) {
    return (sceneSize - size) / 2;
}
