import QtQuick
import QtTest
import "../../modules/qml/js/ProfileNames.js" as Names

// The profile page's name list: stored texts, entry 0, new entries, delete and rename.
TestCase {
    name: "ProfileNames"

    function entries(texts) {
        return Names.parse(texts)
    }

    function test_parse_data() {
        return [
            { tag: "one entry with filler", list: ["Standard0", "nodelistpadx"], texts: ["Standard0"] },
            { tag: "number is the last digit", list: ["Standard0", "profile_13"],
              names: ["Standard", "profile_1"], numbers: [0, 3] },
            { tag: "empty file", list: [], texts: [] },
            { tag: "a repeated slot is dropped", list: ["Standard0", "a1", "b1"], texts: ["Standard0", "a1"] },
            { tag: "slots beyond the page are dropped", list: ["Standard0", "far9", "x"], texts: ["Standard0"] },
        ]
    }

    function test_parse(data) {
        var e = Names.parse(data.list)
        if (data.texts !== undefined)
            compare(Names.texts(e), data.texts)
        if (data.names !== undefined) {
            compare(Names.names(e), data.names)
            compare(e.map(function (x) { return x.number }), data.numbers)
        }
    }

    function test_entry_zero_takes_the_standard_name() {
        compare(Names.texts(Names.withStandard(entries(["Default0", "mine2"]), "Standard")),
                ["Standard0", "mine2"])
        compare(Names.texts(Names.withStandard([], "Standard")), ["Standard0"])
        // Entry 0 is slot 0, also when the file gives it another number.
        compare(Names.texts(Names.withStandard(entries(["Profile1", "nodelistpadx"]), "Standard")), ["Standard0"])
        compare(Names.texts(Names.withStandard(entries(["x3", "y0", "z2"]), "Standard")), ["Standard0", "z2"])
    }

    function test_new_entry_data() {
        return [
            { tag: "second profile", list: ["Standard0"], text: "profile_01" },
            { tag: "lowest free number and name", list: ["Standard0", "profile_02", "x1"], text: "profile_13" },
            { tag: "a gap after a delete", list: ["Standard0", "profile_22", "profile_33"], text: "profile_01" },
            { tag: "full page", list: ["Standard0", "a1", "b2", "c3", "d4", "e5"], text: "" },
        ]
    }

    function test_new_entry(data) {
        var e = Names.newEntry(Names.withStandard(entries(data.list), "Standard"))
        compare(e === null ? "" : e.name + e.number, data.text)
    }

    function test_can_delete_data() {
        return [
            { tag: "entry 0", position: 0, active: 2, ok: false },
            { tag: "the active profile", position: 1, active: 2, ok: false },
            { tag: "another entry", position: 2, active: 2, ok: true },
            { tag: "outside the list", position: 3, active: 0, ok: false },
        ]
    }

    function test_can_delete(data) {
        // position 1 holds slot 2, position 2 slot 1
        compare(Names.canDelete(entries(["Standard0", "a2", "b1"]), data.position, data.active), data.ok)
    }

    function test_can_rename_data() {
        return [
            { tag: "new name", position: 1, name: "Game", ok: true },
            { tag: "duplicate", position: 1, name: "b", ok: false },
            { tag: "own name", position: 1, name: "a", ok: false },
            { tag: "standard name taken", position: 2, name: "Standard", ok: false },
            { tag: "entry 0 is protected", position: 0, name: "Mine", ok: false },
            { tag: "empty", position: 1, name: "", ok: false },
            { tag: "comma", position: 1, name: "a,b", ok: false },
            { tag: "longer than 16", position: 1, name: "abcdefghijklmnopq", ok: false },
        ]
    }

    function test_can_rename(data) {
        compare(Names.canRename(entries(["Standard0", "a1", "b2"]), data.position, data.name), data.ok)
    }

    function test_position_of_slot() {
        var e = entries(["Standard0", "a3", "b1"])
        compare([Names.positionOf(e, 0), Names.positionOf(e, 3), Names.positionOf(e, 1), Names.positionOf(e, 5)],
                [0, 1, 2, -1])
    }
}
