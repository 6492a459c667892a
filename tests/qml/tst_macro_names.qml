import QtQuick
import QtTest
import "../../modules/qml/js/MacroCodec.js" as Macro
import "../../modules/qml/js/NameList.js" as NameList

// Macro names: defaults, uniqueness, and names that would leave the macro folder.
TestCase {
    name: "MacroNames"

    function test_default_name_data() {
        return [
            { tag: "empty list", names: [], name: "Macro_0" },
            { tag: "lowest free", names: ["Macro_0", "Macro_2", "x"], name: "Macro_1" },
            { tag: "renamed ones free their number", names: ["Macro_1", "Mine"], name: "Macro_0" },
        ]
    }

    function test_default_name(data) {
        compare(Macro.defaultName(data.names), data.name)
    }

    function test_default_name_when_all_taken() {
        var names = []
        for (var k = 0; k < 100; ++k)
            names.push("Macro_" + k)
        compare(Macro.defaultName(names), "")
    }

    function test_valid_name_data() {
        return [
            { tag: "plain", name: "Reload", ok: true },
            { tag: "own name while renaming", name: "Macro_0", except: 0, ok: true },
            { tag: "duplicate", name: "Macro_1", ok: false },
            { tag: "empty", name: "", ok: false },
            { tag: "path", name: "../setting/p1", ok: false },
            { tag: "backslash", name: "a\\b", ok: false },
            { tag: "dot dot", name: "..", ok: false },
            { tag: "filler", name: "nodelistpadx", ok: false },
            { tag: "comma", name: "a,b", ok: false },
            { tag: "spaces around", name: " a", ok: false },
            { tag: "too long", name: "abcdefghijabcdefghijabcdefghijabc", ok: false },
        ]
    }

    function test_valid_name(data) {
        var except = data.except === undefined ? -1 : data.except
        compare(Macro.validName(["Macro_0", "Macro_1"], data.name, except), data.ok)
    }

    function test_drop_filler_data() {
        return [
            { tag: "one name and filler", list: ["Macro_0", "nodelistpadx"], names: ["Macro_0"] },
            { tag: "two names", list: ["a", "b"], names: ["a", "b"] },
            { tag: "filler only in second place", list: ["nodelistpadx", "a"], names: ["nodelistpadx", "a"] },
            { tag: "empty", list: [], names: [] },
        ]
    }

    function test_drop_filler(data) {
        compare(NameList.dropFiller(data.list), data.names)
    }
}
