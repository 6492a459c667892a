import QtQuick
import QtTest
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/J2"

SceneLook {
    id: mainIten
    width: 1024
    height: 640

    property var log: []

    RectInput {
        id: input
        x: 20
        y: 20
        onEndInputSignal: mainIten.log.push(["end", input.textValue])
        onInputSignal: mainIten.log.push(["input"])
    }

    // Something else to take the focus.
    TextInput {
        id: elsewhere
        x: 20
        y: 60
        width: 50
        height: 20
    }

    CheckBox {
        id: check
        x: 20
        y: 100
        index: 5
        textValue: "Endless"
        onBtnClick: (index) => mainIten.log.push(["check", index, check.isSelect])
    }

    RadioButton {
        id: radio
        x: 20
        y: 140
        index: 2
        textValue: "Once"
        onBtnClick: (index) => mainIten.log.push(["radio", index, radio.isSelect])
    }

    Mouse {
        id: picture
        onBtnClick: mainIten.log.push(["mouse", picture.selectKey])
    }

    TestCase {
        name: "Inputs"
        when: windowShown

        function init() {
            mainIten.log = []
            input.textValue = "0"
            input.maxValue = 255
            picture.keyCount = 8
            picture.selectKey = -1
            picture.isKeyLocked = null
        }

        function typeInto(text) {
            input.txtInput.forceActiveFocus()
            input.txtInput.selectAll()
            keyClick(Qt.Key_Delete)
            for (var i = 0; i < text.length; ++i)
                keyClick(text[i])
        }

        function test_leavingTheBox_data() {
            return [
                { tag: "cleared", typed: "", shown: "0" },
                { tag: "zero", typed: "0", shown: "0" },
                { tag: "a value", typed: "42", shown: "42" },
                { tag: "above the maximum is refused", typed: "300", shown: "30" },
                { tag: "at most four characters", typed: "12345", shown: "1234", max: 9999 }
            ]
        }

        function test_leavingTheBox(data) {
            if (data.max)
                input.maxValue = data.max
            typeInto(data.typed)
            elsewhere.forceActiveFocus()
            compare(input.textValue, data.shown)
            compare(mainIten.log, [["input"], ["end", data.shown]])
        }

        function test_enterLeavesTheBox() {
            typeInto("7")
            keyClick(Qt.Key_Return)
            compare(input.txtInput.activeFocus, false)
            compare(mainIten.log, [["input"], ["end", "7"]])
        }

        function test_closeFocus() {
            input.closeFocus()      // not focused: nothing happens
            compare(mainIten.log, [])
            typeInto("12")
            input.txtInput.selectAll()
            input.closeFocus()
            compare(input.txtInput.activeFocus, false)
            compare(input.txtInput.selectedText, "")
            compare(mainIten.log, [["input"], ["end", "12"]])
        }

        function test_checkBoxReportsBeforeItFlips() {
            mouseClick(check, check.width - 6, check.height / 2)
            mouseClick(check, check.width - 6, check.height / 2)
            compare(mainIten.log, [["check", 5, false], ["check", 5, true]])
            compare(check.isSelect, false)
            // The clickable area reaches 6 px beyond the item.
            mouseClick(check, -5, -5)
            compare(check.isSelect, true)
            check.isSelect = false
        }

        function test_radioSelectsBeforeItReports() {
            mouseClick(radio, 4, radio.height / 2)
            mouseClick(radio, 4, radio.height / 2)
            compare(mainIten.log, [["radio", 2, true], ["radio", 2, true]])
            verify(findChild(radio, "innerDot").visible)
            radio.isSelect = false
        }

        function test_markersFollowKeyCount() {
            picture.keyCount = 6
            var shown = []
            for (var i = 0; i < 8; ++i)
                shown.push(findChild(picture, "marker" + i).parent.visible)
            compare(shown, [true, true, true, true, true, true, false, false])
        }

        function test_markerClickSelectsAndReports() {
            var marker = findChild(picture, "marker" + 3)
            mouseClick(marker, 18, 18)
            compare(mainIten.log, [["mouse", 3]])
            compare(picture.selectKey, 3)
        }

        function test_lockedMarkerDoesNotOpen() {
            picture.isKeyLocked = (i) => i === 0
            mouseClick(findChild(picture, "marker0"), 18, 18)
            compare(mainIten.log, [])
            compare(picture.selectKey, -1)
            mouseClick(findChild(picture, "marker1"), 18, 18)
            compare(mainIten.log, [["mouse", 1]])
        }
    }
}
