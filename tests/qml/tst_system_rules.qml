import QtQuick
import QtTest
import "../../modules/qml/js/SystemSettings.js" as System

// Slider positions to pointer steps, and the scroll setting.
TestCase {
    name: "SystemRules"

    function test_step_thresholds_data() {
        return [
            { tag: "left end", pos: 3, step: 0 },
            { tag: "first threshold", pos: 4, step: 1 },
            { tag: "just below 37", pos: 36, step: 1 },
            { tag: "37", pos: 37, step: 2 },
            { tag: "middle", pos: 170, step: 5 },
            { tag: "172", pos: 172, step: 6 },
            { tag: "304", pos: 304, step: 9 },
            { tag: "305", pos: 305, step: 10 },
            { tag: "right end", pos: 337, step: 10 },
            { tag: "beyond", pos: 400, step: 10 },
            { tag: "fraction below a threshold", pos: 103.9, step: 3 },
        ]
    }

    function test_step_thresholds(data) {
        compare(System.stepOf(data.pos), data.step)
    }

    function test_every_step_is_reachable() {
        var seen = []
        for (var p = System.minPos; p <= System.maxPos; ++p) {
            var s = System.stepOf(p)
            if (seen.indexOf(s) < 0)
                seen.push(s)
        }
        compare(seen, [0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10])
    }

    function test_scroll_choice_data() {
        return [
            { tag: "three lines", stored: "3", oneScreen: false, lines: 3 },
            { tag: "100 lines", stored: "100", oneScreen: false, lines: 100 },
            { tag: "one screen", stored: "1000", oneScreen: true },
            { tag: "anything above 100", stored: "101", oneScreen: true },
            { tag: "missing", stored: undefined, oneScreen: false, lines: 3 },
            { tag: "zero", stored: "0", oneScreen: false, lines: 3 },
        ]
    }

    function test_scroll_choice(data) {
        var c = System.scrollChoice(data.stored)
        compare(c.oneScreen, data.oneScreen)
        if (!data.oneScreen)
            compare(c.lines, data.lines)
    }

    function test_scroll_value_data() {
        return [
            { tag: "one screen", oneScreen: true, typed: "5", value: 1000 },
            { tag: "typed lines", oneScreen: false, typed: "7", value: 7 },
            { tag: "cleared field", oneScreen: false, typed: "0", value: 1 },
            { tag: "above 100", oneScreen: false, typed: "250", value: 100 },
        ]
    }

    function test_scroll_value(data) {
        compare(System.scrollValue(data.oneScreen, data.typed), data.value)
    }

    function test_stored_position() {
        compare([System.position("200"), System.position(undefined), System.position("900"), System.position("1")],
                [200, 138, 337, 3])
    }
}
