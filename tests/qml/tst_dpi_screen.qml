import QtQuick
import QtTest
import "support"
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/J2"

// The DPI screen against a fake back end: what it reads, stores and sends.
SceneLook {
    id: mainIten
    width: 400
    height: 400

    readonly property QtObject ui_View: backEnd.view

    FakeBackEnd {
        id: backEnd
    }

    DpiSetting {
        id: dpi
        x: 20
        y: 20
    }

    TestCase {
        name: "DpiScreen"
        when: windowShown

        function init() {
            backEnd.reset()
            backEnd.globalData = { "mouse/minDPI": "200", "mouse/maxDPI": "6000", "mouse/dpiBase": "50",
                                   "mouse/sensorType": "3389" }
            backEnd.profileData = { "mouse/dpiCount": "6", "mouse/currentDpiCount": "4",
                                    "mouse/dpiValueArray": ["400", "800", "1600", "3200", "4800", "6000", "6000", "6000"] }
            backEnd.factoryData = { "mouse/dpiCount": "6", "mouse/currentDpiCount": "2",
                                    "mouse/dpiValueArray": ["500", "1000", "2000", "3000", "4000", "5000", "6000", "6000"] }
            dpi.isSave = false
            dpi.init(false, false)
            backEnd.reset()
        }

        function row(i) {
            return findChild(dpi, "stage" + i)
        }

        // Keys on stage 2's value box: a typed value is kept inside the
        // range and on its steps as the slider keeps it, an arrow moves one
        // DPI step, Page Up ten; nothing while the scene is busy.
        function test_keyboard_sets_a_stage_data() {
            return [
                { tag: "typed", keys: ["1", "2", "3", "4", Qt.Key_Return], want: 1200 },
                { tag: "typed above the range", keys: ["9", "9", "9", "9", Qt.Key_Return], want: 6000 },
                { tag: "typed below the range", keys: ["5", Qt.Key_Return], want: 200 },
                { tag: "arrow up", keys: [Qt.Key_Up], want: 850 },
                { tag: "arrow down", keys: [Qt.Key_Down, Qt.Key_Down], want: 700 },
                { tag: "page up", keys: [Qt.Key_PageUp], want: 1300 },
                { tag: "busy", keys: [Qt.Key_Up, "1", Qt.Key_Return], blocked: true, want: 800 },
            ]
        }

        function test_keyboard_sets_a_stage(data) {
            var box = findChild(row(1), "stageInput")
            dpi.forceActiveFocus()
            box.forceActiveFocus()
            mainIten.inputBlocked = data.blocked === true
            for (const k of data.keys)
                keyClick(k)
            mainIten.inputBlocked = false
            compare(dpi.stageValues()[1], data.want)
            compare(dpi.isSave, !data.blocked)
            // The knob shows the same value the box does.
            compare(findChild(row(1), "slider").value, data.want)
        }

        function test_init_reads_the_profile() {
            compare(dpi.stageValues(), [400, 800, 1600, 3200, 4800, 6000, 6000, 6000])
            compare(dpi.currentDpiCount, 4)
            compare(dpi.stageLimit, 6)
            compare(findChild(dpi, "dpiCountList").count, 6)
            compare(row(3).enabled, true)
            compare(row(4).enabled, false)
            compare(backEnd.calls.length, 0)
        }

        function test_save_stores_then_sends() {
            dpi.saveData(true)
            compare(backEnd.names(), ["setDataList", "setData", "mouseSetDpi"])
            compare(backEnd.calls[0], ["setDataList", "mouse/dpiValueArray", [400, 800, 1600, 3200, 4800, 6000, 6000, 6000]])
            compare(backEnd.calls[1], ["setData", "mouse/currentDpiCount", 4])
            compare(backEnd.calls[2], ["mouseSetDpi", 4, "3389", [400, 800, 1600, 3200, 4800, 6000, 6000, 6000]])
        }

        function test_init_with_sending_saves() {
            dpi.init(true, false)
            compare(backEnd.callsOf("mouseSetDpi").length, 1)
        }

        // Dragging the knob of stage 2 to the right end gives the top of the range.
        function test_slider_sets_the_value_and_marks_unsaved() {
            var slider = findChild(row(1), "slider")
            var knob = findChild(slider, "knob")
            mousePress(knob, 6, 6)
            mouseMove(knob, 6 + 300, 6)
            compare(dpi.stageValues()[1], 6000)
            compare(dpi.isSave, false)
            mouseRelease(knob, 6 + 300, 6)
            compare(dpi.isSave, true)
            compare(backEnd.callsOf("mouseSetDpi").length, 0)      // sent only on save
            mousePress(knob, 6, 6)
            mouseMove(knob, 6 - 400, 6)
            mouseRelease(knob, 6 - 400, 6)
            compare(dpi.stageValues()[1], 200)
        }

        function test_click_on_a_stage_selects_it() {
            mouseClick(findChild(row(2), "stageBox"))
            compare(backEnd.callsOf("mouseSetCurrentDPI"), [["mouseSetCurrentDPI", 3]])
            compare(dpi.currentDpi, 2)
            mouseClick(findChild(row(5), "stageBox"))                // beyond the stage count
            compare(backEnd.callsOf("mouseSetCurrentDPI").length, 1)
        }

        function test_stage_count_from_the_list() {
            var list = findChild(dpi, "dpiCountList")
            mouseClick(list, list.width / 2, 12)
            tryCompare(list, "animating", false)
            mouseClick(findChild(list, "item5"))
            tryCompare(dpi, "currentDpiCount", 6)
            compare(dpi.isSave, true)
            compare(row(5).enabled, true)
        }

        function test_restore_defaults_shows_factory_values_unsaved() {
            dpi.restoreDefaults()
            compare(dpi.stageValues(), [500, 1000, 2000, 3000, 4000, 5000, 6000, 6000])
            compare(dpi.currentDpiCount, 2)
            compare(dpi.isSave, true)
            compare(backEnd.callsOf("setDataList").length, 0)       // nothing written before the save
            compare(backEnd.callsOf("getDataList")[0], ["getDataList", "mouse/dpiValueArray", true])
        }

        function test_stage_count_limited_by_the_profile() {
            backEnd.profileData["mouse/dpiCount"] = "3"
            backEnd.profileData["mouse/currentDpiCount"] = "8"
            dpi.init(false, false)
            compare(findChild(dpi, "dpiCountList").count, 3)
            compare(dpi.currentDpiCount, 3)
        }
    }
}
