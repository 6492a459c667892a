import QtQuick
import QtTest
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/js/Shell.js" as Shell
import "qrc:/modules/qml/js/KeyCodes.js" as KeyCodes

Item {
    KeyCodeString {
        id: table
    }

    TestCase {
        name: "KeyCodeString"

        function cleanup() {
            table.keyCodeStr = KeyCodes.names.slice()
        }

        function test_table() {
            compare(table.keyCode.length, 133)
            compare(table.keyCodeStr.length, 133)
            var expected = [[0, 0x04, "A"], [25, 0x1D, "Z"], [26, 0x1E, "1"], [35, 0x27, "0"],
                            [39, 0x2B, "Tab"], [111, 0x73, "F24"], [112, 0x85, "Keypad"],
                            [119, 0x91, "Lang2"], [120, 0xE0, "LCtrl"], [127, 0xE7, "RWin"],
                            [128, 0xF0, "MS-L"], [132, 0xF4, "MS-B5"]]
            for (const [i, code, name] of expected) {
                compare(table.keyCode[i], code, "code at " + i)
                compare(table.keyCodeStr[i], name, "name at " + i)
            }
        }

        function test_lookups_data() {
            return [
                { tag: "letter", code: 0x04, name: "A", back: 0x04 },
                { tag: "first of two backslashes", code: 0x31, name: "\\", back: 0x31 },
                { tag: "second backslash maps back to the first", code: 0x32, name: "\\", back: 0x31 },
                { tag: "second Intl2 maps back to the first", code: 0x89, name: "Intl2", back: 0x88 },
                { tag: "arrow", code: 0x4F, name: "\u25BA", back: 0x4F },
                { tag: "keypad enter", code: 0x58, name: "KPEnter", back: 0x58 },
                { tag: "mouse button", code: 0xF2, name: "MS-M", back: 0xF2 },
                { tag: "code not in the table", code: 0x86, name: "", back: 0 },
                { tag: "code above the table", code: 0xF5, name: "", back: 0 }
            ]
        }

        function test_lookups(data) {
            compare(table.keycodeTostr(data.code), data.name)
            compare(table.strTokeycode(data.name), data.back)
        }

        function test_unknownName() {
            compare(table.strTokeycode("Hyper"), 0)
        }

        function test_languageNamesReplaceDefaults() {
            var names = table.keyCodeStr.slice()
            names[0] = "Ä"
            table.keyCodeStr = Shell.mergeLang(table.keyCodeStr, names)
            compare(table.keycodeTostr(0x04), "Ä")
            compare(table.strTokeycode("Ä"), 0x04)
            compare(table.strTokeycode("A"), 0)
        }
    }

    TestCase {
        name: "ShellRules"

        function test_mergeLang_data() {
            return [
                { tag: "missing group keeps the defaults", loaded: [], result: ["a", "b", "c"] },
                { tag: "a whole group replaces", loaded: ["x", "y", "z"], result: ["x", "y", "z"] },
                { tag: "a short group keeps the rest", loaded: ["x"], result: ["x", "b", "c"] },
                { tag: "a longer group is taken whole", loaded: ["x", "y", "z", "w"], result: ["x", "y", "z", "w"] },
                { tag: "an empty text is a text", loaded: ["", "y"], result: ["", "y", "c"] }
            ]
        }

        function test_mergeLang(data) {
            compare(Shell.mergeLang(["a", "b", "c"], data.loaded), data.result)
        }

        function test_lodText_data() {
            return [
                { value: 3, text: "0mm" }, { value: 50, text: "1mm" },
                { value: 60, text: "1.3mm" }, { value: 89, text: "2mm" }
            ]
        }

        function test_lodText(data) {
            compare(Shell.lodText(data.value), data.text)
        }

        function test_toBool_data() {
            return [
                { value: "true", result: true }, { value: "false", result: false },
                { value: true, result: true }, { value: "1", result: true },
                { value: 0, result: false }, { value: "TRUE", result: true }
            ]
        }

        function test_toBool(data) {
            compare(Shell.toBool(data.value), data.result)
        }
    }
}
