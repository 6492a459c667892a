.pragma library

// Key definitions as the key list and the key assignment dialog compose them:
// four bytes per button, keyCode0 selecting the function. The fixed choices
// of the dialog, the texts the list shows for a definition, and the rules of
// the auto-fire and key-combination inputs live here, so that the screens and
// their tests share one copy.

// Built-in English texts of the "keyAssigment" language group.
var defaultTexts = [
    "Key ", "Mouse Function", "Left Key", "Middle Key", "Right Key", "Forward Key",
    "Back Key", "Double Fire", "Fire Function", "Key Value", "Click Input", "Rate",
    "Times", "Endness", "Group Function", "Media Function", "Macro Function",
    "Macro Editor", "Macro runs one-time after pressing the button",
    "Macro runs endless loop until any button is pressed",
    "Macro runs endless loop until button is released", "DPI Function", "DPI+",
    "DPI-", "DPI LOOP", "Windows Function", "Shortcut Function", "Player", "Next",
    "Privous", "Stop", "Mute", "Play/Pause", "Volumn+", "Volumn-", "My PC", "Index",
    "Search", "Max", "Min", "Desktop", "Run", "New", "Cut", "Copy", "Paste", "Save",
    "Print", "Find", "Redo", "Undo", "Select All", "Gun Function", "One Gun",
    "Two Gun", "Three Gun", "Sniper Key", "Disable"
];

// Built-in English texts of the "keyMatrix" language group.
var defaultMatrixTexts = ["Key ", "Key Function"];

// Each fixed choice: the index of its label in the language group and the
// definition it gives.
var mouseFunctions = [
    { str: 2, codes: [0x00, 0x00, 0xF0, 0x00] },  // left
    { str: 3, codes: [0x00, 0x00, 0xF2, 0x00] },  // middle
    { str: 4, codes: [0x00, 0x00, 0xF1, 0x00] },  // right
    { str: 5, codes: [0x00, 0x00, 0xF4, 0x00] },  // forward
    { str: 6, codes: [0x00, 0x00, 0xF3, 0x00] },  // back
    { str: 7, codes: [0x00, 0xF0, 0x1E, 0x02] },  // double click
    { str: 57, codes: [0x00, 0x00, 0x00, 0x00] }  // disabled
];

var mediaFunctions = [
    { str: 27, codes: [0x03, 0x00, 0x83, 0x01] },
    { str: 28, codes: [0x03, 0x00, 0xB5, 0x00] },
    { str: 29, codes: [0x03, 0x00, 0xB6, 0x00] },
    { str: 30, codes: [0x03, 0x00, 0xB7, 0x00] },
    { str: 31, codes: [0x03, 0x00, 0xE2, 0x00] },
    { str: 32, codes: [0x03, 0x00, 0xCD, 0x00] },
    { str: 33, codes: [0x03, 0x00, 0xE9, 0x00] },
    { str: 34, codes: [0x03, 0x00, 0xEA, 0x00] }
];

var dpiFunctions = [
    { str: 22, codes: [0x05, 0x00, 0x01, 0x00] },
    { str: 23, codes: [0x05, 0x00, 0x02, 0x00] },
    { str: 24, codes: [0x05, 0x00, 0x03, 0x00] },
    { str: 56, codes: [0x05, 0x00, 0x04, 0x00] }
];

var windowsFunctions = [
    { str: 35, codes: [0x06, 0x00, 0x94, 0x01] },
    { str: 36, codes: [0x06, 0x00, 0x23, 0x02] },
    { str: 37, codes: [0x06, 0x00, 0x21, 0x02] },
    { str: 40, codes: [0x06, 0x00, 0xE3, 0x07] },
    { str: 41, codes: [0x06, 0x00, 0xE3, 0x15] }
];

var shortcutFunctions = [
    { str: 42, codes: [0x07, 0x00, 0xE0, 0x11] },
    { str: 43, codes: [0x07, 0x00, 0xE0, 0x1B] },
    { str: 44, codes: [0x07, 0x00, 0xE0, 0x06] },
    { str: 45, codes: [0x07, 0x00, 0xE0, 0x19] },
    { str: 46, codes: [0x07, 0x00, 0xE0, 0x16] },
    { str: 47, codes: [0x07, 0x00, 0xE0, 0x13] },
    { str: 48, codes: [0x07, 0x00, 0xE0, 0x09] },
    { str: 49, codes: [0x07, 0x00, 0xE0, 0x1C] },
    { str: 50, codes: [0x07, 0x00, 0xE0, 0x1D] }
];

// Weapon selection has no choice in the dialog; a stored one is named after
// its weapon slot.
var gunSlotTexts = [53, 54, 55];
var gunFunctionText = 52;

