import QtQuick
import QtTest
import "qrc:/modules/qml/basic"
import "qrc:/modules/qml/J2"
import "qrc:/modules/qml/js/Slider.js" as Slider

SceneLook {
    id: mainIten
    width: 400
    height: 200

    property var log: []

    // 118 px wide with a 12 px knob: positions 3..103, marks every 10 px.
    SliderButton {
        id: slider
        x: 50
        y: 50
        width: 118
        segment: 10
        onValueChange: (v) => mainIten.log.push(["valueChange", v])
        onValueChangeDelay: (v) => mainIten.log.push(["valueChangeDelay", v])
        onBtnClick: mainIten.log.push(["btnClick"])
        onDragSignal: (d) => mainIten.log.push(["dragSignal", d])
    }

    TestCase {
        name: "Slider"
        when: windowShown

        function init() {
            slider.isScale = false
            slider.setValue(slider.minPos)
            slider.segmentValue = 0
            mainIten.log = []
        }

        function names() {
            return mainIten.log.map((e) => e[0])
        }

        // Drags the knob by dx and releases it.
        function dragKnob(dx) {
            var kx = slider.knob.x + 6
            mousePress(slider, kx, 3)
            mouseMove(slider, kx + dx, 3)
            mouseRelease(slider, kx + dx, 3)
        }

        // Keys move the knob one step (a pixel, or a mark of a scaled
        // slider), Page Up / Page Down ten pixels or one mark, and report
        // like a click: valueChange, then valueChangeDelay.
        function test_keys_step_data() {
            return [
                { tag: "right", scale: false, key: Qt.Key_Right, from: 20, want: 21 },
                { tag: "left at the start", scale: false, key: Qt.Key_Left, from: 3, want: 3 },
                { tag: "page up", scale: false, key: Qt.Key_PageUp, from: 20, want: 30 },
                { tag: "end", scale: false, key: Qt.Key_End, from: 20, want: 103 },
                { tag: "scaled up", scale: true, key: Qt.Key_Up, from: 23, want: 33 },
                { tag: "scaled page down", scale: true, key: Qt.Key_PageDown, from: 23, want: 13 },
            ]
        }

        function test_keys_step(data) {
            slider.isScale = data.scale
            slider.setValue(data.from)
            slider.segmentValue = (data.from - slider.minPos) / slider.per
            mainIten.log = []
            slider.forceActiveFocus()
            keyClick(data.key)
            compare(slider.knob.x, data.want)
            compare(mainIten.log, [["btnClick"], ["valueChange", data.want], ["valueChangeDelay", data.want]])
        }

        function test_geometry() {
            compare(Slider.knobWidth, 12)
            compare(slider.minPos, 3)
            compare(slider.maxPos, 103)
            compare(slider.per, 10)
            compare(slider.knob.y, -3)
        }

        function test_clickSnapsToFirstMarkAtOrRight_data() {
            // The pointer is at the knob's centre: target = pointer x - 6.
            return [
                { tag: "on a mark", pointer: 29, x: 23, index: 2 },
                { tag: "1 px past a mark", pointer: 30, x: 33, index: 3 },
                { tag: "past the end", pointer: 117, x: 103, index: 10 },
                { tag: "between marks", pointer: 51, x: 53, index: 5 }
            ]
        }

        function test_clickSnapsToFirstMarkAtOrRight(data) {
            slider.isScale = true
            mouseClick(slider, data.pointer, 3)
            compare(names(), ["btnClick"])
            tryCompare(slider.knob, "x", data.x)
            tryVerify(() => mainIten.log.length === 3)
            compare(mainIten.log, [["btnClick"], ["valueChange", data.x], ["valueChangeDelay", data.x]])
            compare(slider.segmentValue, data.index)
        }

        function test_clickWithoutScaleGoesToPointer() {
            mouseClick(slider, 70, 3)
            tryVerify(() => mainIten.log.length === 3)
            compare(mainIten.log, [["btnClick"], ["valueChange", 64], ["valueChangeDelay", 64]])
            compare(slider.segmentValue, 0)
        }

        function test_releaseSnapsWithOnePixelTolerance_data() {
            return [
                { tag: "on the mark", dx: 20, x: 23, index: 2 },
                { tag: "1 px right of a mark", dx: 21, x: 23, index: 2 },
                { tag: "2 px right of a mark", dx: 22, x: 33, index: 3 },
                { tag: "beyond the end", dx: 300, x: 103, index: 10 }
            ]
        }

        function test_releaseSnapsWithOnePixelTolerance(data) {
            slider.isScale = true
            dragKnob(data.dx)
            compare(slider.knob.x, data.x)
            compare(slider.segmentValue, data.index)
            // A scaled slider reports a drag only through valueChangeDelay.
            compare(mainIten.log, [["btnClick"], ["dragSignal", true],
                                   ["valueChangeDelay", data.x], ["dragSignal", false]])
        }

        function test_unscaledDragReportsEveryMove() {
            var kx = slider.knob.x + 6
            mousePress(slider, kx, 3)
            mouseMove(slider, kx + 10, 3)
            mouseMove(slider, kx + 25, 3)
            mouseMove(slider, kx - 40, 3)   // clamped at the left end
            mouseRelease(slider, kx - 40, 3)
            compare(mainIten.log, [["btnClick"], ["dragSignal", true], ["valueChange", 13],
                                   ["valueChange", 28], ["valueChange", 3],
                                   ["valueChangeDelay", 3], ["dragSignal", false]])
        }

        function test_setters_data() {
            return [
                { tag: "setRatioValue(0.5)", call: (s) => s.setRatioValue(0.5), x: 54, signals: [54], index: 0 },
                { tag: "setRatioValue(0)", call: (s) => s.setRatioValue(0), x: 4, signals: [4], index: 0 },
                { tag: "setRatioValue(0.333)", call: (s) => s.setRatioValue(0.333), x: 37, signals: [37], index: 0 },
                { tag: "setIndexValue silent", call: (s) => s.setIndexValue(4, false), x: 43, signals: [], index: 4 },
                { tag: "setIndexValue signalled", call: (s) => s.setIndexValue(7, true), x: 73, signals: [73], index: 7 },
                { tag: "setValue", call: (s) => s.setValue(30), x: 30, signals: [], index: 0 }
            ]
        }

        function test_setters(data) {
            data.call(slider)
            compare(slider.knob.x, data.x)
            compare(slider.segmentValue, data.index)
            compare(mainIten.log, data.signals.map((v) => ["valueChange", v]))
            wait(150)
            compare(mainIten.log.length, data.signals.length)
        }

        function test_filledPartEndsAtKnobCentre() {
            slider.setValue(40)
            compare(findChild(slider, "filled").width, 46)
        }
    }
}
