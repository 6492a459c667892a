import QtQuick
import QtTest
import "../../modules/qml/js/KeyDefine.js" as KeyDefine

// Key definitions: the texts the key list shows and the input rules of the
// key assignment dialog, on the shared library the scene uses.
TestCase {
    name: "KeyDefine"

    readonly property var texts: KeyDefine.defaultTexts

    function keyName(code) {
        var names = { 0x04: "A", 0x05: "B", 0x06: "C", 0x1E: "1",
                      0xE0: "LCtrl", 0xE1: "LShift", 0xE2: "LAlt", 0xE3: "LWin",
                      0xE4: "RCtrl", 0xE7: "RWin" }
        return names[code] === undefined ? "" : names[code]
    }

    function macroName(slot) {
        return slot === 2 ? "reload" : ""
    }

    function text(codes) {
        return KeyDefine.keyCodeToString(codes[0], codes[1], codes[2], codes[3],
                                         texts, keyName, macroName)
    }

    function test_displayText_data() {
        return [
            { tag: "left", codes: [0, 0, 0xF0, 0], want: "Left Key" },
            { tag: "middle", codes: [0, 0, 0xF2, 0], want: "Middle Key" },
            { tag: "right", codes: [0, 0, 0xF1, 0], want: "Right Key" },
            { tag: "forward", codes: [0, 0, 0xF4, 0], want: "Forward Key" },
            { tag: "back", codes: [0, 0, 0xF3, 0], want: "Back Key" },
            { tag: "disabled", codes: [0, 0, 0, 0], want: "Disable" },
            { tag: "double click", codes: [0, 0xF0, 0x1E, 2], want: "Double Fire" },
            { tag: "fire", codes: [1, 0x04, 10, 0], want: "A" },
            { tag: "combo in bit order", codes: [2, 0x83, 0x04, 0x05], want: "LCtrl+LShift+RWin+A+B" },
            { tag: "combo modifiers only", codes: [2, 0x10, 0, 0], want: "RCtrl" },
            { tag: "media", codes: [3, 0, 0xE9, 0], want: "Volumn+" },
            { tag: "media unknown", codes: [3, 0, 0xE9, 1], want: "" },
            { tag: "macro", codes: [4, 1, 2, 0], want: "reload" },
            { tag: "dpi loop", codes: [5, 0, 3, 0], want: "DPI LOOP" },
            { tag: "sniper", codes: [5, 0, 4, 0], want: "Sniper Key" },
            { tag: "dpi out of range", codes: [5, 0, 5, 0], want: "" },
            { tag: "windows desktop", codes: [6, 0, 0xE3, 0x07], want: "Desktop" },
            { tag: "windows run", codes: [6, 0, 0xE3, 0x15], want: "Run" },
            { tag: "shortcut undo", codes: [7, 0, 0xE0, 0x1D], want: "Undo" },
            { tag: "weapon slot 2", codes: [8, 0, 2, 0], want: "Two Gun" },
            { tag: "gun fire", codes: [0x0B, 0xFF, 4, 5], want: "Gun Function" },
            { tag: "empty slot", codes: [0xFF, 0, 1, 0], want: "" },
            { tag: "texts as strings", codes: ["5", "0", "1", "0"], want: "DPI+" }
        ]
    }

    function test_displayText(data) {
        compare(text(data.codes), data.want)
    }

    function test_hexRoundTrip() {
        compare(KeyDefine.toHex([0x00, 0xF0, 0x1E, 0x02]), "00F01E02")
        compare(KeyDefine.fromHex("0600E315"), [6, 0, 0xE3, 0x15])
        compare(KeyDefine.fromHex(KeyDefine.toHex([0xFF, 1, 0x10, 0xAB])), [0xFF, 1, 0x10, 0xAB])
    }

    function press(codes) {
        var state = KeyDefine.comboStart()
        for (var i = 0; i < codes.length; ++i)
            state = KeyDefine.comboPress(state, codes[i], keyName(codes[i]))
        return state
    }

    function test_combo_data() {
        return [
            { tag: "LCtrl LShift A", keys: [0xE0, 0xE1, 0x04], codes: [2, 3, 4, 0],
              box: "LCtrl + LShift + A", list: "LCtrl+LShift+A" },
            { tag: "third key ignored", keys: [0x04, 0x05, 0x06], codes: [2, 0, 4, 5],
              box: "A + B", list: "A+B" },
            { tag: "modifier after keys", keys: [0x04, 0x05, 0x06, 0xE2], codes: [2, 4, 4, 5],
              box: "A + B + LAlt", list: "LAlt+A+B" },
            { tag: "modifiers only", keys: [0xE3, 0xE7], codes: [2, 0x88, 0, 0],
              box: "LWin + RWin", list: "LWin+RWin" }
        ]
    }

    function test_combo(data) {
        var state = press(data.keys)
        compare(KeyDefine.comboDefinition(state), data.codes)
        compare(KeyDefine.comboText(state), data.box)
        compare(text(KeyDefine.comboDefinition(state)), data.list)
    }

    function entries(list) {
        return function (i) { return list[i] }
    }

    function test_lastLeftButton_data() {
        var left = [0, 0, 0xF0, 0], right = [0, 0, 0xF1, 0], other = [0, 5, 0xF0, 9]
        return [
            { tag: "only left, selected", list: [left, right], selected: 0, want: true },
            { tag: "only left, other selected", list: [left, right], selected: 1, want: false },
            { tag: "two lefts", list: [left, right, left], selected: 0, want: false },
            { tag: "left with other bytes counts", list: [right, other], selected: 1, want: true },
            { tag: "no left at all", list: [right, right], selected: 0, want: false },
            { tag: "fire on F0 is not left", list: [[1, 0xF0, 0xF0, 0], left], selected: 1, want: true }
        ]
    }

    function test_lastLeftButton(data) {
        compare(KeyDefine.checkOneLeftKey(data.list.length, entries(data.list), data.selected), data.want)
    }

    function test_matrixAndStoredDefinitions() {
        var values = KeyDefine.matrixValues(function (i) { return KeyDefine.factoryLayout[i] })
        compare(values.length, 64)
        compare(values.slice(28, 32), [0, 0xF0, 0x1E, 2])
        compare(values.slice(60, 64), [0xFF, 0, 2, 0])
        compare(KeyDefine.normalise(["4", 1]), [4, 1, 0, 0])
        compare(KeyDefine.normalise(undefined), [0, 0, 0, 0])
        // Nothing stored keeps the fallback rather than disabling the button.
        compare(KeyDefine.storedDefinition([], [0, 0, 0xF0, 0]), [0, 0, 0xF0, 0])
        compare(KeyDefine.storedDefinition(undefined, [5, 0, 1, 0]), [5, 0, 1, 0])
        compare(KeyDefine.storedDefinition(["0", "0", "0", "0"], [5, 0, 1, 0]), [0, 0, 0, 0])
    }
}