// The factory layout of the sixteen buttons, shown until the stored
// definitions are read.
var factoryLayout = [
    [0x00, 0x00, 0xF0, 0x00], [0x00, 0x00, 0xF1, 0x00], [0x00, 0x00, 0xF2, 0x00],
    [0x00, 0x00, 0xF4, 0x00], [0x00, 0x00, 0xF3, 0x00], [0x05, 0x00, 0x01, 0x00],
    [0x05, 0x00, 0x02, 0x00], [0x00, 0xF0, 0x1E, 0x02], [0, 0, 0, 0], [0, 0, 0, 0],
    [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0], [0, 0, 0, 0],
    [0xFF, 0x00, 0x01, 0x00], [0xFF, 0x00, 0x02, 0x00]
];

var buttonCount = 16;

function text(texts, index) {
    var t = texts && index < texts.length ? texts[index] : undefined
    return t === undefined || t === null ? "" : String(t)
}

function findPair(table, code2, code3) {
    for (var i = 0; i < table.length; ++i) {
        if (table[i].codes[2] === code2 && table[i].codes[3] === code3)
            return table[i];
    }
    return null;
}

// The text shown for a definition. `texts` is the "keyAssigment" language
// group, `keyName(code)` the key-name table's lookup and `macroName(slot)`
// the macro stored for a slot.
function keyCodeToString(code0, code1, code2, code3, texts, keyName, macroName) {
    code0 = Number(code0); code1 = Number(code1); code2 = Number(code2); code3 = Number(code3);
    var item;
    switch (code0) {
    case 0x00:
        switch (code2) {
        case 0xF0: return text(texts, 2);
        case 0xF2: return text(texts, 3);
        case 0xF1: return text(texts, 4);
        case 0xF4: return text(texts, 5);
        case 0xF3: return text(texts, 6);
        case 0x00: return text(texts, 57);
        default: return text(texts, 7);
        }
    case 0x01:
        return String(keyName(code1));
    case 0x02:
        return comboNames(code1, code2, code3, keyName).join("+");
    case 0x03:
        item = findPair(mediaFunctions, code2, code3);
        return item ? text(texts, item.str) : "";
    case 0x04:
        var name = macroName(code2);
        return name === undefined || name === null ? "" : String(name);
    case 0x05:
        return code2 >= 1 && code2 <= 4 ? text(texts, dpiFunctions[code2 - 1].str) : "";
    case 0x06:
        item = findPair(windowsFunctions, code2, code3);
        return item ? text(texts, item.str) : "";
    case 0x07:
        item = findPair(shortcutFunctions, code2, code3);
        return item ? text(texts, item.str) : "";
    case 0x08:
        return code2 >= 1 && code2 <= 3 ? text(texts, gunSlotTexts[code2 - 1]) : "";
    case 0x0B:
        return text(texts, gunFunctionText);
    default:
        return "";
    }
}

// Modifier names in bit order (LCtrl first), then the two keys if set.
function comboNames(modifiers, key1, key2, keyName) {
    var names = [];
    for (var b = 0; b < 8; ++b) {
        if (modifiers & (1 << b))
            names.push(String(keyName(0xE0 + b)));
    }
    if (key1 !== 0)
        names.push(String(keyName(key1)));
    if (key2 !== 0)
        names.push(String(keyName(key2)));
    return names;
}

// The dialog keeps the definition also as eight hexadecimal digits.
function toHex(codes) {
    var s = "";
    for (var i = 0; i < 4; ++i) {
        var h = (Number(codes[i]) & 0xFF).toString(16).toUpperCase();
        s += h.length < 2 ? "0" + h : h;
    }
    return s;
}

function fromHex(hex) {
    var codes = [];
    for (var i = 0; i < 4; ++i)
        codes.push(parseInt(String(hex).substr(2 * i, 2), 16) || 0);
    return codes;
}

function sameCodes(a, b) {
    for (var i = 0; i < 4; ++i) {
        if (Number(a[i]) !== Number(b[i]))
            return false;
    }
    return true;
}

// A stored definition as four numbers; a short entry reads as zeros in its
// missing places.
function normalise(list) {
    var codes = [0, 0, 0, 0];
    if (!list)
        return codes;
    for (var i = 0; i < 4 && i < list.length; ++i)
        codes[i] = Number(list[i]) || 0;
    return codes;
}

// A definition read from the store, or `fallback` when there is none. A
// missing entry must not turn into "disabled": saved like that, it would
// take the left button away from the mouse.
function storedDefinition(list, fallback) {
    if (!list || list.length === undefined || list.length === 0)
        return fallback.slice();
    return normalise(list);
}

