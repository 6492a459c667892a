import QtQuick
import QtTest
import "support"
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/J2"

// The system settings against a fake back end: each control stores and
// applies its value; the factory values are written and applied at once.
SceneLook {
    id: mainIten
    width: 600
    height: 400

    readonly property QtObject ui_View: backEnd.view

    FakeBackEnd {
        id: backEnd
    }

    SystemSetting {
        id: system
        x: 20
        y: 20
        visible: true
    }

    TestCase {
        name: "SystemScreen"
        when: windowShown

        function init() {
            backEnd.profileData = { "mouse/mouseRate": "200", "mouse/doubleRate": "40", "mouse/scrollRate": "5" }
            backEnd.factoryData = { "mouse/mouseRate": "172", "mouse/doubleRate": "172", "mouse/scrollRate": "1000" }
            system.init(false, false)
            backEnd.reset()
        }

        function test_init_without_sending_sends_nothing() {
            system.init(false, false)
            compare(backEnd.callsOf("mouseSetCursorSpeed").length, 0)
            compare(findChild(system, "linesInput").textValue, "5")
            compare(findChild(system, "rowsRadio").isSelect, true)
        }

        function test_init_with_sending_applies_all_three() {
            system.init(true, false)
            compare(backEnd.callsOf("mouseSetCursorSpeed"), [["mouseSetCursorSpeed", 6]])
            compare(backEnd.callsOf("mouseSetDoubleClickSpeed"), [["mouseSetDoubleClickSpeed", 2]])
            compare(backEnd.callsOf("mouseSetVerticalScrollLines"), [["mouseSetVerticalScrollLines", 5]])
            compare(backEnd.callsOf("setData").length, 0)
        }

        function test_restore_defaults_writes_and_applies() {
            system.init(false, true)
            compare(backEnd.callsOf("setData"), [["setData", "mouse/mouseRate", 172], ["setData", "mouse/doubleRate", 172],
                                                 ["setData", "mouse/scrollRate", 1000]])
            compare(backEnd.callsOf("mouseSetCursorSpeed"), [["mouseSetCursorSpeed", 6]])
            compare(backEnd.callsOf("mouseSetVerticalScrollLines"), [["mouseSetVerticalScrollLines", 1000]])
            compare(findChild(system, "screenRadio").isSelect, true)
            compare(findChild(system, "rowsRadio").isSelect, false)
        }

        // A click on the track moves the knob; the value is stored and applied when it settles.
        function test_slider_applies_when_it_settles() {
            var slider = findChild(system, "speedSlider")
            mouseClick(slider, 3 + 6, 3)
            tryVerify(() => backEnd.callsOf("mouseSetCursorSpeed").length === 1, 1000)
            compare(backEnd.callsOf("mouseSetCursorSpeed")[0], ["mouseSetCursorSpeed", 0])
            compare(backEnd.callsOf("setData")[0], ["setData", "mouse/mouseRate", 3])
            var d = findChild(system, "doubleSlider")
            mouseClick(d, d.width + 2, 3)
            tryVerify(() => backEnd.callsOf("mouseSetDoubleClickSpeed").length === 1, 1000)
            compare(backEnd.callsOf("mouseSetDoubleClickSpeed")[0], ["mouseSetDoubleClickSpeed", 10])
        }

        function test_scroll_choices() {
            mouseClick(findChild(system, "screenRadio"))
            compare(backEnd.callsOf("setData"), [["setData", "mouse/scrollRate", 1000]])
            compare(backEnd.callsOf("mouseSetVerticalScrollLines"), [["mouseSetVerticalScrollLines", 1000]])
            compare(findChild(system, "rowsRadio").isSelect, false)
            backEnd.reset()
            // Typing a count chooses the line setting.
            var input = findChild(system, "linesInput")
            input.txtInput.forceActiveFocus()
            input.txtInput.selectAll()
            keyClick(Qt.Key_1)
            keyClick(Qt.Key_2)
            system.systemSettingFocus()
            compare(backEnd.callsOf("mouseSetVerticalScrollLines"), [["mouseSetVerticalScrollLines", 12]])
            compare(findChild(system, "rowsRadio").isSelect, true)
            compare(findChild(system, "screenRadio").isSelect, false)
        }

        function test_cleared_line_count_keeps_scrolling_on() {
            var input = findChild(system, "linesInput")
            input.txtInput.forceActiveFocus()
            input.txtInput.selectAll()
            keyClick(Qt.Key_Delete)
            system.systemSettingFocus()
            compare(backEnd.callsOf("mouseSetVerticalScrollLines"), [["mouseSetVerticalScrollLines", 1]])
            compare(input.textValue, "1")
        }

        // Leaving the box untouched while "one screen" is chosen keeps that choice.
        function test_untouched_box_keeps_the_choice() {
            mouseClick(findChild(system, "screenRadio"))
            backEnd.reset()
            var input = findChild(system, "linesInput")
            input.txtInput.forceActiveFocus()
            system.systemSettingFocus()
            compare(backEnd.calls.length, 0)
            compare(system.oneScreen, true)
        }
    }
}