// The sixteen definitions in button order as the 64 values of the key
// matrix. entryAt(i) gives button i's four codes.
function matrixValues(entryAt) {
    var values = [];
    for (var i = 0; i < buttonCount; ++i) {
        var codes = entryAt(i);
        for (var j = 0; j < 4; ++j)
            values.push(Number(codes[j]) || 0);
    }
    return values;
}

function isLeftButton(codes) {
    return Number(codes[0]) === 0x00 && Number(codes[2]) === 0xF0;
}

// True when the selected button is the only one acting as the left button:
// the mouse must keep one, so that button cannot be reassigned.
function checkOneLeftKey(count, entryAt, selected) {
    var found = -1;
    for (var i = 0; i < count; ++i) {
        if (isLeftButton(entryAt(i))) {
            if (found >= 0)
                return false;
            found = i;
        }
    }
    return found >= 0 && found === selected;
}

// Auto-fire. The rate slider reports its knob position p; its text becomes
// p + 1 followed by "MS", and the rate is the number in front of the last two
// characters ("10ms" before the first move).
var fireRateDefaultText = "10ms";

function fireRateText(pos) {
    return (Math.floor(pos) + 1) + "MS";
}

function fireRate(rateText) {
    var t = String(rateText);
    return parseInt(t.substring(0, t.length - 2), 10) || 0;
}

function fireDefinition(keyCode, rate, times) {
    return [0x01, Number(keyCode) & 0xFF, Number(rate) & 0xFF, Number(times) & 0xFF];
}

function isFire(codes) {
    return Number(codes[0]) === 0x01;
}

// Key combination input: modifiers set their bit, the first two other keys
// are taken in order, later keys are ignored.
function comboStart() {
    return { modifiers: 0, key1: 0, key2: 0, count: 0, names: [] };
}

function comboPress(state, code, name) {
    code = Number(code);
    var next = { modifiers: state.modifiers, key1: state.key1, key2: state.key2,
                 count: state.count, names: state.names.slice() };
    if (code >= 0xE0 && code <= 0xE7) {
        next.modifiers |= 1 << (code - 0xE0);
        next.names.push(String(name));
    } else if (next.count < 2) {
        if (next.count === 0)
            next.key1 = code;
        else
            next.key2 = code;
        next.count += 1;
        next.names.push(String(name));
    }
    return next;
}

function comboText(state) {
    return state.names.join(" + ");
}

function comboDefinition(state) {
    return [0x02, state.modifiers & 0xFF, state.key1 & 0xFF, state.key2 & 0xFF];
}

// Macro: run mode 0 once per press, 1 endless until any button is pressed,
// 2 endless until the button is released; the macro slot is the button.
function macroDefinition(mode, buttonIndex) {
    return [0x04, Number(mode) & 0xFF, Number(buttonIndex) & 0xFF, 0x00];
}

function isMacro(codes) {
    return Number(codes[0]) === 0x04;
}

// Which choice of the key dialog a definition is: { kind, index }, kind one
// of "mouse", "fire", "combo", "media", "macro", "dpi", "windows",
// "shortcut", or "" for a definition the dialog has no choice for; index is
// the entry in that section's table (-1 when the section has no such
// entry). Mouse functions follow the list texts: any unknown button code
// reads as Double Fire.
function choiceOf(codes) {
    var c = normalise(codes);
    var find = function (table) {
        for (var i = 0; i < table.length; ++i) {
            if (table[i].codes[2] === c[2] && table[i].codes[3] === c[3])
                return i;
        }
        return -1;
    };
    switch (c[0]) {
    case 0x00:
        for (var i = 0; i < mouseFunctions.length; ++i) {
            var m = mouseFunctions[i].codes;
            if (m[1] === 0 && m[2] === c[2])
                return { kind: "mouse", index: i };
        }
        return { kind: "mouse", index: 5 };
    case 0x01: return { kind: "fire", index: -1 };
    case 0x02: return { kind: "combo", index: -1 };
    case 0x03: return { kind: "media", index: find(mediaFunctions) };
    case 0x04: return { kind: "macro", index: c[1] <= 2 ? c[1] : -1 };
    case 0x05: return { kind: "dpi", index: c[2] >= 1 && c[2] <= 4 ? c[2] - 1 : -1 };
    case 0x06: return { kind: "windows", index: find(windowsFunctions) };
    case 0x07: return { kind: "shortcut", index: find(shortcutFunctions) };
    default: return { kind: "", index: -1 };
    }
}

// The rate slider's knob for a stored rate (its text reads knob + 1), kept
// within the slider's travel.
function fireRatePos(rate) {
    return Math.max(3, Math.min(79, Number(rate) - 1));
}
